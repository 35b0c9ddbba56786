#include "control/auditline.h"
#include "files/audittrail.h"

#include <QCryptographicHash>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

enum class Tamper {
    None,
    EditLine,
    CutTail,
    RecomputeChain,
    AlterReport,
    RemoveRecord,
    TearLastLine,
    DeleteTrail
};

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QString sha256(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

// Every line written anew from its content, each chained onto the one before: what a forger who edited
// one line would do to hide it.
QByteArray rechained(const QList<QByteArray> &lines)
{
    QByteArray out;
    QByteArray head = AuditLine::kGenesis;
    for (const QByteArray &bytes : lines) {
        AuditLine line;
        QString reason;
        AuditCheck::parse(bytes, &line, &reason);
        line.prev = head;
        head = line.hash();
        out += line.bytes();
    }
    return out;
}

} // namespace

// The command checks the trail without a display: 0 and the head, or the first bad line; with the
// issued reports, a cut tail or a chain computed anew shows against the heads they carry.
class TestVerifyAudit : public QObject
{
    Q_OBJECT

private slots:
    void commandTellsWhatDoesNotVerify_data();
    void commandTellsWhatDoesNotVerify();

private:
    QTemporaryDir m_root;
};

void TestVerifyAudit::commandTellsWhatDoesNotVerify_data()
{
    QTest::addColumn<int>("tamper");
    QTest::addColumn<bool>("withReports");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");

    QTest::newRow("whole") << int(Tamper::None) << false << 0 << "4 lines verify";
    QTest::newRow("whole, with its report")
        << int(Tamper::None) << true << 0 << "4 lines and 1 reports verify";
    QTest::newRow("a line edited") << int(Tamper::EditLine) << false << 1 << "line 1 does not verify";
    QTest::newRow("last line torn") << int(Tamper::TearLastLine) << false << 1 << "line 4 does not verify";
    QTest::newRow("no trail") << int(Tamper::DeleteTrail) << false << 2 << "cannot be read";
    // A tail or a chain made anew verifies on its own; only the report shows it.
    QTest::newRow("tail cut") << int(Tamper::CutTail) << false << 0 << "2 lines verify";
    QTest::newRow("tail cut, with its report")
        << int(Tamper::CutTail) << true << 5 << "no line for its issue";
    QTest::newRow("chain made anew") << int(Tamper::RecomputeChain) << false << 0 << "4 lines verify";
    QTest::newRow("chain made anew, with its report")
        << int(Tamper::RecomputeChain) << true << 5 << "is not in the trail before line 3";
    QTest::newRow("report file altered") << int(Tamper::AlterReport) << true << 5 << "is not the file issued";
    QTest::newRow("issue record removed")
        << int(Tamper::RemoveRecord) << true << 5 << "its issue record is not in";
}

void TestVerifyAudit::commandTellsWhatDoesNotVerify()
{
    QFETCH(int, tamper);
    QFETCH(bool, withReports);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    QVERIFY(m_root.isValid());
    const QString folder = m_root.filePath(QString::fromLatin1(QTest::currentDataTag()));
    const QString issued = folder + QStringLiteral("/issued");
    QVERIFY(QDir().mkpath(issued));
    AuditTrail trail(AuditTrail::filePath(folder), folder + QStringLiteral("/certificate-counter"));
    QString error;

    // A set point, a recording, a certificate issued with its report file, another set point.
    QVERIFY(!trail
                 .append(QStringLiteral("setPoint"), {{QStringLiteral("celsius"), QStringLiteral("100")}}, {},
                     &error)
                 .isEmpty());
    const QString head = trail.append(QStringLiteral("recordingStarted"), {}, {}, &error);
    const QString report = folder + QStringLiteral("/C-1.pdf");
    QVERIFY(writeAll(report, "%PDF-1.4 the certificate"));
    const QJsonObject record {
        {QStringLiteral("number"), QStringLiteral("C-1")}, {QStringLiteral("auditHead"), head}};
    const QString recordSha = sha256(QJsonDocument(record).toJson(QJsonDocument::Compact));
    QVERIFY(writeAll(issued + QStringLiteral("/C-1.json"),
        QJsonDocument(QJsonObject {{QStringLiteral("issued"), record}, {QStringLiteral("sha256"), recordSha}})
            .toJson()));
    const QJsonArray files {
        QJsonObject {{QStringLiteral("path"), report}, {QStringLiteral("sha256"), sha256(readAll(report))}}};
    QVERIFY(!trail
                 .append(QStringLiteral("issued"),
                     {{QStringLiteral("number"), QStringLiteral("C-1")},
                         {QStringLiteral("record"), recordSha}, {QStringLiteral("files"), files}},
                     QStringLiteral("张三"), &error)
                 .isEmpty());
    QVERIFY(!trail
                 .append(QStringLiteral("setPoint"), {{QStringLiteral("celsius"), QStringLiteral("50")}}, {},
                     &error)
                 .isEmpty());

    QByteArray bytes = readAll(trail.path());
    QList<QByteArray> lines = bytes.split('\n');
    lines.removeLast();
    switch (Tamper(tamper)) {
    case Tamper::None:
        break;
    case Tamper::EditLine:
        bytes.replace("\"100\"", "\"101\"");
        break;
    case Tamper::CutTail:
        bytes = lines.mid(0, 2).join('\n') + '\n';
        break;
    case Tamper::RecomputeChain:
        lines[0].replace("\"100\"", "\"101\"");
        bytes = rechained(lines);
        break;
    case Tamper::AlterReport:
        QVERIFY(writeAll(report, "%PDF-1.4 the certificate, altered"));
        break;
    case Tamper::RemoveRecord:
        QVERIFY(QFile::remove(issued + QStringLiteral("/C-1.json")));
        break;
    case Tamper::TearLastLine:
        bytes.chop(9);
        break;
    case Tamper::DeleteTrail:
        bytes.clear();
        break;
    }
    if (Tamper(tamper) == Tamper::DeleteTrail)
        QVERIFY(QFile::remove(trail.path()));
    else
        QVERIFY(writeAll(trail.path(), bytes));

    QProcess command;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // No display of any kind: the check must not ask for one.
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    command.setProcessEnvironment(env);
    QStringList args {QStringLiteral("--verify-audit"), trail.path()};
    if (withReports)
        args << QStringLiteral("--reports") << issued;
    command.start(QStringLiteral(OSTREL_PATH), args);
    QVERIFY(command.waitForFinished(30000));
    const QString out = QString::fromLocal8Bit(command.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(command.readAllStandardError());
    QVERIFY2(err.contains(said), qPrintable(err));
    QCOMPARE(command.exitStatus(), QProcess::NormalExit);
    QCOMPARE(command.exitCode(), exitCode);
    if (exitCode == 0)
        QCOMPARE(out.trimmed().size(), 64);
    if (Tamper(tamper) == Tamper::None)
        QCOMPARE(out.trimmed(), trail.head());
}

QTEST_GUILESS_MAIN(TestVerifyAudit)
#include "tst_verifyaudit.moc"
