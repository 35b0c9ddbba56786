#include "app/auditcommand.h"
#include "app/headless.h"
#include "app/instanceguard.h"
#include "app/language.h"
#include "app/mainwindow.h"
#include "app/quitonsignal.h"
#include "app/remotecontrolshell.h"
#include "app/signingshell.h"
#include "app/startup.h"
#include "app/telemetryshell.h"
#include "app/windowplacement.h"
#include "app/windowtexts.h"
#include "remote/remotecontrol.h"
#include "settings/certificatecounter.h"
#include "settings/profile.h"
#include "settings/settings.h"
#include "settings/telemetrysettings.h"
#include "station/calibrationreporter.h"
#include "station/station.h"
#include "telemetry/telemetrystation.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QLibraryInfo>
#include <QMessageBox>
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
const QCommandLineOption profileOption(QStringLiteral("profile"),
    QStringLiteral("Run the station of this profile: its own config.xml, journals and recordings, so several "
                   "stations can run on one computer. A letter or digit, then letters, digits, '_', '-' or "
                   "'.'; \"default\" (or none) is the station's first profile."),
    QStringLiteral("name"));
const QCommandLineOption verifyAuditOption(QStringLiteral("verify-audit"),
    QStringLiteral("Check the audit trail FILE (else the user's audit.log) without a display: print its head "
                   "hash and exit 0, or name the first line that does not verify and exit 1."));
const QCommandLineOption reportsOption(QStringLiteral("reports"),
    QStringLiteral("With --verify-audit: also check the issue records in this folder (the data folder's "
                   "\"issued\") and their report files against the trail; exit 5 when one disagrees."),
    QStringLiteral("folder"));

// Exit codes beside 0 and the 2 of a link that cannot be opened.
constexpr int kProfileInUse = 3;
constexpr int kBadProfile = 4;

void parseCommandLine(QCommandLineParser &parser, const QCoreApplication &app)
{
    parser.setApplicationDescription(QStringLiteral(
        "Controls a blackbody calibration source over a serial port and records its temperature."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({printTexts, headlessOption, portOption, baudOption, modelOption, profileOption,
        verifyAuditOption, reportsOption});
    parser.addPositionalArgument(QStringLiteral("file"),
        QStringLiteral("With --verify-audit: the trail to check."), QStringLiteral("[FILE]"));
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

void say(const QString &text)
{
    std::cerr << text.toLocal8Bit().constData() << std::endl;
}

// The profile's name as people read it.
QString shownProfile(const QString &profile)
{
    return profile.isEmpty() ? QStringLiteral("default") : profile;
}

// Another instance runs this profile: the window asks it to come to the front; the code to exit with.
int leaveToRunningInstance(InstanceGuard &guard, const QString &profile, bool headless)
{
    if (!headless && guard.askToRaise()) {
        say(QStringLiteral("Profile %1 is already running: its window was brought to the front")
                .arg(shownProfile(profile)));
        return 0;
    }
    const QString text = QStringLiteral("Profile %1 is in use by process %2 (%3); not starting")
                             .arg(shownProfile(profile))
                             .arg(guard.holder())
                             .arg(QDir::toNativeSeparators(guard.lockPath()));
    say(text);
    if (!headless) {
        QMessageBox::warning(nullptr, QCoreApplication::translate("main", "提示"),
            QCoreApplication::translate("main", "配置“%1”已由另一个程序实例（进程 %2）使用，本次不启动。")
                .arg(shownProfile(profile))
                .arg(guard.holder()));
    }
    return kProfileInUse;
}

// Older versions counted certificates in the default profile's config.xml: the shared counter starts
// above that, whichever profile starts first. Before the application is renamed, as the folders are.
void seedCertificateCounter()
{
    const QString legacy = Profile::configDir(QString()) + QStringLiteral("/config.xml");
    QString error;
    if (!CertificateCounter::seed(CertificateCounter::filePath(appSettings.userDataDir),
            CertificateCounter::legacyCount(legacy), &error))
        say(error);
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
    // A check of the records needs no display, no profile and no settings.
    if (hasArgument(argc, argv, {"--verify-audit", "-verify-audit"})) {
        QCoreApplication app(argc, argv);
        prepareApplication();
        QCommandLineParser parser;
        parseCommandLine(parser, app);
        return AuditCommand::verify(
            parser.positionalArguments().value(0), parser.value(reportsOption), Profile::userDataDir());
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

    const QString profileName = parser.value(profileOption);
    if (parser.isSet(profileOption) && !Profile::isValidName(profileName)) {
        say(QStringLiteral("Not a profile name: \"%1\" (a letter or digit, then up to 63 letters, digits, "
                           "'_', '-' or '.')")
                .arg(profileName));
        return kBadProfile;
    }
    // The settings folder is named after the executable, so this must run before the application is
    // renamed.
    appSettings.profile = Profile::normalized(profileName);
    InstanceGuard guard(Profile::dataDir(appSettings.profile));
    switch (guard.claim()) {
    case InstanceGuard::Claim::Ours:
        break;
    case InstanceGuard::Claim::Taken:
        return leaveToRunningInstance(guard, appSettings.profile, headless);
    case InstanceGuard::Claim::Failed:
        say(QStringLiteral("Cannot lock profile %1 (%2): %3; not starting")
                .arg(shownProfile(appSettings.profile), QDir::toNativeSeparators(guard.lockPath()),
                    guard.errorString()));
        return kProfileInUse;
    }
    appSettings.load();
    appSettings.applyDefaults();
    seedCertificateCounter();
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
    // A second start of this profile brings this window to the front instead of running beside it.
    QObject::connect(&guard, &InstanceGuard::raiseRequested, &window, [&window] {
        if (window.isMinimized())
            window.showNormal();
        window.raise();
        window.activateWindow();
    });
    if (!guard.listen())
        say(QStringLiteral("A second start of this profile cannot reach this window: %1")
                .arg(guard.errorString()));
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
    new SigningShell(&window, &station.reporter());
    // A service manager's stop or a Ctrl+C ends the window without a question.
    QuitOnSignal quit;
    QObject::connect(&quit, &QuitOnSignal::received, &window, &MainWindow::closeWithoutAsking);
    // Once the window is up, so the question has it as its parent.
    QTimer::singleShot(0, &window, &MainWindow::offerPendingReports);
    return app.exec();
}
