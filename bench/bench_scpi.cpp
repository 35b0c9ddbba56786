// Round trips of SCPI clients through the remote-control server while the blackbody link polls the
// simulated controller, and what the clients do to the poll period.
//
//   bench_scpi [--clients 4] [--queries 10000]
//
// Prints p50/p99 of `MEAS:TEMP?` round trips over all clients (goal p50 <= 0.5 ms, p99 <= 2 ms on two
// cores) and the poll period's deviation from 500 ms without and with the clients (goal within +-5 ms).

#include "app/startup.h"
#include "blackbodydevice.h"
#include "devicesimulator.h"
#include "remote/remotecommands.h"
#include "remote/scpiserver.h"
#include "station/station.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values.at(std::min(values.size() - 1, size_t(p / 100.0 * double(values.size()))));
}

// Runs the event loop until `done` or `ms` have passed.
void waitFor(QApplication &app, const std::function<bool()> &done, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        app.processEvents(QEventLoop::WaitForMoreEvents, 10);
}

void printPeriods(const char *label, const std::vector<double> &periods)
{
    if (periods.empty()) {
        std::printf("%s: no poll ticks\n", label);
        return;
    }
    const auto [low, high] = std::minmax_element(periods.begin(), periods.end());
    std::printf("%s: %zu periods, %.2f .. %.2f ms (deviation %+.2f / %+.2f ms from 500)\n", label,
        periods.size(), *low, *high, *low - 500, *high - 500);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    prepareApplication();
    QCommandLineParser options;
    options.addHelpOption();
    options.addOption({QStringLiteral("clients"), QStringLiteral("Clients at once."), QStringLiteral("n"),
        QStringLiteral("4")});
    options.addOption({QStringLiteral("queries"), QStringLiteral("Queries per client."), QStringLiteral("n"),
        QStringLiteral("10000")});
    options.process(app);
    const int clients = options.value(QStringLiteral("clients")).toInt();
    const int queries = options.value(QStringLiteral("queries")).toInt();
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));

    QThread simThread;
    auto device = std::make_unique<sim::BlackbodyDevice>(
        sim::BlackbodyModel::find(QStringLiteral("VBM100")), 9600, 25.0);
    device->setNoise(0.0);
    auto *sim = new sim::DeviceSimulator(std::move(device));
    sim->moveToThread(&simThread);
    simThread.start();
    QTemporaryDir dir;
    const QString port = dir.filePath(QStringLiteral("bb"));
    bool simOpen = false;
    QMetaObject::invokeMethod(
        sim, [&] { simOpen = sim->open(port); }, Qt::BlockingQueuedConnection);
    if (!simOpen) {
        std::fprintf(stderr, "cannot start the simulated controller\n");
        return 1;
    }

    Station station;
    BlackbodyLink &link = station.link();
    RemoteCommands commands(&station);
    ScpiServer server(RemoteCommands::patterns(), &commands);
    if (!server.listen(0, false, AllowList())) {
        std::fprintf(stderr, "cannot listen: %s\n", qPrintable(server.errorString()));
        return 1;
    }

    QElapsedTimer clock;
    clock.start();
    std::vector<double> periods;
    qint64 lastTickNs = 0;
    QObject::connect(&link, &BlackbodyLink::ticked, &app, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (lastTickNs)
            periods.push_back(double(now - lastTickNs) / 1e6);
        lastTickNs = now;
    });
    link.open(port, QSerialPort::Baud9600, 0);
    waitFor(
        app, [&] { return link.latest().has_value(); }, 5000);
    if (!link.latest()) {
        std::fprintf(stderr, "no reading from the simulated controller\n");
        return 1;
    }
    waitFor(
        app, [] { return false; }, 5000);
    const std::vector<double> idlePeriods = periods;
    periods.clear();
    lastTickNs = 0;

    const quint16 serverPort = server.port();
    std::vector<std::vector<double>> trips {size_t(clients)};
    std::atomic<int> finished {0};
    std::atomic<int> failures {0};
    // The clients go on querying, unmeasured, until the poll period has been seen often enough under them.
    std::atomic<int> measured {0};
    std::atomic<bool> stop {false};
    std::vector<std::unique_ptr<QThread>> threads;
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back(QThread::create([&, c] {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, serverPort);
            if (!socket.waitForConnected(5000)) {
                ++failures;
                ++finished;
                return;
            }
            socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
            QElapsedTimer trip;
            std::vector<double> &mine = trips[size_t(c)];
            mine.reserve(size_t(queries));
            for (int i = 0; i < queries || !stop.load(); ++i) {
                trip.start();
                socket.write("MEAS:TEMP?\n");
                socket.flush();
                while (!socket.canReadLine()) {
                    if (!socket.waitForReadyRead(5000)) {
                        ++failures;
                        ++finished;
                        return;
                    }
                }
                const QByteArray answer = socket.readLine();
                if (i >= queries)
                    continue;
                mine.push_back(double(trip.nsecsElapsed()) / 1e6);
                if (answer.startsWith("9.91E37"))
                    ++failures;
                if (i + 1 == queries)
                    ++measured;
            }
            ++finished;
        }));
        threads.back()->start();
    }
    QElapsedTimer wall;
    wall.start();
    waitFor(
        app, [&] { return measured.load() + finished.load() >= clients; }, 600000);
    const double seconds = double(wall.elapsed()) / 1000;
    waitFor(
        app, [&] { return periods.size() >= 10 || finished.load() == clients; }, 60000);
    stop = true;
    waitFor(
        app, [&] { return finished.load() == clients; }, 60000);
    for (auto &thread : threads)
        thread->wait();

    std::vector<double> all;
    for (const auto &mine : trips)
        all.insert(all.end(), mine.begin(), mine.end());
    std::printf("%d clients x %d MEAS:TEMP? in %.1f s (%zu answers, %d failures)\n", clients, queries,
        seconds, all.size(), failures.load());
    std::printf("round trip: p50 %.3f ms (goal <= 0.5), p99 %.3f ms (goal <= 2), max %.3f ms\n",
        percentile(all, 50), percentile(all, 99), percentile(all, 100));
    printPeriods("poll period without clients", idlePeriods);
    printPeriods("poll period with clients   ", periods);

    link.close();
    waitFor(
        app, [&] { return !link.isPortOpen(); }, 3000);
    QMetaObject::invokeMethod(
        sim, [sim] { delete sim; }, Qt::BlockingQueuedConnection);
    simThread.quit();
    simThread.wait();
    return failures.load() == 0 ? 0 : 1;
}
