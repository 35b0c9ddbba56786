#pragma once

#include <QString>

class Settings;

// The lab a certificate names and numbers itself after: entries "LabName", "LabAddress", "LabPrefix" and
// "LabCountry" of the "Chart" element. The certificate counter is no part of it.
struct LabSettings
{
    QString name;
    QString address;
    QString prefix; // 1 to 12 letters or digits; empty until someone names the lab
    QString country; // ISO 3166-1 alpha-2 ("CN"), for the machine-readable certificate; empty when not given

    // A lab whose prefix is known: its certificates can be numbered.
    bool isKnown() const { return !prefix.isEmpty(); }
    // Whether `prefix` may start a certificate number.
    static bool isValidPrefix(const QString &prefix);
    // Whether `code` has the form of an ISO 3166-1 alpha-2 code: two capital letters.
    static bool isValidCountry(const QString &code);

    static LabSettings read(const Settings &settings);
    void store(Settings &settings) const;

    bool operator==(const LabSettings &other) const
    {
        return name == other.name && address == other.address && prefix == other.prefix
            && country == other.country;
    }
    bool operator!=(const LabSettings &other) const { return !(*this == other); }
};
