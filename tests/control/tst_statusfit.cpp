#include "control/statusfit.h"

#include <QTest>

namespace {

// One unit of width per character, so the rows can be counted by eye.
int characters(const QString &text)
{
    return text.size();
}

// The status bar during a run, in the order it shows its parts.
QVector<StatusFit::Part> runningBar(bool remote)
{
    return {
        {{QStringLiteral("Port:/dev/ttyUSB0")}, 5, 5},
        {{QStringLiteral("Baud:9600"), QStringLiteral("9600"), QString()}, 4},
        {{QStringLiteral("Stable 12:03"), QStringLiteral("Stable"), QString()}, 3},
        {{QStringLiteral("Run: step 2/5 dwell")}},
        {{QStringLiteral("UUT: connected"), QStringLiteral("UUT ok")}, 2},
        {remote ? QStringList {QStringLiteral("Remote: SCPI :5025, 1 client"),
             QStringLiteral("SCPI :5025 (1)")}
                : QStringList(),
            0},
        {{QStringLiteral("Reporting: connected"), QStringLiteral("MQTT ok")}, 1},
    };
}

} // namespace

// The status bar's parts give way in a fixed order, and the run's phase never does.
class TestStatusFit : public QObject
{
    Q_OBJECT

private slots:
    void partsGiveWayInTheirOrder_data();
    void partsGiveWayInTheirOrder();
};

void TestStatusFit::partsGiveWayInTheirOrder_data()
{
    QTest::addColumn<bool>("remote");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("shown");

    const QString full = QStringLiteral(
        "Port:/dev/ttyUSB0|Baud:9600|Stable 12:03|Run: step 2/5 dwell|UUT: connected|Remote: SCPI :5025, 1 "
        "client|Reporting: connected");
    QTest::newRow("room for everything") << true << 200 << full;
    QTest::newRow("just room for everything") << true << 125 << full;
    QTest::newRow("remote control first")
        << true << 124
        << "Port:/dev/ttyUSB0|Baud:9600|Stable 12:03|Run: step 2/5 dwell|UUT: "
           "connected|SCPI :5025 (1)|Reporting: connected";
    QTest::newRow("then reporting") << true << 110
                                    << "Port:/dev/ttyUSB0|Baud:9600|Stable 12:03|Run: step 2/5 dwell|UUT: "
                                       "connected|SCPI :5025 (1)|MQTT ok";
    QTest::newRow("then the instrument link")
        << true << 97
        << "Port:/dev/ttyUSB0|Baud:9600|Stable 12:03|Run: step 2/5 dwell|UUT ok|SCPI :5025 (1)|MQTT ok";
    QTest::newRow("then the stable time")
        << true << 89
        << "Port:/dev/ttyUSB0|Baud:9600|Stable|Run: step 2/5 dwell|UUT ok|SCPI :5025 (1)|MQTT ok";
    QTest::newRow("then the stable time altogether")
        << true << 83 << "Port:/dev/ttyUSB0|Baud:9600||Run: step 2/5 dwell|UUT ok|SCPI :5025 (1)|MQTT ok";
    QTest::newRow("then the baud rate")
        << true << 76 << "Port:/dev/ttyUSB0|9600||Run: step 2/5 dwell|UUT ok|SCPI :5025 (1)|MQTT ok";
    QTest::newRow("then the baud rate altogether")
        << true << 70 << "Port:/dev/ttyUSB0|||Run: step 2/5 dwell|UUT ok|SCPI :5025 (1)|MQTT ok";
    QTest::newRow("the port last, cut in the middle after its caption")
        << true << 62 << "Port:/de…SB0|||Run: step 2/5 dwell|UUT ok|SCPI :5025 (1)|MQTT ok";
    QTest::newRow("the run's phase whole when nothing else can give")
        << true << 40 << "Port:…|||Run: step 2/5 dwell|UUT ok|SCPI :5025 (1)|MQTT ok";
    QTest::newRow("a part not shown takes no room") << false << 96
                                                    << "Port:/dev/ttyUSB0|Baud:9600|Stable 12:03|Run: step "
                                                       "2/5 dwell|UUT: connected||Reporting: connected";
}

void TestStatusFit::partsGiveWayInTheirOrder()
{
    QFETCH(bool, remote);
    QFETCH(int, width);
    QFETCH(QString, shown);

    QCOMPARE(StatusFit::fit(runningBar(remote), width, 1, characters).join(QLatin1Char('|')), shown);
}

QTEST_GUILESS_MAIN(TestStatusFit)
#include "tst_statusfit.moc"
