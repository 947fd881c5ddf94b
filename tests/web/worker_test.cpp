// The download worker's three runs against a scripted network.
#include "worker_fakes.h"

#include "base/texts.h"
#include "protocol/addresses.h"
#include "web/vazi_dov_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <stdexcept>

namespace tarvenia {
namespace {

    using namespace tarvenia::testing;

    const std::string kConexion = texts::kConexion;
    std::string Count(int n) { return std::to_string(n) + texts::kBytesRecibidos; }

    const std::string kPhotoUrl = "http://fotos1.tarvenia.example/fotos/20030301.jpg";

    // Worker runs against a scripted network.
    struct Rig : WorkerRig {
        FakeNetwork net;
        Rig()
        {
            services.open_session = [this] { return std::make_unique<FakeSession>(net); };
        }
    };

    // The run is the one the starter names, whatever the shared state would
    // suggest; only a confirmation takes ConfirmPending.
    TEST(WorkerTest, PerformsTheRunItsStarterNames)
    {
        const std::string confirm = ConfirmationAddress("20030305");
        struct Case {
            RunKind kind;
            bool confirm_pending;
            std::string current_key;
            std::vector<std::string> opened;
        } cases[] = {
            { RunKind::Photo, true, "", { kPhotoUrl } },
            { RunKind::FirstConnection, true, "20030301",
                { DailyAddress("20030305"), CatalogAddress() } },
            { RunKind::Confirmation, false, "20030301", { confirm } },
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(static_cast<int>(c.kind));
            Rig rig;
            rig.net.script[kPhotoUrl] = { Body(10) };
            rig.net.script[confirm] = { "thanks" };
            rig.state.ConfirmPending = c.confirm_pending;
            rig.state.CurrentKey = c.current_key;
            rig.Run(c.kind, c.kind == RunKind::Confirmation ? confirm : kPhotoUrl);
            std::vector<std::string> opened;
            for (const auto& open : rig.net.Opens())
                opened.push_back(open.url);
            EXPECT_EQ(opened, c.opened);
            EXPECT_EQ(rig.state.ConfirmPending.load(), c.kind != RunKind::Confirmation);
        }
    }

    TEST(PhotoRunTest, StoresEveryReadAndShowsTheGrowingCount)
    {
        struct Case {
            const char* name;
            std::vector<std::size_t> reads;
            std::vector<std::string> statuses;
        } cases[] = {
            { "three reads", { 1024, 1024, 452 },
                { kConexion, Count(1024), Count(2048), Count(2500), Count(2500) } },
            { "empty body", {}, { kConexion, Count(0) } },
            { "short reads", { 10, 1, 1024 },
                { kConexion, Count(10), Count(11), Count(1035), Count(1035) } },
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            Rig rig;
            std::size_t total = 0;
            for (auto n : c.reads)
                total += n;
            std::string body = Body(total);
            rig.net.script[kPhotoUrl] = Split(body, c.reads);
            rig.state.CurrentKey = "20030301";
            rig.Run(RunKind::Photo, kPhotoUrl);

            EXPECT_EQ(rig.main.Texts(), c.statuses);
            EXPECT_EQ(ReadFileBytes(rig.state.Paths.photo), body);
            EXPECT_TRUE(rig.state.ImageReady.load());
            EXPECT_FALSE(rig.state.CatalogReady.load());
            ASSERT_EQ(rig.net.Opens().size(), 1u);
            EXPECT_FALSE(rig.net.Opens()[0].reload); // photos may come from a cache
        }
    }

    TEST(PhotoRunTest, AnAddressThatCannotBeOpenedLeavesAnEmptyFileAndRaisesTheFlag)
    {
        Rig rig;
        rig.state.CurrentKey = "20030301";
        rig.Run(RunKind::Photo, "20030301.jpg"); // empty base token: nothing answers
        EXPECT_EQ(rig.main.Texts(), (std::vector<std::string> { kConexion, Count(0) }));
        EXPECT_TRUE(std::filesystem::exists(rig.state.Paths.photo));
        EXPECT_EQ(ReadFileBytes(rig.state.Paths.photo), "");
        EXPECT_TRUE(rig.state.ImageReady.load());
    }

    TEST(PhotoRunTest, AShorterSecondPhotoLeavesNothingOfTheFirst)
    {
        Rig rig;
        rig.state.CurrentKey = "20030301";
        std::string longer = Body(5000, 1), shorter = Body(700, 2);
        rig.net.script["a"] = Split(longer, { 1024, 1024, 1024, 1024, 904 });
        rig.net.script["b"] = Split(shorter, { 700 });
        rig.Run(RunKind::Photo, "a");
        ASSERT_EQ(ReadFileBytes(rig.state.Paths.photo), longer);
        rig.Run(RunKind::Photo, "b");
        EXPECT_EQ(ReadFileBytes(rig.state.Paths.photo), shorter);
    }

    TEST(PhotoRunTest, ALargeBodyIsStoredWholeAndAFullDiskEndsTheRunWithoutItsFlag)
    {
        // Larger than anything the worker may hold before writing.
        const std::vector<std::size_t> reads(300, 1024);
        const std::string body = Body(300 * 1024 + 17);
        auto pieces = Split(body.substr(0, 300 * 1024), reads);
        pieces.push_back(body.substr(300 * 1024));
        {
            Rig rig;
            rig.net.script[kPhotoUrl] = pieces;
            rig.state.CurrentKey = "20030301";
            rig.Run(RunKind::Photo, kPhotoUrl);
            EXPECT_EQ(ReadFileBytes(rig.state.Paths.photo), body);
            EXPECT_EQ(rig.main.Texts().size(),
                pieces.size() + 2); // the open, each read, the last empty one
            EXPECT_EQ(rig.main.Texts().back(), Count(static_cast<int>(body.size())));
            EXPECT_TRUE(rig.state.ImageReady.load());
        }
        if (!std::filesystem::exists("/dev/full"))
            GTEST_SKIP() << "no device that is always full";
        Rig rig;
        rig.net.script[kPhotoUrl] = pieces;
        rig.state.CurrentKey = "20030301";
        rig.state.Paths.photo = "/dev/full";
        rig.Run(RunKind::Photo, kPhotoUrl);
        EXPECT_FALSE(rig.state.ImageReady.load());
    }

    TEST(WorkerTest, AnUnwritableWorkFolderEndsTheRunWithoutItsFlag)
    {
        struct Case {
            const char* name;
            RunKind kind;
            std::vector<std::string> statuses;
        } cases[] = {
            { "photo run", RunKind::Photo, { kConexion } },
            { "first connection", RunKind::FirstConnection, { kConexion, kConexion } },
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            Rig rig;
            rig.state.Paths = WorkPaths::InFolder(rig.dir.Dir() + "missing/folder/");
            rig.net.script[kPhotoUrl] = { Body(100) };
            rig.net.script[DailyAddress("20030305")] = { "20030305<http://a/>" };
            rig.net.script[CatalogAddress()] = { Body(100) };
            rig.Run(c.kind, kPhotoUrl);
            EXPECT_FALSE(rig.state.ImageReady.load());
            EXPECT_FALSE(rig.state.CatalogReady.load());
            EXPECT_EQ(rig.main.Texts(), c.statuses); // no byte count, no message
        }
    }

    TEST(WorkerTest, AFailingStatusHandOverEndsTheRunQuietly)
    {
        Rig rig;
        rig.state.CurrentKey = "20030301";
        rig.net.script[kPhotoUrl] = { Body(100) };
        WorkerServices services = rig.services;
        services.set_status = [](const std::string&) { throw std::runtime_error("window gone"); };
        TVaziDovThread worker(rig.state, services, RunKind::Photo);
        worker.Url = kPhotoUrl;
        EXPECT_NO_THROW(worker.Execute());
        EXPECT_FALSE(rig.state.ImageReady.load());
    }

    TEST(FirstConnectionRunTest, ParsesTheDailyResponseAndStoresTheCatalog)
    {
        Rig rig;
        std::string daily = "20030305<http://a.example/><http://b/>\r\n";
        ASSERT_EQ(daily.size(), 40u);
        std::string catalog = Body(3000, 3);
        rig.net.script[DailyAddress("20030305")] = { daily };
        rig.net.script[CatalogAddress()] = Split(catalog, { 1024, 1024, 952 });
        rig.Run(RunKind::FirstConnection, "http://imagenes.tarvenia.example");

        EXPECT_EQ(rig.main.Texts(),
            (std::vector<std::string> {
                kConexion, kConexion, Count(1064), Count(2088), Count(3040), Count(3040) }));
        EXPECT_EQ(rig.state.CurrentKey, "20030305");
        EXPECT_EQ(rig.state.SelectedKey, "20030305");
        EXPECT_EQ(
            rig.state.BaseUrls, (std::vector<std::string> { "http://a.example/", "http://b/" }));
        EXPECT_EQ(ReadFileBytes(rig.state.Paths.catalog), catalog);
        EXPECT_TRUE(rig.state.CatalogReady.load());
        EXPECT_FALSE(rig.state.ImageReady.load());
        auto opens = rig.net.Opens();
        ASSERT_EQ(opens.size(), 2u);
        EXPECT_EQ(opens[0].url, DailyAddress("20030305"));
        EXPECT_EQ(opens[1].url, CatalogAddress());
        EXPECT_TRUE(opens[0].reload);
        EXPECT_TRUE(opens[1].reload);
    }

    TEST(FirstConnectionRunTest, TheDailyTextIsTheLastNonEmptyRead)
    {
        Rig rig;
        rig.net.script[DailyAddress("20030305")] = { std::string(1024, 'x'), "20040101<t>" };
        rig.net.script[CatalogAddress()] = {};
        rig.Run(RunKind::FirstConnection, "");
        EXPECT_EQ(rig.state.CurrentKey, "20040101");
        EXPECT_EQ(rig.state.BaseUrls, std::vector<std::string> { "t" });
        EXPECT_EQ(rig.main.Texts().back(), Count(1035));
    }

    TEST(FirstConnectionRunTest, WithoutADailyResponseTheCatalogIsStillFetched)
    {
        Rig rig;
        rig.state.SelectedKey = "old";
        rig.net.script[CatalogAddress()] = { Body(10) };
        rig.Run(RunKind::FirstConnection, "");
        EXPECT_EQ(rig.state.CurrentKey, "");
        EXPECT_EQ(rig.state.SelectedKey, "");
        EXPECT_TRUE(rig.state.BaseUrls.empty());
        EXPECT_EQ(ReadFileBytes(rig.state.Paths.catalog), Body(10));
        EXPECT_TRUE(rig.state.CatalogReady.load());
        EXPECT_EQ(rig.main.Texts(),
            (std::vector<std::string> { kConexion, kConexion, Count(10), Count(10) }));
    }

    TEST(ConfirmationRunTest, SendsTheRequestReadsNothingShowsNothing)
    {
        struct Case {
            const char* name;
            bool reachable;
        } cases[] = { { "answered", true }, { "unreachable", false } };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            Rig rig;
            std::string url = ConfirmationAddress("20030305");
            if (c.reachable)
                rig.net.script[url] = { "thanks" };
            rig.state.ConfirmPending = true;
            rig.state.CurrentKey = "20030301";
            rig.Run(RunKind::Confirmation, url);
            EXPECT_FALSE(rig.state.ConfirmPending.load());
            EXPECT_TRUE(rig.main.Texts().empty());
            EXPECT_EQ(rig.net.ReadsOf(url), 0);
            ASSERT_EQ(rig.net.Opens().size(), 1u);
            EXPECT_TRUE(rig.net.Opens()[0].reload);
            EXPECT_FALSE(rig.state.ImageReady.load());
            EXPECT_FALSE(std::filesystem::exists(rig.state.Paths.photo));
        }
    }

    // A confirmation held in the network while the window starts a photo
    // run: each worker keeps the run its starter set up.
    TEST(ThreadWorkerStarterTest, AConfirmationAndAPhotoRunInFlightKeepTheirRuns)
    {
        Rig rig;
        std::string confirm = ConfirmationAddress("20030305");
        rig.net.script[confirm] = { "ok" };
        rig.net.script[kPhotoUrl] = Split(Body(2500), { 1024, 1024, 452 });
        std::mutex m;
        std::condition_variable cv;
        bool release = false;
        std::atomic<bool> confirm_opened { false };
        rig.net.on_open = [&](const std::string& url) {
            if (url != confirm)
                return;
            confirm_opened = true;
            std::unique_lock lock(m);
            cv.wait_for(lock, std::chrono::seconds(10), [&] { return release; });
        };

        ThreadWorkerStarter starter(rig.state, rig.services);
        rig.state.CurrentKey = "20030301";
        rig.state.ConfirmPending = true;
        starter.StartWorker(RunKind::Confirmation, confirm);
        ASSERT_TRUE(WaitFor([&] { return confirm_opened.load(); }));
        starter.StartWorker(RunKind::Photo, kPhotoUrl); // as a change of the combo box would
        ASSERT_TRUE(WaitFor([&] { return rig.state.ImageReady.load(); }));
        {
            std::lock_guard lock(m);
            release = true;
        }
        cv.notify_all();
        ASSERT_TRUE(WaitFor([&] { return rig.net.Opens().size() == 2; }));

        EXPECT_EQ(ReadFileBytes(rig.state.Paths.photo), Body(2500));
        EXPECT_FALSE(rig.state.ConfirmPending.load());
        auto opens = rig.net.Opens();
        EXPECT_EQ(opens[0].url, confirm);
        EXPECT_TRUE(opens[0].reload);
        EXPECT_EQ(opens[1].url, kPhotoUrl);
        EXPECT_FALSE(opens[1].reload);
        EXPECT_EQ(rig.net.ReadsOf(confirm), 0);
        // Both runs are over once their sessions are closed.
        EXPECT_TRUE(WaitFor([&] { return rig.net.sessions_open.load() == 0; }));
    }

    // The status texts are set on the main thread while the worker waits.
    TEST(ThreadWorkerStarterTest, StatusesAreHandedOverToTheMainThread)
    {
        Rig rig;
        rig.net.script[kPhotoUrl] = Split(Body(2500), { 1024, 1024, 452 });
        PumpedMainThread main;
        std::vector<std::string> shown;
        std::vector<std::thread::id> shown_on;
        WorkerServices services = rig.services;
        services.main_thread = &main;
        services.set_status = [&](const std::string& text) {
            shown.push_back(text);
            shown_on.push_back(std::this_thread::get_id());
        };
        rig.state.CurrentKey = "20030301";
        ThreadWorkerStarter(rig.state, services).StartWorker(RunKind::Photo, kPhotoUrl);
        ASSERT_TRUE(
            main.Pump([&] { return rig.state.ImageReady.load(std::memory_order_acquire); }));
        EXPECT_EQ(shown,
            (std::vector<std::string> {
                kConexion, Count(1024), Count(2048), Count(2500), Count(2500) }));
        for (auto id : shown_on)
            EXPECT_EQ(id, std::this_thread::get_id());
        EXPECT_EQ(ReadFileBytes(rig.state.Paths.photo), Body(2500));
        EXPECT_TRUE(WaitFor([&] { return rig.net.sessions_open.load() == 0; }));
    }

    // The program ends without running destructors (quick_exit, _Exit) while
    // a worker still waits for the network; nothing of the worker may stand
    // in the way.
    TEST(ThreadWorkerStarterTest, TheProcessEndsPromptlyWhileAWorkerWaits)
    {
        // Workers of earlier tests may still be about: start the child afresh.
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        EXPECT_EXIT(
            {
                auto* rig = new Rig; // left alive, as the program leaves its state
                std::atomic<bool>* opened = new std::atomic<bool>(false);
                rig->net.script[kPhotoUrl] = { "x" };
                rig->net.on_open = [opened](const std::string&) {
                    *opened = true;
                    std::this_thread::sleep_for(std::chrono::seconds(30));
                };
                rig->state.CurrentKey = "20030301";
                ThreadWorkerStarter(rig->state, rig->services)
                    .StartWorker(RunKind::Photo, kPhotoUrl);
                WaitFor([&] { return opened->load(); });
                std::_Exit(7);
            },
            ::testing::ExitedWithCode(7), "");
    }

    // A newer "Confirmar" raises the flag while an older confirmation is
    // still running: the older one ending must not swallow it.
    TEST(ThreadWorkerStarterTest, AnEndingConfirmationLeavesANewerFlagAlone)
    {
        Rig rig;
        std::string confirm = ConfirmationAddress("20030305");
        rig.state.ConfirmPending = true;
        rig.state.CurrentKey = "20030301";
        {
            TVaziDovThread first(rig.state, rig.services, RunKind::Confirmation);
            EXPECT_FALSE(rig.state.ConfirmPending.load()); // taken
            rig.state.ConfirmPending = true; // the next click, before its worker exists
            first.Url = confirm;
            first.Execute();
        }
        EXPECT_TRUE(rig.state.ConfirmPending.load());
        TVaziDovThread second(rig.state, rig.services, RunKind::Confirmation);
        EXPECT_FALSE(rig.state.ConfirmPending.load());
    }

} // namespace
} // namespace tarvenia
