#include "window/qt/main_window.h"

#include "base/texts.h"
#include "window/layout.h"
#include "window/qt/bevel.h"
#include "window/qt/combo_items.h"
#include "window/qt/cp1252.h"
#include "window/qt/glyphs.h"
#include "window/qt/group_box.h"
#include "window/qt/image_box.h"
#include "window/qt/speed_button.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFontInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

namespace tarvenia::qt {

namespace {

    QColor Colour(const layout::Rgb& c) { return QColor(c.red, c.green, c.blue); }
    QRect Geometry(const layout::Box& b) { return QRect(b.left, b.top, b.width, b.height); }

} // namespace

const QColor MainWindow::kBackground = Colour(layout::kBackground);
const QColor MainWindow::kStatusColour = Colour(layout::kStatusColour);

namespace {

    // 8 points at 96 pixels per inch. The fallback is wider than the
    // original face, so it is narrowed to keep the captions inside their
    // buttons. Only the face asked for is resolved: listing every installed
    // family would cost more than the rest of the start-up.
    QFont WindowFont()
    {
        QFont font;
        font.setFamilies({ QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans") });
        font.setPixelSize(11);
        if (QFontInfo(font).family() != QStringLiteral("MS Sans Serif"))
            font.setStretch(90);
        return font;
    }

    void Fill(QWidget* widget, const QColor& colour)
    {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Window, colour);
        widget->setPalette(palette);
        widget->setAutoFillBackground(true);
    }

    SpeedButton* MakeButton(
        QWidget* parent, const layout::Box& box, const char* caption, bool visible)
    {
        auto* button = new SpeedButton(parent);
        button->setGeometry(Geometry(box));
        button->SetCaption(caption);
        button->setVisible(visible);
        return button;
    }

} // namespace

MainWindow::MainWindow(int display_depth)
    : QWidget(nullptr,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(Cp1252ToQString(texts::kWindowCaption));
    // The 32 × 32 picture plus copies with repeated pixels for the larger
    // sizes that docks and scaled screens ask for, instead of a blurred one.
    QIcon icon(WindowIcon());
    icon.addPixmap(WindowIcon().scaled(64, 64, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    icon.addPixmap(WindowIcon().scaled(128, 128, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    setWindowIcon(icon);
    setFixedSize(layout::kClientWidth, layout::kClientHeight);
    setFont(WindowFont());
    Fill(this, kBackground);

    // Created in the layout's order, which is also the drawing order: the
    // bevel lies over the preview.
    image_ = new ImageBox(display_depth, this);
    image_->setObjectName(QStringLiteral("Image1"));
    image_->setGeometry(Geometry(layout::kImage1));
    image_->SetDecodeErrorHandler(
        [this](const std::string& text) { Forward([&](TForm1& f) { f.ShowException(text); }); });

    bevel_ = new Bevel(this);
    bevel_->setObjectName(QStringLiteral("Bevel1"));
    bevel_->setGeometry(Geometry(layout::kBevel1));

    badd_ = new SpeedButton(this);
    badd_->setObjectName(QStringLiteral("badd"));
    badd_->setGeometry(Geometry(layout::kBadd));
    badd_->setIconSize(QSize(16, 16));
    badd_->SetHint(texts::kHintAdd);
    badd_->hide();

    status_ = new QStatusBar(this);
    status_->setObjectName(QStringLiteral("StatusBar1"));
    status_->setSizeGripEnabled(false);
    status_->setGeometry(Geometry(layout::kStatusBar1));
    Fill(status_, kStatusColour);

    combo_ = new QComboBox(this);
    combo_->setObjectName(QStringLiteral("combo"));
    combo_->setEditable(true);
    combo_->setInsertPolicy(QComboBox::NoInsert);
    combo_->setCompleter(nullptr);
    combo_->setMaxVisibleItems(layout::kComboRows);
    combo_->setFocusPolicy(Qt::ClickFocus); // not a tab stop
    combo_->setGeometry(Geometry(layout::kCombo));
    combo_->hide();
    items_ = std::make_unique<qt::ComboItems>(*combo_);

    group_ = new GroupBox(kBackground, this);
    group_->setObjectName(QStringLiteral("GroupBox1"));
    group_->setGeometry(Geometry(layout::kGroupBox1));

    bsal_ = MakeButton(group_, layout::kBsal, texts::kSalir, true);
    bsal_->setObjectName(QStringLiteral("bsal"));
    bcon_ = MakeButton(group_, layout::kBcon, texts::kConectar, true);
    bcon_->setObjectName(QStringLiteral("bcon"));
    bcnf_ = MakeButton(group_, layout::kBcnf, texts::kConfirmar, false);
    bcnf_->setObjectName(QStringLiteral("bcnf"));
    bfav_ = MakeButton(group_, layout::kBfav, texts::kFavoritas, false);
    bfav_->setObjectName(QStringLiteral("bfav"));

    connect(bsal_, &QPushButton::clicked, this, [this] { Forward(&TForm1::bsalClick); });
    connect(bcon_, &QPushButton::clicked, this, [this] { Forward(&TForm1::bconClick); });
    connect(bcnf_, &QPushButton::clicked, this, [this] { Forward(&TForm1::bcnfClick); });
    connect(bfav_, &QPushButton::clicked, this, [this] { Forward(&TForm1::bfavClick); });
    connect(badd_, &QPushButton::clicked, this, [this] { Forward(&TForm1::baddClick); });
    // Both signals come from the user only: text and selection set by the
    // program fire nothing.
    connect(combo_, &QComboBox::activated, this, [this](int) { Forward(&TForm1::comboChange); });
    connect(combo_->lineEdit(), &QLineEdit::textEdited, this,
        [this] { Forward(&TForm1::comboEdited); });

    status_redraw_ = new QTimer(this);
    status_redraw_->setSingleShot(true);
    connect(status_redraw_, &QTimer::timeout, this, [this] { DrawStatus(); });

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, [this] { Forward(&TForm1::Timer1Timer); });
    timer_->start();
}

MainWindow::~MainWindow() = default;

QWidget* MainWindow::Widget(Control control) const
{
    switch (control) {
    case Control::combo:
        return combo_;
    default:
        return Button(control);
    }
}

SpeedButton* MainWindow::Button(Control control) const
{
    switch (control) {
    case Control::bsal:
        return bsal_;
    case Control::bcon:
        return bcon_;
    case Control::bcnf:
        return bcnf_;
    case Control::bfav:
        return bfav_;
    case Control::badd:
        return badd_;
    case Control::combo:
        break;
    }
    return nullptr;
}

layout::Box MainWindow::PrimaryScreen() const
{
    // The full screen, not the work area without panels.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    return { screen.x(), screen.y(), screen.width(), screen.height() };
}

void MainWindow::MoveTo(int left, int top) { move(left, top); }

void MainWindow::SetVisible(Control control, bool visible) { Widget(control)->setVisible(visible); }

// The control's own setting, also while the window itself is not shown.
bool MainWindow::IsVisible(Control control) const { return !Widget(control)->isHidden(); }

namespace {
    constexpr int kStatusDrawMs = 20;
}

void MainWindow::SetStatusText(const std::string& text)
{
    // A download reports after every read of 1 KiB. The text is taken at
    // once, but the bar is drawn at most every kStatusDrawMs: drawing every
    // report would cost the main thread more than the transfer itself, while
    // no one can read counts that change faster.
    status_->setUpdatesEnabled(false);
    if (text.empty())
        status_->clearMessage();
    else
        status_->showMessage(Cp1252ToQString(text));
    if (status_redraw_->isActive())
        return;
    const qint64 wait = status_drawn_.isValid() ? kStatusDrawMs - status_drawn_.elapsed() : 0;
    if (wait <= 0)
        DrawStatus();
    else
        status_redraw_->start(static_cast<int>(wait));
}

void MainWindow::DrawStatus()
{
    status_->setUpdatesEnabled(true); // schedules the repaint with the last text
    status_drawn_.start();
}

void MainWindow::LoadPicture(const std::string& path) { image_->Load(path); }

StringList& MainWindow::ComboItems() { return *items_; }

int MainWindow::ComboSelectedIndex() const { return combo_->currentIndex(); }

void MainWindow::SetComboSelectedIndex(int index) { combo_->setCurrentIndex(index); }

std::string MainWindow::ComboText() const { return QStringToCp1252(combo_->currentText()); }

void MainWindow::SetComboText(const std::string& text)
{
    combo_->setEditText(Cp1252ToQString(text));
}

std::string MainWindow::Caption(Control control) const
{
    const SpeedButton* button = Button(control);
    return button ? button->Caption() : QStringToCp1252(combo_->currentText());
}

void MainWindow::SetCaption(Control control, const std::string& caption)
{
    if (SpeedButton* button = Button(control))
        button->SetCaption(caption);
}

void MainWindow::SetHint(Control control, const std::string& hint)
{
    if (SpeedButton* button = Button(control))
        button->SetHint(hint);
}

std::string MainWindow::Hint(Control control) const
{
    const SpeedButton* button = Button(control);
    return button ? button->Hint() : std::string();
}

void MainWindow::SetAddGlyph(int image_index)
{
    glyph_ = image_index;
    badd_->setIcon(QIcon(Sharp(ImageList1(image_index), devicePixelRatioF())));
}

void MainWindow::ShowErrorBox(const std::string& text, const std::string& caption)
{
    const QString shown = Cp1252ToQString(text);
    const QString title = Cp1252ToQString(caption);
    if (error_box_) {
        error_box_(shown, title);
        return;
    }
    QMessageBox box(QMessageBox::Critical, title, shown, QMessageBox::Ok, this);
    box.exec();
}

void MainWindow::Close() { close(); }

void MainWindow::closeEvent(QCloseEvent* event)
{
    Forward(&TForm1::FormClose);
    event->accept();
}

} // namespace tarvenia::qt
