#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>

// One line of the audit trail, byte for byte (docs/audit-trail.md): a JSON object with the members seq,
// utc, osUser, operator, act, details, prev and hash in that order, no spaces, ending in '\n'; hash is
// the SHA-256 in lower-case hex of prev's 64 characters followed by the line's bytes without its hash
// member. Pure: no files, no clock; any thread.
struct AuditLine
{
    // The prev of the first line.
    static const QByteArray kGenesis;

    qint64 seq = 0;
    QDateTime utc;
    QString osUser;
    QString operatorName;
    QString act;
    // Strings, booleans, arrays and objects only: a raw value is kept as the text it came as. Written with
    // its members in the order Qt keeps them (ascending keys).
    QJsonObject details;
    QByteArray prev = kGenesis;

    // The line's bytes up to and without its hash member, then closed: what the hash covers after prev.
    QByteArray body() const;
    QByteArray hash() const;
    // The whole line with its hash and the line end.
    QByteArray bytes() const;

    // The next line after one whose hash is `head` and whose seq is `lastSeq` (0 before the first).
    static AuditLine after(qint64 lastSeq, const QByteArray &head);
};

// The verdict on a sequence of lines: whether each is well formed, follows the one before it and carries
// its own hash.
struct AuditCheck
{
    bool ok = true;
    int badLine = 0; // 1-based; 0 while ok
    QString reason; // plain words for the first bad line
    QByteArray head = AuditLine::kGenesis; // the last good line's hash
    qint64 lastSeq = 0;
    int lines = 0;

    // The line `bytes` (without its '\n') as it was read; nothing once a line was bad. `number` is its
    // line number in the file.
    void feed(const QByteArray &bytes, int number);
    // Reads `line` (without its '\n') back into `into`; false when it is not a line of this format.
    static bool parse(const QByteArray &line, AuditLine *into, QString *reason);
    // Each of `lines` in turn, numbered from 1.
    static AuditCheck of(const QList<QByteArray> &lines);
};
