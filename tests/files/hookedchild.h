#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

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
