// The program's loadable modules (Linux): libraries that pull in many others
// the window does not need to appear (the HTTP client, the desktop methods),
// loaded by their first use instead of with the program.
#pragma once

#include <string>

namespace tarvenia {

// The address of `symbol` in the module `module`, which is loaded first if it
// is not yet. A bare file name ("http.so") is looked for where the dynamic
// loader looks for the program's libraries (LD_LIBRARY_PATH, and in a build
// tree the folder of the modules, named by the binaries' RUNPATH), then in
// the private library folder of the prefix the program was built for, so that
// a copy of the installed program elsewhere finds it too; a path is loaded as
// it is. Null when the module or the symbol cannot be had, whatever the
// reason. A loaded module stays loaded until the process ends.
void* ModuleSymbol(const std::string& module, const char* symbol) noexcept;

// The entry point `name` of `module`, declared as Entry (the module and the
// program include the same declaration).
template <class Entry> Entry* ModuleEntry(const std::string& module, const char* name) noexcept
{
    return reinterpret_cast<Entry*>(ModuleSymbol(module, name));
}

} // namespace tarvenia

// Marks a module's entry point as its one export (modules hide the rest).
#define TARVENIA_MODULE_EXPORT __attribute__((visibility("default")))
