#include "control/auditline.h"
#include "files/audittrail.h"
#include "hookedchild.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The file's lines without their line ends; a last line without one is kept as it is.
QList<QByteArray> linesOf(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

AuditTrail trailIn(const QString &folder)
{
    return AuditTrail(AuditTrail::filePath(folder), folder + QStringLiteral("/certificate-counter"));
}

} // namespace

// The trail's lines chain whoever appends them, and a line a crash cut short is kept aside and noted.
class TestAuditTrail : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void appendedLinesVerify();
    void twoWritersChainOntoEachOther();
    void lineCutByACrashIsKeptAsideAndNoted_data();
    void lineCutByACrashIsKeptAsideAndNoted();

private:
    struct Row
    {
        // cppcheck-suppress unusedStructMember ; read through m_rows
        QString name;
        HookedChild child {};
    };

    QTemporaryDir m_root;
    QVector<Row> m_rows;
};

void TestAuditTrail::initTestCase()
{
    QVERIFY(m_root.isValid());
    // Byte 1 cuts the first line; the others cut later lines at places of their own.
    const int killAt[] = {1, 250, 600, 1000};
    QVector<HookedChild *> children;
    for (const int at : killAt) {
        const QString folder = m_root.filePath(QStringLiteral("crash%1").arg(at));
        QDir().mkpath(folder);
        m_rows.append({QStringLiteral("killed at byte %1").arg(at)});
        HookedChild &child = m_rows.last().child;
        child.folder = QDir(folder).canonicalPath();
        child.args = QStringList {child.folder, QStringLiteral("20")};
        child.hook << QStringLiteral("BB_KILL_AFTER=%1").arg(at);
    }
    for (Row &row : m_rows)
        children << &row.child;
    runHookedChildren(children);
}

void TestAuditTrail::appendedLinesVerify()
{
    const QString folder = m_root.filePath(QStringLiteral("plain"));
    AuditTrail trail = trailIn(folder);
    QString error;
    QCOMPARE(trail.head(&error), QString::fromLatin1(AuditLine::kGenesis));
    QString head;
    for (int i = 0; i < 3; ++i) {
        head = trail.append(QStringLiteral("reading"), {{QStringLiteral("raw"), QStringLiteral("+0.1E+3")}},
            QStringLiteral("张三"), &error);
        QVERIFY2(!head.isEmpty(), qPrintable(error));
    }
    QCOMPARE(trail.head(), head);
    const AuditCheck check = AuditCheck::of(linesOf(fileBytes(trail.path())));
    QVERIFY2(check.ok, qPrintable(check.reason));
    QCOMPARE(check.lines, 3);
    QCOMPARE(QString::fromLatin1(check.head), head);
}

void TestAuditTrail::twoWritersChainOntoEachOther()
{
    const QString folder = m_root.filePath(QStringLiteral("two"));
    AuditTrail first = trailIn(folder);
    AuditTrail second = trailIn(folder);
    QString error;
    for (int i = 0; i < 4; ++i)
        QVERIFY(
            !(i % 2 ? first : second).append(QStringLiteral("recordingStarted"), {}, {}, &error).isEmpty());
    const AuditCheck check = AuditCheck::of(linesOf(fileBytes(first.path())));
    QVERIFY2(check.ok, qPrintable(check.reason));
    QCOMPARE(check.lines, 4);
}

void TestAuditTrail::lineCutByACrashIsKeptAsideAndNoted_data()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < m_rows.size(); ++i)
        QTest::newRow(qPrintable(m_rows[i].name)) << i;
}

void TestAuditTrail::lineCutByACrashIsKeptAsideAndNoted()
{
    QFETCH(int, row);
    const HookedChild &child = m_rows[row].child;
    QVERIFY2(child.ended && child.exitStatus == QProcess::CrashExit, child.err.constData());
    AuditTrail trail = trailIn(child.folder);
    const QByteArray before = fileBytes(trail.path());
    const QByteArray torn = before.mid(before.lastIndexOf('\n') + 1);
    QVERIFY(!torn.isEmpty());
    const int whole = before.count('\n');

    QString error;
    QVERIFY2(!trail.append(QStringLiteral("recordingStopped"), {}, {}, &error).isEmpty(), qPrintable(error));
    const QList<QByteArray> lines = linesOf(fileBytes(trail.path()));
    const AuditCheck check = AuditCheck::of(lines);
    QVERIFY2(check.ok, qPrintable(check.reason));
    QCOMPARE(check.lines, whole + 2);
    AuditLine note;
    QString reason;
    QVERIFY(AuditCheck::parse(lines.at(whole), &note, &reason));
    QCOMPARE(note.act, QStringLiteral("tornLineKept"));
    const QString aside = QDir(child.folder).filePath(note.details.value(QLatin1String("file")).toString());
    QCOMPARE(fileBytes(aside), torn);
    QCOMPARE(note.details.value(QLatin1String("bytes")).toString(), QString::number(torn.size()));
}

QTEST_GUILESS_MAIN(TestAuditTrail)
#include "tst_audittrail.moc"
