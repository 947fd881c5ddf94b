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
#include "window/qt/status_bar.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>
#include <QTimer>

namespace tarvenia::qt {

namespace {

    QColor Colour(const layout::Rgb& c) { return QColor(c.red, c.green, c.blue); }
    QRect Geometry(const layout::Box& b) { return QRect(b.left, b.top, b.width, b.height); }

} // namespace

const QColor MainWindow::kBackground = Colour(layout::kBackground);
const QColor MainWindow::kStatusColour = Colour(layout::kStatusColour);

namespace {

    // 8 points at 96 pixels per inch, in the original face where it is
    // installed.
    QFont OriginalFont()
    {
        QFont font;
        font.setFamilies({ QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans") });
        font.setPixelSize(11);
        return font;
    }

    // The fallback is wider than the original face, so it is narrowed to
    // keep the captions inside their buttons. Which face is installed is
    // only known from the font database, whose loading would take a fifth of
    // the start-up: the window starts with the fallback, the likely face,
    // and the face is looked up once the window is mapped (ResolveFont).
    QFont FallbackFont()
    {
        QFont font = OriginalFont();
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

    // Every colour the window draws, whatever the desktop's palette: the
    // style's own light colours with the window's background, so that a
    // dark or high-contrast theme never puts light text on the fixed
    // backgrounds. The selection is darker than the usual blue, for white
    // text on it to keep a contrast above 4.5 : 1.
    QPalette WindowPalette(const QStyle& style)
    {
        QPalette palette = style.standardPalette();
        palette.setColor(QPalette::Window, MainWindow::kBackground);
        palette.setColor(QPalette::Highlight, QColor(0, 96, 160));
        palette.setColor(QPalette::HighlightedText, Qt::white);
        return palette;
    }

    // The roles the widgets' own classes do not give: the window is a frame
    // named by its title, the preview a picture named by its photo, the
    // status bar a status bar named by its message.
    QAccessibleInterface* AccessibleFor(const QString& class_name, QObject* object)
    {
        if (!object || !object->isWidgetType())
            return nullptr;
        auto* widget = static_cast<QWidget*>(object);
        if (class_name == QLatin1String(MainWindow::staticMetaObject.className()))
            return new QAccessibleWidget(widget, QAccessible::Window);
        if (class_name == QLatin1String(ImageBox::staticMetaObject.className()))
            return new QAccessibleWidget(widget, QAccessible::Graphic);
        if (class_name == QLatin1String(StatusBar::staticMetaObject.className()))
            return StatusBar::Accessible(object);
        return nullptr;
    }

    // A key of Qt as the window's commands know it.
    Key KeyOf(const QKeyEvent& event)
    {
        Key key;
        const Qt::KeyboardModifiers mods = event.modifiers();
        key.ctrl = mods & Qt::ControlModifier;
        key.alt = mods & Qt::AltModifier;
        key.shift = mods & Qt::ShiftModifier;
        const int k = event.key();
        if (k >= Qt::Key_A && k <= Qt::Key_Z) {
            key.code = Key::Code::Letter;
            key.letter = static_cast<char>('A' + (k - Qt::Key_A));
            return key;
        }
        switch (k) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            key.code = Key::Code::Return;
            break;
        case Qt::Key_Space:
            key.code = Key::Code::Space;
            break;
        case Qt::Key_Escape:
            key.code = Key::Code::Escape;
            break;
        case Qt::Key_Backtab:
            key.shift = true;
            [[fallthrough]];
        case Qt::Key_Tab:
            key.code = Key::Code::Tab;
            break;
        case Qt::Key_Up:
            key.code = Key::Code::Up;
            break;
        case Qt::Key_Down:
            key.code = Key::Code::Down;
            break;
        case Qt::Key_PageUp:
            key.code = Key::Code::PageUp;
            break;
        case Qt::Key_PageDown:
            key.code = Key::Code::PageDown;
            break;
        case Qt::Key_Home:
            key.code = Key::Code::Home;
            break;
        case Qt::Key_End:
            key.code = Key::Code::End;
            break;
        case Qt::Key_F4:
            key.code = Key::Code::F4;
            break;
        default:
            break;
        }
        return key;
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
    setFixedSize(layout::kClientWidth, layout::kClientHeight);
    setFont(FallbackFont());
    setPalette(WindowPalette(*style()));
    Fill(this, kBackground);
    static const bool factory_installed = (QAccessible::installFactory(&AccessibleFor), true);
    (void)factory_installed;

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

    status_ = new StatusBar(this);
    status_->setObjectName(QStringLiteral("StatusBar1"));
    status_->setGeometry(Geometry(layout::kStatusBar1));
    Fill(status_, kStatusColour);

    combo_ = new QComboBox(this); // completed by PrepareCombo
    combo_->setObjectName(QStringLiteral("combo"));
    combo_->setMaxVisibleItems(layout::kComboRows);
    combo_->setFocusPolicy(Qt::StrongFocus);
    combo_->setGeometry(Geometry(layout::kCombo));
    combo_->hide();
    // Named for screen readers by a label that is never shown (on Linux a
    // combo box's name is its text, its label comes from the relation).
    auto* label = new QLabel(QStringLiteral("Fotos"), this);
    label->setObjectName(QStringLiteral("comboLabel"));
    label->hide();
    label->setBuddy(combo_);
    combo_->setAccessibleName(label->text());
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

    // Tab order: the combo box and its button, then the commands from top
    // to bottom; the preview and the status bar are no stops.
    setTabOrder(combo_, badd_);
    setTabOrder(badd_, bsal_);
    setTabOrder(bsal_, bcon_);
    setTabOrder(bcon_, bcnf_);
    setTabOrder(bcnf_, bfav_);
    for (QWidget* w :
        std::initializer_list<QWidget*> { this, group_, bsal_, bcon_, bcnf_, bfav_, badd_, combo_ })
        w->installEventFilter(this);

    connect(bsal_, &QPushButton::clicked, this, [this] { Forward(&TForm1::bsalClick); });
    connect(bcon_, &QPushButton::clicked, this, [this] { Forward(&TForm1::bconClick); });
    connect(bcnf_, &QPushButton::clicked, this, [this] { Forward(&TForm1::bcnfClick); });
    connect(bfav_, &QPushButton::clicked, this, [this] { Forward(&TForm1::bfavClick); });
    connect(badd_, &QPushButton::clicked, this, [this] { Forward(&TForm1::baddClick); });
    // Both signals come from the user only (the other is the text field's):
    // text and selection set by the program fire nothing.
    connect(combo_, &QComboBox::activated, this, [this](int) { Forward(&TForm1::comboChange); });

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

void MainWindow::PrepareCombo() const
{
    if (combo_prepared_)
        return;
    combo_prepared_ = true;
    combo_->setEditable(true);
    combo_->setInsertPolicy(QComboBox::NoInsert);
    combo_->setCompleter(nullptr);
    QLineEdit* edit = combo_->lineEdit();
    edit->setAccessibleName(combo_->accessibleName());
    auto* self = const_cast<MainWindow*>(this);
    edit->installEventFilter(self);
    connect(edit, &QLineEdit::textEdited, self, [self] { self->Forward(&TForm1::comboEdited); });
}

QComboBox* MainWindow::Combo() const
{
    PrepareCombo();
    return combo_;
}

void MainWindow::SetIcon()
{
    // The 32 × 32 picture plus copies with repeated pixels for the larger
    // sizes that docks and scaled screens ask for, instead of a blurred one.
    const QPixmap picture = WindowIcon();
    QIcon icon(picture);
    icon.addPixmap(picture.scaled(64, 64, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    icon.addPixmap(picture.scaled(128, 128, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    setWindowIcon(icon);
}

void MainWindow::ResolveFont()
{
    if (font_resolved_)
        return;
    font_resolved_ = true;
    const QFont original = OriginalFont();
    if (QFontInfo(original).family() == QStringLiteral("MS Sans Serif"))
        setFont(original);
}

void MainWindow::setVisible(bool visible)
{
    QWidget::setVisible(visible);
    if (!visible || font_resolved_)
        return;
    // The window has been mapped; nothing has been drawn yet. What it needs
    // only once it is there follows now: its icon, which the desktop reads
    // as it frames the window (some thirty thousand pixels converted and sent
    // to the display, two milliseconds before the map otherwise), the font
    // lookup and the combo box's text field.
    SetIcon();
    ResolveFont();
    QTimer::singleShot(0, this, [this] { PrepareCombo(); });
}

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

void MainWindow::SetVisible(Control control, bool visible)
{
    if (visible && control == Control::combo)
        PrepareCombo();
    Widget(control)->setVisible(visible);
}

// The control's own setting, also while the window itself is not shown.
bool MainWindow::IsVisible(Control control) const { return !Widget(control)->isHidden(); }

namespace {
    constexpr int kStatusDrawMs = 20;
}

void MainWindow::SetStatusText(const std::string& text, bool announce)
{
    // A download reports after every read of 1 KiB. The text is taken at
    // once, but the bar is drawn at most every kStatusDrawMs: drawing every
    // report would cost the main thread more than the transfer itself, while
    // no one can read counts that change faster.
    status_->setUpdatesEnabled(false);
    status_->SetText(Cp1252ToQString(text), announce);
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

void MainWindow::SetPictureTitle(const std::string& title)
{
    image_->setAccessibleName(Cp1252ToQString(title));
}

StringList& MainWindow::ComboItems()
{
    PrepareCombo();
    return *items_;
}

int MainWindow::ComboSelectedIndex() const { return Combo()->currentIndex(); }

void MainWindow::SetComboSelectedIndex(int index) { Combo()->setCurrentIndex(index); }

std::string MainWindow::ComboText() const { return QStringToCp1252(Combo()->currentText()); }

void MainWindow::SetComboText(const std::string& text)
{
    Combo()->setEditText(Cp1252ToQString(text));
}

std::string MainWindow::Caption(Control control) const
{
    const SpeedButton* button = Button(control);
    return button ? button->Caption() : QStringToCp1252(Combo()->currentText());
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

std::optional<Control> MainWindow::FocusedControl() const
{
    const QWidget* focused = focusWidget();
    for (Control c : { Control::bsal, Control::bcon, Control::bcnf, Control::bfav, Control::badd,
             Control::combo }) {
        const QWidget* w = Widget(c);
        if (focused && (focused == w || w->isAncestorOf(focused)))
            return c;
    }
    return std::nullopt;
}

void MainWindow::SetFocus(std::optional<Control> control)
{
    if (control == Control::combo)
        PrepareCombo();
    QWidget* target = control ? Widget(*control) : this;
    target->setFocus(Qt::OtherFocusReason);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !form_)
        return QWidget::eventFilter(watched, event);
    ShowKeyboardCues();
    return form_->KeyPress(KeyOf(*static_cast<QKeyEvent*>(event)), FocusedControl());
}

void MainWindow::ShowKeyboardCues()
{
    // As Windows does: focus frames and mnemonics appear with the first key
    // and stay.
    if (keyboard_cues_)
        return;
    keyboard_cues_ = true;
    setAttribute(Qt::WA_KeyboardFocusChange);
    for (SpeedButton* b : { bsal_, bcon_, bcnf_, bfav_, badd_ })
        b->ShowMnemonic(true);
    update();
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
