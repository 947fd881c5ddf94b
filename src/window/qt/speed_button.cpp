#include "window/qt/speed_button.h"

#include "window/keyboard.h"
#include "window/qt/cp1252.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace tarvenia::qt {

SpeedButton::SpeedButton(QWidget* parent)
    : QPushButton(parent)
{
    setFocusPolicy(Qt::TabFocus);
    setAutoDefault(false);
}

void SpeedButton::SetCaption(const std::string& caption)
{
    caption_ = caption;
    setText(Cp1252ToQString(caption));
    if (mnemonic_shown_)
        update();
}

void SpeedButton::SetHint(const std::string& hint)
{
    hint_ = hint;
    setToolTip(Cp1252ToQString(hint));
    if (caption_.empty())
        setAccessibleName(toolTip());
}

void SpeedButton::ShowMnemonic(bool shown)
{
    mnemonic_shown_ = shown;
    update();
}

void SpeedButton::paintEvent(QPaintEvent*)
{
    // QPushButton's own drawing, with the mnemonic marked in the text drawn
    // (the button's text stays plain: it is also its name).
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    if (mnemonic_shown_) {
        if (const int i = MnemonicIndex(caption_); i >= 0)
            option.text.insert(i, QLatin1Char('&'));
    }
    painter.drawControl(QStyle::CE_PushButton, option);
}

} // namespace tarvenia::qt
