// The Qt window: layout, colours, texts, glyphs, the combo box's signals and
// the picture's first draw, under the offscreen platform.
#include "base/error.h"
#include "base/file.h"
#include "base/texts.h"
#include "combo_contract.h"
#include "keyboard_contract.h"
#include "protocol/wallpaper_installer.h"
#include "protocol/worker_starter.h"
#include "support/temp_folder.h"
#include "support/test_jpeg.h"
#include "window/qt/bevel.h"
#include "window/qt/combo_items.h"
#include "window/qt/cp1252.h"
#include "window/qt/glyphs.h"
#include "window/qt/group_box.h"
#include "window/qt/image_box.h"
#include "window/qt/main_window.h"
#include "window/qt/speed_button.h"
#include "window/qt/status_bar.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

namespace fs = std::filesystem;

namespace tarvenia::qt {
namespace {

    class CountingStarter : public WorkerStarter {
    public:
        void StartWorker(RunKind, const std::string& url) override { urls.push_back(url); }
        std::vector<std::string> urls;
    };

    class NoWallpaper : public WallpaperInstaller {
    public:
        bool Install(const std::string&) noexcept override { return true; }
    };

    void WriteFile(const std::string& path, const std::string& bytes)
    {
        File f(path, File::Mode::Create);
        f.Write(bytes);
    }

    QColor PixelOf(QWidget& widget, int x, int y)
    {
        return widget.grab().toImage().pixelColor(x, y);
    }

    // Replaces the edit field's text as the user does: every character
    // typed as a key press.
    void TypeInto(QComboBox& combo, const std::string& text)
    {
        combo.lineEdit()->selectAll();
        for (QChar ch : Cp1252ToQString(text))
            QTest::sendKeyEvent(
                QTest::Click, combo.lineEdit(), Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }

    // The Qt window for the combo box's shared suite.
    class QtCombo final : public testing::ComboFrontEnd {
    public:
        QtCombo()
        {
            state_.Paths = WorkPaths::InFolder(temp_.Dir());
            window_ = std::make_unique<MainWindow>(24);
            form_ = std::make_unique<TForm1>(*window_, state_, workers_, wallpaper_, 24);
            window_->Bind(*form_);
            form_->FormCreate(temp_.Dir());
            window_->show();
        }
        TView& View() override { return *window_; }
        TForm1& Form() override { return *form_; }
        SharedState& State() override { return state_; }
        const std::vector<std::string>& Started() const override { return workers_.urls; }
        void Type(const std::string& text) override { TypeInto(*window_->Combo(), text); }
        // A key press moves to the next (or previous) item, as a pick does.
        void Pick(int index) override
        {
            QComboBox* combo = window_->Combo();
            const bool down = index > 0;
            window_->SetComboSelectedIndex(down ? index - 1 : index + 1);
            combo->setFocus();
            QTest::keyClick(combo, down ? Qt::Key_Down : Qt::Key_Up);
        }
        int VisibleRows() override { return window_->Combo()->maxVisibleItems(); }
        bool ComboOnScreen() override { return window_->Combo()->isVisible(); }
        void Settle() override { QApplication::processEvents(); }

    private:
        tarvenia::testing::TempFolder temp_;
        SharedState state_;
        CountingStarter workers_;
        NoWallpaper wallpaper_;
        std::unique_ptr<MainWindow> window_;
        std::unique_ptr<TForm1> form_;
    };

    std::unique_ptr<testing::ComboFrontEnd> MakeQtCombo() { return std::make_unique<QtCombo>(); }
    using testing::ComboContract;
    INSTANTIATE_TEST_SUITE_P(Qt, ComboContract, ::testing::Values(&MakeQtCombo),
        [](const auto&) { return std::string("qt"); });

    // The Qt window for the keyboard's shared suite: keys as QKeyEvents to
    // the focus widget.
    class QtKeyboard final : public testing::KeyboardFrontEnd {
    public:
        QtKeyboard()
        {
            state.Paths = WorkPaths::InFolder(Dir());
            window_ = std::make_unique<MainWindow>(24);
            form = std::make_unique<TForm1>(*window_, state, workers, wallpaper, 24);
            window_->Bind(*form);
            window_->SetErrorBox([](const QString&, const QString&) {});
            form->FormCreate(Dir());
            window_->show();
            QApplication::setActiveWindow(window_.get());
            EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        }
        ~QtKeyboard() override { window_.reset(); }
        TView& View() override { return *window_; }
        void Press(const Key& key) override
        {
            Qt::KeyboardModifiers mods;
            if (key.ctrl)
                mods |= Qt::ControlModifier;
            if (key.alt)
                mods |= Qt::AltModifier;
            if (key.shift)
                mods |= Qt::ShiftModifier;
            static const std::map<Key::Code, Qt::Key> keys = {
                { Key::Code::Return, Qt::Key_Return },
                { Key::Code::Space, Qt::Key_Space },
                { Key::Code::Escape, Qt::Key_Escape },
                { Key::Code::Tab, Qt::Key_Tab },
                { Key::Code::Up, Qt::Key_Up },
                { Key::Code::Down, Qt::Key_Down },
                { Key::Code::PageUp, Qt::Key_PageUp },
                { Key::Code::PageDown, Qt::Key_PageDown },
                { Key::Code::Home, Qt::Key_Home },
                { Key::Code::End, Qt::Key_End },
                { Key::Code::F4, Qt::Key_F4 },
            };
            const Qt::Key qkey = key.code == Key::Code::Letter
                ? static_cast<Qt::Key>(Qt::Key_A + (key.letter - 'A'))
                : keys.at(key.code);
            QWidget* target = QApplication::focusWidget();
            QTest::keyClick(target ? target : window_.get(), qkey, mods);
            QApplication::processEvents();
        }
        bool Closed() const override { return window_->isHidden(); }
        bool KeyboardCues() const override { return window_->KeyboardCues(); }

    private:
        std::unique_ptr<MainWindow> window_;
    };

    std::unique_ptr<testing::KeyboardFrontEnd> MakeQtKeyboard()
    {
        return std::make_unique<QtKeyboard>();
    }
    using testing::KeyboardContract;
    INSTANTIATE_TEST_SUITE_P(Qt, KeyboardContract, ::testing::Values(&MakeQtKeyboard),
        [](const auto&) { return std::string("qt"); });

    class QtWindowTest : public ::testing::Test {
    protected:
        void SetUp() override
        {
            state_.Paths = WorkPaths::InFolder(dir_.string() + "/");
            window_ = std::make_unique<MainWindow>(24);
            form_ = std::make_unique<TForm1>(*window_, state_, workers_, wallpaper_, 24);
            window_->Bind(*form_);
            form_->FormCreate(dir_.string() + "/");
            window_->SetErrorBox([this](const QString& text, const QString& caption) {
                errors_.push_back({ text, caption });
            });
        }
        void TearDown() override
        {
            window_.reset();
            form_.reset();
        }
        // The window's state once a first photo has been shown.
        void ShowPhoto(const std::string& photo_bytes)
        {
            state_.CurrentKey = state_.SelectedKey = "20240105";
            state_.BaseUrls = { "http://f/" };
            WriteFile(state_.Paths.catalog,
                "202401050Vi\xF1"
                "a\r\n202401040Faro\r\n202401030Mercado\r\n");
            WriteFile(state_.Paths.photo, photo_bytes);
            state_.CatalogReady = true;
            state_.ImageReady = true;
            form_->Timer1Timer();
        }
        std::string Jpeg(int w, int h)
        {
            auto data = testing::MakeJpeg(w, h);
            return { data.begin(), data.end() };
        }

        tarvenia::testing::TempFolder temp_;
        const fs::path dir_ = temp_.Root();
        SharedState state_;
        CountingStarter workers_;
        NoWallpaper wallpaper_;
        std::unique_ptr<MainWindow> window_;
        std::unique_ptr<TForm1> form_;
        std::vector<std::pair<QString, QString>> errors_;
    };

    TEST_F(QtWindowTest, WindowHasTheStoredLayout)
    {
        MainWindow& w = *window_;
        EXPECT_EQ(w.windowTitle(), QString::fromUtf8("Imágenes de Tarvenia"));
        EXPECT_EQ(w.size(), QSize(251, 180));
        EXPECT_EQ(w.minimumSize(), w.maximumSize());
        EXPECT_FALSE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
        EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
        EXPECT_TRUE(w.windowFlags() & Qt::WindowCloseButtonHint);
        EXPECT_EQ(w.font().pixelSize(), 11);
        // FormCreate placed it by the primary screen the window reports.
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const layout::Box reported = w.PrimaryScreen();
        EXPECT_EQ(QRect(reported.left, reported.top, reported.width, reported.height), screen);
        EXPECT_EQ(w.pos(), screen.bottomRight() + QPoint(1 - 275, 1 - 350));

        struct Row {
            const char* name;
            QWidget* parent;
            QRect geometry;
            bool visible;
            QString caption;
            QString hint;
        };
        QWidget* group = w.GroupBox1();
        const std::vector<Row> rows = {
            { "Image1", &w, { 8, 8, 160, 120 }, true, {}, {} },
            { "Bevel1", &w, { 8, 8, 162, 121 }, true, {}, {} },
            { "badd", &w, { 225, 135, 23, 22 }, false, "",
                QString::fromUtf8("Añade a las favoritas") },
            { "StatusBar1", &w, { 0, 161, 251, 19 }, true, {}, {} },
            { "combo", &w, { 8, 136, 213, 21 }, false, {}, {} },
            { "GroupBox1", &w, { 173, 2, 73, 127 }, true, {}, {} },
            { "bsal", group, { 8, 11, 57, 25 }, true, "Salir", "" },
            { "bcon", group, { 8, 39, 57, 25 }, true, "Conectar", "" },
            { "bcnf", group, { 8, 68, 57, 25 }, false, "Confirmar", "" },
            { "bfav", group, { 8, 96, 57, 25 }, false, "Favoritas", "" },
        };
        for (const auto& row : rows) {
            SCOPED_TRACE(row.name);
            auto* widget = w.findChild<QWidget*>(row.name);
            ASSERT_NE(widget, nullptr);
            EXPECT_EQ(widget->parentWidget(), row.parent);
            EXPECT_EQ(widget->geometry(), row.geometry);
            EXPECT_EQ(!widget->isHidden(), row.visible);
            if (auto* button = qobject_cast<SpeedButton*>(widget)) {
                EXPECT_EQ(button->text(), row.caption);
                EXPECT_EQ(button->toolTip(), row.hint);
                // A tab stop, never focused by a click.
                EXPECT_EQ(button->focusPolicy(), Qt::TabFocus);
                // The caption fits inside the button's frame.
                EXPECT_LE(QFontMetrics(button->font()).horizontalAdvance(button->text()),
                    button->width() - 4);
            }
        }
        // Drawing order: the bevel lies over the preview.
        const auto children = w.children();
        EXPECT_LT(children.indexOf(w.Image1()), children.indexOf(w.Bevel1()));
        EXPECT_TRUE(w.Combo()->isEditable());
        EXPECT_EQ(w.Combo()->insertPolicy(), QComboBox::NoInsert);
        EXPECT_EQ(w.Combo()->focusPolicy(), Qt::StrongFocus);
        EXPECT_TRUE(w.Timer1()->isActive());
        EXPECT_EQ(w.Timer1()->interval(), 1000);
        // The icon comes with the map, sharp at the sizes docks ask for.
        w.show();
        EXPECT_EQ(w.windowIcon().availableSizes(),
            QList<QSize>({ QSize(32, 32), QSize(64, 64), QSize(128, 128) }));
    }

    TEST_F(QtWindowTest, ColoursOfWindowGroupBoxStatusBarAndBevel)
    {
        struct Row {
            const char* what;
            QPoint at;
            QColor colour;
        };
        const std::vector<Row> rows = {
            { "window", { 2, 2 }, { 188, 190, 254 } },
            { "empty preview", { 60, 60 }, { 188, 190, 254 } },
            { "inside the group box", { 176, 120 }, { 188, 190, 254 } },
            { "group box above its frame", { 200, 4 }, { 188, 190, 254 } },
            { "status bar", { 240, 175 }, { 227, 228, 255 } },
            { "bevel, top left", { 8, 8 }, { 128, 128, 128 } },
            { "bevel, bottom right", { 169, 128 }, { 255, 255, 255 } },
        };
        const QImage image = window_->grab().toImage();
        for (const auto& row : rows)
            EXPECT_EQ(image.pixelColor(row.at), row.colour) << row.what;
    }

    TEST_F(QtWindowTest, ErrorBoxTextAndCaption)
    {
        // An empty favourites list fails on the missing entry; a missing file
        // with the file's text and the full stop the box appends.
        ShowPhoto(Jpeg(32, 24));
        window_->Combo()->setCurrentIndex(-1);
        form_->comboChange();
        form_->bfavClick();
        ASSERT_EQ(errors_.size(), 2u);
        EXPECT_EQ(errors_[0].first, "List index out of bounds (-1)");
        EXPECT_EQ(errors_[1].first, "File not found.");
        for (const auto& error : errors_)
            EXPECT_EQ(error.second, "Imagenes de Tarvenia");
    }

    TEST_F(QtWindowTest, ABurstOfStatusTextsEndsDrawnWithTheLastOne)
    {
        // A download reports after every 1 KiB; the bar keeps every text at
        // once and is drawn again shortly after the burst, with the last one.
        window_->show();
        StatusBar* bar = window_->StatusBar1();
        const QImage empty = bar->grab().toImage();
        window_->SetStatusText(texts::kConexion, true);
        for (int i = 0; i <= 2000; ++i)
            window_->SetStatusText(std::to_string(i * 1024) + " bytes recibidos", false);
        EXPECT_EQ(bar->Text(), "2048000 bytes recibidos");
        // Only the announced text is the bar's name for screen readers.
        EXPECT_EQ(bar->Message(), QString::fromUtf8("Conexión"));
        QElapsedTimer waited;
        waited.start();
        while (!bar->updatesEnabled() && waited.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        EXPECT_TRUE(bar->updatesEnabled());
        EXPECT_NE(bar->grab().toImage(), empty);
    }

    TEST_F(QtWindowTest, PhotoStepShowsThePictureAndTheControls)
    {
        ShowPhoto(Jpeg(64, 48));
        for (Control c : { Control::bcnf, Control::badd, Control::combo })
            EXPECT_TRUE(window_->IsVisible(c));
        EXPECT_FALSE(window_->IsVisible(Control::bfav));
        EXPECT_EQ(window_->StatusBar1()->Message(), "Descarga Completada");
        EXPECT_EQ(window_->Combo()->currentText(), QString::fromUtf8("Viña"));
        EXPECT_EQ(window_->Combo()->currentIndex(), 0);
        EXPECT_EQ(window_->Combo()->count(), 3);
        const QColor inside = PixelOf(*window_, 60, 60);
        EXPECT_NE(inside, QColor(188, 190, 254));
        EXPECT_FALSE(window_->Image1()->Stretched().isNull());
        EXPECT_TRUE(errors_.empty());
    }

    TEST_F(QtWindowTest, DecodeFailureIsReportedOnceAfterTheFirstDraw)
    {
        ShowPhoto(""); // an empty photo file loads; it cannot be decoded
        EXPECT_TRUE(window_->IsVisible(Control::bcnf));
        window_->grab();
        EXPECT_TRUE(errors_.empty()); // not from inside the paint
        QApplication::processEvents();
        window_->grab();
        QApplication::processEvents();
        ASSERT_EQ(errors_.size(), 1u);
        EXPECT_TRUE(errors_[0].first.startsWith("JPEG error #")) << errors_[0].first.toStdString();
        EXPECT_TRUE(errors_[0].first.endsWith("."));
        EXPECT_EQ(PixelOf(*window_, 60, 60), QColor(188, 190, 254));
    }

    TEST_F(QtWindowTest, AnAddWritesTheTypedTitleWithTheSelectedKey)
    {
        ShowPhoto(Jpeg(32, 24));
        window_->SetComboSelectedIndex(1);
        TypeInto(*window_->Combo(), "Mi faro\xF1");
        window_->Button(Control::badd)->click();
        EXPECT_EQ(File::ReadAll(form_->FavoritesPath),
            std::vector<unsigned char>({ '2', '0', '2', '4', '0', '1', '0', '4', '0', 'M', 'i', ' ',
                'f', 'a', 'r', 'o', 0xF1, '\r', '\n' }));
        EXPECT_TRUE(errors_.empty());
    }

    TEST_F(QtWindowTest, ViewSwitchReloadsTheCombo)
    {
        ShowPhoto(Jpeg(32, 24));
        WriteFile(form_->FavoritesPath, "202401030Mercado\r\n202401040Faro\r\n");
        form_->vis_bfav();
        EXPECT_TRUE(window_->IsVisible(Control::bfav));

        window_->Button(Control::bfav)->click();
        EXPECT_EQ(window_->Button(Control::bfav)->text(), "Todas");
        EXPECT_EQ(window_->Button(Control::badd)->toolTip(), "Borra de las favoritas");
        EXPECT_EQ(window_->Combo()->count(), 2);
        EXPECT_EQ(window_->Combo()->currentIndex(), 0);
        EXPECT_EQ(window_->Combo()->currentText(), "Mercado");
        EXPECT_EQ(workers_.urls.back(), "http://f/20240103.jpg");

        window_->Button(Control::bfav)->click();
        EXPECT_EQ(window_->Button(Control::bfav)->text(), "Favoritas");
        EXPECT_EQ(window_->Combo()->count(), 3);
        EXPECT_EQ(window_->Combo()->currentText(), QString::fromUtf8("Viña"));
        EXPECT_EQ(workers_.urls.back(), "http://f/20240105.jpg");
        EXPECT_TRUE(errors_.empty());
    }

    TEST_F(QtWindowTest, ComboShowsItsItemsDecoded)
    {
        ComboItems& items = static_cast<ComboItems&>(window_->ComboItems());
        items.Add("A\x80\x81");
        items.Add("B");
        EXPECT_EQ(window_->Combo()->itemText(0), QString::fromUtf8("A€\u0081"));
    }

    TEST_F(QtWindowTest, GlyphFollowsTheView)
    {
        ShowPhoto(Jpeg(32, 24));
        EXPECT_EQ(window_->AddGlyph(), 0);
        form_->SetMode(TForm1::ViewMode::Favourites);
        form_->vis_bfav();
        EXPECT_EQ(window_->AddGlyph(), 1);
        EXPECT_EQ(window_->Button(Control::badd)->icon().pixmap(16, 16).toImage(),
            ImageList1(1).toImage());
        EXPECT_EQ(window_->Button(Control::badd)->iconSize(), QSize(16, 16));
    }

    TEST(Glyphs, PicturesHaveTheirSizesColoursAndMasks)
    {
        struct Row {
            const char* what;
            QPixmap pixmap;
            QSize size;
            std::vector<QColor> colours; // all present
        };
        const std::vector<Row> rows = {
            { "folder", ImageList1(0), { 16, 16 }, { Qt::black, QColor(255, 255, 0), Qt::white } },
            { "waste bin", ImageList1(1), { 16, 16 },
                { Qt::black, Qt::white, QColor(192, 192, 192), QColor(128, 128, 128) } },
            { "icon", WindowIcon(), { 32, 32 }, { Qt::black } },
        };
        for (const auto& row : rows) {
            SCOPED_TRACE(row.what);
            ASSERT_FALSE(row.pixmap.isNull());
            EXPECT_EQ(row.pixmap.size(), row.size);
            EXPECT_TRUE(row.pixmap.hasAlpha()); // drawn through its mask
            const QImage image = row.pixmap.toImage();
            std::set<QRgb> seen;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qAlpha(image.pixel(x, y)) == 255)
                        seen.insert(image.pixel(x, y) | 0xFF000000u);
            EXPECT_LE(seen.size(), 16u);
            for (const QColor& c : row.colours)
                EXPECT_TRUE(seen.count(c.rgb())) << c.name().toStdString();
        }
        EXPECT_TRUE(ImageList1(2).isNull());
    }

    TEST(Cp1252, EveryByteSurvivesTheRoundTrip)
    {
        std::string all;
        for (int b = 1; b < 256; ++b)
            all.push_back(static_cast<char>(b));
        EXPECT_EQ(QStringToCp1252(Cp1252ToQString(all)), all);

        struct Row {
            std::string bytes;
            QString text;
        };
        for (const auto& row : std::vector<Row> {
                 { "Im\xE1"
                   "genes",
                     QString::fromUtf8("Imágenes") },
                 { "\x80 \x9F \xFF", QString::fromUtf8("€ Ÿ ÿ") },
                 { "\x93"
                   "a\x94",
                     QString::fromUtf8("“a”") },
             }) {
            EXPECT_EQ(Cp1252ToQString(row.bytes), row.text);
            EXPECT_EQ(QStringToCp1252(row.text), row.bytes);
        }
        // What the code page cannot hold becomes "?", one per character.
        EXPECT_EQ(QStringToCp1252(QString::fromUtf8("a中b😀c")), "a?b?c");
    }

    TEST(ImageBoxStretch, DropsAndRepeatsPixelsWithoutSmoothing)
    {
        DecodedImage image;
        image.width = 2;
        image.height = 2;
        image.bits = 24;
        image.stride = DecodedImage::StrideFor(2, 24);
        image.pixels.assign(image.stride * 2, 0);
        // Top row: red, green; bottom row: blue, white (BGR, stored bottom-up).
        auto put = [&](int x, int y, int r, int g, int b) {
            std::uint8_t* p = image.Row(y) + x * 3;
            p[0] = static_cast<std::uint8_t>(b);
            p[1] = static_cast<std::uint8_t>(g);
            p[2] = static_cast<std::uint8_t>(r);
        };
        put(0, 0, 255, 0, 0);
        put(1, 0, 0, 255, 0);
        put(0, 1, 0, 0, 255);
        put(1, 1, 255, 255, 255);
        QImage out = ImageBox::Stretch(image, 160, 120);
        EXPECT_EQ(out.pixelColor(0, 0), QColor(255, 0, 0));
        EXPECT_EQ(out.pixelColor(79, 59), QColor(255, 0, 0));
        EXPECT_EQ(out.pixelColor(80, 59), QColor(0, 255, 0));
        EXPECT_EQ(out.pixelColor(79, 60), QColor(0, 0, 255));
        EXPECT_EQ(out.pixelColor(159, 119), QColor(255, 255, 255));

        // An 8-bit image draws through its palette.
        DecodedImage grey;
        grey.width = 1;
        grey.height = 1;
        grey.bits = 8;
        grey.stride = 4;
        grey.pixels = { 3, 0, 0, 0 };
        grey.palette[12] = 10; // blue
        grey.palette[13] = 20; // green
        grey.palette[14] = 30; // red
        EXPECT_EQ(ImageBox::Stretch(grey, 4, 4).pixelColor(3, 3), QColor(30, 20, 10));
        EXPECT_TRUE(ImageBox::Stretch(DecodedImage {}, 160, 120).isNull());
    }

    TEST_F(QtWindowTest, ClosingRunsFormClose)
    {
        WriteFile(state_.Paths.photo, "x");
        WriteFile(state_.Paths.catalog, "x");
        window_->show();
        window_->Button(Control::bsal)->click();
        EXPECT_FALSE(window_->isVisible());
        EXPECT_FALSE(fs::exists(state_.Paths.photo));
        EXPECT_FALSE(fs::exists(state_.Paths.catalog));
    }

} // namespace
} // namespace tarvenia::qt
