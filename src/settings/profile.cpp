#include "profile.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

const QString kProfiles = QStringLiteral("/profiles/");
const QString kDefault = QStringLiteral("default");

QString underProfiles(const QString &base, const QString &profile)
{
    return profile.isEmpty() ? base : base + kProfiles + profile;
}

} // namespace

bool Profile::isValidName(const QString &name)
{
    static const QRegularExpression allowed(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9_.-]{0,63}$"));
    // A folder of these names cannot be made on Windows, whatever follows the dot.
    static const QRegularExpression device(QStringLiteral("^(con|prn|aux|nul|com[1-9]|lpt[1-9])(\\..*)?$"),
        QRegularExpression::CaseInsensitiveOption);
    return allowed.match(name).hasMatch() && !device.match(name).hasMatch()
        && !name.endsWith(QLatin1Char('.'));
}

QString Profile::normalized(const QString &name)
{
    return name.compare(kDefault, Qt::CaseInsensitive) == 0 ? QString() : name;
}

QString Profile::configDir(const QString &profile)
{
#ifdef Q_OS_WIN
    const QString base = QStringLiteral("C:/Users/") + QDir::home().dirName()
        + QStringLiteral("/AppData/Roaming/") + QCoreApplication::applicationName();
#else
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QLatin1Char('/') + QCoreApplication::applicationName();
#endif
    return underProfiles(base, profile);
}

QString Profile::dataDir(const QString &profile)
{
    return underProfiles(userDataDir(), profile);
}

QString Profile::userDataDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}
