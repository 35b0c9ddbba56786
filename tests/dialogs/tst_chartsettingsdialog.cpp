#include "dialogs/chartsettingsdialog.h"
#include "settings/recordestimate.h"
#include "settings/settings.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TestChartSettingsDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void intervalNamesConvert_data();
    void intervalNamesConvert();
    void estimatesMatchTheExamples_data();
    void estimatesMatchTheExamples();
    void memoryChangesUnitAtOneMebibyte();
    void intervalStyleDropsTheLastComma();
    void recordSettingHoldsTheWholeSpan_data();
    void recordSettingHoldsTheWholeSpan();

    void opensWithStoredValues();
    void unknownStoredIntervalSelectsDefault();
    void changingIntervalLeavesMemoryAlone();
    void okStoresAndSavesAtOnce();
    void cancelStoresNothing();

private:
    QTemporaryDir m_dir;
};

void TestChartSettingsDialog::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
    appSettings.configDir = m_dir.path();
}

void TestChartSettingsDialog::init()
{
    QFile::remove(appSettings.filePath());
    appSettings.setValue(QStringLiteral("ChartLineCache"), QStringLiteral("1000"));
    appSettings.setValue(QStringLiteral("ChartLineFPS"), QStringLiteral("100"));
    appSettings.setValue(QStringLiteral("StableBand"), QString());
    appSettings.setValue(QStringLiteral("StableWindow"), QString());
}

void TestChartSettingsDialog::intervalNamesConvert_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("ms");
    QTest::newRow("10ms") << "10ms" << 10;
    QTest::newRow("500ms") << "500ms" << 500;
    QTest::newRow("1s") << "1s" << 1000;
    QTest::newRow("10s") << "10s" << 10000;
    QTest::newRow("no unit") << "100" << -1;
    QTest::newRow("not a number before ms") << "xms" << 0;
    QTest::newRow("capital MS is not ms") << "10MS" << -1;
}

void TestChartSettingsDialog::intervalNamesConvert()
{
    QFETCH(QString, name);
    QFETCH(int, ms);
    QCOMPARE(intervalToMs(name), ms);
    if (ms > 0 && intervalNames().contains(name))
        QCOMPARE(intervalNames().at(indexOfInterval(ms)), name);
}

void TestChartSettingsDialog::estimatesMatchTheExamples_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("interval");
    QTest::addColumn<QString>("duration");
    QTest::addColumn<QString>("memory");
    QTest::newRow("defaults") << 1000 << "100ms" << QStringLiteral("1天,3时,46分,") << "15.26MB";
    QTest::newRow("smallest") << 1 << "10ms" << QStringLiteral("10秒,") << "15.6KB";
    QTest::newRow("one minute") << 3 << "20ms" << QStringLiteral("1分,0秒,") << "46.9KB";
    QTest::newRow("hours") << 1 << "10s" << QStringLiteral("2时,46分,40秒,") << "15.6KB";
    QTest::newRow("largest") << 10000 << "10s" << QStringLiteral("1157天,9时,46分,") << "152.59MB";
}

void TestChartSettingsDialog::estimatesMatchTheExamples()
{
    QFETCH(int, value);
    QFETCH(QString, interval);
    QFETCH(QString, duration);
    QFETCH(QString, memory);
    QCOMPARE(durationText(value, interval, true), duration);
    QCOMPARE(memoryText(value), memory);
    QCOMPARE(indexOfInterval(7), -1);
    QCOMPARE(durationText(value, QStringLiteral("bogus"), true), QString());
}

void TestChartSettingsDialog::memoryChangesUnitAtOneMebibyte()
{
    QCOMPARE(memoryText(65), QStringLiteral("1015.6KB"));
    QCOMPARE(memoryText(66), QStringLiteral("1.01MB"));
}

void TestChartSettingsDialog::intervalStyleDropsTheLastComma()
{
    QCOMPARE(durationText(1, QStringLiteral("10s"), false), QStringLiteral("2时,46分,40秒"));
    QCOMPARE(durationText(1000, QStringLiteral("100ms"), false), QStringLiteral("1天,3时,46分"));
    QCOMPARE(durationText(1, QStringLiteral("10ms"), false), QStringLiteral("10秒"));
    QCOMPARE(secondsText(3725), QStringLiteral("1时,2分,5秒"));
}

void TestChartSettingsDialog::recordSettingHoldsTheWholeSpan_data()
{
    QTest::addColumn<qint64>("durationMs");
    QTest::addColumn<int>("intervalMs");
    QTest::addColumn<int>("wantInterval"); // 0: none fits
    QTest::addColumn<int>("wantThousands");

    QTest::newRow("a sample past the last thousand") << qint64(100'000) << 100 << 100 << 2;
    QTest::newRow("exactly a thousand samples") << qint64(99'900) << 100 << 100 << 1;
    QTest::newRow("too long at 10 ms: the next interval that fits")
        << qint64(30LL * 3600 * 1000) << 10 << 20 << 5401;
    QTest::newRow("longer than the longest interval holds") << qint64(1200LL * 86400 * 1000) << 10 << 0 << 0;
}

void TestChartSettingsDialog::recordSettingHoldsTheWholeSpan()
{
    QFETCH(qint64, durationMs);
    QFETCH(int, intervalMs);
    QFETCH(int, wantInterval);
    const std::optional<RecordSetting> setting = recordSettingFor(durationMs, intervalMs);
    QCOMPARE(setting.has_value(), wantInterval != 0);
    if (!setting)
        return;
    QCOMPARE(setting->intervalMs, wantInterval);
    QTEST(setting->thousands, "wantThousands");
}

void TestChartSettingsDialog::opensWithStoredValues()
{
    ChartSettingsDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("表格设置"));
    QCOMPARE(dialog.findChild<QSpinBox *>("spinBox_caches")->value(), 1000);
    QCOMPARE(dialog.findChild<QComboBox *>("comboBox_fps")->currentText(), QStringLiteral("100ms"));
    QCOMPARE(dialog.findChild<QComboBox *>("comboBox_fps")->count(), 10);
    QCOMPARE(dialog.findChild<QLabel *>("label_duration")->text(), QStringLiteral("1天,3时,46分,"));
    QCOMPARE(dialog.findChild<QLabel *>("label_memory")->text(), QStringLiteral("15.26MB"));
    QCOMPARE(dialog.findChild<QDoubleSpinBox *>("doubleSpinBox_stableBand")->value(), 0.1);
    QCOMPARE(dialog.findChild<QSpinBox *>("spinBox_stableWindow")->value(), 30);
}

void TestChartSettingsDialog::unknownStoredIntervalSelectsDefault()
{
    appSettings.setValue(QStringLiteral("ChartLineFPS"), QStringLiteral("33"));
    appSettings.setValue(QStringLiteral("ChartLineCache"), QStringLiteral("junk"));
    ChartSettingsDialog dialog;
    QCOMPARE(dialog.findChild<QComboBox *>("comboBox_fps")->currentText(), QStringLiteral("100ms"));
    QCOMPARE(dialog.findChild<QSpinBox *>("spinBox_caches")->value(), 1);
}

void TestChartSettingsDialog::changingIntervalLeavesMemoryAlone()
{
    appSettings.setValue(QStringLiteral("ChartLineCache"), QStringLiteral("1"));
    ChartSettingsDialog dialog;
    auto *memory = dialog.findChild<QLabel *>("label_memory");
    const QString before = memory->text();
    dialog.findChild<QComboBox *>("comboBox_fps")->setCurrentIndex(indexOfInterval(10000));
    QCOMPARE(dialog.findChild<QLabel *>("label_duration")->text(), QStringLiteral("2时,46分,40秒"));
    QCOMPARE(memory->text(), before);
    dialog.findChild<QSpinBox *>("spinBox_caches")->setValue(3);
    QCOMPARE(dialog.findChild<QLabel *>("label_duration")->text(), QStringLiteral("8时,20分,0秒,"));
}

void TestChartSettingsDialog::okStoresAndSavesAtOnce()
{
    ChartSettingsDialog dialog;
    dialog.findChild<QSpinBox *>("spinBox_caches")->setValue(2);
    dialog.findChild<QComboBox *>("comboBox_fps")->setCurrentIndex(indexOfInterval(1000));
    dialog.findChild<QDoubleSpinBox *>("doubleSpinBox_stableBand")->setValue(0.25);
    dialog.findChild<QSpinBox *>("spinBox_stableWindow")->setValue(45);
    dialog.findChild<QDialogButtonBox *>("buttonBox")->button(QDialogButtonBox::Ok)->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(appSettings.value(QStringLiteral("ChartLineCache"), QString()), QStringLiteral("2"));
    QCOMPARE(appSettings.value(QStringLiteral("ChartLineFPS"), QString()), QStringLiteral("1000"));
    QCOMPARE(appSettings.value(QStringLiteral("StableBand"), QString()), QStringLiteral("0.25"));
    QCOMPARE(appSettings.value(QStringLiteral("StableWindow"), QString()), QStringLiteral("45"));
    QFile file(appSettings.filePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray xml = file.readAll();
    QVERIFY(xml.contains("1000"));
    QVERIFY(xml.contains("ChartLineCache"));
}

void TestChartSettingsDialog::cancelStoresNothing()
{
    ChartSettingsDialog dialog;
    dialog.findChild<QSpinBox *>("spinBox_caches")->setValue(7);
    dialog.findChild<QDialogButtonBox *>("buttonBox")->button(QDialogButtonBox::Cancel)->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(appSettings.value(QStringLiteral("ChartLineCache"), QString()), QStringLiteral("1000"));
    QVERIFY(!QFile::exists(appSettings.filePath()));
}

QTEST_MAIN(TestChartSettingsDialog)
#include "tst_chartsettingsdialog.moc"
