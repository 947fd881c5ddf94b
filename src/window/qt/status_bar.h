// StatusBar1: one simple line of text on the status colour. Texts come in
// two kinds: announced ones become the bar's message, which Qt hands to
// assistive technology as the bar's new name, and silent ones (a running
// byte count) are only drawn, so that a download is heard once rather than
// once per KiB read.
#pragma once

#include <QStatusBar>
#include <QString>

namespace tarvenia::qt {

class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusBar(QWidget* parent);

    void SetText(const QString& text, bool announce);
    // The text drawn; currentMessage() is the last one announced.
    const QString& Text() const { return text_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
};

} // namespace tarvenia::qt
