#include "settings/settings.h"
#include "settings/signingsettings.h"

#include <QTest>

Q_DECLARE_METATYPE(SigningSettings::Kind)

// What the stored Sign* entries read as: the paths of the key, never a password.
class TestSigningSettings : public QObject
{
    Q_OBJECT

private slots:
    void storedKeyReadsBack_data();
    void storedKeyReadsBack();
    void unknownKindSignsNothing();
};

void TestSigningSettings::storedKeyReadsBack_data()
{
    QTest::addColumn<SigningSettings::Kind>("kind");
    QTest::addColumn<QString>("keyFile");
    QTest::addColumn<QString>("certificateFile");
    QTest::addColumn<QString>("pkcs12File");
    QTest::addColumn<bool>("configured");

    QTest::newRow("PEM key and certificate") << SigningSettings::Kind::Pem << "/keys/张.pem"
                                             << "/keys/张-cert.pem"
                                             << "" << true;
    QTest::newRow("PEM without its certificate") << SigningSettings::Kind::Pem << "/keys/k.pem"
                                                 << ""
                                                 << "" << false;
    QTest::newRow("PKCS#12") << SigningSettings::Kind::Pkcs12 << ""
                             << ""
                             << "/keys/sign.p12" << true;
}

void TestSigningSettings::storedKeyReadsBack()
{
    QFETCH(SigningSettings::Kind, kind);
    QFETCH(QString, keyFile);
    QFETCH(QString, certificateFile);
    QFETCH(QString, pkcs12File);
    Settings settings;
    SigningSettings stored;
    stored.kind = kind;
    stored.keyFile = keyFile;
    stored.certificateFile = certificateFile;
    stored.pkcs12File = pkcs12File;
    stored.store(settings);
    const SigningSettings read = SigningSettings::read(settings);
    QVERIFY(read == stored);
    QTEST(read.isConfigured(), "configured");
}

void TestSigningSettings::unknownKindSignsNothing()
{
    Settings settings;
    settings.setValue(QStringLiteral("SignKind"), QStringLiteral("smartcard"));
    settings.setValue(QStringLiteral("SignKeyFile"), QStringLiteral("/k.pem"));
    settings.setValue(QStringLiteral("SignCertificateFile"), QStringLiteral("/c.pem"));
    const SigningSettings read = SigningSettings::read(settings);
    QCOMPARE(read.kind, SigningSettings::Kind::None);
    QVERIFY(!read.isConfigured());
}

QTEST_GUILESS_MAIN(TestSigningSettings)
#include "tst_signingsettings.moc"
