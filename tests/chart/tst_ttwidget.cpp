#include "chart/corvelescale.h"
#include "chart/samplestore.h"
#include "chart/ttwidget.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(QCPRange)

namespace {

// Modal boxes would block the test: this closes each one as it appears and remembers what it said.
class BoxCloser : public QObject
{
public:
    BoxCloser()
    {
        connect(&m_timer, &QTimer::timeout, this, &BoxCloser::poll);
        m_timer.start(10);
    }
    QStringList seen;

private:
    void poll()
    {
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget *w : windows) {
            auto *box = qobject_cast<QMessageBox *>(w);
            if (box && box->isVisible()) {
                seen << box->windowTitle() + QLatin1Char('|') + box->text();
                box->done(0);
            }
        }
    }
    QTimer m_timer;
};

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QString buttonText(ttwidget &chart, const char *name)
{
    return chart.findChild<QPushButton *>(QLatin1String(name))->text();
}

const QString kFileDateFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss:zzz");

} // namespace

class TestTtWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void constructionMatchesTheForm();
    void recordingStoresTheLatestReading();
    void noReadingStoresNothingAndKeepsTheAxis();
    void fullChartKeepsTheNewestSamples();
    void followModeKeepsWindowWidth();
    void wholeCurveModeShowsEverythingAndBackGivesWholeSeconds();
    void startClearsPauseAndTheOldCurve();
    void newRecordingStartsInViewAtZero();
    void temperatureAxisShowsTheRecording_data();
    void temperatureAxisShowsTheRecording();
    void popupPauseEndsWithTheLastPopupUnlessTheOperatorPaused_data();
    void popupPauseEndsWithTheLastPopupUnlessTheOperatorPaused();
    void zoomStepsActOnlyWithinLimits();
    void axisGuardsHoldUnderAnyChange();
    void unitThreeKeepsCaptionAndWritesNoSymbol();
    void saveAndImportRoundTrip();
    void savedRowTimesAreStartPlusDuration();
    void curveKeepsWhatItWasRecordedWith();
    void emptyCurveIsNotSaved();
    void saveThroughLinkToNothingIsRefused();
    void importAlwaysReplacesTheCurve();
    void unreadableImportKeepsCurve_data();
    void unreadableImportKeepsCurve();
    void capacitySettingIsClampedBeforeMultiplying_data();
    void capacitySettingIsClampedBeforeMultiplying();
    void savingAndImportingAreRefusedWhileRecording();
    void csvExportWritesTheShownCurveButLeavesItUnsaved();
    void imageExportHasThePlotsPixelsAndAspect();
    void failedExportsSayNothingWasSaved_data();
    void failedExportsSayNothingWasSaved();
    void settingsChangeKeepsShownCurve();
    void zoomPopupPausesAndIsReplaced();
    void languageChangeRecaptions();
    void stableMarksGoWithTheCurve();

private:
    // Gives the chart a curve of two samples, read from a file.
    void openSmallCurve();

    QTemporaryDir m_dir;
    ttwidget *m_chart = nullptr;
    BoxCloser *m_boxes = nullptr;
};

void TestTtWidget::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
    QCoreApplication::setApplicationName(QStringLiteral("Ostrel"));
}

void TestTtWidget::init()
{
    m_boxes = new BoxCloser;
    m_chart = new ttwidget;
    m_chart->resize(945, 571);
    m_chart->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_chart));
}

void TestTtWidget::cleanup()
{
    delete m_chart;
    m_chart = nullptr;
    delete m_boxes;
    m_boxes = nullptr;
}

void TestTtWidget::constructionMatchesTheForm()
{
    ttwidget &c = *m_chart;
    QCOMPARE(c.mode(), ttwidget::followMode);
    QVERIFY(!c.isPaused());
    QVERIFY(!c.isRecording());
    QVERIFY(!c.isAutoFit());
    QCOMPARE(c.cacheSizeValue(), 1'000'000);
    QCOMPARE(c.sampleIntervalValue(), 10);
    QCOMPARE(c.chartPlot()->graph(0)->name(), QStringLiteral("实温"));
    QCOMPARE(c.chartPlot()->xAxis->range(), QCPRange(0, 30));
    QCOMPARE(c.chartPlot()->yAxis->range(), QCPRange(0, 100));
    QVERIFY(!c.findChild<QWidget *>(QStringLiteral("widget_menu"))->isVisible());
    QCOMPARE(buttonText(c, "pushButton_startstop"), QStringLiteral("开始"));
    QCOMPARE(buttonText(c, "pushButton_hc"), QStringLiteral("暂停"));
    QCOMPARE(buttonText(c, "pushButton_mode"), QStringLiteral("全局"));
    QCOMPARE(buttonText(c, "pushButton_export"), QStringLiteral("保存曲线"));
    QVERIFY(!c.findChild<QPushButton *>(QStringLiteral("pushButton_startstop"))->isEnabled());
    c.enableRecordControls(true);
    QVERIFY(c.findChild<QPushButton *>(QStringLiteral("pushButton_startstop"))->isEnabled());
    c.disableRecordControls();
    QVERIFY(!c.findChild<QPushButton *>(QStringLiteral("pushButton_mode"))->isEnabled());
}

void TestTtWidget::recordingStoresTheLatestReading()
{
    ttwidget &c = *m_chart;
    c.UpdateTemp(25.5);
    c.startRecording();
    QVERIFY(c.isRecording());
    QCOMPARE(buttonText(c, "pushButton_startstop"), QStringLiteral("停止"));
    QTRY_VERIFY_WITH_TIMEOUT(c.curve().size() >= 5, 5000);
    c.stopRecording();
    QVERIFY(!c.isRecording());
    const int kept = c.curve().size();
    QTest::qWait(60);
    // cppcheck-suppress knownConditionTrueFalse ; the wait above lets a still running collector add samples
    QCOMPARE(c.curve().size(), kept);
    for (int i = 0; i < kept; ++i) {
        QCOMPARE(c.curve().at(i).value, 25.5);
        if (i > 0)
            QVERIFY(c.curve().at(i).key >= c.curve().at(i - 1).key);
    }
}

void TestTtWidget::noReadingStoresNothingAndKeepsTheAxis()
{
    ttwidget &c = *m_chart;
    // A chart that never got a reading has none: nothing may be recorded as 0 degrees.
    c.startRecording();
    QTRY_VERIFY_WITH_TIMEOUT(c.lastElapsed() > 0.2, 5000);
    QTest::qWait(40); // one refresh
    QCOMPARE(c.curve().size(), 0);
    QCOMPARE(c.chartPlot()->xAxis->range(), QCPRange(0, 30));
    c.stopRecording();
    QCOMPARE(c.lastElapsed(), 0.0);
}

void TestTtWidget::fullChartKeepsTheNewestSamples()
{
    ttwidget &c = *m_chart;
    c.setCacheSize(3);
    c.UpdateTemp(1);
    c.startRecording();
    QTRY_VERIFY_WITH_TIMEOUT(c.lastElapsed() > 0.2, 5000);
    c.stopRecording();
    QCOMPARE(c.curve().size(), 3);
    // The newest three: the last one was stamped at the last tick.
    QVERIFY(c.curve().at(2).key > 0.15);
}

void TestTtWidget::followModeKeepsWindowWidth()
{
    ttwidget &c = *m_chart;
    c.chartPlot()->xAxis->setRange(0, 0.2);
    c.UpdateTemp(30);
    c.startRecording();
    QTRY_VERIFY_WITH_TIMEOUT(c.chartPlot()->xAxis->range().upper > 0.3, 5000);
    QCOMPARE(c.chartPlot()->xAxis->range().size(), 0.2);
    c.stopRecording();
}

void TestTtWidget::wholeCurveModeShowsEverythingAndBackGivesWholeSeconds()
{
    ttwidget &c = *m_chart;
    c.UpdateTemp(30);
    c.setMode(ttwidget::wholeCurveMode);
    c.startRecording();
    QTRY_VERIFY_WITH_TIMEOUT(c.curve().size() >= 10 && c.chartPlot()->xAxis->range().lower > 0, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(
        c.chartPlot()->xAxis->range().upper, c.curve().at(c.curve().size() - 1).key, 5000);
    c.stopRecording();
    QCOMPARE(c.chartPlot()->xAxis->range().lower, c.curve().at(0).key);

    // Back to following from a 12.7 s window gives a 12 s one ending at the newest sample or beyond.
    c.chartPlot()->xAxis->setRange(0, 12.7);
    c.setMode(ttwidget::followMode);
    QCOMPARE(c.chartPlot()->xAxis->range().lower, 0.7);
    QCOMPARE(c.chartPlot()->xAxis->range().upper, 12.7);
}

void TestTtWidget::startClearsPauseAndTheOldCurve()
{
    ttwidget &c = *m_chart;
    c.UpdateTemp(20);
    c.startRecording();
    QTRY_VERIFY_WITH_TIMEOUT(c.curve().size() >= 3, 5000);
    c.stopRecording();
    const int first = c.curve().size();
    c.setPaused(true);
    QCOMPARE(buttonText(c, "pushButton_hc"), QStringLiteral("继续"));
    c.startRecording();
    QVERIFY(!c.isPaused());
    QCOMPARE(buttonText(c, "pushButton_hc"), QStringLiteral("暂停"));
    QVERIFY(c.curve().size() < first);
    c.stopRecording();
}

void TestTtWidget::newRecordingStartsInViewAtZero()
{
    ttwidget &c = *m_chart;
    // Where a 33 s recording left the time axis.
    c.chartPlot()->xAxis->setRange(3, 33);
    c.UpdateTemp(20);
    c.startRecording();
    QCOMPARE(c.chartPlot()->xAxis->range(), QCPRange(0, 30));
    QTRY_VERIFY_WITH_TIMEOUT(c.curve().size() >= 3, 5000);
    QTest::qWait(40); // one refresh
    QCOMPARE(c.chartPlot()->xAxis->range(), QCPRange(0, 30));
    c.stopRecording();
}

void TestTtWidget::temperatureAxisShowsTheRecording_data()
{
    QTest::addColumn<bool>("wholeCurve");
    QTest::addColumn<bool>("autoFit");
    QTest::addColumn<QCPRange>("expected");
    // Readings of 300, then 310, on the initial 0..100 axis.
    QTest::newRow("follow: latest value kept in view") << false << false << QCPRange(215, 315);
    QTest::newRow("whole curve: every value in view") << true << false << QCPRange(299.5, 310.5);
    QTest::newRow("follow with auto-fit: the fit wins") << false << true << QCPRange(300, 310);
    QTest::newRow("whole curve with auto-fit: the fit wins") << true << true << QCPRange(300, 310);
}

void TestTtWidget::temperatureAxisShowsTheRecording()
{
    QFETCH(bool, wholeCurve);
    QFETCH(bool, autoFit);
    QFETCH(QCPRange, expected);
    ttwidget &c = *m_chart;
    c.setMode(wholeCurve ? ttwidget::wholeCurveMode : ttwidget::followMode);
    c.setAutoFit(autoFit);
    c.UpdateTemp(300);
    c.startRecording();
    QTRY_VERIFY_WITH_TIMEOUT(c.curve().size() >= 2, 5000);
    c.UpdateTemp(310);
    QTRY_COMPARE_WITH_TIMEOUT(c.chartPlot()->yAxis->range(), expected, 5000);
    c.stopRecording();
}

void TestTtWidget::popupPauseEndsWithTheLastPopupUnlessTheOperatorPaused_data()
{
    QTest::addColumn<bool>("pausedBefore");
    QTest::addColumn<int>("popups");
    QTest::addColumn<int>("togglesMeanwhile");
    QTest::addColumn<bool>("pausedAfter");
    // The popup's own pause ending with its only popup is the window suite's case.
    QTest::newRow("it ends with the last of two popups") << false << 2 << 0 << false;
    QTest::newRow("the operator's pause stays") << true << 1 << 0 << true;
    QTest::newRow("paused again meanwhile stays paused") << false << 1 << 2 << true;
}

void TestTtWidget::popupPauseEndsWithTheLastPopupUnlessTheOperatorPaused()
{
    QFETCH(bool, pausedBefore);
    QFETCH(int, popups);
    QFETCH(int, togglesMeanwhile);
    ttwidget &c = *m_chart;
    c.setPaused(pausedBefore);
    c.showHorizontalZoom();
    if (popups == 2)
        c.showVerticalZoom();
    QVERIFY(c.isPaused());
    for (int i = 0; i < togglesMeanwhile; ++i)
        c.setPaused(!c.isPaused());
    emit c.horizontalPopup()->disapper();
    if (popups == 2) {
        QVERIFY(c.isPaused());
        emit c.verticalPopup()->disapper();
    }
    QTEST(c.isPaused(), "pausedAfter");
    QCOMPARE(buttonText(c, "pushButton_hc"), c.isPaused() ? QStringLiteral("继续") : QStringLiteral("暂停"));
}

void TestTtWidget::zoomStepsActOnlyWithinLimits()
{
    ttwidget &c = *m_chart;
    QCPAxis *x = c.chartPlot()->xAxis;
    QCPAxis *y = c.chartPlot()->yAxis;
    x->setRange(10, 22);
    c.horizontalZoomin();
    QCOMPARE(x->range(), QCPRange(11, 21));
    c.horizontalZoomout();
    QCOMPARE(x->range().size(), 12.0);
    x->setRange(5, 6);
    c.horizontalZoomin();
    QCOMPARE(x->range(), QCPRange(5, 6));
    y->setRange(0, 10000);
    c.verticalZoomout();
    QCOMPARE(y->range(), QCPRange(0, 10000));
    y->setRange(0, 0.1);
    c.verticalZoomin();
    QCOMPARE(y->range(), QCPRange(0, 0.1));
    // Hidden plot: no step at all.
    c.hide();
    x->setRange(0, 12);
    c.horizontalZoomin();
    QCOMPARE(x->range(), QCPRange(0, 12));
}

void TestTtWidget::axisGuardsHoldUnderAnyChange()
{
    ttwidget &c = *m_chart;
    c.chartPlot()->xAxis->setRange(-5, 25);
    QCOMPARE(c.chartPlot()->xAxis->range(), QCPRange(0, 25));
    c.chartPlot()->xAxis->moveRange(-100);
    QCOMPARE(c.chartPlot()->xAxis->range(), QCPRange(0, 25));
    c.chartPlot()->yAxis->setRange(-80, 20);
    QCOMPARE(c.chartPlot()->yAxis->range(), QCPRange(-50, 20));
}

void TestTtWidget::unitThreeKeepsCaptionAndWritesNoSymbol()
{
    ttwidget &c = *m_chart;
    c.setUnit(1);
    QCOMPARE(c.chartPlot()->yAxis->label(), QStringLiteral("温度(℉)"));
    c.setUnit(3);
    QCOMPARE(c.chartPlot()->yAxis->label(), QStringLiteral("温度(℉)"));
    QCOMPARE(c.unitCode(), 3);
    const QString path = m_dir.filePath(QStringLiteral("unit3.txt"));
    QVERIFY(c.writeCurveFile(path));
    const QByteArray bytes = fileBytes(path);
    QVERIFY(bytes.contains("\r\nUnit:3\r\nDataCounts:0\r\nDuration,Temperature,Time\r\n"));
    QVERIFY(bytes.endsWith("Duration,Temperature,Time\r\n"));
    QVERIFY(bytes.startsWith("Ostrel\r\n"));
}

void TestTtWidget::saveAndImportRoundTrip()
{
    ttwidget &c = *m_chart;
    c.UpdateTemp(36.6);
    c.startRecording();
    QTRY_VERIFY_WITH_TIMEOUT(c.curve().size() >= 5, 5000);
    c.stopRecording();
    const int n = c.curve().size();
    const QString path = m_dir.filePath(QStringLiteral("curve.txt"));
    c.exportCurve(path);
    QCOMPARE(m_boxes->seen, QStringList {QStringLiteral("导出数据成功|信息已保存在%1！").arg(path)});
    QVERIFY(fileBytes(path).contains(QByteArray("DataCounts:") + QByteArray::number(n) + "\r\n"));

    // Another curve on screen, which the import must replace.
    c.UpdateTemp(20.0);
    c.startRecording();
    QTRY_VERIFY_WITH_TIMEOUT(c.curve().size() >= 1, 5000);
    c.stopRecording();
    QCOMPARE(c.curve().at(0).value, 20.0);
    c.importCurve(path);
    QCOMPARE(c.curve().size(), n);
    QCOMPARE(c.curve().at(0).value, 36.6);
    QCOMPARE(c.chartPlot()->xAxis->range().upper, c.curve().at(n - 1).key);
    QCOMPARE(c.chartPlot()->yAxis->range(), QCPRange(double(36.6f - 10.f), double(36.6f + 10.f)));
}

void TestTtWidget::savedRowTimesAreStartPlusDuration()
{
    ttwidget &c = *m_chart;
    c.setSampleInterval(10);
    c.setCacheSize(100);
    c.UpdateTemp(20);
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    c.startRecording();
    const qint64 after = QDateTime::currentMSecsSinceEpoch();
    // The oldest samples dropped: row numbers no longer tell the time (gaps are the writer's table).
    QTRY_VERIFY_WITH_TIMEOUT(c.curve().size() == 100 && c.curve().at(0).key > 0.2, 10000);
    c.stopRecording();

    const QString first = m_dir.filePath(QStringLiteral("times1.txt"));
    const QString second = m_dir.filePath(QStringLiteral("times2.txt"));
    QVERIFY(c.writeCurveFile(first));
    QVERIFY(c.writeCurveFile(second));
    const QByteArray bytes = fileBytes(first);
    QCOMPARE(fileBytes(second), bytes);

    const QList<QByteArray> lines = bytes.split('\n');
    QVERIFY(lines.at(1).startsWith("Date:"));
    const qint64 date
        = QDateTime::fromString(QString::fromLatin1(lines.at(1).mid(5).trimmed()), kFileDateFormat)
              .toMSecsSinceEpoch();
    QVERIFY(date >= before && date <= after);
    QCOMPARE(lines.at(5).trimmed(), QByteArray("DataCounts:100"));
    for (int i = 0; i < 100; ++i) {
        const QList<QByteArray> fields = lines.at(7 + i).trimmed().split('\t');
        const double duration = fields.at(0).toDouble();
        QVERIFY(i > 0 || duration >= 0.2);
        QCOMPARE(QString::fromLatin1(fields.at(2)),
            QDateTime::fromMSecsSinceEpoch(date + qRound64(duration * 1000))
                .toString(QStringLiteral("hh:mm:ss:zzz")));
    }
}

void TestTtWidget::curveKeepsWhatItWasRecordedWith()
{
    ttwidget &c = *m_chart;
    c.setSampleInterval(100);
    c.UpdateTemp(30);
    c.startRecording();
    QTRY_VERIFY_WITH_TIMEOUT(c.curve().size() >= 3, 5000);
    c.stopRecording();
    const CurveInfo recorded = c.curveInfo();
    QCOMPARE(recorded.intervalMs, 100);
    // Settings chosen afterwards are for the next recording; this one is saved as it was taken.
    c.setSampleInterval(1000);
    QVERIFY(c.curveInfo() == recorded);

    // An opened curve is saved again as it came.
    const QByteArray file
        = "Ostrel\r\nDate:2021-03-04 09:15:02:417\r\nEmissivity:0.9\r\nUnit:1\r\n"
          "UnitSymbol:\xe2\x84\x89\r\nDataCounts:3\r\nDuration,Temperature,Time\r\n"
          "0.02\t100.5\t09:15:02:437\r\n0.04\t100.6\t09:15:02:457\r\n0.08\t100.7\t09:15:02:497\r\n";
    const QString opened = m_dir.filePath(QStringLiteral("opened.txt"));
    writeFile(opened, file);
    c.importCurve(opened);
    QCOMPARE(c.unitCode(), 1);
    QCOMPARE(c.chartPlot()->yAxis->label(), QStringLiteral("温度(℉)"));
    const QString again = m_dir.filePath(QStringLiteral("again.txt"));
    QVERIFY(c.writeCurveFile(again));
    QCOMPARE(fileBytes(again), file);

    // A new recording is the window's, not the opened file's.
    c.startRecording();
    QCOMPARE(c.unitCode(), 2);
    QCOMPARE(c.emissivityValue(), 1.0f);
    QCOMPARE(c.curveInfo().intervalMs, 1000);
    c.stopRecording();
}

void TestTtWidget::openSmallCurve()
{
    const QString path = m_dir.filePath(QStringLiteral("small.txt"));
    writeFile(path, "n\nDataCounts:2\nc\n1\t10\n2\t20\n");
    m_chart->importCurve(path);
    QCOMPARE(m_chart->curve().size(), 2);
}

void TestTtWidget::emptyCurveIsNotSaved()
{
    // No reader would take a curve file without samples back, and a table of nothing helps nobody.
    const QString curve = m_dir.filePath(QStringLiteral("empty.txt"));
    const QString table = m_dir.filePath(QStringLiteral("empty.csv"));
    m_chart->exportCurve(curve);
    m_chart->exportCsv(table);
    QCOMPARE(m_chart->saveCurveQuietly(curve).reason(), QStringLiteral("没有可保存的曲线"));
    const QString refusal = QStringLiteral("提示|没有可保存的曲线");
    QCOMPARE(m_boxes->seen, (QStringList {refusal, refusal}));
    QVERIFY(!QFileInfo::exists(curve));
    QVERIFY(!QFileInfo::exists(table));
}

void TestTtWidget::saveThroughLinkToNothingIsRefused()
{
    // Where a save may write is the settings store's table; the chart has to say it did not save.
    openSmallCurve();
    const QString path = m_dir.filePath(QStringLiteral("dangling.txt"));
    const QString end = m_dir.filePath(QStringLiteral("nowhere.txt"));
    QVERIFY(QFile::link(end, path));
    m_chart->exportCurve(path);
    QCOMPARE(m_boxes->seen, QStringList {QStringLiteral("错误|无法保存文件 %1：不是普通文件").arg(path)});
    QVERIFY(QFileInfo(path).isSymLink());
    QVERIFY(!QFileInfo::exists(end));
}

void TestTtWidget::importAlwaysReplacesTheCurve()
{
    ttwidget &c = *m_chart;
    const QString first = m_dir.filePath(QStringLiteral("first.txt"));
    writeFile(first, "n\nUnit:1\nEmissivity:0.9\nDataCounts:3\nc\n1\t10\n2\t20\n3\t30\n");
    c.importCurve(first);
    QCOMPARE(c.curve().size(), 3);
    QCOMPARE(c.unitCode(), 1);
    QCOMPARE(c.emissivityValue(), 0.9f);
    const int capacity = c.cacheSizeValue();

    const QString zero = m_dir.filePath(QStringLiteral("zero.txt"));
    writeFile(zero, "n\nDataCounts:0\nc\n7\t70\n8\t80\n");
    c.importCurve(zero);
    QCOMPARE(c.curve().size(), 2);
    QCOMPARE(c.curve().at(0).key, 7.0);
    // What the file does not tell is what a new recording would have, not what the last file said; the
    // recording capacity is not the file's.
    QCOMPARE(c.unitCode(), 2);
    QCOMPARE(c.emissivityValue(), 1.0f);
    QCOMPARE(c.cacheSizeValue(), capacity);

    const QString huge = m_dir.filePath(QStringLiteral("huge.txt"));
    writeFile(huge, "n\nDataCounts:2000000000\nc\n1\t2\n");
    c.importCurve(huge);
    QCOMPARE(c.curve().size(), 1);
    QVERIFY(m_boxes->seen.isEmpty());
}

void TestTtWidget::unreadableImportKeepsCurve_data()
{
    QTest::addColumn<QString>("name"); // in the test folder unless absolute
    QTest::addColumn<QByteArray>("content"); // null: no file is written
    QTest::newRow("missing") << "does-not-exist.txt" << QByteArray();
    // A device never ends: it is refused rather than read for ever behind the wait dialog.
    QTest::newRow("device") << "/dev/zero" << QByteArray();
    // Which files are curves is the reader's table; one that is none is enough here.
    QTest::newRow("no curve header") << "notes.txt" << QByteArray("shopping\n1\t2\n3\t4\n");
}

void TestTtWidget::unreadableImportKeepsCurve()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    ttwidget &c = *m_chart;
    const QString good = m_dir.filePath(QStringLiteral("ok.txt"));
    writeFile(good, "n\nDataCounts:2\nc\n1\t10\n2\t20\n");
    c.importCurve(good);
    const QCPRange temperatures = c.chartPlot()->yAxis->range();

    const QString path = QDir::isAbsolutePath(name) ? name : m_dir.filePath(name);
    if (!content.isNull())
        writeFile(path, content);
    c.importCurve(path);
    QCOMPARE(m_boxes->seen,
        QStringList {QStringLiteral("错误|无法识别的文件格式!\n") + QDir::toNativeSeparators(path)});
    QCOMPARE(c.curve().size(), 2);
    QCOMPARE(c.curve().at(1).value, 20.0);
    QCOMPARE(c.chartPlot()->yAxis->range(), temperatures);
}

void TestTtWidget::capacitySettingIsClampedBeforeMultiplying_data()
{
    QTest::addColumn<QString>("thousands");
    QTest::addColumn<int>("samples");
    QTest::newRow("default") << "1000" << 1'000'000;
    QTest::newRow("small") << "2" << 2000;
    QTest::newRow("largest offered") << "10000" << 10'000'000;
    QTest::newRow("above the largest") << "10001" << 10'000'000;
    QTest::newRow("would overflow") << "9223372036854775807" << 10'000'000;
    QTest::newRow("negative") << "-5" << 0;
    QTest::newRow("no number") << "abc" << 0;
}

void TestTtWidget::capacitySettingIsClampedBeforeMultiplying()
{
    QFETCH(QString, thousands);
    QTEST(ttwidget::cacheSizeFromSetting(thousands), "samples");
}

void TestTtWidget::savingAndImportingAreRefusedWhileRecording()
{
    ttwidget &c = *m_chart;
    const QString path = m_dir.filePath(QStringLiteral("refused.txt"));
    writeFile(path, "n\nDataCounts:1\nc\n1\t10\n");
    c.UpdateTemp(5);
    c.startRecording();
    c.importCurve(path);
    c.exportCurve(m_dir.filePath(QStringLiteral("not-written.txt")));
    c.exportCurveAs();
    c.exportCsv(m_dir.filePath(QStringLiteral("not-written.csv")));
    c.exportCsvAs();
    const QString refusal = QStringLiteral("提示|正在记录曲线，请先停止！");
    QCOMPARE(m_boxes->seen, (QStringList {refusal, refusal, refusal, refusal, refusal}));
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("not-written.txt"))));
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("not-written.csv"))));
    QVERIFY(c.isRecording());
    c.stopRecording();
    QVERIFY(c.curve().isEmpty() || c.curve().at(0).value == 5.0);
}

void TestTtWidget::csvExportWritesTheShownCurveButLeavesItUnsaved()
{
    ttwidget &c = *m_chart;
    c.UpdateTemp(36.6f);
    c.startRecording();
    QTRY_VERIFY_WITH_TIMEOUT(c.curve().size() >= 3, 5000);
    c.stopRecording();
    const QString path = m_dir.filePath(QStringLiteral("curve.csv"));
    c.exportCsv(path);
    QCOMPARE(m_boxes->seen, QStringList {QStringLiteral("导出数据成功|信息已保存在%1！").arg(path)});
    // A table cannot be opened again as a curve.
    QVERIFY(c.hasUnsavedCurve());

    const QList<QByteArray> lines = fileBytes(path).split('\n');
    QCOMPARE(lines.size(), c.curve().size() + 2);
    const QCPGraphData &first = c.curve().at(0);
    const QDateTime stamp
        = QDateTime::fromMSecsSinceEpoch(c.curveInfo().startMsecs + qRound64(first.key * 1000));
    const int offset = stamp.offsetFromUtc() / 60;
    const QString time = stamp.toString(QStringLiteral("yyyy-MM-ddThh:mm:ss.zzz"))
        + QString::asprintf("%c%02d:%02d", offset < 0 ? '-' : '+', qAbs(offset) / 60, qAbs(offset) % 60);
    QCOMPARE(lines.at(1), time.toLatin1() + ',' + QByteArray::number(first.key) + ",36.6,\xE2\x84\x83\r");
}

void TestTtWidget::imageExportHasThePlotsPixelsAndAspect()
{
    ttwidget &c = *m_chart;
    QCustomPlot *plot = c.chartPlot();
    const QString png = m_dir.filePath(QStringLiteral("chart.png"));
    c.exportImage(png);
    const QImage image(png, "PNG");
    QCOMPARE(image.size(), plot->size() * plot->devicePixelRatioF());

    const QString pdf = m_dir.filePath(QStringLiteral("chart.pdf"));
    c.exportImage(pdf);
    const QByteArray bytes = fileBytes(pdf);
    QVERIFY(bytes.startsWith("%PDF-"));
    // "/MediaBox [0 0 width height]" in points.
    const int box = bytes.indexOf("/MediaBox [");
    QVERIFY(box >= 0);
    const QList<QByteArray> page = bytes.mid(box + 11, bytes.indexOf(']', box) - box - 11).split(' ');
    QCOMPARE(page.size(), 4);
    QVERIFY(qAbs(page[2].toDouble() / page[3].toDouble() - double(plot->width()) / plot->height()) < 0.01);
    QCOMPARE(m_boxes->seen,
        (QStringList {QStringLiteral("导出图片成功|图片已保存在%1！").arg(png),
            QStringLiteral("导出图片成功|图片已保存在%1！").arg(pdf)}));
}

void TestTtWidget::failedExportsSayNothingWasSaved_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("csv") << "missing/curve.csv";
    QTest::newRow("png") << "missing/chart.png";
    QTest::newRow("pdf") << "missing/chart.pdf";
}

void TestTtWidget::failedExportsSayNothingWasSaved()
{
    QFETCH(QString, name);
    const QString path = m_dir.filePath(name);
    if (name.endsWith(QLatin1String(".png")) || name.endsWith(QLatin1String(".pdf"))) {
        m_chart->exportImage(path);
    } else {
        // Without samples the table would be refused before any file is tried.
        openSmallCurve();
        m_chart->exportCsv(path);
    }
    QCOMPARE(m_boxes->seen, QStringList {QStringLiteral("错误|无法保存文件 %1：文件夹不存在").arg(path)});
    QVERIFY(!QFileInfo::exists(path));
}

void TestTtWidget::settingsChangeKeepsShownCurve()
{
    ttwidget &c = *m_chart;
    const QString path = m_dir.filePath(QStringLiteral("kept.txt"));
    writeFile(path, "n\nDataCounts:2\nc\n1\t10\n2\t20\n");
    c.importCurve(path);
    c.setCacheSize(2000);
    c.setSampleInterval(1000);
    QCOMPARE(c.curve().size(), 2);
    QCOMPARE(c.cacheSizeValue(), 2000);
    c.setCacheSize(-5);
    QCOMPARE(c.cacheSizeValue(), 0);
    c.setSampleInterval(0);
    QCOMPARE(c.sampleIntervalValue(), 1);
}

void TestTtWidget::zoomPopupPausesAndIsReplaced()
{
    ttwidget &c = *m_chart;
    c.showHorizontalZoom();
    QPointer<CorveleScale> first = c.horizontalPopup();
    QVERIFY(first);
    QVERIFY(c.isPaused());
    c.showHorizontalZoom();
    QVERIFY(c.horizontalPopup() && c.horizontalPopup() != first.data());
    QTRY_VERIFY(first.isNull());
    QPointer<CorveleScale> second = c.horizontalPopup();
    emit second->disapper();
    QCOMPARE(c.horizontalPopup(), nullptr);
    QTRY_VERIFY(second.isNull());

    c.chartPlot()->xAxis->setRange(0, 12);
    c.showHorizontalZoom();
    emit c.horizontalPopup()->zoomin_clicked();
    QCOMPARE(c.chartPlot()->xAxis->range(), QCPRange(1, 11));
    c.showVerticalZoom();
    QVERIFY(c.verticalPopup());
}

void TestTtWidget::languageChangeRecaptions()
{
    ttwidget &c = *m_chart;
    c.setMode(ttwidget::wholeCurveMode);
    c.setPaused(true);
    c.setUnit(1);
    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(&c, &change);
    QCOMPARE(buttonText(c, "pushButton_mode"), QStringLiteral("模式1"));
    QCOMPARE(buttonText(c, "pushButton_hc"), QStringLiteral("继续"));
    QCOMPARE(buttonText(c, "pushButton_startstop"), QStringLiteral("开始"));
    QCOMPARE(buttonText(c, "pushButton_horizontal"), QStringLiteral("水平缩放"));
    QCOMPARE(c.chartPlot()->xAxis->label(), QStringLiteral("时间(秒)"));
    QCOMPARE(c.chartPlot()->yAxis->label(), QStringLiteral("温度(℉)"));
}

void TestTtWidget::stableMarksGoWithTheCurve()
{
    ttwidget &c = *m_chart;
    c.markStable();
    QCOMPARE(c.chartPlot()->itemCount(), 0);

    c.UpdateTemp(25);
    c.startRecording();
    QTRY_VERIFY_WITH_TIMEOUT(c.lastElapsed() > 0.2, 5000);
    c.markStable();
    c.stopRecording();
    QCOMPARE(c.chartPlot()->itemCount(), 1);
    auto *mark = qobject_cast<QCPItemStraightLine *>(c.chartPlot()->item(0));
    QVERIFY(mark);
    QCOMPARE(mark->point1->key(), mark->point2->key());
    QVERIFY(mark->point1->key() > 0.2 && mark->point1->key() < c.curve().at(c.curve().size() - 1).key + 1);

    const QString file = m_dir.filePath(QStringLiteral("marks.txt"));
    writeFile(file, "n\nDataCounts:1\nc\n1\t10\n");
    c.importCurve(file);
    QCOMPARE(c.chartPlot()->itemCount(), 0);

    c.startRecording();
    c.markStable();
    c.stopRecording();
    c.startRecording();
    QCOMPARE(c.chartPlot()->itemCount(), 0);
    c.stopRecording();
}

QTEST_MAIN(TestTtWidget)
#include "tst_ttwidget.moc"
