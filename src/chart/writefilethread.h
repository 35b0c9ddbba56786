#pragma once

#include <QString>
#include <QThread>

#include <atomic>

class ttwidget;

// Short-lived thread that writes the chart's curve to a file or reads a file for it, while the GUI
// thread waits in a modal dialog. It reports through the chart's occurerror() and, last of all,
// writefinish(). Create it on the stack of the operation; wait() before destroying it.
class WriteFileThread : public QThread
{
    Q_OBJECT

public:
    enum Direction { Read = 0, Write = 1, WriteCsv = 2 };

    WriteFileThread(ttwidget *owner, const QString &fileName, int direction);

    // Whether the file work succeeded; valid after wait().
    bool succeeded() const { return m_succeeded.load(std::memory_order_acquire); }

protected:
    void run() override;

private:
    QString fileName;
    ttwidget *owner = nullptr;
    int direction = Read;
    // Stored last of all: QThread::wait() joins inside Qt, where ThreadSanitizer cannot see it, so this
    // is what orders everything run() did before whatever the owner does next.
    std::atomic<bool> m_succeeded {false};
};
