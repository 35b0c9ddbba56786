// A plant's fleet in one process: many MqttPublisher objects send readings at 2 Hz and an event every few
// seconds each to one local mosquitto, which is restarted halfway unless --no-restart; a durable
// subscriber counts what arrives. Prints lost events (the goal is none, across the restart too), the
// readings' latency from publish to delivery, the CPU each station costs and how many readings arrived.
//   bench_mqtt_fleet [--stations 100] [--seconds 20] [--no-restart]
#include "mosquittobroker.h"
#include "mosquittosubscriber.h"
#include "telemetry/mqttpublisher.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <numeric>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int kReadingMs = 500;
constexpr int kEventMs = 3000;

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
    parser.addOptions({stationsOption, secondsOption, noRestartOption});
    parser.process(app);
    const int stationCount = std::max(1, parser.value(stationsOption).toInt());
    const int seconds = std::max(2, parser.value(secondsOption).toInt());
    const bool restart = !parser.isSet(noRestartOption);

    if (MosquittoBroker::program("mosquitto").isEmpty()
        || MosquittoBroker::program("mosquitto_sub").isEmpty()) {
        std::fprintf(stderr, "mosquitto and mosquitto_sub are needed\n");
        return 2;
    }
    MosquittoBroker broker;
    MosquittoSubscriber subscriber(broker.port(), "bench/#", "fleet-counter");
    if (!broker.start() || !subscriber.start() || !broker.waitForLog("as fleet-counter", 2, 5000)) {
        std::fprintf(stderr, "the broker or the subscriber did not start\n");
        return 1;
    }

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
    std::printf(
        "telemetry: published while connected %d, delivered %d\n", readingsPublished, int(readings.size()));
    std::printf(
        "telemetry latency: p50 %.2f ms, p99 %.2f ms, max %.2f ms (%zu readings outside the restart window,"
        " %d inside left out; ts has millisecond resolution)\n",
        percentile(latencies, 0.50), percentile(latencies, 0.99), percentile(latencies, 1.0),
        latencies.size(), excluded);
    std::printf("cpu: %.3f %% per station (%.2f s of process CPU over %.1f s for %d stations)\n",
        100.0 * cpu / elapsed / stationCount, cpu, elapsed, stationCount);
    fleet.clear();
    return lost == 0 ? 0 : 1;
}
