#include "settings/labsettings.h"
#include "settings/settings.h"

#include <QTest>

// What the stored Lab* entries read as.
class TestLabSettings : public QObject
{
    Q_OBJECT

private slots:
    void storedLabReadsBack_data();
    void storedLabReadsBack();
    void storedCountryReadsBack_data();
    void storedCountryReadsBack();
};

void TestLabSettings::storedLabReadsBack_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("read");
    QTest::addColumn<bool>("known");

    QTest::newRow("letters and digits") << "PRB2"
                                        << "PRB2" << true;
    QTest::newRow("twelve, the most") << "ABCDEFGHIJ12"
                                      << "ABCDEFGHIJ12" << true;
    QTest::newRow("none yet") << ""
                              << "" << false;
    QTest::newRow("thirteen") << "ABCDEFGHIJ123"
                              << "" << false;
    QTest::newRow("a dash would blur the number's parts") << "PRB-2"
                                                          << "" << false;
    QTest::newRow("not ASCII") << "实验室"
                               << "" << false;
}

void TestLabSettings::storedLabReadsBack()
{
    QFETCH(QString, prefix);
    Settings settings;
    const LabSettings stored {
        QStringLiteral("Lab, \"North\""), QStringLiteral("Street 1\nTown"), prefix, QString()};
    stored.store(settings);
    const LabSettings read = LabSettings::read(settings);
    QCOMPARE(read.name, stored.name);
    QCOMPARE(read.address, stored.address);
    QTEST(read.prefix, "read");
    QTEST(read.isKnown(), "known");
}

void TestLabSettings::storedCountryReadsBack_data()
{
    QTest::addColumn<QString>("country");
    QTest::addColumn<QString>("read");

    QTest::newRow("an ISO code") << "CN"
                                 << "CN";
    QTest::newRow("none given") << ""
                                << "";
    // The machine-readable certificate's schema takes two capitals only; anything else counts as none.
    QTest::newRow("lower case") << "cn"
                                << "";
    QTest::newRow("three letters") << "CHN"
                                   << "";
    QTest::newRow("a name") << "China"
                            << "";
}

void TestLabSettings::storedCountryReadsBack()
{
    QFETCH(QString, country);
    Settings settings;
    const LabSettings stored {
        QStringLiteral("Lab"), QStringLiteral("Street 1"), QStringLiteral("PRB2"), country};
    stored.store(settings);
    const LabSettings read = LabSettings::read(settings);
    QTEST(read.country, "read");
    QCOMPARE(read.prefix, stored.prefix);
}

QTEST_GUILESS_MAIN(TestLabSettings)
#include "tst_labsettings.moc"
