#include "station.h"

#include "control/blackbodymodel.h"
#include "recording/curverecorder.h"
#include "recording/journalwriter.h"
#include "settings/chartsettings.h"
#include "settings/lastfolders.h"
#include "settings/settings.h"
#include "settings/stabilitylimits.h"
#include "station/auditrecorder.h"
#include "station/calibrationreporter.h"
#include "station/calibrationrunner.h"
#include "station/thermometerlink.h"
#include "station/uutlink.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>

Station::Station(QObject *parent)
    : QObject(parent)
    , m_audit(std::make_unique<AuditRecorder>())
    , m_link(std::make_unique<BlackbodyLink>())
    , m_thermometer(std::make_unique<ThermometerLink>())
    , m_recorder(std::make_unique<CurveRecorder>())
    , m_reporter(std::make_unique<CalibrationReporter>(m_recorder.get()))
    , m_instrument(std::make_unique<UutLink>())
    , m_runner(std::make_unique<CalibrationRunner>(m_link.get(), m_recorder.get(), m_reporter.get()))
{
    m_runner->setInstrumentLink(m_instrument.get());
    m_runner->setAudit(m_audit.get());
    m_reporter->setAudit(m_audit.get());
    connect(&appSettings, &Settings::valueChanged, m_audit.get(), &AuditRecorder::settingChanged);
    connect(m_recorder.get(), &CurveRecorder::recordingChanged, m_audit.get(), &AuditRecorder::recording);
    BlackbodyLink *blackbody = m_link.get();
    CurveRecorder *recording = m_recorder.get();
    // The recording hears the link first: what it holds is what every door shows.
    connect(blackbody, &BlackbodyLink::reading, recording, [recording](double current, double set) {
        recording->setReading(current);
        recording->setSetPoint(set);
    });
    connect(blackbody, &BlackbodyLink::unconfirmedReading, recording,
        [recording] { recording->setReading(CurveRecorder::NoReading); });
    connect(blackbody, &BlackbodyLink::noReading, recording,
        [recording] { recording->setReading(CurveRecorder::NoReading); });
    connect(blackbody, &BlackbodyLink::opened, recording,
        [this] { m_recorder->setModelName(m_link->model().name); });
    connect(m_thermometer.get(), &ThermometerLink::ambient, this, [this](double celsius) {
        m_recorder->setAmbientReading(celsius);
        m_runner->ambient(celsius);
    });
    connect(m_thermometer.get(), &ThermometerLink::noAmbient, recording,
        [recording] { recording->setAmbientReading(CurveRecorder::NoReading); });
    // A recording cannot go on without readings, unless a run held back from another controller keeps it.
    connect(blackbody, &BlackbodyLink::closed, this, [this](BlackbodyLink::CloseCause cause, bool ok) {
        const bool keepRun = cause == BlackbodyLink::CloseCause::ControllerRefused && m_runner->isRunning();
        if (ok && !keepRun)
            m_recorder->stop();
    });
    connect(blackbody, &BlackbodyLink::stabilityChanged, this, &Station::recountStability);
    connect(m_runner.get(), &CalibrationRunner::judgeChanged, this, &Station::recountStability);
    applyStabilityLimits();
    applyChartSettings();
    m_recorder->setJournalFolder(recordingsFolder());
}

Station::~Station()
{
    // The thermometer's poll reads through its worker; the runner listens to the link.
    m_thermometer.reset();
    m_runner.reset();
    m_instrument.reset();
    m_link.reset();
}

LinkSituation Station::situation() const
{
    LinkSituation s;
    s.link = m_link->state();
    s.portOpen = m_link->isPortOpen();
    s.controllerSuspect = m_link->controllerSuspect();
    s.run = m_runner->phase();
    s.recording = m_recorder->isRecording();
    s.unsavedCurve = m_recorder->hasUnsavedCurve();
    return s;
}

LinkPolicy::Refusal Station::requestSetPoint(
    double celsius, Requester requester, const QString &origin, quint64 *id)
{
    const LinkPolicy::Refusal refusal = LinkPolicy::setPoint(situation(), requester);
    if (refusal != LinkPolicy::Refusal::None)
        return refusal;
    const quint64 request = m_link->requestSetPoint(celsius, requester, origin);
    m_audit->setPoint(celsius, requester, origin);
    if (id)
        *id = request;
    return refusal;
}

const StabilityJudge &Station::countedJudge() const
{
    return LinkPolicy::stabilityJudge(situation()) == LinkPolicy::Judge::Run ? m_runner->judge()
                                                                             : m_link->stability();
}

Station::Stability Station::stability() const
{
    const StabilityJudge &judge = countedJudge();
    const bool stable = judge.state() == StabilityJudge::State::Stable;
    return {stable, stable ? judge.stableSince() : 0};
}

void Station::recountStability()
{
    const bool stable = stability().stable;
    if (stable == m_stable)
        return;
    m_stable = stable;
    // Reaching stability is marked on the recording, for the chart and the certificate's picture.
    if (stable)
        m_recorder->markStable();
    emit stabilityChanged(stable);
}

void Station::vouchForController()
{
    if (m_link->isAskingIdentity() || m_link->controllerSuspect())
        m_link->answerIdentity(true);
}

LinkPolicy::Refusal Station::startRecording()
{
    const LinkPolicy::Refusal refusal = LinkPolicy::startRecording(situation());
    if (refusal == LinkPolicy::Refusal::None)
        m_recorder->start();
    return refusal;
}

LinkPolicy::Refusal Station::stopRecording()
{
    const LinkPolicy::Refusal refusal = LinkPolicy::stopRecording(situation());
    if (refusal == LinkPolicy::Refusal::None)
        m_recorder->stop();
    return refusal;
}

LinkPolicy::Refusal Station::saveCurve(const QString &fileName, SaveResult *result)
{
    const LinkPolicy::Refusal refusal = LinkPolicy::keepOrDropCurve(situation());
    if (refusal == LinkPolicy::Refusal::None)
        *result = m_recorder->save(fileName, QCoreApplication::applicationName());
    return refusal;
}

LinkPolicy::Refusal Station::dropCurve()
{
    const LinkPolicy::Refusal refusal = LinkPolicy::keepOrDropCurve(situation());
    if (refusal == LinkPolicy::Refusal::None)
        m_recorder->drop();
    return refusal;
}

QString Station::keepRecording()
{
    m_recorder->stop();
    if (!m_recorder->hasUnsavedCurve())
        return QString();
    // Its journal holds it whole: the next start offers it.
    const JournalWriter *journal = m_recorder->journal();
    if (journal && journal->error().isEmpty())
        return journal->path();
    return saveRecordingBeside();
}

QString Station::saveRecordingBeside()
{
    const QDir folder(recordingsFolder());
    if (!folder.mkpath(QStringLiteral(".")))
        return QString();
    const QString path = folder.filePath(LastFolders::curveName(
        QDateTime::fromMSecsSinceEpoch(m_recorder->info().startMsecs), QStringLiteral("txt")));
    return m_recorder->save(path, QCoreApplication::applicationName()) ? path : QString();
}

QString Station::recordingsFolder()
{
    return CalibrationReporter::journalFolder() + QStringLiteral("/recordings");
}

QVector<RecordingJournal::Found> Station::unsavedRecordings()
{
    return RecordingJournal::pending(recordingsFolder());
}

bool Station::recoverRecording(const QString &journal, QString *error)
{
    if (m_recorder->isRecording() || m_recorder->hasUnsavedCurve()) {
        *error = QCoreApplication::translate("Station", "当前曲线尚未保存");
        return false;
    }
    return m_recorder->adopt(journal, error);
}

bool Station::dropRecording(const QString &journal)
{
    return !RecordingJournal::inUse(journal) && QFile::remove(journal);
}

void Station::applyStabilityLimits()
{
    const StabilityLimits limits = storedStabilityLimits(appSettings);
    m_link->setStabilityLimits(limits.band, qint64(limits.windowSeconds) * 1000);
}

void Station::applyChartSettings()
{
    const ChartSettings chart = readChartSettings(appSettings);
    m_recorder->setCacheSize(chart.cacheSize);
    m_recorder->setSampleInterval(chart.sampleIntervalMs);
}
