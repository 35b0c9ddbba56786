#pragma once

#include <QObject>

class QWidget;

// Brings a normal window back onto its screen when, in its first seconds, its layout grows it past the
// screen's edge: the read-out tiles take their height only after the window is shown, and on a small
// screen they would push the status bar out of sight. A user's later resizing is left alone.
class ScreenKeeper : public QObject
{
    Q_OBJECT

public:
    // Watches `window` for `forMs` milliseconds, then goes.
    ScreenKeeper(QWidget *window, int forMs);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fit();

    QWidget *m_window;
    bool m_pending = false;
};
