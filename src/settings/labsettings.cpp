#include "labsettings.h"

#include "settings/settings.h"

#include <QRegularExpression>

namespace {

const QString kNameKey = QStringLiteral("LabName");
const QString kAddressKey = QStringLiteral("LabAddress");
const QString kPrefixKey = QStringLiteral("LabPrefix");
const QString kCountryKey = QStringLiteral("LabCountry");

} // namespace

bool LabSettings::isValidPrefix(const QString &prefix)
{
    static const QRegularExpression valid(QStringLiteral("^[A-Za-z0-9]{1,12}$"));
    return valid.match(prefix).hasMatch();
}

bool LabSettings::isValidCountry(const QString &code)
{
    static const QRegularExpression valid(QStringLiteral("^[A-Z]{2}$"));
    return valid.match(code).hasMatch();
}

LabSettings LabSettings::read(const Settings &settings)
{
    LabSettings lab;
    lab.name = settings.value(kNameKey, QString());
    lab.address = settings.value(kAddressKey, QString());
    // A prefix edited into config.xml by hand that no certificate number may carry counts as none.
    const QString prefix = settings.value(kPrefixKey, QString());
    lab.prefix = isValidPrefix(prefix) ? prefix : QString();
    // Likewise a country the certificate's schema would refuse.
    const QString country = settings.value(kCountryKey, QString());
    lab.country = isValidCountry(country) ? country : QString();
    return lab;
}

void LabSettings::store(Settings &settings) const
{
    settings.setValue(kNameKey, name);
    settings.setValue(kAddressKey, address);
    settings.setValue(kPrefixKey, prefix);
    settings.setValue(kCountryKey, country);
}
