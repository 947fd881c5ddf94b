// The catalog reading rules written out the plainest way, byte by byte over a
// string: the reference the fuzz targets hold the real reader against.
#pragma once

#include "lists/keys.h"

#include <string>
#include <vector>

namespace tarvenia::fuzz {

struct ModelEntry {
    std::string title, base, key;
    bool operator==(const ModelEntry&) const = default;
};

inline std::vector<std::string> ModelLines(const std::string& data)
{
    std::vector<std::string> lines;
    std::size_t pos = 0;
    const std::size_t n = data.size();
    for (;;) {
        while (pos < n && static_cast<unsigned char>(data[pos]) <= 0x20 && data[pos] != 0x1A)
            ++pos;
        if (pos == n || data[pos] == 0x1A)
            break;
        std::size_t start = pos;
        while (pos < n && data[pos] != '\r' && data[pos] != 0x1A)
            ++pos;
        lines.push_back(data.substr(start, pos - start));
    }
    return lines;
}

inline std::vector<ModelEntry> ModelEntries(
    const std::vector<std::string>& lines, const std::string& current_key)
{
    std::vector<ModelEntry> entries;
    for (const std::string& line : lines) {
        std::string key = line.substr(0, 8);
        if (CompareKeys(key, current_key) > 0)
            continue;
        entries.push_back({ line.size() > 9 ? line.substr(9, 41) : std::string(),
            line.size() > 8 ? line.substr(8, 1) : std::string(), key });
    }
    return entries;
}

inline std::vector<ModelEntry> ModelEntries(const std::string& data, const std::string& current_key)
{
    return ModelEntries(ModelLines(data), current_key);
}

} // namespace tarvenia::fuzz
