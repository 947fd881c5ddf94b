// What every variant of File promises and the program's writers rely on, run
// against the system's files (base_tests) and against the files the fuzz
// targets keep in memory (base_memory_files_tests).
#include "base/error.h"
#include "base/file.h"
#include "support/io_error_code.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

using tarvenia::File;
using tarvenia::IoError;
using tarvenia::testing::IoErrorCodeOf;

namespace {

class FileContract : public ::testing::TestWithParam<int> {
protected:
    ~FileContract() override
    {
        for (const std::string& p : paths_) {
            try {
                File::Erase(p);
            } catch (const IoError&) {
            }
        }
    }
    // A name of this test's own in the temporary folder, erased at its end.
    std::string Path(const std::string& name)
    {
        std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(test.begin(), test.end(), '/', '-');
        paths_.push_back(::testing::TempDir() + "tarvenia-" + test + "-" + name);
        return paths_.back();
    }
    static std::string Text(const std::string& path)
    {
        const std::vector<unsigned char> data = File::ReadAll(path);
        return std::string(data.begin(), data.end());
    }

private:
    std::vector<std::string> paths_;
};

TEST_P(FileContract, CreateEmptiesAndAppendGoesToTheEnd)
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
    EXPECT_EQ(Text(p), "abcdef");
    EXPECT_TRUE(File::Exists(p));
    File::Erase(p);
    EXPECT_FALSE(File::Exists(p));
    EXPECT_EQ(IoErrorCodeOf([&] { File::Erase(p); }), 2);
}

// As an append cuts a file before its end-of-data mark: positions, cuts,
// and a write past the end, which fills the gap with zero bytes.
TEST_P(FileContract, SeekTruncateAndWritingPastTheEnd)
{
    std::string p = Path("b.bin");
    File f(p, File::Mode::Create);
    f.Write("abcdef");
    f.Seek(2);
    f.Write("XY");
    f.Truncate(3);
    EXPECT_EQ(f.Size(), 3u);
    f.Seek(5);
    f.Write("Z");
    f.Seek(1);
    char read[8] = {};
    EXPECT_EQ(f.Read(read, sizeof read), 5u);
    EXPECT_EQ(std::string(read, 5), std::string("bX\0\0Z", 5));
    EXPECT_EQ(f.Read(read, sizeof read), 0u);
    f.Close();
    EXPECT_EQ(Text(p), std::string("abX\0\0Z", 6));
}

TEST_P(FileContract, RenameReplacesAndAMissingFileIsError2)
{
    const std::string target = Path("c.qdl");
    const std::string temp = Path("c.qdl.new");
    File(target, File::Mode::Create).Write("old");
    File(temp, File::Mode::Create).Write("new");
    File::Rename(temp, target);
    EXPECT_EQ(Text(target), "new");
    EXPECT_FALSE(File::Exists(temp));

    const std::string missing = Path("missing.qdl");
    const std::vector<std::pair<const char*, std::function<void()>>> rows = {
        { "read", [&] { File(missing, File::Mode::Read); } },
        { "append", [&] { File(missing, File::Mode::Append); } },
        { "shared", [&] { File(missing, File::Mode::ReadWriteShared); } },
        { "erase", [&] { File::Erase(missing); } },
        { "rename", [&] { File::Rename(missing, target); } },
    };
    for (const auto& [what, action] : rows)
        EXPECT_EQ(IoErrorCodeOf(action), 2) << what;
    EXPECT_EQ(Text(target), "new");
}

// Named by the variant the binary is built with (SystemFiles, MemoryFiles).
#define TARVENIA_INSTANTIATE(variant)                                                              \
    INSTANTIATE_TEST_SUITE_P(variant, FileContract, ::testing::Values(0))
TARVENIA_INSTANTIATE(TARVENIA_FILE_VARIANT);

} // namespace
