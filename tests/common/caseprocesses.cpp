#include "caseprocesses.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/prctl.h>
#include <vector>

namespace {

const char kCaseVariable[] = "BB_CASE_PROCESS";
// Enough for every process of the longest suites at once; each spends most of its time asleep.
const int kAtOnce = 10;

// A case's process ends with this one, so a suite stopped at its time limit leaves nothing running.
class CaseProcess : public QProcess
{
protected:
    void setupChildProcess() override { prctl(PR_SET_PDEATHSIG, SIGKILL); }
};

struct Share
{
    QStringList selections; // "function" or "function:tag", as QTest takes them
    QTemporaryDir home;
    QString log = home.filePath(QStringLiteral("output.txt"));
    CaseProcess process;
    QElapsedTimer clock;
    qint64 ms = 0;
    bool ended = false;

    bool passed() const
    {
        return ended && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }
};

QProcessEnvironment caseEnvironment(const QString &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QLatin1String(kCaseVariable), QStringLiteral("1"));
    if (!home.isEmpty())
        env.insert(QStringLiteral("HOME"), home);
    return env;
}

// The selections of the cases, from the "Class function" and "Class function tag" lines -datatags prints;
// empty on a failure. Lines of any other kind are the suite's own messages.
QStringList listCases(const QString &suite, CaseProcesses::Split split)
{
    QProcess lister;
    lister.setProcessEnvironment(caseEnvironment(QString()));
    lister.start(QCoreApplication::applicationFilePath(), {QStringLiteral("-datatags")});
    if (!lister.waitForFinished(60000) || lister.exitStatus() != QProcess::NormalExit
        || lister.exitCode() != 0) {
        std::fprintf(stderr, "cannot list the cases: %s\n", lister.readAllStandardError().constData());
        return {};
    }
    QStringList cases;
    const QStringList lines = QString::fromLocal8Bit(lister.readAllStandardOutput()).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const QString function = line.section(QLatin1Char(' '), 1, 1);
        const QString tag = line.section(QLatin1Char(' '), 2);
        if (line.section(QLatin1Char(' '), 0, 0) != suite || function.isEmpty())
            continue;
        const QString selection = split == CaseProcesses::Split::Rows && !tag.isEmpty()
            ? function + QLatin1Char(':') + tag
            : function;
        if (!cases.contains(selection))
            cases << selection;
    }
    return cases;
}

} // namespace

int CaseProcesses::main(
    int argc, char *argv[], const char *suite, int (*suiteMain)(int, char **), Split split, int processes)
{
    if (argc > 1 || qEnvironmentVariableIsSet(kCaseVariable))
        return suiteMain(argc, argv);
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    // A sanitizer makes every case many times slower: side by side on two cores they would starve each
    // other's poll and dwell timers, so they run one after another as QTest runs them.
    return suiteMain(argc, argv);
#endif
    QCoreApplication app(argc, argv);
    const QStringList selections = listCases(QString::fromLatin1(suite), split);
    if (selections.isEmpty())
        return 1;

    // Dealt in turn, so the rows of one long table go to different processes.
    std::vector<std::unique_ptr<Share>> shares(
        std::min<size_t>(size_t(std::max(processes, 1)), selections.size()));
    std::generate(shares.begin(), shares.end(), [] { return std::make_unique<Share>(); });
    for (int i = 0; i < selections.size(); ++i)
        shares[size_t(i) % shares.size()]->selections << selections.at(i);

    QEventLoop loop;
    int running = 0;
    for (auto &share : shares) {
        while (running == kAtOnce)
            loop.exec();
        CaseProcess &process = share->process;
        process.setProcessEnvironment(caseEnvironment(share->home.path()));
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setStandardOutputFile(share->log);
        QObject::connect(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop,
            [&running, &loop, s = share.get()] {
                s->ms = s->clock.elapsed();
                s->ended = true;
                --running;
                loop.quit();
            });
        share->clock.start();
        process.start(QCoreApplication::applicationFilePath(), share->selections);
        running += process.waitForStarted();
    }
    while (running > 0)
        loop.exec();

    int failed = 0;
    for (const auto &share : shares) {
        const CaseProcess &process = share->process;
        failed += !share->passed();
        QFile log(share->log);
        const QByteArray output = log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
        std::printf("=== %s: %s in %.1f s\n%s", qPrintable(share->selections.join(QLatin1String(", "))),
            share->passed() ? "passed" : "FAILED", share->ms / 1000.0, output.constData());
        if (!share->ended)
            std::printf("did not start: %s\n", qPrintable(process.errorString()));
        else if (process.exitStatus() != QProcess::NormalExit)
            std::printf("crashed\n");
    }
    std::printf("%d cases side by side in %d processes, %d failed\n", int(selections.size()),
        int(shares.size()), failed);
    return failed;
}
