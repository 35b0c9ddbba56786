#include "../common/caseprocesses.h"
#include "blackbodydevice.h"
#include "control/blackbodymodel.h"
#include "devicesimulator.h"
#include "recording/curverecorder.h"
#include "remote/remotecommands.h"
#include "remote/scpiparser.h"
#include "remote/scpiserver.h"
#include "serial/serialmetatypes.h"
#include "settings/labsettings.h"
#include "settings/settings.h"
#include "station/calibrationreporter.h"
#include "station/station.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <map>
#include <memory>
#include <optional>
#include <sys/socket.h>
#include <utility>

namespace {

constexpr int kWaitMs = 8000;
const QString kModel = QStringLiteral("VBM100");
constexpr uchar kSetCode = 0x43;

// One step nobody is asked to read, with a window and dwell of a poll or so: done about a second after
// its start.
const QByteArray kOneStepRun = R"({"version":2,"instrument":"IR-1","operator":"table","distanceMm":300,)"
                               R"("emissivity":0.95,"readingsPerStep":1,"steps":[{"setPoint":35,"band":0.5,)"
                               R"("window":0.1,"dwell":0.5,"askReading":false}]})";

int modelIndex(const QString &name)
{
    for (int i = 0; i < blackbodyModelCount(); ++i) {
        if (blackbodyModel(i).name == name)
            return i;
    }
    qFatal("no model %s", qPrintable(name));
    return -1;
}

} // namespace

// The SCPI commands through a real server, real clients and a real station whose link talks to the
// controller simulator. Each row is a script of lines:
//   "a: LINE"            client a sends LINE, which owes no answer;
//   "a: LINE => X | Y"   ... and its answers, once all have come, are X and Y;
//   "a: LINE ~> X"       ... sent again until it answers X;
//   "a: LINE =~ RE"      ... its answers joined match RE;
//   "a: LINE =| X | Y"   a sends LINE with no newline added and closes its sending side, hears X and Y, and
//                        the server closes;
//   "! ACTION [ARG]"     the simulator or the settings change: hangup, replug, setpoint C, ignoreset
//                        on|off, overrule C (the controller takes C after the next set frame), writes on|off,
//                        await sample (the recording holds its first sample); silent N (N clients connect
//                        and say nothing); giveway MS (the server's limit);
//   "? FACT [ARG] => X"  a fact: setframes (since the simulator's last open), setpoint, file PATH,
//                        clients and refused (the server's counts, waited for), connected NAME.
// $DIR is the row's folder, $LAST the last answer without its quotes.
class TestRemoteCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void setPointIsSequentialAndItsOutcomeQueued_data();
    void setPointIsSequentialAndItsOutcomeQueued() { runScript(); }
    void newerSetPointSupersedesAnotherClientsWaitingOne_data();
    void newerSetPointSupersedesAnotherClientsWaitingOne() { runScript(); }
    void conflictsAreWordedByTheLinkPolicy_data();
    void conflictsAreWordedByTheLinkPolicy() { runScript(); }
    void recordedCurveIsKeptOrDroppedOnPurpose_data();
    void recordedCurveIsKeptOrDroppedOnPurpose() { runScript(); }
    void freshProfileIsToldEachMissingSettingInTurn_data();
    void freshProfileIsToldEachMissingSettingInTurn() { runScript(); }
    void sessionsEndPolitely_data();
    void sessionsEndPolitely() { runScript(); }

private:
    struct Client
    {
        std::unique_ptr<QTcpSocket> socket;
        QByteArray pending; // received, not yet taken as answers
    };

    static void addScriptColumn() { QTest::addColumn<QStringList>("script"); }
    void runScript();
    void step(const QString &line);
    void clientLine(const QString &name, const QString &line, const QString &how, const QString &expected);
    void act(const QString &action, const QString &argument);
    void check(const QString &fact, const QString &argument, const QString &expected);
    void connectClient(const QString &name);
    void halfClosed(Client &client, const QString &line, const QString &expected);
    // The answers `line` owes, once all have come; none when they do not come in time.
    std::optional<QStringList> ask(Client &client, const QString &line);
    int answersOwed(const QString &line) const;
    QString substituted(QString text, bool forPattern = false) const;
    void controllerHeard(const QByteArray &request);

    QTemporaryDir m_suiteDir;
    std::unique_ptr<QTemporaryDir> m_rowDir;
    ScpiParser m_parser {RemoteCommands::patterns()};
    sim::BlackbodyDevice *m_device = nullptr;
    std::unique_ptr<sim::DeviceSimulator> m_sim;
    std::unique_ptr<Station> m_station;
    std::unique_ptr<RemoteCommands> m_commands;
    std::unique_ptr<ScpiServer> m_server;
    std::map<QString, Client> m_clients;
    std::optional<double> m_overrule;
    QString m_last;
};

void TestRemoteCommands::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    registerSerialPortMetaTypes();
    QVERIFY(m_suiteDir.isValid());
    appSettings.configDir = m_suiteDir.filePath(QStringLiteral("config"));
    appSettings.load();
    appSettings.applyDefaults();
}

void TestRemoteCommands::cleanupTestCase()
{
    // The suite's folder is gone by the time the settings would be written back.
    appSettings.configDir.clear();
}

void TestRemoteCommands::init()
{
    m_rowDir = std::make_unique<QTemporaryDir>(m_suiteDir.filePath(QStringLiteral("row-XXXXXX")));
    QVERIFY(m_rowDir->isValid());
    // Every row starts as a profile that never named a report folder or its lab.
    appSettings.setValue(CalibrationReporter::reportFolderKey, QString());
    LabSettings().store(appSettings);
    appSettings.dataDir = m_rowDir->filePath(QStringLiteral("data"));
    QVERIFY(QDir().mkpath(m_rowDir->filePath(QStringLiteral("reports"))));
    QFile run(m_rowDir->filePath(QStringLiteral("one.bbrun")));
    QVERIFY(run.open(QIODevice::WriteOnly) && run.write(kOneStepRun) == kOneStepRun.size());
    run.close();

    auto device = std::make_unique<sim::BlackbodyDevice>(sim::BlackbodyModel::find(kModel), 9600, 25.0);
    device->setNoise(0.0);
    device->setTimeConstant(0.0);
    m_device = device.get();
    m_sim = std::make_unique<sim::DeviceSimulator>(std::move(device));
    connect(m_sim.get(), &sim::DeviceSimulator::requestReceived, this, &TestRemoteCommands::controllerHeard);
    QString error;
    QVERIFY2(m_sim->open(m_rowDir->filePath(QStringLiteral("bb")), &error), qPrintable(error));

    m_station = std::make_unique<Station>();
    m_station->link().setStableNameFolder(m_rowDir->filePath(QStringLiteral("by-id")));
    m_commands = std::make_unique<RemoteCommands>(m_station.get());
    m_commands->setWritesAllowed(true);
    m_server = std::make_unique<ScpiServer>(RemoteCommands::patterns(), m_commands.get());
    QVERIFY2(m_server->listen(0, false, AllowList()), qPrintable(m_server->errorString()));
    m_station->link().open(m_sim->portName(), QSerialPort::Baud9600, modelIndex(kModel));
    QTRY_VERIFY_WITH_TIMEOUT(m_station->latest().has_value(), kWaitMs);
}

void TestRemoteCommands::cleanup()
{
    m_clients.clear();
    m_server.reset();
    m_commands.reset();
    // Closed while the simulator still answers: the worker would otherwise sit out its reply timeout on an
    // exchange nobody answers while this thread joins it.
    if (m_station && m_station->link().state() != BlackbodyLink::State::Closed) {
        m_station->link().close();
        QTRY_COMPARE_WITH_TIMEOUT(m_station->link().state(), BlackbodyLink::State::Closed, kWaitMs);
    }
    m_station.reset();
    m_sim.reset();
    m_device = nullptr;
    m_overrule.reset();
    m_last.clear();
    m_rowDir.reset();
}

void TestRemoteCommands::controllerHeard(const QByteArray &request)
{
    // The device has taken the frame by now: a controller overruled at its front panel right after.
    if (m_overrule && request.size() > 2 && uchar(request.at(2)) == kSetCode)
        m_device->setSetPoint(*std::exchange(m_overrule, std::nullopt));
}

void TestRemoteCommands::runScript()
{
    QFETCH(QStringList, script);
    for (const QString &line : script) {
        step(line);
        if (QTest::currentTestFailed()) {
            qWarning("at: %s", qPrintable(line));
            return;
        }
    }
}

void TestRemoteCommands::step(const QString &line)
{
    // A line may hold several messages, parted by newlines.
    static const QRegularExpression client(QStringLiteral("^(\\w+): (.*?)(?: (=>|~>|=~|=\\|) (.*))?$"),
        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression action(QStringLiteral("^! (\\w+)(?: (.*))?$"));
    static const QRegularExpression fact(QStringLiteral("^\\? (\\w+)(?: (.*?))? => (.*)$"));
    const QRegularExpressionMatch asked = client.match(line);
    const QRegularExpressionMatch acted = action.match(line);
    const QRegularExpressionMatch checked = fact.match(line);
    if (asked.hasMatch())
        clientLine(asked.captured(1), substituted(asked.captured(2)), asked.captured(3), asked.captured(4));
    else if (acted.hasMatch())
        act(acted.captured(1), acted.captured(2));
    else if (checked.hasMatch())
        check(checked.captured(1), substituted(checked.captured(2)), checked.captured(3));
    else
        QFAIL("not a script line");
}

QString TestRemoteCommands::substituted(QString text, bool forPattern) const
{
    const QString dir = m_rowDir->path();
    text.replace(QLatin1String("$DIR"), forPattern ? QRegularExpression::escape(dir) : dir);
    text.replace(QLatin1String("$LAST"), forPattern ? QRegularExpression::escape(m_last) : m_last);
    return text;
}

int TestRemoteCommands::answersOwed(const QString &line) const
{
    static const QStringList patterns = RemoteCommands::patterns();
    int owed = 0;
    for (const ScpiUnit &unit : m_parser.parse(line.toUtf8()))
        owed += unit.command >= 0 && patterns.at(unit.command).endsWith(QLatin1Char('?'));
    return owed;
}

void TestRemoteCommands::connectClient(const QString &name)
{
    const int refusedBefore = m_server->refusedCount();
    Client &client = m_clients[name];
    client.socket = std::make_unique<QTcpSocket>();
    client.socket->connectToHost(QHostAddress::LocalHost, m_server->port());
    QVERIFY2(client.socket->waitForConnected(kWaitMs), qPrintable(client.socket->errorString()));
    // Taken, perhaps in the place of another that the server closed, or turned away.
    const auto connected = [this] {
        return std::count_if(m_clients.begin(), m_clients.end(), [](const auto &entry) {
            return entry.second.socket->state() == QAbstractSocket::ConnectedState;
        });
    };
    QTRY_VERIFY_WITH_TIMEOUT(
        m_server->refusedCount() > refusedBefore || m_server->clientCount() == connected(), kWaitMs);
}

std::optional<QStringList> TestRemoteCommands::ask(Client &client, const QString &line)
{
    const int owed = answersOwed(line);
    client.socket->write(line.toUtf8() + '\n');
    client.socket->flush();
    // The server answers in this thread: the wait must turn the event loop.
    const bool arrived = QTest::qWaitFor(
        [&client, owed] {
            client.pending += client.socket->readAll();
            return client.pending.count('\n') >= owed;
        },
        kWaitMs);
    if (!arrived)
        return std::nullopt;
    QStringList answers;
    for (int i = 0; i < owed; ++i) {
        const int end = client.pending.indexOf('\n');
        answers << QString::fromUtf8(client.pending.left(end));
        client.pending.remove(0, end + 1);
    }
    return answers;
}

void TestRemoteCommands::clientLine(
    const QString &name, const QString &line, const QString &how, const QString &expected)
{
    if (m_clients.find(name) == m_clients.end()) {
        connectClient(name);
        if (QTest::currentTestFailed())
            return;
    }
    Client &client = m_clients.at(name);
    if (how == QLatin1String("=|")) {
        halfClosed(client, line, expected);
        return;
    }
    std::optional<QStringList> answers = ask(client, line);
    QVERIFY2(answers, "the answers did not all come");
    QString got = answers->join(QStringLiteral(" | "));
    if (how.isEmpty()) {
        QVERIFY2(answers->isEmpty(), "a line that owes answers needs its expectation");
    } else if (how == QLatin1String("=~")) {
        const QRegularExpression pattern(substituted(expected, true));
        QVERIFY2(pattern.match(got).hasMatch(), qPrintable(got));
    } else {
        // "~>": asked again until the station gets there, as a script would poll.
        QElapsedTimer waited;
        waited.start();
        while (how == QLatin1String("~>") && got != substituted(expected) && !waited.hasExpired(kWaitMs)) {
            QTest::qWait(20);
            answers = ask(client, line);
            QVERIFY2(answers, "the answers did not all come");
            got = answers->join(QStringLiteral(" | "));
        }
        QCOMPARE(got, substituted(expected));
    }
    QVERIFY2(client.pending.isEmpty(), client.pending.constData());
    if (!answers->isEmpty()) {
        m_last = answers->constLast();
        if (m_last.size() >= 2 && m_last.startsWith(QLatin1Char('"')) && m_last.endsWith(QLatin1Char('"')))
            m_last = m_last.mid(1, m_last.size() - 2);
    }
}

void TestRemoteCommands::halfClosed(Client &client, const QString &line, const QString &expected)
{
    client.socket->write(line.toUtf8());
    QVERIFY(client.socket->flush());
    // What a client does that sends its last message and then shuts its sending side.
    QCOMPARE(::shutdown(int(client.socket->socketDescriptor()), SHUT_WR), 0);
    // Qt reads up to the server's end of the stream and then calls the socket disconnected.
    QTRY_VERIFY_WITH_TIMEOUT(client.socket->state() == QAbstractSocket::UnconnectedState, kWaitMs);
    client.pending += client.socket->readAll();
    QCOMPARE(QString::fromUtf8(client.pending)
                 .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                 .join(QStringLiteral(" | ")),
        expected);
    client.pending.clear();
}

void TestRemoteCommands::act(const QString &action, const QString &argument)
{
    if (action == QLatin1String("hangup")) {
        m_sim->hangUp();
    } else if (action == QLatin1String("replug")) {
        QString error;
        QVERIFY2(m_sim->open(m_sim->portName(), &error), qPrintable(error));
    } else if (action == QLatin1String("setpoint")) {
        QVERIFY(m_device->setSetPoint(argument.toDouble()));
    } else if (action == QLatin1String("ignoreset")) {
        m_device->setIgnoreSetFrames(argument == QLatin1String("on"));
    } else if (action == QLatin1String("overrule")) {
        m_overrule = argument.toDouble();
    } else if (action == QLatin1String("writes")) {
        m_commands->setWritesAllowed(argument == QLatin1String("on"));
    } else if (action == QLatin1String("silent")) {
        for (int i = 0, first = int(m_clients.size()); i < argument.toInt(); ++i)
            connectClient(QStringLiteral("silent%1").arg(first + i));
    } else if (action == QLatin1String("giveway")) {
        m_server->setGiveWayAfter(argument.toInt());
    } else if (action == QLatin1String("await") && argument == QLatin1String("sample")) {
        // A curve with no sample yet counts as nothing recorded.
        QTRY_VERIFY_WITH_TIMEOUT(m_station->recorder().hasUnsavedCurve(), kWaitMs);
    } else {
        QFAIL("no such action");
    }
}

void TestRemoteCommands::check(const QString &fact, const QString &argument, const QString &expected)
{
    if (fact == QLatin1String("setframes")) {
        const QList<QByteArray> requests = m_sim->requests();
        const auto sets = std::count_if(requests.begin(), requests.end(),
            [](const QByteArray &r) { return r.size() > 2 && uchar(r.at(2)) == kSetCode; });
        QCOMPARE(QString::number(sets), expected);
    } else if (fact == QLatin1String("setpoint")) {
        QCOMPARE(QString::number(m_device->setPoint(), 'f', 2), expected);
    } else if (fact == QLatin1String("clients")) {
        QTRY_COMPARE_WITH_TIMEOUT(QString::number(m_server->clientCount()), expected, kWaitMs);
    } else if (fact == QLatin1String("refused")) {
        QTRY_COMPARE_WITH_TIMEOUT(QString::number(m_server->refusedCount()), expected, kWaitMs);
    } else if (fact == QLatin1String("connected")) {
        const QTcpSocket *socket = m_clients.at(argument).socket.get();
        QTRY_COMPARE_WITH_TIMEOUT(
            socket->state() == QAbstractSocket::ConnectedState ? QStringLiteral("yes") : QStringLiteral("no"),
            expected, kWaitMs);
    } else if (fact == QLatin1String("file")) {
        const QFileInfo file(argument);
        QCOMPARE(
            file.isFile() && file.size() > 0 ? QStringLiteral("exists") : QStringLiteral("absent"), expected);
    } else {
        QFAIL("no such fact");
    }
}

void TestRemoteCommands::setPointIsSequentialAndItsOutcomeQueued_data()
{
    addScriptColumn();
    QTest::newRow("outside the model's range no frame goes; inside it the query after it reads it back")
        << QStringList {
               "a: SOUR:SPO 100.01;SOUR:SPO 30.001;SYST:ERR?;SYST:ERR? => -222,\"Data out of range\" | "
               "-222,\"Data out of range\"",
               "? setframes => 0",
               "a: SOUR:SPO 30;SOUR:SPO? => 30.00",
               "a: SOUR:SPO 31.25;*OPC?;SYST:ERR? => 1 | 0,\"No error\"",
               "? setpoint => 31.25",
               // Converted from another unit: the controller's nearest step.
               "a: SOUR:SPO 100 FAR;SOUR:SPO?;SOUR:SPO 303.156K;SOUR:SPO? => 37.78 | 30.01",
               "a: SOUR:SPO 30.005 CEL;SYST:ERR? => -222,\"Data out of range\"",
               "a: SOUR:STAB:LIM 0.9 FAR;SOUR:STAB:LIM?;SYST:LINK:OPEN \"x\",9600 K,VBM100;SYST:ERR? => 0.50 "
               "| "
               "-138,\"Suffix not allowed\"",
           };
    QTest::newRow("refused: its error is queued before the query after it answers") << QStringList {
        "! overrule 45",
        "a: SOUR:SPO 30;SYST:ERR?;SOUR:SPO? => -200,\"Execution error;set point refused\" | 45.00",
    };
    QTest::newRow("not answered: *OPC? answers once nobody waits any more") << QStringList {
        "! ignoreset on",
        "a: SOUR:SPO 40;*OPC?;SYST:ERR? => 1 | -231,\"Data questionable;set point not confirmed\"",
        "? setpoint => 25.00",
    };
}

void TestRemoteCommands::newerSetPointSupersedesAnotherClientsWaitingOne_data()
{
    addScriptColumn();
    QTest::newRow("a's frame unanswered while b asks") << QStringList {
        "! ignoreset on",
        // The answer comes once the set point after it is on its way.
        "a: SYST:ERR?;SOUR:SPO 31 => 0,\"No error\"",
        // a's wait holds a alone.
        "b: *OPC?;SOUR:SPO? => 1 | 25.00",
        "b: SOUR:SPO 32",
        "a: *OPC?;SYST:ERR? => 1 | -200,\"Execution error;set point superseded\"",
        "! ignoreset off",
        "b: *OPC?;SYST:ERR?;SOUR:SPO? => 1 | 0,\"No error\" | 32.00",
        "? setpoint => 32.00",
    };
}

void TestRemoteCommands::conflictsAreWordedByTheLinkPolicy_data()
{
    addScriptColumn();
    QTest::newRow("link closed") << QStringList {
        "a: SYST:LINK:CLOS",
        "a: SYST:LINK? ~> CLOSED",
        "a: SOUR:SPO 30;SYST:ERR? => -221,\"Settings conflict;link not open\"",
        "? setframes => 0",
    };
    QTest::newRow("controller unconfirmed after a re-plug, until a client vouches for it") << QStringList {
        "a: SYST:LINK:CONF;SYST:ERR? => -221,\"Settings conflict;nothing to confirm\"",
        "! hangup",
        "a: SYST:LINK? ~> RECONNECTING",
        "! setpoint 20",
        "! replug",
        "a: SYST:LINK? ~> UNCONFIRMED",
        "a: SOUR:SPO 40;SYST:ERR? => -221,\"Settings conflict;controller unconfirmed\"",
        "? setframes => 0",
        "a: SYST:LINK:CONF;SYST:LINK? => OPEN",
        "a: SOUR:SPO 35;SOUR:SPO?;SYST:ERR? => 35.00 | 0,\"No error\"",
        "? setframes => 1",
    };
    QTest::newRow("writes off") << QStringList {
        "! writes off",
        "a: SOUR:SPO 30;SYST:ERR?;SOUR:SPO? => -203,\"Command protected\" | 25.00",
        "a: REC:STAR;SYST:ERR?;REC:STAT? => -203,\"Command protected\" | 0",
        "? setframes => 0",
    };
}

void TestRemoteCommands::recordedCurveIsKeptOrDroppedOnPurpose_data()
{
    addScriptColumn();
    QTest::newRow("saved") << QStringList {
        "a: REC:STAR;REC:STAT? => 1",
        "! await sample",
        "a: REC:SAVE \"$DIR/early.txt\";SYST:ERR? => -221,\"Settings conflict;recording\"",
        "a: REC:STOP;REC:STAT?;REC:STAR;SYST:ERR?;REC:STAT? => 0 | -221,\"Settings conflict;unsaved curve\" "
        "| 0",
        "a: REC:SAVE \"$DIR/missing/kept.txt\";SYST:ERR? =~ ^-257,\"File name error;.+\"$",
        "a: REC:STAR;SYST:ERR? => -221,\"Settings conflict;unsaved curve\"",
        "a: REC:SAVE \"$DIR/kept.txt\";SYST:ERR? => 0,\"No error\"",
        "? file $DIR/kept.txt => exists",
        "? file $DIR/early.txt => absent",
        "a: REC:DISC;SYST:ERR? => -221,\"Settings conflict;nothing recorded\"",
        "a: REC:STAR;SYST:ERR?;REC:STAT? => 0,\"No error\" | 1",
    };
    QTest::newRow("discarded, before and after which nothing is recorded") << QStringList {
        "a: REC:DISC;REC:SAVE \"$DIR/none.txt\";SYST:ERR?;SYST:ERR? => -221,\"Settings conflict;nothing "
        "recorded\" | -221,\"Settings conflict;nothing recorded\"",
        "? file $DIR/none.txt => absent",
        "a: REC:STAR",
        "! await sample",
        "a: REC:STOP;REC:DISC;SYST:ERR? => 0,\"No error\"",
        "a: REC:DISC;SYST:ERR? => -221,\"Settings conflict;nothing recorded\"",
        "a: REC:STAR;SYST:ERR?;REC:STAT? => 0,\"No error\" | 1",
    };
}

void TestRemoteCommands::freshProfileIsToldEachMissingSettingInTurn_data()
{
    addScriptColumn();
    QTest::newRow("one step, nobody asked for a reading") << QStringList {
        "a: PROG:STAT RUN;SYST:ERR? => -221,\"Settings conflict;no program loaded\"",
        "a: PROG:LOAD \"$DIR/one.bbrun\";PROG:STAT RUN;SYST:ERR? => -221,\"Settings conflict;no report "
        "folder\"",
        "a: PROG:REP:FOLD \"$DIR/reports\";PROG:REP:FOLD? => \"$DIR/reports\"",
        "a: PROG:STAT RUN;SYST:ERR? => -221,\"Settings conflict;lab unknown\"",
        "a: SYST:LAB:NAME \"Table lab\";SYST:LAB:PREF \"TL\";SYST:ERR? => 0,\"No error\"",
        // The machine-readable certificate's schema takes the lab's country as two capitals only.
        "a: SYST:LAB:COUN \"China\";SYST:ERR?;SYST:LAB:COUN? => -224,\"Illegal parameter value;ISO 3166-1 "
        "code, two capitals\" | \"\"",
        "a: SYST:LAB:COUN \"CN\";SYST:LAB:COUN? => \"CN\"",
        // A program without a certificate's fields runs as a test report, and the client hears what it
        // lacks; once it runs, only the run sends set points.
        "a: PROG:STAT RUN;SOUR:SPO 50;SYST:ERR?;SYST:ERR?;SYST:ERR? => -221,\"Settings conflict;test report, "
        "not a certificate: missing certificate.customer, certificate.make, certificate.model, "
        "certificate.serial, source.make, source.model, source.serial, source.certificate, source.due, "
        "source.uncertainty, budget repeatability\" | -221,\"Settings conflict;run in progress\" | 0,\"No "
        "error\"",
        "a: PROG:STAT? ~> DONE",
        "a: PROG:REP? =~ ^\"$DIR/reports/[^/\"]+\\.csv\"$",
        "? file $LAST => exists",
        "? setpoint => 35.00",
    };
}

void TestRemoteCommands::sessionsEndPolitely_data()
{
    addScriptColumn();
    QTest::newRow("half-closed: every complete line is answered, a cut last one is not") << QStringList {
        "a: SYST:ERR?;SOUR:SPO?\nSOUR:SPO?\nSOUR:SPO? =| 0,\"No error\" | 25.00 | 25.00",
        "? clients => 0",
    };
    QTest::newRow("half-closed: a set point still waits for its outcome") << QStringList {
        "a: SOUR:SPO 40;*OPC?;SOUR:SPO?\n =| 1 | 40.00",
        "? setpoint => 40.00",
    };
    QTest::newRow("eight silent clients: the ninth takes the place of the one silent longest")
        << QStringList {
               "! giveway 0",
               "! silent 8",
               "n: *IDN? =~ ^Ostrel,",
               "? clients => 8",
               "? connected silent0 => no",
               "? connected silent1 => yes",
               "? refused => 0",
           };
}

BB_CASE_PROCESSES_MAIN(TestRemoteCommands, Rows, 10)
#include "tst_remotecommands.moc"
