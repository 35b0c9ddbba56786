#pragma once

#include <QPair>
#include <QPixmap>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVector>

class QIODevice;

// A calibration certificate with every text already written in the window's language: the caller knows
// runs and words, this only lays them out.
struct CertificateDocument
{
    QString title;
    QString number; // on every page, beside "page x of y"; empty for a test report, which has none
    QString pageNotice; // at the head of every page when given: "not a calibration certificate"
    QString pageText; // with %1 for the page and %2 for the pages, "Page %1 of %2"
    QString auditHead; // in the middle of every page's foot when given: "Audit head: 1a2b…"
    QVector<QPair<QString, QString>> fields; // "label: value", two a line
    QVector<QPair<QString, QString>> sections; // a heading and its paragraph
    QStringList tableHeader;
    QVector<QStringList> tableRows;
    QString verdict; // the overall one, under the table
    QVector<QPair<QString, QString>> statements; // after the table: decision rule, uncertainty, outages
    QPixmap chart; // null when the run's curve was not kept
    QStringList closing; // the signatory line, the scope sentence
};

// The certificate on A4 portrait pages, as many as it needs; a row, a paragraph or the chart that does not
// fit starts a new page, a table row that does so under the column names again. The verdict and the
// signatory close the results: they share their page with at least the table's last rows. The text is
// set in a face whose glyphs map back to the language's own code points, so a search of the PDF finds
// what it shows. GUI thread (it paints).
namespace CalibrationPdf {

// The chart is rendered for chartSize() so it fills its place without being scaled.
QSize chartSize();
// Where a signature's box goes on a certificate's last page, in points from the page's lower left corner:
// at the right above the footer. Every certificate (not a test report) ends with this place free, so it
// can be signed at its issue or later.
QRectF signatureBox();
// The face the certificate is set in, of those installed: the language's preferred one whose every
// glyph for `text` maps back to its own code point in the PDF's text layer.
QString faceFor(const QString &text);
// Paints `document` onto `device`, which the caller opened for writing and keeps; false when painting
// fails (the device's own write errors are the caller's to check).
bool write(QIODevice *device, const CertificateDocument &document);

} // namespace CalibrationPdf
