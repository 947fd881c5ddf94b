#include "base/error.h"
#include "base/file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;
using tarvenia::File;
using tarvenia::IoError;

namespace {

class FileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("tarvenia-file-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(dir_, fs::perms::owner_all, ec);
        fs::remove_all(dir_, ec);
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    fs::path dir_;
};

int CodeOf(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const IoError& e) {
        return e.code();
    }
    return 0;
}

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
    const bool root = ::geteuid() == 0; // root may open anything
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
    EXPECT_EQ(CodeOf([&] { File::Erase(p); }), 2);
}

} // namespace
