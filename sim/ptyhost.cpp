#include "ptyhost.h"

#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

namespace {

int baudFromSpeed(speed_t speed)
{
    static const struct
    {
        speed_t speed;
        int baud;
    } table[] = {{B50, 50}, {B75, 75}, {B110, 110}, {B134, 134}, {B150, 150}, {B200, 200}, {B300, 300},
        {B600, 600}, {B1200, 1200}, {B1800, 1800}, {B2400, 2400}, {B4800, 4800}, {B9600, 9600},
        {B19200, 19200}, {B38400, 38400}, {B57600, 57600}, {B115200, 115200}, {B230400, 230400},
        {B460800, 460800}, {B921600, 921600}};
    for (const auto &row : table) {
        // cppcheck-suppress useStlAlgorithm ; with find_if cppcheck loses sight of the table's columns
        if (row.speed == speed)
            return row.baud;
    }
    return 0;
}

QString errnoText()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

PtyHost::PtyHost(QObject *parent)
    : QObject(parent)
{ }

PtyHost::~PtyHost()
{
    hangUp();
}

bool PtyHost::open(const QString &linkPath, QString *error)
{
    auto fail = [&](const QString &what) {
        if (error)
            *error = what;
        hangUp();
        return false;
    };
    hangUp();
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_master < 0)
        return fail(QStringLiteral("posix_openpt: %1").arg(errnoText()));
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        return fail(QStringLiteral("grantpt/unlockpt: %1").arg(errnoText()));
    char name[128];
    if (::ptsname_r(m_master, name, sizeof name) != 0)
        return fail(QStringLiteral("ptsname: %1").arg(errnoText()));
    m_clientPath = QString::fromLocal8Bit(name);
    m_keepAlive = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_keepAlive < 0)
        return fail(QStringLiteral("%1: %2").arg(m_clientPath, errnoText()));

    // Raw from the start: an echoing line would hand the device its own replies back as requests.
    termios settings;
    ::tcgetattr(m_keepAlive, &settings);
    ::cfmakeraw(&settings);
    ::cfsetspeed(&settings, B9600);
    ::tcsetattr(m_keepAlive, TCSANOW, &settings);

    const QByteArray link = QFile::encodeName(linkPath);
    struct stat info;
    if (::lstat(link.constData(), &info) == 0) {
        if (!S_ISLNK(info.st_mode))
            return fail(QStringLiteral("%1 exists and is not a symlink; not replacing it").arg(linkPath));
        if (::unlink(link.constData()) != 0)
            return fail(QStringLiteral("cannot remove stale link %1: %2").arg(linkPath, errnoText()));
    }
    if (::symlink(name, link.constData()) != 0)
        return fail(QStringLiteral("cannot create link %1: %2").arg(linkPath, errnoText()));
    m_linkPath = linkPath;

    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &PtyHost::readMaster);
    return true;
}

LineSettings PtyHost::lineSettings() const
{
    LineSettings line;
    termios settings;
    if (m_master < 0 || ::tcgetattr(m_master, &settings) != 0)
        return line;
    line.baud = baudFromSpeed(::cfgetospeed(&settings));
    switch (settings.c_cflag & CSIZE) {
    case CS5:
        line.dataBits = 5;
        break;
    case CS6:
        line.dataBits = 6;
        break;
    case CS7:
        line.dataBits = 7;
        break;
    default:
        line.dataBits = 8;
        break;
    }
    line.stopBits = (settings.c_cflag & CSTOPB) ? 2 : 1;
    line.parity = !(settings.c_cflag & PARENB) ? 'N' : (settings.c_cflag & PARODD) ? 'O' : 'E';
    return line;
}

bool PtyHost::write(const QByteArray &bytes)
{
    if (m_master < 0)
        return false;
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

void PtyHost::discardUnread()
{
    if (m_keepAlive >= 0)
        ::tcflush(m_keepAlive, TCIFLUSH);
}

void PtyHost::hangUp()
{
    // The hang-up may come from a handler of the notifier's own signal, so it cannot be deleted here.
    if (m_notifier) {
        m_notifier->setEnabled(false);
        m_notifier->deleteLater();
        m_notifier = nullptr;
    }
    // Closing the master hangs up every open client descriptor of the pair.
    if (m_master >= 0)
        ::close(m_master);
    if (m_keepAlive >= 0)
        ::close(m_keepAlive);
    m_master = -1;
    m_keepAlive = -1;
    removeLink();
}

void PtyHost::readMaster()
{
    char buffer[512];
    QByteArray bytes;
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            bytes.append(buffer, int(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;
    }
    if (!bytes.isEmpty())
        emit received(bytes);
}

void PtyHost::removeLink()
{
    if (m_linkPath.isEmpty())
        return;
    // Leave the path alone if someone has pointed it elsewhere meanwhile.
    const QByteArray link = QFile::encodeName(m_linkPath);
    char target[256];
    const ssize_t n = ::readlink(link.constData(), target, sizeof target - 1);
    if (n > 0 && QString::fromLocal8Bit(target, int(n)) == m_clientPath)
        ::unlink(link.constData());
    m_linkPath.clear();
}

} // namespace sim
