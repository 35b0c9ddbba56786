#include "app/mainwindow.h"
#include "app/startup.h"
#include "app/telemetrystation.h"
#include "app/windowplacement.h"
#include "app/windowtexts.h"
#include "remote/remotecontrol.h"
#include "settings/settings.h"
#include "settings/telemetrysettings.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <iostream>

namespace {

const QCommandLineOption printTexts(QStringLiteral("print-texts"),
    QStringLiteral(
        "Start as usual, print the window's title and button captions to standard output, then quit."));

void parseCommandLine(QCommandLineParser &parser, const QCoreApplication &app)
{
    parser.setApplicationDescription(QStringLiteral(
        "Controls a blackbody calibration source over a serial port and records its temperature."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(printTexts);
    parser.process(app);
}

// Help and version are plain text: they are answered before the window system is asked for a display.
bool asksOnlyForText(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "-h" || arg == "-?" || arg == "--help" || arg == "--help-all" || arg == "-v"
            || arg == "--version")
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (asksOnlyForText(argc, argv)) {
        QCoreApplication app(argc, argv);
        prepareApplication();
        QCommandLineParser parser;
        parseCommandLine(parser, app); // exits
    }

    QApplication app(argc, argv);
    prepareApplication();
    QGuiApplication::setDesktopFileName(QStringLiteral("com.ostrel.blackbody"));
    QCommandLineParser parser;
    parseCommandLine(parser, app);

    // The settings folder is named after the executable, so this must run before the window renames
    // the application.
    appSettings.load();
    appSettings.applyDefaults();

    MainWindow window;
    WindowPlacement::show(&window, appSettings);
    if (parser.isSet(printTexts)) {
        // Queued, so the texts are read from the window as shown. UTF-8 whatever the locale, so the Chinese
        // source texts cannot turn into question marks that a check would miss.
        QTimer::singleShot(0, &window, [&window] {
            std::cout << windowTexts(&window).join(QLatin1Char('\n')).toUtf8().constData() << std::endl;
            QCoreApplication::quit();
        });
        return app.exec();
    }
    RemoteControl remote(&window);
    remote.apply(readRemoteSettings(appSettings));
    // Goes before the window, so its last word to the broker is a clean offline.
    TelemetryStation telemetry(&window);
    telemetry.apply(readTelemetrySettings(appSettings));
    // Once the window is up, so the question has it as its parent.
    QTimer::singleShot(0, &window, &MainWindow::offerPendingReports);
    return app.exec();
}
