#pragma once

#include "control/calibrationrun.h"
#include "control/calibrationsequencer.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

// A run's results as they come, kept in the per-user data folder so that neither a report folder that
// cannot be written nor a crash loses them. UTF-8 JSON, one object a line: first the run and where it
// ran, then each step's row the moment it ends, each appended and synced to disk before the run goes
// on, and last how the run ended. A line cut short by a crash is ignored on reading, and so is anything
// after a line that does not read. A journal is removed only once its report files exist. An open
// journal is locked (flock), so another instance of the program leaves it alone. GUI thread only.
class CalibrationJournal
{
public:
    struct Header
    {
        CalibrationRun run;
        QString runFile; // empty for a run never saved
        bool runModified = false;
        QString model;
        QString port;
        int wireScale = 100;
        QDateTime started;
        QDateTime wallAtZero; // wall-clock time at 0 on the run's monotonic clock
        QString certificateNumber; // taken before the first step, so an aborted run keeps it
        QString instrumentName; // the driver's, for a run that reads the instrument; the certificate names it

        bool operator==(const Header &other) const;
    };

    enum class End {
        None, // the program stopped while the run went on
        Finished,
        Aborted,
    };

    struct Contents
    {
        Header header;
        QVector<CalibrationStepResult> results;
        QVector<CalibrationOutage> outages;
        End end = End::None;
        // Written after the rows: the certificate's issue ({"issued": record, "sha256": hash}), and each
        // report write's hidden files ("staging") and names ("commit"), in the order they came.
        QJsonObject issue {};
        QVector<QJsonObject> staging {};
        QVector<QJsonObject> commits {};
    };

    CalibrationJournal() = default;
    ~CalibrationJournal();
    CalibrationJournal(const CalibrationJournal &) = delete;
    CalibrationJournal &operator=(const CalibrationJournal &) = delete;

    // Starts a journal in `folder`, made when missing; false with the system's reason when it cannot.
    bool create(const QString &folder, const Header &header, QString *error);
    // Opens an existing journal to append to it, locked as a run's is; false when another process holds
    // it or it cannot be opened.
    bool open(const QString &path, QString *error);
    // Appends `line` as a line of its own, synced like a row.
    bool appendObject(const QJsonObject &line, QString *error);
    bool append(const CalibrationStepResult &result, QString *error);
    bool appendOutage(const CalibrationOutage &outage, QString *error);
    bool end(End end, QString *error);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    QString path() const { return m_path; }

    // False with the reason when the file does not read or its first line is not a journal's header.
    static bool read(const QString &path, Contents *contents, QString *error);
    // The journals in `folder`, oldest first.
    static QStringList list(const QString &folder);
    // Whether a run is still writing the journal, in this process or another.
    static bool inUse(const QString &path);
    // A report's rows: the journaled ones, then a "not reached" row for each step the run had not
    // ended when the program stopped.
    static QVector<CalibrationStepResult> reportRows(const Contents &contents);
    // Where the run's curve waits beside its journal when the report could not be written at once.
    static QString curvePath(const QString &journalPath);
    // The same curve as a table at full precision.
    static QString curveCsvPath(const QString &journalPath);
    // The certificate's chart, as it was issued.
    static QString chartPath(const QString &journalPath);
    // The header and a row as the journal writes them, for records that keep a run elsewhere.
    static QJsonObject headerObject(const Header &header);
    static bool headerFrom(const QJsonObject &object, Header *header);
    static QJsonObject resultObject(const CalibrationStepResult &result);
    static std::optional<CalibrationStepResult> resultFrom(const QJsonObject &object, int steps);
    // Removes the journal, its curve and its chart.
    static bool remove(const QString &journalPath);

private:
    bool writeLine(const QByteArray &line, QString *error);

    int m_fd = -1;
    QString m_path;
};
