// Form1 under Qt: the window with its stored layout, and the view that the
// controller TForm1 drives. Every event goes to the controller it is bound
// to; this class only draws and forwards.
#pragma once

#include "window/tform1.h"
#include "window/view.h"

#include <QElapsedTimer>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <optional>

class QComboBox;
class QTimer;

namespace tarvenia::qt {

class Bevel;
class ComboItems;
class GroupBox;
class ImageBox;
class SpeedButton;
class StatusBar;

class MainWindow : public QWidget, public TView {
    Q_OBJECT
public:
    // The window with the controls of the stored layout, not yet shown; the
    // preview draws for a screen of `display_depth` bits per pixel.
    explicit MainWindow(int display_depth);
    ~MainWindow() override;

    // From now on the window's events, Timer1's ticks among them, go to
    // `form`; before, they are dropped.
    void Bind(TForm1& form) { form_ = &form; }

    // The default error box (a modal message box); tests put a recorder here.
    using ErrorBox = std::function<void(const QString& text, const QString& caption)>;
    void SetErrorBox(ErrorBox box) { error_box_ = std::move(box); }

    SpeedButton* Button(Control control) const;
    // Complete: editable, with its text field (see PrepareCombo).
    QComboBox* Combo() const;
    ImageBox* Image1() const { return image_; }
    Bevel* Bevel1() const { return bevel_; }
    GroupBox* GroupBox1() const { return group_; }
    StatusBar* StatusBar1() const { return status_; }
    QTimer* Timer1() const { return timer_; }
    int AddGlyph() const { return glyph_; }

    // TView
    layout::Box PrimaryScreen() const override;
    void MoveTo(int left, int top) override;
    void SetVisible(Control control, bool visible) override;
    bool IsVisible(Control control) const override;
    void SetStatusText(const std::string& text, bool announce) override;
    void LoadPicture(const std::string& path) override;
    void SetPictureTitle(const std::string& title) override;
    StringList& ComboItems() override;
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

    // Whether a key has been pressed in the window: from then on focus
    // frames and mnemonics are drawn.
    bool KeyboardCues() const { return keyboard_cues_; }

    static const QColor kBackground;
    static const QColor kStatusColour;

    // The first showing maps the window, then finishes what the idle window
    // does not need before: the font, before the first paint, and the combo
    // box, soon after.
    void setVisible(bool visible) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    // Every key pressed in the window's controls comes here first.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* Widget(Control control) const;
    // The combo box is hidden until a photo arrives, and its text field costs
    // more to make than anything else the idle window shows: it is made after
    // the window is mapped, or by the first call that needs it, whichever
    // comes first.
    void PrepareCombo() const;
    void SetIcon();
    void ResolveFont();
    void DrawStatus();
    void ShowKeyboardCues();
    // Calls into the bound controller, if any.
    template <class Fn> void Forward(Fn&& fn)
    {
        if (form_)
            std::invoke(fn, *form_);
    }

    TForm1* form_ = nullptr;
    ImageBox* image_ = nullptr;
    Bevel* bevel_ = nullptr;
    SpeedButton* badd_ = nullptr;
    StatusBar* status_ = nullptr;
    QComboBox* combo_ = nullptr;
    GroupBox* group_ = nullptr;
    SpeedButton* bsal_ = nullptr;
    SpeedButton* bcon_ = nullptr;
    SpeedButton* bcnf_ = nullptr;
    SpeedButton* bfav_ = nullptr;
    QTimer* timer_ = nullptr;
    // The status bar is drawn at most every kStatusDrawMs (see SetStatusText).
    QTimer* status_redraw_ = nullptr;
    QElapsedTimer status_drawn_;
    std::unique_ptr<qt::ComboItems> items_;
    ErrorBox error_box_;
    int glyph_ = -1;
    bool keyboard_cues_ = false;
    mutable bool combo_prepared_ = false;
    bool font_resolved_ = false;
};

} // namespace tarvenia::qt
