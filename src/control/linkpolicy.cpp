#include "linkpolicy.h"

#include "control/blackbodypoll.h"

namespace {

LinkPolicy::Refusal linkRefusal(const LinkSituation &s)
{
    using State = BlackbodySession::State;
    using Refusal = LinkPolicy::Refusal;
    switch (s.link) {
    case State::Closed:
        return Refusal::LinkClosed;
    case State::Opening:
        return Refusal::LinkOpening;
    case State::Reconnecting:
        return Refusal::Reconnecting;
    case State::Unconfirmed:
        return Refusal::ControllerUnconfirmed;
    case State::Open:
    case State::Silent:
        break;
    }
    // A port that is closing answers nothing any more.
    if (!s.portOpen)
        return Refusal::LinkClosed;
    return s.controllerSuspect ? Refusal::ControllerUnconfirmed : Refusal::None;
}

} // namespace

LinkPolicy::Refusal LinkPolicy::setPoint(const LinkSituation &situation, Requester requester)
{
    if (situation.run != RunPhase::None && requester != Requester::Run)
        return Refusal::RunInProgress;
    return linkRefusal(situation);
}

LinkPolicy::Refusal LinkPolicy::startRecording(const LinkSituation &situation)
{
    if (situation.recording)
        return Refusal::None;
    if (situation.run != RunPhase::None)
        return Refusal::RunInProgress;
    // Recording needs readings to come; a silent or unconfirmed controller may answer again meanwhile,
    // and the gap is recorded as a gap.
    if (!situation.portOpen)
        return Refusal::LinkClosed;
    return situation.unsavedCurve ? Refusal::UnsavedCurve : Refusal::None;
}

LinkPolicy::Refusal LinkPolicy::stopRecording(const LinkSituation &situation)
{
    return situation.recording && situation.run != RunPhase::None ? Refusal::RunInProgress : Refusal::None;
}

LinkPolicy::Refusal LinkPolicy::keepOrDropCurve(const LinkSituation &situation)
{
    if (situation.recording)
        return situation.run != RunPhase::None ? Refusal::RunInProgress : Refusal::Recording;
    return situation.unsavedCurve ? Refusal::None : Refusal::NothingRecorded;
}

LinkPolicy::Judge LinkPolicy::stabilityJudge(const LinkSituation &situation)
{
    return situation.run == RunPhase::None ? Judge::Link : Judge::Run;
}

bool LinkPolicy::readingRecordable(qint64 ageMs)
{
    return ageMs >= 0 && ageMs <= kRecordableForMs;
}

bool LinkPolicy::readingFresh(qint64 ageMs)
{
    return ageMs <= BlackbodyPoll::kStaleAfterMs;
}

QString LinkPolicy::reasonWord(Refusal refusal)
{
    switch (refusal) {
    case Refusal::RunInProgress:
        return QStringLiteral("run in progress");
    case Refusal::LinkClosed:
    case Refusal::LinkOpening:
    case Refusal::Reconnecting:
        return QStringLiteral("link not open");
    case Refusal::ControllerUnconfirmed:
        return QStringLiteral("controller unconfirmed");
    case Refusal::UnsavedCurve:
        return QStringLiteral("unsaved curve");
    case Refusal::Recording:
        return QStringLiteral("recording");
    case Refusal::NothingRecorded:
        return QStringLiteral("nothing recorded");
    case Refusal::None:
        break;
    }
    return QString();
}
