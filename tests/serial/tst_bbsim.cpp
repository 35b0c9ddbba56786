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
    void unknownModelIsRejected();
    void servesLinkTakesCommandsAndCleansUpOnTerminate();
};

void TestBbsim::helpListsOptionsAndCommands()
{
    QProcess process;
    process.start(QStringLiteral(BBSIM_PATH), {QStringLiteral("--help")});
    QVERIFY(process.waitForFinished(5000));
    QCOMPARE(process.exitCode(), 0);
    const QString help = QString::fromUtf8(process.readAllStandardOutput());
    for (const char *word :
        {"--link", "--model", "--baud", "--tau", "--noise", "silence", "late", "hangup", "setpoint"})
        QVERIFY2(help.contains(QLatin1String(word)), word);
}

void TestBbsim::unknownModelIsRejected()
{
    QProcess process;
    process.start(QStringLiteral(BBSIM_PATH), {QStringLiteral("--model"), QStringLiteral("VBX9")});
    QVERIFY(process.waitForFinished(5000));
    QCOMPARE(process.exitCode(), 2);
    QVERIFY(process.readAllStandardError().contains("VBM100"));
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

QTEST_GUILESS_MAIN(TestBbsim)
#include "tst_bbsim.moc"
