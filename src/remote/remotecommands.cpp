#include "remotecommands.h"

#include "app/blackbodylink.h"
#include "app/calibrationrunner.h"
#include "control/blackbodymodel.h"
#include "remote/scpiparser.h"
#include "remote/scpisession.h"
#include "serial/portchoices.h"
#include "settings/settings.h"
#include "settings/stabilitylimits.h"

#include <QFile>
#include <QFileInfo>

namespace {

enum Command {
    Idn,
    Cls,
    Opc,
    ErrorNext,
    Version,
    LinkState,
    LinkOpen,
    LinkClose,
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
    ProgramLoad,
    ProgramState,
    ProgramStateQuery,
    ProgramStep,
    ProgramReading,
    ProgramReport,
};

// In the order of Command.
const char *const kPatterns[] = {
    "*IDN?",
    "*CLS",
    "*OPC?",
    "SYSTem:ERRor[:NEXT]?",
    "SYSTem:VERSion?",
    "SYSTem:LINK?",
    "SYSTem:LINK:OPEN",
    "SYSTem:LINK:CLOSe",
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
    "PROGram:LOAD",
    "PROGram:STATe",
    "PROGram:STATe?",
    "PROGram:STEP?",
    "PROGram:READing",
    "PROGram:REPort?",
};

constexpr int kNumber = int(ScpiParameter::Kind::Number);
constexpr int kString = int(ScpiParameter::Kind::String);
constexpr int kWord = int(ScpiParameter::Kind::Word);
// A string or a word: "VBM100" and VBM100 name the same model.
constexpr int kText = -1;

bool changes(int command)
{
    switch (command) {
    case SetPoint:
    case StabilityLimit:
    case StabilityWindow:
    case LinkOpen:
    case LinkClose:
    case RecordStart:
    case RecordStop:
    case ProgramLoad:
    case ProgramState:
    case ProgramReading:
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

void conflict(ScpiSession &session, const QString &why)
{
    session.errors().push(-221, QStringLiteral("Settings conflict;") + why);
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
    return list;
}

RemoteCommands::RemoteCommands(
    BlackbodyLink *link, CalibrationRunner *runner, const RemoteRecording &recording, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_runner(runner)
    , m_recording(recording)
{
    // Another set point, whoever asks for it, ends the wait for the one on its way: it was never confirmed.
    connect(link, &BlackbodyLink::setPointRequested, this, [this] {
        unconfirmed(QStringLiteral("Execution error;set point superseded"));
        settle();
    });
    connect(link, &BlackbodyLink::opened, this, [this] { m_openClient = nullptr; });
    // The window's reason is in the operator's language; the client hears SCPI's plain words.
    connect(link, &BlackbodyLink::openFailed, this, [this] {
        if (m_openClient)
            m_openClient->errors().push(-240, QStringLiteral("Hardware error;cannot open port"));
        m_openClient = nullptr;
    });
    connect(link, &BlackbodyLink::setPointOutcome, this, [this](bool confirmed, double, Requester requester) {
        // Only a client's own set point settles it; another's request settled it already.
        if (requester != Requester::Scpi)
            return;
        // Told to the client that asked; the others never hear of it.
        if (!confirmed)
            unconfirmed(QStringLiteral("Execution error;set point refused"));
        settle();
    });
    connect(link, &BlackbodyLink::stateChanged, this, [this](BlackbodyLink::State state) {
        // A controller that is not confirmed drops the confirmation on its way: as good as refused.
        if (state == BlackbodyLink::State::Unconfirmed)
            unconfirmed(QStringLiteral("Execution error;set point refused"));
        // A set point on its way is gone with the link.
        if (state == BlackbodyLink::State::Closed || state == BlackbodyLink::State::Reconnecting) {
            unconfirmed(QStringLiteral("Execution error;link lost"));
            settle();
        }
        if (state == BlackbodyLink::State::Unconfirmed)
            settle();
    });
}

void RemoteCommands::unconfirmed(const QString &why)
{
    if (m_setPointPending && m_setPointClient)
        m_setPointClient->errors().push(-200, why);
}

void RemoteCommands::settle()
{
    const QPointer<ScpiSession> client = m_setPointClient;
    const QVector<quint64> owed = m_opcSlots;
    m_setPointPending = false;
    m_setPointClient = nullptr;
    m_opcSlots.clear();
    if (client) {
        for (const quint64 slot : owed)
            client->answer(slot, QByteArrayLiteral("1"));
    }
}

void RemoteCommands::sessionEnded(int id)
{
    if (m_setPointClient && m_setPointClient->id() == id) {
        m_setPointClient = nullptr;
        m_setPointPending = false;
        m_opcSlots.clear();
    }
}

bool RemoteCommands::checkParameters(
    ScpiSession &session, const QVector<ScpiParameter> &parameters, const QVector<int> &kinds) const
{
    if (parameters.size() < kinds.size()) {
        session.errors().push(-109, QStringLiteral("Missing parameter"));
        return false;
    }
    if (parameters.size() > kinds.size()) {
        session.errors().push(-108, QStringLiteral("Parameter not allowed"));
        return false;
    }
    for (int i = 0; i < kinds.size(); ++i) {
        const int kind = int(parameters.at(i).kind);
        const bool fits = kinds.at(i) == kText ? kind != kNumber : kind == kinds.at(i);
        if (!fits) {
            session.errors().push(-104, QStringLiteral("Data type error"));
            return false;
        }
    }
    return true;
}

QByteArray RemoteCommands::formatted(double value) const
{
    return QByteArray::number(value, 'f', m_link->model().decimals);
}

void RemoteCommands::answerData(ScpiSession &session, std::optional<double> value)
{
    if (value) {
        session.answerNow(formatted(*value));
        return;
    }
    session.answerNow(kNotANumber);
    session.errors().push(-230, QStringLiteral("Data corrupt or stale"));
}

void RemoteCommands::execute(ScpiSession &session, const ScpiUnit &unit)
{
    const int command = unit.command;
    const QVector<ScpiParameter> &parameters = unit.parameters;
    if (changes(command) && !m_writes) {
        session.errors().push(-203, QStringLiteral("Command protected"));
        return;
    }
    static const QVector<int> none;
    const bool takesParameters = command == LinkOpen || command == SetPoint || command == StabilityLimit
        || command == StabilityWindow || command == ProgramLoad || command == ProgramState
        || command == ProgramReading;
    if (!takesParameters && !checkParameters(session, parameters, none))
        return;

    const auto latest = m_link->latest();
    const bool running = m_runner->isRunning();
    // The status bar follows the run's own judge during a run.
    const StabilityJudge &judge = running ? m_runner->judge() : m_link->stability();
    const bool stable = judge.state() == StabilityJudge::State::Stable;
    switch (Command(command)) {
    case Idn: {
        const bool open = m_link->state() != BlackbodyLink::State::Closed;
        session.answerNow("Ostrel," + (open ? m_link->model().name.toUtf8() : QByteArrayLiteral("NONE"))
            + ",0," + QByteArrayLiteral(BB_VERSION));
        break;
    }
    case Cls:
        session.errors().clear();
        break;
    case Opc:
        // Waits only for this client's own set point; the session caps the answers it owes.
        if (m_setPointPending && m_setPointClient == &session)
            m_opcSlots.append(session.reserve());
        else
            session.answerNow(QByteArrayLiteral("1"));
        break;
    case ErrorNext:
        session.answerNow(session.errors().next());
        break;
    case Version:
        session.answerNow(QByteArrayLiteral("1999.0"));
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
        session.answerNow(names.value(int(m_link->state())));
        break;
    }
    case LinkOpen:
        linkOpen(session, parameters);
        break;
    case LinkClose:
        if (m_link->isPortOpen() || m_link->state() != BlackbodyLink::State::Closed)
            m_link->close();
        break;
    case SetPoint:
        if (checkParameters(session, parameters, {kNumber}))
            setPoint(session, parameters.at(0));
        break;
    case SetPointQuery:
        answerData(session, latest ? std::optional<double>(latest->set) : std::nullopt);
        break;
    case SenseData:
    case MeasureTemperature:
    case Fetch:
        answerData(session, latest ? std::optional<double>(latest->current) : std::nullopt);
        break;
    case StabilityTest:
        session.answerNow(stable ? "1" : "0");
        break;
    case StabilityLimit:
    case StabilityWindow:
        if (checkParameters(session, parameters, {kNumber}))
            stabilityLimit(session, parameters.at(0), command == StabilityWindow);
        break;
    case StabilityLimitQuery:
        session.answerNow(
            QByteArray::number(storedStabilityLimits(appSettings).band, 'f', kStableBandDecimals));
        break;
    case StabilityWindowQuery:
        session.answerNow(QByteArray::number(storedStabilityLimits(appSettings).windowSeconds));
        break;
    case StabilityTime:
        session.answerNow(
            QByteArray::number(stable ? (m_link->clock().elapsed() - judge.stableSince()) / 1000 : 0));
        break;
    case UnitTemperature:
        session.answerNow(QByteArrayLiteral("C"));
        break;
    case RecordStart:
        if (m_recording.isRecording())
            break;
        // The curve is never dropped remotely: nobody would be asked.
        if (m_recording.hasUnsavedCurve())
            conflict(session, QStringLiteral("unsaved curve"));
        else if (running)
            conflict(session, QStringLiteral("run in progress"));
        else if (!m_recording.start())
            conflict(session, QStringLiteral("link not open"));
        break;
    case RecordStop:
        if (m_recording.isRecording() && !m_recording.stop())
            conflict(session, QStringLiteral("run in progress"));
        break;
    case RecordState:
        session.answerNow(m_recording.isRecording() ? "1" : "0");
        break;
    case ProgramLoad:
        if (checkParameters(session, parameters, {kString}))
            programLoad(session, parameters.at(0).text);
        break;
    case ProgramState:
        if (checkParameters(session, parameters, {kWord}))
            programState(session, parameters.at(0).text.toUpper());
        break;
    case ProgramStateQuery: {
        static const QByteArray names[] = {"IDLE", "RUNNING", "PAUSED", "READING", "DONE", "ABORTED"};
        session.answerNow(names[int(m_runner->runState())]);
        break;
    }
    case ProgramStep:
        session.answerNow(programStep());
        break;
    case ProgramReading:
        if (!checkParameters(session, parameters, {kNumber}))
            break;
        if (!CalibrationRunner::acceptsReading(parameters.at(0).number, parameters.at(0).decimals))
            session.errors().push(-222, QStringLiteral("Data out of range"));
        else if (!m_runner->supplyReading(parameters.at(0).number))
            conflict(session, QStringLiteral("no reading awaited"));
        break;
    case ProgramReport:
        session.answerNow(quoted(m_runner->lastReport()));
        break;
    }
}

void RemoteCommands::linkOpen(ScpiSession &session, const QVector<ScpiParameter> &parameters)
{
    if (!checkParameters(session, parameters, {kString, kNumber, kText}))
        return;
    if (m_link->state() != BlackbodyLink::State::Closed) {
        conflict(session, QStringLiteral("link open"));
        return;
    }
    const int baudIndex = PortChoices::baudTexts().indexOf(parameters.at(1).text);
    int model = -1;
    for (int i = 0; i < blackbodyModelCount(); ++i) {
        if (blackbodyModel(i).name.compare(parameters.at(2).text, Qt::CaseInsensitive) == 0)
            model = i;
    }
    if (parameters.at(0).text.isEmpty() || baudIndex < 0 || model < 0) {
        session.errors().push(-224, QStringLiteral("Illegal parameter value"));
        return;
    }
    // The run sends set points in its model's wire units; another model would take them wrongly.
    if (m_runner->isRunning() && blackbodyModel(model).name != m_runner->runModel()) {
        conflict(session, QStringLiteral("run kept for another model"));
        return;
    }
    m_openClient = &session;
    m_link->open(parameters.at(0).text, PortChoices::baudForIndex(baudIndex), model);
}

void RemoteCommands::setPoint(ScpiSession &session, const ScpiParameter &value)
{
    const BlackbodyLink::State state = m_link->state();
    if (!m_link->isPortOpen() || state == BlackbodyLink::State::Reconnecting) {
        conflict(session, QStringLiteral("link not open"));
        return;
    }
    // The window's set button rests while a run sends its own set points.
    if (m_runner->isRunning()) {
        conflict(session, QStringLiteral("run in progress"));
        return;
    }
    const BlackbodyModel &model = m_link->model();
    if (!setPointFits(model, value.number, value.decimals)) {
        session.errors().push(-222, QStringLiteral("Data out of range"));
        return;
    }
    m_link->requestSetPoint(value.number, Requester::Scpi);
    // After the request: hearing it settled whatever set point was on its way before.
    m_setPointClient = &session;
    m_setPointPending = true;
}

void RemoteCommands::stabilityLimit(ScpiSession &session, const ScpiParameter &value, bool window)
{
    std::optional<QString> stored;
    if (window) {
        if (const auto seconds = parseStableWindow(value.text))
            stored = QString::number(*seconds);
    } else if (const auto band = parseStableBand(value.text)) {
        stored = QString::number(*band);
    }
    if (!stored) {
        session.errors().push(-222, QStringLiteral("Data out of range"));
        return;
    }
    appSettings.setValue(window ? appSettings.stableWindowKey : appSettings.stableBandKey, *stored);
    if (!appSettings.save())
        session.errors().push(-200, QStringLiteral("Execution error;settings not saved"));
    const StabilityLimits limits = storedStabilityLimits(appSettings);
    m_link->setStabilityLimits(limits.band, qint64(limits.windowSeconds) * 1000);
}

void RemoteCommands::programLoad(ScpiSession &session, const QString &path)
{
    if (m_runner->isRunning()) {
        conflict(session, QStringLiteral("run in progress"));
        return;
    }
    // Only a plain file of a program's size: a FIFO or a device would hold the window up.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        session.errors().push(-256, QStringLiteral("File name not found"));
        return;
    }
    const QByteArray bytes = file.read(kMaxProgramBytes + 1);
    if (bytes.size() > kMaxProgramBytes) {
        session.errors().push(-224, QStringLiteral("Illegal parameter value;not a calibration program"));
        return;
    }
    CalibrationRunError error;
    const CalibrationRun run = CalibrationRun::fromJson(bytes, &error);
    if (error.isError()) {
        session.errors().push(
            -224, QStringLiteral("Illegal parameter value;not a calibration program") + whereWrong(error));
        return;
    }
    m_program = run;
    m_programFile = QFileInfo(path).absoluteFilePath();
    m_programLoaded = true;
}

void RemoteCommands::programState(ScpiSession &session, const QString &state)
{
    QString refusal;
    if (state == QLatin1String("RUN")) {
        if (m_runner->isRunning())
            refusal = m_runner->pauseOrResumeUnattended(false);
        else if (!m_programLoaded)
            refusal = QStringLiteral("no program loaded");
        else
            refusal = m_runner->startUnattended(m_program, m_programFile, m_recording.hasUnsavedCurve());
    } else if (state == QLatin1String("PAUS") || state == QLatin1String("PAUSE")) {
        refusal = m_runner->pauseOrResumeUnattended(true);
    } else if (state == QLatin1String("STOP")) {
        m_runner->abort();
    } else {
        session.errors().push(-224, QStringLiteral("Illegal parameter value"));
        return;
    }
    if (!refusal.isEmpty())
        conflict(session, refusal);
}

QByteArray RemoteCommands::programStep() const
{
    using Phase = CalibrationSequencer::Phase;
    const CalibrationSequencer::Progress progress = m_runner->runProgress();
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
    return QByteArray::number(step) + ',' + QByteArray::number(progress.stepCount) + ','
        + phases.value(int(progress.phase)) + ',' + QByteArray::number(progress.readingsTaken) + '/'
        + QByteArray::number(progress.readingsNeeded);
}
