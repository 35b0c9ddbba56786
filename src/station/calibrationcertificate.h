#pragma once

#include "control/calibrationjournal.h"
#include "control/stepevaluation.h"
#include "settings/labsettings.h"
#include "station/calibrationpdf.h"

#include <QCoreApplication>
#include <QDate>
#include <QPixmap>
#include <QString>

// Writes a run's certificate in the window's language: the lab and the customer, the item, the method
// with its emissivity correction, the ambient, the traceability, the results with their uncertainty and
// verdicts, the decision rule and the outages. Widget-free; GUI thread (it translates).
class CalibrationCertificate
{
    Q_DECLARE_TR_FUNCTIONS(CalibrationCertificate)

public:
    struct Input
    {
        CalibrationJournal::Header header;
        QVector<CalibrationStepResult> results;
        QVector<CalibrationOutage> outages;
        CalibrationJournal::End end = CalibrationJournal::End::Finished;
        LabSettings lab;
        QDate issued;
        QString curveNote; // whether the chart shows the whole run
        QString auditHead; // the audit trail's head before the issue, 64 hex digits; empty without one
        QString replaces; // an amendment's: the number of the certificate it replaces
        QPixmap chart;
    };

    static CertificateDocument document(const Input &input);
    // Whether the source's calibration was due before `day`; false without a due date.
    static bool sourceOverdue(const CalibrationRun &run, const QDate &day);
    // "<prefix>-YYYYMMDD-NNN", NNN at least three digits.
    static QString number(const QString &prefix, const QDate &day, qint64 counter);
    // "2026-12-09 15:04:05 +08:00": local time with its offset.
    static QString localTime(const QDateTime &at);
};
