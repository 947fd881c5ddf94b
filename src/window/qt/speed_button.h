// A speed button: a push button that never takes the keyboard focus, with a
// caption and a hint kept as the program's Windows-1252 bytes.
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

private:
    std::string caption_;
    std::string hint_;
};

} // namespace tarvenia::qt
