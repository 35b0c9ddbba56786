#pragma once

#include <QLabel>

// A one-line label for the status bar or a title: a text wider than the room it gets is cut (in the middle
// unless told, so both its start and its end, a file's name, stay readable), and the whole text becomes its
// tooltip. It never asks for more width than a few characters, so no text widens the window. Plain text only.
class ElidedLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget *parent = nullptr);

    // Where a text too wide is cut; the middle unless set.
    void setElideMode(Qt::TextElideMode mode);
    // Whether the text is cut at the current width.
    bool isElided() const;
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // The contents less the label's margin, as QLabel draws it.
    QRect textRoom() const;

    Qt::TextElideMode m_mode = Qt::ElideMiddle;
};
