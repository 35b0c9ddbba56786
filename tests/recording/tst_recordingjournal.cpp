#include "recording/curverecorder.h"
#include "recording/journalwriter.h"
#include "recording/recordingjournal.h"
#include "recording/samplestore.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

using Status = RecordingJournal::Status;

Q_DECLARE_METATYPE(RecordingJournal::Status)

namespace {

RecordingJournal::Header header()
{
    RecordingJournal::Header h;
    h.info.startMsecs = 1'765'000'000'123;
    h.info.intervalMs = 10;
    h.info.unit = 1;
    h.info.emissivity = 0.95f;
    h.model = QStringLiteral("VBM100");
    return h;
}

QVector<Sample> samples(int from, int count)
{
    QVector<Sample> out;
    for (int i = from; i < from + count; ++i)
        out.append({i * 0.01, 20 + i * 0.5});
    return out;
}

QByteArray batch(int from, int count)
{
    const QVector<Sample> s = samples(from, count);
    return RecordingJournal::batchBytes(s.constData(), s.size());
}

// Two batches of 3 and 2 samples after the header.
QByteArray whole()
{
    return RecordingJournal::headerBytes(header()) + batch(0, 3) + batch(3, 2);
}

} // namespace

class TestRecordingJournal : public QObject
{
    Q_OBJECT

private slots:
    void readBackTakesOnlyWholeBatches_data();
    void readBackTakesOnlyWholeBatches();
    void writerKeepsWhatItIsHandedAndSyncsAtMostOnceASecond();
    void recordingKeepsItsJournalUntilSavedOrDropped_data();
    void recordingKeepsItsJournalUntilSavedOrDropped();
    void adoptedJournalIsTheUnsavedCurve();
    void recordingGoesOnSayingSoWithoutAJournal();
};

void TestRecordingJournal::readBackTakesOnlyWholeBatches_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Status>("status");
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("torn");

    const QByteArray head = RecordingJournal::headerBytes(header());
    const QByteArray all = whole();
    QByteArray newer = all;
    qToLittleEndian<quint32>(RecordingJournal::kFormat + 1, newer.data() + 8);
    QByteArray badHeader = all;
    badHeader[20] = char(badHeader[20] ^ 0x20);
    QByteArray flipped = all;
    flipped[all.size() - 6] = char(flipped[all.size() - 6] ^ 1);

    QTest::newRow("whole") << all << Status::Ok << 5 << false;
    QTest::newRow("cut inside a sample") << all.left(all.size() - 12) << Status::Ok << 3 << true;
    QTest::newRow("a flipped bit in the last batch") << flipped << Status::Ok << 3 << true;
    QTest::newRow("zeros after a power loss") << all + QByteArray(40, '\0') << Status::Ok << 5 << true;
    QTest::newRow("no bytes") << QByteArray() << Status::Empty << 0 << false;
    QTest::newRow("header without samples") << head << Status::Empty << 0 << false;
    QTest::newRow("header and a torn first batch")
        << head + batch(0, 3).left(20) << Status::Empty << 0 << true;
    QTest::newRow("garbage") << QByteArray("step,outcome\r\n1,done\r\n") << Status::Unreadable << 0 << false;
    QTest::newRow("damaged header") << badHeader << Status::Unreadable << 0 << false;
    QTest::newRow("newer format") << newer << Status::Newer << 0 << false;
}

void TestRecordingJournal::readBackTakesOnlyWholeBatches()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Status, status);
    QFETCH(int, points);
    QFETCH(bool, torn);

    const RecordingJournal::Contents read = RecordingJournal::read(bytes);
    QCOMPARE(read.status, status);
    QCOMPARE(read.samples.size(), points);
    QCOMPARE(read.tornTail, torn);
    const QVector<Sample> expected = samples(0, points);
    for (int i = 0; i < points; ++i) {
        QCOMPARE(read.samples[i].key, expected[i].key);
        QCOMPARE(read.samples[i].value, expected[i].value);
    }
    if (status == Status::Ok)
        QVERIFY(read.header == header());
    // What cannot be read says why; the rest says nothing.
    QCOMPARE(read.error.isEmpty(), status == Status::Ok || status == Status::Empty);
}

void TestRecordingJournal::writerKeepsWhatItIsHandedAndSyncsAtMostOnceASecond()
{
    QTemporaryDir dir;
    QElapsedTimer clock;
    clock.start();
    JournalWriter writer;
    QString error;
    QVERIFY2(writer.create(dir.filePath(QStringLiteral("made")), header(), &error), qPrintable(error));
    QVERIFY(RecordingJournal::inUse(writer.path()));
    // Hand-overs as the drain timer makes them, far more often than once a second.
    for (int i = 0; i < 40; ++i)
        writer.append(samples(i * 3, 3));
    QTRY_VERIFY_WITH_TIMEOUT(writer.stats().writes >= 2, 5000);
    writer.finish();
    const JournalWriter::Stats stats = writer.stats();
    // The header's sync, at most one for each second since, and the last at finish().
    QVERIFY2(stats.syncs <= 2 + clock.elapsed() / 1000, qPrintable(QString::number(stats.syncs)));
    const RecordingJournal::Contents read = RecordingJournal::readFile(writer.path());
    QCOMPARE(read.status, Status::Ok);
    QCOMPARE(read.samples.size(), 120);
    QCOMPARE(read.validBytes, QFileInfo(writer.path()).size());
    QCOMPARE(stats.bytes, read.validBytes);
    const QString path = writer.path();
    QVERIFY(writer.remove());
    QVERIFY(!QFile::exists(path));
}

void TestRecordingJournal::recordingKeepsItsJournalUntilSavedOrDropped_data()
{
    QTest::addColumn<QString>("then");
    QTest::addColumn<bool>("kept");
    QTest::newRow("stopped, unsaved") << "nothing" << true;
    QTest::newRow("saved") << "save" << false;
    QTest::newRow("dropped") << "drop" << false;
    QTest::newRow("a new recording started") << "start" << false;
}

void TestRecordingJournal::recordingKeepsItsJournalUntilSavedOrDropped()
{
    QFETCH(QString, then);
    QFETCH(bool, kept);
    QTemporaryDir dir;
    QString journal;
    {
        CurveRecorder r;
        r.setJournalFolder(dir.path());
        r.setSampleInterval(10);
        r.setReading(30.5);
        r.start();
        journal = r.journalPath();
        QVERIFY(QFile::exists(journal));
        QTRY_VERIFY_WITH_TIMEOUT(r.curve()->size() >= 5, 5000);
        r.stop();
        // A stopped curve is whole in its journal at once.
        QCOMPARE(RecordingJournal::readFile(journal).samples.size(), r.curve()->size());
        if (then == QLatin1String("save"))
            QVERIFY(r.save(dir.filePath(QStringLiteral("curve.txt")), QStringLiteral("test")));
        else if (then == QLatin1String("drop"))
            r.drop();
        else if (then == QLatin1String("start"))
            r.start();
    }
    QCOMPARE(QFile::exists(journal), kept);
    // Only the unsaved one is offered; the new recording's own journal is another file, held until now.
    const QVector<RecordingJournal::Found> found = RecordingJournal::pending(dir.path());
    QCOMPARE(found.size(), then == QLatin1String("start") ? 1 : int(kept));
    if (kept) {
        QCOMPARE(found[0].path, journal);
        QCOMPARE(found[0].status, Status::Ok);
        QVERIFY(found[0].points >= 5);
    }
}

void TestRecordingJournal::adoptedJournalIsTheUnsavedCurve()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(RecordingJournal::fileName(header().info.startMsecs, 1));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(whole());
    file.close();

    CurveRecorder r;
    QSignalSpy adopted(&r, &CurveRecorder::adopted);
    QString error;
    QVERIFY2(r.adopt(path, &error), qPrintable(error));
    QCOMPARE(adopted.count(), 1);
    QVERIFY(r.hasUnsavedCurve());
    QCOMPARE(r.curve()->size(), 5);
    QVERIFY(r.info() == header().info);
    QCOMPARE(r.curveModel(), header().model);
    // Held: another instance neither offers nor takes it.
    QVERIFY(RecordingJournal::pending(dir.path()).isEmpty());
    CurveRecorder other;
    QVERIFY(!other.adopt(path, &error));
    r.drop();
    QVERIFY(!QFile::exists(path));
}

void TestRecordingJournal::recordingGoesOnSayingSoWithoutAJournal()
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("file")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    CurveRecorder r;
    // A folder that cannot be made: a file stands where it would be.
    r.setJournalFolder(blocker.fileName() + QStringLiteral("/recordings"));
    QSignalSpy failed(&r, &CurveRecorder::journalFailed);
    r.setSampleInterval(10);
    r.setReading(30.5);
    r.start();
    QCOMPARE(failed.count(), 1);
    QVERIFY(!failed.at(0).at(0).toString().isEmpty());
    QVERIFY(r.journalPath().isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(r.curve()->size() >= 2, 5000);
    r.stop();
}

QTEST_GUILESS_MAIN(TestRecordingJournal)

#include "tst_recordingjournal.moc"
