#pragma once

#include "control/setpointrequest.h"
#include "control/takenreading.h"

#include <QHash>
#include <QJsonObject>
#include <QObject>
#include <QStringList>

class AuditTrail;

// What the station's parts do to the records, each act one line of the audit trail in the user's data
// folder (files/audittrail.h); the parts call it and go on, whatever the trail says: a trail that cannot
// be written is told through failed(), once until it writes again. Off while no folder is known (a
// station whose settings were never loaded, as in most tests). GUI thread only.
class AuditRecorder : public QObject
{
    Q_OBJECT

public:
    enum class RunAct { Started, Paused, Resumed, Aborted, Finished };

    // The trail in `folder`; empty: the settings' user data folder, as it is at each act.
    explicit AuditRecorder(const QString &folder = QString(), QObject *parent = nullptr);
    ~AuditRecorder() override;

    // The trail's head; empty without a trail or when it cannot be read.
    QString head() const;
    // The operator the next lines name: the run's signatory while a run goes on.
    void setOperator(const QString &name) { m_operator = name; }

    void setPoint(double celsius, Requester requester, const QString &origin);
    void recording(bool started);
    // `number` is the certificate's, empty for a test report; `why` says what paused a run.
    void run(RunAct act, const QString &number, const QJsonObject &details = {});
    // A reading of the instrument under test as it came: `raw` the driver's text, or what was typed.
    void reading(TakenReading::Source source, int step, const QString &raw, double celsius);
    // A certificate (or, without a number, a test report) written: the issue record's SHA-256, each file's,
    // and what else the issue states (`more`: its signature, a missing twin). The new head, empty when the
    // line is not on disk.
    QString issued(const QString &number, bool certificate, const QString &recordSha256,
        const QStringList &files, const QJsonObject &more = {});
    // An issued certificate's files signed after the fact, with the hashes they have now.
    void signedLater(const QString &number, const QString &recordSha256, const QStringList &files,
        const QJsonObject &more);
    // The certificate `number` re-issued as `amendment`, with what changed ("field: before → after").
    void amended(const QString &number, const QString &amendment, const QStringList &changes);
    // Results that will not be issued, although `number` was taken for them (empty for a test report):
    // `reason` says why, so a gap in the certificates' numbers is accounted for.
    void notIssued(const QString &number, const QString &reason);
    // A setting stored: the window's own state and the folders last used are left out, secrets masked.
    void settingChanged(const QString &key, const QString &old, const QString &now);

    // The files of the last `issued` or `signed` line of certificate `number` (path → SHA-256), read from
    // a trail that verifies up to there: what was issued, for the acts that build on it. Empty, with the
    // reason, when the trail does not verify or holds no such line; empty without a reason when off.
    QHash<QString, QString> issuedFiles(const QString &number, QString *problem) const;
    // Whether lines are written at all (a folder is known).
    bool isOn() const;

    // The last line appended failed: the reason.
    QString lastError() const { return m_error; }

signals:
    void failed(const QString &error);

private:
    QString record(const QString &act, const QJsonObject &details);

    QString m_folder;
    QString m_operator;
    QString m_error;
};
