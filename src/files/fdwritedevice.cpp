#include "fdwritedevice.h"

#include <cerrno>
#include <unistd.h>

namespace {
const int kBufferSize = 64 * 1024;
} // namespace

FdWriteDevice::FdWriteDevice(int fd)
    : m_fd(fd)
{
    m_buffer.reserve(kBufferSize);
}

bool FdWriteDevice::flushBuffer()
{
    if (m_error != 0)
        return false;
    const bool ok = writeOut(m_buffer.constData(), m_buffer.size());
    // Unlike clear(), keeps the reserved room.
    m_buffer.resize(0);
    return ok;
}

qint64 FdWriteDevice::readData(char *data, qint64 maxSize)
{
    Q_UNUSED(data)
    Q_UNUSED(maxSize)
    return -1;
}

qint64 FdWriteDevice::writeData(const char *data, qint64 size)
{
    if (m_error != 0)
        return -1;
    if (m_buffer.size() + size > kBufferSize) {
        if (!flushBuffer())
            return -1;
        // Large blocks go out as they are; copying them through the buffer gains nothing.
        if (size >= kBufferSize)
            return writeOut(data, size) ? size : -1;
    }
    m_buffer.append(data, int(size));
    return size;
}

bool FdWriteDevice::writeOut(const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(m_fd, data, size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            // No progress without an error would otherwise spin here for ever.
            m_error = written < 0 ? errno : EIO;
            setErrorString(qt_error_string(m_error));
            return false;
        }
        // A full disk first takes what still fits; the next call then says why no more does.
        data += written;
        size -= written;
    }
    return true;
}
