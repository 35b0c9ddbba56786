#pragma once

#include <QComboBox>

// A port box: announces a left-button press before its list opens, so the owner can refill the list with
// the ports present at that moment, and takes a typed device path too.
class ClickComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit ClickComboBox(QWidget *parent = nullptr);

    // Lists `names` instead; a typed device path (a virtual port), never among the enumerated names,
    // stays in the box.
    void refill(const QStringList &names);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
};
