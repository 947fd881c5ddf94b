#include "base/loadable_module.h"

#include <dlfcn.h>

namespace tarvenia {

namespace {

    void* Open(const std::string& file) noexcept
    {
        // RTLD_NOW: a module whose own libraries lack a symbol fails here,
        // not at some later call. RTLD_LOCAL: its libraries stay out of the
        // program's namespace.
        return ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    }

} // namespace

void* ModuleSymbol(const std::string& module, const char* symbol) noexcept
{
    try {
        void* handle = Open(module);
        if (!handle && module.find('/') == std::string::npos)
            handle = Open(TARVENIA_MODULE_DIR "/" + module);
        // Never closed: sessions and installers made by the module may live
        // until the process ends.
        return handle ? ::dlsym(handle, symbol) : nullptr;
    } catch (...) {
        return nullptr; // no memory for the path
    }
}

} // namespace tarvenia
