#include "calibrationrunner.h"

#include "control/blackbodymodel.h"
#include "control/blackbodyprotocol.h"
#include "control/calibrationreport.h"
#include "recording/curverecorder.h"
#include "recording/samplestore.h"
#include "recording/writefilethread.h"
#include "settings/lastfolders.h"
#include "settings/recordestimate.h"
#include "settings/settings.h"
#include "settings/uutdriverfolders.h"
#include "station/asker.h"
#include "station/auditrecorder.h"
#include "station/calibrationcertificate.h"
#include "station/calibrationreporter.h"
#include "station/runstart.h"
#include "station/uutlink.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cmath>

using Command = CalibrationSequencer::Command;
using Obstacle = CalibrationStart::Obstacle;
using Phase = CalibrationSequencer::Phase;

namespace {

// Wide enough for any instrument under test, from a cold source to the hottest model.
constexpr double kLowestReading = -273.15;
constexpr double kHighestReading = 3000;
constexpr int kReadingDecimals = 3;
// The longest wait for the instrument's link to connect before a run: its init list and a reconnection.
constexpr int kConnectWaitMs = 10000;

// A reply that is no reading, as the run keeps it: the pattern's meaning, or why none came.
QString faultText(const UutReading &reading)
{
    if (!reading.meaning.isEmpty())
        return reading.meaning;
    switch (reading.kind) {
    case UutReading::Kind::Timeout:
        return QStringLiteral("no reply");
    case UutReading::Kind::Garbage:
        return QStringLiteral("unreadable reply");
    case UutReading::Kind::Lost:
        return QStringLiteral("link lost");
    case UutReading::Kind::Error:
        return QStringLiteral("error reply");
    case UutReading::Kind::Value:
        break;
    }
    return QString();
}

} // namespace

CalibrationRunner::CalibrationRunner(
    BlackbodyLink *link, CurveRecorder *recorder, CalibrationReporter *reporter, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_recorder(recorder)
    , m_reporter(reporter)
{
    connect(link, &BlackbodyLink::reading, this, &CalibrationRunner::reading);
    connect(link, &BlackbodyLink::setPointOutcome, this, &CalibrationRunner::setPointOutcome);
    connect(link, &BlackbodyLink::ticked, this, &CalibrationRunner::tick);
    connect(link, &BlackbodyLink::lost, this, [this] { interrupted(&CalibrationSequencer::linkLost); });
    connect(link, &BlackbodyLink::closed, this, &CalibrationRunner::closed);
    connect(link, &BlackbodyLink::silent, this, [this] { interrupted(&CalibrationSequencer::silent); });
    connect(link, &BlackbodyLink::controllerUnconfirmed, this,
        [this] { interrupted(&CalibrationSequencer::controllerUnconfirmed); });
    connect(link, &BlackbodyLink::controllerAccepted, this, &CalibrationRunner::controllerConfirmed);
    // Heard before the window's box, which then stays away.
    connect(link, &BlackbodyLink::identityQuestion, this, &CalibrationRunner::identityQuestion);
}

CalibrationRunner::~CalibrationRunner() = default;

void CalibrationRunner::setInstrumentLink(UutLink *link)
{
    m_instrument = link;
    connect(link, &UutLink::answered, this, &CalibrationRunner::instrumentAnswered);
    m_readingTimer = new QTimer(this);
    m_readingTimer->setSingleShot(true);
    // Readings 0.2 s apart want the interval kept to a few milliseconds.
    m_readingTimer->setTimerType(Qt::PreciseTimer);
    connect(m_readingTimer, &QTimer::timeout, this, &CalibrationRunner::tick);
}

QString CalibrationRunner::instrumentFault(bool withReply) const
{
    if (!isRunning() || !(m_run->progress(now()).pauseReasons & CalibrationSequencer::InstrumentFault))
        return QString();
    const TakenReading &fault = m_run->lastFault();
    return fault.raw.isEmpty() || !withReply
        ? fault.fault
        : fault.fault + QStringLiteral(" (") + fault.raw + QLatin1Char(')');
}

void CalibrationRunner::prepareInstrument(
    const CalibrationRun &run, CalibrationStart::Situation *situation, QString *instrumentName)
{
    using Instrument = CalibrationStart::Instrument;
    const auto unavailable = [situation](const QString &why) {
        situation->instrument = Instrument::Unavailable;
        situation->instrumentDetail = why;
    };
    if (!m_instrument)
        return unavailable(tr("本程序没有被测仪器的连接"));
    const QString path = findUutDriver(run.readings.driver);
    if (path.isEmpty())
        return unavailable(tr("找不到驱动文件 %1").arg(run.readings.driver));
    const UutDriverRead read = loadUutDriver(path);
    if (!read.driver)
        return unavailable(read.error);
    const UutDriver &driver = *read.driver;
    *instrumentName = driver.name;
    const bool same = m_instrument->driver() && m_instrument->port() == run.readings.port
        && m_instrument->driver()->name == driver.name;
    if (!same || m_instrument->state() == UutLink::State::Closed) {
        m_instrument->close();
        m_instrument->open(driver, run.readings.port);
    }
    QString openError;
    if (m_instrument->state() != UutLink::State::Connected) {
        QEventLoop loop;
        QTimer::singleShot(kConnectWaitMs, &loop, &QEventLoop::quit);
        connect(m_instrument, &UutLink::stateChanged, &loop, [&loop](UutLink::State state) {
            if (state != UutLink::State::Connecting)
                loop.quit();
        });
        connect(m_instrument, &UutLink::openFailed, &loop, [&loop, &openError](const QString &reason) {
            openError = reason;
            loop.quit();
        });
        loop.exec();
    }
    if (m_instrument->state() != UutLink::State::Connected)
        return unavailable(openError.isEmpty() ? tr("端口 %1 上的仪器无应答").arg(run.readings.port)
                                               : tr("无法打开端口 %1：%2").arg(run.readings.port, openError));

    CalibrationStart::Emissivity e;
    e.canSet = driver.canSetEmissivity();
    e.canQuery = driver.canQueryEmissivity();
    e.wanted = run.emissivity;
    e.tolerance = driver.emissivityTolerance;
    e.vouched = run.readings.emissivityConfirmed;
    // Each exchange may take every retry, and the wait between commands before it.
    const int exchangeMs = (driver.replyTimeoutMs + driver.waitBetweenMs) * (driver.retries + 1) + 2000;
    if (e.canSet) {
        const UutReading set = exchange(m_instrument->setEmissivity(run.emissivity), exchangeMs);
        if (set.kind != UutReading::Kind::Value)
            return unavailable(tr("无法设置发射率：%1").arg(faultText(set)));
        e.readBack = set.value;
    }
    if (e.canQuery) {
        const UutReading query = exchange(m_instrument->queryEmissivity(), exchangeMs);
        e.readBack.reset();
        if (query.kind == UutReading::Kind::Value)
            e.readBack = query.value;
        else
            situation->instrumentDetail = tr("读取发射率没有结果：%1").arg(faultText(query));
    }
    situation->instrument = Instrument::Ready;
    situation->emissivity = CalibrationStart::emissivity(e);
    if (e.readBack)
        situation->instrumentDetail = tr("%1 读回发射率 %2，校准程序为 %3（容差 %4）")
                                          .arg(driver.name, QString::number(*e.readBack, 'f', 3),
                                              QString::number(run.emissivity, 'f', 3),
                                              QString::number(driver.emissivityTolerance, 'g', 3));
    else if (situation->instrumentDetail.isEmpty())
        situation->instrumentDetail = driver.name;
}

UutReading CalibrationRunner::exchange(int token, int ms)
{
    UutReading reply;
    reply.meaning = QStringLiteral("no reply");
    bool answered = false;
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    connect(m_instrument, &UutLink::answered, &loop, [&](int t, const UutReading &reading) {
        if (t != token)
            return;
        reply = reading;
        answered = true;
        loop.quit();
    });
    // A closed link answers at once, before the loop would run.
    if (!answered)
        loop.exec();
    return reply;
}

void CalibrationRunner::instrumentAnswered(int token, const UutReading &reading)
{
    if (token != m_readingToken || !isRunning())
        return;
    m_readingToken = 0;
    TakenReading taken;
    taken.source = TakenReading::Source::Driver;
    taken.raw = reading.raw;
    taken.utc = reading.utc.isValid() ? reading.utc.toUTC() : QDateTime::currentDateTimeUtc();
    if (reading.kind == UutReading::Kind::Value) {
        taken.value = reading.value;
        if (m_audit)
            m_audit->reading(taken.source, m_run->progress(now()).step, reading.raw, reading.value);
    } else
        taken.fault = faultText(reading);
    // A lost link cannot answer the next request either.
    const bool pauses = reading.kind != UutReading::Kind::Value
        && (reading.pausesRun || reading.kind != UutReading::Kind::Error);
    apply(m_run->instrumentAnswer(now(), taken, pauses));
    emit progressShown();
}

void CalibrationRunner::scheduleReading()
{
    if (!m_readingTimer)
        return;
    const qint64 due = isRunning() ? m_run->nextReadingDue() : -1;
    if (due < 0) {
        m_readingTimer->stop();
        return;
    }
    m_readingTimer->start(int(qBound<qint64>(0, due - now(), 60000)));
}

qint64 CalibrationRunner::now() const
{
    return m_link->clock().elapsed();
}

RunPhase CalibrationRunner::phase() const
{
    if (!isRunning())
        return RunPhase::None;
    return isPaused() ? RunPhase::Paused : RunPhase::Running;
}

CalibrationStart::Situation CalibrationRunner::startSituation(
    const CalibrationRun &run, const LinkSituation &link) const
{
    CalibrationStart::Situation s;
    s.link = link;
    s.link.run = phase();
    s.controllerConfirmed = m_link->controllerConfirmed();
    const BlackbodyModel &model = m_link->model();
    s.fitsModel = !run.checkModel(model.minimum, model.maximum, model.decimals).isError();
    s.reportFolderWritable = !CalibrationReporter::storedFolder().isEmpty();
    s.labKnown = LabSettings::read(appSettings).isKnown();
    s.chartHoldsMs = qint64(m_recorder->cacheSize() - 1) * m_recorder->sampleInterval();
    s.runNeedsMs = RunStart::leastDurationMs(run);
    s.sourceOverdue = CalibrationCertificate::sourceOverdue(run, QDate::currentDate());
    s.certificateComplete
        = CertificateCompleteness::missing(run, LabSettings::read(appSettings).name).isEmpty();
    return s;
}

CalibrationRunner::StartResult CalibrationRunner::start(const CalibrationRun &run, const QString &runFile,
    bool runModified, const LinkSituation &link, Asker *asker)
{
    StartResult result;
    CalibrationStart::Situation situation = startSituation(run, link);
    if (m_preparing)
        situation.link.run = RunPhase::Running;
    const QVector<Obstacle> before = CalibrationStart::obstacles(situation);
    QString instrumentName;
    // The instrument is talked to only when nothing final stands in the way: a run in progress may be
    // reading it.
    if (run.readings.from == ReadingsSource::From::Driver
        && std::none_of(before.begin(), before.end(), &CalibrationStart::isFinal)) {
        m_preparing = true;
        prepareInstrument(run, &situation, &instrumentName);
        m_preparing = false;
        // The blackbody's link went on meanwhile: judge it as it is now.
        situation.link.link = m_link->state();
        situation.link.portOpen = m_link->isPortOpen();
        situation.controllerConfirmed = m_link->controllerConfirmed();
    }
    if (!RunStart::clearObstacles(run, situation, m_link->model(), m_recorder, asker, &result))
        return result;
    const BlackbodyModel &model = m_link->model();
    const CalibrationRunSetup setup {runFile, runModified, model.name, m_link->port(), model.wireScale,
        model.decimals, model.minimum, model.maximum, instrumentName};
    const StartResult begun = begin(run, setup, asker, result.testReport);
    if (!begun.started())
        return begun;
    return result;
}

CalibrationRunner::StartResult CalibrationRunner::begin(
    const CalibrationRun &run, const CalibrationRunSetup &setup, Asker *asker, bool testReport)
{
    StartResult result;
    CalibrationJournal::Header header;
    header.run = run;
    header.runFile = setup.runFile;
    header.runModified = setup.runModified;
    header.model = setup.model;
    header.port = setup.port;
    header.wireScale = setup.wireScale;
    header.instrumentName = setup.instrumentName;
    header.started = QDateTime::currentDateTime();
    header.wallAtZero = header.started.addMSecs(-now());
    const QString journals = CalibrationReporter::journalFolder();
    QString journalError;
    if (!m_record.begin(header, !testReport, journals, &result.detail, &journalError)) {
        result.failure = StartResult::Failure::NotCounted;
        return result;
    }
    if (!m_record.isWhole()
        && !asker->startWithoutJournal(QDir::toNativeSeparators(journals), journalError)) {
        m_record.leave();
        result.failure = StartResult::Failure::NoJournal;
        result.detail = journalError;
        return result;
    }
    m_asker = asker;
    m_setup = setup;
    m_heldWire.reset();
    m_latestWire.reset();
    // The run's curve is a recording of its own.
    m_recorder->stop();
    m_recorder->start();
    m_run = std::make_unique<CalibrationSequencer>(run.steps, setup.wireScale, run.readingsPerStep);
    if (run.readings.from == ReadingsSource::From::Driver)
        m_run->takeReadingsFromInstrument(std::llround(run.readings.intervalS * 1000));
    m_readingToken = 0;
    m_run->setAmbient(run.ambientC);
    ++m_runSerial;
    if (m_audit) {
        m_audit->setOperator(run.operatorName);
        m_audit->run(AuditRecorder::RunAct::Started, m_record.header().certificateNumber,
            {{QStringLiteral("runFile"), setup.runFile},
                {QStringLiteral("steps"), QString::number(run.steps.size())}});
    }
    emit runStarted();
    apply(m_run->start());
    emit stateChanged();
    emit judgeChanged();
    emit progressShown();
    return result;
}

void CalibrationRunner::reading()
{
    const auto latest = m_link->latest();
    if (!isRunning() || !latest)
        return;
    const BlackbodyPoll::Reading &reading = *latest;
    const qint64 t = now();
    m_latestWire = reading.setWire;
    if (m_run->isPaused()) {
        // A reading from our controller ends a pause for a lost link or a silence.
        apply(m_run->linkBack(t));
        apply(m_run->answering(t));
    }
    if (!m_run->isPaused())
        m_heldWire = reading.setWire;
    const StabilityJudge::State before = m_run->judge().state();
    applyJudged(m_run->judgedReading(t, reading.raw, reading.setWire, reading.accepted), before);
    emit progressShown();
}

void CalibrationRunner::applyJudged(
    const CalibrationSequencer::Commands &commands, StabilityJudge::State before)
{
    apply(commands);
    if (m_run && m_run->judge().state() != before)
        emit judgeChanged();
}

void CalibrationRunner::setPointOutcome(const SetPointRequest &request, SetPointOutcome outcome)
{
    if (!isRunning() || request.requester != Requester::Run)
        return;
    const bool confirmed = outcome == SetPointOutcome::Confirmed;
    emit note(confirmed ? Note::SetPointConfirmed : Note::SetPointNotConfirmed);
    // A set point of the run's own superseded by the next one is the sequencer's to retry.
    apply(m_run->confirmation(now(), confirmed));
    emit progressShown();
}

void CalibrationRunner::tick()
{
    if (!isRunning())
        return;
    apply(m_run->tick(now()));
    emit progressShown();
}

void CalibrationRunner::ambient(double celsius)
{
    if (isRunning())
        apply(m_run->ambient(now(), celsius));
}

void CalibrationRunner::setTypedAmbient(double celsius)
{
    if (isRunning())
        m_run->setAmbient(celsius);
}

// A run cannot go on without its source; it ends with a report of what it measured. One held back from
// another controller waits, paused, for ours, recording the gap meanwhile.
void CalibrationRunner::closed(BlackbodyLink::CloseCause cause)
{
    if (cause == BlackbodyLink::CloseCause::ControllerRefused)
        interrupted(&CalibrationSequencer::linkLost);
    else
        abort();
}

void CalibrationRunner::identityQuestion()
{
    // Nobody may be at the window: the safe answer no closes the link and keeps the run paused.
    if (isRunning() && m_asker && m_asker->isUnattended())
        m_link->answerIdentity(false);
}

void CalibrationRunner::interrupted(CalibrationSequencer::Commands (CalibrationSequencer::*event)(qint64))
{
    // Whatever answers next has yet to show it is our controller; a question about the last one is moot.
    m_latestWire.reset();
    if (m_asking && m_asker)
        m_asker->withdrawQuestions();
    m_asking = false;
    if (!isRunning())
        return;
    const StabilityJudge::State before = m_run->judge().state();
    applyJudged((m_run.get()->*event)(now()), before);
    emit progressShown();
}

void CalibrationRunner::controllerConfirmed(qint16 heldWire)
{
    if (m_asking && m_asker)
        m_asker->withdrawQuestions();
    m_asking = false;
    if (!isRunning())
        return;
    // What it holds now is what the run goes on from, and what a later resume checks against.
    m_heldWire = heldWire;
    apply(m_run->controllerConfirmed());
    emit progressShown();
}

void CalibrationRunner::pause()
{
    if (!isRunning() || m_run->isPaused())
        return;
    apply(m_run->pause(now()));
    emit progressShown();
}

CalibrationStart::Resume CalibrationRunner::resume()
{
    using Resume = CalibrationStart::Resume;
    if (!isRunning() || !m_run->isPaused())
        return Resume::Go;
    const qint16 stepWire = m_run->wire(m_run->progress(now()).step);
    const Resume verdict = CalibrationStart::resume(m_latestWire, m_heldWire, stepWire);
    switch (verdict) {
    case Resume::NoReading:
        return verdict;
    case Resume::Go:
        apply(m_run->resume(now()));
        emit progressShown();
        return verdict;
    case Resume::AskSameController:
        break;
    }
    if (m_asker->isUnattended()) {
        // The safe answer to "the same controller?": no, which closes the link and keeps the run
        // paused, as the window's 否 does.
        takeController();
        return verdict;
    }
    if (m_asking)
        return verdict;
    m_asking = true;
    const int serial = m_runSerial;
    m_asker->askSameController(
        BlackbodyProtocol::wireUnitsText(*m_heldWire, m_setup.wireScale, m_setup.decimals),
        BlackbodyProtocol::wireUnitsText(*m_latestWire, m_setup.wireScale, m_setup.decimals),
        [this, serial](bool same) {
            m_asking = false;
            // The run may have ended, or another begun, while the question was open.
            if (m_runSerial != serial || !isRunning())
                return;
            if (same && m_latestWire) {
                m_heldWire = m_latestWire;
                apply(m_run->resume(now()));
            } else if (!same) {
                takeController();
            }
            emit progressShown();
        });
    return verdict;
}

// The controller is taken for another one: the run waits, paused, for ours, and the link closes.
void CalibrationRunner::takeController()
{
    apply(m_run->controllerUnconfirmed(now()));
    m_link->answerIdentity(false);
    emit progressShown();
}

bool CalibrationRunner::acceptsReading(double celsius, int decimals)
{
    return decimals <= kReadingDecimals && celsius >= kLowestReading && celsius <= kHighestReading;
}

bool CalibrationRunner::isMoot(const ReadingQuestion &question) const
{
    return question.run != m_runSerial || question.answered != m_readingsAnswered || !isRunning()
        || !m_run->acceptsTypedReading();
}

bool CalibrationRunner::supplyReading(double celsius)
{
    // The instrument's readings are its own; a script may not stand in for them.
    if (readsInstrument())
        return false;
    return answer(readingQuestion(), celsius, TakenReading::Source::Remote);
}

bool CalibrationRunner::answerReading(const ReadingQuestion &question, double celsius)
{
    return answer(question, celsius, TakenReading::Source::Typed);
}

bool CalibrationRunner::answer(const ReadingQuestion &question, double celsius, TakenReading::Source source)
{
    if (isMoot(question))
        return false;
    ++m_readingsAnswered;
    TakenReading as;
    as.source = source;
    as.utc = QDateTime::currentDateTimeUtc();
    if (m_audit)
        m_audit->reading(source, m_run->progress(now()).step, QString::number(celsius, 'g', 12), celsius);
    apply(m_run->readingEntered(now(), celsius, as));
    emit progressShown();
    return true;
}

bool CalibrationRunner::skipReading(const ReadingQuestion &question)
{
    if (isMoot(question))
        return false;
    ++m_readingsAnswered;
    apply(m_run->readingSkipped(now()));
    emit progressShown();
    return true;
}

CalibrationRunner::RunState CalibrationRunner::runState() const
{
    if (!m_run)
        return RunState::Idle;
    switch (m_run->phase()) {
    case Phase::Idle:
        return RunState::Idle;
    case Phase::Finished:
        return RunState::Done;
    case Phase::Aborted:
        return RunState::Aborted;
    case Phase::WaitingForReading:
        return m_run->isPaused() ? RunState::Paused : RunState::Reading;
    default:
        return m_run->isPaused() ? RunState::Paused : RunState::Running;
    }
}

CalibrationSequencer::Progress CalibrationRunner::runProgress() const
{
    return m_run ? m_run->progress(now()) : CalibrationSequencer::Progress {};
}

void CalibrationRunner::skip()
{
    if (!isRunning())
        return;
    apply(m_run->skip(now()));
    emit progressShown();
}

void CalibrationRunner::abort()
{
    if (isRunning())
        apply(m_run->abort(now()));
}

void CalibrationRunner::leave()
{
    if (!isRunning())
        return;
    journalRows();
    m_record.leave();
    const QString journal = m_record.journalPath();
    m_recorder->stop();
    if (m_record.isWhole()) {
        const CurveSnapshot snapshot = m_recorder->snapshot(QCoreApplication::applicationName());
        if (snapshot.store && !snapshot.store->isEmpty()
            && WriteFileThread::writeCurveFile(CalibrationJournal::curvePath(journal), snapshot)
            && WriteFileThread::writeCsvFile(CalibrationJournal::curveCsvPath(journal), snapshot))
            m_recorder->markSaved();
    }
    if (m_asking)
        m_asker->withdrawQuestions();
    m_asking = false;
    m_asker = nullptr;
    m_run.reset();
    emit stateChanged();
    emit judgeChanged();
}

void CalibrationRunner::apply(const CalibrationSequencer::Commands &commands)
{
    applyCommands(commands);
    scheduleReading();
}

void CalibrationRunner::applyCommands(const CalibrationSequencer::Commands &commands)
{
    journalRows();
    for (const Command &command : commands) {
        switch (command.kind) {
        case Command::Kind::MarkStepStart:
            m_recorder->markStep(true);
            break;
        case Command::Kind::SendSetPoint:
            m_link->requestSetPoint(command.setPoint, Requester::Run);
            if (m_audit)
                m_audit->setPoint(command.setPoint, Requester::Run, QString());
            break;
        case Command::Kind::StartJudge:
        case Command::Kind::StopJudge:
            // The sequencer judges its readings itself.
            break;
        case Command::Kind::DwellRestarted:
            // Otherwise the countdown would start again with nobody knowing why.
            emit note(Note::DwellRestarted);
            break;
        case Command::Kind::AskReading: {
            // The dialog's own event loop would deliver readings while this loop is half done.
            const int serial = m_runSerial;
            QTimer::singleShot(0, this, [this, command, serial] {
                if (m_runSerial == serial && isRunning() && m_run->acceptsTypedReading())
                    m_asker->askReading(command.step, command.setPoint, command.reading, command.readings);
            });
            break;
        }
        case Command::Kind::MarkStepEnd:
            m_recorder->markStep(false);
            break;
        case Command::Kind::Paused:
            if (m_audit)
                m_audit->run(AuditRecorder::RunAct::Paused, m_record.header().certificateNumber,
                    {{QStringLiteral("reason"), QString::number(int(command.reason))}});
            if (command.reason == CalibrationSequencer::SetPointRefused)
                emit setPointRefusedTooOften(command.step, command.setPoint);
            emit stateChanged();
            break;
        case Command::Kind::Resumed:
            if (m_audit)
                m_audit->run(AuditRecorder::RunAct::Resumed, m_record.header().certificateNumber);
            emit stateChanged();
            break;
        case Command::Kind::TakeReading:
            m_readingToken = m_instrument ? m_instrument->requestReading() : 0;
            break;
        case Command::Kind::ReadingsRestarted:
            emit note(Note::ReadingsRestarted);
            break;
        case Command::Kind::Finished:
            finish(false);
            break;
        case Command::Kind::Aborted:
            finish(true);
            break;
        }
    }
}

void CalibrationRunner::journalRows()
{
    QString error;
    const bool whole = m_record.isWhole();
    const CalibrationJournal::Header &header = m_record.header();
    for (const CalibrationStepResult &row : m_record.take(m_run->results(), m_run->outages(), &error))
        emit stepEnded(CalibrationReport::row(header.run, row, header.wallAtZero));
    // Told once; the rows stay in memory for the report at the end.
    if (whole && !m_record.isWhole() && !error.isEmpty())
        emit journalFailed(error);
}

QVector<StepEvaluation> CalibrationRunner::stepEvaluations() const
{
    QVector<StepEvaluation> evaluations;
    for (const CalibrationStepResult &result : stepResults())
        evaluations << StepEvaluator::evaluate(m_record.header().run, result);
    return evaluations;
}

CalibrationRunner::Overall CalibrationRunner::overall() const
{
    const CalibrationRun &run = m_record.header().run;
    if (run.toleranceC <= 0 && run.tolerancePercent <= 0)
        return Overall::NoTolerance;
    bool complete = false;
    const StepEvaluation::Verdict verdict
        = StepEvaluator::overall(stepResults(), stepEvaluations(), &complete);
    if (!complete)
        return Overall::Incomplete;
    return verdict == StepEvaluation::Verdict::Pass ? Overall::Pass : Overall::Fail;
}

void CalibrationRunner::finish(bool aborted)
{
    // The curve file holds the run whole, and only the run.
    m_recorder->stop();
    if (m_asking)
        m_asker->withdrawQuestions();
    m_asking = false;
    journalRows();
    const CalibrationJournal::End end
        = aborted ? CalibrationJournal::End::Aborted : CalibrationJournal::End::Finished;
    m_record.end(end);
    if (m_audit)
        m_audit->run(aborted ? AuditRecorder::RunAct::Aborted : AuditRecorder::RunAct::Finished,
            m_record.header().certificateNumber);
    // The last step's outcome reaches the run's table before the table turns editable again.
    emit progressShown();
    emit stateChanged();
    emit judgeChanged();
    emit runEnded(aborted);
    Asker *asker = std::exchange(m_asker, nullptr);
    m_reporter->reportRun({m_record.header(), m_run->results(), m_run->outages(), end},
        m_record.journalPath(), m_record.isWhole(), asker);
    // Acts after the run and its report are nobody's run: the trail names no operator for them.
    if (m_audit)
        m_audit->setOperator(QString());
}
