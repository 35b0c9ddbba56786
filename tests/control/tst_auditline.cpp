#include "control/auditline.h"

#include <QCryptographicHash>
#include <QTest>

namespace {

// Three lines chained from the start, as a trail writes them.
QList<QByteArray> chain(int count)
{
    QList<QByteArray> lines;
    QByteArray head = AuditLine::kGenesis;
    for (int i = 0; i < count; ++i) {
        AuditLine line = AuditLine::after(i, head);
        line.utc = QDateTime(QDate(2026, 12, 10), QTime(5, 30, i, 7), Qt::UTC);
        line.osUser = QStringLiteral("lab");
        line.operatorName = QStringLiteral("张三");
        line.act = QStringLiteral("setPoint");
        line.details = {{QStringLiteral("celsius"), QString::number(100 + i)},
            {QStringLiteral("requester"), QStringLiteral("window")}};
        head = line.hash();
        QByteArray bytes = line.bytes();
        bytes.chop(1);
        lines << bytes;
    }
    return lines;
}

} // namespace

// The line's bytes are fixed, and any change to a line, or to their order, is caught at its line.
class TestAuditLine : public QObject
{
    Q_OBJECT

private slots:
    void lineIsWrittenByteForByte();
    void chainIsCheckedLineByLine_data();
    void chainIsCheckedLineByLine();
};

void TestAuditLine::lineIsWrittenByteForByte()
{
    AuditLine line;
    line.seq = 1;
    line.utc = QDateTime(QDate(2026, 12, 10), QTime(5, 30, 0, 7), Qt::UTC);
    line.osUser = QStringLiteral("lab");
    line.operatorName = QStringLiteral("Li \"Q\"\n");
    line.act = QStringLiteral("settingChanged");
    line.details = {{QStringLiteral("old"), QStringLiteral("a\\b")},
        {QStringLiteral("key"), QStringLiteral("x")}, {QStringLiteral("new"), QStringLiteral("\x01")}};
    const QByteArray body
        = QByteArrayLiteral("{\"seq\":1,\"utc\":\"2026-12-10T05:30:00.007Z\",\"osUser\":\"lab\","
                            "\"operator\":\"Li \\\"Q\\\"\\n\",\"act\":\"settingChanged\","
                            "\"details\":{\"key\":\"x\",\"new\":\"\\u0001\",\"old\":\"a\\\\b\"},"
                            "\"prev\":\"")
        + AuditLine::kGenesis + "\"}";
    QCOMPARE(line.body(), body);
    const QByteArray hash
        = QCryptographicHash::hash(AuditLine::kGenesis + body, QCryptographicHash::Sha256).toHex();
    QCOMPARE(line.bytes(), body.left(body.size() - 1) + ",\"hash\":\"" + hash + "\"}\n");
    AuditLine back;
    QString reason;
    QVERIFY2(AuditCheck::parse(line.bytes().chopped(1), &back, &reason), qPrintable(reason));
    QCOMPARE(back.operatorName, line.operatorName);
}

void TestAuditLine::chainIsCheckedLineByLine_data()
{
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<int>("badLine");
    QTest::addColumn<QString>("why"); // words the reason must hold: an auditor reads it

    const QList<QByteArray> whole = chain(4);
    QList<QByteArray> edited = whole;
    edited[1].replace("\"101\"", "\"111\"");
    QList<QByteArray> removed = whole;
    removed.removeAt(1);
    QList<QByteArray> reordered = whole;
    reordered.swapItemsAt(1, 2);
    // The edited line's own hash written anew: the next line still names the old one.
    QList<QByteArray> rehashed = whole;
    {
        AuditLine line;
        QString reason;
        AuditCheck::parse(whole.at(1), &line, &reason);
        line.details.insert(QStringLiteral("celsius"), QStringLiteral("111"));
        rehashed[1] = line.bytes().chopped(1);
    }
    QList<QByteArray> spaced = whole;
    spaced[2].replace("\"seq\":3,", "\"seq\": 3,");
    QList<QByteArray> noHash = whole;
    noHash[3].chop(70);

    QTest::newRow("whole") << whole << 0 << QString();
    QTest::newRow("none") << QList<QByteArray>() << 0 << QString();
    QTest::newRow("edited") << edited << 2 << QStringLiteral("hash does not match");
    QTest::newRow("removed") << removed << 2 << QStringLiteral("prev");
    QTest::newRow("reordered") << reordered << 2 << QStringLiteral("prev");
    QTest::newRow("one line rehashed") << rehashed << 3 << QStringLiteral("prev");
    QTest::newRow("respaced") << spaced << 3 << QStringLiteral("format");
    QTest::newRow("hash cut off") << noHash << 4 << QStringLiteral("no hash");
    QTest::newRow("first line missing") << whole.mid(1) << 1 << QStringLiteral("prev");
}

void TestAuditLine::chainIsCheckedLineByLine()
{
    QFETCH(QList<QByteArray>, lines);
    QFETCH(int, badLine);
    QFETCH(QString, why);
    const AuditCheck check = AuditCheck::of(lines);
    QCOMPARE(check.badLine, badLine);
    QCOMPARE(check.ok, badLine == 0);
    if (check.ok) {
        QCOMPARE(check.lines, lines.size());
        QCOMPARE(check.head, lines.isEmpty() ? AuditLine::kGenesis : lines.last().right(66).left(64));
    } else {
        QVERIFY2(check.reason.contains(why), qPrintable(check.reason));
    }
}

QTEST_GUILESS_MAIN(TestAuditLine)
#include "tst_auditline.moc"
