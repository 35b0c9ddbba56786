#pragma once

#include "station/issuerecord.h"

#include <QString>
#include <QStringList>

// What an amendment may correct on an issued certificate: the customer, the item's identity and the lab's
// name and address; never a measured value, a row or a date of the calibration, which it has no field
// for. A plain value; any thread.
struct CertificateAmendment
{
    QString customer;
    QString customerAddress;
    QString customerCountry; // ISO 3166-1 alpha-2, or empty
    QString make;
    QString model;
    QString serial;
    QString labName;
    QString labAddress;
    QString labCountry; // ISO 3166-1 alpha-2, or empty

    // The fields as `record` states them: the starting point of a correction.
    static CertificateAmendment of(const IssueRecord &record);
    // `old` re-issued as `number` at `at` with these fields, naming `old` as the certificate it replaces;
    // the rows, the run and the curve as they were.
    IssueRecord applyTo(const IssueRecord &old, const QString &number, const QDateTime &at) const;
    // What differs from `old`, as "field: before → after" lines, untranslated, for the audit trail; empty
    // when nothing does.
    QStringList changes(const IssueRecord &old) const;

    // The countries empty or two capitals, as the machine-readable certificate takes them.
    bool isValid() const;

    bool operator==(const CertificateAmendment &other) const;
    bool operator!=(const CertificateAmendment &other) const { return !(*this == other); }
};
