// StatusBar1: one simple line of text on the status colour. Texts come in
// two kinds: announced ones become the bar's message, which is the bar's
// name for assistive technology, and silent ones (a running byte count) are
// only drawn, so that a download is heard once rather than once per KiB read.
//
// A plain widget rather than QStatusBar: QStatusBar lays itself out by the
// font's metrics as it is made, which loads the whole font database before
// the window can be mapped, for a layout this bar never uses.
#pragma once

#include <QString>
#include <QWidget>

class QAccessibleInterface;

namespace tarvenia::qt {

class StatusBar : public QWidget {
    Q_OBJECT
public:
    explicit StatusBar(QWidget* parent);

    void SetText(const QString& text, bool announce);
    // The text drawn.
    const QString& Text() const { return text_; }
    // The last text announced: the bar's name for screen readers.
    const QString& Message() const { return message_; }

    // The bar as screen readers know it: a status bar named by its message.
    static QAccessibleInterface* Accessible(QObject* object);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    QString message_;
};

} // namespace tarvenia::qt
