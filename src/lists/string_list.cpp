#include "lists/string_list.h"

#include "base/error.h"

#include <utility>

namespace tarvenia {

void StringList::AddAll(PackedStrings&& items)
{
    for (std::string_view item : items)
        Add(std::string(item));
}

void VectorStringList::AddAll(PackedStrings&& added)
{
    if (items.empty())
        items = std::move(added);
    else
        items.append(added);
}

std::string VectorStringList::Get(int index) const { return std::string(ListAt(items, index)); }

} // namespace tarvenia
