// A speed button: a push-like button with a caption and an optional 16 x 16
// glyph from an image list. It is a tab stop that a click never focuses; its
// keys go to the window's commands like every key (Win32View). It is a
// window class of its own so that its clicks reach their handler directly,
// whatever its parent (the group box holds four of them). Screen readers see
// a push button (AccessibleControl) named by its window text: the caption,
// or the hint of a button that has none.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>

namespace tarvenia::win32 {

class SpeedButton {
public:
    static void RegisterWindowClass(HINSTANCE instance);

    SpeedButton(HINSTANCE instance, HWND parent, RECT bounds, const std::string& caption,
        HFONT font, std::function<void()> on_click);
    SpeedButton(const SpeedButton&) = delete;
    SpeedButton& operator=(const SpeedButton&) = delete;

    HWND Handle() const { return hwnd_; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // The glyph: image `index` of `images`, or none when index < 0.
    void SetGlyph(HIMAGELIST images, int index);
    int GlyphIndex() const { return glyph_; }
    // The name screen readers read where the button has no caption.
    void SetAccessibleName(const std::string& name);
    // Once the keyboard has been used: the focus frame and the mnemonic.
    void ShowKeyboardCues(bool shown);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
    void Paint(HDC dc) const;
    bool Inside(LPARAM lp) const;
    void SetDown(bool down);

    HWND hwnd_ = nullptr;
    std::string caption_;
    HFONT font_;
    HIMAGELIST images_ = nullptr;
    int glyph_ = -1;
    bool down_ = false;
    bool tracking_ = false;
    bool cues_ = false;
    std::function<void()> on_click_;
};

} // namespace tarvenia::win32
