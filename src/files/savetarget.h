#pragma once

#include <QString>

// Where a save meant for `path` has to write so that it replaces only a regular file's contents and keeps
// any symbolic link that leads there: `path` itself when nothing is there yet, the end of its chain of
// links when that is a regular file. Empty when `path`, or where its links lead, is anything else (a
// device, a pipe, a folder), when a link leads nowhere, or when links loop.
QString saveTarget(const QString &path);
