#include "clickcombobox.h"

#include <QMouseEvent>

ClickComboBox::ClickComboBox(QWidget *parent)
    : QComboBox(parent)
{
    // A port box also takes a typed device path, for virtual ports.
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
}

void ClickComboBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
    QComboBox::mousePressEvent(event);
}

void ClickComboBox::refill(const QStringList &names)
{
    const QString typed = currentText();
    clear();
    addItems(names);
    if (typed.contains(QLatin1Char('/')))
        setEditText(typed);
}
