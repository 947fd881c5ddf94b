// A group box without a caption: the window's colour inside an etched frame.
// Drawn here rather than by the style, whose group boxes shade their inside.
#pragma once

#include <QColor>
#include <QWidget>

namespace tarvenia::qt {

class GroupBox : public QWidget {
    Q_OBJECT
public:
    GroupBox(const QColor& colour, QWidget* parent);
    QColor Colour() const { return colour_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor colour_;
};

} // namespace tarvenia::qt
