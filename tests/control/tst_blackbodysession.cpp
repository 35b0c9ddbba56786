#include "control/blackbodyprotocol.h"
#include "control/blackbodysession.h"

#include <QTest>

#include <cmath>

using Session = BlackbodySession;
using Kind = Session::Command::Kind;

namespace {

// A valid read reply of a 0.01 °C model (VBM100, the first in the table).
QByteArray readReply(double current, double set)
{
    QByteArray reply(9, '\0');
    const auto put = [&reply](int at, double celsius) {
        const auto wire = quint16(qint16(std::lround(celsius * 100)));
        reply[at] = char(wire & 0xFF);
        reply[at + 1] = char(wire >> 8);
    };
    put(0, current);
    put(6, set);
    int sum = 0;
    for (int i = 0; i < 8; ++i)
        sum += quint8(reply.at(i));
    reply[8] = char(sum % 128);
    return reply;
}

QString celsius(double value)
{
    return QString::number(value, 'f', 2);
}

QString trace(const Session::Commands &commands)
{
    static const char *const states[]
        = {"closed", "opening", "open", "silent", "reconnecting", "unconfirmed"};
    static const char *const stability[] = {"unknown", "settling", "stable"};
    static const char *const requesters[] = {"window", "scpi", "mqtt", "run"};
    QStringList words;
    for (const Session::Command &c : commands) {
        const QString reading = celsius(c.reading.current) + "/" + celsius(c.reading.set);
        switch (c.kind) {
        case Kind::OpenPort:
            words << QStringLiteral("open-port:%1@%2/%3").arg(c.port).arg(int(c.baud)).arg(int(c.stopBits));
            break;
        case Kind::ClosePort:
            words << "close-port";
            break;
        case Kind::Send:
            words << (c.payload == BlackbodyProtocol::pollPayload() ? "poll" : "frame:" + c.payload.toHex());
            break;
        case Kind::StartPollTimer:
            words << "poll-on";
            break;
        case Kind::StopPollTimer:
            words << "poll-off";
            break;
        case Kind::StartReconnectTimer:
            words << "retry-on";
            break;
        case Kind::StopReconnectTimer:
            words << "retry-off";
            break;
        case Kind::Opened:
            words << "opened";
            break;
        case Kind::OpenFailed:
            words << "open-failed";
            break;
        case Kind::Closed:
            words << QString("closed") + (c.cause == Session::CloseCause::ControllerRefused ? ":refused" : "")
                    + (c.ok ? "" : ":failed");
            break;
        case Kind::Lost:
            words << "lost";
            break;
        case Kind::Back:
            words << "back";
            break;
        case Kind::WarnPortLost:
            words << "warn";
            break;
        case Kind::Silence:
            words << "silence";
            break;
        case Kind::ControllerUnconfirmed:
            words << "unconfirmed";
            break;
        case Kind::StateChanged:
            words << QString("=") + states[int(c.state)];
            break;
        case Kind::Reading:
            words << "show " + reading + (c.reading.accepted ? "" : " held-back");
            break;
        case Kind::UnconfirmedReading:
            words << "show? " + reading;
            break;
        case Kind::NoReading:
            words << "none";
            break;
        case Kind::Stability:
            words << QString("~") + stability[int(c.stability)];
            break;
        case Kind::SetPointRequested:
            words << "asked " + celsius(c.value) + " " + requesters[int(c.requester)];
            break;
        case Kind::SetPointOutcome:
            words << QString(c.confirmed ? "confirmed " : "refused ") + celsius(c.value) + " "
                    + requesters[int(c.requester)];
            break;
        case Kind::AskIdentity:
            words << "same? " + BlackbodyProtocol::wireUnitsText(c.heldWire, 100, 2) + "->"
                    + BlackbodyProtocol::wireUnitsText(c.reportedWire, 100, 2);
            break;
        case Kind::DropIdentityQuestion:
            words << "drop-question";
            break;
        case Kind::ControllerAccepted:
            words << "accepted " + BlackbodyProtocol::wireUnitsText(c.heldWire, 100, 2);
            break;
        case Kind::Tick:
            words << "tick";
            break;
        case Kind::ReadBack:
            break;
        }
    }
    return words.isEmpty() ? QStringLiteral("-") : words.join(QLatin1Char(' '));
}

// One line of a script: "<ms> <event> [arguments] => <commands>".
Session::Commands play(Session &session, qint64 at, const QStringList &w)
{
    const QString &event = w.at(0);
    if (event == "open")
        return session.open(QStringLiteral("/dev/bb"), QSerialPort::Baud9600, 0, at);
    if (event == "opened")
        return session.opened(w.value(1) != "fail", at);
    if (event == "closed")
        return session.closed(true, at);
    if (event == "gone")
        return session.portLost(at);
    if (event == "close")
        return session.close(at);
    if (event == "tick")
        return session.pollTick(at);
    if (event == "retry")
        return session.reconnectTick(at);
    if (event == "read")
        return session.reply(
            BlackbodyProtocol::kReadCode, readReply(w.at(1).toDouble(), w.at(2).toDouble()), true, at);
    if (event == "garbage") // what a worker reports for a reply that failed its check
        return session.reply(
            BlackbodyProtocol::kReadCode, QByteArray::fromHex(w.at(1).toLatin1()), false, at);
    if (event == "set")
        return session.requestSetPoint(
            w.at(1).toDouble(), w.value(2) == "run" ? Requester::Run : Requester::Window, at);
    if (event == "set-reply")
        return session.reply(BlackbodyProtocol::kSetCode, readReply(0, 0), w.at(1) == "ok", at);
    if (event == "same")
        return session.identityAnswered(w.at(1) == "yes", at);
    if (event == "limits")
        return session.setStabilityLimits(w.at(1).toDouble(), w.at(2).toLongLong());
    qFatal("unknown event %s", qPrintable(event));
}

// Opened at 0 and showing 25.00 of a held 35.00 at 510.
const QStringList kOpen = {
    "0 open => =opening open-port:/dev/bb@9600/2",
    "10 opened => =open opened poll-on",
    "500 tick => tick poll",
    "510 read 25 35 => show 25.00/35.00 ~settling",
};

} // namespace

class TestBlackbodySession : public QObject
{
    Q_OBJECT

private slots:
    void scripts_data();
    void scripts();
};

void TestBlackbodySession::scripts_data()
{
    QTest::addColumn<QStringList>("script");

    QTest::newRow("one request in flight; a silent controller is shown as such, then answers again") << kOpen
            + QStringList {
                "1000 tick => tick poll",
                "1500 tick => tick",
                "3511 tick => none ~unknown =silent silence tick",
                // The worker lost the request: it stops blocking the next.
                "4000 tick => tick poll",
                "4010 read 26 35 => =open show 26.00/35.00 ~settling",
            };
    QTest::newRow("replies that failed their check show nothing and free the turn") << kOpen
            + QStringList {
                "1000 tick => tick poll",
                "1010 garbage 80805200 => -",
                "1500 tick => tick poll",
                "1510 read 25.5 35 => show 25.50/35.00",
            };
    QTest::newRow("an implausible jump is held back; three on one line are a real step") << kOpen
            + QStringList {
                "1010 read 80 35 => show 25.00/35.00 held-back",
                "1510 read 80 35 => show 25.00/35.00 held-back",
                "2010 read 80 35 => show 80.00/35.00",
                "2510 read 25 35 => show 80.00/35.00 held-back",
            };
    QTest::newRow("a set point is confirmed when read back, and polling waits for its reply") << kOpen
            + QStringList {
                "600 set 40 => poll-off asked 40.00 window frame:80804300a00f",
                "700 tick => -",
                "900 set-reply ok => poll-on poll",
                "950 read 25 40 => show 25.00/40.00 confirmed 40.00 window",
            };
    QTest::newRow("a set point read back otherwise, or too late, or answered badly, is refused") << kOpen
            + QStringList {
                "600 set 40 run => poll-off asked 40.00 run frame:80804300a00f",
                "900 set-reply ok => poll-on poll",
                "950 read 25 35 => show 25.00/35.00 refused 40.00 run",
                "1000 set 41 => poll-off asked 41.00 window frame:808043000410",
                "1100 set-reply bad => poll-on refused 41.00 window",
                "1200 set 42 => poll-off asked 42.00 window frame:808043006810",
                "1300 set-reply ok => poll-on poll",
                "3299 tick => tick",
                "3300 tick => refused 42.00 window tick",
            };
    QTest::newRow("a late reply to an earlier poll does not confirm a set point") << kOpen
            + QStringList {
                "1000 tick => tick poll",
                "1100 set 40 => poll-off asked 40.00 window frame:80804300a00f",
                "1150 read 25 35 => show 25.00/35.00",
                "1400 set-reply ok => poll-on poll",
                "1500 read 25 40 => show 25.00/40.00 confirmed 40.00 window",
            };
    QTest::newRow("a vanished port is retried every second, warned of once, and resumes") << kOpen
            + QStringList {
                "600 gone => =reconnecting",
                "700 tick => -",
                "800 closed => ~unknown poll-off none retry-on lost",
                "800 retry => open-port:/dev/bb@9600/2",
                "1000 retry => -",
                "1050 opened fail => -",
                "1800 retry => open-port:/dev/bb@9600/2",
                "1850 opened fail => -",
                "60799 retry => open-port:/dev/bb@9600/2",
                "60800 retry => warn",
                "60850 opened ok => retry-off =open poll-on back",
                "61000 tick => tick poll",
                // Our controller: it still holds what it held.
                "61010 read 25 35 => show 25.00/35.00 ~settling",
            };
    QTest::newRow("another controller after a loss is shown unconfirmed until vouched for") << kOpen
            + QStringList {
                "600 gone => =reconnecting",
                "800 closed => ~unknown poll-off none retry-on lost",
                "800 retry => open-port:/dev/bb@9600/2",
                "850 opened ok => retry-off =open poll-on back",
                "1000 tick => tick poll",
                "1010 read 20 20 => show? 20.00/20.00 ~unknown =unconfirmed unconfirmed same? 35.00->20.00",
                "1500 tick => tick poll",
                "1510 read 20 20 => show? 20.00/20.00",
                "1600 same yes => =open accepted 20.00",
                "2010 read 20 20 => show 20.00/20.00 ~settling",
            };
    QTest::newRow("a controller turned down closes the link for good") << kOpen
            + QStringList {
                "600 set 40 => poll-off asked 40.00 window frame:80804300a00f",
                "900 set-reply ok => poll-on poll",
                "910 read 25 40 => show 25.00/40.00 confirmed 40.00 window",
                "4000 tick => none ~unknown =silent silence tick poll",
                // The set point last sent counts too: the controller may have taken it as the line went.
                "4010 read 25 40 => =open show 25.00/40.00 ~settling",
                "8000 tick => none ~unknown =silent silence tick poll",
                "8010 read 25 10 => show? 25.00/10.00 ~unknown =unconfirmed unconfirmed same? 40.00->10.00",
                "8100 same no => close-port",
                "8200 gone => =reconnecting",
                "8300 closed => ~unknown =closed closed:refused none poll-off",
            };
    QTest::newRow("the operator gives up on a vanished port; a late open is closed again") << kOpen
            + QStringList {
                "600 gone => =reconnecting",
                "800 closed => ~unknown poll-off none retry-on lost",
                "800 retry => open-port:/dev/bb@9600/2",
                "900 close => retry-off =closed closed none",
                "950 opened ok => close-port",
                "960 set 40 => -",
                "1000 closed => ~unknown closed none",
                "1100 set 40 => -",
            };
    QTest::newRow("stable once every reading of the window lies in the band") << kOpen
            + QStringList {
                "520 limits 0.1 1000 => -",
                "1010 read 25 25 => show 25.00/25.00",
                "1510 read 25.1 25 => show 25.10/25.00",
                "2010 read 24.9 25 => show 24.90/25.00 ~stable",
                "2510 read 25.2 25 => show 25.20/25.00 ~settling",
                "2600 close => close-port",
                "2700 closed => ~unknown =closed closed none poll-off",
            };
}

void TestBlackbodySession::scripts()
{
    QFETCH(QStringList, script);
    Session session;
    for (const QString &line : script) {
        const QStringList parts = line.split(QStringLiteral(" => "));
        const QStringList words = parts.at(0).split(QLatin1Char(' '));
        const qint64 at = words.at(0).toLongLong();
        Session::Commands commands;
        // As the link does: the read-back is judged where it stands among the commands.
        for (const Session::Command &c : play(session, at, words.mid(1))) {
            commands << c;
            if (c.kind == Kind::ReadBack)
                commands << session.readBack(c.heldWire, at);
        }
        const QString got = trace(commands);
        if (got != parts.at(1))
            QFAIL(qPrintable(QStringLiteral("%1\n   got: %2").arg(line, got)));
    }
}

QTEST_GUILESS_MAIN(TestBlackbodySession)
#include "tst_blackbodysession.moc"
