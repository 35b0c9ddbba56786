// Saves one file the way the program does and exits; the crash test kills it midway.
//   bb_savechild settings <folder> <entries>  loads config.xml from <folder>, adds <entries> entries and
//                                             leaves the save to the program's exit
//   bb_savechild curve <source> <target>      opens the curve file <source> in the chart and saves the
//                                             curve as <target> with the chart's own writer
#include "chart/samplestore.h"
#include "chart/ttwidget.h"
#include "settings/settings.h"

#include <QApplication>
#include <QStandardPaths>

namespace {

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

int saveCurve(const QString &source, const QString &target)
{
    ttwidget chart;
    chart.importCurve(source);
    if (chart.curve().isEmpty())
        return 2;
    return chart.saveCurveQuietly(target) ? 0 : 3;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(QStringLiteral("bb-savechild"));
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 4 && args[1] == QLatin1String("settings"))
        return saveSettings(args[2], args[3].toInt());
    if (args.size() == 4 && args[1] == QLatin1String("curve"))
        return saveCurve(args[2], args[3]);
    return 1;
}
