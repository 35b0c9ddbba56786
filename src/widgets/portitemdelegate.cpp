#include "portitemdelegate.h"

#include "widgets/clickcombobox.h"

#include <QPainter>

namespace {

constexpr int kGap = 12;

} // namespace

void PortItemDelegate::paint(
    QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    const QString detail = index.data(ClickComboBox::kDetailRole).toString();
    if (detail.isEmpty())
        return;
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const int nameWidth = item.fontMetrics.horizontalAdvance(item.text);
    QRect rect = item.rect.adjusted(nameWidth + 2 * kGap, 0, 0, 0);
    painter->save();
    painter->setPen(item.palette.color(
        (item.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::PlaceholderText));
    painter->drawText(rect, int(Qt::AlignLeft | Qt::AlignVCenter),
        item.fontMetrics.elidedText(detail, Qt::ElideRight, rect.width()));
    painter->restore();
}

QSize PortItemDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    const QString detail = index.data(ClickComboBox::kDetailRole).toString();
    if (!detail.isEmpty())
        size.rwidth() += kGap * 2 + option.fontMetrics.horizontalAdvance(detail);
    return size;
}
