#include "remotecommands.h"

#include "control/blackbodymodel.h"
#include "recording/curverecorder.h"
#include "remote/scpiclient.h"
#include "remote/scpicommon.h"
#include "remote/scpinumeric.h"
#include "remote/scpiparser.h"
#include "serial/portchoices.h"
#include "settings/labsettings.h"
#include "settings/settings.h"
#include "settings/stabilitylimits.h"
#include "station/calibrationreporter.h"
#include "station/calibrationrunner.h"
#include "station/station.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace {

enum Command {
    Idn,
    TestQuery,
    ErrorNext,
    HelpHeaders,
    Version,
    LinkState,
    LinkOpen,
    LinkClose,
    LinkConfirm,
    SetPoint,
    SetPointQuery,
    SenseData,
    MeasureTemperature,
    Fetch,
    StabilityTest,
    StabilityLimit,
    StabilityLimitQuery,
    StabilityWindow,
    StabilityWindowQuery,
    StabilityTime,
    UnitTemperature,
    RecordStart,
    RecordStop,
    RecordState,
    RecordSave,
    RecordDiscard,
    ProgramLoad,
    ProgramState,
    ProgramStateQuery,
    ProgramStep,
    ProgramReading,
    ProgramReport,
    ReportFolder,
    ReportFolderQuery,
    LabName,
    LabNameQuery,
    LabAddress,
    LabAddressQuery,
    LabPrefix,
    LabPrefixQuery,
    LabCountry,
    LabCountryQuery,
    // ScpiCommon's commands follow, in its order.
    CommonBase,
};

// In the order of Command.
const char *const kPatterns[] = {
    "*IDN?",
    "*TST?",
    "SYSTem:ERRor[:NEXT]?",
    "SYSTem:HELP:HEADers?",
    "SYSTem:VERSion?",
    "SYSTem:LINK?",
    "SYSTem:LINK:OPEN",
    "SYSTem:LINK:CLOSe",
    "SYSTem:LINK:CONFirm",
    "SOURce:SPOint",
    "SOURce:SPOint?",
    "SOURce:SENSe:DATA?",
    "MEASure:TEMPerature?",
    "FETCh?",
    "SOURce:STABility:TEST?",
    "SOURce:STABility:LIMit",
    "SOURce:STABility:LIMit?",
    "SOURce:STABility:WINDow",
    "SOURce:STABility:WINDow?",
    "SOURce:STABility:TIME?",
    "UNIT:TEMPerature?",
    "RECord:STARt",
    "RECord:STOP",
    "RECord:STATe?",
    "RECord:SAVE",
    "RECord:DISCard",
    "PROGram:LOAD",
    "PROGram:STATe",
    "PROGram:STATe?",
    "PROGram:STEP?",
    "PROGram:READing",
    "PROGram:REPort?",
    "PROGram:REPort:FOLDer",
    "PROGram:REPort:FOLDer?",
    "SYSTem:LAB:NAME",
    "SYSTem:LAB:NAME?",
    "SYSTem:LAB:ADDRess",
    "SYSTem:LAB:ADDRess?",
    "SYSTem:LAB:PREFix",
    "SYSTem:LAB:PREFix?",
    "SYSTem:LAB:COUNtry",
    "SYSTem:LAB:COUNtry?",
};
static_assert(std::size(kPatterns) == CommonBase, "one pattern per command");

constexpr int kNumber = int(ScpiParameter::Kind::Number);
constexpr int kString = int(ScpiParameter::Kind::String);
constexpr int kWord = int(ScpiParameter::Kind::Word);
// A string or a word: "VBM100" and VBM100 name the same model.
constexpr int kText = -1;
// A number or a word: 45, 45CEL, MAX.
constexpr int kAny = -2;

bool changes(int command)
{
    switch (command) {
    case SetPoint:
    case StabilityLimit:
    case StabilityWindow:
    case LinkOpen:
    case LinkClose:
    case LinkConfirm:
    case RecordStart:
    case RecordStop:
    case RecordSave:
    case RecordDiscard:
    case ProgramLoad:
    case ProgramState:
    case ProgramReading:
    case ReportFolder:
    case LabName:
    case LabAddress:
    case LabPrefix:
    case LabCountry:
        return true;
    default:
        return false;
    }
}

// The commands that take parameters check them themselves.
bool takesParameters(int command)
{
    switch (command) {
    case LinkOpen:
    case SetPoint:
    case SetPointQuery:
    case StabilityLimitQuery:
    case StabilityWindowQuery:
    case StabilityLimit:
    case StabilityWindow:
    case RecordSave:
    case ProgramLoad:
    case ProgramState:
    case ProgramReading:
    case ReportFolder:
    case LabName:
    case LabAddress:
    case LabPrefix:
    case LabCountry:
        return true;
    default:
        return false;
    }
}

constexpr qint64 kMaxProgramBytes = 1 << 20;

// SCPI's not-a-number, for a reading there is none of.
const QByteArray kNotANumber = QByteArrayLiteral("9.91E37");

QByteArray quoted(const QString &text)
{
    return '"' + QString(text).replace(QLatin1Char('"'), QLatin1String("\"\"")).toUtf8() + '"';
}

void conflict(ScpiClient &client, const QString &why)
{
    client.errors().push(-221, QStringLiteral("Settings conflict;") + why);
}

// Where a refused program is wrong, so a script's author need not open the file in the window to find
// out: the field is spelled as in the file.
QString whereWrong(const CalibrationRunError &error)
{
    if (error.kind == CalibrationRunError::Kind::Syntax)
        return QStringLiteral(" (line %1, column %2)").arg(error.line).arg(error.column);
    QStringList where;
    if (error.step > 0)
        where << QStringLiteral("step %1").arg(error.step);
    if (!error.field.isEmpty())
        where << error.field;
    return where.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(where.join(QStringLiteral(", ")));
}

} // namespace

QStringList RemoteCommands::patterns()
{
    QStringList list;
    for (const char *pattern : kPatterns)
        list << QString::fromLatin1(pattern);
    return list + ScpiCommon::patterns();
}

QString RemoteCommands::conflictReason(LinkPolicy::Refusal refusal)
{
    return LinkPolicy::reasonWord(refusal);
}

QString RemoteCommands::conflictReason(CalibrationStart::Obstacle obstacle)
{
    using Obstacle = CalibrationStart::Obstacle;
    switch (obstacle) {
    case Obstacle::RunInProgress:
        return QStringLiteral("run in progress");
    case Obstacle::LinkNotOpen:
        return QStringLiteral("link not open");
    case Obstacle::ControllerUnconfirmed:
        return QStringLiteral("controller unconfirmed");
    case Obstacle::OutsideModel:
        return QStringLiteral("program outside the model's range");
    case Obstacle::NoReportFolder:
        return QStringLiteral("no report folder");
    case Obstacle::LabUnknown:
        return QStringLiteral("lab unknown");
    case Obstacle::UnsavedCurve:
        return QStringLiteral("unsaved curve");
    case Obstacle::ChartTooSmall:
        return QStringLiteral("chart capacity too small");
    case Obstacle::SourceOverdue:
        return QStringLiteral("source calibration overdue");
    case Obstacle::CertificateIncomplete:
        return QStringLiteral("certificate incomplete");
    case Obstacle::InstrumentUnavailable:
        return QStringLiteral("instrument not available");
    case Obstacle::EmissivityMismatch:
        return QStringLiteral("instrument emissivity mismatch");
    case Obstacle::EmissivityUnconfirmed:
        return QStringLiteral("instrument emissivity unconfirmed");
    }
    return QString();
}

std::optional<QPair<int, QString>> RemoteCommands::outcomeError(SetPointOutcome outcome)
{
    switch (outcome) {
    case SetPointOutcome::Confirmed:
        break;
    case SetPointOutcome::Refused:
        return qMakePair(-200, QStringLiteral("Execution error;set point refused"));
    case SetPointOutcome::NotConfirmed:
        return qMakePair(-231, QStringLiteral("Data questionable;set point not confirmed"));
    case SetPointOutcome::Superseded:
        return qMakePair(-200, QStringLiteral("Execution error;set point superseded"));
    }
    return std::nullopt;
}

RemoteCommands::RemoteCommands(Station *station, QObject *parent)
    : QObject(parent)
    , m_station(station)
{
    BlackbodyLink *link = &station->link();
    // Every change the status registers follow, so that an event is latched when it happens, not when a
    // client asks.
    const auto refresh = [this] { refreshStatus(); };
    connect(link, &BlackbodyLink::stateChanged, this, refresh);
    connect(link, &BlackbodyLink::ticked, this, refresh);
    connect(link, &BlackbodyLink::noReading, this, refresh);
    connect(link, &BlackbodyLink::reading, this, refresh);
    connect(station, &Station::stabilityChanged, this, refresh);
    connect(&station->runner(), &CalibrationRunner::stateChanged, this, refresh);
    connect(&station->recorder(), &CurveRecorder::recordingChanged, this, refresh);
    connect(link, &BlackbodyLink::setPointOutcome, this, &RemoteCommands::setPointSettled);
    connect(link, &BlackbodyLink::opened, this, [this] { m_openClient = nullptr; });
    // The window's reason is in the operator's language; the client hears SCPI's plain words.
    connect(link, &BlackbodyLink::openFailed, this, [this] {
        if (m_openClient)
            m_openClient->errors().push(-240, QStringLiteral("Hardware error;cannot open port"));
        m_openClient = nullptr;
    });
}

void RemoteCommands::setPointSettled(const SetPointRequest &request, SetPointOutcome outcome)
{
    ScpiClient *client = m_waiting.take(request.id);
    if (!client)
        return;
    if (const auto error = outcomeError(outcome))
        client->errors().push(error->first, error->second);
    client->release();
}

void RemoteCommands::sessionStarted(ScpiClient &client)
{
    m_clients.append(&client);
    // What holds at the connection is no event the client missed.
    ScpiStatus &status = client.status();
    status.operation.condition = operationCondition();
    status.questionable.condition = questionableCondition();
}

quint16 RemoteCommands::operationCondition() const
{
    quint16 bits = 0;
    const StabilityJudge &judge = m_station->link().stability();
    if (m_station->stability().stable)
        bits |= ScpiStatus::Stable;
    else if (m_station->latest() && judge.state() == StabilityJudge::State::Settling)
        bits |= ScpiStatus::Settling;
    if (m_station->recorder().isRecording())
        bits |= ScpiStatus::Recording;
    if (m_station->runner().isRunning())
        bits |= ScpiStatus::RunActive;
    return bits;
}

quint16 RemoteCommands::questionableCondition() const
{
    using State = BlackbodyLink::State;
    const BlackbodyLink &link = m_station->link();
    quint16 bits = 0;
    const State state = link.state();
    if (state == State::Reconnecting)
        bits |= ScpiStatus::LinkLost;
    if (state == State::Silent)
        bits |= ScpiStatus::Silent;
    if (state == State::Unconfirmed || link.controllerSuspect())
        bits |= ScpiStatus::Unconfirmed;
    if ((state == State::Open || state == State::Silent) && !m_station->latest())
        bits |= ScpiStatus::StaleReading;
    return bits;
}

void RemoteCommands::refreshStatus()
{
    const quint16 operation = operationCondition();
    const quint16 questionable = questionableCondition();
    for (ScpiClient *client : qAsConst(m_clients)) {
        client->status().operation.update(operation);
        client->status().questionable.update(questionable);
    }
}

void RemoteCommands::sessionEnded(int id)
{
    m_clients.erase(std::remove_if(m_clients.begin(), m_clients.end(),
                        [id](const ScpiClient *client) { return client->id() == id; }),
        m_clients.end());
    for (auto it = m_waiting.begin(); it != m_waiting.end();) {
        if (it.value()->id() == id)
            it = m_waiting.erase(it);
        else
            ++it;
    }
    if (m_openClient && m_openClient->id() == id)
        m_openClient = nullptr;
}

bool RemoteCommands::checkParameters(
    ScpiClient &client, const QVector<ScpiParameter> &parameters, const QVector<int> &kinds) const
{
    if (parameters.size() < kinds.size()) {
        client.errors().push(-109, QStringLiteral("Missing parameter"));
        return false;
    }
    if (parameters.size() > kinds.size()) {
        client.errors().push(-108, QStringLiteral("Parameter not allowed"));
        return false;
    }
    for (int i = 0; i < kinds.size(); ++i) {
        const int kind = int(parameters.at(i).kind);
        const bool fits = kinds.at(i) == kText ? kind != kNumber
            : kinds.at(i) == kAny              ? kind != kString
                                               : kind == kinds.at(i);
        if (!fits) {
            client.errors().push(-104, QStringLiteral("Data type error"));
            return false;
        }
        // Only the numbers that read their unit through ScpiNumeric (kAny) may carry one.
        if (kinds.at(i) == kNumber && !parameters.at(i).suffix.isEmpty()) {
            client.errors().push(-138, QStringLiteral("Suffix not allowed"));
            return false;
        }
    }
    return true;
}

QByteArray RemoteCommands::formatted(double value) const
{
    return QByteArray::number(value, 'f', m_station->link().model().decimals);
}

void RemoteCommands::answerData(ScpiClient &client, std::optional<double> value)
{
    if (value) {
        client.answerNow(formatted(*value));
        return;
    }
    client.answerNow(kNotANumber);
    client.errors().push(-230, QStringLiteral("Data corrupt or stale"));
}

void RemoteCommands::execute(ScpiClient &client, const ScpiUnit &unit)
{
    const int command = unit.command;
    const QVector<ScpiParameter> &parameters = unit.parameters;
    // The client's own registers and queues, which any client may set.
    if (command >= CommonBase) {
        refreshStatus();
        ScpiCommon::execute(client, command - CommonBase, parameters);
        return;
    }
    if (changes(command) && !m_writes) {
        client.errors().push(-203, QStringLiteral("Command protected"));
        return;
    }
    if (!takesParameters(command) && !checkParameters(client, parameters, {}))
        return;

    BlackbodyLink &link = m_station->link();
    CalibrationRunner &runner = m_station->runner();
    const auto latest = m_station->latest();
    const Station::Stability stability = m_station->stability();
    switch (Command(command)) {
    case Idn: {
        const bool open = link.state() != BlackbodyLink::State::Closed;
        client.answerNow("Ostrel," + (open ? link.model().name.toUtf8() : QByteArrayLiteral("NONE")) + ",0,"
            + QByteArrayLiteral(BB_VERSION));
        break;
    }
    case TestQuery:
        // The self-test a calibration source can pass: an open link to a controller known to be ours.
        client.answerNow(link.state() == BlackbodyLink::State::Open && !link.controllerSuspect() ? "0" : "1");
        break;
    case ErrorNext:
        client.answerNow(client.errors().next());
        break;
    case HelpHeaders:
        client.answerNow(quoted(patterns().join(QLatin1Char(','))));
        break;
    case Version:
        client.answerNow(QByteArrayLiteral("1999.0"));
        break;
    case LinkState: {
        static const QHash<int, QByteArray> names = {
            {int(BlackbodyLink::State::Closed), "CLOSED"},
            {int(BlackbodyLink::State::Opening), "OPENING"},
            {int(BlackbodyLink::State::Open), "OPEN"},
            {int(BlackbodyLink::State::Silent), "SILENT"},
            {int(BlackbodyLink::State::Reconnecting), "RECONNECTING"},
            {int(BlackbodyLink::State::Unconfirmed), "UNCONFIRMED"},
        };
        client.answerNow(names.value(int(link.state())));
        break;
    }
    case LinkOpen:
        linkOpen(client, parameters);
        break;
    case LinkClose:
        if (link.isPortOpen() || link.state() != BlackbodyLink::State::Closed)
            link.close();
        break;
    case LinkConfirm:
        if (!link.isAskingIdentity() && !link.controllerSuspect())
            conflict(client, QStringLiteral("nothing to confirm"));
        else
            m_station->vouchForController();
        break;
    case SetPoint:
        if (checkParameters(client, parameters, {kAny}))
            setPoint(client, parameters.at(0));
        break;
    case SetPointQuery:
        switch (ScpiNumeric::asked(parameters, client.errors())) {
        case ScpiNumeric::Asked::Value:
        case ScpiNumeric::Asked::Default:
            // The controller's held set point is what DEF stands for.
            answerData(client, latest ? std::optional<double>(latest->set) : std::nullopt);
            break;
        case ScpiNumeric::Asked::Minimum:
            client.answerNow(formatted(link.model().minimum));
            break;
        case ScpiNumeric::Asked::Maximum:
            client.answerNow(formatted(link.model().maximum));
            break;
        case ScpiNumeric::Asked::Invalid:
            break;
        }
        break;
    case SenseData:
    case MeasureTemperature:
    case Fetch:
        answerData(client, latest ? std::optional<double>(latest->current) : std::nullopt);
        break;
    case StabilityTest:
        client.answerNow(stability.stable ? "1" : "0");
        break;
    case StabilityLimit:
    case StabilityWindow:
        if (checkParameters(client, parameters, {kAny}))
            stabilityLimit(client, parameters.at(0), command == StabilityWindow);
        break;
    case StabilityLimitQuery:
    case StabilityWindowQuery: {
        const bool window = command == StabilityWindowQuery;
        const ScpiNumeric::Bounds bounds = stabilityBounds(window);
        double value = 0;
        switch (ScpiNumeric::asked(parameters, client.errors())) {
        case ScpiNumeric::Asked::Value:
            value = window ? storedStabilityLimits(appSettings).windowSeconds
                           : storedStabilityLimits(appSettings).band;
            break;
        case ScpiNumeric::Asked::Minimum:
            value = bounds.minimum;
            break;
        case ScpiNumeric::Asked::Maximum:
            value = bounds.maximum;
            break;
        case ScpiNumeric::Asked::Default:
            value = *bounds.byDefault;
            break;
        case ScpiNumeric::Asked::Invalid:
            return;
        }
        client.answerNow(
            window ? QByteArray::number(qRound(value)) : QByteArray::number(value, 'f', kStableBandDecimals));
        break;
    }
    case StabilityTime:
        client.answerNow(QByteArray::number(qint64(stability.secondsAt(link.clock().elapsed()))));
        break;
    case UnitTemperature:
        client.answerNow(QByteArrayLiteral("C"));
        break;
    case RecordStart:
        // The curve is never dropped remotely: nobody would be asked. RECord:DISCard does it on purpose.
        if (const LinkPolicy::Refusal refusal = m_station->startRecording();
            refusal != LinkPolicy::Refusal::None)
            conflict(client, conflictReason(refusal));
        break;
    case RecordStop:
        if (const LinkPolicy::Refusal refusal = m_station->stopRecording();
            refusal != LinkPolicy::Refusal::None)
            conflict(client, conflictReason(refusal));
        break;
    case RecordState:
        client.answerNow(m_station->recorder().isRecording() ? "1" : "0");
        break;
    case RecordSave:
        if (checkParameters(client, parameters, {kString})) {
            SaveResult saved;
            const LinkPolicy::Refusal refusal = m_station->saveCurve(parameters.at(0).text, &saved);
            if (refusal != LinkPolicy::Refusal::None)
                conflict(client, conflictReason(refusal));
            else if (!saved)
                client.errors().push(
                    -257, QStringLiteral("File name error;") + saved.message(parameters.at(0).text));
        }
        break;
    case RecordDiscard:
        if (const LinkPolicy::Refusal refusal = m_station->dropCurve(); refusal != LinkPolicy::Refusal::None)
            conflict(client, conflictReason(refusal));
        break;
    case ProgramLoad:
        if (checkParameters(client, parameters, {kString}))
            programLoad(client, parameters.at(0).text);
        break;
    case ProgramState:
        if (checkParameters(client, parameters, {kWord}))
            programState(client, parameters.at(0).text.toUpper());
        break;
    case ProgramStateQuery: {
        static const QByteArray names[] = {"IDLE", "RUNNING", "PAUSED", "READING", "DONE", "ABORTED"};
        client.answerNow(names[int(runner.runState())]);
        break;
    }
    case ProgramStep:
        client.answerNow(programStep());
        break;
    case ProgramReading: {
        if (!checkParameters(client, parameters, {kAny}))
            break;
        // A reading is what the instrument showed: MIN or MAX stand for nothing it could show.
        if (parameters.at(0).kind != ScpiParameter::Kind::Number) {
            client.errors().push(-104, QStringLiteral("Data type error"));
            break;
        }
        const std::optional<ScpiNumeric::Value> reading
            = ScpiNumeric::read(parameters.at(0), ScpiNumeric::Quantity::Temperature, {}, client.errors());
        if (!reading)
            break;
        if (!CalibrationRunner::acceptsReading(reading->value, reading->decimals))
            client.errors().push(-222, QStringLiteral("Data out of range"));
        else if (runner.readsInstrument())
            conflict(client, QStringLiteral("readings taken from the instrument"));
        else if (!runner.supplyReading(reading->value))
            conflict(client, QStringLiteral("no reading awaited"));
        break;
    }
    case ProgramReport:
        client.answerNow(quoted(m_station->reporter().lastReport()));
        break;
    case ReportFolder:
        if (checkParameters(client, parameters, {kString}))
            reportFolder(client, parameters.at(0).text);
        break;
    case ReportFolderQuery:
        client.answerNow(quoted(appSettings.value(CalibrationReporter::reportFolderKey, QString())));
        break;
    case LabName:
    case LabAddress:
    case LabPrefix:
    case LabCountry:
        if (checkParameters(client, parameters, {kString}))
            lab(client, command, parameters.at(0).text);
        break;
    case LabNameQuery:
        client.answerNow(quoted(LabSettings::read(appSettings).name));
        break;
    case LabAddressQuery:
        client.answerNow(quoted(LabSettings::read(appSettings).address));
        break;
    case LabPrefixQuery:
        client.answerNow(quoted(LabSettings::read(appSettings).prefix));
        break;
    case LabCountryQuery:
        client.answerNow(quoted(LabSettings::read(appSettings).country));
        break;
    case CommonBase:
        // The common commands were handed over above.
        break;
    }
}

void RemoteCommands::linkOpen(ScpiClient &client, const QVector<ScpiParameter> &parameters)
{
    if (!checkParameters(client, parameters, {kString, kNumber, kText}))
        return;
    BlackbodyLink &link = m_station->link();
    if (link.state() != BlackbodyLink::State::Closed) {
        conflict(client, QStringLiteral("link open"));
        return;
    }
    const int baudIndex = PortChoices::baudTexts().indexOf(parameters.at(1).text);
    int model = -1;
    for (int i = 0; i < blackbodyModelCount(); ++i) {
        if (blackbodyModel(i).name.compare(parameters.at(2).text, Qt::CaseInsensitive) == 0)
            model = i;
    }
    if (parameters.at(0).text.isEmpty() || baudIndex < 0 || model < 0) {
        client.errors().push(-224, QStringLiteral("Illegal parameter value"));
        return;
    }
    // The run sends set points in its model's wire units; another model would take them wrongly.
    if (m_station->runner().isRunning() && blackbodyModel(model).name != m_station->runner().runModel()) {
        conflict(client, QStringLiteral("run kept for another model"));
        return;
    }
    m_openClient = &client;
    link.open(parameters.at(0).text, PortChoices::baudForIndex(baudIndex), model);
}

void RemoteCommands::setPoint(ScpiClient &client, const ScpiParameter &value)
{
    const LinkSituation situation = m_station->situation();
    if (const LinkPolicy::Refusal refusal = LinkPolicy::setPoint(situation, Requester::Scpi);
        refusal != LinkPolicy::Refusal::None) {
        conflict(client, conflictReason(refusal));
        return;
    }
    const BlackbodyModel &model = m_station->link().model();
    const auto latest = m_station->latest();
    const std::optional<ScpiNumeric::Value> celsius
        = ScpiNumeric::read(value, ScpiNumeric::Quantity::Temperature,
            {model.minimum, model.maximum, latest ? std::optional<double>(latest->set) : std::nullopt},
            client.errors());
    if (!celsius)
        return;
    ScpiNumeric::Value target = *celsius;
    // A value converted from FAR or K takes the controller's nearest step, as an instrument rounds to
    // its resolution; one written in Celsius with more places than the controller holds is refused.
    if (!value.suffix.isEmpty() && value.suffix != QLatin1String("CEL") && target.decimals > model.decimals) {
        const double step = std::pow(10.0, model.decimals);
        target = {std::round(target.value * step) / step, model.decimals};
    }
    if (!setPointFits(model, target.value, target.decimals)) {
        client.errors().push(-222, QStringLiteral("Data out of range"));
        return;
    }
    // Sequential: the client's next command waits for the outcome, which the link always gives, maybe
    // at once.
    client.hold();
    m_waiting.insert(m_station->link().nextRequestId(), &client);
    m_station->requestSetPoint(target.value, Requester::Scpi, client.origin());
}

ScpiNumeric::Bounds RemoteCommands::stabilityBounds(bool window)
{
    return window ? ScpiNumeric::Bounds {double(kMinStableWindow), double(kMaxStableWindow),
               double(kDefaultStableWindow)}
                  : ScpiNumeric::Bounds {kMinStableBand, kMaxStableBand, kDefaultStableBand};
}

void RemoteCommands::stabilityLimit(ScpiClient &client, const ScpiParameter &value, bool window)
{
    const std::optional<ScpiNumeric::Value> read = ScpiNumeric::read(value,
        window ? ScpiNumeric::Quantity::Seconds : ScpiNumeric::Quantity::TemperatureDifference,
        stabilityBounds(window), client.errors());
    if (!read)
        return;
    const QString text = QString::number(read->value, 'f', read->decimals);
    std::optional<QString> stored;
    if (window) {
        if (const auto seconds = parseStableWindow(text))
            stored = QString::number(*seconds);
    } else if (const auto band = parseStableBand(text)) {
        stored = QString::number(*band);
    }
    if (!stored) {
        client.errors().push(-222, QStringLiteral("Data out of range"));
        return;
    }
    appSettings.setValue(window ? appSettings.stableWindowKey : appSettings.stableBandKey, *stored);
    saveSettings(client);
    m_station->applyStabilityLimits();
}

void RemoteCommands::saveSettings(ScpiClient &client)
{
    if (!appSettings.save())
        client.errors().push(-200, QStringLiteral("Execution error;settings not saved"));
}

void RemoteCommands::programLoad(ScpiClient &client, const QString &path)
{
    if (m_station->runner().isRunning()) {
        conflict(client, QStringLiteral("run in progress"));
        return;
    }
    // Only a plain file of a program's size: a FIFO or a device would hold the station up.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        client.errors().push(-256, QStringLiteral("File name not found"));
        return;
    }
    const QByteArray bytes = file.read(kMaxProgramBytes + 1);
    if (bytes.size() > kMaxProgramBytes) {
        client.errors().push(-224, QStringLiteral("Illegal parameter value;not a calibration program"));
        return;
    }
    CalibrationRunError error;
    const CalibrationRun run = CalibrationRun::fromJson(bytes, &error);
    if (error.isError()) {
        client.errors().push(
            -224, QStringLiteral("Illegal parameter value;not a calibration program") + whereWrong(error));
        return;
    }
    m_program = run;
    m_programFile = QFileInfo(path).absoluteFilePath();
    m_programLoaded = true;
}

void RemoteCommands::programState(ScpiClient &client, const QString &state)
{
    CalibrationRunner &runner = m_station->runner();
    if (state == QLatin1String("RUN")) {
        if (runner.isRunning()) {
            switch (runner.resume()) {
            case CalibrationStart::Resume::Go:
                break;
            case CalibrationStart::Resume::NoReading:
                conflict(client, QStringLiteral("no reading"));
                break;
            case CalibrationStart::Resume::AskSameController:
                // Taken for another controller, as nobody vouched for it: the link closed.
                conflict(client, QStringLiteral("controller unconfirmed"));
                break;
            }
            return;
        }
        if (!m_programLoaded) {
            conflict(client, QStringLiteral("no program loaded"));
            return;
        }
        const CalibrationRunner::StartResult result
            = runner.start(m_program, m_programFile, false, m_station->situation(), &m_asker);
        switch (result.failure) {
        case CalibrationRunner::StartResult::Failure::None:
            // It runs, but what it writes is no certificate: the client hears why.
            if (result.testReport)
                conflict(client,
                    QStringLiteral("test report, not a certificate: missing ")
                        + CertificateCompleteness::fields(result.missing));
            break;
        case CalibrationRunner::StartResult::Failure::Obstacle:
            conflict(client, conflictReason(result.obstacle));
            break;
        case CalibrationRunner::StartResult::Failure::NotCounted:
            conflict(client, QStringLiteral("certificate number cannot be saved"));
            break;
        case CalibrationRunner::StartResult::Failure::NoJournal:
            conflict(client, QStringLiteral("journal cannot be written"));
            break;
        }
    } else if (state == QLatin1String("PAUS") || state == QLatin1String("PAUSE")) {
        if (!runner.isRunning())
            conflict(client, QStringLiteral("no run"));
        else
            runner.pause();
    } else if (state == QLatin1String("STOP")) {
        runner.abort();
    } else {
        client.errors().push(-224, QStringLiteral("Illegal parameter value"));
    }
}

QByteArray RemoteCommands::programStep() const
{
    using Phase = CalibrationSequencer::Phase;
    const CalibrationSequencer::Progress progress = m_station->runner().runProgress();
    static const QHash<int, QByteArray> phases = {
        {int(Phase::Idle), "IDLE"},
        {int(Phase::Setting), "SETTING"},
        {int(Phase::Settling), "SETTLING"},
        {int(Phase::Dwelling), "DWELLING"},
        {int(Phase::WaitingForReading), "READING"},
        {int(Phase::Finished), "DONE"},
        {int(Phase::Aborted), "ABORTED"},
    };
    const int step = progress.stepCount == 0 ? 0 : qMin(progress.step + 1, progress.stepCount);
    const QByteArray head = QByteArray::number(step) + ',' + QByteArray::number(progress.stepCount) + ','
        + phases.value(int(progress.phase)) + ',';
    // While the instrument's readings are awaited, their count; otherwise the dwell's.
    if (progress.phase == Phase::WaitingForReading)
        return head + "readings " + QByteArray::number(progress.instrumentTaken) + '/'
            + QByteArray::number(progress.instrumentNeeded);
    return head + QByteArray::number(progress.readingsTaken) + '/'
        + QByteArray::number(progress.readingsNeeded);
}

void RemoteCommands::reportFolder(ScpiClient &client, const QString &folder)
{
    if (!QDir::isAbsolutePath(folder) || !CalibrationReporter::isWritableFolder(folder)) {
        client.errors().push(-256, QStringLiteral("File name not found;no writable folder"));
        return;
    }
    if (const SaveResult saved = CalibrationReporter::storeFolder(QDir::cleanPath(folder)); !saved)
        client.errors().push(-200, QStringLiteral("Execution error;settings not saved"));
}

void RemoteCommands::lab(ScpiClient &client, int command, const QString &text)
{
    LabSettings lab = LabSettings::read(appSettings);
    if (command == LabPrefix) {
        if (!LabSettings::isValidPrefix(text)) {
            client.errors().push(-224, QStringLiteral("Illegal parameter value;1 to 12 letters or digits"));
            return;
        }
        lab.prefix = text;
    } else if (command == LabCountry) {
        if (!text.isEmpty() && !LabSettings::isValidCountry(text)) {
            client.errors().push(
                -224, QStringLiteral("Illegal parameter value;ISO 3166-1 code, two capitals"));
            return;
        }
        lab.country = text;
    } else if (command == LabName) {
        lab.name = text;
    } else {
        lab.address = text;
    }
    lab.store(appSettings);
    saveSettings(client);
}
