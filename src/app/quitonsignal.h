#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a signal on the GUI thread, so that a service manager's stop or a
// Ctrl+C ends the program through its own clean path (offline published, journals closed, a recording
// kept) rather than mid-step. The handler only writes a byte to a pipe; the rest runs in the event loop.
// One per process; where the system has no such signals, it never emits.
class QuitOnSignal : public QObject
{
    Q_OBJECT

public:
    explicit QuitOnSignal(QObject *parent = nullptr);
    ~QuitOnSignal() override;

signals:
    // The first SIGTERM or SIGINT; a second one ends the program at once, as if none were caught.
    void received(int signal);

private:
    void take();

    QSocketNotifier *m_notifier = nullptr;
};
