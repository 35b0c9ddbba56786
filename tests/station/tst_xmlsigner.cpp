#include "samplerecord.h"
#include "station/dccwriter.h"
#include "station/signingkey.h"
#include "station/xmlsigner.h"

#include <QTemporaryDir>
#include <QtTest>

// The machine-readable certificate signed with the lab's key: xmlsec1 verifies it against the signing
// certificate, still finds it valid against the schema, and catches one value edited after signing.
class TestXmlSigner : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void signedCertificateVerifiesAndValidates();
    void pkcs12KeySignsAsItsPemFilesDo();
    void keyOpenedForThePdfSignsTheTwin_data();
    void keyOpenedForThePdfSignsTheTwin();
    void editAfterSigningIsCaught_data();
    void editAfterSigningIsCaught();
    void wrongPasswordOrMissingKeyIsReported_data();
    void wrongPasswordOrMissingKeyIsReported();

private:
    QString save(const QByteArray &xml, const QString &name);
    // xmlsec1's verdict on `path`: its exit code, its output in *output.
    int verify(const QString &path, QByteArray *output);

    QTemporaryDir m_dir;
    QString m_key;
    QString m_certificate;
    QByteArray m_signed;
};

void TestXmlSigner::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_key = m_dir.filePath(QStringLiteral("key.pem"));
    m_certificate = m_dir.filePath(QStringLiteral("certificate.pem"));
    QByteArray output;
    const int status = runTool(QStringLiteral("openssl"),
        {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
            QStringLiteral("rsa:2048"), QStringLiteral("-keyout"), m_key, QStringLiteral("-out"),
            m_certificate, QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
            QStringLiteral("/CN=Test Signatory"), QStringLiteral("-passout"), QStringLiteral("pass:secret")},
        &output);
    QVERIFY2(status == 0, output.constData());

    DccWriter::Input input;
    input.record = sampleRecord();
    input.pdf = QByteArrayLiteral("%PDF-1.7 signed elsewhere\n%%EOF\n");
    input.auditHead = QString(64, QLatin1Char('c'));
    QString error;
    const QByteArray dcc = DccWriter::write(input, &error);
    QVERIFY2(!dcc.isEmpty(), qPrintable(error));
    const XmlSigner::Result result = XmlSigner::sign(dcc, m_key, m_certificate, "secret");
    QVERIFY2(result.ok(), qPrintable(result.error));
    m_signed = result.xml;
}

QString TestXmlSigner::save(const QByteArray &xml, const QString &name)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(xml) != xml.size())
        return QString();
    return path;
}

int TestXmlSigner::verify(const QString &path, QByteArray *output)
{
    return runTool(QStringLiteral(XMLSEC1_PATH),
        {QStringLiteral("--verify"), QStringLiteral("--trusted-pem"), m_certificate, path}, output);
}

void TestXmlSigner::signedCertificateVerifiesAndValidates()
{
    const QString path = save(m_signed, QStringLiteral("signed.dcc.xml"));
    QVERIFY(!path.isEmpty());
    QByteArray output;
    QVERIFY2(verify(path, &output) == 0, output.constData());
    QVERIFY2(output.contains("OK"), output.constData());
    QVERIFY(m_signed.contains("http://www.w3.org/2001/10/xml-exc-c14n#"));
    QVERIFY(m_signed.contains("http://www.w3.org/2001/04/xmldsig-more#rsa-sha256"));
    QVERIFY(m_signed.contains("http://www.w3.org/2000/09/xmldsig#enveloped-signature"));

    const int status = runTool(QStringLiteral(XMLLINT_PATH),
        {QStringLiteral("--nonet"), QStringLiteral("--noout"), QStringLiteral("--schema"),
            QStringLiteral(DCC_SCHEMA_DIR "/dcc_3_2_0.xsd"), path},
        &output);
    QVERIFY2(status == 0, output.constData());
}

void TestXmlSigner::pkcs12KeySignsAsItsPemFilesDo()
{
    const QString bundle = m_dir.filePath(QStringLiteral("key.p12"));
    QByteArray output;
    QVERIFY2(runTool(QStringLiteral("openssl"),
                 {QStringLiteral("pkcs12"), QStringLiteral("-export"), QStringLiteral("-inkey"), m_key,
                     QStringLiteral("-passin"), QStringLiteral("pass:secret"), QStringLiteral("-in"),
                     m_certificate, QStringLiteral("-out"), bundle, QStringLiteral("-passout"),
                     QStringLiteral("pass:secret")},
                 &output)
            == 0,
        output.constData());
    QVERIFY(!XmlSigner::signPkcs12(m_signed, bundle, "wrong").ok());
    DccWriter::Input input;
    input.record = sampleRecord();
    QString error;
    const XmlSigner::Result result = XmlSigner::signPkcs12(DccWriter::write(input, &error), bundle, "secret");
    QVERIFY2(result.ok(), qPrintable(result.error));
    const QString path = save(result.xml, QStringLiteral("pkcs12.dcc.xml"));
    QVERIFY(!path.isEmpty());
    QVERIFY2(verify(path, &output) == 0, output.constData());
}

// The key the signatory opened for the PDF signs the DCC too, whatever its kind: an elliptic-curve key
// must not sign the PDF and then fail the set's write at the DCC.
void TestXmlSigner::keyOpenedForThePdfSignsTheTwin_data()
{
    QTest::addColumn<QStringList>("newKey");
    QTest::newRow("RSA") << QStringList {QStringLiteral("rsa:2048")};
    QTest::newRow("EC P-256") << QStringList {
        QStringLiteral("ec"), QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:P-256")};
}

void TestXmlSigner::keyOpenedForThePdfSignsTheTwin()
{
    QFETCH(QStringList, newKey);
    const QString tag = QString::fromLatin1(QTest::currentDataTag()).left(2);
    const QString key = m_dir.filePath(tag + QStringLiteral("-opened-key.pem"));
    const QString certificate = m_dir.filePath(tag + QStringLiteral("-opened-cert.pem"));
    QByteArray output;
    QVERIFY2(
        runTool(QStringLiteral("openssl"),
            QStringList {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey")} + newKey
                + QStringList {QStringLiteral("-keyout"), key, QStringLiteral("-out"), certificate,
                    QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                    QStringLiteral("/CN=Test Signatory"), QStringLiteral("-passout"),
                    QStringLiteral("pass:secret")},
            &output)
            == 0,
        output.constData());
    QString error;
    const SigningKey opened = SigningKey::fromPem(key, certificate, "secret", &error);
    QVERIFY2(!opened.isNull(), qPrintable(error));
    DccWriter::Input input;
    input.record = sampleRecord();
    const XmlSigner::Result result = XmlSigner::sign(DccWriter::write(input, &error), opened);
    QVERIFY2(result.ok(), qPrintable(result.error));
    const QString path = save(result.xml, tag + QStringLiteral("-opened.dcc.xml"));
    QVERIFY2(runTool(QStringLiteral(XMLSEC1_PATH),
                 {QStringLiteral("--verify"), QStringLiteral("--trusted-pem"), certificate, path}, &output)
            == 0,
        output.constData());
}

void TestXmlSigner::editAfterSigningIsCaught_data()
{
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::newRow("a reference value")
        << QByteArray("<si:valueXMLList>52.07 ") << QByteArray("<si:valueXMLList>52.08 ");
    QTest::newRow("the certificate number")
        << QByteArray(">OST-20261209-007<") << QByteArray(">OST-20261209-008<");
    QTest::newRow("the customer") << QByteArray("华东计量") << QByteArray("华西计量");
    QTest::newRow("the embedded PDF")
        << QByteArray("<dcc:dataBase64>JVBE") << QByteArray("<dcc:dataBase64>JVBF");
}

void TestXmlSigner::editAfterSigningIsCaught()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QCOMPARE(m_signed.count(from), 1);
    QByteArray edited = m_signed;
    edited.replace(from, to);
    const QString path = save(edited, QStringLiteral("edited.dcc.xml"));
    QVERIFY(!path.isEmpty());
    QByteArray output;
    const int status = verify(path, &output);
    QVERIFY2(status != 0 && status != -1, output.constData());
    QVERIFY2(output.contains("FAIL"), output.constData());
}

void TestXmlSigner::wrongPasswordOrMissingKeyIsReported_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("password");
    QTest::newRow("a wrong password") << QString() << QByteArray("wrong");
    QTest::newRow("no password") << QString() << QByteArray();
    QTest::newRow("no key file") << QStringLiteral("missing.pem") << QByteArray("secret");
}

void TestXmlSigner::wrongPasswordOrMissingKeyIsReported()
{
    QFETCH(QString, key);
    QFETCH(QByteArray, password);
    const XmlSigner::Result result
        = XmlSigner::sign(m_signed, key.isEmpty() ? m_key : m_dir.filePath(key), m_certificate, password);
    QVERIFY(!result.ok());
    QVERIFY(result.xml.isEmpty());
}

QTEST_GUILESS_MAIN(TestXmlSigner)
#include "tst_xmlsigner.moc"
