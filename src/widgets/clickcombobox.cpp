#include "clickcombobox.h"

#include "widgets/portitemdelegate.h"

#include <QAbstractItemView>
#include <QMouseEvent>

ClickComboBox::ClickComboBox(QWidget *parent)
    : QComboBox(parent)
{
    // A port box also takes a typed device path, for virtual ports.
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setItemDelegate(new PortItemDelegate(this));
    // Stable names are long; the list may be wider than the box.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    // The box may be too narrow for the whole path; its tooltip always has it.
    connect(this, &QComboBox::currentTextChanged, this, [this] { setToolTip(chosenPath()); });
}

void ClickComboBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
    QComboBox::mousePressEvent(event);
}

void ClickComboBox::refill(const QVector<StablePortNames::Choice> &ports)
{
    const QString typed = currentText();
    clear();
    for (const StablePortNames::Choice &port : ports) {
        addItem(port.text, port.path);
        setItemData(count() - 1, port.detail, kDetailRole);
        setItemData(count() - 1,
            port.detail.isEmpty() ? port.path : port.path + QLatin1Char('\n') + port.detail, Qt::ToolTipRole);
    }
    view()->setMinimumWidth(view()->sizeHintForColumn(0));
    if (typed.contains(QLatin1Char('/')))
        setEditText(typed);
}

QString ClickComboBox::chosenPath() const
{
    const int shown = currentIndex();
    if (shown >= 0 && itemText(shown) == currentText())
        return itemData(shown).toString();
    return currentText();
}

bool ClickComboBox::choosePath(const QString &path)
{
    const int index = findData(path);
    if (index < 0) {
        setEditText(path);
        return false;
    }
    setCurrentIndex(index);
    return true;
}
