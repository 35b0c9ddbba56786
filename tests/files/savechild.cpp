// Saves one file the way the program does and exits; the crash and full-disk tests stop it midway.
//   bb_savechild settings <folder> <entries>  loads config.xml from <folder>, adds <entries> entries and
//                                             leaves the save to the program's exit
//   bb_savechild <saver> <source> <target>    one of kSavers below, on <target>, with the curve file
//                                             <source> opened in the chart first unless it is "-"
//   bb_savechild record <folder>              records at the fastest interval with its journal in
//                                             <folder>, readings from 20 to 30 every 5 ms, until killed
// Every message box the savers show is answered and printed to stdout as "box<TAB>title|text", with line
// ends as "\n"; a quiet save that fails prints "failed<TAB>message".
#include "../app/windowtest.h"
#include "chart/chartfileactions.h"
#include "chart/ttwidget.h"
#include "dialogs/calibrationrundialog.h"
#include "dialogs/chartsettingsdialog.h"
#include "recording/curverecorder.h"
#include "recording/samplestore.h"
#include "settings/settings.h"
#include "station/calibrationpdf.h"
#include "station/calibrationreportfiles.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>

namespace {

// Each opens the chart or dialog the operator would, does the operator's action on `target` and returns
// the exit code: 0 once the action ran, whatever it reported.
using Saver = int (*)(ttwidget &chart, const QString &target);

int exportCurve(ttwidget &chart, const QString &target)
{
    ChartFileActions(&chart).exportCurve(target);
    return 0;
}

int reportResult(const SaveResult &saved, const QString &target);

int saveCurveQuietly(ttwidget &chart, const QString &target)
{
    return reportResult(chart.saveCurveQuietly(target), target);
}

int exportCsv(ttwidget &chart, const QString &target)
{
    ChartFileActions(&chart).exportCsv(target);
    return 0;
}

int exportImage(ttwidget &chart, const QString &target)
{
    ChartFileActions(&chart).exportImage(target);
    return 0;
}

// OK in the chart settings dialog with a changed value; the program's exit then saves once more.
int acceptChartSettings(ttwidget &, const QString &target)
{
    appSettings.configDir = QFileInfo(target).absolutePath();
    appSettings.load();
    appSettings.applyDefaults();
    ChartSettingsDialog dialog;
    dialog.show();
    namedChild<QSpinBox>(&dialog, "spinBox_caches")->setValue(7);
    namedChild<QDialogButtonBox>(&dialog, "buttonBox")->button(QDialogButtonBox::Ok)->click();
    return 0;
}

// The target is chosen in the file dialog, as the operator does.
int saveRunFile(ttwidget &, const QString &)
{
    CalibrationRun run;
    run.instrument = QStringLiteral("IR-7");
    run.steps = {CalibrationStep(), CalibrationStep()};
    run.steps[1].setPoint = 75.5;
    CalibrationRunDialog dialog;
    dialog.setSetPointRange(0, 100, 2);
    dialog.setRun(run);
    dialog.show();
    namedChild<QPushButton>(&dialog, "pushButton_saveRun")->click();
    return 0;
}

// A report of two steps, with the chart's curve as its picture.
CalibrationReportContent calibrationReport(ttwidget &chart)
{
    CalibrationReportContent content;
    content.certificate.title = QStringLiteral("校准证书");
    content.certificate.fields = {{QStringLiteral("被校仪器"), QStringLiteral("IR-7")}};
    content.certificate.tableRows = {{QStringLiteral("35")}, {QStringLiteral("50")}};
    content.csv = "step,outcome,set_point\r\n1,done,35.000\r\n2,not reached,50.000\r\n";
    content.certificate.chart = chart.wholeCurvePixmap(CalibrationPdf::chartSize());
    return content;
}

int reportResult(const SaveResult &saved, const QString &target)
{
    if (!saved)
        std::printf("failed\t%s\n", saved.message(target).toUtf8().constData());
    return 0;
}

int writeReportCsv(ttwidget &chart, const QString &target)
{
    return reportResult(writeCalibrationCsv(target, calibrationReport(chart)), target);
}

int writeReportPdf(ttwidget &chart, const QString &target)
{
    return reportResult(writeCalibrationPdf(target, calibrationReport(chart)), target);
}

const std::pair<const char *, Saver> kSavers[] = {
    {"export-curve", exportCurve},
    {"save-curve-quietly", saveCurveQuietly},
    {"export-csv", exportCsv},
    {"export-image", exportImage},
    {"chart-settings", acceptChartSettings},
    {"run-file", saveRunFile},
    {"calibration-csv", writeReportCsv},
    {"calibration-pdf", writeReportPdf},
};

int record(const QString &folder)
{
    CurveRecorder recorder;
    recorder.setJournalFolder(folder);
    recorder.setSampleInterval(10);
    int n = 0;
    QTimer feed;
    feed.setInterval(5);
    QObject::connect(&feed, &QTimer::timeout, [&] { recorder.setReading(20 + (n++ % 1000) * 0.01); });
    recorder.setReading(20);
    feed.start();
    recorder.start();
    // The hook ends it long before; a child it missed says so by its code.
    QTimer::singleShot(20000, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    return 3;
}

int saveSettings(const QString &folder, int entries)
{
    appSettings.configDir = folder;
    appSettings.load();
    appSettings.applyDefaults();
    for (int i = 0; i < entries; ++i) {
        const QString number = QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0'));
        appSettings.setValue(QStringLiteral("Entry") + number,
            QStringLiteral("value %1 of %2 ").arg(i).arg(entries).repeated(3));
    }
    appSettings.setValue(QStringLiteral("Generation"), QString::number(entries));
    // The global store saves while it is destroyed, as at every exit of the program.
    return 0;
}

int runSaver(Saver saver, const QString &source, const QString &target)
{
    ModalHandler modals;
    // The file dialog asks before replacing the old file; the operator means to, and the question is Qt's.
    QStringList questions;
    modals.onBox = [&questions](QMessageBox *box) {
        QAbstractButton *yes = box->button(QMessageBox::Yes);
        if (!yes) {
            box->done(QMessageBox::Ok);
            return;
        }
        questions << box->windowTitle() + QLatin1Char('|') + box->text();
        // The answer is the button clicked, not the code the box ends with.
        yes->click();
    };
    modals.onDialog = [&target](QDialog *dialog) {
        // The chart's wait dialog closes itself. The file dialog is answered from the event loop: the
        // question it then asks would wait for ever in this handler, which a timer does not reenter.
        if (auto *files = qobject_cast<QFileDialog *>(dialog))
            QTimer::singleShot(0, files, [files, &target] { chooseFile(files, target); });
    };
    ttwidget chart;
    chart.resize(945, 571);
    chart.show();
    if (source != QLatin1String("-")) {
        ChartFileActions(&chart).importCurve(source);
        if (chart.curve().isEmpty())
            return 2;
    }
    const int code = saver(chart, target);
    for (QString text : qAsConst(modals.boxes)) {
        if (!questions.contains(text))
            std::printf(
                "box\t%s\n", text.replace(QLatin1Char('\n'), QLatin1String("\\n")).toUtf8().constData());
    }
    return code;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(QStringLiteral("bb-savechild"));
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 3 && args[1] == QLatin1String("record"))
        return record(args[2]);
    if (args.size() == 4 && args[1] == QLatin1String("settings"))
        return saveSettings(args[2], args[3].toInt());
    for (const auto &[name, saver] : kSavers) {
        if (args.size() == 4 && args[1] == QLatin1String(name))
            return runSaver(saver, args[2], args[3]);
    }
    return 1;
}
