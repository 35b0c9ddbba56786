#include "signingsettings.h"

#include "settings/settings.h"

#include <utility>

namespace {

const QString kKindKey = QStringLiteral("SignKind");
const QString kKeyFileKey = QStringLiteral("SignKeyFile");
const QString kCertificateFileKey = QStringLiteral("SignCertificateFile");
const QString kPkcs12FileKey = QStringLiteral("SignPkcs12File");

// Names as the settings file holds them; a name, not an index, so that a later kind cannot shift them.
const std::pair<SigningSettings::Kind, const char *> kKindNames[] = {
    {SigningSettings::Kind::None, "none"},
    {SigningSettings::Kind::Pem, "pem"},
    {SigningSettings::Kind::Pkcs12, "pkcs12"},
};

} // namespace

bool SigningSettings::isConfigured() const
{
    switch (kind) {
    case Kind::None:
        break;
    case Kind::Pem:
        return !keyFile.isEmpty() && !certificateFile.isEmpty();
    case Kind::Pkcs12:
        return !pkcs12File.isEmpty();
    }
    return false;
}

SigningSettings SigningSettings::read(const Settings &settings)
{
    SigningSettings signing;
    const QString kind = settings.value(kKindKey, QString());
    // An unknown kind, edited in by hand, signs nothing.
    for (const auto &[candidate, name] : kKindNames)
        if (kind == QLatin1String(name))
            signing.kind = candidate;
    signing.keyFile = settings.value(kKeyFileKey, QString());
    signing.certificateFile = settings.value(kCertificateFileKey, QString());
    signing.pkcs12File = settings.value(kPkcs12FileKey, QString());
    return signing;
}

void SigningSettings::store(Settings &settings) const
{
    for (const auto &[candidate, name] : kKindNames)
        if (candidate == kind)
            settings.setValue(kKindKey, QString::fromLatin1(name));
    settings.setValue(kKeyFileKey, keyFile);
    settings.setValue(kCertificateFileKey, certificateFile);
    settings.setValue(kPkcs12FileKey, pkcs12File);
}
