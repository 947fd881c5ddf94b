#pragma once

#include <string>
#include <vector>

namespace tarvenia {

class StringList;

// Appends one entry to the three parallel lists for each line of the file
// whose key is not above `current_key`, in file order. Throws IoError when the
// file cannot be opened or read; entries appended before stay. The file is
// closed on every path.
void LoadEntries(const std::string& path, const std::string& current_key, StringList& titles,
    std::vector<std::string>& bases, std::vector<std::string>& keys);

} // namespace tarvenia
