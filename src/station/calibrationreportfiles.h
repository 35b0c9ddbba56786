#pragma once

#include "files/saveresult.h"
#include "station/calibrationpdf.h"
#include "station/pdfsigner.h"

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
    // Signs the painted certificate; empty to write it unsigned. A failure fails the PDF's write.
    std::function<SignResult(const QByteArray &pdf)> sign;
    // Makes the certificate's machine-readable twin around the PDF as written, signed where the PDF is;
    // empty for none. Empty bytes, with the reason, fail the set's write like the PDF's own failure.
    std::function<QByteArray(const QByteArray &pdf, QString *error)> twin;
};

// Where a report went, or which file failed and why.
struct CalibrationReportWrite
{
    SaveResult result;
    QString failedFile;
    QString csvFile; // on success
    QStringList files; // all of them, on success
};

// What a report's write tells before each step that could leave files behind, so that a restart after a
// crash finds them: the hidden names the files are written under first (`folder` and `token`), and the
// names they are about to take with what identifies each file (fileIdentity()). A failure stops the write.
struct CalibrationReportNotes
{
    std::function<SaveResult(const QString &folder, const QString &token)> staging;
    std::function<SaveResult(const QStringList &files, const QStringList &identities)> committing;
};

// The report's table and its printable form, each written whole or not at all; the PDF signed first when
// the content says so.
SaveResult writeCalibrationCsv(const QString &fileName, const CalibrationReportContent &content);
// `written`, if given, receives the PDF's bytes.
SaveResult writeCalibrationPdf(
    const QString &fileName, const CalibrationReportContent &content, QByteArray *written = nullptr);

// Writes "calibration-YYYYMMDD-hhmmss" .csv, .pdf, with a curve .txt and -curve.csv, and with a twin
// .dcc.xml into `folder`:
// first each whole under a hidden name, then each given its name only while no file has it; a name taken
// meanwhile, by another instance of the program say, moves the whole set to the next free name ("-2"…).
// All or nothing: on a failure the files already named are removed again, so a retry starts clean.
// GUI thread (the PDF is painted).
CalibrationReportWrite writeCalibrationReport(
    const QString &folder, const CalibrationReportContent &content, const CalibrationReportNotes &notes = {});

// Removes what a write under `token` left hidden in `folder` when it was cut short.
void removeStagedReport(const QString &folder, const QString &token);
