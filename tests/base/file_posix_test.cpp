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
    using tarvenia::testing::ScopedVariable;
    using tarvenia::testing::TempFolder;
    const TempFolder data;
    const ScopedVariable xdg("XDG_DATA_HOME", data.Root().string());
    const std::string dir = data.Path("tarvenia");
    const std::string victim = data.Write("victim", "keep");
    const passwd* user = ::getpwuid(::getuid());
    ASSERT_NE(user, nullptr);
    // The action's result, or the text of the Error it throws.
    auto outcome = [](const std::function<std::string()>& action) {
        try {
            return action();
        } catch (const tarvenia::Error& e) {
            return std::string(e.what());
        }
    };
    auto work_dir_and_mode = [&] {
        const std::string got = tarvenia::WorkDir();
        struct stat st {};
        ::stat(dir.c_str(), &st);
        return got + ((st.st_mode & 0777) == 0700 ? " private" : " shared");
    };
    struct Row {
        const char* what;
        std::function<std::string()> action;
        std::string expected;
    };
    const Row rows[] = {
        { "HOME and XDG_DATA_HOME unset: the home of the password database",
            [] {
                const ScopedVariable no_xdg("XDG_DATA_HOME", nullptr), no_home("HOME", nullptr);
                return tarvenia::DataHome();
            },
            std::string(user->pw_dir) + "/.local/share" },
        { "a relative XDG_DATA_HOME is ignored",
            [] {
                const ScopedVariable relative("XDG_DATA_HOME", "data"), home("HOME", "/h");
                return tarvenia::DataHome();
            },
            "/h/.local/share" },
        { "missing: made for the user alone", work_dir_and_mode, dir + "/ private" },
        { "writable by others",
            [&] {
                std::filesystem::create_directory(dir);
                ::chmod(dir.c_str(), 0777);
                return work_dir_and_mode();
            },
            "Work folder " + dir + " can be written by other users" },
        { "another user's",
            [&] {
                std::filesystem::create_directory(dir);
                // Only the superuser can give a folder away: others pass the row.
                if (::chown(dir.c_str(), 65534, 65534) != 0)
                    return "Work folder " + dir + " belongs to another user";
                return work_dir_and_mode();
            },
            "Work folder " + dir + " belongs to another user" },
        { "a link to a folder of the user",
            [&] {
                std::filesystem::create_directory(data.Path("elsewhere"));
                std::filesystem::create_directory_symlink(data.Path("elsewhere"), dir);
                return work_dir_and_mode();
            },
            "Work folder " + dir + " is a link" },
        { "a link planted at a work file",
            [&] {
                std::filesystem::create_symlink(victim, tarvenia::WorkDir() + "qndelar.jpg");
                std::string result;
                for (auto mode :
                    { tarvenia::File::Mode::Create, tarvenia::File::Mode::CreateExclusive })
                    result += outcome([&] {
                        tarvenia::File(dir + "/qndelar.jpg", mode);
                        return std::string("opened");
                    }) + "; ";
                return result + TempFolder::Read(victim);
            },
            "Invalid filename; Invalid filename; keep" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::filesystem::remove_all(dir);
        EXPECT_EQ(outcome(row.action), row.expected);
    }
}

} // namespace
