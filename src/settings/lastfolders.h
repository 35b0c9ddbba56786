#pragma once

#include <QDateTime>
#include <QString>

class Settings;

// The folder each kind of file dialog starts in: the one the operator last used for that kind, while it
// still exists, else the working folder. Kept in the settings, saved with them. GUI thread only.
class LastFolders
{
public:
    enum Kind { Curves, Exports, RunFiles, Reports };

    explicit LastFolders(Settings &settings);

    QString folder(Kind kind) const;
    // Remembers the folder of a chosen file, or a chosen folder itself.
    void rememberFile(Kind kind, const QString &fileName);
    void rememberFolder(Kind kind, const QString &folder);
    // Where a dialog of that kind starts, with `name` offered in it.
    QString suggestion(Kind kind, const QString &name) const;

    // "curve-YYYYMMDD-hhmmss.<suffix>", after the curve's start.
    static QString curveName(const QDateTime &start, const QString &suffix);
    static QString key(Kind kind);

private:
    Settings &m_settings;
};
