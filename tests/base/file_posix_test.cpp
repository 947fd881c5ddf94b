// The POSIX variants of the base functions: errno in the program's
// numbering, and a work folder that is the user's alone.
#include "base/errno_code.h"
#include "base/error.h"
#include "base/file.h"
#include "base/platform.h"
#include "base/private_folder.h"
#include "support/scoped_variable.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <pwd.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

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

// The work files are rewritten at fixed names: their folder must be the
// user's alone, and a link planted at one of the names must never be followed.
TEST(WorkFolder, IsTheUsersAloneAndNoLinkIsFollowed)
{
    namespace fs = std::filesystem;
    using tarvenia::testing::ScopedVariable;
    {
        const ScopedVariable no_xdg("XDG_DATA_HOME", nullptr), no_home("HOME", nullptr);
        EXPECT_EQ(
            tarvenia::DataHome(), std::string(::getpwuid(::getuid())->pw_dir) + "/.local/share");
    }
    const tarvenia::testing::TempFolder data;
    const ScopedVariable xdg("XDG_DATA_HOME", data.Root().string());
    const std::string dir = data.Path("tarvenia"), victim = data.Write("victim", "keep");
    const std::string refused = "Work folder " + dir, made = dir + "/ private, created, keep";
    // WorkDir, whether its folder is private, a work file created in it and
    // the file a link there may point to; or the text of the Error.
    auto outcome = [&]() -> std::string {
        try {
            const std::string got = tarvenia::WorkDir();
            struct stat st {};
            ::stat(dir.c_str(), &st);
            std::string created = "created";
            try {
                tarvenia::File(got + "qndelar.jpg", tarvenia::File::Mode::Create);
            } catch (const tarvenia::IoError& e) {
                created = e.what();
            }
            return got + ((st.st_mode & 0777) == 0700 ? " private, " : " shared, ") + created + ", "
                + tarvenia::testing::ReadFileBytes(victim);
        } catch (const tarvenia::Error& e) {
            return e.what();
        }
    };
    const struct {
        const char* what;
        std::function<void()> prepare;
        std::string expected;
    } rows[] = {
        { "missing: made for the user alone", [] {}, made },
        { "writable by others", [&] { ::mkdir(dir.c_str(), 0777), ::chmod(dir.c_str(), 0777); },
            refused + " can be written by other users" },
        // Only the superuser can give a folder away.
        { "another user's", [&] { ::mkdir(dir.c_str(), 0700), ::chown(dir.c_str(), 65534, 65534); },
            ::geteuid() == 0 ? refused + " belongs to another user" : made },
        { "a link to a folder of the user", [&] { fs::create_directory_symlink(data.Root(), dir); },
            refused + " is a link" },
        { "a link planted at a work file",
            [&] {
                ::mkdir(dir.c_str(), 0700);
                fs::create_symlink(victim, dir + "/qndelar.jpg");
            },
            dir + "/ private, Invalid filename, keep" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fs::remove_all(dir);
        row.prepare();
        EXPECT_EQ(outcome(), row.expected);
    }
}

} // namespace
