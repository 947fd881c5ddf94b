#include "window/qt/status_bar.h"

#include <QPainter>
#include <QStyleOption>

namespace tarvenia::qt {

StatusBar::StatusBar(QWidget* parent)
    : QStatusBar(parent)
{
}

void StatusBar::SetText(const QString& text, bool announce)
{
    text_ = text;
    if (!announce)
        return;
    if (text.isEmpty())
        clearMessage();
    else
        showMessage(text);
}

void StatusBar::paintEvent(QPaintEvent*)
{
    // As QStatusBar draws its message (the panel, then the text inset by 6
    // pixels on the left and 12 on the right), with the text last set.
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_PanelStatusBar, &option, &painter, this);
    if (text_.isEmpty())
        return;
    painter.setPen(palette().windowText().color());
    painter.drawText(QRect(6, 0, width() - 18, height()),
        Qt::AlignLeading | Qt::AlignVCenter | Qt::TextSingleLine, text_);
}

} // namespace tarvenia::qt
