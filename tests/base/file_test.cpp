#include "base/error.h"
#include "base/file.h"
#include "support/io_error_code.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
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
    {
        File(ro + "/locked", File::Mode::Create);
    }
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
        File::Mode mode
            = row.code == 5 && row.path != ro ? File::Mode::ReadWriteShared : File::Mode::Read;
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

} // namespace
