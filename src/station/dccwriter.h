#pragma once

#include "station/issuerecord.h"

#include <QByteArray>
#include <QString>

// Writes a certificate's machine-readable twin: a Digital Calibration Certificate (DCC, schema 3.2.0, units
// in D-SI) made from the same issue record as the PDF, so both say the same, with the PDF itself embedded.
// Its texts are fixed, in Chinese and English, since importing systems read them beside the numbers; the
// numbers are those the PDF prints. Pure; any thread. Only certificates get one: a test report has no
// number to identify it by.
class DccWriter
{
public:
    struct Input
    {
        IssueRecord record;
        QByteArray pdf; // the certificate as issued: signed, when it is, before it is embedded here
        QString pdfFileName; // as the DCC names the embedded file
        QString auditHead; // the audit trail's head before this certificate's issue line; empty without one
        QString replaces; // the number of the certificate this one replaces; empty when none
        QString replacesSha256; // that certificate's SHA-256, in hex, when known
        QString language = QStringLiteral("zh"); // the PDF's: the language that prevails
        QString softwareName;
        QString softwareRelease;
    };

    // The DCC as UTF-8 XML, unsigned; empty with the reason in *error for a test report or a lab without a
    // valid country, which the schema requires.
    static QByteArray write(const Input &input, QString *error);
};
