#include "dialogs/aboutdialog.h"
#include "dialogs/deviceinfodialog.h"
#include "dialogs/waitdialog.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

template<typename T>
T *child(const QWidget &parent, const char *name)
{
    T *found = parent.findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child named %s", name);
    return found;
}

QString labelText(const QWidget &parent, const char *name)
{
    return child<QLabel>(parent, name)->text();
}

// Qt adds the title and system-menu hints a close button needs; what matters is the button set.
bool hasOnlyCloseButton(const QWidget &window)
{
    const Qt::WindowFlags flags = window.windowFlags();
    return window.windowType() == Qt::Dialog && flags.testFlag(Qt::WindowCloseButtonHint)
        && !flags.testFlag(Qt::WindowMinimizeButtonHint) && !flags.testFlag(Qt::WindowMaximizeButtonHint)
        && !flags.testFlag(Qt::WindowContextHelpButtonHint);
}

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    void waitDialogHasItsFormAndNoTitleButtons();
    void escapeAndReturnDoNotCloseWaitDialogButAcceptDoes();
    void waitDialogIgnoresCloseRequests();
    void progressSetsBarAndIgnoresOutOfRangeValues();

    void aboutDialogShowsDisplayNameAndVersion();

    void rangeLimitIsFormattedWithSixSignificantDigits_data();
    void rangeLimitIsFormattedWithSixSignificantDigits();
    void deviceInfoShowsRange_data();
    void deviceInfoShowsRange();
    void deviceInfoHidesDateAndSerialRows();
};

void TestDialogs::waitDialogHasItsFormAndNoTitleButtons()
{
    WaitDialog dialog(nullptr);
    QCOMPARE(dialog.size(), QSize(439, 86));
    QVERIFY(dialog.windowTitle().isEmpty());
    QCOMPARE(labelText(dialog, "label"), QStringLiteral("请稍候..."));
    QCOMPARE(child<QLabel>(dialog, "label")->font().family(), QStringLiteral("Arial"));
    QCOMPARE(child<QLabel>(dialog, "label")->font().pointSize(), 26);
    QCOMPARE(dialog.windowFlags(), Qt::Dialog | Qt::CustomizeWindowHint);
    QVERIFY(dialog.autoFillBackground());
}

void TestDialogs::escapeAndReturnDoNotCloseWaitDialogButAcceptDoes()
{
    WaitDialog dialog(nullptr);
    bool stillOpenAfterKeys = false;
    QTimer::singleShot(0, &dialog, [&] {
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QTest::keyClick(&dialog, Qt::Key_Return);
        stillOpenAfterKeys = dialog.isVisible();
        dialog.accept();
    });
    // A fault in accept() must fail the test, not hang it.
    QTimer::singleShot(10000, &dialog, [&] { dialog.done(-1); });

    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QVERIFY(stillOpenAfterKeys);
    QVERIFY(!dialog.isVisible());
}

void TestDialogs::waitDialogIgnoresCloseRequests()
{
    WaitDialog dialog(nullptr);
    dialog.open();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(!dialog.close());
    QVERIFY(dialog.isVisible());
    dialog.accept();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void TestDialogs::progressSetsBarAndIgnoresOutOfRangeValues()
{
    WaitDialog dialog(nullptr);
    QProgressBar *bar = child<QProgressBar>(dialog, "progressBar");
    QCOMPARE(bar->value(), 0);
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 100);

    dialog.Progress(42);
    QCOMPARE(bar->value(), 42);
    dialog.Progress(100);
    QCOMPARE(bar->value(), 100);
    dialog.Progress(101);
    QCOMPARE(bar->value(), 100);
    dialog.Progress(-5);
    QCOMPARE(bar->value(), 100);
    dialog.Progress(0);
    QCOMPARE(bar->value(), 0);
}

void TestDialogs::aboutDialogShowsDisplayNameAndVersion()
{
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Ostrel黑体控制软件"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.2.3"));
    AboutDialog dialog(nullptr);
    QCOMPARE(labelText(dialog, "label_appname"), QStringLiteral("Ostrel黑体控制软件"));
    QCOMPARE(labelText(dialog, "label_version"), QStringLiteral("版本 1.2.3"));
    QVERIFY(!labelText(dialog, "label_4").isEmpty());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("关于"));
    QCOMPARE(dialog.size(), QSize(400, 300));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(hasOnlyCloseButton(dialog));
    QVERIFY(dialog.windowFlags().testFlag(Qt::WindowSystemMenuHint));
    QCOMPARE(child<QLabel>(dialog, "label_appname")->geometry(), QRect(0, 50, 401, 31));
    dialog.show();
    QTest::mouseClick(child<QPushButton>(dialog, "pushButton_close"), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void TestDialogs::rangeLimitIsFormattedWithSixSignificantDigits_data()
{
    QTest::addColumn<float>("celsius");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0f << "0℃";
    QTest::newRow("integer") << 1200.0f << "1200℃";
    QTest::newRow("one decimal") << 35.5f << "35.5℃";
    QTest::newRow("negative") << -40.0f << "-40℃";
    QTest::newRow("single-precision tenth") << 0.1f << "0.1℃";
    QTest::newRow("rounded to six digits") << 1234.5678f << "1234.57℃";
    QTest::newRow("seven digits go exponential") << 1234567.0f << "1.23457e+06℃";
}

void TestDialogs::rangeLimitIsFormattedWithSixSignificantDigits()
{
    QFETCH(float, celsius);
    QFETCH(QString, text);
    QCOMPARE(formatRangeLimit(celsius), text);
}

void TestDialogs::deviceInfoShowsRange_data()
{
    QTest::addColumn<float>("lower");
    QTest::addColumn<float>("upper");
    QTest::addColumn<QString>("lowerText");
    QTest::addColumn<QString>("upperText");
    QTest::newRow("0 to 1200") << 0.0f << 1200.0f << "0℃"
                               << "1200℃";
    QTest::newRow("35.5 to 300") << 35.5f << 300.0f << "35.5℃"
                                 << "300℃";
}

void TestDialogs::deviceInfoShowsRange()
{
    QFETCH(float, lower);
    QFETCH(float, upper);
    QFETCH(QString, lowerText);
    QFETCH(QString, upperText);

    DeviceInfoDialog dialog(nullptr);
    QVERIFY(labelText(dialog, "label_rangel").isEmpty());
    QVERIFY(labelText(dialog, "label_rangeh").isEmpty());
    dialog.rangeLower = lower;
    dialog.rangeUpper = upper;
    dialog.serialNumber = 4711;
    dialog.showDeviceInfo();
    QCOMPARE(labelText(dialog, "label_rangel"), lowerText);
    QCOMPARE(labelText(dialog, "label_15"), QStringLiteral("-"));
    QCOMPARE(labelText(dialog, "label_rangeh"), upperText);
    QCOMPARE(labelText(dialog, "label_serial"), QStringLiteral("4711"));
    QCOMPARE(labelText(dialog, "label_datatime"), QStringLiteral("0"));
}

void TestDialogs::deviceInfoHidesDateAndSerialRows()
{
    DeviceInfoDialog dialog(nullptr);
    QCOMPARE(dialog.serialNumber, 0);
    QCOMPARE(dialog.dateCode, 0);
    QCOMPARE(dialog.rangeLower, 0.0f);
    QCOMPARE(dialog.rangeUpper, 0.0f);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("设备信息"));
    QVERIFY(hasOnlyCloseButton(dialog));
    QCOMPARE(dialog.size(), QSize(354, 183));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());

    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(!child<QWidget>(dialog, "widget_date")->isVisible());
    QVERIFY(!child<QWidget>(dialog, "widget_serial")->isVisible());
    QVERIFY(child<QWidget>(dialog, "widget_range")->isVisible());
    QVERIFY(child<QLabel>(dialog, "label_14")->isVisible());
    QCOMPARE(child<QLabel>(dialog, "label_rangel")->font().family(), QStringLiteral("微软雅黑"));
    QCOMPARE(child<QLabel>(dialog, "label_rangeh")->font().pointSize(), 12);
}

QTEST_MAIN(TestDialogs)

#include "tst_dialogs.moc"
