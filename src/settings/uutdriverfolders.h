#pragma once

#include <QString>
#include <QStringList>

// Where driver files (.bbuut) of instruments under test are looked for, first match wins: beside the
// program (../share/ostrel-blackbody/uut, and in a build tree the source's share/uut), then the user's
// data folder's uut/. Folders that do not exist are listed too; the caller looks.
QStringList uutDriverFolders();
// As uutDriverFolders(), for a program in `exeDir` and a user data folder `userDataDir` (tests).
QStringList uutDriverFolders(const QString &exeDir, const QString &userDataDir);
// The file a run names as its driver: an absolute path as it is, a file name in the first folder that
// has it; empty when none has it.
QString findUutDriver(const QString &nameOrPath, const QStringList &folders = uutDriverFolders());
