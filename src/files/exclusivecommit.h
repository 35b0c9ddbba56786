#pragma once

#include <QString>

// Gives the finished file `from` the name `to` only while no file of that name exists, in one step the
// system checks (renameat2 RENAME_NOREPLACE on Linux, a hard link and an unlink where the file system
// refuses that, MoveFileEx without replacing on Windows), so two writers never replace each other's
// file however close together they commit. Returns 0, EEXIST when the name is taken (`from` stays), or
// another errno. Both names in one folder. Any thread.
int commitExclusively(const QString &from, const QString &to);

// What identifies the file at `path` across a rename ("device:inode"); empty when there is none, or
// where the system gives no such thing (Windows).
QString fileIdentity(const QString &path);

// Gives the file `from` the second name `to` (a hard link), which must not exist; 0 or the errno. The
// caller copies where the system cannot (another file system, EXDEV).
int linkFile(const QString &from, const QString &to);
