#pragma once

#include <QByteArray>
#include <QIODevice>

// A write-only, sequential device on a file descriptor it does not own (Unix). It gathers writes into a
// 64 KiB buffer and hands them to write(2), going on after short writes and EINTR. The first failure
// sticks: every later write and flush fails too, so a writer that ignores its device's errors (a PDF
// painter, an XML or text stream) cannot leave a save looking complete. One thread at a time.
class FdWriteDevice : public QIODevice
{
public:
    explicit FdWriteDevice(int fd);

    bool isSequential() const override { return true; }
    // Writes out what is buffered; false once anything failed.
    bool flushBuffer();
    // The errno of the first failure; 0 while none.
    int systemError() const { return m_error; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    bool writeOut(const char *data, qint64 size);

    int m_fd = -1;
    QByteArray m_buffer;
    int m_error = 0;
};
