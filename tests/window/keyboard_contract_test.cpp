// The keys of the window in each of its states, and the handler each one
// reaches, for every front-end. Instantiated by each front-end's tests with
// its KeyboardFrontEnd.
#include "keyboard_contract.h"

#include "base/file.h"
#include "support/test_jpeg.h"

#include <gtest/gtest.h>

#include <optional>

namespace tarvenia::testing {
namespace {

    void Write(const std::string& path, const std::string& bytes)
    {
        File f(path, File::Mode::Create);
        f.Write(bytes);
    }

    std::string Bytes(const std::string& path)
    {
        if (!File::Exists(path))
            return {};
        auto data = File::ReadAll(path);
        return { data.begin(), data.end() };
    }

    enum class Situation {
        Idle,
        Connecting,
        Photo, // all photos; no favourites file, so no view switch
        PhotoWithSwitch, // all photos, the favourites file exists
        Favourites, // the favourites view
    };

    // What a key reached: the handler of a control, or nothing.
    enum class Reached { Nothing, bsal, bcon, bcnf, bfav, badd, combo };

    const char* Name(Reached r)
    {
        static const char* const names[]
            = { "nothing", "bsal", "bcon", "bcnf", "bfav", "badd", "combo" };
        return names[static_cast<int>(r)];
    }

    const char* const kCatalog = "202401050Vi\xF1"
                                 "a\r\n202401040Faro\r\n202401030Mercado\r\n";
    const char* const kFavourites = "202401040Faro\r\n202401030Mercado\r\n";

    class Window {
    public:
        explicit Window(KeyboardFrontEnd& front)
            : f_(front)
        {
        }

        void Enter(Situation s)
        {
            if (s == Situation::Idle)
                return;
            f_.form->bconClick();
            if (s == Situation::Connecting)
                return;
            if (s != Situation::Photo)
                Write(f_.form->FavoritesPath, kFavourites);
            f_.state.CurrentKey = f_.state.SelectedKey = "20240105";
            f_.state.BaseUrls = { "http://f/" };
            Write(f_.state.Paths.catalog, kCatalog);
            f_.state.CatalogReady = true;
            PhotoArrives();
            if (s == Situation::Favourites) {
                f_.form->bfavClick();
                PhotoArrives();
            }
        }
        void PhotoArrives()
        {
            auto jpeg = MakeJpeg(32, 24);
            Write(f_.state.Paths.photo, std::string(jpeg.begin(), jpeg.end()));
            f_.state.ImageReady = true;
            f_.form->Timer1Timer();
        }

        struct Snapshot {
            std::size_t runs;
            std::size_t wallpapers;
            std::string bfav;
            std::string favourites;
            bool closed;
        };
        Snapshot Take() const
        {
            return { f_.workers.runs.size(), f_.wallpaper.paths.size(),
                f_.View().Caption(Control::bfav), Bytes(f_.form->FavoritesPath), f_.Closed() };
        }
        // Which handler ran between the two snapshots; each leaves a trace
        // of its own.
        Reached Between(const Snapshot& a, const Snapshot& b) const
        {
            if (b.closed && !a.closed)
                return Reached::bsal;
            if (b.wallpapers > a.wallpapers)
                return Reached::bcnf;
            if (b.bfav != a.bfav)
                return Reached::bfav;
            if (b.favourites != a.favourites)
                return Reached::badd;
            if (b.runs > a.runs) {
                return f_.workers.runs.back().kind == RunKind::FirstConnection ? Reached::bcon
                                                                               : Reached::combo;
            }
            return Reached::Nothing;
        }

    private:
        KeyboardFrontEnd& f_;
    };

    using Code = Key::Code;
    Key Plain(Code c) { return Key::Plain(c); }
    Key Shifted(Code c)
    {
        Key k = Key::Plain(c);
        k.shift = true;
        return k;
    }

    TEST_P(KeyboardContract, EachKeyReachesTheHandlerOfAVisibleCommand)
    {
        struct Row {
            Situation situation;
            std::optional<Control> focus; // none: the window itself
            Key key;
            Reached reached;
        };
        const auto S = Situation::Idle;
        const auto C = Situation::Connecting;
        const auto P = Situation::Photo;
        const auto W = Situation::PhotoWithSwitch;
        const auto F = Situation::Favourites;
        const Row rows[] = {
            // The idle window: Return connects unless a button has the focus.
            { S, Control::bcon, Plain(Code::Return), Reached::bcon },
            { S, std::nullopt, Plain(Code::Return), Reached::bcon },
            { S, Control::bcon, Plain(Code::Space), Reached::bcon },
            { S, Control::bsal, Plain(Code::Return), Reached::bsal },
            { S, Control::bsal, Plain(Code::Space), Reached::bsal },
            { S, Control::bcon, Key::Alt('C'), Reached::bcon },
            { S, Control::bcon, Key::Ctrl('Q'), Reached::bsal },
            { S, Control::bcon, Key::Alt('S'), Reached::bsal },
            { S, Control::bcon, Key::Alt('O'), Reached::Nothing },
            { S, Control::bcon, Key::Ctrl('D'), Reached::Nothing },
            { S, Control::bcon, Key::Alt('F'), Reached::Nothing },
            { S, Control::bcon, Plain(Code::Escape), Reached::Nothing },
            // While connecting only Salir is there.
            { C, std::nullopt, Plain(Code::Return), Reached::Nothing },
            { C, std::nullopt, Key::Alt('C'), Reached::Nothing },
            { C, std::nullopt, Key::Ctrl('Q'), Reached::bsal },
            // A photo shown.
            { P, std::nullopt, Key::Alt('O'), Reached::bcnf },
            { P, Control::bcnf, Plain(Code::Space), Reached::bcnf },
            { P, Control::badd, Plain(Code::Space), Reached::badd },
            { P, Control::combo, Key::Ctrl('D'), Reached::badd },
            { P, std::nullopt, Key::Alt('F'), Reached::Nothing },
            { P, std::nullopt, Plain(Code::Return), Reached::Nothing },
            { P, Control::combo, Plain(Code::Return), Reached::Nothing },
            { P, Control::combo, Key::Alt('S'), Reached::bsal },
            { P, Control::combo, Key::Ctrl('Q'), Reached::bsal },
            { P, Control::combo, Plain(Code::Down), Reached::combo },
            { P, Control::combo, Plain(Code::PageDown), Reached::combo },
            { P, Control::combo, Plain(Code::Up), Reached::Nothing }, // on the first entry
            { W, std::nullopt, Key::Alt('F'), Reached::bfav },
            { W, Control::bfav, Plain(Code::Return), Reached::bfav },
            { W, std::nullopt, Key::Alt('T'), Reached::Nothing },
            // The favourites view.
            { F, std::nullopt, Key::Alt('T'), Reached::bfav },
            { F, std::nullopt, Key::Alt('F'), Reached::Nothing },
            { F, Control::combo, Key::Ctrl('D'), Reached::badd },
            { F, Control::combo, Plain(Code::Down), Reached::combo },
        };
        int n = 0;
        for (const Row& row : rows) {
            SCOPED_TRACE("row " + std::to_string(n++));
            SetUp();
            Window window(*front_);
            window.Enter(row.situation);
            front_->View().SetFocus(row.focus);
            const auto before = window.Take();
            front_->Press(row.key);
            EXPECT_STREQ(Name(window.Between(before, window.Take())), Name(row.reached));
            TearDown();
        }
    }

    TEST_P(KeyboardContract, ArrowKeysChooseOneEntryEachAndTheFocusComesBack)
    {
        Window window(*front_);
        window.Enter(Situation::Photo);
        TView& view = front_->View();
        EXPECT_FALSE(front_->KeyboardCues());
        view.SetFocus(Control::combo);
        struct Step {
            Code key;
            int index; // chosen
            const char* url;
        } steps[] = {
            { Code::Down, 1, "http://f/20240104.jpg" },
            { Code::Down, 2, "http://f/20240103.jpg" },
            { Code::Down, -1, nullptr }, // the last entry: nothing further
            { Code::Up, 1, "http://f/20240104.jpg" },
            { Code::PageUp, 0, "http://f/20240105.jpg" }, // a page, clamped
            { Code::PageUp, -1, nullptr },
            { Code::PageDown, 2, "http://f/20240103.jpg" },
        };
        for (const Step& step : steps) {
            SCOPED_TRACE(step.index);
            const std::size_t runs = front_->workers.runs.size();
            front_->Press(Key::Plain(step.key));
            EXPECT_TRUE(front_->KeyboardCues());
            if (!step.url) {
                EXPECT_EQ(front_->workers.runs.size(), runs);
                continue;
            }
            ASSERT_EQ(front_->workers.runs.size(), runs + 1);
            EXPECT_EQ(front_->workers.runs.back().url, step.url);
            EXPECT_EQ(view.ComboSelectedIndex(), step.index);
            // The combo box hides while the photo comes; its keys find no
            // other control meanwhile, and it has the focus again after.
            EXPECT_FALSE(view.IsVisible(Control::combo));
            EXPECT_EQ(view.FocusedControl(), std::nullopt);
            front_->Press(Key::Plain(Code::Down));
            EXPECT_EQ(front_->workers.runs.size(), runs + 1);
            window.PhotoArrives();
            EXPECT_EQ(view.FocusedControl(), Control::combo);
        }
    }

    TEST_P(KeyboardContract, TabVisitsTheVisibleControlsInOrder)
    {
        Window window(*front_);
        TView& view = front_->View();
        // Idle: the focus starts on Conectar; Salir is the only other stop.
        EXPECT_EQ(view.FocusedControl(), Control::bcon);
        front_->Press(Key::Plain(Code::Tab));
        EXPECT_EQ(view.FocusedControl(), Control::bsal);
        front_->Press(Key::Plain(Code::Tab));
        EXPECT_EQ(view.FocusedControl(), Control::bcon);

        window.Enter(Situation::PhotoWithSwitch);
        view.SetFocus(Control::combo);
        const Control order[]
            = { Control::badd, Control::bsal, Control::bcnf, Control::bfav, Control::combo };
        for (Control c : order) {
            front_->Press(Key::Plain(Code::Tab));
            EXPECT_EQ(view.FocusedControl(), c) << static_cast<int>(c);
        }
        for (auto it = std::rbegin(order) + 1; it != std::rend(order); ++it) {
            front_->Press(Shifted(Code::Tab));
            EXPECT_EQ(view.FocusedControl(), *it) << static_cast<int>(*it);
        }
        EXPECT_TRUE(front_->workers.runs.size() == 2u); // moving chose nothing
    }

} // namespace
} // namespace tarvenia::testing
