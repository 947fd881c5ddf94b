#pragma once

#include <string>

namespace tarvenia {

class PackedStrings;
class StringList;

// Appends one entry to the three parallel lists for each line of the file
// whose key is not above `current_key`, in file order: the title to `titles`
// (all of them in one AddAll), the base index to `bases`, the key to `keys`.
// Throws IoError when the file cannot be opened or read; entries read before
// stay, and the three lists stay parallel whatever fails. The file is closed
// on every path.
void LoadEntries(const std::string& path, const std::string& current_key, StringList& titles,
    PackedStrings& bases, PackedStrings& keys);

} // namespace tarvenia
