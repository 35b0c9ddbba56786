#pragma once

#include "curveinfo.h"
#include "sample.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// The format of a recording's journal, the file a recording's samples go to as they come so that a crash
// loses at most the last second. Binary, little-endian, append-only: a header (magic, format version,
// what the curve file needs, a checksum), then batches of samples, each with its count and a checksum
// after its samples, so a batch cut short by a kill or left as zeros by a power loss is never read as
// samples. Reading stops at the first batch that does not check. Pure functions, safe on any thread.
namespace RecordingJournal {

constexpr quint32 kFormat = 1;

struct Header
{
    CurveInfo info;
    QString model; // the blackbody model the recording was taken with; may be empty

    bool operator==(const Header &other) const { return info == other.info && model == other.model; }
};

enum class Status {
    Ok, // a header and at least one sample
    Empty, // nothing recorded: no bytes, a header cut short, or a header without samples
    Unreadable, // not a journal, or a damaged header: kept for someone to look at
    Newer, // written by a newer version of the program: kept for it
};

struct Contents
{
    Status status = Status::Empty;
    QString error; // for Unreadable and Newer, in the operator's language
    Header header;
    QVector<Sample> samples;
    qint64 validBytes = 0; // the header and the batches that checked
    bool tornTail = false; // bytes after the last batch that checked were dropped
};

// What a journal says, without its samples: what the doors offer to save, view or drop.
struct Found
{
    QString path;
    Status status = Status::Empty;
    QString error;
    qint64 startMsecs = 0;
    int points = 0;
};

QByteArray headerBytes(const Header &header);
QByteArray batchBytes(const Sample *samples, int count);
// The whole file, from its first byte.
Contents read(const QByteArray &bytes);
// The same from a file; Unreadable with the system's reason when it cannot be read.
Contents readFile(const QString &path);

// The journal file name for a recording started at `startMsecs`, without a folder.
QString fileName(qint64 startMsecs, int attempt);
// The journals in `folder`, oldest first.
QStringList list(const QString &folder);
// Whether a recording still writes or holds the journal, in this process or another.
bool inUse(const QString &path);
// The journals in `folder` that no recording holds, read.
QVector<Found> pending(const QString &folder);

} // namespace RecordingJournal
