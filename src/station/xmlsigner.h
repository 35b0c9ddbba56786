#pragma once

#include <QByteArray>
#include <QString>

// Signs an XML document, the machine-readable certificate, with the lab's key: an enveloped XML-DSig
// signature (exclusive C14N, RSA-SHA256 or ECDSA-SHA256 by the key's kind, SHA-256 digest over the whole
// document) appended to the root, carrying the signing certificate, as `xmlsec1 --verify --trusted-pem CERT`
// checks it. The only file that includes libxmlsec1, whose API changes between its major versions. Any
// thread; the library is set up once, on first use, and stays for the process.
class SigningKey;

namespace XmlSigner {

struct Result
{
    QByteArray xml; // the signed document; empty on failure
    QString error; // why it failed, in the library's words; empty on success

    bool ok() const { return error.isEmpty(); }
};

// With a key already opened for the PDF's signature: the same key signs the DCC, and its password was
// forgotten when it opened.
Result sign(const QByteArray &xml, const SigningKey &key);

} // namespace XmlSigner
