#include "lastfolders.h"

#include "settings.h"

#include <QDir>
#include <QFileInfo>

LastFolders::LastFolders(Settings &settings)
    : m_settings(settings)
{ }

QString LastFolders::key(Kind kind)
{
    switch (kind) {
    case Curves:
        return QStringLiteral("LastCurveFolder");
    case Exports:
        return QStringLiteral("LastExportFolder");
    case RunFiles:
        return QStringLiteral("LastRunFolder");
    case Reports:
        // The report folder itself: where reports go is where the last one was chosen.
        return QStringLiteral("ReportFolder");
    }
    return QString();
}

QString LastFolders::folder(Kind kind) const
{
    const QString stored = m_settings.value(key(kind), QString());
    // A folder on a removed stick or a deleted one would open the dialog somewhere arbitrary.
    if (!stored.isEmpty() && QFileInfo(stored).isDir())
        return stored;
    return QDir::currentPath();
}

void LastFolders::rememberFile(Kind kind, const QString &fileName)
{
    if (!fileName.isEmpty())
        rememberFolder(kind, QFileInfo(fileName).absolutePath());
}

void LastFolders::rememberFolder(Kind kind, const QString &folder)
{
    if (!folder.isEmpty())
        m_settings.setValue(key(kind), QDir::cleanPath(QFileInfo(folder).absoluteFilePath()));
}

QString LastFolders::suggestion(Kind kind, const QString &name) const
{
    return QDir(folder(kind)).filePath(name);
}

QString LastFolders::curveName(const QDateTime &start, const QString &suffix)
{
    return QStringLiteral("curve-") + start.toString(QStringLiteral("yyyyMMdd-hhmmss")) + QLatin1Char('.')
        + suffix;
}
