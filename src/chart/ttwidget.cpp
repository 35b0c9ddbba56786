#include "ttwidget.h"

ttwidget::ttwidget(QWidget *parent)
    : QWidget(parent)
{ }
