#include "app/rememberedlink.h"
#include "settings/settings.h"

#include <QtTest>

class TestRememberedLink : public QObject
{
    Q_OBJECT

private slots:
    void restoredOnlyWhenUsableAndPresent_data();
    void restoredOnlyWhenUsableAndPresent();
};

void TestRememberedLink::restoredOnlyWhenUsableAndPresent_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("baud");
    QTest::addColumn<QString>("model");
    QTest::addColumn<bool>("restored");
    QTest::newRow("nothing stored") << ""
                                    << ""
                                    << "" << false;
    QTest::newRow("listed port") << "ttyUSB0"
                                 << "115200"
                                 << "VBM400" << true;
    QTest::newRow("listed port gone") << "ttyUSB1"
                                      << "115200"
                                      << "VBM400" << false;
    QTest::newRow("typed path that exists") << "/tmp/bb-link"
                                            << "9600"
                                            << "VB125" << true;
    QTest::newRow("typed path gone") << "/tmp/gone"
                                     << "9600"
                                     << "VB125" << false;
    QTest::newRow("baud not offered") << "ttyUSB0"
                                      << "14400"
                                      << "VBM400" << false;
    QTest::newRow("unknown model") << "ttyUSB0"
                                   << "9600"
                                   << "VBM900" << false;
}

void TestRememberedLink::restoredOnlyWhenUsableAndPresent()
{
    QFETCH(QString, port);
    QFETCH(QString, baud);
    QFETCH(QString, model);
    QFETCH(bool, restored);
    Settings settings;
    RememberedLink {port, baud, model}.store(settings);
    const auto link
        = RememberedLink::restorable(settings, {QStringLiteral("ttyUSB0"), QStringLiteral("ttyS0")},
            {QStringLiteral("9600"), QStringLiteral("115200")},
            {QStringLiteral("VBM400"), QStringLiteral("VB125")},
            [](const QString &path) { return path == QLatin1String("/tmp/bb-link"); });
    QCOMPARE(bool(link), restored);
    if (link) {
        QCOMPARE(link->port, port);
        QCOMPARE(link->baud, baud);
        QCOMPARE(link->model, model);
    }
}

QTEST_GUILESS_MAIN(TestRememberedLink)
#include "tst_rememberedlink.moc"
