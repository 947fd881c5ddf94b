#include "base/errno_code.h"

#include <cerrno>

namespace tarvenia {

int IoCodeForErrno(int err, bool parent_missing) noexcept
{
    switch (err) {
    case ENOENT:
        return parent_missing ? 3 : 2;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return 3;
    case EMFILE:
    case ENFILE:
        return 4;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return 5;
    default:
        return kErrnoCodeBase + err;
    }
}

} // namespace tarvenia
