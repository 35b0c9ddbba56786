#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

class QLocalServer;

// One running instance per profile. The instance that takes the lock file in the profile's data folder
// runs; a later start of the same profile finds it held and, through a local socket named after that
// folder (so per user and profile), asks the running window to come to the front. A lock left by an
// instance that was killed is taken over (QLockFile sees its process gone). GUI thread only.
class InstanceGuard : public QObject
{
    Q_OBJECT

public:
    enum class Claim {
        Ours, // this instance runs the profile
        Taken, // another running instance holds it
        Failed, // the folder cannot hold a lock (errorString())
    };

    explicit InstanceGuard(const QString &folder, QObject *parent = nullptr);

    // Takes the profile's lock, for as long as the guard lives.
    Claim claim();
    // After claim() returned Ours, with a window: hears later starts and emits raiseRequested for each.
    bool listen();
    // After claim() returned Taken: asks the running instance to raise its window, waiting at most a few
    // seconds. False when nobody answers: a station without a window, or one that hangs.
    bool askToRaise();

    // The process that holds the lock, 0 if unknown.
    qint64 holder() const;
    QString lockPath() const { return m_lockPath; }
    QString errorString() const { return m_error; }
    // The socket's name for the profile whose data folder is `folder`.
    static QString serverName(const QString &folder);

signals:
    // A later start of this profile wants the window in front; the answer goes back once it returns.
    void raiseRequested();

private:
    void answer();

    QString m_folder;
    QString m_lockPath;
    QLockFile m_lock;
    QLocalServer *m_server = nullptr;
    QString m_error;
};
