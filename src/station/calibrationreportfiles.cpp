#include "calibrationreportfiles.h"

#include "control/calibrationreport.h"
#include "files/atomicsave.h"
#include "station/calibrationpdf.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <cerrno>

namespace {

// "calibration-YYYYMMDD-hhmmss", or with "-2", "-3"… when a report of that second exists: a report never
// overwrites another, nor its curve file.
QString freeBaseName(const QDir &folder, const QDateTime &at)
{
    const QString csvName = CalibrationReport::fileName(at, QStringLiteral("csv"));
    const QString base = csvName.left(csvName.size() - 4);
    for (int n = 1;; ++n) {
        const QString name = n == 1 ? base : base + QLatin1Char('-') + QString::number(n);
        bool free = true;
        for (const char *suffix : {".csv", ".pdf", ".txt", "-curve.csv"})
            free = free && !folder.exists(name + QLatin1String(suffix));
        if (free)
            return folder.filePath(name);
    }
}

} // namespace

SaveResult writeCalibrationCsv(const QString &fileName, const CalibrationReportContent &content)
{
    return saveAtomically(
        fileName, [&content](QIODevice *file) { return file->write(content.csv) == content.csv.size(); });
}

SaveResult writeCalibrationPdf(const QString &fileName, const CalibrationReportContent &content)
{
    return saveAtomically(
        fileName, [&content](QIODevice *file) { return CalibrationPdf::write(file, content.certificate); });
}

CalibrationReportWrite writeCalibrationReport(const QString &folder, const CalibrationReportContent &content)
{
    CalibrationReportWrite outcome;
    const QDir dir(folder);
    if (!dir.exists()) {
        outcome.result = SaveResult::systemError(ENOENT);
        outcome.failedFile = folder;
        return outcome;
    }
    const QString base = freeBaseName(dir, content.at);
    const QString csvFile = base + QStringLiteral(".csv");
    const QString pdfFile = base + QStringLiteral(".pdf");
    const QString curveFile = base + QStringLiteral(".txt");
    const QString curveCsvFile = base + QStringLiteral("-curve.csv");
    QStringList written;
    const auto step = [&](const QString &file, const SaveResult &result) {
        if (!result) {
            outcome.result = result;
            outcome.failedFile = file;
            return false;
        }
        written << file;
        return true;
    };
    const bool all
        = step(csvFile,
              saveAtomically(csvFile,
                  [&content](QIODevice *file) { return file->write(content.csv) == content.csv.size(); }))
        && step(pdfFile, writeCalibrationPdf(pdfFile, content))
        && (!content.writeCurve || step(curveFile, content.writeCurve(curveFile)))
        && (!content.writeCurveCsv || step(curveCsvFile, content.writeCurveCsv(curveCsvFile)));
    if (!all) {
        for (const QString &file : qAsConst(written))
            QFile::remove(file);
        return outcome;
    }
    outcome.result = SaveResult::success();
    outcome.csvFile = csvFile;
    outcome.files = written;
    return outcome;
}
