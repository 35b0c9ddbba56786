#include "clickcombobox.h"

#include <QMouseEvent>

ClickComboBox::ClickComboBox(QWidget *parent)
    : QComboBox(parent)
{ }

void ClickComboBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
    QComboBox::mousePressEvent(event);
}
