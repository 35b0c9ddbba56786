// A plant's fleet in one process: many MqttPublisher objects, each with its outbox file, send readings at
// 2 Hz and an event every few seconds each to one local mosquitto, which is restarted halfway unless
// --no-restart; a durable subscriber counts what arrives. Prints lost events (the goal is none, across
// the restart too) and where they went: still held by the publishers, acknowledged by the broker but
// never delivered, or dropped by the broker ($SYS and its log); the readings' latency from publish to
// delivery, the CPU each station costs and how many readings arrived.
//   bench_mqtt_fleet [--stations 100] [--seconds 20] [--no-restart] [--no-outbox]
//                    [--broker-config "max_queued_messages 1000;..."]
#include "mosquittobroker.h"
#include "mosquittosubscriber.h"
#include "telemetry/mqttpublisher.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <numeric>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kReadingMs = 500;
constexpr int kEventMs = 3000;
// What the README asks of a plant's broker: room for a hundred waiting events per station in each
// collector's queue, which mosquitto otherwise bounds at 1,000 messages.
QString plantBroker(int stations)
{
    return QStringLiteral("max_queued_messages %1").arg(std::max(1000, 100 * stations));
}

// Runs the event loop until `done` holds or `ms` pass; true when it holds.
bool waitUntil(const std::function<bool()> &done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() >= ms)
            loop.quit();
    });
    check.start(10);
    if (!done())
        loop.exec();
    return done();
}

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// User and system CPU of another process of ours, from /proc; 0 once it is gone.
double processCpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    // The fields after the command name, which may hold spaces, begin after its closing parenthesis.
    const QList<QByteArray> f = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (f.size() < 13)
        return 0;
    return double(f[11].toLongLong() + f[12].toLongLong()) / double(::sysconf(_SC_CLK_TCK));
}

double percentile(std::vector<double> sorted, double p)
{
    if (sorted.empty())
        return std::nan("");
    std::sort(sorted.begin(), sorted.end());
    return sorted[std::min(sorted.size() - 1, size_t(p * double(sorted.size())))];
}

struct Station
{
    std::unique_ptr<MqttPublisher> publisher;
    QTimer readings, events;
    int eventsPublished = 0;
    int readingsPublished = 0;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption stationsOption("stations", "Publishers in the fleet.", "n", "100");
    const QCommandLineOption secondsOption("seconds", "Length of the run.", "s", "20");
    const QCommandLineOption noRestartOption("no-restart", "Keep the broker running throughout.");
    const QCommandLineOption noOutboxOption("no-outbox", "Keep events in memory only, without outbox files.");
    const QCommandLineOption brokerOption("broker-config",
        "mosquitto.conf lines, ';' between them, for the broker (default: the settings the README gives a "
        "plant; \"\" for mosquitto's own defaults).",
        "lines");
    parser.addOptions({stationsOption, secondsOption, noRestartOption, noOutboxOption, brokerOption});
    parser.process(app);
    const int stationCount = std::max(1, parser.value(stationsOption).toInt());
    const int seconds = std::max(2, parser.value(secondsOption).toInt());
    const bool restart = !parser.isSet(noRestartOption);
    const QString brokerConfig = parser.isSet(brokerOption)
        ? parser.value(brokerOption).split(';', Qt::SkipEmptyParts).join('\n')
        : plantBroker(stationCount);

    if (MosquittoBroker::program("mosquitto").isEmpty()
        || MosquittoBroker::program("mosquitto_sub").isEmpty()) {
        std::fprintf(stderr, "mosquitto and mosquitto_sub are needed\n");
        return 2;
    }
    // $SYS every second, for the count of messages the broker dropped.
    MosquittoBroker broker("allow_anonymous true\nsys_interval 1\n" + brokerConfig);
    QTemporaryDir outputs;
    MosquittoSubscriber subscriber(broker.port(), "bench/#", "fleet-counter", outputs.filePath("fleet.txt"));
    MosquittoSubscriber dropWatch(broker.port(), "$SYS/broker/publish/messages/dropped", "fleet-sys");
    if (!broker.start() || !subscriber.start() || !broker.waitForLog("as fleet-counter", 2, 5000)
        || !dropWatch.start()) {
        std::fprintf(stderr, "the broker or the subscriber did not start\n");
        return 1;
    }

    QTemporaryDir outboxes;
    const bool withOutbox = !parser.isSet(noOutboxOption);
    std::vector<std::unique_ptr<Station>> fleet;
    int connectedCount = 0;
    for (int i = 0; i < stationCount; ++i) {
        auto s = std::make_unique<Station>();
        s->publisher = std::make_unique<MqttPublisher>();
        QObject::connect(s->publisher.get(), &MqttPublisher::connectedChanged,
            [&connectedCount](bool up) { connectedCount += up ? 1 : -1; });
        TelemetryConfig config;
        config.host = "127.0.0.1";
        config.port = broker.port();
        config.prefix = "bench";
        config.station = QString::asprintf("s%03d", i);
        if (withOutbox)
            s->publisher->setOutboxFolder(outboxes.filePath(config.station));
        s->publisher->start(config, {"bench", "BB-1200", "/dev/null", QDateTime::currentDateTime(), {}});
        fleet.push_back(std::move(s));
    }
    if (!waitUntil([&] { return connectedCount == stationCount; }, 20000)) {
        std::fprintf(stderr, "only %d of %d stations connected\n", connectedCount, stationCount);
        return 1;
    }

    // Readings and events spread evenly over their periods, as a real fleet's would be.
    QElapsedTimer run;
    run.start();
    const double cpuBefore = cpuSeconds();
    const double brokerCpuBefore = processCpuSeconds(broker.processId());
    double brokerCpuFirst = 0; // of the broker that was stopped
    for (int i = 0; i < stationCount; ++i) {
        Station *s = fleet[size_t(i)].get();
        QObject::connect(&s->readings, &QTimer::timeout, [s, i] {
            TelemetryPayloads::Reading r;
            r.ts = QDateTime::currentDateTime(); // the publish time the latency is measured from
            r.temperature = 150.0 + 0.05 * std::sin(double(r.ts.toMSecsSinceEpoch()) / 1000.0 + i);
            r.setPoint = 150.0;
            r.stable = true;
            r.link = "open";
            if (s->publisher->isConnected())
                ++s->readingsPublished;
            s->publisher->publishTelemetry(r);
        });
        QObject::connect(&s->events, &QTimer::timeout, [s] {
            s->publisher->publishEvent("bench_tick", {{"n", ++s->eventsPublished}});
        });
        QTimer::singleShot(
            i * kReadingMs / stationCount, &s->readings, [s] { s->readings.start(kReadingMs); });
        QTimer::singleShot(i * kEventMs / stationCount, &s->events, [s] { s->events.start(kEventMs); });
    }

    // The restart window: from the broker going down until every station and the subscriber are back.
    qint64 windowFrom = -1, windowTo = -1;
    if (restart) {
        QTimer::singleShot(seconds * 500, [&] {
            windowFrom = QDateTime::currentMSecsSinceEpoch();
            brokerCpuFirst = processCpuSeconds(broker.processId()) - brokerCpuBefore;
            broker.stop();
            broker.start();
        });
    }
    waitUntil(
        [&] {
            if (windowFrom >= 0 && windowTo < 0 && connectedCount == stationCount
                && broker.waitForLog("as fleet-counter", 3, 0))
                windowTo = QDateTime::currentMSecsSinceEpoch();
            return run.elapsed() >= seconds * 1000;
        },
        seconds * 1000 + 1000);
    const double elapsed = double(run.elapsed()) / 1000.0;
    const double cpu = cpuSeconds() - cpuBefore;
    const double brokerCpu = restart ? brokerCpuFirst + processCpuSeconds(broker.processId())
                                     : processCpuSeconds(broker.processId()) - brokerCpuBefore;
    for (const auto &s : fleet) {
        s->readings.stop();
        s->events.stop();
    }

    const int eventsPublished = std::accumulate(
        fleet.begin(), fleet.end(), 0, [](int n, const auto &s) { return n + s->eventsPublished; });
    const auto eventsDelivered = [&] {
        QSet<QPair<QByteArray, qint64>> seen;
        for (const auto &m : subscriber.messages("/event"))
            seen.insert(
                {m.topic, QJsonDocument::fromJson(m.payload).object().value("seq").toVariant().toLongLong()});
        return seen;
    };
    waitUntil([&] { return eventsDelivered().size() >= eventsPublished; }, 20000);
    // Readings sent at the very end may still be on their way; around a restart some are lost for good.
    const int readingsPublished = std::accumulate(
        fleet.begin(), fleet.end(), 0, [](int n, const auto &s) { return n + s->readingsPublished; });
    waitUntil([&] { return subscriber.messages("/telemetry").size() >= readingsPublished; }, 1000);

    const QSet<QPair<QByteArray, qint64>> distinct = eventsDelivered();
    // What the publishers hold has not been acknowledged; everything else the broker said it had.
    const int held = std::accumulate(
        fleet.begin(), fleet.end(), 0, [](int n, const auto &s) { return n + s->publisher->queuedEvents(); });
    // The broker's count starts again at its restart: the last before it and the last after it.
    qint64 brokerDropped = 0, droppedBefore = 0, droppedAfter = 0;
    for (const auto &m : dropWatch.messages()) {
        const qint64 value = m.payload.trimmed().toLongLong();
        if (windowFrom >= 0 && m.receivedAt * 1000.0 < double(windowFrom))
            droppedBefore = value;
        else
            droppedAfter = value;
    }
    brokerDropped = droppedBefore + droppedAfter;
    const int droppedNotices
        = broker.logCount("Outgoing messages are being dropped for client fleet-counter");
    int lost = 0;
    for (int i = 0; i < stationCount; ++i) {
        const QByteArray topic = QString::asprintf("bench/s%03d/event", i).toUtf8();
        for (int seq = 1; seq <= fleet[size_t(i)]->eventsPublished; ++seq)
            lost += distinct.contains({topic, seq}) ? 0 : 1;
    }
    const QVector<MosquittoSubscriber::Message> events = subscriber.messages("/event");
    const auto dropReports = std::count_if(
        events.begin(), events.end(), [](const auto &m) { return m.payload.contains("\"events_dropped\""); });

    std::vector<double> latencies;
    int excluded = 0;
    const QVector<MosquittoSubscriber::Message> readings = subscriber.messages("/telemetry");
    for (const auto &m : readings) {
        const QString ts = QJsonDocument::fromJson(m.payload).object().value("ts").toString();
        const qint64 sent = QDateTime::fromString(ts, Qt::ISODateWithMs).toMSecsSinceEpoch();
        if (windowFrom >= 0 && sent >= windowFrom && (windowTo < 0 || sent <= windowTo)) {
            ++excluded;
            continue;
        }
        latencies.push_back(m.receivedAt * 1000.0 - double(sent));
    }

    std::printf("stations %d, %.1f s, broker %s\n", stationCount, elapsed,
        restart ? qPrintable(QStringLiteral("restarted at %1 s, all back after %2 s")
                                 .arg(seconds / 2.0)
                                 .arg(windowTo < 0 ? -1.0 : double(windowTo - windowFrom) / 1000.0))
                : "not restarted");
    std::printf("events: published %d, delivered %d distinct of %d messages, lost %d, drop reports %d\n",
        eventsPublished, int(distinct.size()), int(events.size()), lost, int(dropReports));
    std::printf("  where: publishers still hold %d unacknowledged; the broker acknowledged %d, of which the"
                " subscriber missed %d\n",
        held, eventsPublished - held, std::max(0, lost - held));
    std::printf(
        "  broker: %lld messages dropped ($SYS publish/messages/dropped, QoS 0 and 1 alike; %lld before"
        " the restart), %d notices \"outgoing messages are being dropped\" for the subscriber\n",
        brokerDropped, droppedBefore, droppedNotices);
    std::printf("  broker settings: %s; outbox files: %s\n",
        brokerConfig.isEmpty() ? "mosquitto's defaults"
                               : qPrintable(QString(brokerConfig).replace('\n', "; ")),
        withOutbox ? "yes" : "no");
    std::printf(
        "telemetry: published while connected %d, delivered %d\n", readingsPublished, int(readings.size()));
    std::printf(
        "telemetry latency: p50 %.2f ms, p99 %.2f ms, max %.2f ms (%zu readings outside the restart window,"
        " %d inside left out; ts has millisecond resolution)\n",
        percentile(latencies, 0.50), percentile(latencies, 0.99), percentile(latencies, 1.0),
        latencies.size(), excluded);
    std::printf("cpu: %.3f %% per station (%.2f s of process CPU over %.1f s for %d stations); broker %.3f %%"
                " per station (%.2f s)\n",
        100.0 * cpu / elapsed / stationCount, cpu, elapsed, stationCount,
        100.0 * brokerCpu / elapsed / stationCount, brokerCpu);
    double load[3] = {0, 0, 0};
    if (getloadavg(load, 3) == 3)
        std::printf("machine load: %.2f %.2f %.2f (1, 5, 15 min) on %d cores\n", load[0], load[1], load[2],
            QThread::idealThreadCount());
    fleet.clear();
    return lost == 0 ? 0 : 1;
}
