#include "control/blackbodyprotocol.h"
#include "control/blackbodysession.h"
#include "control/jumpfilter.h"

#include <QTest>

#include <cmath>
#include <iterator>

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
    // Words of the kinds that carry nothing more, in the order of Kind.
    static const char *const plain[] = {"", "close-port", "", "poll-on", "poll-off", "retry-on", "retry-off",
        "opened", "open-failed", "", "lost", "silence", "unconfirmed", "back", "warn", "", "", "", "none", "",
        "", "", "", "drop-question", "", "tick", ""};
    static_assert(std::size(plain) == size_t(Kind::ReadBack) + 1, "one word per kind");
    static const char *const states[]
        = {"closed", "opening", "open", "silent", "reconnecting", "unconfirmed"};
    static const char *const stability[] = {"unknown", "settling", "stable"};
    static const char *const requesters[] = {"window", "scpi", "mqtt", "run"};
    const auto wire = [](qint16 w) { return BlackbodyProtocol::wireUnitsText(w, 100, 2); };
    QStringList words;
    for (const Session::Command &c : commands) {
        const QString reading = celsius(c.reading.current) + "/" + celsius(c.reading.set);
        const QString value = celsius(c.request.celsius) + " " + requesters[int(c.request.requester)];
        static const char *const outcomes[] = {"confirmed", "refused", "unconfirmed", "superseded"};
        switch (c.kind) {
        case Kind::OpenPort:
            words << QStringLiteral("open-port:%1@%2/%3").arg(c.port).arg(int(c.baud)).arg(int(c.stopBits));
            break;
        case Kind::Send:
            words << (c.payload == BlackbodyProtocol::pollPayload() ? "poll" : "frame:" + c.payload.toHex());
            break;
        case Kind::Closed:
            words << QString("closed") + (c.cause == Session::CloseCause::ControllerRefused ? ":refused" : "")
                    + (c.ok ? "" : ":failed");
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
        case Kind::Stability:
            words << QString("~") + stability[int(c.stability)];
            break;
        case Kind::SetPointRequested:
            words << "asked " + value;
            break;
        case Kind::SetPointOutcome:
            words << QString(outcomes[int(c.outcome)]) + " " + value;
            break;
        case Kind::AskIdentity:
            words << "same? " + wire(c.heldWire) + "->" + wire(c.reportedWire);
            break;
        case Kind::ControllerAccepted:
            words << "accepted " + wire(c.heldWire);
            break;
        case Kind::ReadBack:
            break;
        default:
            words << plain[int(c.kind)];
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
    if (event == "set") {
        static quint64 id = 0;
        const Requester requester = w.value(2) == "run" ? Requester::Run
            : w.value(2) == "scpi"                      ? Requester::Scpi
                                                        : Requester::Window;
        return session.requestSetPoint({++id, w.at(1).toDouble(), requester, QString()}, at);
    }
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

    // The session's parts, in cases the scripts do not reach.
    void filterShowsRealChangesButNotOutliers_data();
    void filterShowsRealChangesButNotOutliers();
    void filterResetAcceptsAnything();
    void setPointConfirmedOnlyByReadBack_data();
    void setPointConfirmedOnlyByReadBack();
    void controllerIsKnownByTheSetPointItHeld_data();
    void controllerIsKnownByTheSetPointItHeld();
    void reconnectTriesEverySecondAndWarnsOnce_data();
    void reconnectTriesEverySecondAndWarnsOnce();
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
    QTest::newRow("a set point is confirmed when read back; the poll due meanwhile waits for its reply")
        << kOpen
            + QStringList {
                "600 set 40 => asked 40.00 window frame:80804300a00f",
                "1000 tick => tick",
                "1010 set-reply ok => poll",
                "1050 read 25 40 => show 25.00/40.00 confirmed 40.00 window",
                "1500 tick => tick poll",
            };
    QTest::newRow("read back otherwise it is refused; unanswered or read back too late, not confirmed")
        << kOpen
            + QStringList {
                "600 set 40 run => asked 40.00 run frame:80804300a00f",
                "900 set-reply ok => poll",
                "950 read 25 35 => show 25.00/35.00 refused 40.00 run",
                "1000 set 41 => asked 41.00 window frame:808043000410",
                "1100 set-reply bad => unconfirmed 41.00 window",
                "1200 set 42 => asked 42.00 window frame:808043006810",
                "1300 set-reply ok => poll",
                "3299 tick => tick",
                "3300 tick => unconfirmed 42.00 window tick",
            };
    QTest::newRow("a late reply to an earlier poll does not confirm a set point") << kOpen
            + QStringList {
                "1000 tick => tick poll",
                "1100 set 40 => asked 40.00 window frame:80804300a00f",
                "1150 read 25 35 => show 25.00/35.00",
                "1400 set-reply ok => poll",
                "1500 read 25 40 => show 25.00/40.00 confirmed 40.00 window",
            };
    QTest::newRow("a burst of set points: each supersedes the one waiting, one frame at a time") << kOpen
            + QStringList {
                "600 set 40 scpi => asked 40.00 scpi frame:80804300a00f",
                "610 set 41 scpi => superseded 40.00 scpi",
                "620 set 42 scpi => superseded 41.00 scpi",
                "1000 tick => tick",
                // The due poll goes first, then the newest request.
                "1010 set-reply ok => poll asked 42.00 scpi frame:808043006810",
                "1020 read 25 35 => show 25.00/35.00",
                "1030 set-reply ok => poll",
                "1040 read 25 42 => show 25.00/42.00 confirmed 42.00 scpi",
            };
    QTest::newRow("set frames that are never answered neither stop the polls nor the stale rule") << kOpen
            + QStringList {
                "600 set 40 => asked 40.00 window frame:80804300a00f",
                "1000 tick => tick",
                "1500 tick => tick",
                "3600 tick => none ~unknown =silent silence unconfirmed 40.00 window poll tick",
                "4100 tick => tick",
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
                "1600 same yes => drop-question =open accepted 20.00",
                "2010 read 20 20 => show 20.00/20.00 ~settling",
            };
    QTest::newRow("an unconfirmed controller takes no set point, also once it falls silent") << kOpen
            + QStringList {
                "600 gone => =reconnecting",
                "800 closed => ~unknown poll-off none retry-on lost",
                "800 retry => open-port:/dev/bb@9600/2",
                "850 opened ok => retry-off =open poll-on back",
                "1000 tick => tick poll",
                "1010 read 20 20 => show? 20.00/20.00 ~unknown =unconfirmed unconfirmed same? 35.00->20.00",
                "1100 set 40 => unconfirmed 40.00 window",
                "1500 tick => tick poll",
                "5000 tick => none ~unknown =silent drop-question silence tick poll",
                "5100 set 40 => unconfirmed 40.00 window",
                "5210 read 20 20 => show? 20.00/20.00 ~unknown =unconfirmed unconfirmed same? 35.00->20.00",
                "5300 same yes => drop-question =open accepted 20.00",
                "5400 set 40 => asked 40.00 window frame:80804300a00f",
            };
    QTest::newRow("a silent controller may take a set point, which proves nothing") << kOpen
            + QStringList {
                "4000 tick => none ~unknown =silent silence tick poll",
                "4100 set 40 => asked 40.00 window frame:80804300a00f",
                "4500 tick => tick",
                "5100 set-reply bad => unconfirmed 40.00 window",
                "5200 read 25 40 => show? 25.00/40.00 ~unknown =unconfirmed unconfirmed same? 35.00->40.00",
            };
    QTest::newRow("a controller turned down closes the link for good") << kOpen
            + QStringList {
                "600 set 40 => asked 40.00 window frame:80804300a00f",
                "900 set-reply ok => poll",
                "910 read 25 40 => show 25.00/40.00 confirmed 40.00 window",
                "4000 tick => none ~unknown =silent silence tick poll",
                // The set point last sent counts too: the controller may have taken it as the line went.
                "4010 read 25 40 => =open show 25.00/40.00 ~settling",
                "8000 tick => none ~unknown =silent silence tick poll",
                "8010 read 25 10 => show? 25.00/10.00 ~unknown =unconfirmed unconfirmed same? 40.00->10.00",
                "8100 same no => drop-question close-port",
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
                "960 set 40 => unconfirmed 40.00 window",
                "1000 closed => ~unknown closed none",
                "1100 set 40 => unconfirmed 40.00 window",
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

// Each step: a time in ms after the loss at 10000, and whether an attempt and the warning fall due then.
struct ReconnectStep
{
    qint64 at;
    bool attempt;
    bool warning;
};
Q_DECLARE_METATYPE(QVector<ReconnectStep>)

void TestBlackbodySession::filterShowsRealChangesButNotOutliers_data()
{
    QTest::addColumn<int>("scale");
    QTest::addColumn<QVector<double>>("readings"); // one every 500 ms
    QTest::addColumn<QVector<double>>("shown");

    QTest::newRow("first reading, whatever its value")
        << 10 << QVector<double> {900.0} << QVector<double> {900.0};
    // In floats 30.01 - 25.01 is a little over 5.
    QTest::newRow("exactly 5.00 either way")
        << 100 << QVector<double> {25.01, 30.01, 25.01} << QVector<double> {25.01, 30.01, 25.01};
    QTest::newRow("single outlier") << 10 << QVector<double> {100.0, 105.1, 100.2, 300.0, 100.1}
                                    << QVector<double> {100.0, 100.0, 100.2, 100.2, 100.1};
    QTest::newRow("double outlier") << 10 << QVector<double> {100.0, 300.0, 300.0, 100.1}
                                    << QVector<double> {100.0, 100.0, 100.0, 100.1};
    QTest::newRow("step shows by its third reading") << 10 << QVector<double> {25.0, 60.0, 60.1, 59.9, 60.0}
                                                     << QVector<double> {25.0, 25.0, 25.0, 59.9, 60.0};
    QTest::newRow("slow ramp") << 10 << QVector<double> {100.0, 101.0, 102.0, 103.0}
                               << QVector<double> {100.0, 101.0, 102.0, 103.0};
    QTest::newRow("ramp at 50 per second")
        << 10 << QVector<double> {300.0, 275.0, 250.0, 225.0, 200.0, 175.0, 150.0}
        << QVector<double> {300.0, 300.0, 300.0, 225.0, 200.0, 175.0, 150.0};
    QTest::newRow("ramp that ends") << 10 << QVector<double> {100.0, 106.0, 112.0, 118.0, 124.0, 124.0, 124.1}
                                    << QVector<double> {100.0, 100.0, 100.0, 118.0, 124.0, 124.0, 124.1};
    QTest::newRow("outlier during a ramp")
        << 10 << QVector<double> {300.0, 275.0, 250.0, 225.0, 900.0, 175.0, 150.0}
        << QVector<double> {300.0, 300.0, 300.0, 225.0, 225.0, 175.0, 150.0};
}

void TestBlackbodySession::filterShowsRealChangesButNotOutliers()
{
    QFETCH(int, scale);
    QFETCH(QVector<double>, readings);
    QFETCH(QVector<double>, shown);
    JumpFilter filter(5 * scale);
    QVector<double> got;
    for (int i = 0; i < readings.size(); ++i)
        got << filter.filter(int(std::lround(readings[i] * scale)), i * 500) / double(scale);
    QCOMPARE(got, shown);
}

void TestBlackbodySession::filterResetAcceptsAnything()
{
    JumpFilter filter(50);
    filter.filter(250, 0);
    filter.filter(800, 500);
    filter.reset();
    QVERIFY(!filter.hasAccepted());
    QCOMPARE(filter.filter(800, 1000), 800);
}

void TestBlackbodySession::setPointConfirmedOnlyByReadBack_data()
{
    // Events: "sent W", "reply ok|bad T", "read W T", "expire T", "reset"; each gives -, confirmed,
    // refused or not confirmed (N).
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QString>("outcomes");

    QTest::newRow("read back") << QStringList {"sent 2000", "reply ok 0", "read 2000 50"} << "--C";
    QTest::newRow("read back differs") << QStringList {"sent 2000", "reply ok 0", "read 1500 50"} << "--R";
    QTest::newRow("invalid set reply") << QStringList {"sent 2000", "reply bad 0"} << "-N";
    QTest::newRow("no read-back within 2 s")
        << QStringList {"sent 2000", "reply ok 0", "expire 1999", "expire 2000", "read 2000 2100"} << "---N-";
    QTest::newRow("read back too late") << QStringList {"sent 2000", "reply ok 0", "read 2000 2001"} << "--N";
    QTest::newRow("a newer set point while confirming")
        << QStringList {"sent 1000", "reply ok 0", "sent 2000", "read 1000 10", "reply ok 20", "read 2000 30"}
        << "-----C";
    QTest::newRow("link reopened") << QStringList {"sent 2000", "reset", "reply ok 0", "read 2000 10"}
                                   << "----";
}

void TestBlackbodySession::setPointConfirmedOnlyByReadBack()
{
    QFETCH(QStringList, events);
    SetPointConfirmation confirmation;
    QString outcomes;
    for (const QString &event : events) {
        const QStringList w = event.split(QLatin1Char(' '));
        auto outcome = SetPointConfirmation::Outcome::None;
        if (w[0] == "sent")
            confirmation.sent(qint16(w[1].toInt()));
        else if (w[0] == "reply")
            outcome = confirmation.setReply(w[1] == "ok", w[2].toLongLong());
        else if (w[0] == "read")
            outcome = confirmation.readBack(qint16(w[1].toInt()), w[2].toLongLong());
        else if (w[0] == "expire")
            outcome = confirmation.expire(w[1].toLongLong());
        else
            confirmation.reset();
        outcomes += "-CRN"[int(outcome)];
    }
    QTEST(outcomes, "outcomes");
}

void TestBlackbodySession::controllerIsKnownByTheSetPointItHeld_data()
{
    // Events: "open", "gone" (lost or silent), "sent W", "read W", "yes"; after each the state:
    // C confirmed, ? checking, U unconfirmed, each in lower case while the controller is suspect.
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QString>("states");

    QTest::newRow("the same set point after the loss")
        << QStringList {"open", "read 3500", "gone", "read 3500", "read 3600"} << "CC?CC";
    QTest::newRow("another or a restarted controller") << QStringList {"open", "read 3500", "gone",
        "read 2000", "read 3500", "gone", "read 3500"} << "CC?uu?C";
    QTest::newRow("a set point sent just before the loss may have been taken")
        << QStringList {"open", "read 3500", "sent 4000", "gone", "read 4000"} << "CCC?C";
    QTest::newRow("nothing heard before the loss: nothing to compare")
        << QStringList {"open", "sent 4000", "gone", "read 2000"} << "CCCC";
    QTest::newRow("confirmed by someone who can see it, it holds what it reported")
        << QStringList {"open", "read 3500", "gone", "read 2000", "yes", "gone", "read 2000"} << "CC?uC?C";
    QTest::newRow("a new opening forgets the old controller")
        << QStringList {"open", "read 3500", "gone", "open", "read 2000"} << "CC?CC";
    QTest::newRow("a set point sent after the interruption proves nothing")
        << QStringList {"open", "read 3500", "gone", "sent 4000", "read 4000"} << "CC??u";
    QTest::newRow("an unconfirmed controller that goes again stays suspect until it shows what ours held")
        << QStringList {"open", "read 3500", "gone", "read 2000", "gone", "sent 2000", "read 2000", "gone",
               "read 3500"}
        << "CC?u??u?C";
    QTest::newRow("vouched for while silent")
        << QStringList {"open", "read 3500", "gone", "read 2000", "gone", "yes", "read 2000"} << "CC?u?CC";
}

void TestBlackbodySession::controllerIsKnownByTheSetPointItHeld()
{
    QFETCH(QStringList, events);
    ControllerIdentity identity;
    QString states;
    for (const QString &event : events) {
        const QStringList w = event.split(QLatin1Char(' '));
        if (w[0] == "open")
            identity.opened();
        else if (w[0] == "gone")
            identity.interrupted();
        else if (w[0] == "sent")
            identity.sent(qint16(w[1].toInt()));
        else if (w[0] == "read")
            identity.reading(qint16(w[1].toInt()));
        else
            identity.accept();
        const char state = "C?U"[int(identity.state())];
        states += identity.suspect() ? QChar(state).toLower() : QChar(state);
    }
    QTEST(states, "states");
}

void TestBlackbodySession::reconnectTriesEverySecondAndWarnsOnce_data()
{
    QTest::addColumn<QVector<ReconnectStep>>("steps");
    QTest::addColumn<bool>("stopAfterFirst");
    QTest::newRow("first attempt at once, then one per second") << QVector<ReconnectStep> {{0, true, false},
        {200, false, false}, {999, false, false}, {1000, true, false}, {1200, false, false},
        {2000, true, false}} << false;
    QTest::newRow("a late tick does not shift the schedule")
        << QVector<ReconnectStep> {{0, true, false}, {1700, true, false}, {2000, true, false}} << false;
    QTest::newRow("warning once after a minute") << QVector<ReconnectStep> {{59999, true, false},
        {60000, true, true}, {60200, false, false}, {61000, true, false}}
                                                 << false;
    QTest::newRow("nothing after the port is back")
        << QVector<ReconnectStep> {{0, true, false}, {1000, false, false}, {60000, false, false}} << true;
}

void TestBlackbodySession::reconnectTriesEverySecondAndWarnsOnce()
{
    QFETCH(QVector<ReconnectStep>, steps);
    QFETCH(bool, stopAfterFirst);
    ReconnectPolicy policy;
    QVERIFY(!policy.takeAttempt(10000));
    policy.lost(10000);
    for (int i = 0; i < steps.size(); ++i) {
        const ReconnectStep &step = steps.at(i);
        QCOMPARE(policy.takeWarning(10000 + step.at), step.warning);
        QCOMPARE(policy.takeAttempt(10000 + step.at), step.attempt);
        if (i == 0 && stopAfterFirst)
            policy.stop();
    }
}

QTEST_GUILESS_MAIN(TestBlackbodySession)
#include "tst_blackbodysession.moc"
