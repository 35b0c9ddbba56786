#include "recording/csvexport.h"

#include <QBuffer>
#include <QDateTime>
#include <QtTest>

Q_DECLARE_METATYPE(Sample)

namespace {

using Samples = QVector<Sample>;

const QByteArray kHead = "\xEF\xBB\xBFTime,Elapsed (s),Temperature,Unit\r\n";

qint64 msecs(const char *localTime, const QTimeZone &zone)
{
    QDateTime dt = QDateTime::fromString(QString::fromLatin1(localTime), Qt::ISODateWithMs);
    dt.setTimeZone(zone);
    return dt.toMSecsSinceEpoch();
}

} // namespace

class TestCsvExport : public QObject
{
    Q_OBJECT

private slots:
    void rowsAreStampedInTheZonesLocalTime_data();
    void rowsAreStampedInTheZonesLocalTime();
};

void TestCsvExport::rowsAreStampedInTheZonesLocalTime_data()
{
    QTest::addColumn<QByteArray>("zoneId"); // empty: the fixed offset
    QTest::addColumn<int>("offsetSeconds");
    QTest::addColumn<QString>("start"); // local time in that zone
    QTest::addColumn<int>("unit");
    QTest::addColumn<Samples>("samples");
    QTest::addColumn<QByteArray>("rows");

    // A reading arrives in single precision: 36.6f is printed as 36.6, a double as the double it is.
    QTest::newRow("celsius at +08:00")
        << QByteArray() << 8 * 3600 << "2026-12-08T09:15:02.417" << 2
        << Samples {{0.1, double(36.6f)}, {0.2, 36.65}, {1.5, 100}}
        << QByteArray("2026-12-08T09:15:02.517+08:00,0.1,36.6,\xE2\x84\x83\r\n"
                      "2026-12-08T09:15:02.617+08:00,0.2,36.65,\xE2\x84\x83\r\n"
                      "2026-12-08T09:15:03.917+08:00,1.5,100,\xE2\x84\x83\r\n");
    // The date is made once per day: it has to move on at each local midnight, leap day included.
    QTest::newRow("fahrenheit past midnight at -05:00")
        << QByteArray() << -5 * 3600 << "2024-02-28T23:59:59.900" << 1
        << Samples {{0.05, -40.25}, {0.1, 451}, {86400.1, 451.5}}
        << QByteArray("2024-02-28T23:59:59.950-05:00,0.05,-40.25,\xE2\x84\x89\r\n"
                      "2024-02-29T00:00:00.000-05:00,0.1,451,\xE2\x84\x89\r\n"
                      "2024-03-01T00:00:00.000-05:00,86400.1,451.5,\xE2\x84\x89\r\n");
    // So is the offset: it has to change where the zone's clocks do.
    QTest::newRow("summer time begins")
        << QByteArray("Europe/Berlin") << 0 << "2026-03-29T01:59:59.000" << 2
        << Samples {{0.5, 20}, {1.5, 20.5}}
        << QByteArray("2026-03-29T01:59:59.500+01:00,0.5,20,\xE2\x84\x83\r\n"
                      "2026-03-29T03:00:00.500+02:00,1.5,20.5,\xE2\x84\x83\r\n");
    QTest::newRow("other unit code") << QByteArray() << 0 << "2026-01-01T00:00:00.000" << 3
                                     << Samples {{0, 7}}
                                     << QByteArray("2026-01-01T00:00:00.000+00:00,0,7,\r\n");
}

void TestCsvExport::rowsAreStampedInTheZonesLocalTime()
{
    QFETCH(QByteArray, zoneId);
    QFETCH(int, offsetSeconds);
    QFETCH(QString, start);
    QFETCH(int, unit);
    QFETCH(Samples, samples);
    QFETCH(QByteArray, rows);
    const QTimeZone zone = zoneId.isEmpty() ? QTimeZone(offsetSeconds) : QTimeZone(zoneId);
    if (!zone.isValid())
        QSKIP("this system has no time zone data");

    CsvExportHeader header;
    header.zone = zone;
    header.startMsecs = msecs(start.toLatin1().constData(), zone);
    header.unit = unit;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(writeCsv(
        &buffer, header, samples.size(), [&samples](qint64 i) -> const Sample & { return samples[int(i)]; }));
    QCOMPARE(bytes, kHead + rows);
}

QTEST_GUILESS_MAIN(TestCsvExport)
#include "tst_csvexport.moc"
