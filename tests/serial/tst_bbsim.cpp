#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray kPoll = QByteArray::fromHex("808052000052");

// Reads standard output until a line containing text arrives; returns that line.
QString readLineContaining(QProcess &process, const QString &text)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000) {
        while (process.canReadLine()) {
            const QString line = QString::fromUtf8(process.readLine()).trimmed();
            if (line.contains(text))
                return line;
        }
        process.waitForReadyRead(100);
    }
    return {};
}

} // namespace

class TestBbsim : public QObject
{
    Q_OBJECT

private slots:
    void helpListsOptionsAndCommands();
    void badOptionsAreRejected_data();
    void badOptionsAreRejected();
    void servesLinkTakesCommandsAndCleansUpOnTerminate();
    void servesThermometerOnSecondLinkWithItsOwnCommands();
    void servesInstrumentThatReadsTheBlackbodyWithItsOwnCommands();
};

void TestBbsim::helpListsOptionsAndCommands()
{
    QProcess process;
    process.start(QStringLiteral(BBSIM_PATH), {QStringLiteral("--help")});
    QVERIFY(process.waitForFinished(5000));
    QCOMPARE(process.exitCode(), 0);
    const QString help = QString::fromUtf8(process.readAllStandardOutput());
    for (const char *word : {"--link", "--model", "--baud", "--tau", "--noise", "silence", "late", "hangup",
             "setpoint", "--thermo-link", "--thermo-baud", "--thermo-temp", "--thermo-ack", "thermo temp",
             "thermo ack", "--uut-link", "--uut-kind", "--uut-tcp", "--uut-baud", "--uut-push",
             "uut sentinel", "uut offset", "drop", "push"})
        QVERIFY2(help.contains(QLatin1String(word)), word);
}

void TestBbsim::badOptionsAreRejected_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("hint");

    QTest::newRow("unknown model") << QStringList {"--model", "VBX9"} << QByteArray("VBM100");
    QTest::newRow("thermometer answer of 4 bytes")
        << QStringList {"--thermo-link", "unused", "--thermo-ack", "4"} << QByteArray("2 or 3");
    QTest::newRow("thermometer at no standard rate")
        << QStringList {"--thermo-link", "unused", "--thermo-baud", "12345"} << QByteArray("standard rate");
    QTest::newRow("instrument of no known kind")
        << QStringList {"--uut-link", "unused", "--uut-kind", "morse"} << QByteArray("ascii, addressed");
    QTest::newRow("instrument pushing without scpi")
        << QStringList {"--uut-link", "unused", "--uut-push", "1"} << QByteArray("scpi kind");
    QTest::newRow("thermometer reading it cannot send")
        << QStringList {"--thermo-link", "unused", "--thermo-temp", "7000"} << QByteArray("6453.5");
}

void TestBbsim::badOptionsAreRejected()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, hint);

    QTemporaryDir dir;
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.start(QStringLiteral(BBSIM_PATH), QStringList {"--link", dir.filePath("bb")} + arguments);
    QVERIFY(process.waitForFinished(5000));
    QCOMPARE(process.exitCode(), 2);
    QVERIFY(process.readAllStandardError().contains(hint));
    QVERIFY(!QFileInfo(dir.filePath("bb")).isSymLink());
}

void TestBbsim::servesLinkTakesCommandsAndCleansUpOnTerminate()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("bbsim"));
    QProcess process;
    process.start(QStringLiteral(BBSIM_PATH),
        {QStringLiteral("--link"), link, QStringLiteral("--model"), QStringLiteral("VBM400"),
            QStringLiteral("--initial"), QStringLiteral("100"), QStringLiteral("--noise"),
            QStringLiteral("0")});
    QVERIFY(process.waitForStarted(5000));
    QVERIFY(
        readLineContaining(process, QStringLiteral("port: ")).startsWith(QStringLiteral("port: ") + link));

    QSerialPort client(link);
    QVERIFY(client.open(QIODevice::ReadWrite));
    client.setStopBits(QSerialPort::OneStop);
    client.write(kPoll);
    QTRY_COMPARE_WITH_TIMEOUT(client.bytesAvailable(), qint64(9), 5000);
    // 100.0 °C in 0.1 °C counts.
    QCOMPARE(client.readAll().left(2).toHex(' '), QByteArray("e8 03"));

    process.write("silence\nstatus\n");
    QVERIFY(!readLineContaining(process, QStringLiteral("silence until cleared")).isEmpty());
    process.write("frobnicate\n");
    QVERIFY(!readLineContaining(process, QStringLiteral("error: unknown command frobnicate")).isEmpty());

    process.terminate();
    QVERIFY(process.waitForFinished(5000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
}

void TestBbsim::servesThermometerOnSecondLinkWithItsOwnCommands()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("thermo"));
    QProcess process;
    process.start(QStringLiteral(BBSIM_PATH),
        {QStringLiteral("--link"), dir.filePath(QStringLiteral("bb")), QStringLiteral("--thermo-link"), link,
            QStringLiteral("--thermo-baud"), QStringLiteral("9600"), QStringLiteral("--thermo-temp"),
            QStringLiteral("23.5"), QStringLiteral("--thermo-ack"), QStringLiteral("3")});
    QVERIFY(process.waitForStarted(5000));
    QVERIFY(readLineContaining(process, QStringLiteral("thermometer port: "))
                .startsWith(QStringLiteral("thermometer port: ") + link));

    QSerialPort client(link);
    QVERIFY(client.open(QIODevice::ReadWrite));
    client.setBaudRate(9600);
    client.write(QByteArray::fromHex("00000000000101"));
    QTRY_COMPARE_WITH_TIMEOUT(client.bytesAvailable(), qint64(3), 5000);
    QCOMPARE(client.readAll().toHex(' '), QByteArray("04 d3 d7"));

    process.write("thermo temp 30\n");
    QVERIFY(!readLineContaining(process, QStringLiteral("8N1): 30.0")).isEmpty());
    client.write(QByteArray::fromHex("00000000000101"));
    QTRY_COMPARE_WITH_TIMEOUT(client.bytesAvailable(), qint64(3), 5000);
    QCOMPARE(client.readAll().toHex(' '), QByteArray("05 14 11"));
    // Faults go to the device they are addressed to.
    process.write("thermo silence\nstatus\n");
    QVERIFY(!readLineContaining(process, QStringLiteral("faults: none")).isEmpty());
    process.write("thermo status\n");
    QVERIFY(!readLineContaining(process, QStringLiteral("silence until cleared")).isEmpty());

    process.terminate();
    QVERIFY(process.waitForFinished(5000));
    QCOMPARE(process.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
}

void TestBbsim::servesInstrumentThatReadsTheBlackbodyWithItsOwnCommands()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("uut"));
    QProcess process;
    process.start(QStringLiteral(BBSIM_PATH),
        {QStringLiteral("--link"), dir.filePath(QStringLiteral("bb")), QStringLiteral("--initial"),
            QStringLiteral("50"), QStringLiteral("--tau"), QStringLiteral("0"), QStringLiteral("--uut-link"),
            link, QStringLiteral("--uut-kind"), QStringLiteral("addressed"), QStringLiteral("--uut-noise"),
            QStringLiteral("0"), QStringLiteral("--uut-tcp"), QStringLiteral("0")});
    QVERIFY(process.waitForStarted(5000));
    QVERIFY(readLineContaining(process, QStringLiteral("instrument port: "))
                .startsWith(QStringLiteral("instrument port: ") + link));
    QVERIFY(!readLineContaining(process, QStringLiteral("instrument network port: 127.0.0.1:")).isEmpty());

    // The instrument is 8E1; a pseudo-terminal keeps no parity, so the client's 8N1 reaches it the same.
    QSerialPort client(link);
    QVERIFY(client.open(QIODevice::ReadWrite));
    const auto ask = [&client](const QByteArray &request) {
        client.write(request);
        QByteArray reply;
        QElapsedTimer clock;
        clock.start();
        while (!reply.endsWith('\r') && clock.elapsed() < 5000) {
            client.waitForReadyRead(100);
            reply += client.readAll();
        }
        return reply;
    };
    QCOMPARE(ask("00ms\r"), QByteArray("00500\r"));
    // The instrument follows the blackbody, and takes console commands behind "uut".
    process.write("setpoint 60\nuut sentinel notready\n");
    QVERIFY(!readLineContaining(process, QStringLiteral("next 1 readings notready")).isEmpty());
    QCOMPARE(ask("00ms\r"), QByteArray("77770\r"));
    QCOMPARE(ask("00ms\r"), QByteArray("00600\r"));

    process.terminate();
    QVERIFY(process.waitForFinished(5000));
    QCOMPARE(process.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
}

QTEST_GUILESS_MAIN(TestBbsim)
#include "tst_bbsim.moc"
