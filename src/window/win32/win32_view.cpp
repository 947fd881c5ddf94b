#include "window/win32/win32_view.h"

#include "base/texts.h"
#include "window/keyboard.h"
#include "window/layout.h"
#include "window/tform1.h"
#include "window/win32/accessible_control.h"
#include "window/win32/resource_ids.h"
#include "window/win32/win32_main_thread.h"
#include "window/win32/window_object.h"

#include <exception>

namespace tarvenia::win32 {

namespace {

    constexpr char kClassName[] = "TarveniaTForm1";

    constexpr RECT ToRect(const layout::Box& b)
    {
        return { b.left, b.top, b.left + b.width, b.top + b.height };
    }

    // The stored layout (window/layout.h), in client coordinates of the
    // window or, for the four command buttons, of GroupBox1.
    constexpr RECT kImage1 = ToRect(layout::kImage1);
    constexpr RECT kBevel1 = ToRect(layout::kBevel1);
    constexpr RECT kBadd = ToRect(layout::kBadd);
    constexpr RECT kStatusBar1 = ToRect(layout::kStatusBar1);
    constexpr RECT kCombo = ToRect(layout::kCombo);
    constexpr RECT kGroupBox1 = ToRect(layout::kGroupBox1);
    constexpr RECT kBsal = ToRect(layout::kBsal);
    constexpr RECT kBcon = ToRect(layout::kBcon);
    constexpr RECT kBcnf = ToRect(layout::kBcnf);
    constexpr RECT kBfav = ToRect(layout::kBfav);
    constexpr int kComboRows = layout::kComboRows;
    constexpr POINT kStoredPosition { 344, 209 };
    constexpr auto kStatusDrawInterval = std::chrono::milliseconds(20);

    std::size_t IndexOf(Control control) { return static_cast<std::size_t>(control); }

    // Texts on the window's fixed colours are black whatever the system's
    // colour scheme: a dark or high-contrast scheme must not put light text
    // on the light backgrounds of the layout.
    constexpr COLORREF kText = RGB(0, 0, 0);

    constexpr char kImageClassName[] = "TarveniaImage1";

    // Image1 is drawn by the window; this window over it draws nothing, takes
    // no clicks and only carries the preview for screen readers: a graphic
    // named by its window text, the shown photo's title.
    LRESULT CALLBACK ImageNameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
    {
        switch (msg) {
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            ::ValidateRect(hwnd, nullptr);
            return 0;
        case WM_GETOBJECT:
            return AccessibleControl::Answer(hwnd, wp, lp, AccessibleControl::Kind::Graphic);
        default:
            break;
        }
        return ::DefWindowProcA(hwnd, msg, wp, lp);
    }

    // A key of the message loop as the window's commands know it.
    Key KeyOf(const MSG& msg)
    {
        Key key;
        key.ctrl = ::GetKeyState(VK_CONTROL) < 0;
        key.shift = ::GetKeyState(VK_SHIFT) < 0;
        key.alt = msg.message == WM_SYSKEYDOWN && (msg.lParam & (1 << 29)) != 0;
        const WPARAM vk = msg.wParam;
        if (vk >= 'A' && vk <= 'Z') {
            key.code = Key::Code::Letter;
            key.letter = static_cast<char>(vk);
            return key;
        }
        switch (vk) {
        case VK_RETURN:
            key.code = Key::Code::Return;
            break;
        case VK_SPACE:
            key.code = Key::Code::Space;
            break;
        case VK_ESCAPE:
            key.code = Key::Code::Escape;
            break;
        case VK_TAB:
            key.code = Key::Code::Tab;
            break;
        case VK_UP:
            key.code = Key::Code::Up;
            break;
        case VK_DOWN:
            key.code = Key::Code::Down;
            break;
        case VK_PRIOR:
            key.code = Key::Code::PageUp;
            break;
        case VK_NEXT:
            key.code = Key::Code::PageDown;
            break;
        case VK_HOME:
            key.code = Key::Code::Home;
            break;
        case VK_END:
            key.code = Key::Code::End;
            break;
        case VK_F4:
            key.code = Key::Code::F4;
            break;
        default:
            break;
        }
        return key;
    }

    // GroupBox1 fills its own background with the window's colour, so the
    // inside of the box matches the window.
    LRESULT CALLBACK GroupBoxProc(
        HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR brush)
    {
        if (msg == WM_ERASEBKGND) {
            RECT r;
            ::GetClientRect(hwnd, &r);
            ::FillRect(reinterpret_cast<HDC>(wp), &r, reinterpret_cast<HBRUSH>(brush));
            return 1;
        }
        return ::DefSubclassProc(hwnd, msg, wp, lp);
    }

} // namespace

LRESULT CALLBACK Win32View::StatusBarProc(
    HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self)
{
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        reinterpret_cast<Win32View*>(self)->PaintStatusBar(hwnd, dc);
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    default:
        return ::DefSubclassProc(hwnd, msg, wp, lp);
    }
}

void Win32View::PaintStatusBar(HWND bar, HDC dc) const
{
    RECT r;
    ::GetClientRect(bar, &r);
    HBRUSH fill = ::CreateSolidBrush(kStatusColour);
    ::FillRect(dc, &r, fill);
    ::DeleteObject(fill);
    // One simple panel: a lowered frame with the text inside it.
    RECT panel { r.left, r.top + 2, r.right, r.bottom };
    ::DrawEdge(dc, &panel, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    if (status_text_.empty())
        return;
    auto font = reinterpret_cast<HFONT>(::SendMessageA(bar, WM_GETFONT, 0, 0));
    HGDIOBJ old = ::SelectObject(dc, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, kText);
    panel.left += 2;
    ::DrawTextA(dc, status_text_.data(), static_cast<int>(status_text_.size()), &panel,
        DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    ::SelectObject(dc, old);
}

Win32View::Win32View(HINSTANCE instance, int display_depth)
    : instance_(instance)
    , display_depth_(display_depth)
{
    background_ = ::CreateSolidBrush(kBackground);
}

Win32View::~Win32View()
{
    form_ = nullptr; // the controller may be gone already
    if (hwnd_)
        ::DestroyWindow(hwnd_);
    if (images_)
        ::ImageList_Destroy(images_);
    if (font_)
        ::DeleteObject(font_);
    if (background_)
        ::DeleteObject(background_);
}

void Win32View::Create(TForm1& form)
{
    form_ = &form;

    WNDCLASSEXA wc {};
    wc.cbSize = sizeof wc;
    if (!::GetClassInfoExA(instance_, kClassName, &wc)) {
        wc.cbSize = sizeof wc;
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = &Win32View::Proc;
        wc.hInstance = instance_;
        wc.hIcon = static_cast<HICON>(::LoadImageA(
            instance_, MAKEINTRESOURCEA(IDI_QUINDELAR), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
        wc.hIconSm = static_cast<HICON>(
            ::LoadImageA(instance_, MAKEINTRESOURCEA(IDI_QUINDELAR), IMAGE_ICON,
                ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = kClassName;
        ::RegisterClassExA(&wc);
    }

    // "MS Sans Serif", 8 points.
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    font_ = ::CreateFontA(-::MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
        DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");

    RECT frame { 0, 0, kClientWidth, kClientHeight };
    ::AdjustWindowRect(&frame, kStyle, FALSE);
    hwnd_ = ::CreateWindowExA(0, kClassName, texts::kWindowCaption, kStyle, kStoredPosition.x,
        kStoredPosition.y, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
        instance_, this);
    if (!hwnd_)
        return;
    // A fixed window with the close box only: its system menu offers
    // nothing else either.
    if (HMENU menu = ::GetSystemMenu(hwnd_, FALSE)) {
        for (UINT item : { SC_RESTORE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE })
            ::DeleteMenu(menu, item, MF_BYCOMMAND);
    }
    CreateControls();
    ::SetTimer(hwnd_, kTimer1, kTimer1Interval, nullptr);
}

layout::Box Win32View::PrimaryScreen() const
{
    // The primary monitor's top left corner is the origin of the desktop.
    return { 0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN) };
}

void Win32View::MoveTo(int left, int top)
{
    if (hwnd_)
        ::SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32View::CreateControls()
{
    auto send_font
        = [this](HWND h) { ::SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE); };

    image_ = std::make_unique<PreviewImage>(kImage1, display_depth_);
    WNDCLASSA image_class {};
    if (!::GetClassInfoA(instance_, kImageClassName, &image_class)) {
        image_class.lpfnWndProc = &ImageNameProc;
        image_class.hInstance = instance_;
        image_class.lpszClassName = kImageClassName;
        ::RegisterClassA(&image_class);
    }
    image_name_ = ::CreateWindowExA(WS_EX_TRANSPARENT, kImageClassName, "",
        WS_CHILD | WS_VISIBLE | SS_BITMAP, kImage1.left, kImage1.top, kImage1.right - kImage1.left,
        kImage1.bottom - kImage1.top, hwnd_, nullptr, instance_, nullptr);

    // ImageList1: two 16 x 16 glyphs drawn through their masks.
    images_ = ::ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 2, 0);
    if (HBITMAP strip = static_cast<HBITMAP>(::LoadImageA(
            instance_, MAKEINTRESOURCEA(IDB_GLYPHS), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))) {
        ::ImageList_AddMasked(images_, strip, RGB(255, 0, 255));
        ::DeleteObject(strip);
    }

    badd_ = std::make_unique<SpeedButton>(instance_, hwnd_, kBadd, std::string(), font_,
        [this] { Forward([](TForm1& f) { f.baddClick(); }); });

    status_ = ::CreateWindowExA(0, STATUSCLASSNAMEA, "",
        WS_CHILD | WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, kStatusBar1.left,
        kStatusBar1.top, kStatusBar1.right - kStatusBar1.left, kStatusBar1.bottom - kStatusBar1.top,
        hwnd_, nullptr, instance_, nullptr);
    ::SendMessageA(status_, SB_SIMPLE, TRUE, 0);
    ::SendMessageA(status_, SB_SETBKCOLOR, 0, kStatusColour);
    // Some systems paint a simple status bar in their theme's colour
    // whatever it was told; the window draws it itself instead.
    ::SetWindowSubclass(status_, &StatusBarProc, 1, reinterpret_cast<DWORD_PTR>(this));

    // The combo box's name for screen readers: the label just before it,
    // never shown.
    combo_label_ = ::CreateWindowExA(0, "STATIC", "Fotos", WS_CHILD | SS_LEFT, kCombo.left,
        kCombo.top, 0, 0, hwnd_, nullptr, instance_, nullptr);
    // An editable drop-down list; the height given at creation is the
    // dropped height, set below once the font gives the row height.
    combo_ = ::CreateWindowExA(WS_EX_CLIENTEDGE, "COMBOBOX", "",
        WS_CHILD | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN | CBS_AUTOHSCROLL, kCombo.left,
        kCombo.top, kCombo.right - kCombo.left, 200, hwnd_, nullptr, instance_, nullptr);
    send_font(combo_);
    {
        RECT field;
        ::GetWindowRect(combo_, &field);
        const int row = static_cast<int>(::SendMessageA(combo_, CB_GETITEMHEIGHT, 0, 0));
        ::SetWindowPos(combo_, nullptr, 0, 0, kCombo.right - kCombo.left,
            (field.bottom - field.top) + kComboRows * row + 2, SWP_NOMOVE | SWP_NOZORDER);
    }
    items_.Attach(combo_, &programmatic_);

    // Its buttons are tab stops of the window (WS_EX_CONTROLPARENT).
    group_ = ::CreateWindowExA(WS_EX_CONTROLPARENT, "BUTTON", "",
        WS_CHILD | WS_VISIBLE | BS_GROUPBOX | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, kGroupBox1.left,
        kGroupBox1.top, kGroupBox1.right - kGroupBox1.left, kGroupBox1.bottom - kGroupBox1.top,
        hwnd_, nullptr, instance_, nullptr);
    send_font(group_);
    ::SetWindowSubclass(group_, &GroupBoxProc, 1, reinterpret_cast<DWORD_PTR>(background_));

    auto make = [this](RECT r, const char* caption, void (TForm1::*handler)()) {
        return std::make_unique<SpeedButton>(instance_, group_, r, caption, font_,
            [this, handler] { Forward([handler](TForm1& f) { (f.*handler)(); }); });
    };
    bsal_ = make(kBsal, texts::kSalir, &TForm1::bsalClick);
    bcon_ = make(kBcon, texts::kConectar, &TForm1::bconClick);
    bcnf_ = make(kBcnf, texts::kConfirmar, &TForm1::bcnfClick);
    bfav_ = make(kBfav, texts::kFavoritas, &TForm1::bfavClick);
    // Tab order: the combo box and its button, then the commands from top
    // to bottom; the preview and the status bar are no stops.
    ::SetWindowPos(badd_->Handle(), combo_, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    tooltip_ = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
        CW_USEDEFAULT, hwnd_, nullptr, instance_, nullptr);

    // Visible at start: Salir and Conectar; the rest waits for a photo.
    SetVisible(Control::bsal, true);
    SetVisible(Control::bcon, true);
    SetVisible(Control::bcnf, false);
    SetVisible(Control::bfav, false);
    SetVisible(Control::badd, false);
    SetVisible(Control::combo, false);
    SetHint(Control::badd, texts::kHintAdd);
}

void Win32View::Show()
{
    if (!hwnd_)
        return;
    ::ShowWindow(hwnd_, SW_SHOWNORMAL);
    ::UpdateWindow(hwnd_);
}

HWND Win32View::ControlHandle(Control control) const
{
    if (control == Control::combo)
        return combo_;
    SpeedButton* b = Button(control);
    return b ? b->Handle() : nullptr;
}

SpeedButton* Win32View::Button(Control control) const
{
    switch (control) {
    case Control::bsal:
        return bsal_.get();
    case Control::bcon:
        return bcon_.get();
    case Control::bcnf:
        return bcnf_.get();
    case Control::bfav:
        return bfav_.get();
    case Control::badd:
        return badd_.get();
    case Control::combo:
        return nullptr;
    }
    return nullptr;
}

int Win32View::AddGlyph() const { return badd_ ? badd_->GlyphIndex() : -1; }

void Win32View::SetVisible(Control control, bool visible)
{
    visible_[IndexOf(control)] = visible;
    HWND h = ControlHandle(control);
    if (!h)
        return;
    if (control == Control::combo && !visible)
        ::SendMessageA(h, CB_SHOWDROPDOWN, FALSE, 0); // its list goes with it
    ::ShowWindow(h, visible ? SW_SHOWNA : SW_HIDE);
}

bool Win32View::IsVisible(Control control) const { return visible_[IndexOf(control)]; }

void Win32View::SetStatusText(const std::string& text, bool announce)
{
    status_text_ = text;
    // An announced text becomes the control's own, which screen readers
    // read, and they are told of it; a silent one is only drawn.
    if (announce) {
        ::SendMessageA(status_, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(text.c_str()));
        ::SetWindowTextA(status_, text.c_str()); // the name read through MSAA
        ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, status_, OBJID_CLIENT, CHILDID_SELF);
    }
    // A download reports after every read of 1 KiB. The text is taken at
    // once, but the bar is drawn at most every kStatusDrawInterval, the last
    // text by the status timer: drawing every report would cost the main
    // thread more than the transfer itself, while no one can read counts that
    // change faster.
    if (status_redraw_pending_)
        return;
    const auto wait = status_drawn_ + kStatusDrawInterval - std::chrono::steady_clock::now();
    if (wait <= wait.zero() || !hwnd_) {
        DrawStatus();
        return;
    }
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(wait).count();
    status_redraw_pending_ = ::SetTimer(hwnd_, kStatusTimer, static_cast<UINT>(ms), nullptr) != 0;
    if (!status_redraw_pending_)
        DrawStatus(); // no timer left: drawn now rather than never
}

void Win32View::DrawStatus()
{
    if (status_redraw_pending_ && hwnd_)
        ::KillTimer(hwnd_, kStatusTimer);
    status_redraw_pending_ = false;
    status_drawn_ = std::chrono::steady_clock::now();
    if (status_)
        ::InvalidateRect(status_, nullptr, FALSE);
}

void Win32View::SetPictureTitle(const std::string& title)
{
    if (image_name_)
        ::SetWindowTextA(image_name_, title.c_str());
}

std::optional<Control> Win32View::FocusedControl() const
{
    if (!hwnd_ || ::GetActiveWindow() != hwnd_)
        return focus_;
    const HWND focused = ::GetFocus();
    for (Control c : { Control::bsal, Control::bcon, Control::bcnf, Control::bfav, Control::badd,
             Control::combo }) {
        const HWND h = ControlHandle(c);
        if (h && focused && (focused == h || ::IsChild(h, focused)))
            return c;
    }
    return std::nullopt;
}

void Win32View::SetFocus(std::optional<Control> control)
{
    focus_ = control;
    if (!hwnd_ || ::GetActiveWindow() != hwnd_)
        return; // WM_SETFOCUS gives it once the window is active
    ::SetFocus(control ? ControlHandle(*control) : hwnd_);
}

void Win32View::ShowKeyboardCues()
{
    // Focus frames and mnemonics appear with the first key and stay, as the
    // system's own controls do (WM_CHANGEUISTATE tells them).
    if (cues_ || !hwnd_)
        return;
    cues_ = true;
    ::SendMessageA(
        hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
    for (SpeedButton* b : { bsal_.get(), bcon_.get(), bcnf_.get(), bfav_.get(), badd_.get() })
        b->ShowKeyboardCues(true);
}

bool Win32View::PreTranslateMessage(MSG& msg)
{
    if (!hwnd_ || !msg.hwnd || (msg.hwnd != hwnd_ && !::IsChild(hwnd_, msg.hwnd)))
        return false;
    // While the combo box's list is dropped down, its keys are the list's.
    const bool dropped = combo_ && ::SendMessageA(combo_, CB_GETDROPPEDSTATE, 0, 0);
    if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && !dropped) {
        ShowKeyboardCues();
        bool ran = false;
        const Key key = KeyOf(msg);
        const std::optional<Control> focused = FocusedControl();
        Forward([&](TForm1& f) { ran = f.KeyPress(key, focused); });
        if (ran) {
            alt_command_ = key.alt;
            return true;
        }
    }
    // Alt released after an Alt+letter command: the system never saw the
    // letter, and would take the release for a lone Alt opening the menu.
    if ((msg.message == WM_SYSKEYUP || msg.message == WM_KEYUP) && alt_command_
        && (msg.wParam == VK_MENU || msg.wParam == VK_LMENU || msg.wParam == VK_RMENU)) {
        alt_command_ = false;
        return true;
    }
    return hwnd_ && ::IsDialogMessageA(hwnd_, &msg) != FALSE;
}

void Win32View::LoadPicture(const std::string& path)
{
    image_->Load(path);
    if (hwnd_)
        ::InvalidateRect(hwnd_, &kImage1, FALSE);
}

int Win32View::ComboSelectedIndex() const
{
    const LRESULT i = ::SendMessageA(combo_, CB_GETCURSEL, 0, 0);
    if (i >= 0)
        return static_cast<int>(i);
    // Typing into the field drops the list's selection; the entry picked
    // last is still the one shown.
    return items_.Picked() < items_.Count() ? items_.Picked() : -1;
}

void Win32View::SetComboSelectedIndex(int index)
{
    ++programmatic_;
    ::SendMessageA(combo_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    --programmatic_;
    items_.SetPicked(index);
}

std::string Win32View::ComboText() const
{
    const int len = ::GetWindowTextLengthA(combo_);
    std::string text(static_cast<std::size_t>(len) + 1, '\0');
    const int got = ::GetWindowTextA(combo_, text.data(), len + 1);
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}

void Win32View::SetComboText(const std::string& text)
{
    ++programmatic_;
    ::SetWindowTextA(combo_, text.c_str());
    --programmatic_;
}

std::string Win32View::Caption(Control control) const
{
    if (control == Control::combo)
        return ComboText();
    SpeedButton* b = Button(control);
    return b ? b->Caption() : std::string();
}

void Win32View::SetCaption(Control control, const std::string& caption)
{
    if (control == Control::combo) {
        SetComboText(caption);
        return;
    }
    if (SpeedButton* b = Button(control))
        b->SetCaption(caption);
}

void Win32View::SetHint(Control control, const std::string& hint)
{
    if (SpeedButton* b = Button(control))
        b->SetAccessibleName(hint);
    std::string& kept = hints_[IndexOf(control)];
    HWND tool = ControlHandle(control);
    if (tooltip_ && tool) {
        TOOLINFOA ti {};
        ti.cbSize = TTTOOLINFOA_V1_SIZE;
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ti.hwnd = hwnd_;
        ti.uId = reinterpret_cast<UINT_PTR>(tool);
        ti.hinst = instance_;
        ti.lpszText = const_cast<char*>(hint.c_str());
        if (kept.empty() && !hint.empty())
            ::SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
        else if (!kept.empty() && hint.empty())
            ::SendMessageA(tooltip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
        else if (!hint.empty())
            ::SendMessageA(tooltip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
    }
    kept = hint;
}

std::string Win32View::Hint(Control control) const { return hints_[IndexOf(control)]; }

void Win32View::SetAddGlyph(int image_index)
{
    if (badd_)
        badd_->SetGlyph(images_, image_index);
}

void Win32View::ShowErrorBox(const std::string& text, const std::string& caption)
{
    HWND owner = hwnd_ && ::IsWindow(hwnd_) ? hwnd_ : nullptr;
    ::MessageBoxA(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONSTOP);
}

void Win32View::Close()
{
    if (hwnd_)
        ::SendMessageA(hwnd_, WM_CLOSE, 0, 0);
}

template <class Fn> void Win32View::Forward(Fn&& fn)
{
    if (!form_)
        return;
    try {
        fn(*form_);
    } catch (const std::exception& e) {
        try {
            form_->ShowException(e.what());
        } catch (...) {
        }
    } catch (...) {
    }
}

void Win32View::RunFormClose()
{
    if (closed_)
        return;
    closed_ = true;
    Forward([](TForm1& f) { f.FormClose(); });
}

void Win32View::Paint(HDC dc)
{
    image_->Paint(dc);
    // Bevel1 comes after Image1 in the layout, so its frame lies over the
    // picture's edge.
    RECT bevel = kBevel1;
    ::DrawEdge(dc, &bevel, BDR_SUNKENOUTER, BF_RECT);
}

void Win32View::OnCommand(WPARAM wp, LPARAM lp)
{
    if (reinterpret_cast<HWND>(lp) != combo_ || !combo_ || programmatic_ > 0)
        return;
    OnComboCommand(HIWORD(wp));
}

void Win32View::OnComboCommand(WORD code)
{
    // A pick is a click in the dropped list, the dropped list closed on the
    // entry the arrow keys moved to, or a change of the closed combo box by
    // the arrow keys (each press chooses, as a pick does; at either end of
    // the list a press changes nothing and chooses nothing). Moving through
    // the dropped list chooses nothing, and closing it with Escape goes back
    // to the entry picked before. The list ends a click with its own change
    // after it has closed: that one change is the pick.
    const auto pick = [this] {
        const LRESULT i = ::SendMessageA(combo_, CB_GETCURSEL, 0, 0);
        items_.SetPicked(static_cast<int>(i));
        Forward([](TForm1& f) { f.comboChange(); });
    };
    switch (code) {
    case CBN_DROPDOWN:
        moved_in_list_ = false;
        break;
    case CBN_SELCHANGE:
        if (::SendMessageA(combo_, CB_GETDROPPEDSTATE, 0, 0))
            moved_in_list_ = true;
        else if (!picked_in_list_
            && (list_closed_ok_ || ::SendMessageA(combo_, CB_GETCURSEL, 0, 0) != items_.Picked()))
            pick();
        break;
    case CBN_SELENDOK:
        // Until this notification has been handled with all that it sends
        // (the closed combo box sends it too, at each arrow key).
        list_closed_ok_ = ::SendMessageA(combo_, CB_GETDROPPEDSTATE, 0, 0) != 0;
        ::PostMessageA(hwnd_, kEndOfComboPick, 0, 0);
        if (moved_in_list_) {
            moved_in_list_ = false;
            picked_in_list_ = true;
            pick();
        }
        break;
    case CBN_SELENDCANCEL:
        moved_in_list_ = false;
        if (::SendMessageA(combo_, CB_GETCURSEL, 0, 0) != items_.Picked())
            SetComboSelectedIndex(items_.Picked() < items_.Count() ? items_.Picked() : -1);
        break;
    case CBN_EDITCHANGE:
        Forward([](TForm1& f) { f.comboEdited(); });
        break;
    default:
        break;
    }
}

LRESULT CALLBACK Win32View::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* self = WindowObject<Win32View>(hwnd, msg, lp);
    if (!self)
        return ::DefWindowProcA(hwnd, msg, wp, lp);
    self->hwnd_ = hwnd;
    return self->Handle(msg, wp, lp);
}

LRESULT Win32View::Handle(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_ERASEBKGND: {
        RECT r;
        ::GetClientRect(hwnd_, &r);
        ::FillRect(reinterpret_cast<HDC>(wp), &r, background_);
        return 1;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd_, &ps);
        Paint(dc);
        ::EndPaint(hwnd_, &ps);
        // A picture that failed to decode is reported once, after the
        // paint, outside the drawing.
        if (image_ && image_->HasPicture()) {
            if (auto failure = image_->TakeFailure()) {
                paint_failures_.push_back(*failure);
                ::PostMessageA(hwnd_, kReportPaintFailure, 0, 0);
            }
        }
        return 0;
    }
    case kReportPaintFailure:
        while (!paint_failures_.empty()) {
            std::string text = paint_failures_.front();
            paint_failures_.erase(paint_failures_.begin());
            Forward([&text](TForm1& f) { f.ShowException(text); });
        }
        return 0;
    case kEndOfComboPick:
        picked_in_list_ = false;
        list_closed_ok_ = false;
        return 0;
    case WM_ACTIVATE:
        // The focus leaves with the window and comes back where it was.
        if (LOWORD(wp) == WA_INACTIVE)
            focus_ = FocusedControl();
        break;
    case WM_SETFOCUS:
        if (focus_ && IsVisible(*focus_))
            ::SetFocus(ControlHandle(*focus_));
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
        // The combo box's field and list: black on white, whatever the
        // colour scheme (the selection keeps the system's pair).
        HDC dc = reinterpret_cast<HDC>(wp);
        ::SetTextColor(dc, kText);
        ::SetBkColor(dc, RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
    }
    case WM_TIMER:
        if (wp == kTimer1) {
            Forward([](TForm1& f) { f.Timer1Timer(); });
            return 0;
        }
        if (wp == kStatusTimer) {
            DrawStatus();
            return 0;
        }
        break;
    case WM_COMMAND:
        OnCommand(wp, lp);
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (reinterpret_cast<HWND>(lp) == group_) {
            HDC dc = reinterpret_cast<HDC>(wp);
            ::SetBkColor(dc, kBackground);
            ::SetTextColor(dc, kText);
            return reinterpret_cast<LRESULT>(background_);
        }
        break;
    case WM_CLOSE:
        RunFormClose();
        ::DestroyWindow(hwnd_);
        return 0;
    case WM_DESTROY:
        RunFormClose();
        ::KillTimer(hwnd_, kTimer1);
        ::KillTimer(hwnd_, kStatusTimer);
        status_redraw_pending_ = false;
        if (quit_on_destroy_)
            ::PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY: {
        HWND h = hwnd_;
        ::SetWindowLongPtrA(h, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        return ::DefWindowProcA(h, msg, wp, lp);
    }
    default:
        break;
    }
    return ::DefWindowProcA(hwnd_, msg, wp, lp);
}

} // namespace tarvenia::win32
