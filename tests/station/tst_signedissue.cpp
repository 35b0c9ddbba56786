#include "control/calibrationjournal.h"
#include "recording/curverecorder.h"
#include "settings/labsettings.h"
#include "settings/settings.h"
#include "settings/signingsettings.h"
#include "station/calibrationreporter.h"
#include "station/certificateamendment.h"
#include "station/unattendedasker.h"

#include <QFile>
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
    std::optional<SignatureConsent> confirmSignature(
        const QString &number, const QString &signatory, const QString &, const QString &refusal) override
    {
        numbers << number;
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

    QTemporaryDir m_dir;
    QString m_pdfsig;
};

void TestSignedIssue::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
    m_pdfsig = QStandardPaths::findExecutable(QStringLiteral("pdfsig"));
    if (openssl.isEmpty() || m_pdfsig.isEmpty())
        QSKIP("openssl and pdfsig are needed (scripts/setup.sh installs them)");
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
    QVERIFY(QDir().mkpath(path("data")));
    appSettings.dataDir = path("data");
    LabSettings {
        QStringLiteral("Test Lab"), QStringLiteral("Lab Road 1"), QStringLiteral("TL"), QStringLiteral("CN")}
        .store(appSettings);
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

    QTest::newRow("consented: signed")
        << "own" << true << "TL-20261210-001" << Answers {reviewed} << IssueSignature::State::Signed << 1;
    QTest::newRow("a wrong password is asked again")
        << "own" << true << "TL-20261210-002" << Answers {wrongPassword, reviewed}
        << IssueSignature::State::Signed << 2;
    QTest::newRow("declined: unsigned") << "own" << true << "TL-20261210-003" << Answers {std::nullopt}
                                        << IssueSignature::State::Declined << 1;
    QTest::newRow("another person's key cannot sign")
        << "other" << true << "TL-20261210-004" << Answers {reviewed, std::nullopt}
        << IssueSignature::State::Declined << 2;
    QTest::newRow("unattended: never asked") << "own" << false << "TL-20261210-005" << Answers {reviewed}
                                             << IssueSignature::State::Unattended << 0;
    QTest::newRow("no key: never asked")
        << "" << true << "TL-20261210-006" << Answers {reviewed} << IssueSignature::State::NoKey << 0;
    QTest::newRow("a test report is not signed")
        << "own" << true << "" << Answers {reviewed} << IssueSignature::State::NotCertificate << 0;
}

void TestSignedIssue::issue()
{
    QFETCH(QString, key);
    QFETCH(bool, attended);
    QFETCH(QString, number);
    QFETCH(Answers, answers);
    QFETCH(int, questions);

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
    CurveRecorder recorder;
    CalibrationReporter reporter(&recorder);
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
    const IssueSignature later = reporter.signLater(number, &signing, &error);
    QVERIFY2(later.isSigned(), qPrintable(error));
    QCOMPARE(signing.numbers, QStringList {number});
    const QString verdict = run(m_pdfsig, {QStringLiteral("-nocert"), pdf});
    QVERIFY2(verdict.contains(QLatin1String("Signature is Valid.")), qPrintable(verdict));
    // The certificate as issued is still there, byte for byte, ahead of the signature.
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith(issued));
    // Once is enough.
    QVERIFY(!reporter.signLater(number, &signing, &error).isSigned());
    QVERIFY(error.contains(number));
}

void TestSignedIssue::amendmentReplacesTheCertificate()
{
    CurveRecorder recorder;
    CalibrationReporter reporter(&recorder);
    ScriptedAsker declining(true);
    const QString number = QStringLiteral("TL-20261210-020");
    QCOMPARE(issueInto(number, &declining, &reporter), QString());
    QStringList files;
    QString error;
    const std::optional<IssueRecord> old = CalibrationReporter::readIssued(number, &files, &error);
    QVERIFY2(old, qPrintable(error));

    CertificateAmendment amendment = CertificateAmendment::of(*old);
    // Nothing changed, nothing issued.
    QVERIFY(reporter.amend(number, amendment, &declining, &error).isEmpty());
    amendment.customer = QStringLiteral("Customer GmbH");
    amendment.serial = QStringLiteral("SN-42");
    QCOMPARE(amendment.changes(*old),
        QStringList(
            {QStringLiteral("customer: Customer Ltd → Customer GmbH"), QStringLiteral("serial:  → SN-42")}));
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
}

QTEST_MAIN(TestSignedIssue)
#include "tst_signedissue.moc"
