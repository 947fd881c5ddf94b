#include "app/console.h"

#include <windows.h>

namespace tarvenia {

namespace {

    bool Usable(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }

    struct Outputs {
        HANDLE out = nullptr;
        HANDLE err = nullptr;
    };

    // A GUI program gets standard handles only from a parent that passed
    // them (a redirection); started from a command prompt without one, it
    // borrows that prompt's console. Decided once, at the first use.
    const Outputs& TheOutputs()
    {
        static const Outputs outputs = [] {
            Outputs o { ::GetStdHandle(STD_OUTPUT_HANDLE), ::GetStdHandle(STD_ERROR_HANDLE) };
            if (Usable(o.out) || Usable(o.err) || !::AttachConsole(ATTACH_PARENT_PROCESS))
                return o;
            HANDLE console = ::CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE,
                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
            return Outputs { console, console };
        }();
        return outputs;
    }

    void Write(HANDLE h, const std::string& bytes)
    {
        if (!Usable(h))
            return;
        DWORD written = 0;
        ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }

} // namespace

void WriteStdout(const std::string& bytes) { Write(TheOutputs().out, bytes); }

void WriteStderr(const std::string& bytes) { Write(TheOutputs().err, bytes); }

bool HasStdout() { return Usable(TheOutputs().out); }

} // namespace tarvenia
