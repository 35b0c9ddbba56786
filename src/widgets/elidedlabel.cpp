#include "elidedlabel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

ElidedLabel::ElidedLabel(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void ElidedLabel::setElideMode(Qt::TextElideMode mode)
{
    m_mode = mode;
    update();
}

bool ElidedLabel::isElided() const
{
    return fontMetrics().horizontalAdvance(text()) > textRoom().width();
}

QRect ElidedLabel::textRoom() const
{
    return contentsRect().adjusted(margin(), margin(), -margin(), -margin());
}

QSize ElidedLabel::minimumSizeHint() const
{
    // Room for an ellipsis and a little of each end.
    return QSize(fontMetrics().horizontalAdvance(QStringLiteral("MM…MM")) + 2 * margin(),
        QLabel::minimumSizeHint().height());
}

QSize ElidedLabel::sizeHint() const
{
    const QMargins m = contentsMargins();
    return QSize(fontMetrics().horizontalAdvance(text()) + m.left() + m.right() + 2 * margin(),
        QLabel::sizeHint().height());
}

bool ElidedLabel::event(QEvent *event)
{
    // The whole text, while it is cut, unless the owner gave a tooltip of its own.
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        if (isElided())
            QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), text(), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QLabel::event(event);
}

void ElidedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect room = textRoom();
    // elidedText() measures in fractions of a pixel and would cut a text that sizeHint() gave its
    // rounded width.
    const QString shown = isElided() ? fontMetrics().elidedText(text(), m_mode, room.width()) : text();
    style()->drawItemText(&painter, room, int(alignment()), palette(), isEnabled(), shown, foregroundRole());
}
