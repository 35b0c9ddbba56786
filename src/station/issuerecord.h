#pragma once

#include "control/calibrationjournal.h"
#include "settings/labsettings.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>

#include <optional>

// What a certificate and every file of its report are made from, fixed the moment its number is issued:
// the run with its rows as reported, the issue time, the lab, and what became of the curve. Kept in the
// run's journal before any report file is written and archived once they are, so that a report written
// again, after a crash or for an amendment, says what the first said: its content is made anew from
// these inputs, never from what the settings or the clock say later. A plain value; any thread.
struct IssueRecord
{
    // What the certificate says of the curve.
    enum class Curve {
        None, // the run recorded no sample
        Whole,
        Partial, // the recording had dropped its start; from `curveFromMsecs` on
        Beside, // kept beside the journal, from a journal reported later
        Lost, // the program stopped during the run and the curve went with it
    };

    CalibrationJournal::Contents run; // the header holds the number; the rows as the report has them
    QDateTime issuedAt;
    LabSettings lab;
    Curve curve = Curve::None;
    qint64 curveFromMsecs = 0;
    bool curveFiles = false; // the curve and its table wait beside the journal
    QString chartSha256; // of the chart's PNG beside the journal; empty without a chart
    // The audit trail's head as the record was issued, before its own issue line: the report carries it,
    // so a trail cut or forged after the report shows against it. Empty from a program without a trail.
    QString auditHead;
    QString replaces; // an amendment's: the number of the certificate it replaces; empty otherwise
    QString replacesSha256; // and that certificate's PDF as the audit trail recorded it; empty if unknown

    QString number() const { return run.header.certificateNumber; }
    QJsonObject toJson() const;
    static std::optional<IssueRecord> fromJson(const QJsonObject &object);
    // The SHA-256 of `object` as compact JSON, in hex: what tells a record apart from an altered one.
    static QString hash(const QJsonObject &object);
};
