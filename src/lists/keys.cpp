#include "lists/keys.h"

#include <algorithm>
#include <cstring>

namespace tarvenia {

int CompareKeys(std::string_view a, std::string_view b) noexcept
{
    // memcmp compares as unsigned char, so bytes above 0x7F sort high.
    std::size_t common = std::min(a.size(), b.size());
    if (common > 0) {
        if (int order = std::memcmp(a.data(), b.data(), common); order != 0)
            return order < 0 ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

} // namespace tarvenia
