#include "telemetry/eventoutbox.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

namespace {

// Plays `script` on an outbox in `folder`: "E" appends the next event, "R" the next drop report, "A3"
// marks 3 acknowledged, "X3" drops 3 by the bound.
void play(EventOutbox &outbox, const QString &script)
{
    for (const QString &step : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const char kind = step.at(0).toLatin1();
        if (kind == 'E' || kind == 'R') {
            const quint64 seq = outbox.nextSeq();
            QVERIFY(outbox.append({seq, "{\"seq\":" + QByteArray::number(seq) + "}", kind == 'R'}));
        } else {
            const quint64 seq = step.mid(1).toULongLong();
            QVERIFY(kind == 'A' ? outbox.markDone(seq) : outbox.markDropped(seq));
        }
    }
}

QString seqs(const std::deque<EventOutbox::Event> &events)
{
    QStringList out;
    for (const auto &e : events)
        out << QString::number(e.seq);
    return out.join(QLatin1Char(' '));
}

QString filePath(const QTemporaryDir &dir)
{
    return dir.filePath(QLatin1String(EventOutbox::kFileName));
}

} // namespace

class TstEventOutbox : public QObject
{
    Q_OBJECT
private slots:
    void reopenedOutboxGivesBackWhatTheBrokerHasNot_data();
    void reopenedOutboxGivesBackWhatTheBrokerHasNot();
    void compactionKeepsTheWaitingEventsTheSeqAndTheInstance();
    void secondOpenOfOneFolderKeepsEventsInMemoryUnderItsOwnInstance();
};

void TstEventOutbox::reopenedOutboxGivesBackWhatTheBrokerHasNot_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QByteArray>("tail"); // bytes a crash left after the last whole record
    QTest::addColumn<int>("damagedLine"); // a byte of this line changed; -1 none
    QTest::addColumn<QString>("pending");
    QTest::addColumn<quint64>("lastSeq");
    QTest::addColumn<quint64>("dropped");
    QTest::addColumn<bool>("setAside");

    QTest::newRow("new") << "" << QByteArray() << -1 << "" << quint64(0) << quint64(0) << false;
    QTest::newRow("acknowledged out of order")
        << "E E E A3 A1" << QByteArray() << -1 << "2" << quint64(3) << quint64(0) << false;
    QTest::newRow("all done: seq goes on")
        << "E E A1 A2" << QByteArray() << -1 << "" << quint64(2) << quint64(0) << false;
    QTest::newRow("bound drops from the file")
        << "E E E X1 X2" << QByteArray() << -1 << "3" << quint64(3) << quint64(2) << false;
    QTest::newRow("drop report settles the drops before it")
        << "E E X1 R X2" << QByteArray() << -1 << "3" << quint64(3) << quint64(1) << false;
    QTest::newRow("torn tail ignored") << "E E" << QByteArray("0123456789abcdef E 3 {\"se") << -1 << "1 2"
                                       << quint64(2) << quint64(0) << false;
    QTest::newRow("zeroed tail of a power cut")
        << "E E" << QByteArray(40, '\0') << -1 << "1 2" << quint64(2) << quint64(0) << false;
    QTest::newRow("last whole record damaged: torn")
        << "E E E" << QByteArray() << 3 << "1 2" << quint64(2) << quint64(0) << false;
    QTest::newRow("record damaged before others: set aside")
        << "E E E" << QByteArray() << 2 << "" << quint64(0) << quint64(0) << true;
    QTest::newRow("header damaged: set aside")
        << "E" << QByteArray() << 0 << "" << quint64(0) << quint64(0) << true;
    QTest::newRow("no outbox at all: set aside")
        << "" << QByteArray("<config/>\n") << -2 << "" << quint64(0) << quint64(0) << true;
}

void TstEventOutbox::reopenedOutboxGivesBackWhatTheBrokerHasNot()
{
    QFETCH(QString, script);
    QFETCH(QByteArray, tail);
    QFETCH(int, damagedLine);
    QFETCH(QString, pending);
    QFETCH(quint64, lastSeq);
    QFETCH(quint64, dropped);
    QFETCH(bool, setAside);

    QTemporaryDir dir;
    QString firstInstance;
    {
        EventOutbox outbox;
        QVERIFY(outbox.open(dir.path()));
        QVERIFY(outbox.message().isEmpty());
        play(outbox, script);
        firstInstance = outbox.instance();
    }
    QFile file(filePath(dir));
    QVERIFY(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    if (damagedLine == -2) {
        bytes = tail; // something else entirely under the outbox's name
    } else {
        if (damagedLine >= 0) {
            int at = 0;
            for (int i = 0; i < damagedLine; ++i)
                at = bytes.indexOf('\n', at) + 1;
            bytes[at + 20] = bytes.at(at + 20) ^ 0x01;
        }
        bytes += tail;
    }
    file.resize(0);
    file.write(bytes);
    file.close();

    std::optional<EventOutbox> outbox;
    outbox.emplace();
    QVERIFY(outbox->open(dir.path()));
    QCOMPARE(seqs(outbox->takePending()), pending);
    QCOMPARE(outbox->lastSeq(), lastSeq);
    QCOMPARE(outbox->droppedUnreported(), dropped);
    const QStringList aside = QDir(dir.path()).entryList({"mqtt-outbox.damaged-*"});
    QCOMPARE(aside.size(), setAside ? 1 : 0);
    // Set aside, the file's seqs may have reached subscribers: a new instance numbers from 1 again.
    QCOMPARE(outbox->instance() != firstInstance, setAside);
    QCOMPARE(outbox->message().contains(aside.value(0, "-")), setAside);

    // Whatever came before, the next record is whole and read back.
    const quint64 next = outbox->nextSeq();
    QVERIFY(outbox->append({next, "{}", false}));
    const QString instance = outbox->instance();
    outbox.emplace();
    QVERIFY(outbox->open(dir.path()));
    QVERIFY(outbox->message().isEmpty());
    QCOMPARE(outbox->instance(), instance);
    QCOMPARE(seqs(outbox->takePending()).split(' ').last(), QString::number(next));
}

void TstEventOutbox::compactionKeepsTheWaitingEventsTheSeqAndTheInstance()
{
    QTemporaryDir dir;
    std::optional<EventOutbox> box;
    box.emplace();
    EventOutbox &outbox = *box;
    QVERIFY(outbox.open(dir.path()));
    // Enough acknowledged records to pass the threshold, then one that waits.
    const QByteArray payload(200, 'x');
    while (!outbox.wantsCompaction(0)) {
        const quint64 seq = outbox.nextSeq();
        QVERIFY(outbox.append({seq, payload, false}));
        QVERIFY(outbox.markDone(seq));
    }
    QVERIFY(outbox.wantsCompaction(0));
    QVERIFY(!outbox.wantsCompaction(1)); // not while an event waits and the file is small
    const EventOutbox::Event waiting {outbox.nextSeq(), "{\"waits\":1}", false};
    QVERIFY(outbox.append(waiting));
    QVERIFY(outbox.compact({waiting}));
    QVERIFY(QFileInfo(filePath(dir)).size() < 200);
    QCOMPARE(outbox.durableSeq(), waiting.seq);
    const QString instance = outbox.instance();
    QVERIFY(outbox.markDone(waiting.seq));
    box.emplace();

    QVERIFY(box->open(dir.path()));
    QCOMPARE(box->instance(), instance);
    QCOMPARE(box->lastSeq(), waiting.seq);
    QVERIFY(box->takePending().empty());
}

void TstEventOutbox::secondOpenOfOneFolderKeepsEventsInMemoryUnderItsOwnInstance()
{
    QTemporaryDir dir;
    EventOutbox first;
    QVERIFY(first.open(dir.path()));
    play(first, "E E");
    EventOutbox second;
    QVERIFY(!second.open(dir.path()));
    QVERIFY2(second.message().contains(filePath(dir)), qPrintable(second.message()));
    QVERIFY(second.instance() != first.instance());
    QCOMPARE(second.nextSeq(), quint64(1));
    QVERIFY(second.takePending().empty());
}

QTEST_GUILESS_MAIN(TstEventOutbox)
#include "tst_eventoutbox.moc"
