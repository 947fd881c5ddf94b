// The window-less run drives the real TForm1 through its headless view while
// workers are played on threads of their own (files written, flags raised,
// status handed over, the end told), one table row per outcome.
#include "window/headless/today_run.h"

#include "base/file.h"
#include "imaging/jpeg_picture.h"
#include "support/temp_folder.h"
#include "support/test_jpeg.h"

#include <gtest/gtest.h>

#include <optional>
#include <thread>

namespace tarvenia::headless {
namespace {

    using testing::ReadFileBytes;
    using testing::TempFolder;
    using testing::WriteFileBytes;

    std::string Bytes(const std::vector<unsigned char>& v) { return { v.begin(), v.end() }; }

    const std::string kPhoto = Bytes(testing::MakeJpeg(32, 24));

    // The photo with its first component's quantization table undefined:
    // its header loads, its decode fails.
    std::string BrokenPhoto()
    {
        std::string jpeg = kPhoto;
        for (std::size_t i = 2; i + 12 < jpeg.size();) {
            const auto marker = static_cast<unsigned char>(jpeg[i + 1]);
            if (marker >= 0xC0 && marker <= 0xC2) {
                jpeg[i + 12] = 3;
                break;
            }
            i += 2
                + (static_cast<unsigned char>(jpeg[i + 2]) << 8
                    | static_cast<unsigned char>(jpeg[i + 3]));
        }
        return jpeg;
    }

    // The text of the error that loading (and decoding) `jpeg` ends with.
    std::string FailureOf(const std::string& jpeg)
    {
        try {
            JpegPicture::FromBytes({ jpeg.begin(), jpeg.end() }, 24).Decode();
        } catch (const std::exception& e) {
            return e.what();
        }
        return "(none)";
    }

    std::string Replaced(std::string text, const std::string& what, const std::string& with)
    {
        if (auto at = text.find(what); at != std::string::npos)
            text.replace(at, what.size(), with);
        return text;
    }

    const std::string kCatalog = "202403150Amanecer en el valle\r\n"
                                 "202403141Lago en calma\r\n";

    // What the played workers do. nullopt: the run ends without storing its
    // file, so its flag stays down.
    struct Script {
        std::optional<std::string> catalog = kCatalog;
        std::optional<std::string> photo = kPhoto;
        bool desktop_accepts = true;
    };

    class PlayedWorkers final : public WorkerStarter {
    public:
        PlayedWorkers(const Script& script, SharedState& state, HeadlessMainThread& main_thread,
            HeadlessView& view)
            : script_(script)
            , state_(state)
            , main_thread_(main_thread)
            , view_(view)
        {
        }
        ~PlayedWorkers() override
        {
            for (std::thread& t : threads_)
                t.join();
        }
        void StartWorker(RunKind kind, const std::string& url) override
        {
            started.emplace_back(kind, url);
            threads_.emplace_back([this, kind] {
                Play(kind);
                run->RunEnded(kind);
            });
        }
        TodayRun* run = nullptr;
        std::vector<std::pair<RunKind, std::string>> started;

    private:
        void Play(RunKind kind)
        {
            main_thread_.RunAndWait([this] { view_.SetStatusText("Conexi\xF3n", true); });
            if (kind == RunKind::FirstConnection) {
                state_.CurrentKey = state_.SelectedKey = "20240315";
                state_.BaseUrls = { "http://fotos1/", "http://fotos2/" };
                Store(script_.catalog, state_.Paths.catalog, state_.CatalogReady);
            } else if (kind == RunKind::Photo) {
                Store(script_.photo, state_.Paths.photo, state_.ImageReady);
            }
        }
        void Store(const std::optional<std::string>& bytes, const std::string& path,
            std::atomic<bool>& flag)
        {
            if (!bytes)
                return;
            WriteFileBytes(path, *bytes);
            flag.store(true, std::memory_order_release);
        }

        const Script& script_;
        SharedState& state_;
        HeadlessMainThread& main_thread_;
        HeadlessView& view_;
        std::vector<std::thread> threads_;
    };

    class Desktop final : public WallpaperInstaller {
    public:
        explicit Desktop(bool accepts)
            : accepts_(accepts)
        {
        }
        bool Install(const std::string& path) noexcept override
        {
            installed.push_back(path);
            return accepts_;
        }
        std::vector<std::string> installed;

    private:
        bool accepts_;
    };

    struct Outcome {
        int status = -1;
        std::string out; // lines on standard output
        std::string err; // error boxes and messages on standard error
        std::vector<RunKind> started;
        std::string confirmed; // the confirmation's address
        bool installed = false;
        std::string last_key; // the state file afterwards
        std::string bitmap; // the wallpaper bitmap afterwards
        bool work_files_left = true;
        std::string dir; // the work folder it ran in (gone)
    };

    // One run in a fresh work folder; `last_key` and `bitmap` stand for an
    // earlier run's state file and wallpaper bitmap ("" for none).
    Outcome RunOnce(
        const Script& script, const std::string& last_key = "", const std::string& bitmap = "")
    {
        TempFolder folder;
        const std::string last_photo = folder.Path("qndelar.last");
        SharedState state;
        state.Paths = WorkPaths::InFolder(folder.Dir());
        if (!last_key.empty())
            WriteFileBytes(last_photo, last_key + "\n");
        if (!bitmap.empty())
            WriteFileBytes(state.Paths.bitmap, bitmap);

        Outcome o;
        o.dir = folder.Dir();
        HeadlessView view([&o](const std::string& text) { o.err += "box: " + text + "\n"; });
        HeadlessMainThread main_thread;
        Desktop desktop(script.desktop_accepts);
        TodayRun run(view, main_thread, desktop, last_photo,
            { [&o](const std::string& line) { o.out += line + "\n"; },
                [&o](const std::string& text) { o.err += text + "\n"; } });
        PlayedWorkers workers(script, state, main_thread, view);
        workers.run = &run;
        TForm1 form(
            view, state, run.Workers(workers), run.Wallpaper(), HeadlessView::kDisplayDepth);
        view.Bind(form);
        form.FormCreate(folder.Dir());

        o.status = run.Run(form, state);
        for (const auto& [kind, url] : workers.started) {
            o.started.push_back(kind);
            if (kind == RunKind::Confirmation)
                o.confirmed = url;
        }
        o.installed = !desktop.installed.empty();
        o.last_key = ReadFileBytes(last_photo);
        o.bitmap = ReadFileBytes(state.Paths.bitmap);
        o.work_files_left = File::Exists(state.Paths.photo) || File::Exists(state.Paths.catalog);
        return o;
    }

    using K = RunKind;
    const std::vector<RunKind> kAllRuns = { K::FirstConnection, K::Photo, K::Confirmation };

    TEST(TodayRun, SetsThePhotoTheWindowShowsFirstAndRemembersIt)
    {
        // An older photo set by yesterday's run is replaced.
        const Outcome o = RunOnce({}, "20240314", "old bitmap");
        EXPECT_EQ(o.status, kExitDone) << o.err;
        EXPECT_EQ(o.out, "Amanecer en el valle (20240315)\n");
        EXPECT_EQ(o.err, "");
        EXPECT_EQ(o.started, kAllRuns);
        EXPECT_EQ(o.confirmed.substr(o.confirmed.size() - 9), "?20240315");
        EXPECT_TRUE(o.installed);
        EXPECT_EQ(o.last_key, "20240315\n");
        EXPECT_EQ(o.bitmap.substr(0, 2), "BM");
        EXPECT_EQ(o.bitmap.size(), 54u + 32 * 3 * 24); // 24 bits without a display
        EXPECT_FALSE(o.work_files_left);
    }

    TEST(TodayRun, APhotoAlreadySetIsNeitherFetchedNorConfirmedAgain)
    {
        const struct {
            const char* name;
            const char* bitmap; // what the earlier run left
            std::vector<RunKind> started;
        } cases[] = {
            { "bitmap in place", "the wallpaper", { K::FirstConnection } },
            { "bitmap gone: set again", "", kAllRuns },
        };
        for (const auto& c : cases) {
            const Outcome o = RunOnce({}, "20240315", c.bitmap);
            EXPECT_EQ(o.status, kExitDone) << c.name << ": " << o.err;
            EXPECT_EQ(o.out, "Amanecer en el valle (20240315)\n") << c.name;
            EXPECT_EQ(o.started, c.started) << c.name;
            EXPECT_EQ(o.last_key, "20240315\n") << c.name;
            EXPECT_FALSE(o.work_files_left) << c.name;
            if (*c.bitmap) {
                EXPECT_EQ(o.bitmap, c.bitmap) << c.name;
            }
        }
    }

    // Whatever fails, the run says why on standard error, ends with status
    // 1, removes the work files and leaves the state file alone; the bitmap
    // is only rewritten once the photo has decoded.
    TEST(TodayRun, AFailureIsReportedWithTheWindowsTextOrAClearOne)
    {
        const std::string broken = BrokenPhoto();
        const std::string html = "<html>Not Found</html>";
        const std::string connected = " (last status: Conexi\xF3n)\n";
        const struct {
            const char* name;
            Script script;
            std::string err; // {dir}: the work folder
            std::vector<RunKind> started;
            bool bitmap_written;
        } cases[] = {
            { "the catalog copy is never stored", { std::nullopt },
                "no photo is listed" + connected, { K::FirstConnection }, false },
            { "nothing listed (no network)", { std::string() }, "no photo is listed" + connected,
                { K::FirstConnection }, false },
            { "a base index beyond the daily response's", { "202403159Foto\r\n" },
                "the first listed photo has no address" + connected, { K::FirstConnection },
                false },
            { "the photo is never stored", { kCatalog, std::nullopt },
                "the photo could not be stored in {dir}qndelar.jpg" + connected,
                { K::FirstConnection, K::Photo }, false },
            { "an HTML page instead of a photo", { kCatalog, html },
                "the photo received is no picture: " + FailureOf(html)
                    + " (last status: Descarga Completada)\n",
                { K::FirstConnection, K::Photo }, false },
            { "a photo that does not decode: the preview's error box", { kCatalog, broken },
                "box: " + FailureOf(broken) + ".\n", { K::FirstConnection, K::Photo }, false },
            { "an empty photo: the preview's error box", { kCatalog, std::string() },
                "box: " + FailureOf("") + ".\n", { K::FirstConnection, K::Photo }, false },
            { "the desktop refuses the wallpaper", { kCatalog, kPhoto, false },
                "the desktop did not take {dir}qndelar.bmp as its wallpaper\n", kAllRuns, true },
        };
        for (const auto& c : cases) {
            const Outcome o = RunOnce(c.script, "20240101", "old bitmap");
            EXPECT_EQ(o.status, kExitFailed) << c.name;
            EXPECT_EQ(o.out, "") << c.name;
            EXPECT_EQ(o.err, Replaced(c.err, "{dir}", o.dir)) << c.name;
            EXPECT_EQ(o.started, c.started) << c.name;
            EXPECT_EQ(o.last_key, "20240101\n") << c.name;
            EXPECT_EQ(o.bitmap != "old bitmap", c.bitmap_written) << c.name;
            EXPECT_FALSE(o.work_files_left) << c.name;
        }
    }

} // namespace
} // namespace tarvenia::headless
