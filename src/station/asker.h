#pragma once

#include "control/calibrationstart.h"
#include "control/certificatecompleteness.h"
#include "files/saveresult.h"
#include "settings/labsettings.h"
#include "settings/recordestimate.h"
#include "station/pdfsigner.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

// Whoever can answer the questions a run or a report raises. The window asks the operator in boxes; a
// door nobody watches (SCPI, a headless station) gives the safe answer at once: nothing is chosen,
// dropped or accepted on anyone's behalf. Every question blocks the caller until answered, except the
// two whose answers come later through the runner. GUI thread only.
class Asker
{
public:
    enum class ChartChoice { Change, AsIs, Cancel };
    enum class ReportChoice { Retry, Elsewhere, Later };
    // The signatory's consent to sign a certificate: what the signature means and the key's password.
    struct SignatureConsent
    {
        SignatureLook::Meaning meaning = SignatureLook::Meaning::Approved;
        QByteArray password; // the caller forgets it once the key is open
    };
    // When a signature is asked for: as the certificate is issued (declining issues it unsigned), or
    // later for one already issued (declining leaves it as it is).
    enum class SignatureMoment { AtIssue, Later };

    virtual ~Asker() = default;

    // Nobody answers: the runner takes the safe answer to what the link asks meanwhile.
    virtual bool isUnattended() const = 0;

    // Before a run. A final obstacle is only told; the others may be cleared by the answer.
    virtual void cannotStart(CalibrationStart::Obstacle obstacle, const QString &detail) = 0;
    // A folder for the reports, starting in `startIn`; empty when none is chosen.
    virtual QString chooseReportFolder(const QString &startIn) = 0;
    // The lab's name, address and prefix, starting from `stored`; nothing when not given.
    virtual std::optional<LabSettings> nameLab(const LabSettings &stored) = 0;
    // Whether the unsaved curve may go, after the chance to save it.
    virtual bool dropUnsavedCurve() = 0;
    // The chart holds `heldMs` of a run that lasts at least `neededMs`; `fits` would hold it.
    virtual ChartChoice chartTooSmall(qint64 heldMs, qint64 neededMs, std::optional<RecordSetting> fits) = 0;
    virtual bool startDespiteOverdueSource(const QString &due) = 0;
    // The run lacks `missing` for a certificate: whether it goes ahead as a test report.
    virtual bool startAsTestReport(const QVector<CertificateCompleteness::Missing> &missing) = 0;
    // The instrument under test `instrument` cannot be asked for its emissivity: whether it is set to
    // `epsilon`, the run's. A door nobody watches says no; the run file may vouch instead.
    virtual bool confirmInstrumentEmissivity(double epsilon, const QString &instrument) = 0;
    // The journal cannot be made in `folder`: results would be lost if the program died.
    virtual bool startWithoutJournal(const QString &folder, const QString &error) = 0;

    // During a run: the instrument's reading. The answer, if any, comes through the runner.
    virtual void askReading(int step, double setPoint, int reading, int readings) = 0;
    // At a resume: whether the controller now answering is ours; `answered` may be called later, or
    // never when the question is withdrawn.
    virtual void askSameController(
        const QString &held, const QString &reported, const std::function<void(bool same)> &answered)
        = 0;
    // Takes back an open same-controller question, if any.
    virtual void withdrawQuestions() = 0;

    // After a run: its report could not be written into `folder` (empty when none is known). `mayWait`:
    // the results are in a journal, so they can be reported later. Elsewhere sets `folder`.
    virtual ReportChoice reportNotWritten(
        QString *folder, const SaveResult &result, const QString &failedFile, bool mayWait)
        = 0;
    // A certificate to sign while a signing key is configured: `signatory` (the run's) signs it with the
    // key `keyName` names, or nothing, to leave it unsigned. `refusal`, when not empty, says why the last
    // answer signed nothing (a wrong password, another person's key).
    virtual std::optional<SignatureConsent> confirmSignature(const QString &number, const QString &signatory,
        const QString &keyName, const QString &refusal, SignatureMoment moment)
        = 0;
    // Runs that ended without a report, by a crash or a 稍后, have journals: write their reports now?
    virtual bool writePendingReports(int count) = 0;

    // The settings file did not take what was just chosen; it stays in force until the program ends.
    virtual void settingsNotSaved(const QString &message) = 0;
};
