#include "desktop/linux/feh.h"
#include "desktop/linux/installer.h"
#include "desktop/linux/process.h"
#include "support/scoped_variable.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sys/stat.h>

namespace tarvenia {
namespace {

    using namespace std::chrono_literals;
    using testing::ReadFileBytes;
    using testing::ScopedVariable;
    using testing::WriteFileBytes;

    struct RewriteCase {
        const char* name;
        std::string script;
        std::string bitmap;
        std::optional<std::string> expected;
    };

    TEST(FehWallpaper, RewriteReplacesTheImagesAndKeepsTheRest)
    {
        const RewriteCase cases[] = {
            { "as feh writes it", "#!/bin/sh\nfeh --no-fehbg --bg-fill '/home/u/a.jpg' \n",
                "/home/u/.local/share/tarvenia/qndelar.bmp",
                "#!/bin/sh\nfeh --no-fehbg --bg-fill /home/u/.local/share/tarvenia/qndelar.bmp\n" },
            { "one image per monitor", "#!/bin/sh\nfeh --no-fehbg --bg-scale '/a.jpg' '/b.png'\n",
                "/w.bmp", "#!/bin/sh\nfeh --no-fehbg --bg-scale /w.bmp\n" },
            { "option values stay", "feh --bg-max --image-bg 'black' --no-xinerama /a.jpg",
                "/w.bmp", "feh --bg-max --image-bg black --no-xinerama /w.bmp" },
            { "paths that need quoting", "feh --bg-center /a.jpg\n", "/home/u/mis fotos/it's.bmp",
                "feh --bg-center '/home/u/mis fotos/it'\\''s.bmp'\n" },
            { "exec and a full path", "exec /usr/bin/feh --bg-tile \"/x y.jpg\"\n", "/w.bmp",
                "exec /usr/bin/feh --bg-tile /w.bmp\n" },
            { "other lines untouched",
                "#!/bin/sh\n# my wallpaper\nxsetroot -solid grey\nfeh --bg-fill a.jpg\n", "/w.bmp",
                "#!/bin/sh\n# my wallpaper\nxsetroot -solid grey\nfeh --bg-fill /w.bmp\n" },
            { "no feh command", "#!/bin/sh\nnitrogen --restore\n", "/w.bmp", std::nullopt },
            { "commented out", "#feh --bg-fill /a.jpg\n", "/w.bmp", std::nullopt },
            { "shell lists are left alone", "feh --bg-fill /a.jpg && xcompmgr\n", "/w.bmp",
                std::nullopt },
            { "empty script", "", "/w.bmp", std::nullopt },
        };
        for (const RewriteCase& c : cases)
            EXPECT_EQ(FehWallpaper::Rewrite(c.script, c.bitmap), c.expected) << c.name;
    }

    struct ProcessCase {
        const char* name;
        std::vector<std::string> argv;
        std::chrono::milliseconds limit;
        bool expected;
    };

    TEST(TimedProcess, ReportsSuccessOnlyForAProcessThatEndsWellInTime)
    {
        const ProcessCase cases[] = {
            { "ends well", { "sh", "-c", "exit 0" }, 5000ms, true },
            { "ends badly", { "sh", "-c", "exit 3" }, 5000ms, false },
            { "not installed", { "tarvenia-no-such-program" }, 5000ms, false },
            { "hangs", { "sleep", "30" }, 200ms, false },
            { "empty", {}, 200ms, false },
        };
        for (const ProcessCase& c : cases) {
            const auto start = std::chrono::steady_clock::now();
            EXPECT_EQ(TimedProcess::Run(c.argv, c.limit), c.expected) << c.name;
            EXPECT_LT(std::chrono::steady_clock::now() - start, c.limit + 10000ms) << c.name;
        }
    }

    TEST(TimedProcess, KillsTheChildrenOfAHungScriptToo)
    {
        const std::string pid_file = std::string(std::getenv("HOME")) + "/sleeper.pid";
        EXPECT_FALSE(TimedProcess::Run(
            { "sh", "-c", "sleep 30 & echo $! > '" + pid_file + "'; wait" }, 300ms));
        const pid_t sleeper = std::atoi(ReadFileBytes(pid_file).c_str());
        ASSERT_GT(sleeper, 0);
        // Gone or a zombie (containers may have no init that reaps).
        const std::string stat_file = "/proc/" + std::to_string(sleeper) + "/stat";
        bool gone = false;
        for (int i = 0; i < 100 && !gone; ++i) {
            const std::string stat = ReadFileBytes(stat_file);
            const auto state = stat.rfind(") ");
            gone = stat.empty() || (state != std::string::npos && stat[state + 2] == 'Z');
            std::this_thread::sleep_for(10ms);
        }
        EXPECT_TRUE(gone);
    }

    // Stand-ins for the desktops' tools that record how they were called.
    class CommandDesktops : public ::testing::Test {
    protected:
        void SetUp() override
        {
            home_ = std::string(std::getenv("HOME")) + "/"
                + ::testing::UnitTest::GetInstance()->current_test_info()->name();
            const std::string bin = home_ + "/bin";
            std::filesystem::create_directories(bin);
            for (const char* tool : { "feh", "pcmanfm", "pcmanfm-qt" }) {
                const std::string path = bin + "/" + tool;
                WriteFileBytes(path,
                    std::string("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$HOME/called-") + tool
                        + "\"\n");
                chmod(path.c_str(), 0755);
            }
            home_variable_.emplace("HOME", home_);
            path_variable_.emplace("PATH", bin + ":/usr/bin:/bin");
            bitmap_ = home_ + "/work dir/qndelar.bmp";
            std::filesystem::create_directories(home_ + "/work dir");
            WriteFileBytes(bitmap_, "BM");
        }

        std::string Called(const char* tool) { return ReadFileBytes(home_ + "/called-" + tool); }

        std::string home_;
        std::string bitmap_;
        std::optional<ScopedVariable> home_variable_;
        std::optional<ScopedVariable> path_variable_;
    };

    TEST_F(CommandDesktops, PcmanfmGetsThePathWithoutAMode)
    {
        const struct {
            const char* desktop;
            const char* tool;
        } cases[] = { { "LXQt", "pcmanfm-qt" }, { "LXDE", "pcmanfm" } };
        for (const auto& c : cases) {
            ScopedVariable desktop("XDG_CURRENT_DESKTOP", c.desktop);
            EXPECT_TRUE(DesktopWallpaperInstaller().Install(bitmap_)) << c.desktop;
            EXPECT_EQ(Called(c.tool), "--set-wallpaper\n" + bitmap_ + "\n") << c.desktop;
        }
    }

    TEST_F(CommandDesktops, FehScriptIsRewrittenAndRunWithTheUsersMode)
    {
        const std::string fehbg = home_ + "/.fehbg";
        WriteFileBytes(fehbg, "#!/bin/sh\nfeh --no-fehbg --bg-fill '/home/u/old.jpg' \n");
        chmod(fehbg.c_str(), 0754);
        ScopedVariable desktop("XDG_CURRENT_DESKTOP", "i3");
        EXPECT_TRUE(DesktopWallpaperInstaller().Install(bitmap_));

        EXPECT_EQ(Called("feh"), "--no-fehbg\n--bg-fill\n" + bitmap_ + "\n");
        EXPECT_EQ(ReadFileBytes(fehbg), "#!/bin/sh\nfeh --no-fehbg --bg-fill '" + bitmap_ + "'\n");
        struct stat info { };
        ASSERT_EQ(stat(fehbg.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0754u);
    }

    TEST_F(CommandDesktops, WithoutAFehSetUpNothingIsDone)
    {
        ScopedVariable desktop("XDG_CURRENT_DESKTOP", "i3");
        ScopedVariable session("DESKTOP_SESSION", "i3");
        EXPECT_FALSE(DesktopWallpaperInstaller().Install(bitmap_)); // the run reports it
        EXPECT_FALSE(std::filesystem::exists(home_ + "/.fehbg"));
        EXPECT_FALSE(std::filesystem::exists(home_ + "/called-feh"));
    }

} // namespace
} // namespace tarvenia
