#include "statuspart.h"

#include <QPainter>
#include <QStyle>

StatusPart::StatusPart(int givesWay, int kept, QWidget *parent)
    : QLabel(parent)
    , m_givesWay(givesWay)
    , m_kept(kept)
{
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    hide();
}

void StatusPart::setForms(const QString &full, const QStringList &shorter)
{
    QStringList next;
    if (!full.isEmpty())
        next << full << shorter;
    if (next == m_forms)
        return;
    m_forms = next;
    setText(full);
    // Shown whole until the strip has looked at it.
    showForm(full);
    setVisible(!full.isEmpty());
    emit formsChanged();
}

void StatusPart::showForm(const QString &shown)
{
    setToolTip(shown == text() ? QString() : text());
    // A part that gave way altogether leaves no gap behind.
    if (!m_forms.isEmpty())
        setVisible(!shown.isEmpty());
    if (shown == m_shown)
        return;
    m_shown = shown;
    updateGeometry();
    update();
}

QSize StatusPart::sizeHint() const
{
    const QMargins m = contentsMargins();
    return QSize(fontMetrics().horizontalAdvance(m_shown) + m.left() + m.right() + 2 * margin(),
        QLabel::sizeHint().height());
}

QSize StatusPart::minimumSizeHint() const
{
    return sizeHint();
}

void StatusPart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect room = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    style()->drawItemText(
        &painter, room, int(alignment()), palette(), isEnabled(), m_shown, foregroundRole());
}
