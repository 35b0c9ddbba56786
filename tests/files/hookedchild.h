#pragma once

#include "recording/curvefile.h"

#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVector>

// One saving child (savechild.cpp) among many: what it is given, and how it ended.
struct HookedChild
{
    QString folder; // the one the hook (killhook.cpp) watches
    QStringList args;
    QStringList hook; // the hook's variables, as "NAME=value"
    bool ended = false;
    QProcess::ExitStatus exitStatus = QProcess::CrashExit;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;

    // Empty when the child ran to its end and exited normally, else what went wrong.
    QString failure() const
    {
        if (!ended)
            return QStringLiteral("the saving child did not end");
        if (exitStatus == QProcess::NormalExit && exitCode == 0)
            return QString();
        return QStringLiteral("the saving child failed (%1, code %2): ").arg(exitStatus).arg(exitCode)
            + QString::fromLocal8Bit(err);
    }
};

// Runs every child with the hook preloaded, several at a time: the children are independent, and most of
// their time goes on waiting, above all for the chart's lingering worker. Each has a minute to end.
inline void runHookedChildren(const QVector<HookedChild *> &children)
{
    // Enough to keep two cores busy, few enough for the sanitizer builds.
    const int atOnce = 8;
    QEventLoop loop;
    int running = 0;
    for (HookedChild *child : children) {
        while (running == atOnce)
            loop.exec();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(KILLHOOK_PATH));
        env.insert(QStringLiteral("BB_HOOK_DIR"), child->folder);
        for (const QString &variable : qAsConst(child->hook))
            env.insert(variable.section(QLatin1Char('='), 0, 0), variable.section(QLatin1Char('='), 1));
        // The hook is loaded ahead of an address sanitizer's runtime, which would otherwise refuse to start.
        // Leak checks at every child's exit would take most of these suites' time; the savers' own suites
        // look for leaks.
        const QString asan = env.value(QStringLiteral("ASAN_OPTIONS"));
        env.insert(QStringLiteral("ASAN_OPTIONS"),
            (asan.isEmpty() ? QString() : asan + QLatin1Char(':'))
                + QStringLiteral("verify_asan_link_order=0:detect_leaks=0:fast_unwind_on_malloc=1"));
        auto *process = new QProcess(&loop);
        process->setProcessEnvironment(env);
        QObject::connect(process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished),
            [&, process, child](int code, QProcess::ExitStatus status) {
                child->exitCode = code;
                child->exitStatus = status;
                child->out = process->readAllStandardOutput();
                child->err = process->readAllStandardError();
                process->deleteLater();
                --running;
                loop.quit();
            });
        // Killed, it still finishes, but not of itself.
        QTimer::singleShot(60000, process, [process, child] {
            child->ended &= process->state() == QProcess::NotRunning;
            process->kill();
        });
        process->start(QStringLiteral(SAVECHILD_PATH), child->args);
        child->ended = process->waitForStarted();
        running += child->ended;
    }
    while (running > 0)
        loop.exec();
}

// What a file holds; empty when it cannot be read.
inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A curve file of `rows` samples for the child to open; empty, or what went wrong.
inline QString writeSourceCurve(const QString &path, int rows)
{
    QVector<Sample> samples;
    for (int i = 0; i < rows; ++i)
        samples.append(Sample {i * 0.1, 20 + (i % 997) * 0.01});
    CurveFileHeader header;
    header.appName = QStringLiteral("source");
    header.startMsecs = 1'600'000'000'000;
    header.emissivity = 0.95f;
    header.unitSymbol = QStringLiteral("℃");
    QFile file(path);
    const bool ok = file.open(QIODevice::WriteOnly)
        && writeCurve(
            &file, header, rows, [&samples](qint64 i) -> const Sample & { return samples[int(i)]; });
    return ok ? QString() : QStringLiteral("cannot write ") + path;
}
