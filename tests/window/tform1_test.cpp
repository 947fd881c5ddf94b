// The window controller over a fake view, a recording worker starter, a
// recording wallpaper installer and real files in a temporary folder.
#include "base/file.h"
#include "base/texts.h"
#include "desktop/wallpaper.h"
#include "fake_view.h"
#include "protocol/addresses.h"
#include "support/temp_folder.h"
#include "support/test_jpeg.h"
#include "window/tform1.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace tarvenia::testing {
namespace {

    struct Started {
        std::string url;
        RunKind kind;
    };

    // Records each start with the run a real worker would choose right then.
    class RecordingStarter : public WorkerStarter {
    public:
        explicit RecordingStarter(SharedState& state)
            : state_(state)
        {
        }
        void StartWorker(const std::string& url) override
        {
            started.push_back({ url, ChooseRun(state_) });
        }
        std::vector<Started> started;

    private:
        SharedState& state_;
    };

    class RecordingWallpaper : public WallpaperInstaller {
    public:
        void Install(const std::string& path) noexcept override { installed.push_back(path); }
        std::vector<std::string> installed;
    };

    std::string Bytes(const std::string& path)
    {
        auto data = File::ReadAll(path);
        return { data.begin(), data.end() };
    }

    void Write(const std::string& path, const std::string& bytes)
    {
        File f(path, File::Mode::Create);
        f.Write(bytes);
    }

    const std::vector<std::string> kBases = { "http://fotos0.example/", "http://fotos1.example/" };

    // Daily key 20240105; the catalog lists one photo after it.
    const std::string kCatalog = "202401060Mañana\r\n"
                                 "202401051Vi\xF1"
                                 "a del puerto\r\n"
                                 "202401040Faro de invierno\r\n"
                                 "202401031Mercado\r\n";

    class TForm1Test : public ::testing::Test {
    protected:
        void SetUp() override
        {
            fs::create_directories(dir_ / "work");
            fs::create_directories(dir_ / "exe");
            state_.Paths = WorkPaths::InFolder((dir_ / "work").string() + "/");
            form_.FormCreate(1024, 768, (dir_ / "exe").string() + "/");
            view_.on_close = [this] { form_.FormClose(); };
        }

        // What a first-connection run leaves behind.
        void FirstConnectionArrives(const std::string& key, const std::string& catalog,
            const std::vector<std::string>& bases = kBases)
        {
            state_.CurrentKey = key;
            state_.SelectedKey = key;
            state_.BaseUrls = bases;
            Write(state_.Paths.catalog, catalog);
            state_.CatalogReady = true;
        }
        void PhotoArrives(const std::string& bytes) { PhotoArrives(state_, bytes); }
        static void PhotoArrives(SharedState& state, const std::string& bytes)
        {
            Write(state.Paths.photo, bytes);
            state.ImageReady = true;
        }
        std::string Jpeg() const
        {
            auto data = MakeJpeg(64, 48);
            return { data.begin(), data.end() };
        }
        // Idle → Connecting → Catalog loaded → Photo shown.
        void ShowFirstPhoto(const std::string& key = "20240105")
        {
            form_.bconClick();
            FirstConnectionArrives(key, kCatalog);
            form_.Timer1Timer();
            PhotoArrives(Jpeg());
            form_.Timer1Timer();
        }
        std::string Favorites() const { return form_.FavoritesPath; }

        TempFolder temp_;
        const fs::path dir_ = temp_.Root();
        SharedState state_;
        FakeView view_;
        RecordingStarter workers_ { state_ };
        RecordingWallpaper wallpaper_;
        TForm1 form_ { view_, state_, workers_, wallpaper_, 24 };
    };

    using V = std::vector<Control>;
    const V kOnlySalir = { Control::bsal };
    const V kBrowsing = { Control::bsal, Control::bcnf, Control::badd, Control::combo };
    const V kBrowsingWithFav
        = { Control::bsal, Control::bcnf, Control::bfav, Control::badd, Control::combo };

    TEST_F(TForm1Test, ConnectionWalksThroughEveryState)
    {
        // Idle
        EXPECT_EQ(view_.Visible(), (V { Control::bsal, Control::bcon }));
        EXPECT_EQ(view_.status, "");
        form_.Timer1Timer();
        EXPECT_TRUE(workers_.started.empty());

        // Connecting
        state_.CurrentKey = "stale";
        form_.bconClick();
        EXPECT_EQ(view_.Visible(), kOnlySalir);
        EXPECT_EQ(view_.status, texts::kConectando);
        ASSERT_EQ(workers_.started.size(), 1u);
        EXPECT_EQ(workers_.started[0].url, ServiceBaseAddress());
        EXPECT_EQ(workers_.started[0].kind, RunKind::FirstConnection);

        // Catalog loaded: the photo after the daily key is not listed.
        FirstConnectionArrives("20240105", kCatalog);
        form_.Timer1Timer();
        EXPECT_FALSE(state_.CatalogReady);
        EXPECT_EQ(view_.items.list.items,
            (std::vector<std::string> { "Vi\xF1"
                                        "a del puerto",
                "Faro de invierno", "Mercado" }));
        EXPECT_EQ(
            form_.EntryKeys, (std::vector<std::string> { "20240105", "20240104", "20240103" }));
        EXPECT_EQ(form_.EntryBases, (std::vector<std::string> { "1", "0", "1" }));
        EXPECT_EQ(state_.CurrentKey, "20240105");
        EXPECT_EQ(view_.ComboSelectedIndex(), 0);
        EXPECT_EQ(view_.Visible(), kOnlySalir);
        ASSERT_EQ(workers_.started.size(), 2u);
        EXPECT_EQ(workers_.started[1].url, "http://fotos1.example/20240105.jpg");
        EXPECT_EQ(workers_.started[1].kind, RunKind::Photo);

        // Photo shown
        PhotoArrives(Jpeg());
        form_.Timer1Timer();
        EXPECT_FALSE(state_.ImageReady);
        EXPECT_EQ(view_.status, texts::kDescargaCompletada);
        EXPECT_EQ(view_.loads, 1);
        EXPECT_EQ(view_.Visible(), kBrowsing);
        EXPECT_EQ(view_.glyph, 0);
        EXPECT_EQ(view_.ComboText(),
            "Vi\xF1"
            "a del puerto");

        // Photo change
        view_.UserPicks(2);
        form_.comboChange();
        EXPECT_EQ(view_.Visible(), kOnlySalir);
        EXPECT_EQ(state_.SelectedKey, "20240103");
        ASSERT_EQ(workers_.started.size(), 3u);
        EXPECT_EQ(workers_.started[2].url, "http://fotos1.example/20240103.jpg");
        EXPECT_EQ(workers_.started[2].kind, RunKind::Photo);
        EXPECT_EQ(view_.picture, Jpeg()); // the previous photo stays meanwhile

        PhotoArrives(Jpeg());
        form_.Timer1Timer();
        EXPECT_EQ(view_.Visible(), kBrowsing);
        EXPECT_EQ(view_.ComboText(), "Mercado");
        EXPECT_TRUE(view_.errors.empty());
    }

    TEST_F(TForm1Test, BothFlagsInOneTickRunCatalogThenPhoto)
    {
        form_.bconClick();
        FirstConnectionArrives("20240105", kCatalog);
        PhotoArrives(Jpeg());
        form_.Timer1Timer();
        EXPECT_EQ(workers_.started.size(), 2u);
        EXPECT_EQ(view_.Visible(), kBrowsing);
        EXPECT_EQ(view_.ComboText(),
            "Vi\xF1"
            "a del puerto");
        EXPECT_FALSE(state_.CatalogReady);
        EXPECT_FALSE(state_.ImageReady);
    }

    TEST_F(TForm1Test, FailedCatalogStepLeavesOnlySalir)
    {
        struct Row {
            const char* what;
            std::string daily_key;
            std::string catalog; // "-" for no file at all
            std::vector<std::string> bases;
            std::string key_after;
            std::size_t listed;
        };
        const std::vector<Row> rows = {
            { "catalog copy missing", "20240105", "-", kBases, "20240105", 0 },
            { "empty catalog copy", "20240105", "", kBases, "20240105", 0 },
            { "no daily response", "", kCatalog, {}, "", 0 },
            { "base index not a number", "20240105", "20240105xTitulo\r\n", kBases, "20240105", 1 },
            { "base index beyond the bases", "20240105", "202401057Titulo\r\n", kBases, "20240105",
                1 },
        };
        for (const auto& row : rows) {
            SCOPED_TRACE(row.what);
            SharedState state;
            state.Paths = state_.Paths;
            FakeView view;
            RecordingStarter workers(state);
            TForm1 form(view, state, workers, wallpaper_, 24);
            fs::remove(state.Paths.catalog);
            form.bconClick();
            state.CurrentKey = row.daily_key;
            state.SelectedKey = row.daily_key;
            state.BaseUrls = row.bases;
            if (row.catalog != "-")
                Write(state.Paths.catalog, row.catalog);
            state.CatalogReady = true;
            form.Timer1Timer();
            form.Timer1Timer();
            EXPECT_FALSE(state.CatalogReady);
            EXPECT_EQ(workers.started.size(), 1u);
            EXPECT_EQ(view.Visible(), kOnlySalir);
            EXPECT_EQ(state.CurrentKey, row.key_after);
            EXPECT_EQ(form.EntryKeys.size(), row.listed);
            EXPECT_TRUE(view.errors.empty());
        }
    }

    TEST_F(TForm1Test, PhotoStepSetsTheComboTextOnlyForTheDailyPhotoInTheFullView)
    {
        struct Row {
            const char* what;
            std::string daily_key;
            bool favourites_view;
            std::string text;
        };
        const std::vector<Row> rows = {
            { "first entry is the daily photo", "20240105", false,
                "Vi\xF1"
                "a del puerto" },
            { "first entry is older than the daily key", "20240107", false, "" },
            { "favourites view", "20240105", true, "typed" },
        };
        for (const auto& row : rows) {
            SCOPED_TRACE(row.what);
            SharedState state;
            state.Paths = state_.Paths;
            FakeView view;
            RecordingStarter workers(state);
            TForm1 form(view, state, workers, wallpaper_, 24);
            form.bconClick();
            state.CurrentKey = row.daily_key;
            state.SelectedKey = row.daily_key;
            state.BaseUrls = kBases;
            Write(state.Paths.catalog, kCatalog);
            state.CatalogReady = true;
            form.Timer1Timer();
            view.UserTypes("");
            if (row.favourites_view) {
                view.SetCaption(Control::bfav, texts::kTodas);
                view.UserTypes("typed");
            }
            PhotoArrives(state, Jpeg());
            form.Timer1Timer();
            EXPECT_EQ(view.ComboText(), row.text);
            EXPECT_EQ(view.Visible(), kBrowsing);
            EXPECT_EQ(view.glyph, row.favourites_view ? 1 : 0);
            // The first listed entry bounds the lists from now on; the daily
            // key stays the one a confirmation names.
            EXPECT_EQ(state.CurrentKey, form.EntryKeys[0]);
            EXPECT_EQ(state.SelectedKey, row.daily_key);
        }
    }

    TEST_F(TForm1Test, FailedPhotoLoadKeepsThePreviousPictureSilently)
    {
        ShowFirstPhoto();
        // An empty photo file loads; its decode error comes when it is drawn.
        view_.UserPicks(1);
        form_.comboChange();
        PhotoArrives("");
        form_.Timer1Timer();
        EXPECT_EQ(view_.Visible(), kBrowsing);

        const std::string shown = view_.picture;
        view_.UserPicks(2);
        form_.comboChange();
        PhotoArrives("<html>404</html>");
        form_.Timer1Timer();
        EXPECT_EQ(view_.status, texts::kDescargaCompletada);
        EXPECT_EQ(view_.picture, shown);
        EXPECT_EQ(view_.Visible(), kOnlySalir);
        EXPECT_FALSE(state_.ImageReady);
        EXPECT_TRUE(view_.errors.empty());
    }

    TEST_F(TForm1Test, ComboChangeFailuresReachTheErrorBox)
    {
        struct Row {
            const char* what;
            std::string catalog;
            int pick;
            std::string message;
        };
        const std::vector<Row> rows = {
            { "no entry selected", kCatalog, -1, "List index out of bounds (-1)" },
            { "base index not a number",
                "20240105"
                "0Uno\r\n"
                "20240104zDos\r\n",
                1, "'z' is not a valid integer value." },
            { "base index beyond the bases",
                "20240105"
                "0Uno\r\n"
                "202401049Dos\r\n",
                1, "List index out of bounds (9)" },
        };
        for (const auto& row : rows) {
            SCOPED_TRACE(row.what);
            SharedState state;
            state.Paths = state_.Paths;
            FakeView view;
            RecordingStarter workers(state);
            TForm1 form(view, state, workers, wallpaper_, 24);
            form.bconClick();
            state.CurrentKey = state.SelectedKey = "20240105";
            state.BaseUrls = kBases;
            Write(state.Paths.catalog, row.catalog);
            state.CatalogReady = true;
            form.Timer1Timer();
            PhotoArrives(state, Jpeg());
            form.Timer1Timer();
            ASSERT_EQ(view.Visible(), kBrowsing);
            view.UserPicks(row.pick);
            state.ImageReady = true;
            form.comboChange();
            ASSERT_EQ(view.errors.size(), 1u);
            EXPECT_EQ(view.errors[0].first, row.message);
            EXPECT_EQ(view.errors[0].second, texts::kAppTitle);
            EXPECT_EQ(view.Visible(), kOnlySalir);
            EXPECT_FALSE(state.ImageReady);
            EXPECT_EQ(workers.started.size(), 2u);
            EXPECT_EQ(state.SelectedKey, row.pick < 0 ? "20240105" : form.EntryKeys[1]);
        }
    }

    TEST_F(TForm1Test, TypingIntoTheComboChangesOnlyItsText)
    {
        ShowFirstPhoto();
        view_.UserPicks(1);
        form_.comboChange();
        PhotoArrives(Jpeg());
        form_.Timer1Timer();
        const auto started = workers_.started.size();

        view_.UserTypes("Mi faro");
        form_.comboEdited();
        EXPECT_EQ(workers_.started.size(), started);
        EXPECT_TRUE(view_.errors.empty());
        EXPECT_EQ(view_.Visible(), kBrowsing);
        EXPECT_EQ(view_.ComboSelectedIndex(), 1);

        // The add writes the typed title with the shown photo's key.
        form_.baddClick();
        EXPECT_EQ(Bytes(Favorites()), "202401040Mi faro\r\n");
        EXPECT_TRUE(view_.errors.empty());
    }

    TEST_F(TForm1Test, AddingFavouritesAppendsLinesAndShowsTheSwitch)
    {
        ShowFirstPhoto();
        EXPECT_FALSE(view_.IsVisible(Control::bfav));
        form_.baddClick();
        EXPECT_EQ(Bytes(Favorites()),
            "202401051Vi\xF1"
            "a del puerto\r\n");
        EXPECT_TRUE(view_.IsVisible(Control::bfav));
        EXPECT_EQ(view_.Caption(Control::bfav), texts::kFavoritas);
        EXPECT_EQ(view_.glyph, 0);

        form_.baddClick(); // no test for a line already there
        EXPECT_EQ(Bytes(Favorites()),
            "202401051Vi\xF1"
            "a del puerto\r\n"
            "202401051Vi\xF1"
            "a del puerto\r\n");

        // An add joins a last line that lacks its line end.
        Write(Favorites(), "202401031Mercado");
        form_.baddClick();
        EXPECT_EQ(Bytes(Favorites()),
            "202401031Mercado202401051Vi\xF1"
            "a del puerto\r\n");
        EXPECT_EQ(workers_.started.size(), 2u); // nothing downloaded
        EXPECT_TRUE(view_.errors.empty());
    }

    TEST_F(TForm1Test, FavouritesViewSwitchesAndRemoves)
    {
        ShowFirstPhoto();
        Write(Favorites(),
            "202401040Faro de invierno\r\n"
            "202401099Futura\r\n"
            "202401031Mercado\r\n"
            "202401031Mercado\r\n");
        form_.vis_bfav();

        form_.bfavClick();
        EXPECT_EQ(view_.Caption(Control::bfav), texts::kTodas);
        EXPECT_EQ(view_.Hint(Control::badd), texts::kHintRemove);
        EXPECT_EQ(view_.items.list.items,
            (std::vector<std::string> { "Faro de invierno", "Mercado", "Mercado" }));
        EXPECT_EQ(view_.ComboSelectedIndex(), 0);
        EXPECT_EQ(workers_.started.back().url, "http://fotos0.example/20240104.jpg");
        EXPECT_EQ(view_.Visible(), kOnlySalir);
        PhotoArrives(Jpeg());
        form_.Timer1Timer();
        EXPECT_EQ(view_.glyph, 1);
        EXPECT_EQ(view_.Visible(), kBrowsingWithFav);

        // Removing one of two equal lines keeps the other; the unlisted line
        // above the current key is dropped with it.
        view_.UserPicks(2);
        form_.baddClick();
        EXPECT_EQ(Bytes(Favorites()), "202401040Faro de invierno\r\n202401031Mercado\r\n");
        EXPECT_EQ(view_.Caption(Control::bfav), texts::kTodas);
        EXPECT_EQ(view_.items.Count(), 2);
        EXPECT_EQ(view_.ComboSelectedIndex(), 0);
        EXPECT_EQ(workers_.started.back().url, "http://fotos0.example/20240104.jpg");
        PhotoArrives(Jpeg());
        form_.Timer1Timer();

        view_.UserPicks(0);
        form_.baddClick();
        EXPECT_EQ(Bytes(Favorites()), "202401031Mercado\r\n");
        PhotoArrives(Jpeg());
        form_.Timer1Timer();

        // The only favourite: the file goes and the full list comes back.
        form_.baddClick();
        EXPECT_FALSE(File::Exists(Favorites()));
        EXPECT_EQ(view_.Caption(Control::bfav), texts::kFavoritas);
        EXPECT_EQ(view_.Hint(Control::badd), texts::kHintAdd);
        EXPECT_EQ(view_.items.Count(), 3);
        EXPECT_EQ(workers_.started.back().url, "http://fotos1.example/20240105.jpg");
        PhotoArrives(Jpeg());
        form_.Timer1Timer();
        EXPECT_EQ(view_.Visible(), kBrowsing);
        EXPECT_EQ(view_.glyph, 0);
        EXPECT_TRUE(view_.errors.empty());
    }

    TEST_F(TForm1Test, FavouritesFailuresReachTheErrorBox)
    {
        struct Row {
            const char* what;
            std::string favourites; // "-": no file
            bool switch_first;
            std::string message;
        };
        const std::vector<Row> rows = {
            { "favourites file gone before the switch", "-", true, "File not found." },
            { "no listed favourite", "202401099Futura\r\n", true, "List index out of bounds (-1)" },
        };
        for (const auto& row : rows) {
            SCOPED_TRACE(row.what);
            SharedState state;
            state.Paths = state_.Paths;
            FakeView view;
            RecordingStarter workers(state);
            TForm1 form(view, state, workers, wallpaper_, 24);
            form.FormCreate(1024, 768, (dir_ / "exe").string() + "/");
            fs::remove(Favorites());
            form.bconClick();
            state.CurrentKey = state.SelectedKey = "20240105";
            state.BaseUrls = kBases;
            Write(state.Paths.catalog, kCatalog);
            state.CatalogReady = true;
            form.Timer1Timer();
            PhotoArrives(state, Jpeg());
            form.Timer1Timer();
            if (row.favourites != "-")
                Write(Favorites(), row.favourites);
            form.bfavClick();
            ASSERT_EQ(view.errors.size(), 1u);
            EXPECT_EQ(view.errors[0].first, row.message);
            EXPECT_EQ(view.Caption(Control::bfav), texts::kTodas);
            EXPECT_EQ(view.items.Count(), 0);
            EXPECT_EQ(workers.started.size(), 2u);
        }

        // An add without a selected entry: the file is created, stays empty.
        fs::remove(Favorites());
        ShowFirstPhoto();
        view_.UserPicks(-1);
        form_.baddClick();
        ASSERT_EQ(view_.errors.size(), 1u);
        EXPECT_EQ(view_.errors[0].first, "List index out of bounds (-1)");
        EXPECT_EQ(Bytes(Favorites()), "");
        view_.errors.clear();
        fs::remove(Favorites());

        // A removal whose new version cannot be written keeps every
        // favourite the user had.
        Write(Favorites(), "202401040Uno\r\n202401031Dos\r\n");
        fs::create_directory(Favorites() + ".new");
        form_.bfavClick();
        PhotoArrives(state_, Jpeg());
        form_.Timer1Timer();
        form_.baddClick();
        ASSERT_EQ(view_.errors.size(), 1u);
        EXPECT_EQ(view_.errors[0].first, "File access denied.");
        EXPECT_EQ(Bytes(Favorites()), "202401040Uno\r\n202401031Dos\r\n");
        fs::remove(Favorites() + ".new");
        view_.errors.clear();
        fs::remove(Favorites());

        // A favourites file that vanished in the favourites view: the remove
        // does nothing at all.
        view_.SetCaption(Control::bfav, texts::kTodas);
        const auto started = workers_.started.size();
        form_.baddClick();
        EXPECT_EQ(workers_.started.size(), started);
        EXPECT_TRUE(view_.errors.empty());
        EXPECT_FALSE(File::Exists(Favorites()));
    }

    TEST_F(TForm1Test, ConfirmWritesTheBitmapStartsTheConfirmationAndSetsTheWallpaper)
    {
        ShowFirstPhoto();
        form_.bcnfClick();
        ASSERT_TRUE(view_.errors.empty()) << view_.errors[0].first;
        const std::string bmp = Bytes(state_.Paths.bitmap);
        EXPECT_EQ(bmp.substr(0, 2), "BM");
        EXPECT_EQ(bmp.size(), 54u + 64 * 3 * 48);
        EXPECT_TRUE(state_.ConfirmPending);
        ASSERT_EQ(workers_.started.size(), 3u);
        EXPECT_EQ(workers_.started[2].url, ConfirmationAddress("20240105"));
        EXPECT_EQ(workers_.started[2].kind, RunKind::Confirmation);
        EXPECT_EQ(wallpaper_.installed, std::vector<std::string> { state_.Paths.bitmap });
        EXPECT_EQ(view_.Visible(), kBrowsing); // bcnf stays for another try
    }

    TEST_F(TForm1Test, ConfirmFailuresChangeNothing)
    {
        ShowFirstPhoto();
        const std::string jpeg = Jpeg();
        struct Row {
            const char* what;
            std::string photo; // "-": no photo file
            bool bitmap_blocked;
            std::string message_start;
        };
        const std::vector<Row> rows = {
            { "photo file missing", "-", false, "Cannot open file " + state_.Paths.photo },
            { "not a JPEG", "<html>", false, "JPEG error #" },
            { "empty photo", "", false, "JPEG error #" },
            { "bitmap cannot be created", jpeg, true, "Cannot create file " + state_.Paths.bitmap },
        };
        for (const auto& row : rows) {
            SCOPED_TRACE(row.what);
            view_.errors.clear();
            fs::remove_all(state_.Paths.photo);
            fs::remove_all(state_.Paths.bitmap);
            if (row.photo != "-")
                Write(state_.Paths.photo, row.photo);
            if (row.bitmap_blocked)
                fs::create_directory(state_.Paths.bitmap);
            form_.bcnfClick();
            ASSERT_EQ(view_.errors.size(), 1u);
            const std::string& text = view_.errors[0].first;
            EXPECT_EQ(text.rfind(row.message_start, 0), 0u) << text;
            EXPECT_EQ(text.back(), '.');
            EXPECT_FALSE(state_.ConfirmPending);
            EXPECT_EQ(workers_.started.size(), 2u);
            EXPECT_TRUE(wallpaper_.installed.empty());
            EXPECT_EQ(fs::is_regular_file(state_.Paths.bitmap), false);
        }
    }

    TEST_F(TForm1Test, CloseRemovesOnlyTheWorkFilesItCan)
    {
        struct Row {
            const char* what;
            bool photo;
            bool catalog;
            bool photo_locked; // read-only, or a folder in its place when root
            bool photo_kept;
        };
        const bool root = ReadOnlyFilesAreWritable();
        const std::vector<Row> rows = {
            { "no work files", false, false, false, false },
            { "both work files", true, true, false, false },
            { "photo cannot be opened for writing", true, true, true, true },
            { "only the catalog copy", false, true, false, false },
        };
        for (const auto& row : rows) {
            SCOPED_TRACE(row.what);
            fs::remove_all(state_.Paths.photo);
            if (row.photo && row.photo_locked && root) {
                fs::create_directory(state_.Paths.photo);
            } else if (row.photo) {
                Write(state_.Paths.photo, "photo");
                if (row.photo_locked)
                    fs::permissions(state_.Paths.photo, fs::perms::owner_read);
            }
            if (row.catalog)
                Write(state_.Paths.catalog, kCatalog);
            Write(state_.Paths.bitmap, "BM");
            Write(Favorites(), "202401031Mercado\r\n");
            view_.errors.clear();
            form_.bsalClick();
            EXPECT_TRUE(view_.closed);
            EXPECT_EQ(fs::exists(state_.Paths.photo), row.photo_kept);
            EXPECT_FALSE(fs::exists(state_.Paths.catalog));
            EXPECT_TRUE(fs::exists(state_.Paths.bitmap));
            EXPECT_TRUE(fs::exists(Favorites()));
            EXPECT_TRUE(view_.errors.empty());
        }
    }

    TEST_F(TForm1Test, CreatePlacesTheWindowAndTheFavouritesBesideTheExecutable)
    {
        struct Row {
            int width, height, left, top;
        };
        for (const Row& row : std::vector<Row> {
                 { 1024, 768, 749, 418 }, { 800, 600, 525, 250 }, { 640, 480, 365, 130 } }) {
            auto placement = form_.FormCreate(row.width, row.height, "/opt/q/");
            EXPECT_EQ(placement.left, row.left);
            EXPECT_EQ(placement.top, row.top);
        }
        EXPECT_EQ(form_.FavoritesPath, "/opt/q/qndelarf.qdl");
    }

    TEST(ErrorBoxText, AppendsAFullStopAfterBytesAboveIt)
    {
        struct Row {
            std::string text, shown;
        };
        for (const auto& row : std::vector<Row> {
                 { "File not found", "File not found." },
                 { "List index out of bounds (-1)", "List index out of bounds (-1)" },
                 { "Ends.", "Ends." },
                 { "Ends-", "Ends-" }, // 0x2D sorts below "."
                 { "Ends/", "Ends/." }, // 0x2F sorts above
                 { "Conexi\xF3", "Conexi\xF3." }, // compared unsigned
                 { "", "" },
             }) {
            EXPECT_EQ(TForm1::ErrorBoxText(row.text), row.shown) << row.text;
        }
    }

} // namespace
} // namespace tarvenia::testing
