// The window controller over a fake view, a recording worker starter, a
// recording wallpaper installer and real files in a temporary folder.
#include "base/file.h"
#include "base/texts.h"
#include "fake_view.h"
#include "protocol/addresses.h"
#include "protocol/wallpaper_installer.h"
#include "support/temp_folder.h"
#include "support/test_jpeg.h"
#include "window/tform1.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace tarvenia::testing {
namespace {

    using Mode = TForm1::ViewMode;
    using State = TForm1::WindowState;

    struct Started {
        std::string url;
        RunKind kind;
    };

    class RecordingStarter : public WorkerStarter {
    public:
        void StartWorker(RunKind kind, const std::string& url) override
        {
            started.push_back({ url, kind });
        }
        std::vector<Started> started;
    };

    class RecordingWallpaper : public WallpaperInstaller {
    public:
        bool Install(const std::string& path) noexcept override
        {
            installed.push_back(path);
            return true;
        }
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

    std::string Jpeg()
    {
        auto data = MakeJpeg(64, 48);
        return { data.begin(), data.end() };
    }

    const std::vector<std::string> kBases = { "http://fotos0.example/", "http://fotos1.example/" };

    // Daily key 20240105; the catalog lists one photo after it.
    const std::string kCatalog = "202401060Mañana\r\n"
                                 "202401051Vi\xF1"
                                 "a del puerto\r\n"
                                 "202401040Faro de invierno\r\n"
                                 "202401031Mercado\r\n";
    const std::string kNoFile = "-";

    // One window: the controller with its fakes, created as the program does.
    struct Window {
        Window(const WorkPaths& paths, const std::string& favorites_dir)
        {
            state.Paths = paths;
            form.FormCreate(favorites_dir);
            view.on_close = [this] { form.FormClose(); };
        }
        SharedState state;
        FakeView view;
        RecordingStarter workers;
        RecordingWallpaper wallpaper;
        TForm1 form { view, state, workers, wallpaper, 24 };
    };

    class TForm1Test : public ::testing::Test {
    protected:
        void SetUp() override
        {
            fs::create_directories(dir_ / "work");
            fs::create_directories(dir_ / "exe");
            NewWindow();
        }
        // A fresh window, for the next row of a table; the files stay.
        void NewWindow()
        {
            w_ = std::make_unique<Window>(
                WorkPaths::InFolder((dir_ / "work").string() + "/"), (dir_ / "exe").string() + "/");
        }
        TForm1& form() { return w_->form; }
        FakeView& view() { return w_->view; }
        SharedState& state() { return w_->state; }
        std::vector<Started>& started() { return w_->workers.started; }
        std::string Favorites() const { return w_->form.FavoritesPath; }

        // What a first-connection run leaves behind (the catalog copy is
        // missing for kNoFile).
        void FirstConnectionArrives(const std::string& key = "20240105",
            const std::string& catalog = kCatalog, const std::vector<std::string>& bases = kBases)
        {
            state().CurrentKey = key;
            state().SelectedKey = key;
            state().BaseUrls = bases;
            fs::remove(state().Paths.catalog);
            if (catalog != kNoFile)
                Write(state().Paths.catalog, catalog);
            state().CatalogReady = true;
        }
        // Idle → Connecting → Catalog loaded.
        void Connect(const std::string& key = "20240105", const std::string& catalog = kCatalog,
            const std::vector<std::string>& bases = kBases)
        {
            form().bconClick();
            FirstConnectionArrives(key, catalog, bases);
            form().Timer1Timer();
        }
        // What a photo run leaves behind, and the tick that shows it.
        void ShowPhoto(const std::string& bytes = Jpeg())
        {
            Write(state().Paths.photo, bytes);
            state().ImageReady = true;
            form().Timer1Timer();
        }
        void ShowFirstPhoto()
        {
            Connect();
            ShowPhoto();
        }

        TempFolder temp_;
        const fs::path dir_ = temp_.Root();
        std::unique_ptr<Window> w_;
    };

    using V = std::vector<Control>;
    const V kOnlySalir = { Control::bsal };
    const V kBrowsing = { Control::bsal, Control::bcnf, Control::badd, Control::combo };
    const V kBrowsingWithFav
        = { Control::bsal, Control::bcnf, Control::bfav, Control::badd, Control::combo };

    TEST_F(TForm1Test, ConnectionWalksThroughEveryState)
    {
        // Idle
        EXPECT_EQ(form().State(), State::Idle);
        EXPECT_EQ(view().Visible(), (V { Control::bsal, Control::bcon }));
        EXPECT_EQ(view().status, "");
        form().Timer1Timer();
        EXPECT_TRUE(started().empty());

        // Connecting
        state().CurrentKey = "stale";
        form().bconClick();
        EXPECT_EQ(form().State(), State::Connecting);
        EXPECT_EQ(view().Visible(), kOnlySalir);
        EXPECT_EQ(view().status, texts::kConectando);
        EXPECT_EQ(state().CurrentKey, ""); // the run reads it
        ASSERT_EQ(started().size(), 1u);
        EXPECT_EQ(started()[0].url, ServiceBaseAddress());
        EXPECT_EQ(started()[0].kind, RunKind::FirstConnection);

        // Catalog loaded: the photo after the daily key is not listed.
        FirstConnectionArrives();
        form().Timer1Timer();
        EXPECT_EQ(form().State(), State::CatalogLoaded);
        EXPECT_FALSE(state().CatalogReady);
        EXPECT_EQ(view().items.list.items,
            (PackedStrings { "Vi\xF1"
                             "a del puerto",
                "Faro de invierno", "Mercado" }));
        EXPECT_EQ(form().EntryKeys, (PackedStrings { "20240105", "20240104", "20240103" }));
        EXPECT_EQ(form().EntryBases, (PackedStrings { "1", "0", "1" }));
        EXPECT_EQ(state().CurrentKey, "20240105");
        EXPECT_EQ(view().ComboSelectedIndex(), 0);
        EXPECT_EQ(view().Visible(), kOnlySalir);
        ASSERT_EQ(started().size(), 2u);
        EXPECT_EQ(started()[1].url, "http://fotos1.example/20240105.jpg");
        EXPECT_EQ(started()[1].kind, RunKind::Photo);

        // Photo shown
        ShowPhoto();
        EXPECT_EQ(form().State(), State::PhotoShown);
        EXPECT_FALSE(state().ImageReady);
        EXPECT_EQ(view().status, texts::kDescargaCompletada);
        EXPECT_EQ(view().loads, 1);
        EXPECT_EQ(view().Visible(), kBrowsing);
        EXPECT_EQ(view().glyph, 0);
        EXPECT_EQ(view().ComboText(),
            "Vi\xF1"
            "a del puerto");

        // Photo change
        view().UserPicks(2);
        form().comboChange();
        EXPECT_EQ(form().State(), State::PhotoChange);
        EXPECT_EQ(view().Visible(), kOnlySalir);
        EXPECT_EQ(state().SelectedKey, "20240103");
        ASSERT_EQ(started().size(), 3u);
        EXPECT_EQ(started()[2].url, "http://fotos1.example/20240103.jpg");
        EXPECT_EQ(started()[2].kind, RunKind::Photo);
        EXPECT_EQ(view().picture, Jpeg()); // the previous photo stays meanwhile

        ShowPhoto();
        EXPECT_EQ(view().Visible(), kBrowsing);
        EXPECT_EQ(view().ComboText(), "Mercado");
        EXPECT_TRUE(view().errors.empty());
    }

    TEST_F(TForm1Test, BothFlagsInOneTickRunCatalogThenPhoto)
    {
        form().bconClick();
        FirstConnectionArrives();
        ShowPhoto();
        EXPECT_EQ(started().size(), 2u);
        EXPECT_EQ(view().Visible(), kBrowsing);
        EXPECT_EQ(view().ComboText(),
            "Vi\xF1"
            "a del puerto");
        EXPECT_FALSE(state().CatalogReady);
        EXPECT_FALSE(state().ImageReady);
    }

    TEST_F(TForm1Test, FailedCatalogStepLeavesOnlySalir)
    {
        struct Row {
            const char* what;
            std::string daily_key;
            std::string catalog;
            std::vector<std::string> bases;
            std::string key_after;
            std::size_t listed;
        };
        const std::vector<Row> rows = {
            { "catalog copy missing", "20240105", kNoFile, kBases, "20240105", 0 },
            { "empty catalog copy", "20240105", "", kBases, "20240105", 0 },
            { "no daily response", "", kCatalog, {}, "", 0 },
            { "base index not a number", "20240105", "20240105xTitulo\r\n", kBases, "20240105", 1 },
            { "base index beyond the bases", "20240105", "202401057Titulo\r\n", kBases, "20240105",
                1 },
        };
        for (const auto& row : rows) {
            SCOPED_TRACE(row.what);
            NewWindow();
            Connect(row.daily_key, row.catalog, row.bases);
            form().Timer1Timer();
            EXPECT_FALSE(state().CatalogReady);
            EXPECT_EQ(started().size(), 1u);
            EXPECT_EQ(view().Visible(), kOnlySalir);
            // Listed entries whose photo address fails: Catalog loaded.
            EXPECT_EQ(form().State(), row.listed ? State::CatalogLoaded : State::Connecting);
            EXPECT_EQ(state().CurrentKey, row.key_after);
            EXPECT_EQ(form().EntryKeys.size(), row.listed);
            EXPECT_TRUE(view().errors.empty());
        }
    }

    TEST_F(TForm1Test, PhotoStepSetsTheComboTextOnlyForTheDailyPhotoInTheFullView)
    {
        struct Row {
            const char* what;
            std::string daily_key;
            Mode mode;
            std::string text;
        };
        const std::vector<Row> rows = {
            { "first entry is the daily photo", "20240105", Mode::AllPhotos,
                "Vi\xF1"
                "a del puerto" },
            { "first entry is older than the daily key", "20240107", Mode::AllPhotos, "" },
            { "favourites view", "20240105", Mode::Favourites, "typed" },
        };
        for (const auto& row : rows) {
            SCOPED_TRACE(row.what);
            NewWindow();
            Connect(row.daily_key);
            form().SetMode(row.mode);
            view().UserTypes(row.mode == Mode::Favourites ? "typed" : "");
            ShowPhoto();
            EXPECT_EQ(view().ComboText(), row.text);
            EXPECT_EQ(view().Visible(), kBrowsing);
            EXPECT_EQ(view().glyph, row.mode == Mode::Favourites ? 1 : 0);
            EXPECT_EQ(view().Caption(Control::bfav),
                row.mode == Mode::Favourites ? texts::kTodas : texts::kFavoritas);
            // The first listed entry bounds the lists from now on; the daily
            // key stays the one a confirmation names.
            EXPECT_EQ(state().CurrentKey, form().EntryKeys[0]);
            EXPECT_EQ(state().SelectedKey, row.daily_key);
        }
    }

    TEST_F(TForm1Test, FailedPhotoLoadKeepsThePreviousPictureSilently)
    {
        ShowFirstPhoto();
        // An empty photo file loads; its decode error comes when it is drawn.
        view().UserPicks(1);
        form().comboChange();
        ShowPhoto("");
        EXPECT_EQ(view().Visible(), kBrowsing);

        const std::string shown = view().picture;
        view().UserPicks(2);
        form().comboChange();
        ShowPhoto("<html>404</html>");
        EXPECT_EQ(view().status, texts::kDescargaCompletada);
        EXPECT_EQ(view().picture, shown);
        EXPECT_EQ(view().Visible(), kOnlySalir);
        EXPECT_EQ(form().State(), State::PhotoChange);
        EXPECT_FALSE(state().ImageReady);
        EXPECT_TRUE(view().errors.empty());
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
            { "base index not a number", "202401050Uno\r\n20240104zDos\r\n", 1,
                "'z' is not a valid integer value." },
            { "base index beyond the bases", "202401050Uno\r\n202401049Dos\r\n", 1,
                "List index out of bounds (9)" },
        };
        for (const auto& row : rows) {
            SCOPED_TRACE(row.what);
            NewWindow();
            Connect("20240105", row.catalog);
            ShowPhoto();
            ASSERT_EQ(view().Visible(), kBrowsing);
            view().UserPicks(row.pick);
            state().ImageReady = true;
            form().comboChange();
            ASSERT_EQ(view().errors.size(), 1u);
            EXPECT_EQ(view().errors[0].first, row.message);
            EXPECT_EQ(view().errors[0].second, texts::kAppTitle);
            EXPECT_EQ(view().Visible(), kOnlySalir);
            EXPECT_FALSE(state().ImageReady);
            EXPECT_EQ(started().size(), 2u);
            EXPECT_EQ(state().SelectedKey, row.pick < 0 ? "20240105" : form().EntryKeys[1]);
        }
    }

    TEST_F(TForm1Test, TypingIntoTheComboChangesOnlyItsText)
    {
        ShowFirstPhoto();
        view().UserPicks(1);
        form().comboChange();
        ShowPhoto();
        const auto count = started().size();

        view().UserTypes("Mi faro");
        form().comboEdited();
        EXPECT_EQ(started().size(), count);
        EXPECT_TRUE(view().errors.empty());
        EXPECT_EQ(view().Visible(), kBrowsing);
        EXPECT_EQ(view().ComboSelectedIndex(), 1);

        // The add writes the typed title with the shown photo's key.
        form().baddClick();
        EXPECT_EQ(Bytes(Favorites()), "202401040Mi faro\r\n");
        EXPECT_TRUE(view().errors.empty());
    }

    TEST_F(TForm1Test, AddingFavouritesAppendsLinesAndShowsTheSwitch)
    {
        ShowFirstPhoto();
        EXPECT_FALSE(view().IsVisible(Control::bfav));
        form().baddClick();
        const std::string line = "202401051Vi\xF1"
                                 "a del puerto\r\n";
        EXPECT_EQ(Bytes(Favorites()), line);
        EXPECT_TRUE(view().IsVisible(Control::bfav));
        EXPECT_EQ(form().Mode(), Mode::AllPhotos);
        EXPECT_EQ(view().Caption(Control::bfav), texts::kFavoritas);
        EXPECT_EQ(view().glyph, 0);

        form().baddClick(); // no test for a line already there
        EXPECT_EQ(Bytes(Favorites()), line + line);

        // An add joins a last line that lacks its line end.
        Write(Favorites(), "202401031Mercado");
        form().baddClick();
        EXPECT_EQ(Bytes(Favorites()), "202401031Mercado" + line);
        EXPECT_EQ(started().size(), 2u); // nothing downloaded
        EXPECT_TRUE(view().errors.empty());
    }

    TEST_F(TForm1Test, FavouritesViewSwitchesAndRemoves)
    {
        ShowFirstPhoto();
        Write(Favorites(),
            "202401040Faro de invierno\r\n"
            "202401099Futura\r\n"
            "202401031Mercado\r\n"
            "202401031Mercado\r\n");
        form().vis_bfav();

        form().bfavClick();
        EXPECT_EQ(form().Mode(), Mode::Favourites);
        EXPECT_EQ(view().Caption(Control::bfav), texts::kTodas);
        EXPECT_EQ(view().Hint(Control::badd), texts::kHintRemove);
        EXPECT_EQ(
            view().items.list.items, (PackedStrings { "Faro de invierno", "Mercado", "Mercado" }));
        EXPECT_EQ(view().ComboSelectedIndex(), 0);
        EXPECT_EQ(started().back().url, "http://fotos0.example/20240104.jpg");
        EXPECT_EQ(view().Visible(), kOnlySalir);
        ShowPhoto();
        EXPECT_EQ(view().glyph, 1);
        EXPECT_EQ(view().Visible(), kBrowsingWithFav);

        // Removing one of two equal lines keeps the other; the unlisted line
        // above the current key is dropped with it.
        view().UserPicks(2);
        form().baddClick();
        EXPECT_EQ(Bytes(Favorites()), "202401040Faro de invierno\r\n202401031Mercado\r\n");
        EXPECT_EQ(form().Mode(), Mode::Favourites);
        EXPECT_EQ(view().items.Count(), 2);
        EXPECT_EQ(view().ComboSelectedIndex(), 0);
        EXPECT_EQ(started().back().url, "http://fotos0.example/20240104.jpg");
        ShowPhoto();

        view().UserPicks(0);
        form().baddClick();
        EXPECT_EQ(Bytes(Favorites()), "202401031Mercado\r\n");
        ShowPhoto();

        // The only favourite: the file goes and the full list comes back.
        form().baddClick();
        EXPECT_FALSE(File::Exists(Favorites()));
        EXPECT_EQ(form().Mode(), Mode::AllPhotos);
        EXPECT_EQ(view().Caption(Control::bfav), texts::kFavoritas);
        EXPECT_EQ(view().Hint(Control::badd), texts::kHintAdd);
        EXPECT_EQ(view().items.Count(), 3);
        EXPECT_EQ(started().back().url, "http://fotos1.example/20240105.jpg");
        ShowPhoto();
        EXPECT_EQ(view().Visible(), kBrowsing);
        EXPECT_EQ(view().glyph, 0);
        EXPECT_TRUE(view().errors.empty());
    }

    TEST_F(TForm1Test, FavouritesFailuresReachTheErrorBox)
    {
        struct Row {
            const char* what;
            std::string favourites;
            std::string message;
        };
        const std::vector<Row> rows = {
            { "favourites file gone before the switch", kNoFile, "File not found." },
            { "no listed favourite", "202401099Futura\r\n", "List index out of bounds (-1)" },
        };
        for (const auto& row : rows) {
            SCOPED_TRACE(row.what);
            NewWindow();
            fs::remove(Favorites());
            ShowFirstPhoto();
            if (row.favourites != kNoFile)
                Write(Favorites(), row.favourites);
            form().bfavClick();
            ASSERT_EQ(view().errors.size(), 1u);
            EXPECT_EQ(view().errors[0].first, row.message);
            EXPECT_EQ(view().Caption(Control::bfav), texts::kTodas);
            EXPECT_EQ(view().items.Count(), 0);
            EXPECT_EQ(started().size(), 2u);
        }

        // An add without a selected entry: the file is created, stays empty.
        NewWindow();
        fs::remove(Favorites());
        ShowFirstPhoto();
        view().UserPicks(-1);
        form().baddClick();
        ASSERT_EQ(view().errors.size(), 1u);
        EXPECT_EQ(view().errors[0].first, "List index out of bounds (-1)");
        EXPECT_EQ(Bytes(Favorites()), "");
        view().errors.clear();
        fs::remove(Favorites());

        // A removal whose new version cannot be written keeps every
        // favourite the user had.
        Write(Favorites(), "202401040Uno\r\n202401031Dos\r\n");
        fs::create_directory(Favorites() + ".new");
        form().bfavClick();
        ShowPhoto();
        form().baddClick();
        ASSERT_EQ(view().errors.size(), 1u);
        EXPECT_EQ(view().errors[0].first, "File access denied.");
        EXPECT_EQ(Bytes(Favorites()), "202401040Uno\r\n202401031Dos\r\n");
        fs::remove(Favorites() + ".new");
        view().errors.clear();
        fs::remove(Favorites());

        // A favourites file that vanished in the favourites view: the remove
        // does nothing at all.
        const auto count = started().size();
        form().baddClick();
        EXPECT_EQ(started().size(), count);
        EXPECT_TRUE(view().errors.empty());
        EXPECT_FALSE(File::Exists(Favorites()));
    }

    TEST_F(TForm1Test, ConfirmWritesTheBitmapStartsTheConfirmationAndSetsTheWallpaper)
    {
        ShowFirstPhoto();
        form().bcnfClick();
        ASSERT_TRUE(view().errors.empty()) << view().errors[0].first;
        const std::string bmp = Bytes(state().Paths.bitmap);
        EXPECT_EQ(bmp.substr(0, 2), "BM");
        EXPECT_EQ(bmp.size(), 54u + 64 * 3 * 48);
        EXPECT_TRUE(state().ConfirmPending); // the confirmation run takes it
        ASSERT_EQ(started().size(), 3u);
        EXPECT_EQ(started()[2].url, ConfirmationAddress("20240105"));
        EXPECT_EQ(started()[2].kind, RunKind::Confirmation);
        EXPECT_EQ(w_->wallpaper.installed, std::vector<std::string> { state().Paths.bitmap });
        EXPECT_EQ(view().Visible(), kBrowsing); // bcnf stays for another try
        EXPECT_EQ(form().State(), State::PhotoShown);
    }

    TEST_F(TForm1Test, ConfirmFailuresChangeNothing)
    {
        ShowFirstPhoto();
        struct Row {
            const char* what;
            std::string photo;
            bool bitmap_blocked;
            std::string message_start;
        };
        const std::vector<Row> rows = {
            { "photo file missing", kNoFile, false, "Cannot open file " + state().Paths.photo },
            { "not a JPEG", "<html>", false, "JPEG error #" },
            { "empty photo", "", false, "JPEG error #" },
            { "bitmap cannot be created", Jpeg(), true,
                "Cannot create file " + state().Paths.bitmap },
        };
        for (const auto& row : rows) {
            SCOPED_TRACE(row.what);
            view().errors.clear();
            fs::remove_all(state().Paths.photo);
            fs::remove_all(state().Paths.bitmap);
            if (row.photo != kNoFile)
                Write(state().Paths.photo, row.photo);
            if (row.bitmap_blocked)
                fs::create_directory(state().Paths.bitmap);
            form().bcnfClick();
            ASSERT_EQ(view().errors.size(), 1u);
            const std::string& text = view().errors[0].first;
            EXPECT_EQ(text.rfind(row.message_start, 0), 0u) << text;
            EXPECT_EQ(text.back(), '.');
            EXPECT_FALSE(state().ConfirmPending);
            EXPECT_EQ(started().size(), 2u);
            EXPECT_TRUE(w_->wallpaper.installed.empty());
            EXPECT_EQ(fs::is_regular_file(state().Paths.bitmap), false);
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
            fs::remove_all(state().Paths.photo);
            if (row.photo && row.photo_locked && root) {
                fs::create_directory(state().Paths.photo);
            } else if (row.photo) {
                Write(state().Paths.photo, "photo");
                if (row.photo_locked)
                    fs::permissions(state().Paths.photo, fs::perms::owner_read);
            }
            if (row.catalog)
                Write(state().Paths.catalog, kCatalog);
            Write(state().Paths.bitmap, "BM");
            Write(Favorites(), "202401031Mercado\r\n");
            view().errors.clear();
            form().bsalClick();
            EXPECT_TRUE(view().closed);
            EXPECT_EQ(fs::exists(state().Paths.photo), row.photo_kept);
            EXPECT_FALSE(fs::exists(state().Paths.catalog));
            EXPECT_TRUE(fs::exists(state().Paths.bitmap));
            EXPECT_TRUE(fs::exists(Favorites()));
            EXPECT_TRUE(view().errors.empty());
        }
    }

    // Near the lower right corner of the primary screen, in its own
    // coordinates: a monitor may lie left of or above it.
    TEST_F(TForm1Test, CreatePlacesTheWindowOnThePrimaryScreenAndFixesTheFavourites)
    {
        struct Row {
            layout::Box screen;
            int left, top;
        };
        for (const Row& row : std::vector<Row> {
                 { { 0, 0, 1024, 768 }, 749, 418 },
                 { { 0, 0, 800, 600 }, 525, 250 },
                 { { 0, 0, 640, 480 }, 365, 130 },
                 { { 1920, 0, 1280, 1024 }, 2925, 674 }, // right of another monitor
                 { { 0, 1080, 1920, 1080 }, 1645, 1810 }, // below another
                 { { -1280, -200, 1280, 1024 }, -275, 474 },
             }) {
            SCOPED_TRACE(row.screen.left);
            view().screen = row.screen;
            form().FormCreate("/opt/q/");
            EXPECT_EQ(view().place, std::make_pair(row.left, row.top));
        }
        EXPECT_EQ(form().FavoritesPath, "/opt/q/qndelarf.qdl");
        EXPECT_EQ(form().State(), State::Idle);
        EXPECT_EQ(form().Mode(), Mode::AllPhotos);
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
