#include "calibrationreporter.h"

#include "control/calibrationreport.h"
#include "files/atomicsave.h"
#include "recording/curverecorder.h"
#include "recording/samplestore.h"
#include "recording/writefilethread.h"
#include "settings/labsettings.h"
#include "settings/lastfolders.h"
#include "settings/settings.h"
#include "station/asker.h"
#include "station/calibrationcertificate.h"
#include "station/curveimage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cmath>

const QString CalibrationReporter::reportFolderKey = LastFolders::key(LastFolders::Reports);

CalibrationReporter::CalibrationReporter(CurveRecorder *recorder, QObject *parent)
    : QObject(parent)
    , m_recorder(recorder)
{ }

QString CalibrationReporter::storedFolder()
{
    const QString stored = appSettings.value(reportFolderKey, QString());
    return isWritableFolder(stored) ? stored : QString();
}

bool CalibrationReporter::isWritableFolder(const QString &folder)
{
    if (folder.isEmpty())
        return false;
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

SaveResult CalibrationReporter::storeFolder(const QString &folder)
{
    LastFolders(appSettings).rememberFolder(LastFolders::Reports, folder);
    return appSettings.save();
}

// The journals wait in the per-user data folder.
QString CalibrationReporter::journalFolder()
{
    return appSettings.dataDir.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                                         : appSettings.dataDir;
}

void CalibrationReporter::reportRun(
    const CalibrationJournal::Contents &run, const QString &journal, bool journalWhole, Asker *asker)
{
    const CalibrationReportContent report = liveContent(run);
    if (deliver(report, journalWhole, asker)) {
        if (!journal.isEmpty())
            CalibrationJournal::remove(journal);
        emit reported(Fate::Written, m_lastReport, false);
        return;
    }
    if (!journalWhole) {
        emit reported(Fate::Lost, QString(), false);
        return;
    }
    // The curve waits beside the journal, for the report written later.
    const bool curveKept = report.writeCurve && report.writeCurve(CalibrationJournal::curvePath(journal))
        && report.writeCurveCsv(CalibrationJournal::curveCsvPath(journal));
    emit reported(
        curveKept || !report.writeCurve ? Fate::Waiting : Fate::WaitingWithoutCurve, journal, false);
}

CalibrationReportContent CalibrationReporter::content(const CalibrationJournal::Contents &run) const
{
    CalibrationReportContent content;
    content.at = QDateTime::currentDateTime();
    content.csv = CalibrationReport::csv(run.header.run, run.results, run.header.wallAtZero);
    return content;
}

CalibrationReportContent CalibrationReporter::liveContent(const CalibrationJournal::Contents &run) const
{
    CalibrationReportContent report = content(run);
    CalibrationCertificate::Input input;
    input.header = run.header;
    input.results = run.results;
    input.outages = run.outages;
    input.end = run.end;
    input.lab = LabSettings::read(appSettings);
    input.issued = report.at.date();
    input.curveNote = curveNote();
    input.chart = curveImage(*m_recorder, CalibrationPdf::chartSize());
    report.certificate = CalibrationCertificate::document(input);
    // A run aborted at once may have no sample yet; its report then says so, without a curve file.
    const QSharedPointer<SampleStore> curve = m_recorder->curve();
    if (curve && !curve->isEmpty()) {
        // The curve file keeps one decimal; the table keeps what the tiles showed.
        const CurveSnapshot snapshot = m_recorder->snapshot(QCoreApplication::applicationName());
        report.writeCurve = [recorder = m_recorder, snapshot](const QString &fileName) {
            const SaveResult saved = WriteFileThread::writeCurveFile(fileName, snapshot);
            if (saved && recorder->curve() == snapshot.store)
                recorder->markSaved();
            return saved;
        };
        report.writeCurveCsv = [snapshot](const QString &fileName) {
            return WriteFileThread::writeCsvFile(fileName, snapshot);
        };
    }
    return report;
}

QString CalibrationReporter::curveNote() const
{
    const QSharedPointer<SampleStore> curve = m_recorder->curve();
    if (!curve || curve->isEmpty())
        return tr("无");
    // The recording drops its oldest samples once full; the curve then starts after the run did.
    const double firstSecond = curve->at(0).key;
    if (firstSecond * 1000 <= 2.0 * m_recorder->info().intervalMs)
        return tr("完整");
    const QDateTime from = QDateTime::fromMSecsSinceEpoch(
        m_recorder->info().startMsecs + qint64(std::llround(firstSecond * 1000)));
    return tr("自 %1 起（更早的部分超出了表格容量）").arg(from.toString(QStringLiteral("HH:mm:ss")));
}

CalibrationReportContent CalibrationReporter::recoveredContent(
    const QString &journal, const CalibrationJournal::Contents &contents) const
{
    CalibrationReportContent report = content(
        {contents.header, CalibrationJournal::reportRows(contents), contents.outages, contents.end});
    CalibrationCertificate::Input input;
    input.header = contents.header;
    input.results = CalibrationJournal::reportRows(contents);
    input.outages = contents.outages;
    input.end = contents.end;
    input.lab = LabSettings::read(appSettings);
    input.issued = report.at.date();
    const QString curve = CalibrationJournal::curvePath(journal);
    const auto copier = [](const QString &from) {
        return [from](const QString &fileName) {
            QFile source(from);
            if (!source.open(QIODevice::ReadOnly))
                return SaveResult::failure(source.errorString());
            const QByteArray bytes = source.readAll();
            return saveAtomically(
                fileName, [&bytes](QIODevice *file) { return file->write(bytes) == bytes.size(); });
        };
    };
    if (QFileInfo(curve).isFile()) {
        input.curveNote = tr("见同名的 .txt 文件");
        report.writeCurve = copier(curve);
        if (QFileInfo(CalibrationJournal::curveCsvPath(journal)).isFile())
            report.writeCurveCsv = copier(CalibrationJournal::curveCsvPath(journal));
    } else {
        input.curveNote = tr("未保存（程序在校准中退出）");
    }
    report.certificate = CalibrationCertificate::document(input);
    return report;
}

bool CalibrationReporter::deliver(const CalibrationReportContent &content, bool mayWait, Asker *asker)
{
    QString folder;
    for (;;) {
        if (folder.isEmpty()) {
            folder = storedFolder();
            if (folder.isEmpty() && !asker->isUnattended()) {
                folder = asker->chooseReportFolder(LastFolders(appSettings).folder(LastFolders::Reports));
                if (!folder.isEmpty())
                    if (const SaveResult saved = storeFolder(folder); !saved)
                        asker->settingsNotSaved(saved.message(appSettings.filePath()));
            }
        }
        CalibrationReportWrite written;
        if (!folder.isEmpty()) {
            written = writeCalibrationReport(folder, content);
            if (written.result) {
                m_lastReport = written.csvFile;
                emit reportWritten(written.files);
                return true;
            }
        }
        if (asker->reportNotWritten(&folder, written.result, written.failedFile, mayWait)
            == Asker::ReportChoice::Later)
            return false;
    }
}

QStringList CalibrationReporter::pendingJournals()
{
    QStringList journals = CalibrationJournal::list(journalFolder());
    // Not those of runs still going, here or in another instance of the program.
    journals.erase(
        std::remove_if(journals.begin(), journals.end(), &CalibrationJournal::inUse), journals.end());
    return journals;
}

void CalibrationReporter::offerPending(Asker *asker)
{
    const QStringList journals = pendingJournals();
    if (journals.isEmpty() || !asker->writePendingReports(journals.size()))
        return;
    for (const QString &journal : journals) {
        CalibrationJournal::Contents contents;
        QString error;
        if (!CalibrationJournal::read(journal, &contents, &error)) {
            emit journalUnreadable(journal, error);
            continue;
        }
        if (!deliver(recoveredContent(journal, contents), true, asker))
            return;
        CalibrationJournal::remove(journal);
        emit reported(Fate::Written, m_lastReport, true);
    }
}
