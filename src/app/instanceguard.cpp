#include "instanceguard.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

namespace {

const QString kLockName = QStringLiteral("instance.lock");
const QByteArray kRaise = "raise\n";
const QByteArray kRaised = "raised\n";
// A running window answers at once; one that does not within this is hung, and the start gives up.
constexpr int kAnswerMs = 5000;

} // namespace

InstanceGuard::InstanceGuard(const QString &folder, QObject *parent)
    : QObject(parent)
    , m_folder(folder)
    , m_lockPath(folder + QLatin1Char('/') + kLockName)
    , m_lock(m_lockPath)
{ }

QString InstanceGuard::serverName(const QString &folder)
{
    // A hash: the folder's path may be longer than a socket's name can be, and holds no secret.
    const QByteArray path = QFile::encodeName(QFileInfo(folder).absoluteFilePath());
    return QStringLiteral("ostrel-blackbody-")
        + QString::fromLatin1(QCryptographicHash::hash(path, QCryptographicHash::Sha1).toHex().left(24));
}

InstanceGuard::Claim InstanceGuard::claim()
{
    if (!QDir().mkpath(m_folder)) {
        m_error = tr("无法创建文件夹 %1").arg(QDir::toNativeSeparators(m_folder));
        return Claim::Failed;
    }
    // A lock whose process is gone is taken over at once. A running holder keeps its lock however old it
    // is (it holds a system lock on the file, which a stale lock's removal needs); the stale time only
    // frees a lock file a kill left half-written, with no process named in it.
    if (m_lock.tryLock(0))
        return Claim::Ours;
    if (m_lock.error() == QLockFile::LockFailedError)
        return Claim::Taken;
    m_error = m_lock.error() == QLockFile::PermissionError ? tr("没有写入权限") : tr("未知错误");
    return Claim::Failed;
}

qint64 InstanceGuard::holder() const
{
    qint64 pid = 0;
    QString host, application;
    return m_lock.getLockInfo(&pid, &host, &application) ? pid : 0;
}

bool InstanceGuard::listen()
{
    const QString name = serverName(m_folder);
    // This instance holds the lock, so a socket of that name was left by one that died.
    QLocalServer::removeServer(name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceGuard::answer);
    if (m_server->listen(name))
        return true;
    m_error = m_server->errorString();
    return false;
}

void InstanceGuard::answer()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            if (socket->readLine() == kRaise) {
                emit raiseRequested();
                socket->write(kRaised);
            }
            socket->disconnectFromServer();
        });
    }
}

bool InstanceGuard::askToRaise()
{
    QLocalSocket socket;
    socket.connectToServer(serverName(m_folder));
    if (!socket.waitForConnected(kAnswerMs))
        return false;
    socket.write(kRaise);
    if (!socket.waitForBytesWritten(kAnswerMs))
        return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(kAnswerMs))
            return false;
    }
    return socket.readLine() == kRaised;
}
