#include "protocol/daily_response.h"

#include <algorithm>
#include <string_view>

namespace tarvenia {

void DailyResponseText::OnRead(const char* data, std::size_t count)
{
    // Every read lands at the start of the same buffer, so only the last
    // non-empty one counts, and the text stops at its first NUL.
    if (count == 0)
        return;
    const char* end = std::find(data, data + count, '\0');
    text_.assign(data, end);
}

void ParseDailyResponse(const std::string& text, std::string& current_key,
    std::string& selected_key, std::vector<std::string>& base_urls)
{
    constexpr std::size_t kKeyLength = 8;
    current_key = text.substr(0, kKeyLength);
    selected_key = current_key;

    std::string_view rest(text);
    rest.remove_prefix(std::min(rest.size(), kKeyLength));
    for (;;) {
        std::size_t open = rest.find('<');
        if (open == std::string_view::npos)
            break;
        std::size_t close = rest.find('>');
        // A "<" with no ">" anywhere after it can never be consumed: stop
        // rather than loop on it, and take no partial token from it.
        if (close == std::string_view::npos)
            break;
        // A ">" standing before the "<" gives an empty token and consumes
        // only up to that ">".
        if (close > open)
            base_urls.emplace_back(rest.substr(open + 1, close - open - 1));
        else
            base_urls.emplace_back();
        rest.remove_prefix(close + 1);
    }
}

} // namespace tarvenia
