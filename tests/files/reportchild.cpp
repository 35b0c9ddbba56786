// Writes a calibration report the way the station does and exits; the report tests stop it midway.
//   bb_reportchild report <data> <reports> <number>  a run of two steps with a recorded curve ends; its
//                                                    report is written into <reports>, its journal and
//                                                    issue record kept in <data>
//   bb_reportchild recover <data> <reports>          writes the reports of the journals left in <data>
// Both record what they issue in the audit trail <data>/audit.log.
// Each report written is printed as "written<TAB>file|file|…".
#include "control/calibrationjournal.h"
#include "recording/curverecorder.h"
#include "recording/samplestore.h"
#include "settings/labsettings.h"
#include "settings/settings.h"
#include "station/auditrecorder.h"
#include "station/calibrationreporter.h"
#include "station/unattendedasker.h"

#include <QApplication>
#include <QEventLoop>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>

namespace {

// A door that writes what waits, and takes the safe answer to everything else.
class WritingAsker : public UnattendedAsker
{
public:
    bool writePendingReports(int) override { return true; }
};

CalibrationJournal::Contents endedRun(const QString &number)
{
    CalibrationJournal::Contents run;
    run.header.run.instrument = QStringLiteral("IR-7");
    run.header.run.operatorName = QStringLiteral("Li");
    run.header.run.steps = {CalibrationStep(), CalibrationStep()};
    run.header.run.steps[0].setPoint = 35;
    run.header.run.steps[1].setPoint = 50;
    run.header.model = QStringLiteral("BB-1");
    run.header.port = QStringLiteral("ttyS0");
    run.header.started = QDateTime(QDate(2026, 12, 9), QTime(10, 0));
    run.header.wallAtZero = run.header.started;
    run.header.certificateNumber = number;
    CalibrationStepResult first;
    first.setPoint = 35;
    first.stable = true;
    first.stableAtMs = 60000;
    first.readings = {35.2};
    CalibrationStepResult second;
    second.step = 1;
    second.setPoint = 50;
    second.outcome = CalibrationStepResult::Outcome::Skipped;
    run.results = {first, second};
    run.end = CalibrationJournal::End::Finished;
    return run;
}

// A few samples, enough for a curve file and a chart.
void record(CurveRecorder *recorder)
{
    recorder->setSampleInterval(5);
    recorder->start();
    recorder->setReading(35.0);
    QEventLoop loop;
    QObject::connect(recorder, &CurveRecorder::drained, &loop, [&] {
        if (recorder->curve()->size() >= 3)
            loop.quit();
    });
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    loop.exec();
    recorder->stop();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(QStringLiteral("bb-reportchild"));
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 4)
        return 1;
    appSettings.dataDir = args[2];
    appSettings.setValue(CalibrationReporter::reportFolderKey, args[3]);
    LabSettings {
        QStringLiteral("Test Lab"), QStringLiteral("Lab Road 1"), QStringLiteral("TL"), QStringLiteral("CN")}
        .store(appSettings);
    CurveRecorder recorder;
    CalibrationReporter reporter(&recorder);
    // The trail beside the journals, as the user's data folder keeps it above them.
    AuditRecorder audit(args[2]);
    reporter.setAudit(&audit);
    QObject::connect(&reporter, &CalibrationReporter::reportWritten, [](const QStringList &files) {
        std::printf("written\t%s\n", files.join(QLatin1Char('|')).toUtf8().constData());
        std::fflush(stdout);
    });
    QObject::connect(
        &reporter, &CalibrationReporter::journalUnreadable, [](const QString &, const QString &error) {
            std::printf("unreadable\t%s\n", error.toUtf8().constData());
        });
    WritingAsker asker;
    if (args[1] == QLatin1String("report") && args.size() == 5) {
        record(&recorder);
        const CalibrationJournal::Contents run = endedRun(args[4]);
        CalibrationJournal journal;
        QString error;
        if (!journal.create(args[2], run.header, &error) || !journal.append(run.results[0], &error)
            || !journal.append(run.results[1], &error) || !journal.end(run.end, &error))
            return 2;
        journal.close();
        reporter.reportRun(run, journal.path(), true, &asker);
        return 0;
    }
    if (args[1] == QLatin1String("recover")) {
        reporter.offerPending(&asker);
        return 0;
    }
    return 1;
}
