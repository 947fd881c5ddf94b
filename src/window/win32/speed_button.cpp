#include "window/win32/speed_button.h"

#include "window/keyboard.h"
#include "window/win32/accessible_control.h"
#include "window/win32/window_object.h"

namespace tarvenia::win32 {

namespace {
    constexpr char kClassName[] = "TarveniaSpeedButton";
}

void SpeedButton::RegisterWindowClass(HINSTANCE instance)
{
    WNDCLASSA wc {};
    if (::GetClassInfoA(instance, kClassName, &wc))
        return;
    // No CS_DBLCLKS: a quick second click is a second click.
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &SpeedButton::Proc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    ::RegisterClassA(&wc);
}

SpeedButton::SpeedButton(HINSTANCE instance, HWND parent, RECT bounds, const std::string& caption,
    HFONT font, std::function<void()> on_click)
    : caption_(caption)
    , font_(font)
    , on_click_(std::move(on_click))
{
    RegisterWindowClass(instance);
    hwnd_ = ::CreateWindowExA(0, kClassName, caption.c_str(),
        WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP, bounds.left, bounds.top,
        bounds.right - bounds.left, bounds.bottom - bounds.top, parent, nullptr, instance, this);
}

void SpeedButton::SetCaption(const std::string& caption)
{
    caption_ = caption;
    ::SetWindowTextA(hwnd_, caption.c_str());
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void SpeedButton::SetAccessibleName(const std::string& name)
{
    if (caption_.empty())
        ::SetWindowTextA(hwnd_, name.c_str());
}

void SpeedButton::ShowKeyboardCues(bool shown)
{
    cues_ = shown;
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void SpeedButton::SetGlyph(HIMAGELIST images, int index)
{
    images_ = images;
    glyph_ = index;
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

LRESULT CALLBACK SpeedButton::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* self = WindowObject<SpeedButton>(hwnd, msg, lp);
    if (!self)
        return ::DefWindowProcA(hwnd, msg, wp, lp);
    self->hwnd_ = hwnd;
    return self->Handle(msg, wp, lp);
}

bool SpeedButton::Inside(LPARAM lp) const
{
    RECT r;
    ::GetClientRect(hwnd_, &r);
    POINT p { static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)) };
    return ::PtInRect(&r, p) != 0;
}

void SpeedButton::SetDown(bool down)
{
    if (down_ == down)
        return;
    down_ = down;
    ::InvalidateRect(hwnd_, nullptr, TRUE);
    ::UpdateWindow(hwnd_);
}

LRESULT SpeedButton::Handle(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
        // The focus stays where it is: the button never asks for it.
        tracking_ = true;
        ::SetCapture(hwnd_);
        SetDown(true);
        return 0;
    case WM_MOUSEMOVE:
        if (tracking_)
            SetDown(Inside(lp));
        return 0;
    case WM_LBUTTONUP: {
        if (!tracking_)
            return 0;
        const bool click = Inside(lp);
        tracking_ = false;
        ::ReleaseCapture();
        SetDown(false);
        // Last thing done here: the handler may hide this button, show a
        // modal box or close the window.
        if (click && on_click_)
            on_click_();
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (tracking_) {
            tracking_ = false;
            SetDown(false);
        }
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        ::InvalidateRect(hwnd_, nullptr, TRUE);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_BUTTON;
    case WM_GETOBJECT:
        return AccessibleControl::Answer(hwnd_, wp, lp, AccessibleControl::Kind::PushButton);
    case AccessibleControl::kPressMessage:
        // A screen reader's press: the mouse's click, while the button can
        // still be clicked.
        if (::IsWindowVisible(hwnd_) && ::IsWindowEnabled(hwnd_) && on_click_)
            on_click_();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd_, &ps);
        Paint(dc);
        ::EndPaint(hwnd_, &ps);
        return 0;
    }
    case WM_NCDESTROY:
        ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        break;
    default:
        break;
    }
    return ::DefWindowProcA(hwnd_, msg, wp, lp);
}

void SpeedButton::Paint(HDC dc) const
{
    RECT r;
    ::GetClientRect(hwnd_, &r);
    // Raised when up, sunken when held down, like any push button.
    ::DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (down_ ? DFCS_PUSHED : 0));
    const int shift = down_ ? 1 : 0;

    int glyph_width = 0;
    if (images_ && glyph_ >= 0) {
        int w = 16, h = 16;
        ::ImageList_GetIconSize(images_, &w, &h);
        glyph_width = w;
        int text_width = 0;
        if (!caption_.empty()) {
            HGDIOBJ old = ::SelectObject(dc, font_);
            SIZE s {};
            ::GetTextExtentPoint32A(dc, caption_.data(), static_cast<int>(caption_.size()), &s);
            ::SelectObject(dc, old);
            text_width = s.cx + 4;
        }
        const int x = (r.right - glyph_width - text_width) / 2 + shift;
        const int y = (r.bottom - h) / 2 + shift;
        // Drawn through the mask: the face of the button shows around it.
        ::ImageList_Draw(images_, glyph_, dc, x, y, ILD_TRANSPARENT);
        if (!caption_.empty())
            r.left = x + glyph_width + 4 - shift;
    }
    if (!caption_.empty()) {
        HGDIOBJ old = ::SelectObject(dc, font_);
        ::SetBkMode(dc, TRANSPARENT);
        // The button face is the system's, and so is the text on it: the
        // two come from one colour scheme, readable in every one.
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
        RECT text = r;
        ::OffsetRect(&text, shift, shift);
        const UINT align = glyph_width ? DT_LEFT : DT_CENTER;
        std::string shown = caption_;
        UINT prefix = DT_NOPREFIX;
        if (const int i = MnemonicIndex(caption_); cues_ && i >= 0) {
            shown.insert(static_cast<std::size_t>(i), 1, '&');
            prefix = 0;
        }
        ::DrawTextA(dc, shown.data(), static_cast<int>(shown.size()), &text,
            align | DT_VCENTER | DT_SINGLELINE | prefix);
        ::SelectObject(dc, old);
    }
    if (cues_ && ::GetFocus() == hwnd_) {
        RECT focus;
        ::GetClientRect(hwnd_, &focus);
        ::InflateRect(&focus, -3, -3);
        ::DrawFocusRect(dc, &focus);
    }
}

} // namespace tarvenia::win32
