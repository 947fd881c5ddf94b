#include "base/errno_code.h"
#include "base/error.h"
#include "base/file.h"
#include "support/io_error_code.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <set>
#include <string>

namespace fs = std::filesystem;
using tarvenia::File;
using tarvenia::IoError;

namespace {

class FileTest : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return dir_.Path(name); }
    tarvenia::testing::TempFolder dir_;
};

using tarvenia::testing::IoErrorCodeOf;

TEST_F(FileTest, OpenFailuresCarryTheProgramsErrorTexts)
{
    struct Row {
        const char* what;
        std::string path;
        int code;
        const char* text;
    };
    std::string ro = Path("ro");
    fs::create_directories(ro);
    { File(ro + "/locked", File::Mode::Create); }
    fs::permissions(ro + "/locked", fs::perms::owner_read);
    const bool root = tarvenia::testing::ReadOnlyFilesAreWritable(); // root may open anything
    std::vector<Row> rows = {
        { "missing file", Path("nothing.qdl"), 2, "File not found" },
        { "missing folder", Path("no/such/folder/x.qdl"), 3, "Invalid filename" },
        { "a folder opened as a file", ro, 5, "File access denied" },
    };
    if (!root)
        rows.push_back({ "read-only file", ro + "/locked", 5, "File access denied" });
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        File::Mode mode = row.code == 5 && row.path != ro ? File::Mode::ReadWriteShared
                                                           : File::Mode::Read;
        try {
            File f(row.path, mode);
            FAIL() << "opened";
        } catch (const IoError& e) {
            EXPECT_EQ(e.code(), row.code);
            EXPECT_STREQ(e.what(), row.text);
        }
    }
    EXPECT_EQ(IoError::TextFor(28), "I/O error 28");
}

TEST_F(FileTest, CreateEmptiesAndAppendGoesToTheEnd)
{
    std::string p = Path("a.bin");
    {
        File f(p, File::Mode::Create);
        f.Write("hello world");
    }
    {
        File f(p, File::Mode::Create);
        f.Write("abc");
    }
    {
        File f(p, File::Mode::Append);
        f.Write("def");
    }
    auto data = File::ReadAll(p);
    EXPECT_EQ(std::string(data.begin(), data.end()), "abcdef");
    EXPECT_TRUE(File::Exists(p));
    File::Erase(p);
    EXPECT_FALSE(File::Exists(p));
    EXPECT_EQ(IoErrorCodeOf([&] { File::Erase(p); }), 2);
}

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
