#include "calibrationreportfiles.h"

#include "control/calibrationreport.h"
#include "files/atomicsave.h"
#include "files/exclusivecommit.h"
#include "station/calibrationpdf.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringList>

#include <cerrno>

namespace {

const char *const kSuffixes[] = {".csv", ".pdf", ".txt", "-curve.csv", ".dcc.xml"};
// Names tried before the write gives up; each one was free a moment before it was tried.
const int kMaxNames = 1000;
const QString kStagedPrefix = QStringLiteral(".calibration-");

// "calibration-YYYYMMDD-hhmmss", or with "-n" from the `n`th on.
QString baseName(const QDir &folder, const QDateTime &at, int n)
{
    const QString csvName = CalibrationReport::fileName(at, QStringLiteral("csv"));
    const QString base = csvName.left(csvName.size() - 4);
    return folder.filePath(n == 1 ? base : base + QLatin1Char('-') + QString::number(n));
}

// Only a hint: the commit itself is what refuses a taken name.
bool looksFree(const QString &base)
{
    for (const char *suffix : kSuffixes)
        if (QFileInfo::exists(base + QLatin1String(suffix)))
            return false;
    return true;
}

QString newToken()
{
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString token;
    for (int i = 0; i < 12; ++i)
        token += QLatin1Char(kChars[QRandomGenerator::global()->bounded(int(sizeof kChars - 1))]);
    return token;
}

} // namespace

SaveResult writeCalibrationCsv(const QString &fileName, const CalibrationReportContent &content)
{
    return saveAtomically(
        fileName, [&content](QIODevice *file) { return file->write(content.csv) == content.csv.size(); });
}

SaveResult writeCalibrationPdf(
    const QString &fileName, const CalibrationReportContent &content, QByteArray *written)
{
    if (!content.sign && !written)
        return saveAtomically(fileName,
            [&content](QIODevice *file) { return CalibrationPdf::write(file, content.certificate); });
    QByteArray painted;
    QBuffer buffer(&painted);
    if (!buffer.open(QIODevice::WriteOnly) || !CalibrationPdf::write(&buffer, content.certificate))
        return SaveResult::writerFailed();
    SignResult signedPdf {painted, QString()};
    if (content.sign) {
        signedPdf = content.sign(painted);
        if (!signedPdf.ok())
            return SaveResult::failure(signedPdf.error);
    }
    const SaveResult saved = saveAtomically(fileName,
        [&signedPdf](QIODevice *file) { return file->write(signedPdf.pdf) == signedPdf.pdf.size(); });
    if (saved && written)
        *written = signedPdf.pdf;
    return saved;
}

void removeStagedReport(const QString &folder, const QString &token)
{
    if (token.isEmpty())
        return;
    const QDir dir(folder);
    // The staged files, and the temporary files their own saves were cut short in ("..calibration-…").
    const QStringList names = dir.entryList({kStagedPrefix + token + QLatin1Char('*'),
                                                QLatin1Char('.') + kStagedPrefix + token + QLatin1Char('*')},
        QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names)
        QFile::remove(dir.filePath(name));
}

CalibrationReportWrite writeCalibrationReport(
    const QString &folder, const CalibrationReportContent &content, const CalibrationReportNotes &notes)
{
    CalibrationReportWrite outcome;
    const QDir dir(folder);
    if (!dir.exists()) {
        outcome.result = SaveResult::systemError(ENOENT);
        outcome.failedFile = folder;
        return outcome;
    }
    const QString token = newToken();
    const auto fail = [&](const QString &file, const SaveResult &result) {
        outcome.result = result;
        outcome.failedFile = file;
        removeStagedReport(folder, token);
        return outcome;
    };
    if (notes.staging)
        if (const SaveResult noted = notes.staging(folder, token); !noted)
            return fail(folder, noted);

    // Each file whole under its hidden name first.
    const QString staged = dir.filePath(kStagedPrefix + token);
    using Writer = std::function<SaveResult(const QString &)>;
    QByteArray pdf; // as written: the twin holds it
    QVector<QPair<int, Writer>> plan {
        {0, [&content](const QString &file) { return writeCalibrationCsv(file, content); }},
        {1,
            [&content, &pdf](const QString &file) {
                return writeCalibrationPdf(file, content, content.twin ? &pdf : nullptr);
            }},
    };
    if (content.writeCurve)
        plan.append({2, content.writeCurve});
    if (content.writeCurveCsv)
        plan.append({3, content.writeCurveCsv});
    if (content.twin)
        plan.append({4, [&content, &pdf](const QString &file) {
                         QString error;
                         const QByteArray xml = content.twin(pdf, &error);
                         if (xml.isEmpty())
                             return SaveResult::failure(error);
                         return saveAtomically(
                             file, [&xml](QIODevice *out) { return out->write(xml) == xml.size(); });
                     }});
    QVector<int> parts; // indexes into kSuffixes
    QStringList stagedFiles;
    for (const auto &[part, write] : qAsConst(plan)) {
        const QString file = staged + QLatin1String(kSuffixes[part]);
        if (const SaveResult written = write(file); !written)
            return fail(baseName(dir, content.at, 1) + QLatin1String(kSuffixes[part]), written);
        parts << part;
        stagedFiles << file;
    }
    QStringList identities;
    for (const QString &file : qAsConst(stagedFiles))
        identities << fileIdentity(file);

    // Then the whole set under one free name, or under the next one.
    for (int n = 1; n <= kMaxNames; ++n) {
        const QString base = baseName(dir, content.at, n);
        if (!looksFree(base))
            continue;
        QStringList finals;
        for (const int part : qAsConst(parts))
            finals << base + QLatin1String(kSuffixes[part]);
        if (notes.committing)
            if (const SaveResult noted = notes.committing(finals, identities); !noted)
                return fail(folder, noted);
        int committed = 0;
        int error = 0;
        for (; committed < finals.size(); ++committed) {
            error = commitExclusively(stagedFiles.at(committed), finals.at(committed));
            if (error != 0)
                break;
        }
        if (error == 0) {
            outcome.result = SaveResult::success();
            outcome.csvFile = finals.first();
            outcome.files = finals;
            return outcome;
        }
        // Those named already go back under their hidden names, for the next name or for removal.
        for (int i = 0; i < committed; ++i)
            QFile::rename(finals.at(i), stagedFiles.at(i));
        if (error != EEXIST)
            return fail(finals.at(committed), SaveResult::systemError(error));
    }
    return fail(
        baseName(dir, content.at, kMaxNames) + QLatin1String(kSuffixes[0]), SaveResult::systemError(EEXIST));
}
