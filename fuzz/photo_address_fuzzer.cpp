// Photo addresses from a hostile daily response and catalog line: the base
// tokens, the base index text and the key all come from the server. Forming
// the address either fails with the program's error or gives token + key +
// ".jpg"; whether the HTTP clients may open it is decided by its scheme
// alone.
#include "fuzz_input.h"

#include "base/error.h"
#include "protocol/addresses.h"
#include "protocol/daily_response.h"

#include <cctype>

using namespace tarvenia;
using tarvenia::fuzz::FuzzInput;

namespace {

bool StartsWithWebScheme(const std::string& s)
{
    std::string head;
    for (std::size_t i = 0; i < s.size() && i < 8; ++i)
        head += static_cast<char>(std::tolower(static_cast<unsigned char>(s[i])));
    return head.rfind("http://", 0) == 0 || head.rfind("https://", 0) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput in(data, size);
    const std::string base_index = in.Short(12);
    const std::string key = in.Short(10);
    std::string current_key, selected_key;
    std::vector<std::string> base_urls;
    ParseDailyResponse(in.Rest(), current_key, selected_key, base_urls);

    std::string address;
    try {
        address = PhotoAddress(base_urls, base_index, key);
    } catch (const Error& e) {
        FUZZ_CHECK(*e.what() != '\0');
        return 0;
    }
    // Only one or more decimal digits name a token, and only an existing one.
    FUZZ_CHECK(!base_index.empty());
    std::size_t index = 0;
    for (char c : base_index) {
        FUZZ_CHECK(c >= '0' && c <= '9');
        index = index * 10 + static_cast<std::size_t>(c - '0');
    }
    FUZZ_CHECK(index < base_urls.size());
    FUZZ_CHECK(address == base_urls[index] + key + ".jpg");
    FUZZ_CHECK(IsWebAddress(address) == StartsWithWebScheme(base_urls[index] + key));
    return 0;
}
