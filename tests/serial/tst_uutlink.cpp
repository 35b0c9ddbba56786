#include "control/uutdriver.h"
#include "ptyhost.h"
#include "station/uutlink.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

Q_DECLARE_METATYPE(UutReading::Kind)

namespace {

// A CR-terminated thermometer: "INIT" goes unanswered, "?T" answers "!T050.12", one retry, short waits.
UutDriver testDriver(const QString &transport = QStringLiteral("serial"),
    const QString &line = QStringLiteral(R"json({"baud": 9600})json"))
{
    const QByteArray json = QStringLiteral(R"json({
        "version": 1, "name": "Test meter", "transport": "%1", "line": %2,
        "framing": {"writeTerminator": "\r", "readTerminator": "\r", "interByteTimeoutMs": 100},
        "init": [{"text": "INIT"}],
        "commands": {"read": {"text": "?T",
            "decoder": {"kind": "regex", "pattern": "!T([-+]?[0-9.]+)"}}},
        "errors": [{"match": "77770", "meaning": "not ready", "action": "pause"}],
        "replyTimeoutMs": 300, "retries": 1
    })json")
                                .arg(transport, line)
                                .toLatin1();
    const UutDriverRead read = readUutDriver(json);
    if (!read.driver)
        qFatal("test driver: %s", qPrintable(read.error));
    return *read.driver;
}

// The instrument's side of the line: collects requests by line, answers "?T" from a script (an empty
// entry drops the reply) and then with the good reading, and writes through `send`.
class Instrument : public QObject
{
    Q_OBJECT

public:
    std::function<void(const QByteArray &)> send;
    QStringList requests;
    QStringList script;

    void take(const QByteArray &bytes)
    {
        m_buffer += bytes;
        int end;
        while ((end = int(m_buffer.indexOf('\r'))) >= 0) {
            const QString line = QString::fromLatin1(m_buffer.left(end));
            m_buffer.remove(0, end + 1);
            requests << line;
            if (line != QLatin1String("?T"))
                continue;
            const QString reply = script.isEmpty() ? QStringLiteral("!T050.12") : script.takeFirst();
            if (!reply.isEmpty())
                send(reply.toLatin1() + '\r');
        }
    }

    int count(const QString &request) const { return int(requests.count(request)); }

private:
    QByteArray m_buffer;
};

constexpr int kWaitMs = 5000;

} // namespace

class TestUutLink : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void exchangeOutcomes_data();
    void exchangeOutcomes();
    void driversLineSettingsAreApplied();
    void presenceCheckFindsTheInstrumentGoneAndBack();
    void hangUpAnswersLostAndReconnectionResendsInit();
    void tcpOnLoopbackReconnects();
    void portThatDoesNotOpenIsReported();
    void closedLinkAnswersLost();

private:
    // Opens the link on the pty and waits until the check after the init list is answered.
    void openOnPty();
    // The link's answer to `token`, waited for.
    std::optional<UutReading> answerTo(int token);

    QTemporaryDir m_dir;
    sim::PtyHost *m_pty = nullptr;
    Instrument *m_instrument = nullptr;
    UutLink *m_link = nullptr;
    QSignalSpy *m_answers = nullptr;
    QString m_path;
};

void TestUutLink::init()
{
    m_path = m_dir.filePath(QStringLiteral("uut"));
    m_pty = new sim::PtyHost(this);
    m_instrument = new Instrument;
    m_instrument->setParent(this);
    m_instrument->send = [this](const QByteArray &bytes) { m_pty->write(bytes); };
    connect(m_pty, &sim::PtyHost::received, m_instrument, &Instrument::take);
    m_link = new UutLink(this);
    m_link->setPresenceCheckInterval(60000);
    m_answers = new QSignalSpy(m_link, &UutLink::answered);
}

void TestUutLink::cleanup()
{
    delete m_answers;
    delete m_link;
    delete m_pty;
    delete m_instrument;
}

void TestUutLink::openOnPty()
{
    QString error;
    QVERIFY2(m_pty->open(m_path, &error), qPrintable(error));
    m_link->open(testDriver(), m_path);
    QCOMPARE(m_link->state(), UutLink::State::Connecting);
    QTRY_COMPARE_WITH_TIMEOUT(m_link->state(), UutLink::State::Connected, kWaitMs);
    QCOMPARE(m_instrument->requests.value(0), QStringLiteral("INIT"));
}

std::optional<UutReading> TestUutLink::answerTo(int token)
{
    std::optional<UutReading> reading;
    const bool answered = QTest::qWaitFor(
        [&] {
            for (const QList<QVariant> &args : qAsConst(*m_answers)) {
                if (args.at(0).toInt() == token)
                    reading = args.at(1).value<UutReading>();
            }
            return reading.has_value();
        },
        kWaitMs);
    return answered ? reading : std::nullopt;
}

void TestUutLink::exchangeOutcomes_data()
{
    QTest::addColumn<QStringList>("script"); // the instrument's replies to the reading's requests
    QTest::addColumn<UutReading::Kind>("kind");
    QTest::addColumn<QString>("raw");
    QTest::addColumn<int>("attempts");
    QTest::addColumn<UutLink::State>("state");

    QTest::newRow("reading") << QStringList {"!T050.12"} << UutReading::Kind::Value << "!T050.12\\r" << 1
                             << UutLink::State::Connected;
    QTest::newRow("dropped reply retried") << QStringList {"", "!T050.12"} << UutReading::Kind::Value
                                           << "!T050.12\\r" << 2 << UutLink::State::Connected;
    QTest::newRow("timeout after the retries")
        << QStringList {"", ""} << UutReading::Kind::Timeout << "" << 2 << UutLink::State::NoAnswer;
    QTest::newRow("garbage after the retries")
        << QStringList {"??", "??"} << UutReading::Kind::Garbage << "??\\r" << 2 << UutLink::State::NoAnswer;
    QTest::newRow("sentinel pauses") << QStringList {"77770"} << UutReading::Kind::Error << "77770\\r" << 1
                                     << UutLink::State::Connected;
}

void TestUutLink::exchangeOutcomes()
{
    QFETCH(QStringList, script);
    QFETCH(UutReading::Kind, kind);
    QFETCH(QString, raw);
    QFETCH(int, attempts);
    QFETCH(UutLink::State, state);

    openOnPty();
    m_instrument->script = script;
    const std::optional<UutReading> answer = answerTo(m_link->requestReading());
    QVERIFY(answer);
    const UutReading &reading = *answer;
    QCOMPARE(reading.kind, kind);
    QCOMPARE(reading.raw, raw);
    QCOMPARE(reading.attempts, attempts);
    QCOMPARE(reading.pausesRun, kind != UutReading::Kind::Value);
    if (kind == UutReading::Kind::Value)
        QCOMPARE(reading.value, 50.12);
    QVERIFY(reading.utc.isValid());
    QCOMPARE(m_link->state(), state);
}

void TestUutLink::driversLineSettingsAreApplied()
{
    // Only a real adapter shows what a mismatch does (parity and framing errors) and takes parity or
    // seven data bits; a pseudo-terminal opens with them all the same and shows the rate and stop bits.
    QVERIFY(m_pty->open(m_path));
    m_link->open(
        testDriver(QStringLiteral("serial"),
            QStringLiteral(R"json({"baud": 19200, "dataBits": 7, "parity": "even", "stopBits": 2})json")),
        m_path);
    QTRY_COMPARE_WITH_TIMEOUT(m_link->state(), UutLink::State::Connected, kWaitMs);
    QCOMPARE(m_pty->lineSettings().baud, 19200);
    QCOMPARE(m_pty->lineSettings().stopBits, 2);
}

void TestUutLink::presenceCheckFindsTheInstrumentGoneAndBack()
{
    m_link->setPresenceCheckInterval(100);
    openOnPty();
    m_instrument->script = QStringList {QString(), QString()};
    QTRY_COMPARE_WITH_TIMEOUT(m_link->state(), UutLink::State::NoAnswer, kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(m_link->state(), UutLink::State::Connected, kWaitMs);
    QCOMPARE(m_instrument->count(QStringLiteral("INIT")), 1);
}

void TestUutLink::hangUpAnswersLostAndReconnectionResendsInit()
{
    openOnPty();
    m_instrument->script = QStringList {QString(), QString()}; // unanswered while the line goes
    QSignalSpy states(m_link, &UutLink::stateChanged);
    const int token = m_link->requestReading();
    QTRY_COMPARE_WITH_TIMEOUT(m_instrument->count(QStringLiteral("?T")), 2, kWaitMs);
    // Unplugged and plugged straight back: the link may find the line again at its first attempt.
    m_pty->hangUp();
    QVERIFY(m_pty->open(m_path));
    const std::optional<UutReading> lost = answerTo(token);
    QVERIFY(lost);
    QCOMPARE(lost->kind, UutReading::Kind::Lost);
    QVERIFY(lost->pausesRun);
    QVERIFY(m_link->driver());
    QTRY_COMPARE_WITH_TIMEOUT(m_link->state(), UutLink::State::Connected, kWaitMs);
    QCOMPARE(m_instrument->count(QStringLiteral("INIT")), 2);
    const std::optional<UutReading> again = answerTo(m_link->requestReading());
    QVERIFY(again);
    QCOMPARE(again->kind, UutReading::Kind::Value);
    QVERIFY(states.contains({QVariant::fromValue(UutLink::State::Lost)}));
}

void TestUutLink::tcpOnLoopbackReconnects()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    QTcpSocket *client = nullptr;
    connect(&server, &QTcpServer::newConnection, this, [&] {
        client = server.nextPendingConnection();
        connect(client, &QTcpSocket::readyRead, m_instrument, [&] { m_instrument->take(client->readAll()); });
    });
    m_instrument->send = [&](const QByteArray &bytes) { client->write(bytes); };

    m_link->open(testDriver(QStringLiteral("tcp")), QStringLiteral("127.0.0.1:%1").arg(server.serverPort()));
    QTRY_COMPARE_WITH_TIMEOUT(m_link->state(), UutLink::State::Connected, kWaitMs);
    const std::optional<UutReading> reading = answerTo(m_link->requestReading());
    QVERIFY(reading);
    QCOMPARE(reading->kind, UutReading::Kind::Value);
    QCOMPARE(reading->raw, QStringLiteral("!T050.12\\r"));

    client->disconnectFromHost();
    QTRY_COMPARE_WITH_TIMEOUT(m_link->state(), UutLink::State::Lost, kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(m_link->state(), UutLink::State::Connected, kWaitMs);
    QCOMPARE(m_instrument->count(QStringLiteral("INIT")), 2);
}

void TestUutLink::portThatDoesNotOpenIsReported()
{
    QSignalSpy failed(m_link, &UutLink::openFailed);
    m_link->open(testDriver(), m_dir.filePath(QStringLiteral("none")));
    QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, kWaitMs);
    QCOMPARE(m_link->state(), UutLink::State::Closed);
    QVERIFY(!m_link->driver());
}

void TestUutLink::closedLinkAnswersLost()
{
    const int token = m_link->requestReading();
    QCOMPARE(m_answers->count(), 0); // not before the caller holds its token
    const std::optional<UutReading> reading = answerTo(token);
    QVERIFY(reading);
    QCOMPARE(reading->kind, UutReading::Kind::Lost);
    QCOMPARE(reading->meaning, QStringLiteral("link closed"));
}

QTEST_GUILESS_MAIN(TestUutLink)
#include "tst_uutlink.moc"
