#include "base/error.h"

namespace tarvenia {

std::string IoError::TextFor(int code)
{
    switch (code) {
    case 2:
        return "File not found";
    case 3:
        return "Invalid filename";
    case 4:
        return "Too many open files";
    case 5:
        return "File access denied";
    default:
        return "I/O error " + std::to_string(code);
    }
}

IoError::IoError(int code)
    : Error(TextFor(code))
    , code_(code)
{
}

} // namespace tarvenia
