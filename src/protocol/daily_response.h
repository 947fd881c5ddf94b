#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tarvenia {

// The text of the daily response is what the last non-empty read delivered,
// up to its first NUL byte. Feed it every read of the body.
class DailyResponseText {
public:
    void OnRead(const char* data, std::size_t count);
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

// Parses a daily response: CurrentKey and SelectedKey := its first 8
// characters; every "<token>" after them is appended to base_urls.
void ParseDailyResponse(const std::string& text, std::string& current_key,
    std::string& selected_key, std::vector<std::string>& base_urls);

} // namespace tarvenia
