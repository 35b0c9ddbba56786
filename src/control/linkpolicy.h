#pragma once

#include "control/blackbodysession.h"

#include <QString>
#include <QtGlobal>

// Whether a calibration run holds the source: while one runs, paused or not, it alone sends set points
// and its recording lasts as long as it does.
enum class RunPhase { None, Running, Paused };

// What every door judges by: the link as the session sees it, the run and the recording.
struct LinkSituation
{
    BlackbodySession::State link = BlackbodySession::State::Closed;
    bool portOpen = false;
    // Reported a set point it did not hold, and nobody has vouched for it since, silent or not.
    bool controllerSuspect = false;
    RunPhase run = RunPhase::None;
    bool recording = false;
    bool unsavedCurve = false;
};

// The rules the window, SCPI and MQTT apply alike, as refusals each door words in its own way: the
// window in the operator's language, SCPI as error numbers, MQTT as reason words. Pure.
class LinkPolicy
{
public:
    enum class Refusal {
        None,
        RunInProgress, // a run sends its own set points and holds its recording
        LinkClosed,
        LinkOpening,
        Reconnecting,
        ControllerUnconfirmed, // the controller may be another one until someone vouches for it
        UnsavedCurve, // a new recording would drop it; a door that can ask may have it dropped first
        Recording, // the curve cannot be saved or dropped while it is being recorded
        NothingRecorded,
    };
    // Which judge's stability counts: the run's own during a run, else the link's.
    enum class Judge { Link, Run };

    // Set points go only over an open link to a controller known to be ours; a silent one may take one,
    // whose outcome then proves nothing. During a run only the run sends them.
    static Refusal setPoint(const LinkSituation &situation, Requester requester);
    // Starting a recording that is already running is no refusal: there is nothing to do.
    static Refusal startRecording(const LinkSituation &situation);
    static Refusal stopRecording(const LinkSituation &situation);
    // Saving the recorded curve to a file of the requester's choice, or dropping it.
    static Refusal keepOrDropCurve(const LinkSituation &situation);
    static Judge stabilityJudge(const LinkSituation &situation);
    // The refusal in the plain words scripts and plants read ("link not open"); empty for none.
    static QString reasonWord(Refusal refusal);
    // A reading this old is still the controller's present one.
    static bool readingFresh(qint64 ageMs);
    // A reading this old may still be recorded as a sample: one poll period and the reply deadline. Older,
    // a sample would repeat a reading nobody made, so the recording's gap begins.
    static constexpr qint64 kRecordableForMs = 1500;
    static bool readingRecordable(qint64 ageMs);
};
