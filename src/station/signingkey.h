#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <memory>

struct evp_pkey_st;
struct x509_st;
struct stack_st_X509;

// A signing key with its certificate (and the chain a PKCS#12 file carries), read from PEM files or a
// PKCS#12 file with a password the caller holds: the password is used to open the key and never kept.
// Move-only; owns its OpenSSL objects; any thread, one at a time.
class SigningKey
{
    Q_DECLARE_TR_FUNCTIONS(SigningKey)

public:
    SigningKey();
    ~SigningKey();
    SigningKey(SigningKey &&other) noexcept;
    SigningKey &operator=(SigningKey &&other) noexcept;

    // The key in `keyFile` (PEM, encrypted or not) and the certificate in `certificateFile` (PEM); null,
    // with the reason in `error`, when either cannot be read or they do not belong together.
    static SigningKey fromPem(
        const QString &keyFile, const QString &certificateFile, const QByteArray &password, QString *error);
    // The key, certificate and chain in a PKCS#12 file.
    static SigningKey fromPkcs12(const QString &file, const QByteArray &password, QString *error);

    bool isNull() const { return !m_key || !m_certificate; }
    // The certificate subject's common name: the signatory the signature names.
    QString commonName() const;

    // A detached CMS (PKCS#7) signature over `data`, DER-encoded, with the signing certificate and the
    // chain inside; empty, with the reason, on failure.
    QByteArray signDetached(const QByteArray &data, QString *error) const;

    // Borrowed, for the XML signature's library, which takes its own references.
    evp_pkey_st *openSslKey() const { return m_key.get(); }
    x509_st *openSslCertificate() const { return m_certificate.get(); }

private:
    struct Free
    {
        void operator()(evp_pkey_st *key) const;
        void operator()(x509_st *certificate) const;
        void operator()(stack_st_X509 *chain) const;
    };

    std::unique_ptr<evp_pkey_st, Free> m_key;
    std::unique_ptr<x509_st, Free> m_certificate;
    std::unique_ptr<stack_st_X509, Free> m_chain;
};
