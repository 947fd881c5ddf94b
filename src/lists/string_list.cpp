#include "lists/string_list.h"

#include "base/error.h"

namespace tarvenia {

std::string VectorStringList::Get(int index) const { return ListAt(items, index); }

} // namespace tarvenia
