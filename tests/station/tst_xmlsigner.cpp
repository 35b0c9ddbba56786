#include "samplerecord.h"
#include "station/dccwriter.h"
#include "station/signingkey.h"
#include "station/xmlsigner.h"

#include <QTemporaryDir>
#include <QtTest>

// The machine-readable certificate signed with the key the signatory opened for the PDF, whatever its
// kind: xmlsec1 verifies it against the signing certificate, it still validates against the schema, and
// one value edited after signing is caught.
class TestXmlSigner : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void signedCertificateVerifiesAndValidates_data();
    void signedCertificateVerifiesAndValidates();
    void editAfterSigningIsCaught_data();
    void editAfterSigningIsCaught();

private:
    // A key of the kind `newKey` (openssl req's -newkey arguments) and its certificate, opened.
    SigningKey makeKey(const QString &name, const QStringList &newKey);
    QString save(const QByteArray &xml, const QString &name);
    // xmlsec1's verdict on `path` against `certificate`: its exit code, its output in *output.
    int verify(const QString &path, const QString &certificate, QByteArray *output);

    QTemporaryDir m_dir;
    QHash<QString, QByteArray> m_signed; // by the kind of key that signed it: "rsa", "ec"
};

SigningKey TestXmlSigner::makeKey(const QString &name, const QStringList &newKey)
{
    QByteArray output;
    const int status = runTool(QStringLiteral("openssl"),
        QStringList {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey")} + newKey
            + QStringList {QStringLiteral("-keyout"), m_dir.filePath(name + QStringLiteral("-key.pem")),
                QStringLiteral("-out"), m_dir.filePath(name + QStringLiteral("-cert.pem")),
                QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                QStringLiteral("/CN=Test Signatory"), QStringLiteral("-passout"),
                QStringLiteral("pass:secret")},
        &output);
    if (status != 0)
        qWarning("%s", output.constData());
    QString error;
    SigningKey key = SigningKey::fromPem(m_dir.filePath(name + QStringLiteral("-key.pem")),
        m_dir.filePath(name + QStringLiteral("-cert.pem")), "secret", &error);
    if (key.isNull())
        qWarning("%s", qPrintable(error));
    return key;
}

void TestXmlSigner::initTestCase()
{
    QVERIFY(m_dir.isValid());
    DccWriter::Input input;
    input.record = sampleRecord();
    input.pdf = QByteArrayLiteral("%PDF-1.7 signed elsewhere\n%%EOF\n");
    input.auditHead = QString(64, QLatin1Char('c'));
    QString error;
    const QByteArray dcc = DccWriter::write(input, &error);
    QVERIFY2(!dcc.isEmpty(), qPrintable(error));
    // An elliptic-curve key must not sign the PDF and then fail the set's write at the DCC.
    for (const auto &[name, newKey] :
        {std::pair {QStringLiteral("rsa"), QStringList {QStringLiteral("rsa:2048")}},
            std::pair {QStringLiteral("ec"),
                QStringList {QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                    QStringLiteral("ec_paramgen_curve:P-256")}}}) {
        const SigningKey key = makeKey(name, newKey);
        QVERIFY(!key.isNull());
        const XmlSigner::Result result = XmlSigner::sign(dcc, key);
        QVERIFY2(result.ok(), qPrintable(result.error));
        m_signed.insert(name, result.xml);
    }
}

QString TestXmlSigner::save(const QByteArray &xml, const QString &name)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(xml) != xml.size())
        return QString();
    return path;
}

int TestXmlSigner::verify(const QString &path, const QString &certificate, QByteArray *output)
{
    return runTool(QStringLiteral(XMLSEC1_PATH),
        {QStringLiteral("--verify"), QStringLiteral("--trusted-pem"), m_dir.filePath(certificate), path},
        output);
}

void TestXmlSigner::signedCertificateVerifiesAndValidates_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("algorithm");
    QTest::newRow("RSA") << QStringLiteral("rsa") << QByteArray("xmldsig-more#rsa-sha256");
    QTest::newRow("EC P-256") << QStringLiteral("ec") << QByteArray("xmldsig-more#ecdsa-sha256");
}

void TestXmlSigner::signedCertificateVerifiesAndValidates()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, algorithm);
    const QByteArray xml = m_signed.value(name);
    QVERIFY(xml.contains("http://www.w3.org/2001/10/xml-exc-c14n#"));
    QVERIFY(xml.contains("http://www.w3.org/2000/09/xmldsig#enveloped-signature"));
    QVERIFY(xml.contains(algorithm));
    const QString path = save(xml, name + QStringLiteral(".dcc.xml"));
    QVERIFY(!path.isEmpty());
    QByteArray output;
    QVERIFY2(verify(path, name + QStringLiteral("-cert.pem"), &output) == 0, output.constData());
    QVERIFY2(output.contains("OK"), output.constData());
    const int status = runTool(QStringLiteral(XMLLINT_PATH),
        {QStringLiteral("--nonet"), QStringLiteral("--noout"), QStringLiteral("--schema"),
            QStringLiteral(DCC_SCHEMA_DIR "/dcc_3_2_0.xsd"), path},
        &output);
    QVERIFY2(status == 0, output.constData());
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
    QCOMPARE(m_signed.value(QStringLiteral("rsa")).count(from), 1);
    QByteArray edited = m_signed.value(QStringLiteral("rsa"));
    edited.replace(from, to);
    const QString path = save(edited, QStringLiteral("edited.dcc.xml"));
    QVERIFY(!path.isEmpty());
    QByteArray output;
    const int status = verify(path, QStringLiteral("rsa-cert.pem"), &output);
    QVERIFY2(status != 0 && status != -1, output.constData());
    QVERIFY2(output.contains("FAIL"), output.constData());
}

QTEST_GUILESS_MAIN(TestXmlSigner)
#include "tst_xmlsigner.moc"
