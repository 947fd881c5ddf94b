// The one composition root, composed as a later front-end or a test does:
// a fake view, a main thread that runs calls at once, and stand-ins where
// the network and the desktop would be.
#include "app/program.h"

#include "base/platform.h"
#include "base/texts.h"
#include "fake_view.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace tarvenia::testing {
namespace {

    class ImmediateMainThread : public MainThread {
    public:
        void RunAndWait(const std::function<void()>& fn) override
        {
            ++calls;
            fn();
        }
        std::atomic<int> calls { 0 };
    };

    class RecordingStarter : public WorkerStarter {
    public:
        void StartWorker(RunKind kind, const std::string& url) override
        {
            kinds.push_back(kind);
            urls.push_back(url);
        }
        std::vector<RunKind> kinds;
        std::vector<std::string> urls;
    };

    class NoWallpaper : public WallpaperInstaller {
    public:
        bool Install(const std::string&) noexcept override { return true; }
    };

    struct StandIns {
        TempFolder temp;
        FakeView view;
        ImmediateMainThread main_thread;
        RecordingStarter workers;
        NoWallpaper wallpaper;
    };

    TEST(ComposeProgram, BuildsTheControllerOnTheViewBindsItAndRunsFormCreate)
    {
        StandIns s;
        s.view.screen = { 1920, 0, 1280, 1024 }; // right of another monitor
        TForm1* bound = nullptr;
        std::pair<int, int> place_when_bound;
        Program& program = ComposeProgram({ s.view, s.main_thread, 24,
                                              [&](TForm1& form) {
                                                  bound = &form;
                                                  place_when_bound = s.view.place;
                                              } },
            { &s.workers, &s.wallpaper, s.temp.Dir(), s.temp.Dir() + "exe/" });

        EXPECT_EQ(bound, &program.form);
        EXPECT_EQ(place_when_bound, std::make_pair(344, 209)); // bound before FormCreate
        EXPECT_EQ(s.view.place, std::make_pair(2925, 674));
        EXPECT_EQ(program.form.FavoritesPath, s.temp.Dir() + "exe/qndelarf.qdl");
        EXPECT_EQ(program.state.Paths.photo, s.temp.Dir() + "qndelar.jpg");
        EXPECT_EQ(&program.workers, &s.workers);
        program.form.bconClick();
        EXPECT_EQ(s.view.status, texts::kConectando);
        EXPECT_EQ(s.workers.kinds, std::vector<RunKind> { RunKind::FirstConnection });
    }

    // Left to itself, the composition root decides the favourites folder
    // (one rule for every platform) and starts real workers, whose statuses
    // reach the view through the front-end's main thread.
    TEST(ComposeProgram, DecidesTheFoldersAndWiresTheWorkersToTheView)
    {
        StandIns s;
        ProgramParts parts;
        parts.wallpaper = &s.wallpaper;
        parts.work_dir = s.temp.Dir();
        Program& program = ComposeProgram({ s.view, s.main_thread, 24, {} }, parts);
        EXPECT_EQ(program.form.FavoritesPath, FavoritesDir() + "qndelarf.qdl");

        // An address without a host opens nothing: the run ends at once,
        // with an empty photo file and its flag.
        program.workers.StartWorker(RunKind::Photo, "20240105.jpg");
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!program.state.ImageReady.load() && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_TRUE(program.state.ImageReady.load());
        EXPECT_GT(s.main_thread.calls.load(), 0);
        EXPECT_EQ(s.view.status, std::string("0") + texts::kBytesRecibidos);
    }

} // namespace
} // namespace tarvenia::testing
