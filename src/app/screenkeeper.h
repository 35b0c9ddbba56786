#pragma once

#include <QObject>
#include <QSize>

class QWidget;

// Brings a normal window back onto its screen when, in its first seconds, its layout grows it past the
// screen's edge: the read-out tiles take their height only after the window is shown, and on a small
// screen they would push the status bar out of sight. A user's later resizing is left alone. After a
// restore from maximised it also brings the window back to `size`, which the maximised tiles' minimum
// would otherwise have stretched.
class ScreenKeeper : public QObject
{
    Q_OBJECT

public:
    // Watches `window` for `forMs` milliseconds, then goes.
    ScreenKeeper(QWidget *window, int forMs, const QSize &size = QSize());

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fit();

    QWidget *m_window;
    QSize m_size;
    bool m_pending = false;
};
