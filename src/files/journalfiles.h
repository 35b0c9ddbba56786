#pragma once

#include <QString>
#include <QStringList>

// What the run and recording journals share. POSIX only.

// The files in `folder` whose names end in `suffix`, by name: a journal's name begins with its start
// time, so this is the order they were begun in.
QStringList journalFiles(const QString &folder, const QString &suffix);

// Whether another process holds the lock of the journal at `path` (it is still being written).
bool journalInUse(const QString &path);
