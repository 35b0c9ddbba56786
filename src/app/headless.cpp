#include "headless.h"

#include "app/quitonsignal.h"
#include "app/rememberedlink.h"
#include "control/blackbodymodel.h"
#include "recording/curverecorder.h"
#include "remote/remotecontrol.h"
#include "serial/portchoices.h"
#include "settings/remotesettings.h"
#include "settings/settings.h"
#include "settings/telemetrysettings.h"
#include "station/auditrecorder.h"
#include "station/calibrationreporter.h"
#include "station/calibrationrunner.h"
#include "station/station.h"
#include "telemetry/telemetrystation.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int kRetryOpenMs = 5000;

void say(const QString &text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}

int modelIndex(const QString &name)
{
    for (int i = 0; i < blackbodyModelCount(); ++i) {
        if (blackbodyModel(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

const char *stateWord(BlackbodyLink::State state)
{
    switch (state) {
    case BlackbodyLink::State::Closed:
        return "closed";
    case BlackbodyLink::State::Opening:
        return "opening";
    case BlackbodyLink::State::Open:
        return "open";
    case BlackbodyLink::State::Silent:
        return "silent: no valid reply from the controller";
    case BlackbodyLink::State::Reconnecting:
        return "lost: reconnecting every second";
    case BlackbodyLink::State::Unconfirmed:
        break;
    }
    return "unconfirmed: the controller may be another one (SYST:LINK:CONF vouches for it)";
}

// Recordings a crash left unsaved become curve files beside the journals, as a quitting station keeps its
// own; nobody is asked.
void saveUnsavedRecordings(Station &station)
{
    using Status = RecordingJournal::Status;
    const QVector<RecordingJournal::Found> found = Station::unsavedRecordings();
    for (const RecordingJournal::Found &recording : found) {
        if (recording.status == Status::Empty) {
            Station::dropRecording(recording.path);
            continue;
        }
        if (recording.status != Status::Ok) {
            say(QStringLiteral("Recording journal %1 cannot be read (%2); kept")
                    .arg(recording.path, recording.error));
            continue;
        }
        const QString start = QDateTime::fromMSecsSinceEpoch(recording.startMsecs).toString(Qt::ISODate);
        QString error;
        if (!station.recoverRecording(recording.path, &error)) {
            say(QStringLiteral("Unsaved recording from %1 (%2 points) kept in %3: %4")
                    .arg(start)
                    .arg(recording.points)
                    .arg(recording.path, error));
            continue;
        }
        const QString saved = station.saveRecordingBeside();
        say(saved.isEmpty()
                ? QStringLiteral("Unsaved recording from %1 (%2 points) kept in %3: no curve file "
                                 "could be written")
                      .arg(start)
                      .arg(recording.points)
                      .arg(recording.path)
                : QStringLiteral("Unsaved recording from %1 (%2 points) saved to %3")
                      .arg(start)
                      .arg(recording.points)
                      .arg(saved));
    }
}

} // namespace

int Headless::run(
    Station &station, RemoteControl &remote, TelemetryStation &telemetry, const Options &options)
{
    QuitOnSignal quit;
    QObject::connect(&quit, &QuitOnSignal::received, &station, [&](int number) {
        say(QStringLiteral("Signal %1: stopping").arg(number));
        // Nobody is asked: a run's journal and a recording wait for the next start.
        station.runner().leave();
        const QString kept = station.keepRecording();
        if (!kept.isEmpty())
            say(QStringLiteral("Recording kept in %1 for the next start").arg(kept));
        telemetry.stop();
        QCoreApplication::quit();
    });

    BlackbodyLink &link = station.link();
    QObject::connect(&link, &BlackbodyLink::stateChanged, &station, [](BlackbodyLink::State state) {
        say(QStringLiteral("Link: %1").arg(QLatin1String(stateWord(state))));
    });
    QObject::connect(&link, &BlackbodyLink::openFailed, &station, [](const QString &text) { say(text); });
    QObject::connect(&telemetry, &TelemetryStation::failed, &station,
        [](const QString &reason) { say(QStringLiteral("Telemetry: %1").arg(reason)); });
    QObject::connect(&station.reporter(), &CalibrationReporter::reported, &station,
        [&station](CalibrationReporter::Fate fate, const QString &file, bool) {
            say(fate == CalibrationReporter::Fate::Written
                    ? QStringLiteral("Report written: %1").arg(file)
                    : QStringLiteral("Report not written; results kept in %1").arg(file));
            if (fate == CalibrationReporter::Fate::Written && !station.reporter().lastTwinMissing().isEmpty())
                say(station.reporter().lastTwinMissing());
        });

    saveUnsavedRecordings(station);
    QObject::connect(&station.audit(), &AuditRecorder::failed, &station,
        [](const QString &error) { say(QStringLiteral("Audit trail: %1").arg(error)); });
    QObject::connect(&station.recorder(), &CurveRecorder::journalFailed, &station, [](const QString &reason) {
        say(QStringLiteral("Recording without its journal (%1): a crash would lose it").arg(reason));
    });

    QStringList unusable;
    const RemoteSettings remoteSettings = readRemoteSettings(appSettings, &unusable);
    unusable += RemoteControl::unusable(remoteSettings);
    if (!unusable.isEmpty() && remoteSettings.enabled)
        say(QStringLiteral("Remote control stays off: settings that cannot be used: %1")
                .arg(unusable.join(", ")));
    else if (!remote.apply(remoteSettings))
        say(QStringLiteral("Remote control: cannot listen on port %1: %2")
                .arg(remoteSettings.port)
                .arg(remote.errorString()));
    else if (remote.isServing())
        say(QStringLiteral("Remote control: SCPI on port %1").arg(remote.port()));
    unusable.clear();
    const TelemetryConfig telemetryConfig = readTelemetrySettings(appSettings, &unusable);
    if (!unusable.isEmpty() && !telemetryConfig.host.isEmpty())
        say(QStringLiteral("Telemetry stays off: settings that cannot be used: %1").arg(unusable.join(", ")));
    else
        telemetry.apply(telemetryConfig);

    const QString port
        = options.port.isEmpty() ? appSettings.value(RememberedLink::portKey, QString()) : options.port;
    const QString baud = options.baud.isEmpty()
        ? appSettings.value(RememberedLink::baudKey, QStringLiteral("9600"))
        : options.baud;
    const QString model
        = options.model.isEmpty() ? appSettings.value(RememberedLink::modelKey, QString()) : options.model;
    const int baudIndex = PortChoices::baudTexts().indexOf(baud);
    const int index = modelIndex(model);
    if (port.isEmpty()) {
        say(QStringLiteral("No port given or last used: the link stays closed until a client opens it"));
    } else if (baudIndex < 0 || index < 0) {
        say(QStringLiteral("Unknown baud rate %1 or model %2").arg(baud, model));
        return 2;
    } else {
        say(QStringLiteral("Opening %1 at %2 Bd for %3").arg(port, baud, blackbodyModel(index).name));
        const QSerialPort::BaudRate rate = PortChoices::baudForIndex(baudIndex);
        // A station started at boot may come up before its adapter: the port it was given is tried again
        // until it opens, unless a client opens or closes the link meanwhile.
        QTimer retry;
        retry.setSingleShot(true);
        retry.setInterval(kRetryOpenMs);
        QObject::connect(&retry, &QTimer::timeout, &station, [&link, port, rate, index] {
            if (link.state() == BlackbodyLink::State::Closed)
                link.open(port, rate, index);
        });
        const QMetaObject::Connection failed
            = QObject::connect(&link, &BlackbodyLink::openFailed, &retry, [&retry] {
                  say(QStringLiteral("Trying again in %1 s").arg(kRetryOpenMs / 1000));
                  retry.start();
              });
        QObject::connect(&link, &BlackbodyLink::opened, &retry, [failed] { QObject::disconnect(failed); });
        link.open(port, rate, index);
        return QCoreApplication::exec();
    }
    return QCoreApplication::exec();
}
