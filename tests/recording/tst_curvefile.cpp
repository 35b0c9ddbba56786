#include "recording/curvefile.h"
#include "recording/curveinfo.h"

#include <QBuffer>
#include <QDateTime>
#include <QRandomGenerator>
#include <QtTest>

#include <time.h>

namespace {

using Samples = QVector<Sample>;

qint64 utcMs(const char *text)
{
    QDateTime dt = QDateTime::fromString(QString::fromLatin1(text), Qt::ISODateWithMs);
    dt.setTimeSpec(Qt::UTC);
    return dt.toMSecsSinceEpoch();
}

QByteArray written(const CurveFileHeader &header, const Samples &samples, QVector<int> *percents = nullptr)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const bool ok = writeCurve(
        &buffer, header, samples.size(), [&samples](qint64 i) -> const Sample & { return samples[int(i)]; },
        [percents](int p) {
            if (percents)
                percents->append(p);
        });
    return ok ? bytes : QByteArray("write failed");
}

CurveReadResult read(const QByteArray &bytes, CurveFileContents *out, QVector<int> *percents = nullptr,
    int maxRows = 50'000'000)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return readCurve(
        &buffer, out,
        [percents](int p) {
            if (percents)
                percents->append(p);
        },
        maxRows);
}

CurveFileHeader header(int unit, int intervalMs, qint64 start = utcMs("2021-03-04T09:15:02.417"))
{
    CurveFileHeader h;
    h.appName = QStringLiteral("Ostrel黑体控制软件");
    h.startMsecs = start;
    h.emissivity = 0.95f;
    h.unit = unit;
    h.unitSymbol = unit == 1 ? QStringLiteral("℉") : QStringLiteral("℃");
    h.intervalMs = intervalMs;
    return h;
}

// What the chart takes for what a file does not tell.
CurveInfo chartFallback()
{
    CurveInfo info;
    info.startMsecs = 42;
    info.intervalMs = 500;
    info.unit = 2;
    info.emissivity = 1;
    return info;
}

void setTimeZone(const char *zone)
{
    qputenv("TZ", zone);
    tzset();
}

// Writing cannot fail for a buffer; a device that refuses bytes stands for a full disk.
class RefusingDevice : public QIODevice
{
protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64) override { return -1; }
};

} // namespace

Q_DECLARE_METATYPE(CurveFileHeader)
Q_DECLARE_METATYPE(CurveInfo)
Q_DECLARE_METATYPE(Sample)

class TestCurveFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void writesExactBytes_data();
    void writesExactBytes();
    void rowTimesUseSixtyFourBitMilliseconds();
    void rowTimesFollowDaylightSavingChange();
    void writerReportsEachWholePercentOnce();
    void writerReportsRefusedBytes();
    void numbersRoundAsQtPrintsThem();
    void savedNameGetsTxtOnlyWithoutSuffix_data();
    void savedNameGetsTxtOnlyWithoutSuffix();

    void roundTripKeepsWrittenPrecision();
    void lfOnlyReadsLikeCrLf();
    void dataLines_data();
    void dataLines();
    void headerQuirks_data();
    void headerQuirks();
    void countZeroStillReadsRowsWithoutProgress();
    void readerReportsWholePercentsUpToHundred();
    void craftedHugeCountReservesOnlyWhatFileHolds();
    void rowsBeyondLimitAreRefused();
    void overlongLineCountsAsEmpty();
    void unsortedRowsAreOrderedByTime();
    void extremesAreTheRealOnes();
    void onlyHeaderAndANumericRowMakeACurve_data();
    void onlyHeaderAndANumericRowMakeACurve();
    void openedFileKeepsWhatItWasRecordedWith_data();
    void openedFileKeepsWhatItWasRecordedWith();
};

void TestCurveFile::initTestCase()
{
    setTimeZone("UTC");
}

void TestCurveFile::cleanup()
{
    setTimeZone("UTC");
}

void TestCurveFile::writesExactBytes_data()
{
    QTest::addColumn<CurveFileHeader>("head");
    QTest::addColumn<Samples>("samples");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray top
        = "Ostrel\xe9\xbb\x91\xe4\xbd\x93\xe6\x8e\xa7\xe5\x88\xb6\xe8\xbd\xaf\xe4\xbb\xb6\r\n"
          "Date:2021-03-04 09:15:02:417\r\n"
          "Emissivity:0.95\r\n";
    const QByteArray celsius = "Unit:2\r\nUnitSymbol:\xe2\x84\x83\r\n";
    const QByteArray columns = "Duration,Temperature,Time\r\n";

    QTest::newRow("100 ms, one decimal") << header(2, 100) << Samples {{0.1, 35.2}, {0.2, 35.3}}
                                         << top + celsius + "DataCounts:2\r\n" + columns
            + "0.1\t35.2\t09:15:02:517\r\n0.2\t35.3\t09:15:02:617\r\n";
    // Each row's time is the start plus its duration as written, whatever the row's number.
    QTest::newRow("1000 ms, no decimal point") << header(2, 1000) << Samples {{5, 20.04}, {6.4, -3.25}}
                                               << top + celsius + "DataCounts:2\r\n" + columns
            + "5\t20.0\t09:15:07:417\r\n6\t-3.3\t09:15:08:417\r\n";
    QTest::newRow("20 ms, two decimals")
        << header(2, 20) << Samples {{0.52, 100}}
        << top + celsius + "DataCounts:1\r\n" + columns + "0.52\t100.0\t09:15:02:937\r\n";
    QTest::newRow("5 ms, one decimal")
        << header(2, 5) << Samples {{0.52, 100}}
        << top + celsius + "DataCounts:1\r\n" + columns + "0.5\t100.0\t09:15:02:917\r\n";
    QTest::newRow("fahrenheit symbol") << header(
        1, 100) << Samples {} << top + "Unit:1\r\nUnitSymbol:\xe2\x84\x89\r\nDataCounts:0\r\n" + columns;
    QTest::newRow("unit 3 has no symbol line")
        << header(3, 100) << Samples {{1, 2}}
        << top + "Unit:3\r\nDataCounts:1\r\n" + columns + "1.0\t2.0\t09:15:03:417\r\n";
    QTest::newRow("count 0 has no data lines")
        << header(2, 100) << Samples {} << top + celsius + "DataCounts:0\r\n" + columns;

    CurveFileHeader one = header(2, 100, utcMs("2021-03-04T23:59:59.950"));
    one.emissivity = 1;
    QTest::newRow("emissivity 1, clock past midnight")
        << one << Samples {{0, 1}, {0.1, 1}}
        << "Ostrel\xe9\xbb\x91\xe4\xbd\x93\xe6\x8e\xa7\xe5\x88\xb6\xe8\xbd\xaf\xe4\xbb\xb6\r\n"
           "Date:2021-03-04 23:59:59:950\r\nEmissivity:1\r\n"
            + celsius + "DataCounts:2\r\n" + columns + "0.0\t1.0\t23:59:59:950\r\n0.1\t1.0\t00:00:00:050\r\n";
}

void TestCurveFile::writesExactBytes()
{
    QFETCH(CurveFileHeader, head);
    QFETCH(Samples, samples);
    QFETCH(QByteArray, expected);
    QCOMPARE(written(head, samples), expected);
}

void TestCurveFile::rowTimesUseSixtyFourBitMilliseconds()
{
    // 250,000 rows 10 s apart reach 2.5e9 ms, past the 32-bit limit after 24.8 days.
    Samples samples;
    for (int i = 0; i < 250'000; ++i)
        samples.append(Sample {i * 10.0, 0});
    const QByteArray bytes = written(header(2, 10'000, utcMs("2021-01-01T00:00:00.000")), samples);
    QVERIFY(bytes.endsWith("\t22:26:30:000\r\n"));
}

void TestCurveFile::rowTimesFollowDaylightSavingChange()
{
    if (!QFile::exists(QStringLiteral("/usr/share/zoneinfo/Europe/Berlin")))
        QSKIP("no time-zone data on this machine");
    setTimeZone("Europe/Berlin");
    // 01:59:59 CET, then clocks jump to 03:00 CEST.
    const QByteArray bytes
        = written(header(2, 1000, utcMs("2021-03-28T00:59:59.000")), Samples {{0, 0}, {1, 0}, {2, 0}});
    QVERIFY(bytes.contains("Date:2021-03-28 01:59:59:000\r\n"));
    QVERIFY(bytes.endsWith("\t01:59:59:000\r\n1\t0.0\t03:00:00:000\r\n2\t0.0\t03:00:01:000\r\n"));
}

void TestCurveFile::writerReportsEachWholePercentOnce()
{
    QVector<int> percents;
    written(header(2, 100), Samples(1000, Sample {1, 1}), &percents);
    QCOMPARE(percents.size(), 101);
    for (int i = 0; i <= 100; ++i)
        QCOMPARE(percents[i], i);
    percents.clear();
    written(header(2, 100), Samples {}, &percents);
    QVERIFY(percents.isEmpty());
}

void TestCurveFile::writerReportsRefusedBytes()
{
    RefusingDevice device;
    device.open(QIODevice::WriteOnly);
    const Samples samples {{1, 1}};
    QVERIFY(
        !writeCurve(&device, header(2, 100), 1, [&samples](qint64) -> const Sample & { return samples[0]; }));
}

void TestCurveFile::numbersRoundAsQtPrintsThem()
{
    // Exact ties (x.25, x.125, x.5) are where rounding rules differ; the rest are ordinary values.
    Samples samples;
    for (int i = -4000; i <= 4000; ++i)
        samples.append(Sample {i / 8.0, i / 4.0 + (i % 3) * 0.01});
    samples.append(Sample {9.5, 99.95});
    samples.append(Sample {-0.5, -0.05});
    samples.append(Sample {123456.875, 1e6 + 0.75});
    samples.append(Sample {-0.0, -0.04});
    samples.append(Sample {-0.001, 3e12 + 0.25});
    auto *rng = QRandomGenerator::global();
    for (int i = 0; i < 20'000; ++i)
        samples.append(Sample {rng->bounded(200'000.0), rng->bounded(4000.0) - 1000});
    for (int interval : {1000, 100, 20}) {
        const QList<QByteArray> lines = written(header(3, interval), samples).split('\n');
        const int decimals = durationDecimals(interval);
        for (int i = 0; i < samples.size(); ++i) {
            const QList<QByteArray> fields = lines[i + 6].split('\t');
            QCOMPARE(fields[0], QString::number(samples[i].key, 'f', decimals).toLatin1());
            QCOMPARE(fields[1], QString::number(samples[i].value, 'f', 1).toLatin1());
        }
    }
}

void TestCurveFile::savedNameGetsTxtOnlyWithoutSuffix_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("saved");
    QTest::newRow("no suffix") << "/data/curve"
                               << "/data/curve.txt";
    QTest::newRow("dot in a folder name") << "/data/run.3/curve"
                                          << "/data/run.3/curve.txt";
    QTest::newRow("trailing dot") << "curve."
                                  << "curve.txt";
    QTest::newRow("other suffix") << "/data/curve.csv"
                                  << "/data/curve.csv";
}

void TestCurveFile::savedNameGetsTxtOnlyWithoutSuffix()
{
    QFETCH(QString, chosen);
    QTEST(curveFileName(chosen), "saved");
}

void TestCurveFile::roundTripKeepsWrittenPrecision()
{
    Samples samples;
    for (int i = 0; i < 500; ++i)
        samples.append(Sample {0.02 * (i + 1) + 0.003, 20 + 0.37 * i});
    CurveFileHeader head = header(1, 20);
    head.emissivity = 0.873f;
    CurveFileContents contents;
    QCOMPARE(read(written(head, samples), &contents), CurveReadResult::Ok);
    QVERIFY(contents.hasUnit);
    QCOMPARE(contents.unit, 1);
    QVERIFY(contents.hasEmissivity);
    QCOMPARE(contents.emissivity, 0.873f);
    QCOMPARE(contents.declaredCount, 500);
    QCOMPARE(contents.samples.size(), 500);
    for (int i = 0; i < samples.size(); ++i) {
        QCOMPARE(contents.samples[i].key, QString::number(samples[i].key, 'f', 2).toDouble());
        QCOMPARE(contents.samples[i].value, QString::number(samples[i].value, 'f', 1).toDouble());
    }
}

void TestCurveFile::lfOnlyReadsLikeCrLf()
{
    const QByteArray crlf = written(header(2, 100), Samples {{0.1, 1.5}, {0.2, 2.5}, {0.3, -7}});
    QByteArray lf = crlf;
    lf.replace("\r\n", "\n");
    CurveFileContents a;
    CurveFileContents b;
    QCOMPARE(read(crlf, &a), CurveReadResult::Ok);
    QCOMPARE(read(lf, &b), CurveReadResult::Ok);
    QCOMPARE(b.samples.size(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(b.samples[i].key, a.samples[i].key);
        QCOMPARE(b.samples[i].value, a.samples[i].value);
    }
    QCOMPARE(b.unit, a.unit);
    QCOMPARE(b.emissivity, a.emissivity);
}

void TestCurveFile::dataLines_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("kept");
    QTest::addColumn<double>("key");
    QTest::addColumn<double>("value");

    QTest::newRow("three fields") << QByteArray("1.5\t20.1\t10:00:00:000") << true << 1.5 << 20.1;
    QTest::newRow("two fields") << QByteArray("2\t3") << true << 2.0 << 3.0;
    QTest::newRow("no tab") << QByteArray("2 3") << false << 0.0 << 0.0;
    QTest::newRow("empty") << QByteArray("") << false << 0.0 << 0.0;
    QTest::newRow("trailing tab is trimmed away") << QByteArray("7\t") << false << 0.0 << 0.0;
    QTest::newRow("leading tab is trimmed away") << QByteArray("\t5\t6") << true << 5.0 << 6.0;
    QTest::newRow("empty first field") << QByteArray("x\t\t4") << true << 0.0 << 0.0;
    QTest::newRow("words") << QByteArray("abc\tdef") << true << 0.0 << 0.0;
    QTest::newRow("blanks around numbers") << QByteArray(" 1.25 \t -4 ") << true << 1.25 << -4.0;
    QTest::newRow("plus sign and exponent") << QByteArray("+3\t1e2") << true << 3.0 << 100.0;
    QTest::newRow("double sign") << QByteArray("+-3\t1") << true << 0.0 << 1.0;
    QTest::newRow("decimal comma") << QByteArray("1,5\t2") << true << 0.0 << 2.0;
    QTest::newRow("not finite") << QByteArray("nan\tinf") << true << 0.0 << 0.0;
    QTest::newRow("overflow") << QByteArray("1e999\t5") << true << 0.0 << 5.0;
    QTest::newRow("trailing junk") << QByteArray("4x\t5") << true << 0.0 << 5.0;
    QTest::newRow("nul byte") << QByteArray("4\0\t5", 4) << true << 0.0 << 5.0;
}

void TestCurveFile::dataLines()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, kept);
    QFETCH(double, key);
    QFETCH(double, value);
    CurveFileContents contents;
    QVector<int> percents;
    const QByteArray file = "name\nDataCounts:1\ncolumns\n" + line + "\n";
    QCOMPARE(read(file, &contents, &percents), CurveReadResult::Ok);
    // Used or not, the line counts towards progress.
    QCOMPARE(percents, QVector<int> {100});
    QCOMPARE(contents.samples.size(), kept ? 1 : 0);
    if (kept) {
        QCOMPARE(contents.samples[0].key, key);
        QCOMPARE(contents.samples[0].value, value);
    }
}

void TestCurveFile::headerQuirks_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("hasUnit");
    QTest::addColumn<int>("unit");
    QTest::addColumn<bool>("hasEmissivity");
    QTest::addColumn<float>("emissivity");
    QTest::addColumn<int>("rows");

    QTest::newRow("unit with a space before the colon is not recognised")
        << QByteArray("n\nUnit :1\nDataCounts:1\nc\n1\t2\n") << false << 0 << false << 0.0f << 1;
    QTest::newRow("first line is skipped whatever it holds")
        << QByteArray("DataCounts:1\nc\n1\t2\n") << false << 0 << false << 0.0f << 0;
    QTest::newRow("missing emissivity and date")
        << QByteArray("n\nUnit:2\nDataCounts:1\nc\n1\t2\n") << true << 2 << false << 0.0f << 1;
    QTest::newRow("header values that are no number are 0")
        << QByteArray("n\nUnit:x\nEmissivity:y\nDataCounts:z\nc\n1\t2\n") << true << 0 << true << 0.0f << 1;
    QTest::newRow("blanks around header lines")
        << QByteArray("n\n  Emissivity:0.5 \r\nUnit: 1\nDataCounts: 1\nc\n1\t2\n") << true << 1 << true
        << 0.5f << 1;
    QTest::newRow("no count line: the header eats the file")
        << QByteArray("n\nUnit:1\n1\t2\n3\t4\n") << true << 1 << false << 0.0f << 0;
    QTest::newRow("lines with more colons are ignored")
        << QByteArray("n\nUnit:1:2\nDataCounts:1\nc\n1\t2\n") << false << 0 << false << 0.0f << 1;
    QTest::newRow("empty file") << QByteArray() << false << 0 << false << 0.0f << 0;
    QTest::newRow("binary noise") << QByteArray("\xff\xfe\0\x01:\x80\n\x00\x00\t\t\n", 12) << false << 0
                                  << false << 0.0f << 0;
}

void TestCurveFile::headerQuirks()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, hasUnit);
    QFETCH(int, unit);
    QFETCH(bool, hasEmissivity);
    QFETCH(float, emissivity);
    QFETCH(int, rows);
    CurveFileContents contents;
    QCOMPARE(read(file, &contents), CurveReadResult::Ok);
    QCOMPARE(contents.hasUnit, hasUnit);
    QCOMPARE(contents.unit, unit);
    QCOMPARE(contents.hasEmissivity, hasEmissivity);
    QCOMPARE(contents.emissivity, emissivity);
    QCOMPARE(contents.samples.size(), rows);
}

void TestCurveFile::countZeroStillReadsRowsWithoutProgress()
{
    CurveFileContents contents;
    QVector<int> percents;
    QCOMPARE(read("n\nDataCounts:0\nc\n1\t2\n3\t4\n", &contents, &percents), CurveReadResult::Ok);
    QCOMPARE(contents.samples.size(), 2);
    QVERIFY(percents.isEmpty());
}

void TestCurveFile::readerReportsWholePercentsUpToHundred()
{
    QVector<int> percents;
    CurveFileContents contents;
    read(written(header(2, 100), Samples(400, Sample {1, 1})), &contents, &percents);
    QCOMPARE(percents.size(), 101);
    QCOMPARE(percents.first(), 0);
    QCOMPARE(percents.last(), 100);
    // More rows than declared never report past 100.
    percents.clear();
    read("n\nDataCounts:1\nc\n1\t2\n3\t4\n5\t6\n", &contents, &percents);
    QCOMPARE(percents, QVector<int> {100});
}

void TestCurveFile::craftedHugeCountReservesOnlyWhatFileHolds()
{
    const QByteArray file = "n\nDataCounts:2000000000\nc\n1\t2\n3\t4\n";
    CurveFileContents contents;
    QCOMPARE(read(file, &contents), CurveReadResult::Ok);
    QCOMPARE(contents.declaredCount, 2000000000);
    QCOMPARE(contents.samples.size(), 2);
    QVERIFY(contents.samples.capacity() <= file.size());
}

void TestCurveFile::rowsBeyondLimitAreRefused()
{
    CurveFileContents contents;
    QCOMPARE(read("n\nDataCounts:5\nc\n1\t1\n2\t2\n3\t3\n4\t4\n", &contents, nullptr, 3),
        CurveReadResult::TooLarge);
    QCOMPARE(read("n\nDataCounts:5\nc\n1\t1\n2\t2\n3\t3\n", &contents, nullptr, 3), CurveReadResult::Ok);
}

void TestCurveFile::overlongLineCountsAsEmpty()
{
    const QByteArray longLine(200'000, '7');
    CurveFileContents contents;
    QVector<int> percents;
    QCOMPARE(read("n\nDataCounts:3\nc\n1\t1\n" + longLine + "\t5\n2\t2\n", &contents, &percents),
        CurveReadResult::Ok);
    QCOMPARE(contents.samples.size(), 2);
    QCOMPARE(contents.samples[1].key, 2.0);
    QCOMPARE(percents.last(), 100);
}

void TestCurveFile::unsortedRowsAreOrderedByTime()
{
    CurveFileContents contents;
    read("n\nDataCounts:4\nc\n3\t30\n1\t10\n2\t20\n1\t11\n", &contents);
    QCOMPARE(contents.samples.size(), 4);
    const double keys[] = {1, 1, 2, 3};
    const double values[] = {10, 11, 20, 30};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(contents.samples[i].key, keys[i]);
        QCOMPARE(contents.samples[i].value, values[i]);
    }
}

void TestCurveFile::extremesAreTheRealOnes()
{
    CurveFileContents contents;
    read("n\nDataCounts:2\nc\n1\t-1500\n2\t-1200\n", &contents);
    QCOMPARE(contents.lowest, -1500.0);
    QCOMPARE(contents.highest, -1200.0);
}

void TestCurveFile::onlyHeaderAndANumericRowMakeACurve_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("curve");

    const QByteArray own = written(header(2, 100), Samples {{0.1, 20}, {0.2, 21}});
    QByteArray noise(64 << 10, Qt::Uninitialized);
    QRandomGenerator random(7);
    random.fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);

    QTest::newRow("written by the program") << own << true;
    QTest::newRow("one row of numbers among others")
        << QByteArray("n\nDataCounts:3\nc\nabc\tdef\n1\t2\nx\n") << true;
    QTest::newRow("saved empty curve") << written(header(2, 100), Samples {}) << false;
    QTest::newRow("no count line") << QByteArray("n\nUnit:1\n1\t2\n3\t4\n") << false;
    QTest::newRow("no column line") << QByteArray("n\nDataCounts:1\n") << false;
    QTest::newRow("temperature no number") << QByteArray("n\nDataCounts:1\nc\n1\tx\n") << false;
    QTest::newRow("random bytes") << noise << false;
}

void TestCurveFile::onlyHeaderAndANumericRowMakeACurve()
{
    QFETCH(QByteArray, file);
    CurveFileContents contents;
    QCOMPARE(read(file, &contents), CurveReadResult::Ok);
    QTEST(contents.isCurve(), "curve");
}

void TestCurveFile::openedFileKeepsWhatItWasRecordedWith_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<CurveInfo>("expected");

    const CurveInfo fallback = chartFallback();
    const auto with = [&fallback](int intervalMs) {
        CurveInfo info = fallback;
        info.intervalMs = intervalMs;
        return info;
    };

    CurveInfo own;
    own.startMsecs = utcMs("2021-03-04T09:15:02.417");
    own.intervalMs = 20;
    own.unit = 1;
    own.emissivity = 0.95f;
    Samples ticks;
    for (int i = 1; i <= 50; ++i)
        ticks.append(Sample {0.02 * i + 0.003 * (i % 3), 70});
    QTest::newRow("written by the program") << written(header(1, 20), ticks) << own;
    QTest::newRow("date that is none")
        << QByteArray("n\nDate:yesterday\nDataCounts:2\nc\n0\t1\n0.2\t1\n") << with(200);
    QTest::newRow("ticks a millisecond or two off")
        << QByteArray("n\nDataCounts:6\nc\n0.010\t1\n0.021\t1\n0.030\t1\n0.042\t1\n0.050\t1\n0.061\t1\n")
        << with(10);
    QTest::newRow("gaps without readings")
        << QByteArray("n\nDataCounts:6\nc\n0.1\t1\n0.2\t1\n30.2\t1\n30.3\t1\n30.4\t1\n90\t1\n") << with(100);
    QTest::newRow("one row shows no interval") << QByteArray("n\nDataCounts:1\nc\n7\t1\n") << fallback;
}

void TestCurveFile::openedFileKeepsWhatItWasRecordedWith()
{
    QFETCH(QByteArray, file);
    QFETCH(CurveInfo, expected);
    CurveFileContents contents;
    QCOMPARE(read(file, &contents), CurveReadResult::Ok);
    const CurveInfo info = CurveInfo::fromFile(contents, chartFallback());
    QCOMPARE(info.startMsecs, expected.startMsecs);
    QCOMPARE(info.intervalMs, expected.intervalMs);
    QCOMPARE(info.unit, expected.unit);
    QCOMPARE(info.emissivity, expected.emissivity);
}

QTEST_GUILESS_MAIN(TestCurveFile)
#include "tst_curvefile.moc"
