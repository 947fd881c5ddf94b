// The window of the window-less run: a TView without a screen. It keeps what
// the controller sets and draws nothing; the text of the default error box
// goes to the run's error output. The preview decodes a loaded photo on its
// first draw, as the window's preview does, at 24 bits: without a display
// there is no screen depth to follow.
#pragma once

#include "imaging/jpeg_picture.h"
#include "lists/string_list.h"
#include "window/tform1.h"
#include "window/view.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace tarvenia::headless {

class HeadlessView final : public TView {
public:
    static constexpr int kDisplayDepth = 24;

    // `error_box` receives the text of each error box (the run writes it to
    // standard error).
    explicit HeadlessView(std::function<void(const std::string&)> error_box);

    // From now on Close and the preview's decode failures go to `form`.
    void Bind(TForm1& form) { form_ = &form; }

    // The preview's draw: the first draw of a loaded picture decodes it, and
    // a failure goes to the bound controller's error box once.
    void Draw();

    int ErrorBoxes() const { return error_boxes_; }
    // The failure of the last LoadPicture ("" when it loaded).
    const std::string& LoadFailure() const { return load_failure_; }
    const std::string& StatusText() const { return status_; }

    // TView
    layout::Box PrimaryScreen() const override { return {}; }
    void MoveTo(int, int) override { }
    void SetVisible(Control control, bool visible) override { visible_[control] = visible; }
    bool IsVisible(Control control) const override;
    void SetStatusText(const std::string& text, bool) override { status_ = text; }
    void LoadPicture(const std::string& path) override;
    void SetPictureTitle(const std::string&) override { }
    StringList& ComboItems() override { return items_; }
    int ComboSelectedIndex() const override { return selected_; }
    void SetComboSelectedIndex(int index) override;
    std::string ComboText() const override { return combo_text_; }
    void SetComboText(const std::string& text) override { combo_text_ = text; }
    std::string Caption(Control control) const override;
    void SetCaption(Control control, const std::string& caption) override;
    void SetHint(Control control, const std::string& hint) override;
    std::string Hint(Control control) const override;
    void SetAddGlyph(int) override { }
    // No keyboard without a window.
    std::optional<Control> FocusedControl() const override { return std::nullopt; }
    void SetFocus(std::optional<Control>) override { }
    void ShowErrorBox(const std::string& text, const std::string& caption) override;
    // FormClose runs once, as when the window closes.
    void Close() override;

private:
    std::function<void(const std::string&)> error_box_;
    TForm1* form_ = nullptr;
    std::map<Control, bool> visible_;
    std::map<Control, std::string> captions_;
    std::map<Control, std::string> hints_;
    VectorStringList items_;
    int selected_ = -1;
    std::string combo_text_;
    std::string status_;
    // Loaded and not yet drawn.
    std::unique_ptr<JpegPicture> picture_;
    std::string load_failure_;
    int error_boxes_ = 0;
    bool closed_ = false;
};

} // namespace tarvenia::headless
