// A speed button: a push button with a caption and a hint kept as the
// program's Windows-1252 bytes. It takes the focus from the keyboard (Tab)
// only, never from a click, and its keys go to the window's commands. Its
// mnemonic letter is underlined only once the window shows keyboard cues.
// A button without a caption is named by its hint for screen readers.
#pragma once

#include <QPushButton>

#include <string>

namespace tarvenia::qt {

class SpeedButton : public QPushButton {
    Q_OBJECT
public:
    explicit SpeedButton(QWidget* parent);

    void SetCaption(const std::string& caption);
    const std::string& Caption() const { return caption_; }
    void SetHint(const std::string& hint);
    const std::string& Hint() const { return hint_; }
    void ShowMnemonic(bool shown);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::string caption_;
    std::string hint_;
    bool mnemonic_shown_ = false;
};

} // namespace tarvenia::qt
