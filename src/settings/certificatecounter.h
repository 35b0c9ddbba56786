#pragma once

#include <QString>

// The last certificate number given, in a small file of its own that every profile and every running
// instance of a user shares. Each number is taken under an exclusive lock on that file and is on disk
// before it is handed out, so two instances, or an instance and a later start, never give the same
// number, and nothing held in memory is ever written back over it. Uniqueness ends at the file: two users
// or two computers sharing a certificate prefix keep counters of their own. Any thread; blocks while
// another process holds the lock.
namespace CertificateCounter {

// The counter's file in the user's data folder `folder` (the folder above the profiles).
QString filePath(const QString &folder);
// Raises the counter in `path` to one above the larger of its value and `floor` (the number older
// versions kept in config.xml, so none given before repeats), and returns it. 0, with the reason in
// `error`, when the file cannot be read, understood or written whole: no number is better than a guess.
qint64 take(const QString &path, qint64 floor, QString *error);
// Raises the counter in `path` to at least `floor` without taking a number: at the start, with the count
// older versions left in the default profile's config.xml, before any profile takes one. False, with the
// reason in `error`, as take().
bool seed(const QString &path, qint64 floor, QString *error);
// The count older versions kept in the config.xml at `configPath` as "CertificateCounter"; 0 when the file
// or the entry is missing or is no number.
qint64 legacyCount(const QString &configPath);

} // namespace CertificateCounter
