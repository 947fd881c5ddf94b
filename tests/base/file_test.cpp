#include "base/error.h"
#include "base/file.h"
#include "base/file_lock.h"
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

} // namespace

// Two locks on one path, as two processes hold them: one at a time, the
// note readable by the other meanwhile, the lock free again once released
// or gone.
TEST_F(FileTest, AFileLockIsHeldByOneAtATimeAndItsNoteStaysReadable)
{
    using tarvenia::FileLock;
    const std::string path = Path("qndelar.lck");
    FileLock first(path);
    FileLock second(path);
    ASSERT_TRUE(first.TryLock());
    first.WriteNote("window\n");
    EXPECT_FALSE(second.TryLock());
    EXPECT_EQ(second.ReadNote(), "window\n");
    first.WriteNote("run\n"); // a shorter note leaves nothing of the longer
    EXPECT_EQ(second.ReadNote(), "run\n");
    first.Unlock();
    EXPECT_TRUE(second.TryLock());
    {
        FileLock third(path);
        EXPECT_FALSE(third.TryLock());
        second.Unlock();
        EXPECT_TRUE(third.TryLock());
    }
    EXPECT_TRUE(first.TryLock()); // the third went with its lock
    EXPECT_THROW(FileLock(Path("missing/qndelar.lck")), IoError);
}
