#include "control/auditline.h"
#include "control/calibrationjournal.h"
#include "files/audittrail.h"
#include "files/auditverification.h"
#include "files/filehash.h"
#include "recording/curverecorder.h"
#include "settings/labsettings.h"
#include "settings/settings.h"
#include "settings/signingsettings.h"
#include "station/auditrecorder.h"
#include "station/calibrationreporter.h"
#include "station/certificateamendment.h"
#include "station/unattendedasker.h"

#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray kPassword = "geheim-42";
const QString kSignatory = QStringLiteral("王 签发");

// A door with somebody at it who answers the signature question from a script, one answer a question.
class ScriptedAsker : public UnattendedAsker
{
public:
    explicit ScriptedAsker(bool attended)
        : m_attended(attended)
    { }

    bool isUnattended() const override { return !m_attended; }
    std::optional<SignatureConsent> confirmSignature(const QString &number, const QString &signatory,
        const QString &, const QString &refusal, SignatureMoment moment) override
    {
        // The number names when it was asked, so the door can word what declining does.
        numbers << (moment == SignatureMoment::Later ? number + QStringLiteral(" later") : number);
        signatories << signatory;
        refusals << refusal;
        if (answers.isEmpty())
            return std::nullopt;
        return answers.takeFirst();
    }
    // Signing is what these runs test; a failed write fails the test at once instead of looping.
    ReportChoice reportNotWritten(QString *, const SaveResult &result, const QString &, bool) override
    {
        writeFailure = result.message(QString());
        return ReportChoice::Later;
    }

    QList<std::optional<SignatureConsent>> answers;
    QStringList numbers;
    QStringList signatories;
    QStringList refusals;
    QString writeFailure;

private:
    bool m_attended;
};

// What `program` printed, merged; `exitCode` its exit code, -1 when it did not finish within 30 s.
QString run(const QString &program, const QStringList &arguments, int *exitCode = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(30000);
    if (exitCode)
        *exitCode = finished ? process.exitCode() : -1;
    return finished ? QString::fromUtf8(process.readAll())
                    : QStringLiteral("(%1 did not finish)").arg(program);
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The report file beside `report` (any of its set) with `suffix`.
QString sibling(const QString &report, const QString &suffix)
{
    return report.left(report.lastIndexOf(QLatin1Char('.'))) + suffix;
}

// The lines of the trail in `folder` as they read back; one that does not parse stays empty.
QList<AuditLine> linesOf(const QString &folder)
{
    QList<AuditLine> lines;
    for (const QByteArray &bytes : bytesOf(AuditTrail::filePath(folder)).split('\n')) {
        if (bytes.isEmpty())
            continue;
        AuditLine line;
        QString reason;
        AuditCheck::parse(bytes, &line, &reason);
        lines << line;
    }
    return lines;
}

// Each file an audit line names, with the SHA-256 it recorded.
QHash<QString, QString> hashesIn(const AuditLine &line)
{
    QHash<QString, QString> hashes;
    for (const QJsonValue &file : line.details.value(QLatin1String("files")).toArray())
        hashes.insert(file[QLatin1String("path")].toString(), file[QLatin1String("sha256")].toString());
    return hashes;
}

// What the DCC `xml` holds in its element `name` (the first one).
QByteArray element(const QByteArray &xml, const QByteArray &name)
{
    const QByteArray open = "<dcc:" + name + '>';
    const int start = xml.indexOf(open);
    const int end = xml.indexOf("</dcc:" + name + '>', start);
    return start < 0 || end < 0 ? QByteArray() : xml.mid(start + open.size(), end - start - open.size());
}

void storeLab(const QString &country)
{
    LabSettings {QStringLiteral("Test Lab"), QStringLiteral("Lab Road 1"), QStringLiteral("TL"), country}
        .store(appSettings);
}

CalibrationJournal::Contents endedRun(const QString &number)
{
    CalibrationJournal::Contents ended;
    ended.header.run.instrument = QStringLiteral("IR-7");
    ended.header.run.operatorName = QStringLiteral("Li");
    ended.header.run.certificate.customer = QStringLiteral("Customer Ltd");
    ended.header.run.certificate.signatory = kSignatory;
    ended.header.run.steps = {CalibrationStep()};
    ended.header.run.steps[0].setPoint = 35;
    ended.header.model = QStringLiteral("BB-1");
    ended.header.started = QDateTime(QDate(2026, 12, 9), QTime(10, 0));
    ended.header.wallAtZero = ended.header.started;
    ended.header.certificateNumber = number;
    CalibrationStepResult first;
    first.setPoint = 35;
    first.stable = true;
    first.stableAtMs = 60000;
    first.readings = {35.2};
    // A dwell and an ambient: the step is evaluated, so both the PDF and the DCC show its values.
    for (const double celsius : {34.99, 35.0, 35.01})
        first.dwell.add(celsius);
    first.ambientC = 23;
    ended.results = {first};
    ended.end = CalibrationJournal::End::Finished;
    return ended;
}

} // namespace

using Answers = QList<std::optional<Asker::SignatureConsent>>;
Q_DECLARE_METATYPE(IssueSignature::State)
Q_DECLARE_METATYPE(SignatureLook::Meaning)
Q_DECLARE_METATYPE(Answers)

// A certificate issued from the window is signed with the configured key once its signatory consents;
// one issued where nobody can type a password, or without a key, is issued unsigned and says why.
class TestSignedIssue : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void issue_data();
    void issue();
    void unsignedCertificateIsSignedLater();
    void amendmentReplacesTheCertificate();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    // Issues `number` into a folder of its own with the own key configured, as `asker` answers.
    QString issueInto(const QString &number, ScriptedAsker *asker, CalibrationReporter *reporter);
    // A data folder of its own, for the issue records and the audit trail one test checks together.
    QString freshData(const QString &name);
    // xmlsec1's verdict on the DCC `dcc` with the own certificate trusted: its output, its exit code.
    QString verifyDcc(const QString &dcc, int *exitCode) const;

    QTemporaryDir m_dir;
    QString m_pdfsig;
};

void TestSignedIssue::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
    m_pdfsig = QStandardPaths::findExecutable(QStringLiteral("pdfsig"));
    if (openssl.isEmpty() || m_pdfsig.isEmpty() || !QFileInfo(QStringLiteral(XMLSEC1_PATH)).isExecutable())
        QSKIP("openssl, pdfsig and xmlsec1 are needed (scripts/setup.sh installs them)");
    for (const auto &[name, person] : {std::pair {QStringLiteral("own"), kSignatory},
             std::pair {QStringLiteral("other"), QStringLiteral("赵 他人")}}) {
        int code = -1;
        const QString made = run(openssl,
            {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-utf8"),
                QStringLiteral("-newkey"), QStringLiteral("rsa:2048"), QStringLiteral("-days"),
                QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=") + person,
                QStringLiteral("-keyout"), path(name + QStringLiteral("-key.pem")), QStringLiteral("-out"),
                path(name + QStringLiteral("-cert.pem")), QStringLiteral("-passout"),
                QStringLiteral("pass:") + QString::fromLatin1(kPassword)},
            &code);
        QVERIFY2(code == 0, qPrintable(made));
    }
    QVERIFY(QDir().mkpath(path("data")) && QDir().mkpath(path("trail")));
    appSettings.dataDir = path("data");
    // The amendments' numbers come from a counter of the test's own.
    appSettings.userDataDir = path("data");
    storeLab(QStringLiteral("CN"));
}

QString TestSignedIssue::freshData(const QString &name)
{
    appSettings.dataDir = path(name + QStringLiteral("-data"));
    QDir().mkpath(appSettings.dataDir);
    return appSettings.dataDir;
}

QString TestSignedIssue::verifyDcc(const QString &dcc, int *exitCode) const
{
    return run(QStringLiteral(XMLSEC1_PATH),
        {QStringLiteral("--verify"), QStringLiteral("--trusted-pem"), path(QStringLiteral("own-cert.pem")),
            dcc},
        exitCode);
}

void TestSignedIssue::issue_data()
{
    using Consent = Asker::SignatureConsent;
    const Consent reviewed {SignatureLook::Meaning::Reviewed, kPassword};
    const Consent wrongPassword {SignatureLook::Meaning::Approved, "guess"};

    QTest::addColumn<QString>("key"); // "own", "other", or none configured
    QTest::addColumn<bool>("attended");
    QTest::addColumn<QString>("number"); // empty for a test report
    QTest::addColumn<Answers>("answers");
    QTest::addColumn<IssueSignature::State>("state");
    QTest::addColumn<int>("questions");
    QTest::addColumn<QString>("country"); // the lab's; a certificate's DCC needs it

    const QString cn = QStringLiteral("CN");
    QTest::newRow("consented: signed") << "own" << true << "TL-20261210-001" << Answers {reviewed}
                                       << IssueSignature::State::Signed << 1 << cn;
    QTest::newRow("a wrong password is asked again")
        << "own" << true << "TL-20261210-002" << Answers {wrongPassword, reviewed}
        << IssueSignature::State::Signed << 2 << cn;
    QTest::newRow("declined: unsigned") << "own" << true << "TL-20261210-003" << Answers {std::nullopt}
                                        << IssueSignature::State::Declined << 1 << cn;
    QTest::newRow("another person's key cannot sign")
        << "other" << true << "TL-20261210-004" << Answers {reviewed, std::nullopt}
        << IssueSignature::State::Declined << 2 << cn;
    QTest::newRow("unattended: never asked") << "own" << false << "TL-20261210-005" << Answers {reviewed}
                                             << IssueSignature::State::Unattended << 0 << cn;
    QTest::newRow("no key: never asked")
        << "" << true << "TL-20261210-006" << Answers {reviewed} << IssueSignature::State::NoKey << 0 << cn;
    QTest::newRow("a test report is not signed")
        << "own" << true << "" << Answers {reviewed} << IssueSignature::State::NotCertificate << 0 << cn;
    QTest::newRow("a lab without a country: signed, without a DCC")
        << "own" << true << "TL-20261210-007" << Answers {reviewed} << IssueSignature::State::Signed << 1
        << QString();
}

void TestSignedIssue::issue()
{
    QFETCH(QString, key);
    QFETCH(bool, attended);
    QFETCH(QString, number);
    QFETCH(Answers, answers);
    QFETCH(int, questions);
    QFETCH(QString, country);

    storeLab(country);
    const auto labBack = qScopeGuard([] { storeLab(QStringLiteral("CN")); });
    SigningSettings signing;
    if (!key.isEmpty()) {
        signing.kind = SigningSettings::Kind::Pem;
        signing.keyFile = path(key + QStringLiteral("-key.pem"));
        signing.certificateFile = path(key + QStringLiteral("-cert.pem"));
    }
    signing.store(appSettings);
    const QString folder = path(QString::fromLatin1(QTest::currentDataTag())
                                    .replace(QLatin1Char(' '), QLatin1Char('-'))
                                    .remove(QLatin1Char(':')));
    QVERIFY(QDir().mkpath(folder));
    appSettings.setValue(CalibrationReporter::reportFolderKey, folder);

    CurveRecorder recorder;
    CalibrationReporter reporter(&recorder);
    // Every row's issue line in one trail: each record carries the head its own line follows.
    AuditRecorder audit(path(QStringLiteral("trail")));
    reporter.setAudit(&audit);
    const QString head = audit.head();
    ScriptedAsker asker(attended);
    asker.answers = answers;
    reporter.reportRun(endedRun(number), QString(), false, &asker);
    QVERIFY2(asker.writeFailure.isEmpty(), qPrintable(asker.writeFailure));
    QVERIFY(!reporter.lastReport().isEmpty());

    QTEST(reporter.lastSignature().state, "state");
    QCOMPARE(asker.numbers.size(), questions);
    for (int i = 0; i < questions; ++i) {
        QCOMPARE(asker.numbers.at(i), number);
        QCOMPARE(asker.signatories.at(i), kSignatory);
        // Only a question after a refusal says why.
        QCOMPARE(asker.refusals.at(i).isEmpty(), i == 0);
    }
    QString pdf = reporter.lastReport();
    pdf.replace(pdf.size() - 4, 4, QStringLiteral(".pdf"));
    const QString verdict = run(m_pdfsig, {QStringLiteral("-nocert"), pdf});
    if (reporter.lastSignature().isSigned()) {
        QVERIFY2(verdict.contains(QLatin1String("Signature is Valid.")), qPrintable(verdict));
        QCOMPARE(reporter.lastSignature().signatory, kSignatory);
        QCOMPARE(reporter.lastSignature().meaning, SignatureLook::Meaning::Reviewed);
    } else {
        QVERIFY2(verdict.contains(QLatin1String("does not contain any signatures")), qPrintable(verdict));
    }

    // The twin: a certificate's, where the lab has a country, around the PDF as written and signed with it.
    const QString dcc = sibling(pdf, QStringLiteral(".dcc.xml"));
    const bool twin = !number.isEmpty() && !country.isEmpty();
    QCOMPARE(QFileInfo::exists(dcc), twin);
    QCOMPARE(reporter.lastTwinMissing().isEmpty(), number.isEmpty() || twin);
    if (twin) {
        int code = -1;
        const QByteArray xml = bytesOf(dcc);
        QCOMPARE(QByteArray::fromBase64(element(xml, "dataBase64")), bytesOf(pdf));
        QVERIFY(xml.contains(head.toLatin1()));
        const QString checked = verifyDcc(dcc, &code);
        if (reporter.lastSignature().isSigned())
            QVERIFY2(code == 0 && checked.contains(QLatin1String("OK")), qPrintable(checked));
        else
            QVERIFY(!xml.contains("http://www.w3.org/2000/09/xmldsig#"));
    }

    // Its issue line follows the head the record carries, with each file's hash as it is now.
    const QList<AuditLine> lines = linesOf(path(QStringLiteral("trail")));
    QVERIFY(!lines.isEmpty());
    const AuditLine &line = lines.last();
    QCOMPARE(line.act, QStringLiteral("issued"));
    QCOMPARE(QString::fromLatin1(line.prev), head);
    QCOMPARE(line.details.value(QLatin1String("number")).toString(), number);
    const QHash<QString, QString> hashes = hashesIn(line);
    QCOMPARE(hashes.value(pdf), fileSha256(pdf));
    QCOMPARE(hashes.value(dcc), twin ? fileSha256(dcc) : QString());
    const QString signature = line.details.value(QLatin1String("signature")).toString();
    QCOMPARE(signature, number.isEmpty() ? QString() : reporter.lastSignature().auditText());
    QCOMPARE(line.details.value(QLatin1String("twin")).toString(),
        number.isEmpty() || twin ? QString() : QStringLiteral("none: the lab's country is not set"));
}

QString TestSignedIssue::issueInto(const QString &number, ScriptedAsker *asker, CalibrationReporter *reporter)
{
    SigningSettings signing;
    signing.kind = SigningSettings::Kind::Pem;
    signing.keyFile = path(QStringLiteral("own-key.pem"));
    signing.certificateFile = path(QStringLiteral("own-cert.pem"));
    signing.store(appSettings);
    const QString folder = path(number);
    QDir().mkpath(folder);
    appSettings.setValue(CalibrationReporter::reportFolderKey, folder);
    CalibrationJournal::Contents ended = endedRun(number);
    CalibrationJournal journal;
    QString error;
    if (!journal.create(appSettings.dataDir, ended.header, &error)
        || !journal.append(ended.results[0], &error) || !journal.end(ended.end, &error))
        return error;
    journal.close();
    reporter->reportRun(ended, journal.path(), true, asker);
    return QString();
}

void TestSignedIssue::unsignedCertificateIsSignedLater()
{
    const QString data = freshData(QStringLiteral("later"));
    CurveRecorder recorder;
    CalibrationReporter reporter(&recorder);
    AuditRecorder audit(data);
    reporter.setAudit(&audit);
    ScriptedAsker declining(true);
    const QString number = QStringLiteral("TL-20261210-010");
    QCOMPARE(issueInto(number, &declining, &reporter), QString());
    QCOMPARE(reporter.lastSignature().state, IssueSignature::State::Declined);
    QString pdf = reporter.lastReport();
    pdf.replace(pdf.size() - 4, 4, QStringLiteral(".pdf"));
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray issued = file.readAll();
    file.close();

    ScriptedAsker signing(true);
    signing.answers = {Asker::SignatureConsent {SignatureLook::Meaning::Approved, kPassword}};
    QString error;
    // An unsigned PDF edited after issue is never signed: nobody is even asked.
    QByteArray edited = issued;
    edited[edited.size() / 2] = char(edited.at(edited.size() / 2) ^ 1);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(edited) == edited.size());
    file.close();
    QVERIFY(!reporter.signLater(number, &signing, &error).isSigned());
    QVERIFY2(error.contains(pdf), qPrintable(error));
    QVERIFY(signing.numbers.isEmpty());
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(issued) == issued.size());
    file.close();
    error.clear();
    const IssueSignature later = reporter.signLater(number, &signing, &error);
    QVERIFY2(later.isSigned(), qPrintable(error));
    QCOMPARE(signing.numbers, QStringList {number + QStringLiteral(" later")});
    const QString verdict = run(m_pdfsig, {QStringLiteral("-nocert"), pdf});
    QVERIFY2(verdict.contains(QLatin1String("Signature is Valid.")), qPrintable(verdict));
    // The certificate as issued is still there, byte for byte, ahead of the signature.
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith(issued));
    // Its DCC made anew around the signed PDF and signed too, and the trail told of both files' new hashes.
    const QString dcc = sibling(pdf, QStringLiteral(".dcc.xml"));
    QCOMPARE(QByteArray::fromBase64(element(bytesOf(dcc), "dataBase64")), bytesOf(pdf));
    int code = -1;
    const QString checked = verifyDcc(dcc, &code);
    QVERIFY2(code == 0 && checked.contains(QLatin1String("OK")), qPrintable(checked));
    const QList<AuditLine> lines = linesOf(data);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.first().act, QStringLiteral("issued"));
    QCOMPARE(lines.last().act, QStringLiteral("signed"));
    QCOMPARE(lines.last().details.value(QLatin1String("number")).toString(), number);
    QCOMPARE(lines.last().details.value(QLatin1String("signature")).toString(), later.auditText());
    QCOMPARE(lines.last().details.value(QLatin1String("twin")).toString(), QStringLiteral("signed"));
    QCOMPARE(lines.last().details.value(QLatin1String("signedFrom")).toString(),
        hashesIn(lines.first()).value(pdf));
    const QHash<QString, QString> hashes = hashesIn(lines.last());
    QCOMPARE(hashes.value(pdf), fileSha256(pdf));
    QCOMPARE(hashes.value(dcc), fileSha256(dcc));
    const AuditVerification::Result verified
        = AuditVerification::check(AuditTrail::filePath(data), CalibrationReporter::issuedFolder());
    QVERIFY2(verified.outcome == AuditVerification::Result::Outcome::Verified,
        qPrintable(verified.problems.join(QLatin1Char('\n')) + verified.reason));
    QCOMPARE(verified.reports, 1);
    // Once is enough.
    QVERIFY(!reporter.signLater(number, &signing, &error).isSigned());
    QVERIFY(error.contains(number));
}

void TestSignedIssue::amendmentReplacesTheCertificate()
{
    const QString data = freshData(QStringLiteral("amended"));
    CurveRecorder recorder;
    CalibrationReporter reporter(&recorder);
    AuditRecorder audit(data);
    reporter.setAudit(&audit);
    ScriptedAsker declining(true);
    const QString number = QStringLiteral("TL-20261210-020");
    QCOMPARE(issueInto(number, &declining, &reporter), QString());
    QStringList files;
    QString error;
    const std::optional<IssueRecord> old = CalibrationReporter::readIssued(number, &files, &error);
    QVERIFY2(old, qPrintable(error));
    const QString oldPdfSha256 = fileSha256(files.filter(QStringLiteral(".pdf")).value(0));

    CertificateAmendment amendment = CertificateAmendment::of(*old);
    // Nothing changed, nothing issued.
    QVERIFY(reporter.amend(number, amendment, &declining, &error).isEmpty());
    amendment.customer = QStringLiteral("Customer GmbH");
    amendment.serial = QStringLiteral("SN-42");
    QCOMPARE(amendment.changes(*old),
        QStringList(
            {QStringLiteral("customer: Customer Ltd → Customer GmbH"), QStringLiteral("serial:  → SN-42")}));
    // An amendment that cannot be written has used its number all the same: the trail accounts for it.
    const QString reports = appSettings.value(CalibrationReporter::reportFolderKey, QString());
    appSettings.setValue(CalibrationReporter::reportFolderKey, path(QStringLiteral("own-key.pem")));
    QVERIFY(reporter.amend(number, amendment, &declining, &error).isEmpty());
    const QString unwritten = error;
    appSettings.setValue(CalibrationReporter::reportFolderKey, reports);
    ScriptedAsker signing(true);
    signing.answers = {Asker::SignatureConsent {SignatureLook::Meaning::Approved, kPassword}};
    const QString amended = reporter.amend(number, amendment, &signing, &error);
    QVERIFY2(!amended.isEmpty(), qPrintable(error));
    QVERIFY(amended != number);
    QVERIFY(reporter.lastSignature().isSigned());

    const std::optional<IssueRecord> record = CalibrationReporter::readIssued(amended, &files, &error);
    QVERIFY2(record, qPrintable(error));
    QCOMPARE(record->replaces, number);
    QCOMPARE(record->run.header.run.certificate.customer, amendment.customer);
    // Every measured value as it was.
    QCOMPARE(record->run.results.size(), old->run.results.size());
    QCOMPARE(record->run.results.first().readings, old->run.results.first().readings);
    QCOMPARE(record->run.header.started, old->run.header.started);

    const QString pdf = files.filter(QStringLiteral(".pdf")).value(0);
    const QString shown
        = run(QStandardPaths::findExecutable(QStringLiteral("pdftotext")), {pdf, QStringLiteral("-")});
    QVERIFY2(shown.contains(number), qPrintable(shown));
    QVERIFY2(shown.contains(amended), qPrintable(shown));
    QVERIFY2(shown.contains(QLatin1String("Customer GmbH")), qPrintable(shown));
    const QString verdict = run(m_pdfsig, {QStringLiteral("-nocert"), pdf});
    QVERIFY2(verdict.contains(QLatin1String("Signature is Valid.")), qPrintable(verdict));

    // The DCC names the certificate it replaces and that one's PDF by its hash.
    const QByteArray previous
        = element(bytesOf(files.filter(QStringLiteral(".dcc.xml")).value(0)), "previousReport");
    QVERIFY2(previous.contains("<dcc:referralID>" + number.toLatin1() + "</dcc:referralID>"),
        previous.constData());
    QVERIFY2(
        previous.contains("<dcc:value>" + oldPdfSha256.toLatin1() + "</dcc:value>"), previous.constData());

    // The change is told before the new certificate's issue, whose record carries the head before both.
    QList<AuditLine> lines = linesOf(data);
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines.at(1).act, QStringLiteral("notIssued"));
    const QString voided = lines.at(1).details.value(QLatin1String("number")).toString();
    QVERIFY(!voided.isEmpty() && voided != number && voided != amended);
    QVERIFY2(unwritten.contains(voided), qPrintable(unwritten));
    lines.removeAt(1);
    const QJsonObject change = lines.at(1).details;
    QCOMPARE(lines.at(1).act, QStringLiteral("amended"));
    QCOMPARE(change.value(QLatin1String("number")).toString(), number);
    QCOMPARE(change.value(QLatin1String("amendment")).toString(), amended);
    QCOMPARE(change.value(QLatin1String("changes")).toArray(),
        QJsonArray::fromStringList(amendment.changes(*old)));
    QCOMPARE(lines.at(2).act, QStringLiteral("issued"));
    QCOMPARE(lines.at(2).details.value(QLatin1String("number")).toString(), amended);
    QCOMPARE(record->auditHead, QString::fromLatin1(lines.at(1).prev));
}

QTEST_MAIN(TestSignedIssue)
#include "tst_signedissue.moc"
