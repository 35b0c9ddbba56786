#include "chart/corvelescale.h"
#include "chart/ttwidget.h"
#include "recording/samplestore.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

Q_DECLARE_METATYPE(QCPRange)

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString buttonText(ttwidget &chart, const char *name)
{
    return chart.findChild<QPushButton *>(QLatin1String(name))->text();
}

} // namespace

class TestTtWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void followModeKeepsWindowWidth();
    void wholeCurveModeShowsEverythingAndBackGivesWholeSeconds();
    void newRecordingStartsInViewAtZero();
    void temperatureAxisShowsTheRecording_data();
    void temperatureAxisShowsTheRecording();
    void zoomStepsActOnlyWithinLimits();
    void axisGuardsHoldUnderAnyChange();
    void unitThreeKeepsCaptionAndWritesNoSymbol();
    void savedRowTimesAreStartPlusDuration();
    void zoomPopupPausesAndIsReplaced();
    void languageChangeRecaptions();
    void stableMarksGoWithTheCurve();
    void exportTitleShowsTheSetPointAsSent_data();
    void exportTitleShowsTheSetPointAsSent();

private:
    QTemporaryDir m_dir;
    ttwidget *m_chart = nullptr;
};

void TestTtWidget::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
    QCoreApplication::setApplicationName(QStringLiteral("Ostrel"));
}

void TestTtWidget::init()
{
    m_chart = new ttwidget;
    m_chart->resize(945, 571);
    m_chart->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_chart));
}

void TestTtWidget::cleanup()
{
    delete m_chart;
    m_chart = nullptr;
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

void TestTtWidget::savedRowTimesAreStartPlusDuration()
{
    ttwidget &c = *m_chart;
    c.setSampleInterval(10);
    c.setCacheSize(20);
    c.UpdateTemp(20);
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    c.startRecording();
    const qint64 after = QDateTime::currentMSecsSinceEpoch();
    // The oldest samples dropped: row numbers no longer tell the time (how rows are written is the
    // writer's table).
    QTRY_VERIFY_WITH_TIMEOUT(c.curve().size() == 20 && c.curve().at(0).key > 0.2, 10000);
    c.stopRecording();

    const QString path = m_dir.filePath(QStringLiteral("times.txt"));
    QVERIFY(c.writeCurveFile(path));
    const QList<QByteArray> lines = fileBytes(path).split('\n');
    const qint64 date = QDateTime::fromString(
        QString::fromLatin1(lines.at(1).mid(5).trimmed()), QStringLiteral("yyyy-MM-dd hh:mm:ss:zzz"))
                            .toMSecsSinceEpoch();
    QVERIFY(date >= before && date <= after);
    const QList<QByteArray> oldest = lines.at(7).trimmed().split('\t');
    QCOMPARE(QString::fromLatin1(oldest.at(2)),
        QDateTime::fromMSecsSinceEpoch(date + qRound64(oldest.at(0).toDouble() * 1000))
            .toString(QStringLiteral("hh:mm:ss:zzz")));
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
    QCOMPARE(buttonText(c, "pushButton_hc"), QStringLiteral("继续"));
    // The pause is the popups' own: it ends with the last of them.
    emit c.horizontalPopup()->disapper();
    QVERIFY(c.isPaused());
    emit c.verticalPopup()->disapper();
    QVERIFY(!c.isPaused());
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
    c.markStep(true);
    c.stopRecording();
    // Each mark is a line and its label.
    QCOMPARE(c.chartPlot()->itemCount(), 4);
    auto *mark = qobject_cast<QCPItemStraightLine *>(c.chartPlot()->item(0));
    QVERIFY(mark);
    auto *label = qobject_cast<QCPItemText *>(c.chartPlot()->item(3));
    QVERIFY(label);
    QCOMPARE(label->text(), QStringLiteral("步骤1"));
    // A change of language reaches the labels already drawn.
    struct English : QTranslator
    {
        bool isEmpty() const override { return false; }
        QString translate(const char *, const char *source, const char *, int) const override
        {
            return QString::fromUtf8(source) == QStringLiteral("步骤%1") ? QStringLiteral("Step %1")
                                                                         : QString();
        }
    } english;
    QCoreApplication::installTranslator(&english);
    QTRY_COMPARE(label->text(), QStringLiteral("Step 1"));
    QCoreApplication::removeTranslator(&english);
    QTRY_COMPARE(label->text(), QStringLiteral("步骤1"));
    QCOMPARE(mark->point1->key(), mark->point2->key());
    QVERIFY(mark->point1->key() > 0.2 && mark->point1->key() < c.curve().at(c.curve().size() - 1).key + 1);

    c.showOpenedCurve(CurveFileContents(), CurveInfo(), QSharedPointer<SampleStore>::create());
    QCOMPARE(c.chartPlot()->itemCount(), 0);

    c.startRecording();
    c.markStable();
    c.stopRecording();
    c.startRecording();
    QCOMPARE(c.chartPlot()->itemCount(), 0);
    c.stopRecording();
}

void TestTtWidget::exportTitleShowsTheSetPointAsSent_data()
{
    QTest::addColumn<double>("setPoint");
    QTest::addColumn<QString>("shown");
    QTest::newRow("whole") << 60.0 << QStringLiteral("60.0");
    QTest::newRow("two decimals") << 60.25 << QStringLiteral("60.25");
}

void TestTtWidget::exportTitleShowsTheSetPointAsSent()
{
    QFETCH(double, setPoint);
    QFETCH(QString, shown);
    ttwidget &c = *m_chart;
    c.UpdateTemp(25);
    c.startRecording();
    c.setSetPoint(setPoint);
    QVERIFY2(c.exportTitle().contains(QStringLiteral("设定值: %1℃").arg(shown)), qPrintable(c.exportTitle()));
    c.stopRecording();
}

QTEST_MAIN(TestTtWidget)
#include "tst_ttwidget.moc"
