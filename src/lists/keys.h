#pragma once

#include <string_view>

namespace tarvenia {

// Keys compare byte by byte as unsigned values; a key that is the beginning
// of another is lower. Returns <0, 0 or >0.
int CompareKeys(std::string_view a, std::string_view b) noexcept;

} // namespace tarvenia
