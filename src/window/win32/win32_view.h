// The Win32 front-end of the main window: a fixed-size window with the
// controls of the stored layout. It only draws the controls and forwards their
// events to TForm1; every decision is TForm1's.
#pragma once

#include "window/layout.h"
#include "window/view.h"
#include "window/win32/combo_items.h"
#include "window/win32/preview_image.h"
#include "window/win32/speed_button.h"

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarvenia {
class TForm1;
}

namespace tarvenia::win32 {

class Win32View final : public TView {
public:
    // Client area and colours of the window.
    static constexpr int kClientWidth = layout::kClientWidth;
    static constexpr int kClientHeight = layout::kClientHeight;
    static constexpr COLORREF kBackground
        = RGB(layout::kBackground.red, layout::kBackground.green, layout::kBackground.blue);
    static constexpr COLORREF kStatusColour
        = RGB(layout::kStatusColour.red, layout::kStatusColour.green, layout::kStatusColour.blue);
    static constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    static constexpr UINT_PTR kTimer1 = 1;
    static constexpr UINT kTimer1Interval = 1000;
    static constexpr UINT_PTR kStatusTimer = 2;

    Win32View(HINSTANCE instance, int display_depth);
    ~Win32View() override;
    Win32View(const Win32View&) = delete;
    Win32View& operator=(const Win32View&) = delete;

    // Creates the window from its layout at its stored place (not yet
    // shown), bound to `form`: its events, Timer1's ticks among them, go
    // there.
    void Create(TForm1& form);
    void Show();
    // Every message of the thread's loop comes here before it is dispatched:
    // keys pressed in the window go to TForm1's commands first, then to the
    // dialog keys (Tab between the controls). True when the message has
    // been handled and must not be dispatched again.
    bool PreTranslateMessage(MSG& msg);
    // Whether a key has been pressed in the window: from then on focus
    // frames and mnemonics are drawn.
    bool KeyboardCues() const { return cues_; }
    // Whether the end of the window ends the message loop (the program's
    // window does; windows made by tests don't).
    void SetQuitOnDestroy(bool quit) { quit_on_destroy_ = quit; }

    HWND Handle() const { return hwnd_; }
    const HWND& HandleRef() const { return hwnd_; }
    HWND ControlHandle(Control control) const;
    HWND StatusBarHandle() const { return status_; }
    HWND GroupBoxHandle() const { return group_; }
    HWND ToolTipHandle() const { return tooltip_; }
    HIMAGELIST ImageList1() const { return images_; }
    int AddGlyph() const;
    const PreviewImage& Image1() const { return *image_; }

    // TView
    layout::Box PrimaryScreen() const override;
    void MoveTo(int left, int top) override;
    void SetVisible(Control control, bool visible) override;
    bool IsVisible(Control control) const override;
    void SetStatusText(const std::string& text, bool announce) override;
    void LoadPicture(const std::string& path) override;
    void SetPictureTitle(const std::string& title) override;
    StringList& ComboItems() override { return items_; }
    int ComboSelectedIndex() const override;
    void SetComboSelectedIndex(int index) override;
    std::string ComboText() const override;
    void SetComboText(const std::string& text) override;
    std::string Caption(Control control) const override;
    void SetCaption(Control control, const std::string& caption) override;
    void SetHint(Control control, const std::string& hint) override;
    std::string Hint(Control control) const override;
    void SetAddGlyph(int image_index) override;
    std::optional<Control> FocusedControl() const override;
    void SetFocus(std::optional<Control> control) override;
    void ShowErrorBox(const std::string& text, const std::string& caption) override;
    void Close() override;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
    void CreateControls();
    void Paint(HDC dc);
    static LRESULT CALLBACK StatusBarProc(
        HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
    void PaintStatusBar(HWND bar, HDC dc) const;
    void OnCommand(WPARAM wp, LPARAM lp);
    void RunFormClose();
    // Calls into the controller; nothing thrown may cross the system's
    // message dispatch, so whatever escapes is shown in the error box.
    template <class Fn> void Forward(Fn&& fn);
    SpeedButton* Button(Control control) const;
    void ShowKeyboardCues();
    void OnComboCommand(WORD code);
    void DrawStatus();

    HINSTANCE instance_;
    int display_depth_;
    TForm1* form_ = nullptr;
    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;
    HBRUSH background_ = nullptr;
    HIMAGELIST images_ = nullptr;
    HWND status_ = nullptr;
    HWND group_ = nullptr;
    HWND combo_ = nullptr;
    HWND tooltip_ = nullptr;
    HWND image_name_ = nullptr; // Image1's name for screen readers; draws nothing
    HWND combo_label_ = nullptr; // the combo box's name; never shown
    std::unique_ptr<SpeedButton> bsal_, bcon_, bcnf_, bfav_, badd_;
    std::unique_ptr<PreviewImage> image_;
    win32::ComboItems items_;
    std::array<bool, 6> visible_ {};
    std::array<std::string, 6> hints_ {};
    std::string status_text_;
    // When the status bar was last drawn, and whether the status timer will
    // draw it again (see SetStatusText).
    std::chrono::steady_clock::time_point status_drawn_ {};
    bool status_redraw_pending_ = false;
    std::vector<std::string> paint_failures_;
    bool closed_ = false;
    bool quit_on_destroy_ = false;
    int programmatic_ = 0; // >0 while the program itself changes the combo
    // The control that has (or, while the window is inactive, will get) the
    // focus; none: the window itself.
    std::optional<Control> focus_;
    bool cues_ = false;
    bool alt_command_ = false; // an Alt+letter command ran; Alt is still down
    bool moved_in_list_ = false; // the arrow keys moved in the dropped list
    bool list_closed_ok_ = false; // the dropped list closed on an entry
    bool picked_in_list_ = false; // until the list's last notification
};

} // namespace tarvenia::win32
