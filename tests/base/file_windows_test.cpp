// The Windows variants of the base functions: the sharing of each File mode,
// Windows errors in the program's numbering, and the program's folders.
#include "base/error.h"
#include "base/file.h"
#include "base/platform.h"
#include "support/io_error_code.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <functional>
#include <optional>

namespace tarvenia {
namespace {

    namespace fs = std::filesystem;

    class FileWindowsTest : public ::testing::Test {
    protected:
        std::string Path(const std::string& name) const { return folder_.Path(name); }
        std::string Existing(const std::string& name, const std::string& content = "abc")
        {
            File f(Path(name), File::Mode::Create);
            f.Write(content);
            return Path(name);
        }
        testing::TempFolder folder_;
        const fs::path dir_ = folder_.Root();
    };

    using testing::IoErrorCodeOf;

    TEST_F(FileWindowsTest, EachModeSharesTheFileAsItPromises)
    {
        using M = File::Mode;
        // A second opener: File's own modes, and a reader that lets anyone
        // write meanwhile (as a picture viewer would open the file).
        enum Second { Read, ReadWriteShared, Append, Viewer };
        struct Case {
            M held;
            Second second;
            bool shared;
        } cases[] = {
            { M::Read, Read, true }, // others may read...
            { M::Read, ReadWriteShared, false }, // ...but not write
            { M::Read, Append, false },
            { M::Create, Viewer, true }, // a file being written can be looked at
            { M::Create, Read, false }, // but not by one who forbids writing
            { M::Create, ReadWriteShared, false },
            { M::CreateExclusive, Viewer, false }, // shared with no one
            { M::CreateExclusive, Read, false },
            { M::Append, Viewer, true },
            { M::Append, Append, false },
            { M::ReadWriteShared, ReadWriteShared, true },
            { M::ReadWriteShared, Viewer, true },
            { M::ReadWriteShared, Read, false },
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(std::to_string(static_cast<int>(c.held)) + " then "
                + std::to_string(static_cast<int>(c.second)));
            std::string path = Existing("shared.bin");
            File first(path, c.held);
            int code = 0;
            if (c.second == Viewer) {
                HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
                code = h == INVALID_HANDLE_VALUE ? static_cast<int>(::GetLastError()) : 0;
                if (h != INVALID_HANDLE_VALUE)
                    ::CloseHandle(h);
            } else {
                const M mode = c.second == Read ? M::Read
                    : c.second == Append        ? M::Append
                                                : M::ReadWriteShared;
                code = IoErrorCodeOf([&] { File second(path, mode); });
            }
            // A file held open is not a denied access: "I/O error 32".
            EXPECT_EQ(code, c.shared ? 0 : ERROR_SHARING_VIOLATION);
        }
        // An open file cannot be erased; once closed it can.
        std::string path = Existing("erase.bin");
        {
            File open(path, M::Read);
            EXPECT_EQ(IoErrorCodeOf([&] { File::Erase(path); }), ERROR_SHARING_VIOLATION);
        }
        EXPECT_EQ(IoErrorCodeOf([&] { File::Erase(path); }), 0);
        EXPECT_FALSE(File::Exists(path));
    }

    TEST_F(FileWindowsTest, WindowsErrorsTakeTheProgramsNumbers)
    {
        std::string readonly = Existing("readonly.bin");
        ::SetFileAttributesA(readonly.c_str(), FILE_ATTRIBUTE_READONLY);
        struct Case {
            const char* what;
            std::function<void()> action;
            int code;
        } cases[] = {
            { "missing file", [&] { File(Path("none.qdl"), File::Mode::Read); }, 2 },
            { "missing folder", [&] { File(Path("no\\such\\x.qdl"), File::Mode::Create); }, 3 },
            { "a folder", [&] { File(dir_.string(), File::Mode::Read); }, 5 },
            { "erasing a missing file", [&] { File::Erase(Path("none.qdl")); }, 2 },
            { "a name Windows refuses", [&] { File(Path("bad?name"), File::Mode::Create); },
                ERROR_INVALID_NAME },
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.what);
            EXPECT_EQ(IoErrorCodeOf(c.action), c.code);
        }
        // Where the system enforces read-only files (not Wine run by root).
        HANDLE probe
            = ::CreateFileA(readonly.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (probe == INVALID_HANDLE_VALUE) {
            EXPECT_EQ(IoErrorCodeOf([&] { File(readonly, File::Mode::ReadWriteShared); }), 5);
            EXPECT_EQ(IoErrorCodeOf([&] { File(readonly, File::Mode::Create); }), 5);
        } else {
            ::CloseHandle(probe);
        }
        ::SetFileAttributesA(readonly.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(IoError(ERROR_INVALID_NAME).what(), std::string("I/O error 123"));
        // Another program holding the file open without sharing it.
        HANDLE held = ::CreateFileA(
            Existing("held.bin").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        try {
            File(Path("held.bin"), File::Mode::Read);
            ADD_FAILURE() << "opened";
        } catch (const IoError& e) {
            EXPECT_STREQ(e.what(), "I/O error 32");
        }
        ::CloseHandle(held);
    }

    TEST_F(FileWindowsTest, TruncateKeepsThePositionAndAppendWritesAtTheEnd)
    {
        std::string path = Existing("t.bin", "0123456789");
        {
            File f(path, File::Mode::ReadWriteShared);
            f.Seek(4);
            f.Truncate(6);
            f.Write("X");
            EXPECT_EQ(f.Size(), 6u);
        }
        {
            File f(path, File::Mode::Append);
            f.Write("yz");
        }
        auto bytes = File::ReadAll(path);
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "0123X5yz");
    }

    TEST(PlatformWindowsTest, FoldersOfTheProgram)
    {
        char exe[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
        std::string dir = ExecutableDir();
        ASSERT_FALSE(dir.empty());
        EXPECT_EQ(dir.back(), '\\');
        EXPECT_EQ(std::string(exe).rfind(dir, 0), 0u);
        EXPECT_EQ(std::string(exe).find('\\', dir.size()), std::string::npos);
        EXPECT_EQ(WorkDir(), "c:\\");
    }

} // namespace
} // namespace tarvenia
