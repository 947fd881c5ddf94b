#include "window/qt/status_bar.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>
#include <QStyleOption>

namespace tarvenia::qt {

namespace {

    class AccessibleStatusBar : public QAccessibleWidget {
    public:
        explicit AccessibleStatusBar(StatusBar* bar)
            : QAccessibleWidget(bar, QAccessible::StatusBar)
        {
        }
        QString text(QAccessible::Text t) const override
        {
            if (t == QAccessible::Name)
                return static_cast<const StatusBar*>(object())->Message();
            return QAccessibleWidget::text(t);
        }
    };

} // namespace

StatusBar::StatusBar(QWidget* parent)
    : QWidget(parent)
{
}

QAccessibleInterface* StatusBar::Accessible(QObject* object)
{
    auto* bar = qobject_cast<StatusBar*>(object);
    return bar ? new AccessibleStatusBar(bar) : nullptr;
}

void StatusBar::SetText(const QString& text, bool announce)
{
    text_ = text;
    if (!announce || message_ == text)
        return;
    message_ = text;
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void StatusBar::paintEvent(QPaintEvent*)
{
    // The panel, then the text inset by 6 pixels on the left and 12 on the
    // right, as a status bar draws its message.
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
