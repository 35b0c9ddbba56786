#pragma once

#include <QString>

class Settings;

// Where the key that signs certificates is kept: entries "SignKind", "SignKeyFile", "SignCertificateFile"
// and "SignPkcs12File". Only paths: the key's password is asked at each signature and never stored.
struct SigningSettings
{
    enum class Kind {
        None, // certificates are issued unsigned
        Pem, // a PEM key file and a PEM certificate file
        Pkcs12, // one PKCS#12 file with both
    };

    Kind kind = Kind::None;
    QString keyFile;
    QString certificateFile;
    QString pkcs12File;

    // Whether a key is named completely for its kind.
    bool isConfigured() const;

    static SigningSettings read(const Settings &settings);
    void store(Settings &settings) const;

    bool operator==(const SigningSettings &other) const
    {
        return kind == other.kind && keyFile == other.keyFile && certificateFile == other.certificateFile
            && pkcs12File == other.pkcs12File;
    }
    bool operator!=(const SigningSettings &other) const { return !(*this == other); }
};
