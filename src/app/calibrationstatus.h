#pragma once

#include "station/calibrationreporter.h"
#include "station/calibrationrunner.h"
#include "widgets/statuspart.h"

#include <QCoreApplication>
#include <QObject>
#include <QPointer>

// The status bar's line about a calibration run, in the operator's language: its step and phase, when it
// should end or why it paused, a short note beside it (a set point's outcome, a dwell started again),
// and what became of its report. GUI thread only.
class CalibrationStatus : public QObject
{
    Q_OBJECT

public:
    // Both outlive the status.
    CalibrationStatus(CalibrationRunner *runner, CalibrationReporter *reporter, QObject *parent = nullptr);

    // The line's label, for the status bar to adopt.
    StatusPart *label() { return m_label.data(); }
    // The line again, from the run as it is, in the language in force.
    void refresh();

signals:
    // What became of a run's report, for the operator to read in passing; `file` is the report written,
    // empty when none was.
    void finished(const QString &text, const QString &file);

private:
    void showNote(CalibrationRunner::Note note);
    // `twinMissing` says why a certificate went without its machine-readable twin.
    void reported(
        CalibrationReporter::Fate fate, const QString &file, bool fromJournal, const QString &twinMissing);
    // The ended run's overall result, as its report states it.
    QString overallText() const;

    CalibrationRunner *m_runner;
    bool m_aborted = false; // the run that just ended
    QString m_note;
    qint64 m_noteUntil = 0;
    QPointer<StatusPart> m_label; // the status strip's once adopted; never gives way
};
