// The daily response as the worker receives it: reads of up to 1024 bytes
// (their sizes taken from the input), the text of the last non-empty read,
// then the parse.
#include "fuzz_input.h"

#include "protocol/daily_response.h"

#include <algorithm>
#include <cstring>

using namespace tarvenia;
using tarvenia::fuzz::FuzzInput;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput in(data, size);
    const std::size_t first_read = 1 + in.Byte() * 4u; // 1 to 1021
    const std::string body = in.Rest();

    DailyResponseText text;
    std::string last_read;
    for (std::size_t pos = 0; pos < body.size();) {
        std::size_t n = std::min<std::size_t>(pos == 0 ? first_read : 1024, body.size() - pos);
        text.OnRead(body.data() + pos, n);
        last_read = body.substr(pos, n);
        pos += n;
    }
    text.OnRead(nullptr, 0);
    FUZZ_CHECK(text.Text() == last_read.substr(0, last_read.find('\0')));

    std::string current_key, selected_key;
    std::vector<std::string> base_urls { "kept" };
    ParseDailyResponse(text.Text(), current_key, selected_key, base_urls);
    FUZZ_CHECK(current_key == text.Text().substr(0, 8));
    FUZZ_CHECK(selected_key == current_key);
    // Entries are only appended, and every token stood between "<" and ">"
    // in the text after the key: it holds neither a ">" nor more bytes than
    // that text.
    FUZZ_CHECK(!base_urls.empty() && base_urls[0] == "kept");
    const std::string rest = text.Text().size() > 8 ? text.Text().substr(8) : std::string();
    const std::size_t closes = static_cast<std::size_t>(std::count(rest.begin(), rest.end(), '>'));
    const std::size_t opens = static_cast<std::size_t>(std::count(rest.begin(), rest.end(), '<'));
    FUZZ_CHECK(base_urls.size() - 1 <= std::max(closes, opens));
    for (std::size_t i = 1; i < base_urls.size(); ++i) {
        FUZZ_CHECK(base_urls[i].find('>') == std::string::npos);
        FUZZ_CHECK(base_urls[i].size() < rest.size());
        FUZZ_CHECK(rest.find(base_urls[i]) != std::string::npos);
    }
    return 0;
}
