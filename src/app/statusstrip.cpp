#include "statusstrip.h"

#include "control/statusfit.h"
#include "widgets/statuspart.h"

#include <QEvent>
#include <QHBoxLayout>

#include <algorithm>

namespace {

// Between two texts, as wide as the status bar's own gaps looked.
constexpr int kGap = 12;

} // namespace

StatusStrip::StatusStrip(QWidget *parent)
    : QWidget(parent)
    , m_layout(new QHBoxLayout(this))
{
    setObjectName(QStringLiteral("statusStrip"));
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(kGap);
}

void StatusStrip::addPart(StatusPart *part)
{
    m_layout->addWidget(part);
    m_parts << part;
    connect(part, &StatusPart::formsChanged, this, &StatusStrip::refit);
    refit();
}

void StatusStrip::addStretch(QWidget *widget)
{
    m_layout->addWidget(widget, 1);
    m_stretch = widget;
    refit();
}

void StatusStrip::refit()
{
    QVector<StatusFit::Part> parts;
    for (const StatusPart *part : qAsConst(m_parts))
        parts.append(
            {part->forms(), part->givesWay() >= Never ? StatusFit::kNever : part->givesWay(), part->kept()});
    const QFontMetrics metrics = fontMetrics();
    // A pixel to spare: widths measured in fractions are rounded when drawn.
    // The stretch sits between the parts: its gap and the least it takes are not theirs to use.
    const int stretch
        = m_stretch && !m_stretch->isHidden() ? kGap + std::max(0, m_stretch->minimumSizeHint().width()) : 0;
    const QStringList shown = StatusFit::fit(parts, contentsRect().width() - stretch, kGap,
        [&metrics](const QString &text) { return metrics.horizontalAdvance(text) + 1; });
    for (int i = 0; i < m_parts.size(); ++i)
        m_parts.at(i)->showForm(shown.at(i));
}

QSize StatusStrip::sizeHint() const
{
    return QSize(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 10, QWidget::sizeHint().height());
}

QSize StatusStrip::minimumSizeHint() const
{
    return QSize(0, QWidget::minimumSizeHint().height());
}

void StatusStrip::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    refit();
}

void StatusStrip::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        refit();
}
