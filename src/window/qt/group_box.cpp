#include "window/qt/group_box.h"

#include <QPainter>

namespace tarvenia::qt {

namespace {
    // The frame starts half a caption line below the top edge, as a group
    // box with an empty caption does.
    constexpr int kFrameTop = 6;
} // namespace

GroupBox::GroupBox(const QColor& colour, QWidget* parent)
    : QWidget(parent)
    , colour_(colour)
{
}

void GroupBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), colour_);
    const int w = width();
    const int h = height();
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(0, kFrameTop, w - 2, h - kFrameTop - 2);
    painter.setPen(Qt::white);
    painter.drawLine(1, kFrameTop + 1, w - 3, kFrameTop + 1);
    painter.drawLine(1, kFrameTop + 1, 1, h - 3);
    painter.drawLine(0, h - 1, w - 1, h - 1);
    painter.drawLine(w - 1, kFrameTop, w - 1, h - 1);
}

} // namespace tarvenia::qt
