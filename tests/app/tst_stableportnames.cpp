#include "blackbodydevice.h"
#include "devicesimulator.h"
#include "serial/serialmetatypes.h"
#include "serial/stableportnames.h"
#include "station/blackbodylink.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using StablePortNames::Choice;
using StablePortNames::Port;

Q_DECLARE_METATYPE(QVector<Port>)
Q_DECLARE_METATYPE(QVector<Choice>)

namespace {

const QString kFtdi = QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
const QString kCh340 = QStringLiteral("/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0");

} // namespace

class TestStablePortNames : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void portsAreListedUnderTheirStableNames_data();
    void portsAreListedUnderTheirStableNames();
    void linksAreReadFromTheFolder();
    void repluggedAdapterIsReconnectedUnderItsStableName();
};

void TestStablePortNames::initTestCase()
{
    registerSerialPortMetaTypes();
}

void TestStablePortNames::portsAreListedUnderTheirStableNames_data()
{
    QTest::addColumn<QVector<Port>>("ports");
    QTest::addColumn<QVector<Choice>>("listed");
    // Typed by the operator: a plain name, or a device path.
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QStringList>("opened");

    QTest::newRow("no adapter has a stable name")
        << QVector<Port> {{"ttyS0", "/dev/ttyS0", ""}, {"ttyUSB0", "/dev/ttyUSB0", "USB Serial"}}
        << QVector<Choice> {{"ttyS0", "ttyS0", ""}, {"ttyUSB0", "ttyUSB0", "USB Serial"}}
        << QStringList {"ttyUSB0", "/tmp/bb"} << QStringList {"ttyUSB0", "/tmp/bb"};
    QTest::newRow("an adapter and a built-in port")
        << QVector<Port> {{"ttyS0", "/dev/ttyS0", ""}, {"ttyUSB1", "/dev/ttyUSB1", "FT232R USB UART"}}
        << QVector<Choice> {{"ttyS0", "ttyS0", ""},
               {kFtdi, "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "ttyUSB1, FT232R USB UART"}}
        << QStringList {"ttyUSB1", "/dev/ttyUSB1", "ttyS0", kFtdi}
        << QStringList {kFtdi, kFtdi, "ttyS0", kFtdi};
    QTest::newRow("an adapter without a description")
        << QVector<Port> {{"ttyUSB1", "", ""}}
        << QVector<Choice> {{kFtdi, "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "ttyUSB1"}}
        << QStringList() << QStringList();
}

void TestStablePortNames::portsAreListedUnderTheirStableNames()
{
    QFETCH(QVector<Port>, ports);
    QFETCH(QVector<Choice>, listed);
    QFETCH(QStringList, typed);
    QFETCH(QStringList, opened);
    const QMap<QString, QString> links {{QStringLiteral("/dev/ttyUSB1"), kFtdi}};

    const QVector<Choice> choices = StablePortNames::choices(ports, links);
    QCOMPARE(choices.size(), listed.size());
    for (int i = 0; i < listed.size(); ++i) {
        QCOMPARE(choices.at(i).path, listed.at(i).path);
        QCOMPARE(choices.at(i).text, listed.at(i).text);
        QCOMPARE(choices.at(i).detail, listed.at(i).detail);
    }
    for (int i = 0; i < typed.size(); ++i)
        QCOMPARE(StablePortNames::stablePath(typed.at(i), links), opened.at(i));
}

void TestStablePortNames::linksAreReadFromTheFolder()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("by-id"));
    QVERIFY(QDir().mkpath(folder));
    const QString device = QDir(dir.path()).canonicalPath() + QStringLiteral("/ttyUSB3");
    QFile(device).open(QIODevice::WriteOnly);
    QVERIFY(QFile::link(device, folder + QStringLiteral("/usb-B")));
    // The same device under a second name, a link to a device that is gone, and a plain file.
    QVERIFY(QFile::link(device, folder + QStringLiteral("/usb-C")));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone")), folder + QStringLiteral("/usb-A")));
    QFile(folder + QStringLiteral("/note")).open(QIODevice::WriteOnly);

    const QMap<QString, QString> links = StablePortNames::readLinks(folder);
    QCOMPARE(links, (QMap<QString, QString> {{device, folder + QStringLiteral("/usb-B")}}));
    QVERIFY(StablePortNames::readLinks(dir.filePath(QStringLiteral("missing"))).isEmpty());
}

// Re-plugged, an adapter comes back under another number while its stable link moves with it. The
// adapter's second number is a second pseudo-terminal, opened while the first is held, so the kernel
// cannot hand out the first number again.
void TestStablePortNames::repluggedAdapterIsReconnectedUnderItsStableName()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("by-id"));
    QVERIFY(QDir().mkpath(folder));
    const QString stable = folder + QStringLiteral("/usb-Ostrel_VBM100_0001-if00-port0");
    const auto adapter = [] {
        return std::make_unique<sim::DeviceSimulator>(
            std::make_unique<sim::BlackbodyDevice>(sim::BlackbodyModel::find(QStringLiteral("VBM100"))));
    };
    const auto sim = adapter();
    const auto replugged = adapter();
    QString error;
    QVERIFY2(sim->open(dir.filePath(QStringLiteral("bb")), &error), qPrintable(error));
    QVERIFY2(replugged->open(dir.filePath(QStringLiteral("bb2")), &error), qPrintable(error));
    const QString first = sim->clientPath();
    QVERIFY(replugged->clientPath() != first);
    QVERIFY(QFile::link(first, stable));

    BlackbodyLink link;
    link.setStableNameFolder(folder);
    QSignalSpy opened(&link, &BlackbodyLink::opened);
    QSignalSpy readings(&link, &BlackbodyLink::reading);
    link.open(first, QSerialPort::Baud9600, 0);
    QVERIFY(opened.wait());
    QCOMPARE(link.port(), stable);
    QVERIFY(readings.wait());

    QSignalSpy lost(&link, &BlackbodyLink::lost);
    sim->hangUp();
    QVERIFY(lost.wait());
    QVERIFY(QFile::remove(stable));
    QVERIFY(QFile::link(replugged->clientPath(), stable));

    QSignalSpy back(&link, &BlackbodyLink::back);
    readings.clear();
    QVERIFY(back.wait());
    QVERIFY(readings.wait());
    QCOMPARE(link.port(), stable);
}

QTEST_GUILESS_MAIN(TestStablePortNames)
#include "tst_stableportnames.moc"
