#include "runstart.h"

#include "control/blackbodymodel.h"
#include "recording/curverecorder.h"
#include "settings/lastfolders.h"
#include "settings/settings.h"
#include "station/asker.h"
#include "station/calibrationreporter.h"

#include <cmath>
#include <numeric>

using Obstacle = CalibrationStart::Obstacle;

qint64 RunStart::leastDurationMs(const CalibrationRun &run)
{
    return std::accumulate(
        run.steps.begin(), run.steps.end(), qint64(0), [](qint64 sum, const CalibrationStep &step) {
            return sum + std::llround((step.window + step.dwell) * 1000);
        });
}

// Asked before the run rather than at its end, when nobody may be there to answer. The chart's setting
// changes last, once nothing else can call the start off.
bool RunStart::clearObstacles(const CalibrationRun &run, const CalibrationStart::Situation &situation,
    const BlackbodyModel &model, CurveRecorder *recorder, Asker *asker, RunStartResult *result)
{
    const QVector<Obstacle> obstacles = CalibrationStart::obstacles(situation);
    const auto refuse = [result, asker](Obstacle obstacle, const QString &detail = QString()) {
        result->failure = RunStartResult::Failure::Obstacle;
        result->obstacle = obstacle;
        result->detail = detail;
        asker->cannotStart(obstacle, detail);
        return false;
    };
    std::optional<RecordSetting> chartSetting;
    for (const Obstacle obstacle : obstacles) {
        switch (obstacle) {
        case Obstacle::RunInProgress:
        case Obstacle::LinkNotOpen:
        case Obstacle::ControllerUnconfirmed:
            return refuse(obstacle);
        case Obstacle::OutsideModel:
            return refuse(obstacle, run.checkModel(model.minimum, model.maximum, model.decimals).message);
        case Obstacle::InstrumentUnavailable:
        case Obstacle::EmissivityMismatch:
            return refuse(obstacle, situation.instrumentDetail);
        case Obstacle::EmissivityUnconfirmed:
            // Nobody watching: only the run file's word stands for the setting, and it did not give it.
            if (!asker->confirmInstrumentEmissivity(run.emissivity, situation.instrumentDetail))
                return refuse(obstacle, situation.instrumentDetail);
            break;
        case Obstacle::NoReportFolder: {
            const QString chosen
                = asker->chooseReportFolder(LastFolders(appSettings).folder(LastFolders::Reports));
            if (chosen.isEmpty() || !CalibrationReporter::isWritableFolder(chosen))
                return refuse(obstacle);
            if (const SaveResult saved = CalibrationReporter::storeFolder(chosen); !saved)
                asker->settingsNotSaved(saved.message(appSettings.filePath()));
            break;
        }
        case Obstacle::LabUnknown: {
            const std::optional<LabSettings> lab = asker->nameLab(LabSettings::read(appSettings));
            if (!lab || !lab->isKnown())
                return refuse(obstacle);
            lab->store(appSettings);
            if (const SaveResult saved = appSettings.save(); !saved)
                asker->settingsNotSaved(saved.message(appSettings.filePath()));
            break;
        }
        case Obstacle::UnsavedCurve:
            if (!asker->dropUnsavedCurve())
                return refuse(obstacle);
            break;
        case Obstacle::ChartTooSmall: {
            chartSetting = recordSettingFor(situation.runNeedsMs, recorder->sampleInterval());
            const Asker::ChartChoice choice
                = asker->chartTooSmall(situation.chartHoldsMs, situation.runNeedsMs, chartSetting);
            if (choice == Asker::ChartChoice::Cancel
                || (choice == Asker::ChartChoice::Change && !chartSetting))
                return refuse(obstacle);
            if (choice == Asker::ChartChoice::AsIs)
                chartSetting.reset();
            break;
        }
        case Obstacle::SourceOverdue:
            if (!asker->startDespiteOverdueSource(run.source.due))
                return refuse(obstacle);
            break;
        case Obstacle::CertificateIncomplete: {
            // The lab may have been named a moment ago.
            const QVector<CertificateCompleteness::Missing> missing
                = CertificateCompleteness::missing(run, LabSettings::read(appSettings).name);
            if (missing.isEmpty())
                break;
            if (!asker->startAsTestReport(missing))
                return refuse(obstacle);
            result->testReport = true;
            result->missing = missing;
            break;
        }
        }
    }
    if (chartSetting) {
        appSettings.setValue(appSettings.chartLineCacheKey, QString::number(chartSetting->thousands));
        appSettings.setValue(appSettings.chartLineFpsKey, QString::number(chartSetting->intervalMs));
        if (const SaveResult saved = appSettings.save(); !saved)
            asker->settingsNotSaved(saved.message(appSettings.filePath()));
        // Both apply to the recording the run is about to start.
        recorder->setCacheSize(chartSetting->thousands * 1000);
        recorder->setSampleInterval(chartSetting->intervalMs);
    }
    return true;
}
