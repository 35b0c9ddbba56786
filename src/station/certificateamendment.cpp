#include "certificateamendment.h"

#include "settings/labsettings.h"

#include <utility>

namespace {

// Each correctable field by the name the audit trail gives it.
using Field = QString CertificateAmendment::*;
const std::pair<const char *, Field> kFields[] = {
    {"customer", &CertificateAmendment::customer},
    {"customer address", &CertificateAmendment::customerAddress},
    {"customer country", &CertificateAmendment::customerCountry},
    {"make", &CertificateAmendment::make},
    {"model", &CertificateAmendment::model},
    {"serial", &CertificateAmendment::serial},
    {"lab name", &CertificateAmendment::labName},
    {"lab address", &CertificateAmendment::labAddress},
    {"lab country", &CertificateAmendment::labCountry},
};

} // namespace

CertificateAmendment CertificateAmendment::of(const IssueRecord &record)
{
    const CertificateFields &fields = record.run.header.run.certificate;
    CertificateAmendment amendment;
    amendment.customer = fields.customer;
    amendment.customerAddress = fields.customerAddress;
    amendment.customerCountry = fields.customerCountry;
    amendment.make = fields.make;
    amendment.model = fields.model;
    amendment.serial = fields.serial;
    amendment.labName = record.lab.name;
    amendment.labAddress = record.lab.address;
    amendment.labCountry = record.lab.country;
    return amendment;
}

IssueRecord CertificateAmendment::applyTo(
    const IssueRecord &old, const QString &number, const QDateTime &at) const
{
    IssueRecord amended = old;
    CertificateFields &fields = amended.run.header.run.certificate;
    fields.customer = customer;
    fields.customerAddress = customerAddress;
    fields.customerCountry = customerCountry;
    fields.make = make;
    fields.model = model;
    fields.serial = serial;
    amended.lab.name = labName;
    amended.lab.address = labAddress;
    amended.lab.country = labCountry;
    amended.run.header.certificateNumber = number;
    amended.issuedAt = at;
    amended.replaces = old.number();
    // The curve's files stay with the report they were written for; the amendment links them anew.
    amended.curveFiles = false;
    return amended;
}

QStringList CertificateAmendment::changes(const IssueRecord &old) const
{
    const CertificateAmendment before = of(old);
    QStringList lines;
    for (const auto &[name, field] : kFields)
        if (before.*field != this->*field)
            lines << QStringLiteral("%1: %2 → %3").arg(QLatin1String(name), before.*field, this->*field);
    return lines;
}

bool CertificateAmendment::isValid() const
{
    const auto valid
        = [](const QString &country) { return country.isEmpty() || LabSettings::isValidCountry(country); };
    return valid(customerCountry) && valid(labCountry);
}

bool CertificateAmendment::operator==(const CertificateAmendment &other) const
{
    for (const auto &[name, field] : kFields)
        if (this->*field != other.*field)
            return false;
    return true;
}
