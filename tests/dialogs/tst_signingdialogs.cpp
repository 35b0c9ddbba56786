#include "dialogs/amendcertificatedialog.h"
#include "dialogs/signconfirmdialog.h"
#include "dialogs/signingsettingsdialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

template<typename T>
T *child(const QWidget &parent, const char *name)
{
    T *found = parent.findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child named %s", name);
    return found;
}

} // namespace

Q_DECLARE_METATYPE(SigningSettings::Kind)

// The key's settings dialog takes only files that exist for the chosen kind and hands them back; the
// confirmation signs only with a password, and says which meaning was chosen.
class TestSigningDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void keyFilesMustExist_data();
    void keyFilesMustExist();
    void confirmationNeedsAPassword();
    void amendmentFieldsReadBack();

private:
    QTemporaryDir m_dir;
};

void TestSigningDialogs::initTestCase()
{
    QVERIFY(m_dir.isValid());
    for (const char *name : {"key.pem", "cert.pem", "sign.p12"}) {
        QFile file(m_dir.filePath(QString::fromLatin1(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
}

void TestSigningDialogs::keyFilesMustExist_data()
{
    QTest::addColumn<SigningSettings::Kind>("kind");
    QTest::addColumn<QString>("keyFile");
    QTest::addColumn<QString>("certificateFile");
    QTest::addColumn<QString>("pkcs12File");
    QTest::addColumn<QString>("problem"); // its start; empty: taken

    QTest::newRow("none needs no file") << SigningSettings::Kind::None << ""
                                        << ""
                                        << ""
                                        << "";
    QTest::newRow("PEM pair") << SigningSettings::Kind::Pem << "key.pem"
                              << "cert.pem"
                              << ""
                              << "";
    QTest::newRow("PEM without a certificate") << SigningSettings::Kind::Pem << "key.pem"
                                               << ""
                                               << ""
                                               << "请选择证书文件";
    QTest::newRow("PEM key that is not there") << SigningSettings::Kind::Pem << "gone.pem"
                                               << "cert.pem"
                                               << ""
                                               << "私钥文件不存在";
    QTest::newRow("PKCS#12") << SigningSettings::Kind::Pkcs12 << ""
                             << ""
                             << "sign.p12"
                             << "";
    QTest::newRow("PKCS#12 without a file") << SigningSettings::Kind::Pkcs12 << "key.pem"
                                            << "cert.pem"
                                            << ""
                                            << "请选择PKCS#12 文件";
}

void TestSigningDialogs::keyFilesMustExist()
{
    QFETCH(SigningSettings::Kind, kind);
    QFETCH(QString, keyFile);
    QFETCH(QString, certificateFile);
    QFETCH(QString, pkcs12File);
    QFETCH(QString, problem);
    const auto inDir = [this](const QString &name) { return name.isEmpty() ? name : m_dir.filePath(name); };
    SigningSettings settings;
    settings.kind = kind;
    settings.keyFile = inDir(keyFile);
    settings.certificateFile = inDir(certificateFile);
    settings.pkcs12File = inDir(pkcs12File);
    const SigningSettingsDialog dialog(settings);
    QVERIFY(dialog.settings() == settings);
    QVERIFY2(problem.isEmpty() ? dialog.problem().isEmpty() : dialog.problem().startsWith(problem),
        qPrintable(dialog.problem()));
    // Only the chosen kind's files can be edited.
    QCOMPARE(child<QLineEdit>(dialog, "lineEditKeyFile")->isEnabled(), kind == SigningSettings::Kind::Pem);
    QCOMPARE(
        child<QLineEdit>(dialog, "lineEditPkcs12File")->isEnabled(), kind == SigningSettings::Kind::Pkcs12);
}

void TestSigningDialogs::confirmationNeedsAPassword()
{
    SignConfirmDialog dialog(QStringLiteral("TL-20261210-001"), QStringLiteral("王 签发"),
        QStringLiteral("/keys/key.pem"), QStringLiteral("密码不对"), true);
    const auto button = [](const SignConfirmDialog &box, QDialogButtonBox::ButtonRole role) {
        QAbstractButton *found = nullptr;
        for (QAbstractButton *button : child<QDialogButtonBox>(box, "buttonBox")->buttons())
            found = child<QDialogButtonBox>(box, "buttonBox")->buttonRole(button) == role ? button : found;
        return found;
    };
    QAbstractButton *sign = button(dialog, QDialogButtonBox::AcceptRole);
    QVERIFY(sign);
    // Declining at issue issues the certificate; declining later only closes the box.
    QCOMPARE(button(dialog, QDialogButtonBox::RejectRole)->text(), QStringLiteral("不签名签发"));
    const SignConfirmDialog later(QString(), QString(), QString(), QString(), false);
    QCOMPARE(button(later, QDialogButtonBox::RejectRole)->text(), QStringLiteral("取消"));
    QVERIFY(!sign->isEnabled());
    QCOMPARE(child<QLabel>(dialog, "labelRefusal")->text(), QStringLiteral("密码不对"));
    QTest::keyClicks(child<QLineEdit>(dialog, "lineEditPassword"), QStringLiteral("geheim"));
    QVERIFY(sign->isEnabled());
    QCOMPARE(dialog.password(), QByteArray("geheim"));
    QVERIFY(!dialog.reviewed());
    child<QComboBox>(dialog, "comboBoxMeaning")->setCurrentIndex(1);
    QVERIFY(dialog.reviewed());
}

void TestSigningDialogs::amendmentFieldsReadBack()
{
    using Field = AmendCertificateDialog::Field;
    AmendCertificateDialog dialog(QStringLiteral("TL-20261210-001"));
    const Field fields[] = {Field::Customer, Field::CustomerAddress, Field::Make, Field::Model, Field::Serial,
        Field::LabName, Field::LabAddress};
    for (const Field field : fields)
        dialog.setValue(field, QStringLiteral("value %1").arg(int(field)));
    dialog.setValue(Field::CustomerCountry, QStringLiteral("de"));
    dialog.setValue(Field::LabCountry, QStringLiteral("cn"));
    // Each field is its own box: none reads back another's value; codes read back as ISO writes them.
    for (const Field field : fields)
        QCOMPARE(dialog.value(field), QStringLiteral("value %1").arg(int(field)));
    QCOMPARE(dialog.value(Field::CustomerCountry), QStringLiteral("DE"));
    QCOMPARE(dialog.value(Field::LabCountry), QStringLiteral("CN"));
    dialog.setValue(Field::Customer, QStringLiteral("  Customer GmbH "));
    QCOMPARE(dialog.value(Field::Customer), QStringLiteral("Customer GmbH"));
    QCOMPARE(dialog.findChildren<QLineEdit *>().size(), int(std::size(fields)) + 2);
}

QTEST_MAIN(TestSigningDialogs)
#include "tst_signingdialogs.moc"
