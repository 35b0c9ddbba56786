#pragma once

#include <QString>

class Settings;

// The lab a certificate names and numbers itself after: entries "LabName", "LabAddress" and "LabPrefix"
// of the "Chart" element. The certificate counter is no part of it.
struct LabSettings
{
    QString name;
    QString address;
    QString prefix; // 1 to 12 letters or digits; empty until someone names the lab

    // A lab whose prefix is known: its certificates can be numbered.
    bool isKnown() const { return !prefix.isEmpty(); }
    // Whether `prefix` may start a certificate number.
    static bool isValidPrefix(const QString &prefix);

    static LabSettings read(const Settings &settings);
    void store(Settings &settings) const;

    bool operator==(const LabSettings &other) const
    {
        return name == other.name && address == other.address && prefix == other.prefix;
    }
    bool operator!=(const LabSettings &other) const { return !(*this == other); }
};
