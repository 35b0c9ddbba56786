#pragma once

#include "control/calibrationjournal.h"

#include <QString>

// A run's record as it happens: its certificate number, taken and saved before the first step so that no
// later run, here or after a restart, gets it, and its journal, to which each step's row and each outage
// is appended the moment it ends. GUI thread only.
class RunRecord
{
public:
    // The last certificate number older versions gave, in config.xml; the counter's floor now, never
    // written (certificatecounter.h keeps the count).
    static const QString certificateCounterKey;

    // Takes the next certificate number for a certificate of `day`: on disk before it is returned. Empty,
    // with the reason in `error`, when none can be taken.
    static QString takeNumber(const QDate &day, QString *error);

    // Numbers `header`'s certificate when `numbered` (a test report has no number) and starts its journal
    // in `folder`. False, with the reason in `counterError`, when no number can be taken: the run must not
    // start. A journal that cannot be made leaves the record not whole, with the system's reason in
    // `journalError`.
    bool begin(CalibrationJournal::Header header, bool numbered, const QString &folder, QString *counterError,
        QString *journalError);
    // Journals the rows and outages not yet journaled; returns the rows newly ended. The first failure
    // closes the journal and is told once in `error`.
    QVector<CalibrationStepResult> take(const QVector<CalibrationStepResult> &rows,
        const QVector<CalibrationOutage> &outages, QString *error);
    // The run ended: its end is journaled and the journal closed.
    void end(CalibrationJournal::End end);
    // The program stops while the run goes on: the journal closes without an end.
    void leave();

    const CalibrationJournal::Header &header() const { return m_header; }
    QString journalPath() const { return m_journal.path(); }
    // Every row so far, and the end, are in the journal.
    bool isWhole() const { return m_whole; }

private:
    // Starts the journal of `header`; always true.
    bool open(const CalibrationJournal::Header &header, const QString &folder, QString *journalError);

    CalibrationJournal::Header m_header;
    CalibrationJournal m_journal;
    int m_rows = 0; // rows already journaled
    int m_outages = 0;
    bool m_whole = false;
};
