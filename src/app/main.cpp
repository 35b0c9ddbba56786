#include "app/headless.h"
#include "app/language.h"
#include "app/mainwindow.h"
#include "app/quitonsignal.h"
#include "app/remotecontrolshell.h"
#include "app/startup.h"
#include "app/telemetryshell.h"
#include "app/windowplacement.h"
#include "app/windowtexts.h"
#include "remote/remotecontrol.h"
#include "settings/settings.h"
#include "settings/telemetrysettings.h"
#include "station/calibrationreporter.h"
#include "station/station.h"
#include "telemetry/telemetrystation.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QTimer>

#include <iostream>

namespace {

const QCommandLineOption printTexts(QStringLiteral("print-texts"),
    QStringLiteral(
        "Start as usual, print the window's title and button captions to standard output, then quit."));
const QCommandLineOption headlessOption(QStringLiteral("headless"),
    QStringLiteral("Run the station without a window: the link, recording, runs, SCPI and MQTT as config.xml "
                   "says. No display is needed; SIGTERM or SIGINT ends it."));
const QCommandLineOption portOption(QStringLiteral("port"),
    QStringLiteral("With --headless: the blackbody's port (else the last used)."), QStringLiteral("path"));
const QCommandLineOption baudOption(QStringLiteral("baud"),
    QStringLiteral("With --headless: the baud rate (else the last used)."), QStringLiteral("rate"));
const QCommandLineOption modelOption(QStringLiteral("model"),
    QStringLiteral("With --headless: the blackbody model (else the last used)."), QStringLiteral("name"));

void parseCommandLine(QCommandLineParser &parser, const QCoreApplication &app)
{
    parser.setApplicationDescription(QStringLiteral(
        "Controls a blackbody calibration source over a serial port and records its temperature."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({printTexts, headlessOption, portOption, baudOption, modelOption});
    parser.process(app);
}

bool hasArgument(int argc, char *argv[], std::initializer_list<const char *> names)
{
    for (int i = 1; i < argc; ++i) {
        for (const char *name : names) {
            if (qstrcmp(argv[i], name) == 0)
                return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    // Help and version are plain text: they are answered before the window system is asked for a display.
    if (hasArgument(argc, argv, {"-h", "-?", "--help", "--help-all", "-v", "--version"})) {
        QCoreApplication app(argc, argv);
        prepareApplication();
        QCommandLineParser parser;
        parseCommandLine(parser, app); // exits
    }
    // Decided before any application object exists: a station without a window needs no display, and
    // paints its certificates offscreen.
    const bool headless = hasArgument(argc, argv, {"--headless", "-headless"});
    if (headless)
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    prepareApplication();
    QGuiApplication::setDesktopFileName(QStringLiteral("com.ostrel.blackbody"));
    QCommandLineParser parser;
    parseCommandLine(parser, app);

    // The settings folder is named after the executable, so this must run before the application is
    // renamed.
    appSettings.load();
    appSettings.applyDefaults();
    // Curve files and certificates name the program, window or not.
    QCoreApplication::setApplicationName(QStringLiteral("Ostrel黑体控制软件"));

    Station station;
    RemoteControl remote(&station);
    // Goes before the window, so its last word to the broker is a clean offline.
    TelemetryStation telemetry(&station, CalibrationReporter::journalFolder());

    if (headless) {
        // Certificates in the operator's language, as the window would write them.
        const QString language = appSettings.value(appSettings.languageKey, Language::simplifiedChinese);
        Language::install(language, Language::translationDirs(QCoreApplication::applicationDirPath()),
            QLibraryInfo::location(QLibraryInfo::TranslationsPath));
        return Headless::run(station, remote, telemetry,
            {parser.value(portOption), parser.value(baudOption), parser.value(modelOption)});
    }

    MainWindow window(&station);
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
    (new RemoteControlShell(&remote, &window))->start();
    (new TelemetryShell(&telemetry, &window))->start();
    // A service manager's stop or a Ctrl+C ends the window without a question.
    QuitOnSignal quit;
    QObject::connect(&quit, &QuitOnSignal::received, &window, &MainWindow::closeWithoutAsking);
    // Once the window is up, so the question has it as its parent.
    QTimer::singleShot(0, &window, &MainWindow::offerPendingReports);
    return app.exec();
}
