#include "window/qt/speed_button.h"

#include "window/qt/cp1252.h"

namespace tarvenia::qt {

SpeedButton::SpeedButton(QWidget* parent)
    : QPushButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAutoDefault(false);
}

void SpeedButton::SetCaption(const std::string& caption)
{
    caption_ = caption;
    setText(Cp1252ToQString(caption));
}

void SpeedButton::SetHint(const std::string& hint)
{
    hint_ = hint;
    setToolTip(Cp1252ToQString(hint));
}

} // namespace tarvenia::qt
