#pragma once

#include "files/saveresult.h"
#include "station/calibrationpdf.h"

#include <QByteArray>
#include <QDateTime>
#include <QPair>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

// A calibration report ready to be written, from a run that just ended or from the journal of one.
struct CalibrationReportContent
{
    CertificateDocument certificate;
    QByteArray csv;
    // Write the run's curve file and the same curve as a CSV table at full precision; empty when there
    // is none.
    std::function<SaveResult(const QString &fileName)> writeCurve;
    std::function<SaveResult(const QString &fileName)> writeCurveCsv;
    QDateTime at; // names the files
};

// Where a report went, or which file failed and why.
struct CalibrationReportWrite
{
    SaveResult result;
    QString failedFile;
    QString csvFile; // on success
    QStringList files; // all of them, on success
};

// The report's table and its printable form, each written whole or not at all.
SaveResult writeCalibrationCsv(const QString &fileName, const CalibrationReportContent &content);
SaveResult writeCalibrationPdf(const QString &fileName, const CalibrationReportContent &content);

// Writes "calibration-YYYYMMDD-hhmmss" .csv, .pdf and, with a curve, .txt and -curve.csv into `folder`, each
// whole or not at all and never over an earlier report. All or nothing: when one file fails, those written
// before it are removed again, so a retry starts clean. GUI thread (the PDF is painted).
CalibrationReportWrite writeCalibrationReport(const QString &folder, const CalibrationReportContent &content);
