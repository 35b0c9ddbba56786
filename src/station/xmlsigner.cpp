#include "xmlsigner.h"

#include "station/signingkey.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <memory>
#include <mutex>
#include <openssl/evp.h>
#include <openssl/x509.h>
#include <xmlsec/crypto.h>
#include <xmlsec/errors.h>
#include <xmlsec/openssl/evp.h>
#include <xmlsec/openssl/x509.h>
#include <xmlsec/templates.h>
#include <xmlsec/xmldsig.h>
#include <xmlsec/xmlsec.h>
#include <xmlsec/xmltree.h>

namespace {

// The library reports through a callback; each signing gathers what its own thread was told.
thread_local QString t_errors;

void collectError(const char * /*file*/, int /*line*/, const char *func, const char *errorObject,
    const char *errorSubject, int reason, const char *msg)
{
    if (!t_errors.isEmpty())
        t_errors += QStringLiteral("; ");
    t_errors += QStringLiteral("%1: %2 (%3, %4, reason %5)")
                    .arg(QString::fromUtf8(func ? func : "?"), QString::fromUtf8(msg ? msg : ""),
                        QString::fromUtf8(errorObject ? errorObject : "-"),
                        QString::fromUtf8(errorSubject ? errorSubject : "-"))
                    .arg(reason);
}

// Set up once and never torn down: a later signing on another thread would find it gone.
QString initialise()
{
    static std::once_flag once;
    static QString failure;
    std::call_once(once, [] {
        xmlInitParser();
        if (xmlSecInit() < 0) {
            failure = QStringLiteral("xmlsec could not start");
            return;
        }
        if (xmlSecCheckVersion() != 1)
            failure = QStringLiteral("xmlsec is not the version this program was built with");
        else if (xmlSecCryptoAppInit(nullptr) < 0 || xmlSecCryptoInit() < 0)
            failure = QStringLiteral("xmlsec's OpenSSL back end could not start");
        // Last: starting up installs the library's own, which prints to stderr.
        xmlSecErrorsSetCallback(collectError);
    });
    return failure;
}

struct DocFree
{
    void operator()(xmlDoc *doc) const { xmlFreeDoc(doc); }
};
struct ContextFree
{
    void operator()(xmlSecDSigCtx *context) const { xmlSecDSigCtxDestroy(context); }
};

XmlSigner::Result failed(const QString &what)
{
    XmlSigner::Result result;
    result.error = t_errors.isEmpty() ? what : what + QStringLiteral(": ") + t_errors;
    t_errors.clear();
    return result;
}

// The opened key as the library takes it, with its certificate; null with the reason in *why.
xmlSecKey *keyOf(const SigningKey &signingKey, QString *why)
{
    // The key data and the certificate list each take a reference of their own.
    EVP_PKEY_up_ref(signingKey.openSslKey());
    xmlSecKeyData *value = xmlSecOpenSSLEvpKeyAdopt(signingKey.openSslKey());
    if (value == nullptr) {
        EVP_PKEY_free(signingKey.openSslKey());
        *why = QStringLiteral("the key is not one the XML signature takes");
        return nullptr;
    }
    xmlSecKey *key = xmlSecKeyCreate();
    if (key == nullptr || xmlSecKeySetValue(key, value) < 0) {
        xmlSecKeyDataDestroy(value);
        if (key != nullptr)
            xmlSecKeyDestroy(key);
        *why = QStringLiteral("the key does not load");
        return nullptr;
    }
    xmlSecKeyData *x509 = xmlSecKeyEnsureData(key, xmlSecOpenSSLKeyDataX509Id);
    X509 *certificate = X509_dup(signingKey.openSslCertificate());
    if (x509 == nullptr || certificate == nullptr
        || xmlSecOpenSSLKeyDataX509AdoptCert(x509, certificate) < 0) {
        X509_free(certificate);
        xmlSecKeyDestroy(key);
        *why = QStringLiteral("the certificate does not load");
        return nullptr;
    }
    return key;
}

XmlSigner::Result signWith(const QByteArray &xml, const SigningKey &signingKey)
{
    const QString failure = initialise();
    if (!failure.isEmpty())
        return failed(failure);
    t_errors.clear();

    // No network and no entity expansion: the document is ours, but the parser need not trust it.
    std::unique_ptr<xmlDoc, DocFree> doc(
        // Huge: the embedded PDF is one text node, which libxml2 otherwise refuses beyond 10 MB.
        xmlReadMemory(
            xml.constData(), xml.size(), "certificate.xml", nullptr, XML_PARSE_NONET | XML_PARSE_HUGE));
    xmlNode *root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
    if (root == nullptr)
        return failed(QStringLiteral("the document does not read as XML"));

    // The PDF's CMS signs with either kind of key; the XML signature names its algorithm.
    const bool elliptic = EVP_PKEY_base_id(signingKey.openSslKey()) == EVP_PKEY_EC;
    xmlNode *signature = xmlSecTmplSignatureCreate(doc.get(), xmlSecTransformExclC14NId,
        elliptic ? xmlSecTransformEcdsaSha256Id : xmlSecTransformRsaSha256Id, nullptr);
    if (signature == nullptr)
        return failed(QStringLiteral("no signature template"));
    xmlAddChild(root, signature);
    xmlNode *reference = xmlSecTmplSignatureAddReference(
        signature, xmlSecTransformSha256Id, nullptr, reinterpret_cast<const xmlChar *>(""), nullptr);
    xmlNode *keyInfo = xmlSecTmplSignatureEnsureKeyInfo(signature, nullptr);
    xmlNode *x509 = keyInfo ? xmlSecTmplKeyInfoAddX509Data(keyInfo) : nullptr;
    if (reference == nullptr
        || xmlSecTmplReferenceAddTransform(reference, xmlSecTransformEnvelopedId) == nullptr
        || xmlSecTmplReferenceAddTransform(reference, xmlSecTransformExclC14NId) == nullptr || x509 == nullptr
        || xmlSecTmplX509DataAddCertificate(x509) == nullptr)
        return failed(QStringLiteral("no signature template"));

    std::unique_ptr<xmlSecDSigCtx, ContextFree> context(xmlSecDSigCtxCreate(nullptr));
    if (!context)
        return failed(QStringLiteral("no signing context"));
    QString error;
    context->signKey = keyOf(signingKey, &error); // the context frees it
    if (context->signKey == nullptr)
        return failed(error);
    if (xmlSecDSigCtxSign(context.get(), signature) < 0)
        return failed(QStringLiteral("signing failed"));

    xmlChar *buffer = nullptr;
    int size = 0;
    xmlDocDumpMemoryEnc(doc.get(), &buffer, &size, "UTF-8");
    if (buffer == nullptr)
        return failed(QStringLiteral("the signed document could not be written"));
    XmlSigner::Result result;
    result.xml = QByteArray(reinterpret_cast<const char *>(buffer), size);
    xmlFree(buffer);
    return result;
}

} // namespace

XmlSigner::Result XmlSigner::sign(const QByteArray &xml, const SigningKey &signingKey)
{
    if (signingKey.isNull())
        return failed(QStringLiteral("no signing key"));
    return signWith(xml, signingKey);
}
