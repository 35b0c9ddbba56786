#include "control/calibrationjournal.h"
#include "files/audittrail.h"
#include "files/auditverification.h"
#include "files/exclusivecommit.h"
#include "hookedchild.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cerrno>
#include <csignal>

namespace {

// The names a report's write gives in the report folder, in order: the CSV and the PDF each renamed from
// its temporary file to its hidden name, the curve and its table linked there from beside the journal,
// the machine-readable certificate renamed like the PDF, then the five names of the set.
const int kNames = 10;
const QStringList kSetSuffixes {QStringLiteral(".csv"), QStringLiteral(".pdf"), QStringLiteral(".txt"),
    QStringLiteral("-curve.csv"), QStringLiteral(".dcc.xml")};

QByteArray writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return bytes;
}

// The PDF's words, where pdftotext is at hand; the file's fonts and objects come in no fixed order.
QString pdfText(const QString &path)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return QStringLiteral("(no pdftotext)");
    QProcess process;
    process.start(tool, {path, QStringLiteral("-")});
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QStringList writtenFiles(const HookedChild &child)
{
    const QByteArrayList lines = child.out.split('\n');
    const auto line = std::find_if(
        lines.begin(), lines.end(), [](const QByteArray &l) { return l.startsWith("written\t"); });
    return line == lines.end() ? QStringList() : QString::fromUtf8(line->mid(8)).split(QLatin1Char('|'));
}

} // namespace

class TestReportCommit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void exclusiveCommitNeverReplaces_data();
    void exclusiveCommitNeverReplaces();
    void killedReportIsWrittenOnceAtRestart_data();
    void killedReportIsWrittenOnceAtRestart();
    void runsOfOneSecondWriteTwoWholeSets();

private:
    // A report write killed at one point, what it left and what the restart made of it.
    struct Row
    {
        QStringList hook;
        bool numberTaken = false; // another record holds the number in the archive before the restart
        QString data {};
        QString reports {};
        HookedChild write {};
        QString number {};
        QString issueHash {}; // as the journal had it after the kill
        QByteArray curve {}; // the curve file waiting beside the journal
        QString stagedPdfText {}; // a PDF staged whole before the kill
        HookedChild recover {};
    };

    QString freshFolder();
    HookedChild child(const QStringList &args, const QString &reports, const QStringList &hook = {}) const;

    QTemporaryDir m_root;
    int m_folders = 0;
    HookedChild m_reference;
    QVector<Row> m_rows;
    HookedChild m_racers[2];
    QString m_raceReports;
    QString m_barrier;
};

void TestReportCommit::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_root.isValid());
    // An uncut write, whose table every recovered report must match.
    const QString referenceReports = freshFolder();
    m_reference
        = child({QStringLiteral("report"), freshFolder(), referenceReports, QStringLiteral("TL-1-001")},
            referenceReports);
    QVector<HookedChild *> children {&m_reference};
    for (int name = 1; name <= kNames; ++name)
        m_rows.append({{QStringLiteral("BB_KILL_AT_NAME=%1").arg(name)}});
    // Into the PDF's own bytes: the CSV is a few hundred.
    m_rows.append({{QStringLiteral("BB_KILL_AFTER=3000")}});
    m_rows.append({{QStringLiteral("BB_KILL_AT_NAME=7")}, true});
    for (int i = 0; i < m_rows.size(); ++i) {
        Row &row = m_rows[i];
        row.data = freshFolder();
        row.reports = freshFolder();
        row.number = QStringLiteral("TL-2-%1").arg(100 + i);
        row.write
            = child({QStringLiteral("report"), row.data, row.reports, row.number}, row.reports, row.hook);
        children << &row.write;
    }
    // Two stations, one report folder, one second, both at their commits together.
    m_raceReports = freshFolder();
    m_barrier = freshFolder();
    for (int i = 0; i < 2; ++i) {
        m_racers[i] = child(
            {QStringLiteral("report"), freshFolder(), m_raceReports, QStringLiteral("TL-3-00%1").arg(i)},
            m_raceReports,
            {QStringLiteral("BB_FIXED_TIME=1796000000"), QStringLiteral("BB_NAME_BARRIER=") + m_barrier});
        children << &m_racers[i];
    }
    runHookedChildren(children);

    children.clear();
    for (Row &row : m_rows) {
        const QStringList journals = CalibrationJournal::list(row.data);
        CalibrationJournal::Contents contents;
        QString error;
        if (journals.size() == 1 && CalibrationJournal::read(journals.first(), &contents, &error)) {
            row.issueHash = contents.issue.value(QLatin1String("sha256")).toString();
            row.curve = fileBytes(CalibrationJournal::curvePath(journals.first()));
        }
        const QStringList staged
            = QDir(row.reports).entryList({QStringLiteral(".calibration-*.pdf")}, QDir::Files | QDir::Hidden);
        if (!staged.isEmpty())
            row.stagedPdfText = pdfText(QDir(row.reports).filePath(staged.first()));
        if (row.numberTaken) {
            QDir().mkpath(row.data + QStringLiteral("/issued"));
            writeFile(row.data + QStringLiteral("/issued/") + row.number + QStringLiteral(".json"),
                R"({"issued": {"number": "other"}, "sha256": "0"})");
        }
        row.recover = child({QStringLiteral("recover"), row.data, row.reports}, row.reports);
        children << &row.recover;
    }
    runHookedChildren(children);
}

void TestReportCommit::exclusiveCommitNeverReplaces_data()
{
    QTest::addColumn<QString>("taken"); // what the target already is: "", "file" or "folder"
    QTest::addColumn<bool>("sourceExists");
    QTest::addColumn<int>("error");
    QTest::newRow("a free name is taken") << QString() << true << 0;
    QTest::newRow("a file of that name exists: refused") << QStringLiteral("file") << true << EEXIST;
    QTest::newRow("nothing to commit") << QString() << false << ENOENT;
}

void TestReportCommit::exclusiveCommitNeverReplaces()
{
    QFETCH(QString, taken);
    QFETCH(bool, sourceExists);
    QFETCH(int, error);
    const QDir folder(freshFolder());
    const QString from = folder.filePath(QStringLiteral(".new"));
    const QString to = folder.filePath(QStringLiteral("report.csv"));
    if (sourceExists)
        writeFile(from, "new");
    const QString identity = fileIdentity(from);
    if (taken == QLatin1String("file"))
        writeFile(to, "old");
    if (taken == QLatin1String("folder"))
        QVERIFY(folder.mkdir(QStringLiteral("report.csv")));

    QCOMPARE(commitExclusively(from, to), error);
    if (error == 0) {
        QCOMPARE(fileBytes(to), QByteArray("new"));
        QVERIFY(!QFileInfo::exists(from));
        // The file keeps what identifies it, which a restart looks for.
        QCOMPARE(fileIdentity(to), identity);
        return;
    }
    // Refused: both stay as they were.
    QCOMPARE(QFileInfo::exists(from), sourceExists);
    if (taken == QLatin1String("file"))
        QCOMPARE(fileBytes(to), QByteArray("old"));
}

void TestReportCommit::killedReportIsWrittenOnceAtRestart_data()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < m_rows.size(); ++i)
        QTest::newRow(qPrintable(QStringLiteral("killed at ") + m_rows[i].hook.join(QLatin1Char(' '))
            + QLatin1String(m_rows[i].numberTaken ? ", the number issued already with other content" : "")))
            << i;
}

void TestReportCommit::killedReportIsWrittenOnceAtRestart()
{
    QFETCH(int, row);
    const Row &r = m_rows[row];
    QVERIFY2(m_reference.failure().isEmpty(), qPrintable(m_reference.failure()));
    const QStringList reference = writtenFiles(m_reference);
    QCOMPARE(reference.size(), kSetSuffixes.size());
    QVERIFY2(r.write.ended && r.write.exitStatus == QProcess::CrashExit && r.write.exitCode == SIGKILL,
        r.write.err.constData());
    // The certificate was issued before the first file.
    QVERIFY(!r.issueHash.isEmpty());
    QVERIFY2(r.recover.failure().isEmpty(), qPrintable(r.recover.failure()));

    if (r.numberTaken) {
        // Never a second certificate of one number: what the kill left goes, and the results wait.
        QVERIFY2(r.recover.out.contains("unreadable\t"), r.recover.out.constData());
        QCOMPARE(QDir(r.reports).entryList(QDir::Files | QDir::Hidden), QStringList());
        QCOMPARE(CalibrationJournal::list(r.data).size(), 1);
        return;
    }
    // One whole set, and nothing beside it: no orphan, no hidden file.
    const QStringList files = writtenFiles(r.recover);
    QCOMPARE(files.size(), kSetSuffixes.size());
    const QString base = files.first().chopped(4);
    QStringList expected;
    for (const QString &suffix : kSetSuffixes)
        expected << QFileInfo(base + suffix).fileName();
    expected.sort();
    QCOMPARE(QDir(r.reports).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
    QVERIFY(CalibrationJournal::list(r.data).isEmpty());

    // The same number with the same content: the issue record of before the kill, the same table, the
    // curve that waited, and the certificate as it was staged.
    const QJsonObject archived = QJsonDocument::fromJson(
        fileBytes(QDir(r.data).filePath(QStringLiteral("issued/") + r.number + QStringLiteral(".json"))))
                                     .object();
    QCOMPARE(archived.value(QLatin1String("sha256")).toString(), r.issueHash);
    // The trail holds its issue, once or twice, after the head the certificate carries.
    const AuditVerification::Result audit
        = AuditVerification::check(AuditTrail::filePath(r.data), r.data + QStringLiteral("/issued"));
    QVERIFY2(audit.outcome == AuditVerification::Result::Outcome::Verified,
        qPrintable(audit.reason + audit.problems.join(QLatin1Char('\n'))));
    QCOMPARE(audit.reports, 1);
    QCOMPARE(fileBytes(base + QStringLiteral(".csv")), fileBytes(reference.first()));
    QCOMPARE(fileBytes(base + QStringLiteral(".txt")), r.curve);
    const QString text = pdfText(base + QStringLiteral(".pdf"));
    QVERIFY(text.contains(r.number) || text == QStringLiteral("(no pdftotext)"));
    const QString head
        = archived.value(QLatin1String("issued")).toObject().value(QLatin1String("auditHead")).toString();
    QCOMPARE(head.size(), 64);
    QVERIFY(text.contains(head.left(16)) || text == QStringLiteral("(no pdftotext)"));
    QVERIFY(!text.contains(QStringLiteral("未保存（程序在校准中退出）")));
    if (!r.stagedPdfText.isEmpty())
        QCOMPARE(text, r.stagedPdfText);
}

void TestReportCommit::runsOfOneSecondWriteTwoWholeSets()
{
    QStringList all;
    QSet<QString> bases;
    for (const HookedChild &racer : m_racers) {
        QVERIFY2(racer.failure().isEmpty(), qPrintable(racer.failure()));
        // Each hears its own set, whole, under a name of its own.
        const QStringList files = writtenFiles(racer);
        QCOMPARE(files.size(), kSetSuffixes.size());
        const QString base = files.first().chopped(4);
        for (int i = 0; i < files.size(); ++i)
            QCOMPARE(files.at(i), base + kSetSuffixes.at(i));
        bases.insert(base);
        // Each set's curve is the one its own run kept.
        const QJsonObject archived = QJsonDocument::fromJson(
            fileBytes(QDir(racer.args.at(1))
                          .filePath(QStringLiteral("issued/") + racer.args.at(3) + QStringLiteral(".json"))))
                                         .object();
        QCOMPARE(archived.value(QLatin1String("files")).toVariant().toStringList(), files);
        for (const QString &file : files)
            all << QFileInfo(file).fileName();
    }
    // Both named their sets after one second, and met at their commits.
    QCOMPARE(bases.size(), 2);
    QCOMPARE(QStringList(bases.values())
                 .filter(QRegularExpression(QStringLiteral("calibration-\\d{8}-\\d{6}(-2)?$")))
                 .size(),
        2);
    QCOMPARE(QDir(m_barrier).entryList(QDir::Files).size(), 2);
    all.sort();
    QCOMPARE(QDir(m_raceReports).entryList(QDir::Files | QDir::Hidden, QDir::Name), all);
}

QString TestReportCommit::freshFolder()
{
    const QString folder = m_root.filePath(QStringLiteral("f%1").arg(++m_folders));
    QDir().mkpath(folder);
    // The hook compares the paths the kernel reports.
    return QDir(folder).canonicalPath();
}

HookedChild TestReportCommit::child(
    const QStringList &args, const QString &reports, const QStringList &hook) const
{
    HookedChild child;
    child.folder = reports;
    child.args = args;
    child.hook = hook;
    return child;
}

QTEST_GUILESS_MAIN(TestReportCommit)

#include "tst_reportcommit.moc"
