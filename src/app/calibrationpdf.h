#pragma once

#include <QByteArray>
#include <QPair>
#include <QPixmap>
#include <QString>
#include <QVector>

class QIODevice;

// The printable calibration report: a title, the header fields as "label: value" pairs, the chart of the
// run, then the report's CSV drawn as a table, on as many A4 landscape pages as the rows need. Knows
// nothing of runs or the chart; the caller hands it finished texts. GUI thread (it paints).
namespace CalibrationPdf {

// The chart is rendered for chartSize() so it fills its place without being scaled.
QSize chartSize();
// Paints the report onto `device`, which the caller opened for writing and keeps; false when painting
// fails (the device's own write errors are the caller's to check).
bool write(QIODevice *device, const QString &title, const QVector<QPair<QString, QString>> &fields,
    const QPixmap &chart, const QByteArray &csv);

} // namespace CalibrationPdf
