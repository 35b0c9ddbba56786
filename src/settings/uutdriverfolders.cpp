#include "uutdriverfolders.h"

#include "settings/profile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QStringList uutDriverFolders()
{
    return uutDriverFolders(QCoreApplication::applicationDirPath(), Profile::userDataDir());
}

QStringList uutDriverFolders(const QString &exeDir, const QString &userDataDir)
{
    QStringList folders {QDir::cleanPath(exeDir + QStringLiteral("/" BB_UUT_FROM_BIN))};
#ifdef BB_UUT_SOURCE_DIR
    // A program run from its build tree finds the drivers it was built with.
    if (QFileInfo::exists(exeDir + QStringLiteral("/../CMakeCache.txt")))
        folders << QStringLiteral(BB_UUT_SOURCE_DIR);
#endif
    if (!userDataDir.isEmpty())
        folders << QDir::cleanPath(userDataDir + QStringLiteral("/uut"));
    return folders;
}

QString findUutDriver(const QString &nameOrPath, const QStringList &folders)
{
    if (nameOrPath.isEmpty())
        return QString();
    if (QFileInfo(nameOrPath).isAbsolute())
        return nameOrPath;
    // A bare file name only: a run file must not reach outside the driver folders by "../".
    if (nameOrPath.contains(QLatin1Char('/')) || nameOrPath.contains(QLatin1Char('\\')))
        return QString();
    for (const QString &folder : folders) {
        const QString path = folder + QLatin1Char('/') + nameOrPath;
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}
