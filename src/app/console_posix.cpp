#include "app/console.h"

#include <cstdio>

namespace tarvenia {

void WriteStdout(const std::string& bytes)
{
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

void WriteStderr(const std::string& bytes)
{
    std::fwrite(bytes.data(), 1, bytes.size(), stderr);
    std::fflush(stderr);
}

bool HasStdout() { return true; }

} // namespace tarvenia
