#include "signingkey.h"

#include <QFile>

#include <algorithm>
#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/pkcs12.h>
#include <openssl/x509.h>

namespace {

// OpenSSL's reason for the last failure, or `fallback` when it gave none.
QString sslError(const QString &fallback)
{
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0)
        return fallback;
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return fallback + QStringLiteral(" (") + QString::fromUtf8(text) + QLatin1Char(')');
}

bool readFile(const QString &path, QByteArray *bytes, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString() + QStringLiteral(": ") + path;
        return false;
    }
    *bytes = file.readAll();
    return true;
}

struct BioFree
{
    void operator()(BIO *bio) const { BIO_free(bio); }
};
using Bio = std::unique_ptr<BIO, BioFree>;

Bio memoryBio(const QByteArray &bytes)
{
    return Bio(BIO_new_mem_buf(bytes.constData(), int(bytes.size())));
}

// Hands OpenSSL the password and notes that it was asked: a key it never asks for is not encrypted.
struct PasswordUse
{
    const QByteArray *password;
    bool asked = false;
};

int givePassword(char *buffer, int size, int /*rwflag*/, void *user)
{
    auto *use = static_cast<PasswordUse *>(user);
    use->asked = true;
    const int length = std::min(size, int(use->password->size()));
    std::copy_n(use->password->constData(), length, buffer);
    return length;
}

// A signature made outside the certificate's validity would be shown as signed and rejected by every
// verifier.
QString validityProblem(const X509 *certificate)
{
    if (X509_cmp_current_time(X509_get0_notBefore(certificate)) >= 0)
        return SigningKey::tr("签名证书尚未生效");
    if (X509_cmp_current_time(X509_get0_notAfter(certificate)) <= 0)
        return SigningKey::tr("签名证书已过期");
    return QString();
}

} // namespace

void SigningKey::Free::operator()(evp_pkey_st *key) const
{
    EVP_PKEY_free(key);
}

void SigningKey::Free::operator()(x509_st *certificate) const
{
    X509_free(certificate);
}

void SigningKey::Free::operator()(stack_st_X509 *chain) const
{
    sk_X509_pop_free(chain, X509_free);
}

SigningKey::SigningKey() = default;
SigningKey::~SigningKey() = default;
SigningKey::SigningKey(SigningKey &&other) noexcept = default;
SigningKey &SigningKey::operator=(SigningKey &&other) noexcept = default;

SigningKey SigningKey::fromPem(
    const QString &keyFile, const QString &certificateFile, const QByteArray &password, QString *error)
{
    SigningKey signing;
    QByteArray keyBytes;
    QByteArray certificateBytes;
    if (!readFile(keyFile, &keyBytes, error) || !readFile(certificateFile, &certificateBytes, error))
        return signing;
    ERR_clear_error();
    PasswordUse use {&password};
    signing.m_key.reset(PEM_read_bio_PrivateKey(memoryBio(keyBytes).get(), nullptr, &givePassword, &use));
    if (!signing.m_key) {
        *error = sslError(tr("无法读取私钥，或密码不对：%1").arg(keyFile));
        return SigningKey();
    }
    // The password is what stands for the signatory: a key that opens without one would sign for anyone.
    if (!use.asked) {
        *error = tr("私钥未加密，任何人都能用它签名：请使用有密码保护的私钥：%1").arg(keyFile);
        return SigningKey();
    }
    signing.m_certificate.reset(
        PEM_read_bio_X509(memoryBio(certificateBytes).get(), nullptr, nullptr, nullptr));
    if (!signing.m_certificate) {
        *error = sslError(tr("无法读取签名证书：%1").arg(certificateFile));
        return SigningKey();
    }
    if (X509_check_private_key(signing.m_certificate.get(), signing.m_key.get()) != 1) {
        *error = sslError(tr("私钥与签名证书不匹配"));
        return SigningKey();
    }
    if (const QString problem = validityProblem(signing.m_certificate.get()); !problem.isEmpty()) {
        *error = problem;
        return SigningKey();
    }
    return signing;
}

SigningKey SigningKey::fromPkcs12(const QString &file, const QByteArray &password, QString *error)
{
    SigningKey signing;
    QByteArray bytes;
    if (!readFile(file, &bytes, error))
        return signing;
    ERR_clear_error();
    std::unique_ptr<PKCS12, void (*)(PKCS12 *)> p12(
        d2i_PKCS12_bio(memoryBio(bytes).get(), nullptr), &PKCS12_free);
    if (!p12) {
        *error = sslError(tr("不是 PKCS#12 文件：%1").arg(file));
        return signing;
    }
    EVP_PKEY *key = nullptr;
    X509 *certificate = nullptr;
    STACK_OF(X509) *chain = nullptr;
    if (PKCS12_parse(p12.get(), password.constData(), &key, &certificate, &chain) != 1) {
        *error = sslError(tr("无法打开 PKCS#12 文件，或密码不对：%1").arg(file));
        return signing;
    }
    signing.m_key.reset(key);
    signing.m_certificate.reset(certificate);
    signing.m_chain.reset(chain);
    if (signing.isNull()) {
        *error = tr("PKCS#12 文件中没有私钥及其证书：%1").arg(file);
        return SigningKey();
    }
    if (const QString problem = validityProblem(signing.m_certificate.get()); !problem.isEmpty()) {
        *error = problem;
        return SigningKey();
    }
    return signing;
}

QString SigningKey::commonName() const
{
    if (!m_certificate)
        return QString();
    const X509_NAME *subject = X509_get_subject_name(m_certificate.get());
    const int index = X509_NAME_get_index_by_NID(subject, NID_commonName, -1);
    if (index < 0)
        return QString();
    unsigned char *utf8 = nullptr;
    const int length
        = ASN1_STRING_to_UTF8(&utf8, X509_NAME_ENTRY_get_data(X509_NAME_get_entry(subject, index)));
    if (length < 0)
        return QString();
    const QString name = QString::fromUtf8(reinterpret_cast<const char *>(utf8), length);
    OPENSSL_free(utf8);
    return name;
}

QByteArray SigningKey::signDetached(const QByteArray &data, QString *error) const
{
    if (isNull()) {
        *error = tr("没有签名密钥");
        return QByteArray();
    }
    ERR_clear_error();
    std::unique_ptr<CMS_ContentInfo, void (*)(CMS_ContentInfo *)> cms(
        CMS_sign(m_certificate.get(), m_key.get(), m_chain.get(), memoryBio(data).get(),
            CMS_DETACHED | CMS_BINARY),
        &CMS_ContentInfo_free);
    if (!cms) {
        *error = sslError(tr("无法生成签名"));
        return QByteArray();
    }
    Bio out(BIO_new(BIO_s_mem()));
    if (i2d_CMS_bio(out.get(), cms.get()) != 1) {
        *error = sslError(tr("无法编码签名"));
        return QByteArray();
    }
    char *bytes = nullptr;
    const long length = BIO_get_mem_data(out.get(), &bytes);
    return QByteArray(bytes, int(length));
}
