#include "../app/windowtest.h"
#include "../common/caseprocesses.h"
#include "chart/chartfileactions.h"
#include "chart/ttwidget.h"
#include "recording/samplestore.h"

#include <QLocale>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(QCPRange)

namespace {

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

} // namespace

class TestChartFileActions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void openedCurveIsSavedAgainAsItCame();
    void writesAreRefusedWhileRecordingOrWithoutSamples_data();
    void writesAreRefusedWhileRecordingOrWithoutSamples();
    void saveThroughLinkToNothingIsRefused();
    void importAlwaysReplacesTheCurve();
    void unreadableImportKeepsCurve_data();
    void unreadableImportKeepsCurve();
    void csvExportWritesTheShownCurveButLeavesItUnsaved();
    void csvTablesOpenAtFullPrecision_data();
    void csvTablesOpenAtFullPrecision();
    void imageExportIsTwiceThePlotAndAPdfFillsAPage();
    void failedExportsSayNothingWasSaved_data();
    void failedExportsSayNothingWasSaved();

private:
    // Gives the chart a curve of two samples, read from a file.
    void openSmallCurve();

    QTemporaryDir m_dir;
    std::unique_ptr<ModalHandler> m_modal;
    std::unique_ptr<ttwidget> m_chart;
    std::unique_ptr<ChartFileActions> m_files;
};

void TestChartFileActions::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
    QCoreApplication::setApplicationName(QStringLiteral("Ostrel"));
}

void TestChartFileActions::init()
{
    m_modal = std::make_unique<ModalHandler>();
    // The wait dialog closes itself.
    m_modal->onDialog = [](QDialog *) {};
    m_chart = std::make_unique<ttwidget>();
    m_files = std::make_unique<ChartFileActions>(m_chart.get());
    m_chart->resize(945, 571);
    m_chart->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_chart.get()));
}

void TestChartFileActions::cleanup()
{
    m_files.reset();
    m_chart.reset();
    m_modal.reset();
}

void TestChartFileActions::openSmallCurve()
{
    const QString path = m_dir.filePath(QStringLiteral("small.txt"));
    writeFile(path, "n\nDataCounts:2\nc\n1\t10\n2\t20\n");
    m_files->importCurve(path);
    QCOMPARE(m_chart->curve().size(), 2);
}

void TestChartFileActions::openedCurveIsSavedAgainAsItCame()
{
    ttwidget &c = *m_chart;
    const QByteArray file
        = "Ostrel\r\nDate:2021-03-04 09:15:02:417\r\nEmissivity:0.9\r\nUnit:1\r\n"
          "UnitSymbol:\xe2\x84\x89\r\nDataCounts:3\r\nDuration,Temperature,Time\r\n"
          "0.02\t100.5\t09:15:02:437\r\n0.04\t100.6\t09:15:02:457\r\n0.08\t100.7\t09:15:02:497\r\n";
    const QString opened = m_dir.filePath(QStringLiteral("opened.txt"));
    writeFile(opened, file);
    m_files->importCurve(opened);
    QCOMPARE(c.unitCode(), 1);
    QCOMPARE(c.chartPlot()->yAxis->label(), QStringLiteral("温度(℉)"));
    const QString again = m_dir.filePath(QStringLiteral("again.txt"));
    QVERIFY(c.writeCurveFile(again));
    QCOMPARE(fileBytes(again), file);

    // A new recording is the window's, not the opened file's.
    c.startRecording();
    QCOMPARE(c.unitCode(), 2);
    QCOMPARE(c.emissivityValue(), 1.0f);
    c.stopRecording();
}

void TestChartFileActions::writesAreRefusedWhileRecordingOrWithoutSamples_data()
{
    QTest::addColumn<bool>("recording");
    QTest::addColumn<QString>("refusal");
    // No reader would take a curve file without samples back, and a table of nothing helps nobody.
    QTest::newRow("no samples") << false << "没有可保存的曲线";
    QTest::newRow("recording") << true << "正在记录曲线，请先停止！";
}

void TestChartFileActions::writesAreRefusedWhileRecordingOrWithoutSamples()
{
    QFETCH(bool, recording);
    QFETCH(QString, refusal);
    const QString curve = m_dir.filePath(QStringLiteral("refused.txt"));
    const QString table = m_dir.filePath(QStringLiteral("refused.csv"));
    m_chart->UpdateTemp(5);
    if (recording)
        m_chart->startRecording();
    m_files->exportCurve(curve);
    m_files->exportCurveAs();
    m_files->exportCsv(table);
    m_files->exportCsvAs();
    QCOMPARE(m_chart->saveCurveQuietly(curve).reason(), refusal);
    const QString box = QStringLiteral("提示|") + refusal;
    QCOMPARE(m_modal->boxes, (QStringList {box, box, box, box}));
    QVERIFY(m_modal->dialogs.isEmpty());
    QVERIFY(!QFileInfo::exists(curve) && !QFileInfo::exists(table));
    m_chart->stopRecording();
}

void TestChartFileActions::saveThroughLinkToNothingIsRefused()
{
    // Where a save may write is the settings store's table; the chart has to say it did not save.
    openSmallCurve();
    const QString path = m_dir.filePath(QStringLiteral("dangling.txt"));
    const QString end = m_dir.filePath(QStringLiteral("nowhere.txt"));
    QVERIFY(QFile::link(end, path));
    m_files->exportCurve(path);
    QCOMPARE(m_modal->boxes, QStringList {QStringLiteral("错误|无法保存文件 %1：不是普通文件").arg(path)});
    QVERIFY(QFileInfo(path).isSymLink());
    QVERIFY(!QFileInfo::exists(end));
}

void TestChartFileActions::importAlwaysReplacesTheCurve()
{
    ttwidget &c = *m_chart;
    const QString first = m_dir.filePath(QStringLiteral("first.txt"));
    writeFile(first, "n\nUnit:1\nEmissivity:0.9\nDataCounts:3\nc\n1\t10\n2\t20\n3\t30\n");
    m_files->importCurve(first);
    QCOMPARE(c.curve().size(), 3);
    QCOMPARE(c.unitCode(), 1);
    QCOMPARE(c.emissivityValue(), 0.9f);
    // The axes show the opened curve, its temperatures with a margin.
    QCOMPARE(c.chartPlot()->xAxis->range(), QCPRange(1, 3));
    QCOMPARE(c.chartPlot()->yAxis->range(), QCPRange(0, 40));

    const QString zero = m_dir.filePath(QStringLiteral("zero.txt"));
    writeFile(zero, "n\nDataCounts:0\nc\n7\t70\n8\t80\n");
    m_files->importCurve(zero);
    QCOMPARE(c.curve().size(), 2);
    QCOMPARE(c.curve().at(0).key, 7.0);
    // What the file does not tell is what a new recording would have, not what the last file said.
    QCOMPARE(c.unitCode(), 2);
    QCOMPARE(c.emissivityValue(), 1.0f);

    const QString huge = m_dir.filePath(QStringLiteral("huge.txt"));
    writeFile(huge, "n\nDataCounts:2000000000\nc\n1\t2\n");
    m_files->importCurve(huge);
    QCOMPARE(c.curve().size(), 1);
    QVERIFY(m_modal->boxes.isEmpty());
}

void TestChartFileActions::unreadableImportKeepsCurve_data()
{
    QTest::addColumn<QString>("name"); // in the test folder unless absolute
    QTest::addColumn<QByteArray>("content"); // null: no file is written
    QTest::newRow("missing") << "does-not-exist.txt" << QByteArray();
    // A device never ends: it is refused rather than read for ever behind the wait dialog.
    QTest::newRow("device") << "/dev/zero" << QByteArray();
    // Which files are curves is the reader's table; one that is none is enough here.
    QTest::newRow("no curve header") << "notes.txt" << QByteArray("shopping\n1\t2\n3\t4\n");
}

void TestChartFileActions::unreadableImportKeepsCurve()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    openSmallCurve();
    const QCPRange temperatures = m_chart->chartPlot()->yAxis->range();

    const QString path = QDir::isAbsolutePath(name) ? name : m_dir.filePath(name);
    if (!content.isNull())
        writeFile(path, content);
    m_files->importCurve(path);
    QCOMPARE(m_modal->boxes,
        QStringList {QStringLiteral("错误|无法识别的文件格式!\n") + QDir::toNativeSeparators(path)});
    QCOMPARE(m_chart->curve().size(), 2);
    QCOMPARE(m_chart->curve().at(1).value, 20.0);
    QCOMPARE(m_chart->chartPlot()->yAxis->range(), temperatures);
}

void TestChartFileActions::csvExportWritesTheShownCurveButLeavesItUnsaved()
{
    ttwidget &c = *m_chart;
    c.UpdateTemp(36.6f);
    c.startRecording();
    QTRY_VERIFY_WITH_TIMEOUT(c.curve().size() >= 3, 5000);
    c.stopRecording();
    const QString path = m_dir.filePath(QStringLiteral("curve.csv"));
    m_files->exportCsv(path);
    QCOMPARE(m_modal->boxes, QStringList {QStringLiteral("导出数据成功|信息已保存在%1！").arg(path)});
    // A table leaves the emissivity out, so it is no copy of the curve.
    QVERIFY(c.hasUnsavedCurve());

    const QList<QByteArray> lines = fileBytes(path).split('\n');
    QCOMPARE(lines.size(), c.curve().size() + 2);
    const Sample &first = c.curve().at(0);
    const QDateTime stamp
        = QDateTime::fromMSecsSinceEpoch(c.curveInfo().startMsecs + qRound64(first.key * 1000));
    const int offset = stamp.offsetFromUtc() / 60;
    const QString time = stamp.toString(QStringLiteral("yyyy-MM-ddThh:mm:ss.zzz"))
        + QString::asprintf("%c%02d:%02d", offset < 0 ? '-' : '+', qAbs(offset) / 60, qAbs(offset) % 60);
    QCOMPARE(lines.at(1), time.toLatin1() + ',' + QByteArray::number(first.key) + ",36.6,\xE2\x84\x83\r");
}

void TestChartFileActions::csvTablesOpenAtFullPrecision_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<int>("samples"); // 0: refused, the previous curve stays
    QTest::addColumn<double>("last");
    QTest::addColumn<int>("unit");
    QTest::addColumn<qint64>("start"); // ms since the epoch
    const QByteArray columns = "Time,Elapsed (s),Temperature,Unit\r\n";
    const qint64 at = QDateTime(QDate(2021, 3, 4), QTime(9, 15, 2, 317), Qt::UTC).toMSecsSinceEpoch();
    QTest::newRow("own export") << "\xEF\xBB\xBF" + columns
            + "2021-03-04T17:15:02.417+08:00,0.1,36.61234,\xE2\x84\x83\r\n"
              "2021-03-04T17:15:02.517+08:00,0.2,36.70005,\xE2\x84\x83\r\n"
                                << 2 << 36.70005 << 2 << at;
    QTest::newRow("Fahrenheit, LF only, no mark")
        << columns.left(columns.size() - 2) + "\n2021-03-04T09:15:03.317Z,1,98.25,\xE2\x84\x89\n"
        << 1 << 98.25 << 1 << at;
    QTest::newRow("a field that is no number reads as 0")
        << columns + "2021-03-04T09:15:02.417Z,0.1,oops,\xE2\x84\x83\r\nx,0.2,36.5,\xE2\x84\x83\r\n"
        << 2 << 36.5 << 2 << at;
    QTest::newRow("header only") << columns << 0 << 20.0 << 2 << qint64(0);
}

void TestChartFileActions::csvTablesOpenAtFullPrecision()
{
    QFETCH(QByteArray, table);
    QFETCH(int, samples);
    QFETCH(double, last);
    QFETCH(int, unit);
    QFETCH(qint64, start);
    openSmallCurve();
    const QString path = m_dir.filePath(QStringLiteral("table.csv"));
    writeFile(path, table);
    m_files->importCurve(path);
    QCOMPARE(m_chart->curve().size(), samples ? samples : 2);
    QCOMPARE(m_chart->curve().at(m_chart->curve().size() - 1).value, last);
    QCOMPARE(m_chart->unitCode(), unit);
    QCOMPARE(m_modal->boxes.isEmpty(), samples > 0);
    if (samples)
        QCOMPARE(m_chart->curveInfo().startMsecs, start);
}

void TestChartFileActions::imageExportIsTwiceThePlotAndAPdfFillsAPage()
{
    QCustomPlot *plot = m_chart->chartPlot();
    const QString png = m_dir.filePath(QStringLiteral("chart.png"));
    m_files->exportImage(png);
    const QImage image(png, "PNG");
    // Twice the plot's pixels, for print, and a title line above them.
    QCOMPARE(image.width(), int(2 * plot->width() * plot->devicePixelRatioF()));
    QVERIFY(image.height() > 2 * plot->height() * plot->devicePixelRatioF());
    QCOMPARE(plot->plotLayout()->rowCount(), 1);

    const QString pdf = m_dir.filePath(QStringLiteral("chart.pdf"));
    m_files->exportImage(pdf);
    const QByteArray bytes = fileBytes(pdf);
    QVERIFY(bytes.startsWith("%PDF-"));
    // "/MediaBox [0 0 width height]" in points.
    const int box = bytes.indexOf("/MediaBox [");
    QVERIFY(box >= 0);
    const QList<QByteArray> page = bytes.mid(box + 11, bytes.indexOf(']', box) - box - 11).split(' ');
    QCOMPARE(page.size(), 4);
    // A landscape sheet of the paper the locale uses: A4 here, Letter in the United States.
    QCOMPARE(
        QLocale().country() == QLocale::UnitedStates ? QStringLiteral("792 612") : QStringLiteral("842 595"),
        QStringLiteral("%1 %2").arg(qRound(page[2].toDouble())).arg(qRound(page[3].toDouble())));
    QCOMPARE(m_modal->boxes,
        (QStringList {QStringLiteral("导出图片成功|图片已保存在%1！").arg(png),
            QStringLiteral("导出图片成功|图片已保存在%1！").arg(pdf)}));
}

void TestChartFileActions::failedExportsSayNothingWasSaved_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("csv") << "missing/curve.csv";
    QTest::newRow("png") << "missing/chart.png";
    QTest::newRow("pdf") << "missing/chart.pdf";
}

void TestChartFileActions::failedExportsSayNothingWasSaved()
{
    QFETCH(QString, name);
    const QString path = m_dir.filePath(name);
    if (name.endsWith(QLatin1String(".png")) || name.endsWith(QLatin1String(".pdf"))) {
        m_files->exportImage(path);
    } else {
        // Without samples the table would be refused before any file is tried.
        openSmallCurve();
        m_files->exportCsv(path);
    }
    QCOMPARE(m_modal->boxes, QStringList {QStringLiteral("错误|无法保存文件 %1：文件夹不存在").arg(path)});
    QVERIFY(!QFileInfo::exists(path));
}

BB_CASE_PROCESSES_MAIN(TestChartFileActions, Rows, 4)
#include "tst_chartfileactions.moc"
