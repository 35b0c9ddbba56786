#pragma once

#include "chart/curvefile.h"

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QVector>

// Runs the saving child (savechild.cpp) with `args` and the hook (killhook.cpp) preloaded, watching
// `folder` and set up by `hook`, its variables as "NAME=value". False when the child did not end.
inline bool runHookedChild(
    QProcess &child, const QString &folder, const QStringList &args, const QStringList &hook)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(KILLHOOK_PATH));
    env.insert(QStringLiteral("BB_HOOK_DIR"), folder);
    for (const QString &variable : hook)
        env.insert(variable.section(QLatin1Char('='), 0, 0), variable.section(QLatin1Char('='), 1));
    // The hook is loaded ahead of an address sanitizer's runtime, which would otherwise refuse to start.
    // Leak checks at every child's exit would take most of these suites' time; the savers' own suites
    // look for leaks.
    const QString asan = env.value(QStringLiteral("ASAN_OPTIONS"));
    env.insert(QStringLiteral("ASAN_OPTIONS"),
        (asan.isEmpty() ? QString() : asan + QLatin1Char(':'))
            + QStringLiteral("verify_asan_link_order=0:detect_leaks=0:fast_unwind_on_malloc=1"));
    child.setProcessEnvironment(env);
    child.start(QStringLiteral(SAVECHILD_PATH), args);
    return child.waitForFinished(60000);
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
    QVector<QCPGraphData> samples;
    for (int i = 0; i < rows; ++i)
        samples.append(QCPGraphData(i * 0.1, 20 + (i % 997) * 0.01));
    CurveFileHeader header;
    header.appName = QStringLiteral("source");
    header.startMsecs = 1'600'000'000'000;
    header.emissivity = 0.95f;
    header.unitSymbol = QStringLiteral("℃");
    QFile file(path);
    const bool ok = file.open(QIODevice::WriteOnly)
        && writeCurve(
            &file, header, rows, [&samples](qint64 i) -> const QCPGraphData & { return samples[int(i)]; });
    return ok ? QString() : QStringLiteral("cannot write ") + path;
}
