// A lowered box frame: shadow on the top and left edges, light on the bottom
// and right ones. It draws nothing else and lets clicks through.
#pragma once

#include <QWidget>

namespace tarvenia::qt {

class Bevel : public QWidget {
    Q_OBJECT
public:
    explicit Bevel(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tarvenia::qt
