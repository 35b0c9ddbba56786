#include "app/instanceguard.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>

namespace {

const QByteArray kRunning = "No port given or last used";

} // namespace

// The program itself, started twice in a home of the test's own: one instance per profile.
class TestInstanceGuard : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void secondHeadlessStartOfAProfileIsRefused();
    void secondWindowStartRaisesTheFirstAndExits();
    void lockOfAKilledInstanceDoesNotBlock();

private:
    // Starts the program with `args` in the test's home.
    QProcess *start(const QStringList &args);
    // Waits until `process` has written `text` to stderr; what it wrote so far.
    QByteArray waitForError(QProcess *process, const QByteArray &text);
    // Ends `process` as a service manager does; it must end cleanly.
    void stop(QProcess *process);
    QString dataDir(const QString &profile) const;

    std::unique_ptr<QTemporaryDir> m_home;
    QList<QProcess *> m_processes;
    QHash<QProcess *, QByteArray> m_errors;
};

void TestInstanceGuard::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
}

void TestInstanceGuard::cleanup()
{
    for (QProcess *process : qAsConst(m_processes)) {
        process->kill();
        process->waitForFinished(10000);
    }
    qDeleteAll(m_processes);
    m_processes.clear();
    m_errors.clear();
}

QString TestInstanceGuard::dataDir(const QString &profile) const
{
    const QString base = m_home->filePath(QStringLiteral("data/ostrel-blackbody"));
    return profile.isEmpty() ? base : base + QStringLiteral("/profiles/") + profile;
}

QProcess *TestInstanceGuard::start(const QStringList &args)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), m_home->path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home->filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_home->filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    auto *process = new QProcess;
    m_processes << process;
    process->setProcessEnvironment(env);
    // Every word the program has for an operator without a window goes to stderr.
    process->setReadChannel(QProcess::StandardError);
    process->start(QStringLiteral(PROGRAM_PATH), args);
    return process;
}

QByteArray TestInstanceGuard::waitForError(QProcess *process, const QByteArray &text)
{
    QByteArray &seen = m_errors[process];
    while (!seen.contains(text)) {
        if (!process->waitForReadyRead(30000))
            break;
        seen += process->readAllStandardError();
    }
    return seen;
}

void TestInstanceGuard::stop(QProcess *process)
{
    ::kill(pid_t(process->processId()), SIGTERM);
    QVERIFY(process->waitForFinished(30000));
    QCOMPARE(process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(process->exitCode(), 0);
}

void TestInstanceGuard::secondHeadlessStartOfAProfileIsRefused()
{
    QProcess *first = start({QStringLiteral("--headless"), QStringLiteral("--profile"), QStringLiteral("b")});
    QVERIFY2(waitForError(first, kRunning).contains(kRunning), m_errors.value(first).constData());

    QProcess *second
        = start({QStringLiteral("--headless"), QStringLiteral("--profile"), QStringLiteral("b")});
    QVERIFY(second->waitForFinished(30000));
    QCOMPARE(second->exitCode(), 3);
    const QByteArray said = second->readAllStandardError();
    QVERIFY2(said.contains("Profile b is in use by process " + QByteArray::number(first->processId())),
        said.constData());

    // Another profile of the same user runs beside it.
    QProcess *other = start({QStringLiteral("--headless")});
    QVERIFY2(waitForError(other, kRunning).contains(kRunning), m_errors.value(other).constData());
    stop(other);
    stop(first);
}

void TestInstanceGuard::secondWindowStartRaisesTheFirstAndExits()
{
    QProcess *first = start({QStringLiteral("--profile"), QStringLiteral("b")});
    // Listening once its socket is there.
    const QString socket
        = QDir::tempPath() + QLatin1Char('/') + InstanceGuard::serverName(dataDir(QStringLiteral("b")));
    QVERIFY(QTest::qWaitFor([&] { return QFileInfo::exists(socket); }, 30000));

    QProcess *second = start({QStringLiteral("--profile"), QStringLiteral("b")});
    QVERIFY(second->waitForFinished(30000));
    const QByteArray said = second->readAllStandardError();
    QCOMPARE(second->exitCode(), 0);
    // Said only once the running window answered that it came to the front.
    QVERIFY2(
        said.contains("Profile b is already running: its window was brought to the front"), said.constData());
    QCOMPARE(first->state(), QProcess::Running);
    stop(first);
}

void TestInstanceGuard::lockOfAKilledInstanceDoesNotBlock()
{
    QProcess *killed
        = start({QStringLiteral("--headless"), QStringLiteral("--profile"), QStringLiteral("b")});
    QVERIFY2(waitForError(killed, kRunning).contains(kRunning), m_errors.value(killed).constData());
    ::kill(pid_t(killed->processId()), SIGKILL);
    QVERIFY(killed->waitForFinished(10000));
    QVERIFY(QFileInfo::exists(dataDir(QStringLiteral("b")) + QStringLiteral("/instance.lock")));

    QProcess *next = start({QStringLiteral("--headless"), QStringLiteral("--profile"), QStringLiteral("b")});
    QVERIFY2(waitForError(next, kRunning).contains(kRunning), m_errors.value(next).constData());
    stop(next);
}

QTEST_GUILESS_MAIN(TestInstanceGuard)

#include "tst_instanceguard.moc"
