#include "control/uutdriver.h"
#include "settings/uutdriverfolders.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The smallest driver the reader takes.
QJsonObject minimalDriver()
{
    return QJsonDocument::fromJson(R"json({
        "version": 1, "name": "Test meter",
        "framing": {"writeTerminator": "\r", "readTerminator": "\r"},
        "commands": {"read": {"text": "?T", "decoder": {"kind": "regex", "pattern": "!T(.*)"}}}
    })json")
        .object();
}

// `object` with the value at a dotted path replaced (created as needed); an undefined value removes it.
QJsonObject withValue(QJsonObject object, const QStringList &path, const QJsonValue &value)
{
    if (path.size() == 1) {
        if (value.isUndefined())
            object.remove(path.first());
        else
            object.insert(path.first(), value);
        return object;
    }
    object.insert(path.first(), withValue(object.value(path.first()).toObject(), path.mid(1), value));
    return object;
}

} // namespace

class TestUutDriver : public QObject
{
    Q_OBJECT

private slots:
    void everyShippedExampleReads_data();
    void everyShippedExampleReads();
    void examplesSayWhatTheirInstrumentsDo();
    void malformedFileIsRefusedNamingTheField_data();
    void malformedFileIsRefusedNamingTheField();
    void loadNamesTheFile();
    void driversAreFoundBesideTheProgramThenInTheUsersFolder();
};

void TestUutDriver::everyShippedExampleReads_data()
{
    QTest::addColumn<QString>("path");
    const QDir folder(QStringLiteral(BB_UUT_SOURCE_DIR));
    const QStringList names = folder.entryList({QStringLiteral("*.bbuut")}, QDir::Files, QDir::Name);
    QCOMPARE(names,
        QStringList({"addressed-ir.bbuut", "ascii-ir.bbuut", "binary-ir.bbuut", "scpi-readout.bbuut"}));
    for (const QString &name : names)
        QTest::newRow(qPrintable(name)) << folder.filePath(name);
}

void TestUutDriver::everyShippedExampleReads()
{
    QFETCH(QString, path);
    const UutDriverRead read = loadUutDriver(path);
    QVERIFY2(read.driver, qPrintable(read.error));
    QVERIFY(!read.driver->name.isEmpty());
}

void TestUutDriver::examplesSayWhatTheirInstrumentsDo()
{
    const QDir folder(QStringLiteral(BB_UUT_SOURCE_DIR));
    const UutDriver ascii = *loadUutDriver(folder.filePath(QStringLiteral("ascii-ir.bbuut"))).driver;
    QVERIFY(ascii.canSetEmissivity() && ascii.canQueryEmissivity() && !ascii.binary());
    QCOMPARE(ascii.readTerminator, QByteArray("\r"));

    const UutDriver addressed = *loadUutDriver(folder.filePath(QStringLiteral("addressed-ir.bbuut"))).driver;
    QVERIFY(!addressed.canSetEmissivity() && addressed.canQueryEmissivity());
    QCOMPARE(addressed.parity, UutDriver::Parity::Even);
    QCOMPARE(addressed.dataBits, 8);
    QCOMPARE(addressed.errors.size(), 3);

    const UutDriver binary = *loadUutDriver(folder.filePath(QStringLiteral("binary-ir.bbuut"))).driver;
    QVERIFY(binary.binary() && binary.canSetEmissivity() && binary.canQueryEmissivity());
    QCOMPARE(binary.replyLength, 2);

    const UutDriver scpi = *loadUutDriver(folder.filePath(QStringLiteral("scpi-readout.bbuut"))).driver;
    QCOMPARE(scpi.transport, UutDriver::Transport::Tcp);
    QVERIFY(!scpi.canSetEmissivity() && !scpi.canQueryEmissivity());
}

void TestUutDriver::malformedFileIsRefusedNamingTheField_data()
{
    QTest::addColumn<QString>("path"); // dotted; empty: the minimal driver as it is
    QTest::addColumn<QString>("json"); // the value put there; empty: removed
    QTest::addColumn<QString>("error"); // the error's start; empty: accepted

    const QString read = QStringLiteral("commands.read");
    QTest::newRow("minimal") << QString() << QString() << QString();
    QTest::newRow("unknown top key") << "colour"
                                     << "\"red\""
                                     << "colour: unknown key";
    QTest::newRow("unknown nested key") << "line.speed"
                                        << "9600"
                                        << "line.speed: unknown key";
    QTest::newRow("no version") << "version" << QString() << "version: is missing";
    QTest::newRow("version 2") << "version"
                               << "2"
                               << "version: must be a whole number from 1 to 1";
    QTest::newRow("no name") << "name" << QString() << "name: is missing";
    QTest::newRow("blank name") << "name"
                                << "\"  \""
                                << "name: must not be empty";
    QTest::newRow("baud too low") << "line.baud"
                                  << "10"
                                  << "line.baud: must be a whole number from 50";
    QTest::newRow("baud fraction") << "line.baud"
                                   << "9600.5"
                                   << "line.baud: must be a whole number";
    QTest::newRow("six data bits") << "line.dataBits"
                                   << "6"
                                   << "line.dataBits: must be a whole number from 7 to 8";
    QTest::newRow("parity mark") << "line.parity"
                                 << "\"mark\""
                                 << "line.parity: must be one of: none, even, odd";
    QTest::newRow("flow dtr") << "line.flow"
                              << "\"dtr\""
                              << "line.flow: must be one of";
    QTest::newRow("echo as text") << "line.echo"
                                  << "\"yes\""
                                  << "line.echo: must be true or false";
    QTest::newRow("transport udp") << "transport"
                                   << "\"udp\""
                                   << "transport: must be one of: serial, tcp";
    QTest::newRow("terminator too long") << "framing.readTerminator"
                                         << "\"\\r\\n\\r\\n\\r\""
                                         << "framing.readTerminator: must be at most 4";
    QTest::newRow("terminator beyond latin-1") << "framing.writeTerminator"
                                               << "\"\\u2028\""
                                               << "framing.writeTerminator: must hold only";
    QTest::newRow("both terminator and length") << "framing.replyLength"
                                                << "2"
                                                << "framing.replyLength: give either";
    QTest::newRow("no way to frame") << "framing.readTerminator" << QString()
                                     << "commands.read.replyLength: needed";
    QTest::newRow("inter-byte zero") << "framing.interByteTimeoutMs"
                                     << "0"
                                     << "framing.interByteTimeoutMs: must be";
    QTest::newRow("timeout too short") << "replyTimeoutMs"
                                       << "5"
                                       << "replyTimeoutMs: must be a whole number from 10";
    QTest::newRow("eleven retries") << "retries"
                                    << "11"
                                    << "retries: must be a whole number from 0 to 10";
    QTest::newRow("mode push") << "mode"
                               << "\"push\""
                               << "mode: must be one of: poll, listen";
    QTest::newRow("tolerance zero") << "emissivityTolerance"
                                    << "0"
                                    << "emissivityTolerance: must be a number";
    QTest::newRow("no commands") << "commands" << QString() << "commands: is missing";
    QTest::newRow("no read") << "commands.read" << QString() << "commands.read: is missing";
    QTest::newRow("text and bytes") << read + ".bytes"
                                    << "\"01\""
                                    << "commands.read: needs either";
    QTest::newRow("read without decoder")
        << read + ".decoder" << QString() << "commands.read.decoder: is missing";
    QTest::newRow("decoder kind") << read + ".decoder.kind"
                                  << "\"json\""
                                  << "commands.read.decoder.kind: must be one of";
    QTest::newRow("regex two groups") << read + ".decoder.pattern"
                                      << "\"(a)(b)\""
                                      << "commands.read.decoder.pattern: must have exactly one";
    QTest::newRow("regex broken") << read + ".decoder.pattern"
                                  << "\"(\""
                                  << "commands.read.decoder.pattern: not a valid";
    QTest::newRow("scale zero") << read + ".decoder.scale"
                                << "0"
                                << "commands.read.decoder.scale: must not be zero";
    QTest::newRow("stray brace") << read + ".text"
                                 << "\"?T{\""
                                 << "commands.read.text: placeholders are";
    QTest::newRow("unknown placeholder") << read + ".text"
                                         << "\"{temp}\""
                                         << "commands.read.text: placeholders are";
    QTest::newRow("read takes no value") << read + ".text"
                                         << "\"?T{value}\""
                                         << "commands.read.text: takes no value";
    QTest::newRow("bad hex") << "commands.setEmissivity"
                             << "{\"bytes\": \"8G\"}"
                             << "commands.setEmissivity.bytes: must be hex";
    QTest::newRow("set without value") << "commands.setEmissivity"
                                       << "{\"text\": \"E\"}"
                                       << "commands.setEmissivity: must carry the value";
    QTest::newRow("value width 3") << "commands.setEmissivity"
                                   << "{\"bytes\": \"84\", \"value\": {\"width\": 3}}"
                                   << "commands.setEmissivity.value.width: must be 1, 2 or 4";
    QTest::newRow("value endian") << "commands.setEmissivity"
                                  << "{\"bytes\": \"84\", \"value\": {\"endian\": \"middle\"}}"
                                  << "commands.setEmissivity.value.endian: must be one of";
    QTest::newRow("value beyond bytes") << "commands.setEmissivity"
                                        << "{\"bytes\": \"84\", \"value\": {\"at\": 2}}"
                                        << "commands.setEmissivity.value.at: must be within";
    QTest::newRow("query without decoder") << "commands.queryEmissivity"
                                           << "{\"text\": \"?E\"}"
                                           << "commands.queryEmissivity.decoder: is missing";
    QTest::newRow("checksum kind") << "checksum.kind"
                                   << "\"md5\""
                                   << "checksum.kind: must be one of: sum8, xor, crc16modbus";
    QTest::newRow("checksum range") << "checksum"
                                    << "{\"kind\": \"xor\", \"to\": 1}"
                                    << "checksum.to: must be a whole number";
    QTest::newRow("errors not a list") << "errors"
                                       << "{}"
                                       << "errors: must be a list";
    QTest::newRow("error without meaning") << "errors"
                                           << "[{\"match\": \"x\"}]"
                                           << "errors[0].meaning: is missing";
    QTest::newRow("error action") << "errors"
                                  << "[{\"match\": \"x\", \"meaning\": \"m\", \"action\": \"beep\"}]"
                                  << "errors[0].action: must be one of";
    QTest::newRow("pause with delay") << "errors"
                                      << "[{\"match\": \"x\", \"meaning\": \"m\", \"delayMs\": 5}]"
                                      << "errors[0].delayMs: only with action retry";
    QTest::newRow("init with value") << "init"
                                     << "[{\"text\": \"E={value}\"}]"
                                     << "init[0]: takes no value";
}

void TestUutDriver::malformedFileIsRefusedNamingTheField()
{
    QFETCH(QString, path);
    QFETCH(QString, json);
    QFETCH(QString, error);

    QJsonObject driver = minimalDriver();
    if (!path.isEmpty()) {
        const QJsonValue value = json.isEmpty()
            ? QJsonValue(QJsonValue::Undefined)
            : QJsonDocument::fromJson("[" + json.toUtf8() + "]").array().at(0);
        driver = withValue(driver, path.split(QLatin1Char('.')), value);
    }
    const UutDriverRead read = readUutDriver(QJsonDocument(driver).toJson());
    QVERIFY2(read.error.startsWith(error), qPrintable(read.error));
    QCOMPARE(read.driver.has_value(), error.isEmpty());
}

void TestUutDriver::loadNamesTheFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("broken.bbuut"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("{\"version\": 1,");
    file.close();
    QVERIFY(loadUutDriver(path).error.startsWith(path + QStringLiteral(": not JSON")));
    QVERIFY(loadUutDriver(dir.filePath(QStringLiteral("none.bbuut"))).error.startsWith(dir.path()));
}

void TestUutDriver::driversAreFoundBesideTheProgramThenInTheUsersFolder()
{
    QTemporaryDir root;
    const QString exeDir = root.filePath(QStringLiteral("bin"));
    const QString installed = root.filePath(QStringLiteral("share/ostrel-blackbody/uut"));
    const QString user = root.filePath(QStringLiteral("user"));
    QVERIFY(
        QDir().mkpath(exeDir) && QDir().mkpath(installed) && QDir().mkpath(user + QStringLiteral("/uut")));
    const QStringList folders = uutDriverFolders(exeDir, user);
    QCOMPARE(folders, QStringList({installed, user + QStringLiteral("/uut")}));

    for (const QString &path : {installed + "/a.bbuut", user + "/uut/a.bbuut", user + "/uut/b.bbuut"}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QCOMPARE(findUutDriver(QStringLiteral("a.bbuut"), folders), installed + QStringLiteral("/a.bbuut"));
    QCOMPARE(findUutDriver(QStringLiteral("b.bbuut"), folders), user + QStringLiteral("/uut/b.bbuut"));
    QCOMPARE(findUutDriver(QStringLiteral("c.bbuut"), folders), QString());
    QCOMPARE(findUutDriver(QStringLiteral("../uut/b.bbuut"), folders), QString());
    QCOMPARE(findUutDriver(root.filePath(QStringLiteral("x.bbuut")), folders),
        root.filePath(QStringLiteral("x.bbuut")));
}

QTEST_GUILESS_MAIN(TestUutDriver)
#include "tst_uutdriver.moc"
