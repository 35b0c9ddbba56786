#pragma once

#include <QPointer>
#include <QWidget>

class QHBoxLayout;
class StatusPart;

// The status bar's texts in one row: when the row is short the parts give way in a fixed order
// (StatusFit), so the run's phase stays whole; the widget added as the stretch takes what they leave.
// It never asks for more width than a little, so no text widens the window. GUI thread only.
class StatusStrip : public QWidget
{
    Q_OBJECT

public:
    // The order in which parts give way: short forms first, then the stable time and the baud rate, and
    // the port last, cut after its caption. The run's phase and the link's own news never give way.
    enum Rank {
        RemoteControl = 0,
        Reporting = 1,
        InstrumentLink = 2,
        StableTime = 3,
        BaudRate = 4,
        Port = 5,
        Never = 1000000,
    };

    explicit StatusStrip(QWidget *parent = nullptr);

    // Shown in the order added; the strip adopts the part and fits it whenever its texts change.
    void addPart(StatusPart *part);
    // Adopts `widget`, which takes the room the parts leave.
    void addStretch(QWidget *widget);
    // Chooses each part's form for the width the strip has.
    void refit();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QHBoxLayout *m_layout;
    QList<StatusPart *> m_parts;
    QPointer<QWidget> m_stretch; // what takes the room the parts leave
};
