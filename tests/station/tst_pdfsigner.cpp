#include "station/calibrationpdf.h"
#include "station/pdfsigner.h"
#include "station/signingkey.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray kPassword = "geheim-42";
const QString kSignatory = QStringLiteral("张 工程师");

// Runs `program` with `arguments`, at most 30 s; its standard output and error, merged.
QString run(const QString &program, const QStringList &arguments, int *exitCode = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(30000))
        return QStringLiteral("(%1 did not finish)").arg(program);
    if (exitCode)
        *exitCode = process.exitCode();
    return QString::fromUtf8(process.readAll());
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

Q_DECLARE_METATYPE(SignatureLook::Meaning)

class TestPdfSigner : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void signedCertificateVerifies_data();
    void signedCertificateVerifies();
    void flippedByteIsCaught();
    void keyIsRefused_data();
    void keyIsRefused();
    void otherSignatoryIsRefused();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    SigningKey pemKey() const;
    QString pdfsig(const QByteArray &pdf, const QString &name) const;

    QTemporaryDir m_dir;
    QByteArray m_certificate; // an unsigned certificate, painted as the program paints them
};

void TestPdfSigner::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
    if (openssl.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("pdfsig")).isEmpty())
        QSKIP("openssl and pdfsig are needed (scripts/setup.sh installs them)");
    int code = -1;
    // The test's own key and self-signed certificate, and an encrypted PKCS#12 of both.
    const QString made = run(openssl,
        {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-utf8"), QStringLiteral("-newkey"),
            QStringLiteral("rsa:2048"), QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
            QStringLiteral("/O=Test Lab/CN=") + kSignatory, QStringLiteral("-keyout"), path("key.pem"),
            QStringLiteral("-out"), path("cert.pem"), QStringLiteral("-passout"),
            QStringLiteral("pass:") + QString::fromLatin1(kPassword)},
        &code);
    QVERIFY2(code == 0, qPrintable(made));
    const QString exported = run(openssl,
        {QStringLiteral("pkcs12"), QStringLiteral("-export"), QStringLiteral("-inkey"), path("key.pem"),
            QStringLiteral("-in"), path("cert.pem"), QStringLiteral("-out"), path("key.p12"),
            QStringLiteral("-passin"), QStringLiteral("pass:") + QString::fromLatin1(kPassword),
            QStringLiteral("-passout"), QStringLiteral("pass:") + QString::fromLatin1(kPassword)},
        &code);
    QVERIFY2(code == 0, qPrintable(exported));
    // The same key without its password: it would sign for whoever sits at the station.
    run(openssl,
        {QStringLiteral("pkey"), QStringLiteral("-in"), path("key.pem"), QStringLiteral("-passin"),
            QStringLiteral("pass:") + QString::fromLatin1(kPassword), QStringLiteral("-out"),
            path("plain.pem")},
        &code);
    QCOMPARE(code, 0);
    // A second key that belongs to no certificate here.
    run(openssl,
        {QStringLiteral("genpkey"), QStringLiteral("-algorithm"), QStringLiteral("RSA"),
            QStringLiteral("-out"), path("other.pem")},
        &code);
    QCOMPARE(code, 0);

    CertificateDocument document;
    document.title = QStringLiteral("校准证书");
    document.number = QStringLiteral("LAB-20261210-001");
    document.pageText = QStringLiteral("第 %1 页，共 %2 页");
    document.fields = {{QStringLiteral("委托方"), QStringLiteral("测试公司")}};
    document.closing = QStringList {QStringLiteral("签发人：") + kSignatory};
    QBuffer buffer(&m_certificate);
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QVERIFY(CalibrationPdf::write(&buffer, document));
}

SigningKey TestPdfSigner::pemKey() const
{
    QString error;
    SigningKey key = SigningKey::fromPem(path("key.pem"), path("cert.pem"), kPassword, &error);
    if (key.isNull())
        qWarning("%s", qPrintable(error));
    return key;
}

QString TestPdfSigner::pdfsig(const QByteArray &pdf, const QString &name) const
{
    if (!writeFile(path(name), pdf))
        return QStringLiteral("(not written)");
    // Exits 0 on a bad signature too: only its words tell.
    return run(
        QStandardPaths::findExecutable(QStringLiteral("pdfsig")), {QStringLiteral("-nocert"), path(name)});
}

void TestPdfSigner::signedCertificateVerifies_data()
{
    QTest::addColumn<bool>("pkcs12");
    QTest::addColumn<SignatureLook::Meaning>("meaning");
    QTest::newRow("PEM key and certificate, approved") << false << SignatureLook::Meaning::Approved;
    QTest::newRow("PKCS#12, reviewed") << true << SignatureLook::Meaning::Reviewed;
}

void TestPdfSigner::signedCertificateVerifies()
{
    QFETCH(bool, pkcs12);
    QFETCH(SignatureLook::Meaning, meaning);
    QString error;
    const SigningKey key = pkcs12 ? SigningKey::fromPkcs12(path("key.p12"), kPassword, &error) : pemKey();
    QVERIFY2(!key.isNull(), qPrintable(error));
    QCOMPARE(key.commonName(), kSignatory);

    SignatureLook look;
    look.meaning = meaning;
    look.signatory = kSignatory;
    look.at = QDateTime(QDate(2026, 12, 10), QTime(5, 40, 7), Qt::UTC);
    const SignResult signedPdf = signPdf(m_certificate, key, look);
    QVERIFY2(signedPdf.ok(), qPrintable(signedPdf.error));
    // An incremental update: the certificate as painted, untouched, then the signature.
    QVERIFY(signedPdf.pdf.startsWith(m_certificate));

    const QString verdict = pdfsig(signedPdf.pdf, QStringLiteral("signed.pdf"));
    QVERIFY2(verdict.contains(QLatin1String("Signature is Valid.")), qPrintable(verdict));
    QVERIFY2(verdict.contains(QLatin1String("adbe.pkcs7.detached")), qPrintable(verdict));
    QVERIFY2(verdict.contains(QLatin1String("Total document signed")), qPrintable(verdict));
    QVERIFY2(verdict.contains(kSignatory), qPrintable(verdict));

    // The box on the last page shows who, when and why.
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (!pdftotext.isEmpty()) {
        const QString shown = run(pdftotext, {path("signed.pdf"), QStringLiteral("-")});
        // Every object the update refers to is in it: poppler need not rebuild the cross-references.
        QVERIFY2(!shown.contains(QLatin1String("Error")), qPrintable(shown));
        QVERIFY2(shown.contains(kSignatory), qPrintable(shown));
        QVERIFY2(shown.contains(QLatin1String("2026-12-10 05:40:07 UTC")), qPrintable(shown));
        QVERIFY2(shown.contains(signatureMeaningText(meaning)), qPrintable(shown));
    }
}

void TestPdfSigner::flippedByteIsCaught()
{
    SignatureLook look;
    look.signatory = kSignatory;
    const SignResult signedPdf = signPdf(m_certificate, pemKey(), look);
    QVERIFY2(signedPdf.ok(), qPrintable(signedPdf.error));
    // A byte of the certificate's own text, well inside the first signed range.
    QByteArray altered = signedPdf.pdf;
    const int at = altered.indexOf("/Producer");
    QVERIFY(at > 0);
    altered[at + 2] = altered.at(at + 2) == 'r' ? 'R' : 'r';
    const QString verdict = pdfsig(altered, QStringLiteral("altered.pdf"));
    QVERIFY2(verdict.contains(QLatin1String("Digest Mismatch")), qPrintable(verdict));
    QVERIFY2(!verdict.contains(QLatin1String("Signature is Valid.")), qPrintable(verdict));
}

void TestPdfSigner::keyIsRefused_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("certificate");
    QTest::addColumn<QByteArray>("password");
    QTest::newRow("key without a password") << "plain.pem"
                                            << "cert.pem" << QByteArray("anything");
    QTest::newRow("wrong password") << "key.pem"
                                    << "cert.pem" << QByteArray("guess");
    QTest::newRow("no password") << "key.pem"
                                 << "cert.pem" << QByteArray();
    QTest::newRow("key of another certificate") << "other.pem"
                                                << "cert.pem" << kPassword;
    QTest::newRow("missing key file") << "none.pem"
                                      << "cert.pem" << kPassword;
    QTest::newRow("PKCS#12, wrong password") << "key.p12" << QString() << QByteArray("guess");
}

void TestPdfSigner::keyIsRefused()
{
    QFETCH(QString, key);
    QFETCH(QString, certificate);
    QFETCH(QByteArray, password);
    QString error;
    const SigningKey signing = certificate.isEmpty()
        ? SigningKey::fromPkcs12(path(key), password, &error)
        : SigningKey::fromPem(path(key), path(certificate), password, &error);
    QVERIFY(signing.isNull());
    QVERIFY(!error.isEmpty());
    const SignResult result = signPdf(m_certificate, signing, SignatureLook {});
    QVERIFY(!result.ok());
    QVERIFY(result.pdf.isEmpty());
}

void TestPdfSigner::otherSignatoryIsRefused()
{
    SignatureLook look;
    look.signatory = QStringLiteral("李 审核员");
    const SignResult result = signPdf(m_certificate, pemKey(), look);
    QVERIFY(!result.ok());
    QVERIFY(result.pdf.isEmpty());
    QVERIFY2(result.error.contains(look.signatory), qPrintable(result.error));
    QVERIFY2(result.error.contains(kSignatory), qPrintable(result.error));
}

QTEST_MAIN(TestPdfSigner)
#include "tst_pdfsigner.moc"
