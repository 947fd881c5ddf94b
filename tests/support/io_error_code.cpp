#include "support/io_error_code.h"

#include "base/error.h"

namespace tarvenia::testing {

int IoErrorCodeOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const IoError& e) {
        return e.code();
    }
    return 0;
}

} // namespace tarvenia::testing
