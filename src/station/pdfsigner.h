#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QRectF>
#include <QString>

class SigningKey;

// How a signature shows on the certificate's last page and what it means.
struct SignatureLook
{
    enum class Meaning { Approved, Reviewed };

    Meaning meaning = Meaning::Approved;
    // The run's signatory: the signing certificate must name the same person, or nothing is signed.
    QString signatory;
    QDateTime at; // when it is signed; shown in UTC
    QString location; // the lab; may be empty
    // Where the box goes on the last page, in points from its lower left corner; empty: above the footer
    // at the right.
    QRectF box;
};

// The signed PDF, or why there is none.
struct SignResult
{
    QByteArray pdf;
    QString error;

    bool ok() const { return error.isEmpty() && !pdf.isEmpty(); }
};

// Signs `pdf` with `key` as an incremental update: a signature field whose box on the last page shows the
// signatory's name (from the certificate), the time and the meaning, and a detached PKCS#7 signature
// (adbe.pkcs7.detached) over every byte but its own. The original bytes stay as they were, in front.
// GUI thread (the box is painted with Qt's fonts).
SignResult signPdf(const QByteArray &pdf, const SigningKey &key, const SignatureLook &look);

// "批准" or "审核" in the window's language.
QString signatureMeaningText(SignatureLook::Meaning meaning);
