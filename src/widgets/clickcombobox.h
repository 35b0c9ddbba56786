#pragma once

#include <QComboBox>

// A combo box that announces a left-button press before its list opens, so the owner can refill the list
// with the ports present at that moment.
class ClickComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit ClickComboBox(QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
};
