#include "calibrationsequencer.h"

#include "control/blackbodypoll.h"
#include "control/blackbodyprotocol.h"

#include <algorithm>
#include <cmath>

using Kind = CalibrationSequencer::Command::Kind;
using Outcome = CalibrationStepResult::Outcome;

CalibrationSequencer::CalibrationSequencer(
    const QVector<CalibrationStep> &steps, int wireScale, int readingsPerStep)
    : m_steps(steps)
    , m_wireScale(wireScale)
    , m_readingsPerStep(qMax(1, readingsPerStep))
{
    for (const CalibrationStep &step : steps)
        m_wires.append(BlackbodyProtocol::toWireUnits(step.setPoint, wireScale));
}

void CalibrationSequencer::takeReadingsFromInstrument(qint64 intervalMs)
{
    m_intervalMs = qMax<qint64>(1, intervalMs);
}

int CalibrationSequencer::readingsNeeded(qint64 dwellMs)
{
    // In whole tenths, so 90 % of an exact number of ticks is not rounded up by a stray ulp.
    return int((9 * dwellMs + 10 * BlackbodyPoll::kIntervalMs - 1) / (10 * BlackbodyPoll::kIntervalMs));
}

qint64 CalibrationSequencer::windowMs(int step) const
{
    return std::llround(m_steps.at(step).window * 1000);
}

qint64 CalibrationSequencer::dwellMs(int step) const
{
    return std::llround(m_steps.at(step).dwell * 1000);
}

void CalibrationSequencer::add(Kind kind, Commands *out) const
{
    Command command;
    command.kind = kind;
    if (m_index < m_steps.size()) {
        command.step = m_index;
        command.wire = m_wires.at(m_index);
        command.setPoint = sentSetPoint(m_index);
    }
    out->append(command);
}

CalibrationSequencer::Commands CalibrationSequencer::start()
{
    Commands out;
    if (m_phase != Phase::Idle)
        return out;
    if (m_steps.isEmpty()) {
        m_phase = Phase::Finished;
        add(Kind::Finished, &out);
        return out;
    }
    sendSetPoint(&out);
    return out;
}

CalibrationSequencer::Commands CalibrationSequencer::tick(qint64 now)
{
    Commands out;
    advance(now, &out);
    return out;
}

CalibrationSequencer::Commands CalibrationSequencer::reading(qint64 now, double celsius, qint16 setWire)
{
    Commands out;
    advance(now, &out);
    if (isPaused() || !judging())
        return out;
    m_readBackOk = setWire == m_wires.at(m_index);
    if ((m_phase == Phase::Dwelling || m_phase == Phase::WaitingForReading) && !m_readBackOk) {
        m_phase = Phase::Settling;
        restartReadings(now);
    } else if (m_phase == Phase::Settling && m_readBackOk && m_judgeStable)
        enterDwell(now);
    if (m_phase == Phase::Dwelling)
        m_dwell.add(celsius);
    advance(now, &out);
    return out;
}

CalibrationSequencer::Commands CalibrationSequencer::judgedReading(
    qint64 now, double celsius, qint16 setWire, bool accepted)
{
    Commands out;
    if (m_judgeRunning) {
        const bool wasStable = m_judge.state() == StabilityJudge::State::Stable;
        // Judged against the step's set point; reading() checks the read-back one itself.
        m_judge.reading(now, celsius, sentSetPoint(m_index), accepted);
        const bool stable = m_judge.state() == StabilityJudge::State::Stable;
        if (stable != wasStable)
            out += stability(now, stable);
    }
    out += reading(now, celsius, setWire);
    return out;
}

CalibrationSequencer::Commands CalibrationSequencer::ambient(qint64 now, double celsius)
{
    Commands out;
    advance(now, &out);
    if (!isPaused() && m_phase == Phase::Dwelling)
        m_dwell.addAmbient(celsius);
    return out;
}

CalibrationSequencer::Commands CalibrationSequencer::confirmation(qint64 now, bool confirmed)
{
    Commands out;
    if (isPaused() || m_phase != Phase::Setting)
        return out;
    if (confirmed) {
        m_confirmedAt = now;
        // A set point sent again after a lost link does not restart the step's settling time.
        if (m_firstConfirmedAt < 0)
            m_firstConfirmedAt = now;
        // The confirmation itself read the set point back.
        m_readBackOk = true;
        startJudge(&out);
    } else if (m_tries < kSetPointTries) {
        ++m_tries;
        add(Kind::SendSetPoint, &out);
    } else {
        addPause(SetPointRefused, now, &out);
    }
    return out;
}

CalibrationSequencer::Commands CalibrationSequencer::stability(qint64 now, bool stable)
{
    Commands out;
    advance(now, &out);
    // The judge goes on watching while the run waits for the operator after an instrument's fault.
    const bool watching = !isPaused() || (m_pause == InstrumentFault && m_judgeRunning);
    if (!watching || !judging())
        return out;
    if (m_phase == Phase::WaitingForReading) {
        if (!stable && m_judgeStable && !m_readings.isEmpty())
            add(Kind::ReadingsRestarted, &out);
        m_judgeStable = stable;
        if (!stable)
            restartReadings(now);
        advance(now, &out);
        return out;
    }
    m_judgeStable = stable;
    if (!stable && m_phase == Phase::Dwelling)
        m_phase = Phase::Settling;
    else if (stable && m_phase == Phase::Settling && m_readBackOk)
        enterDwell(now);
    advance(now, &out);
    return out;
}

CalibrationSequencer::Commands CalibrationSequencer::linkLost(qint64 now)
{
    return pausedFor(LinkLost, now);
}

CalibrationSequencer::Commands CalibrationSequencer::linkBack(qint64 now)
{
    return resumedFrom(LinkLost, now);
}

CalibrationSequencer::Commands CalibrationSequencer::silent(qint64 now)
{
    return pausedFor(NoAnswer, now);
}

CalibrationSequencer::Commands CalibrationSequencer::answering(qint64 now)
{
    return resumedFrom(NoAnswer, now);
}

CalibrationSequencer::Commands CalibrationSequencer::controllerUnconfirmed(qint64 now)
{
    return pausedFor(ControllerUnconfirmed, now);
}

CalibrationSequencer::Commands CalibrationSequencer::controllerConfirmed()
{
    return resumedFrom(ControllerUnconfirmed, -1);
}

CalibrationSequencer::Commands CalibrationSequencer::pause(qint64 now)
{
    return pausedFor(OperatorPause, now);
}

CalibrationSequencer::Commands CalibrationSequencer::resume(qint64 now)
{
    return resumedFrom(OperatorPause | SetPointRefused | ControllerUnconfirmed | InstrumentFault, now);
}

CalibrationSequencer::Commands CalibrationSequencer::skip(qint64 now)
{
    Commands out;
    advance(now, &out);
    if (!isRunning())
        return out;
    const bool wasPaused = isPaused();
    // The refusal belonged to the skipped step's set point.
    m_pause &= ~SetPointRefused;
    endStep(Outcome::Skipped, &out);
    if (wasPaused && !isPaused() && !isOver())
        add(Kind::Resumed, &out);
    nextStep(&out);
    return out;
}

CalibrationSequencer::Commands CalibrationSequencer::abort(qint64 now)
{
    Commands out;
    advance(now, &out);
    if (!isRunning())
        return out;
    stopJudge(&out);
    if (m_outageStart >= 0)
        m_outages.append({m_outageStart, now - m_outageStart});
    m_outageStart = -1;
    if (m_stepStarted) {
        addRow(Outcome::Aborted, m_index);
        CalibrationStepResult &result = m_results.last();
        result.taken = m_taken;
        if (m_phase == Phase::Dwelling || m_phase == Phase::WaitingForReading) {
            result.stable = true;
            result.stableAtMs = m_stableAt;
            result.settleMs = m_stableAt - m_firstConfirmedAt;
            result.dwell = m_dwell;
            result.readings = m_readings;
            result.taken = m_taken;
            result.readingsSkipped = m_readingsSkipped;
        }
        add(Kind::MarkStepEnd, &out);
    } else {
        addRow(Outcome::NotReached, m_index);
    }
    for (int i = m_index + 1; i < m_steps.size(); ++i)
        addRow(Outcome::NotReached, i);
    m_phase = Phase::Aborted;
    add(Kind::Aborted, &out);
    return out;
}

bool CalibrationSequencer::acceptsTypedReading() const
{
    return m_phase == Phase::WaitingForReading && (!readsInstrument() || (m_pause & InstrumentFault));
}

CalibrationSequencer::Commands CalibrationSequencer::readingEntered(
    qint64 now, double celsius, const TakenReading &as)
{
    Commands out;
    advance(now, &out);
    if (!acceptsTypedReading())
        return out;
    m_readings.append(celsius);
    m_taken.append(as);
    m_taken.last().value = celsius;
    m_taken.last().fault.clear();
    if (!readsInstrument()) {
        askReading(&out);
        return out;
    }
    // In place of the one the instrument did not give; the rest are the instrument's again.
    askInstrumentAgain(now, &out);
    return out;
}

CalibrationSequencer::Commands CalibrationSequencer::readingSkipped(qint64 now)
{
    Commands out;
    advance(now, &out);
    if (!acceptsTypedReading())
        return out;
    ++m_readingsSkipped;
    if (!readsInstrument()) {
        askReading(&out);
        return out;
    }
    askInstrumentAgain(now, &out);
    return out;
}

void CalibrationSequencer::askInstrumentAgain(qint64 now, Commands *out)
{
    m_requestOut = false;
    m_nextReadingAt = now;
    removePause(InstrumentFault, now, out);
}

CalibrationSequencer::Commands CalibrationSequencer::instrumentAnswer(
    qint64 now, const TakenReading &answer, bool pausesRun)
{
    Commands out;
    advance(now, &out);
    // An answer to a request made before the readings started again belongs to none of them.
    if (!readsInstrument() || m_phase != Phase::WaitingForReading || !m_requestOut || isPaused())
        return out;
    m_requestOut = false;
    if (m_requestedAt < m_readingsSince) {
        advance(now, &out);
        return out;
    }
    m_taken.append(answer);
    m_nextReadingAt = m_requestedAt + m_intervalMs;
    if (!answer.isReading()) {
        if (pausesRun) {
            m_lastFault = answer;
            addPause(InstrumentFault, now, &out);
            add(Kind::AskReading, &out);
            out.last().reading = m_readings.size() + m_readingsSkipped;
            out.last().readings = m_readingsPerStep;
        }
        advance(now, &out);
        return out;
    }
    m_readings.append(answer.value);
    advance(now, &out);
    return out;
}

qint64 CalibrationSequencer::nextReadingDue() const
{
    if (!readsInstrument() || m_phase != Phase::WaitingForReading || isPaused() || m_requestOut
        || !m_judgeStable)
        return -1;
    return m_nextReadingAt;
}

void CalibrationSequencer::restartReadings(qint64 now)
{
    if (!readsInstrument()) {
        m_taken.clear();
        return;
    }
    m_readings.clear();
    m_readingsSkipped = 0;
    // What came instead of a reading stays on record; the readings themselves are taken again.
    m_taken.erase(
        std::remove_if(m_taken.begin(), m_taken.end(), [](const TakenReading &t) { return t.isReading(); }),
        m_taken.end());
    m_readingsSince = now + 1;
    m_nextReadingAt = now;
}

void CalibrationSequencer::requestReading(qint64 now, Commands *out)
{
    if (!readsInstrument() || m_phase != Phase::WaitingForReading || isPaused() || m_requestOut
        || !m_judgeStable || !m_readBackOk || now < m_nextReadingAt)
        return;
    m_requestOut = true;
    m_requestedAt = now;
    add(Kind::TakeReading, out);
    out->last().reading = m_readings.size() + m_readingsSkipped;
    out->last().readings = m_readingsPerStep;
}

void CalibrationSequencer::askReading(Commands *out)
{
    const int asked = m_readings.size() + m_readingsSkipped;
    if (asked < m_readingsPerStep) {
        add(Kind::AskReading, out);
        out->last().reading = asked;
        out->last().readings = m_readingsPerStep;
        return;
    }
    endStep(Outcome::Done, out);
    nextStep(out);
}

void CalibrationSequencer::advance(qint64 now, Commands *out)
{
    if (!isPaused() && readsInstrument() && m_phase == Phase::WaitingForReading) {
        if (m_readings.size() + m_readingsSkipped >= m_readingsPerStep) {
            endStep(Outcome::Done, out);
            nextStep(out);
        } else {
            requestReading(now, out);
        }
        return;
    }
    if (isPaused() || m_phase != Phase::Dwelling || now < m_stableAt + dwellMs(m_index))
        return;
    // Readings lost on the line would leave statistics that look complete and are not.
    if (m_dwell.count() < readingsNeeded(dwellMs(m_index))) {
        enterDwell(now);
        add(Kind::DwellRestarted, out);
        return;
    }
    if (current().askReading && readsInstrument()) {
        // The judge goes on watching the source while the instrument is read.
        m_phase = Phase::WaitingForReading;
        m_requestOut = false;
        restartReadings(now);
        m_readingsSince = now;
        requestReading(now, out);
    } else if (current().askReading) {
        stopJudge(out);
        m_phase = Phase::WaitingForReading;
        askReading(out);
    } else {
        endStep(Outcome::Done, out);
        nextStep(out);
    }
}

void CalibrationSequencer::sendSetPoint(Commands *out)
{
    if (!m_stepStarted) {
        m_stepStarted = true;
        m_firstConfirmedAt = -1;
        add(Kind::MarkStepStart, out);
    }
    m_phase = Phase::Setting;
    m_tries = 1;
    m_dwell.clear();
    m_readings.clear();
    m_readingsSkipped = 0;
    // A step sent again keeps on record what its instrument gave instead of readings.
    restartReadings(0);
    m_requestOut = false;
    add(Kind::SendSetPoint, out);
}

void CalibrationSequencer::enterDwell(qint64 now)
{
    m_phase = Phase::Dwelling;
    m_stableAt = now;
    m_dwell.clear();
}

void CalibrationSequencer::addRow(Outcome outcome, int step)
{
    CalibrationStepResult result;
    result.step = step;
    result.setPoint = sentSetPoint(step);
    result.outcome = outcome;
    result.ambientC = m_typedAmbient;
    m_results.append(result);
}

void CalibrationSequencer::endStep(Outcome outcome, Commands *out)
{
    stopJudge(out);
    addRow(outcome, m_index);
    if (outcome == Outcome::Done) {
        CalibrationStepResult &result = m_results.last();
        result.stable = true;
        result.stableAtMs = m_stableAt;
        result.settleMs = m_stableAt - m_firstConfirmedAt;
        result.dwell = m_dwell;
        result.readings = m_readings;
        result.taken = m_taken;
        result.readingsSkipped = m_readingsSkipped;
    }
    if (m_stepStarted)
        add(Kind::MarkStepEnd, out);

    m_readings.clear();
    m_taken.clear();
    m_readingsSkipped = 0;
    m_requestOut = false;
    m_dwell.clear();
    m_stepStarted = false;
    if (++m_index == m_steps.size()) {
        m_pause = NoPause;
        m_resendOnResume = false;
        m_phase = Phase::Finished;
        add(Kind::Finished, out);
        return;
    }
    m_phase = Phase::Setting;
}

void CalibrationSequencer::nextStep(Commands *out)
{
    // A paused run holds the next step back until it resumes.
    if (!isOver() && !isPaused())
        sendSetPoint(out);
}

void CalibrationSequencer::stopJudge(Commands *out)
{
    if (judging() && !isPaused())
        endJudge(out);
}

void CalibrationSequencer::endJudge(Commands *out)
{
    add(Kind::StopJudge, out);
    m_judge.reset();
    m_judgeRunning = false;
}

CalibrationSequencer::Commands CalibrationSequencer::pausedFor(PauseReason reason, qint64 now)
{
    Commands out;
    advance(now, &out);
    if (isRunning())
        addPause(reason, now, &out);
    return out;
}

CalibrationSequencer::Commands CalibrationSequencer::resumedFrom(int reasons, qint64 now)
{
    Commands out;
    removePause(reasons, now, &out);
    return out;
}

void CalibrationSequencer::addPause(PauseReason reason, qint64 now, Commands *out)
{
    const bool wasPaused = isPaused();
    // An instrument's fault says nothing of the source, which the judge goes on watching; any other
    // reason stops it, also behind such a fault.
    if (reason != InstrumentFault) {
        if (m_pause == InstrumentFault && m_judgeRunning)
            endJudge(out);
        else
            stopJudge(out);
    }
    if ((reason == LinkLost || reason == NoAnswer) && !(m_pause & (LinkLost | NoAnswer)))
        m_outageStart = now;
    m_pause |= reason;
    if (reason != NoAnswer && reason != InstrumentFault)
        m_resendOnResume = true;
    if (wasPaused)
        return;
    add(Kind::Paused, out);
    out->last().reason = reason;
}

void CalibrationSequencer::removePause(int reasons, qint64 now, Commands *out)
{
    if (!isRunning() || !isPaused())
        return;
    const bool heardBefore = !(m_pause & (LinkLost | NoAnswer));
    m_pause &= ~reasons;
    if (!heardBefore && !(m_pause & (LinkLost | NoAnswer)) && m_outageStart >= 0) {
        m_outages.append({m_outageStart, now - m_outageStart});
        m_outageStart = -1;
    }
    if (isPaused())
        return;
    add(Kind::Resumed, out);
    const bool resend = m_resendOnResume;
    m_resendOnResume = false;
    if (m_phase == Phase::WaitingForReading && readsInstrument() && !resend && m_judgeRunning) {
        // Only the instrument failed: the readings go on, at once, if the source stayed in its band.
        // The judge went on watching: stability() kept m_judgeStable and dropped readings as it must.
        m_requestOut = false;
        m_nextReadingAt = now;
        advance(now, out);
        return;
    }
    if (m_phase == Phase::WaitingForReading && !readsInstrument())
        return;
    if (resend || m_phase == Phase::Setting)
        sendSetPoint(out);
    else
        startJudge(out);
}

void CalibrationSequencer::startJudge(Commands *out)
{
    m_phase = Phase::Settling;
    m_judgeStable = false;
    m_dwell.clear();
    m_judge.reset();
    m_judge.setLimits(current().band, windowMs(m_index));
    m_judgeRunning = true;
    add(Kind::StartJudge, out);
    out->last().band = current().band;
    out->last().windowMs = windowMs(m_index);
}

CalibrationSequencer::Progress CalibrationSequencer::progress(qint64 now) const
{
    Progress p;
    p.phase = m_phase;
    p.pauseReasons = m_pause;
    p.step = m_index;
    p.stepCount = m_steps.size();
    if (isOver() || m_steps.isEmpty())
        return p;
    p.readingsTaken = m_dwell.count();
    p.readingsNeeded = readingsNeeded(dwellMs(m_index));
    if (m_phase == Phase::WaitingForReading) {
        p.instrumentTaken = m_readings.size() + m_readingsSkipped;
        p.instrumentNeeded = m_readingsPerStep;
    }
    for (int i = m_index + 1; i < m_steps.size(); ++i)
        p.remainingMs += windowMs(i) + dwellMs(i);
    if (m_phase == Phase::Idle) {
        p.remainingMs += windowMs(0) + dwellMs(0);
        return p;
    }
    const qint64 dwellLeft = qMax<qint64>(0, m_stableAt + dwellMs(m_index) - now);
    if (m_phase == Phase::Dwelling)
        p.dwellLeftMs = dwellLeft;
    if (m_phase == Phase::WaitingForReading)
        return p;
    // A paused step starts over when it resumes.
    if (isPaused() || m_phase == Phase::Setting)
        p.remainingMs += windowMs(m_index) + dwellMs(m_index);
    else if (m_phase == Phase::Settling)
        p.remainingMs += qMax<qint64>(0, m_confirmedAt + windowMs(m_index) - now) + dwellMs(m_index);
    else
        p.remainingMs += dwellLeft;
    return p;
}
