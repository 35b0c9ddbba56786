#pragma once

#include "control/linkpolicy.h"
#include "files/saveresult.h"
#include "recording/recordingjournal.h"
#include "station/blackbodylink.h"

#include <QObject>

#include <memory>
#include <optional>

class AuditRecorder;
class CalibrationReporter;
class CalibrationRunner;
class CurveRecorder;
class ThermometerLink;
class UutLink;

// The station every door stands on: the blackbody and thermometer links, the recording, the runs and
// their reports, with or without a window. The window, SCPI and MQTT ask here and word what they hear;
// none of them judges the link's rules on its own. GUI thread only.
class Station : public QObject
{
    Q_OBJECT

public:
    // The stability that counts, and since when on the link's clock.
    struct Stability
    {
        bool stable = false;
        qint64 since = 0;
        // Seconds stable at `now` on the link's clock; 0 when not stable.
        double secondsAt(qint64 now) const { return stable ? (now - since) / 1000.0 : 0; }
    };

    explicit Station(QObject *parent = nullptr);
    // The thermometer goes first, then the runner, then the links, whose workers are joined.
    ~Station() override;

    BlackbodyLink &link() { return *m_link; }
    const BlackbodyLink &link() const { return *m_link; }
    ThermometerLink &thermometer() { return *m_thermometer; }
    // The instrument under test's link: runs that read it open it, and the window shows its state.
    UutLink &instrument() { return *m_instrument; }
    CurveRecorder &recorder() { return *m_recorder; }
    const CurveRecorder &recorder() const { return *m_recorder; }
    CalibrationRunner &runner() { return *m_runner; }
    const CalibrationRunner &runner() const { return *m_runner; }
    CalibrationReporter &reporter() { return *m_reporter; }
    // The audit trail every record-changing act of the station goes to.
    AuditRecorder &audit() { return *m_audit; }

    // The facts every door judges by, as they are now.
    LinkSituation situation() const;

    // Judged by the link policy, then handed to the link; the outcome is the link's setPointOutcome()
    // with the id given in `id`. The model's range and decimals are the door's to check before.
    LinkPolicy::Refusal requestSetPoint(
        double celsius, Requester requester, const QString &origin = QString(), quint64 *id = nullptr);
    // The latest reading of our controller, while it is valid and fresh.
    std::optional<BlackbodyPoll::Reading> latest() const { return m_link->latest(); }
    Stability stability() const;
    // Someone who can see the controller, or a client allowed to change things, vouches for it.
    void vouchForController();

    // The recording, by the policy. Starting with an unsaved curve is refused with UnsavedCurve: a door
    // that can ask drops it first with dropCurve().
    LinkPolicy::Refusal startRecording();
    LinkPolicy::Refusal stopRecording();
    // Writes the recorded curve to `fileName`, whole or not at all; it then counts as saved.
    LinkPolicy::Refusal saveCurve(const QString &fileName, SaveResult *result);
    LinkPolicy::Refusal dropCurve();
    // For a program told to quit: stops the recording and, when its curve was never saved, keeps it in
    // the data folder rather than ask: in its journal, which the next start offers, or else as a curve
    // file. The file kept, or empty when there was nothing to keep or it could not be written.
    QString keepRecording();
    // Writes the recorded curve as a curve file into recordingsFolder(), named after its start; it then
    // counts as saved. The file, or empty when it could not be written.
    QString saveRecordingBeside();

    // Where recordings keep their journals, and a quitting program its unsaved curves.
    static QString recordingsFolder();
    // Recordings a crash, a kill or a power loss left unsaved, oldest first, as their journals tell: the
    // doors offer to save, view or drop each; one that does not read is only told, and kept.
    static QVector<RecordingJournal::Found> unsavedRecordings();
    // Takes an unsaved recording back as the recorded curve, unsaved, to be saved or dropped as any
    // other; false with the reason when it cannot (recording, or an unsaved curve of its own).
    bool recoverRecording(const QString &journal, QString *error);
    // Forgets an unsaved recording for good; false when another process holds it or it cannot be removed.
    static bool dropRecording(const QString &journal);

    // The band and window stored in the settings, for the link's judge.
    void applyStabilityLimits();
    // The chart's capacity and interval stored in the settings, for the next recording.
    void applyChartSettings();

signals:
    // The stability that counts changed its mind: the link's, or a run's during a run.
    void stabilityChanged(bool stable);

private:
    const StabilityJudge &countedJudge() const;
    void recountStability();

    std::unique_ptr<AuditRecorder> m_audit;
    std::unique_ptr<BlackbodyLink> m_link;
    std::unique_ptr<ThermometerLink> m_thermometer;
    std::unique_ptr<CurveRecorder> m_recorder;
    std::unique_ptr<CalibrationReporter> m_reporter;
    std::unique_ptr<UutLink> m_instrument;
    std::unique_ptr<CalibrationRunner> m_runner;
    bool m_stable = false;
};
