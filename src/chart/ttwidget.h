#pragma once

#include <QWidget>

// The temperature-time chart panel of the main window.
class ttwidget : public QWidget
{
    Q_OBJECT

public:
    explicit ttwidget(QWidget *parent = nullptr);
};
