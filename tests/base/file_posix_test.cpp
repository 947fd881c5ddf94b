// The POSIX variant of the file errors: errno in the program's numbering.
#include "base/errno_code.h"
#include "base/error.h"
#include "base/file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <set>
#include <string>

namespace fs = std::filesystem;
using tarvenia::File;
using tarvenia::IoError;

namespace {

// Only the errnos that mean the four named cases get their texts; every
// other one reads "I/O error %d" and can never pass for a named case (EIO is
// 5 and ESRCH 3 on Linux, the numbers of "File access denied" and "Invalid
// filename").
TEST(ErrnoCodes, OnlyTheNamedCasesGetNamedTexts)
{
    struct Row {
        int err;
        bool parent_missing;
        const char* text;
    } rows[] = {
        { ENOENT, false, "File not found" },
        { ENOENT, true, "Invalid filename" },
        { ENOTDIR, false, "Invalid filename" },
        { ENAMETOOLONG, false, "Invalid filename" },
        { ELOOP, false, "Invalid filename" },
        { EMFILE, false, "Too many open files" },
        { ENFILE, false, "Too many open files" },
        { EACCES, false, "File access denied" },
        { EPERM, false, "File access denied" },
        { EROFS, false, "File access denied" },
        { EISDIR, false, "File access denied" },
        { EIO, false, "I/O error 1005" },
        { ESRCH, false, "I/O error 1003" },
        { EINTR, false, "I/O error 1004" },
        { ENXIO, false, "I/O error 1006" },
        { ENOSPC, false, "I/O error 1028" },
    };
    std::set<int> named;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.err);
        EXPECT_EQ(IoError(tarvenia::IoCodeForErrno(row.err, row.parent_missing)).what(),
            std::string(row.text));
        if (std::string(row.text).rfind("I/O error", 0) != 0)
            named.insert(row.err);
    }
    for (int err = 1; err < 4096; ++err) {
        if (named.count(err) || err == ETXTBSY)
            continue;
        SCOPED_TRACE(err);
        std::string text = IoError(tarvenia::IoCodeForErrno(err, false)).what();
        EXPECT_EQ(text, "I/O error " + std::to_string(tarvenia::kErrnoCodeBase + err));
    }
}

// A real write failure of the system: a full device.
TEST(ErrnoCodes, AFullDeviceIsAnIoErrorOfItsOwn)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    File f("/dev/full", File::Mode::Append);
    try {
        f.Write(std::string(4096, 'x'));
        FAIL() << "written";
    } catch (const IoError& e) {
        EXPECT_EQ(e.code(), tarvenia::kErrnoCodeBase + ENOSPC);
        EXPECT_STREQ(e.what(), "I/O error 1028");
    }
}

} // namespace
