// Time from a reading request to the parsed reading, through the link to the instrument under test and
// the simulator's instrument over a pseudo-terminal, for each shipped example driver at 9600 and 115200
// baud. The simulated instrument paces requests and replies at its line's character time, so the line's
// own share is printed beside the figures.

#include "control/uutdriver.h"
#include "devicesimulator.h"
#include "settings/uutdriverfolders.h"
#include "station/uutlink.h"
#include "uutdevice.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

struct Case
{
    const char *kind;
    const char *driver;
};

const Case kCases[] = {{"ascii", "ascii-ir.bbuut"}, {"addressed", "addressed-ir.bbuut"},
    {"binary", "binary-ir.bbuut"}, {"scpi", "scpi-readout.bbuut"}};
constexpr double kSourceCelsius = 50.0;

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(p / 100.0 * double(values.size())));
    return values[index];
}

struct Figures
{
    std::vector<double> totalMs; // requestReading() -> answered()
    std::vector<double> afterLineMs; // the reply's last byte written by the simulator -> answered()
    int failures = 0;
    int requestBytes = 0;
    int replyBytes = 0;
};

// One driver at one baud rate; false when the link cannot be set up.
bool measure(QCoreApplication &app, const Case &c, int baud, int readings, Figures *figures)
{
    const UutDriverRead read = loadUutDriver(findUutDriver(QString::fromLatin1(c.driver)));
    if (!read.driver) {
        std::fprintf(stderr, "%s: %s\n", c.driver, qPrintable(read.error));
        return false;
    }
    UutDriver driver = *read.driver;
    driver.baud = baud;

    // The instrument gets a thread of its own, as a real one would not share the program's.
    QThread simThread;
    sim::UutDevice::Kind kind = sim::UutDevice::Kind::Ascii;
    sim::UutDevice::kindFromName(QString::fromLatin1(c.kind), &kind);
    auto device = std::make_unique<sim::UutDevice>(
        kind, [] { return kSourceCelsius; }, baud);
    device->setNoise(0.0);
    auto *sim = new sim::DeviceSimulator(std::move(device));
    sim->setPacing(true);
    sim->moveToThread(&simThread);
    QElapsedTimer clock;
    clock.start();
    std::atomic<qint64> replySentNs {0};
    std::atomic<int> requestBytes {0};
    std::atomic<int> replyBytes {0};
    QObject::connect(
        sim, &sim::DeviceSimulator::requestReceived, sim,
        [&](const QByteArray &request) { requestBytes = request.size(); }, Qt::DirectConnection);
    QObject::connect(
        sim, &sim::DeviceSimulator::replySent, sim,
        [&](const QByteArray &reply) {
            replyBytes = reply.size();
            replySentNs = clock.nsecsElapsed();
        },
        Qt::DirectConnection);
    simThread.start();
    QTemporaryDir dir;
    const QString port = dir.filePath(QStringLiteral("uut"));
    bool simOpen = false;
    QMetaObject::invokeMethod(
        sim, [&] { simOpen = sim->open(port); }, Qt::BlockingQueuedConnection);

    bool ok = simOpen;
    if (ok) {
        UutLink link;
        // No presence checks among the timed exchanges.
        link.setPresenceCheckInterval(3600 * 1000);
        QObject::connect(&link, &UutLink::stateChanged, &app, [&](UutLink::State state) {
            if (state == UutLink::State::Connected)
                app.exit(0);
        });
        QObject::connect(&link, &UutLink::openFailed, &app, [&](const QString &reason) {
            std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(port), qPrintable(reason));
            app.exit(1);
        });
        link.open(driver, port);
        ok = app.exec() == 0;

        int token = 0;
        qint64 askedNs = 0;
        const auto ask = [&] {
            askedNs = clock.nsecsElapsed();
            token = link.requestReading();
        };
        QObject::connect(&link, &UutLink::answered, &app, [&](int answeredToken, const UutReading &reading) {
            if (answeredToken != token)
                return;
            const qint64 now = clock.nsecsElapsed();
            if (reading.kind != UutReading::Kind::Value || std::abs(reading.value - kSourceCelsius) > 0.05) {
                ++figures->failures;
            } else {
                figures->totalMs.push_back(double(now - askedNs) / 1e6);
                figures->afterLineMs.push_back(double(now - replySentNs.load()) / 1e6);
            }
            if (int(figures->totalMs.size()) + figures->failures >= readings)
                app.exit(0);
            else
                // The driver's least gap between a reply and the next request, so none waits on it.
                QTimer::singleShot(driver.waitBetweenMs + 2, &app, ask);
        });
        if (ok) {
            ask();
            app.exec();
        }
        link.close();
    }
    figures->requestBytes = requestBytes;
    figures->replyBytes = replyBytes;
    QMetaObject::invokeMethod(
        sim, [&] { delete sim; }, Qt::BlockingQueuedConnection);
    simThread.quit();
    simThread.wait();
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    qRegisterMetaType<UutReading>();

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Request-to-reading time through the instrument link and the simulated instrument."));
    parser.addHelpOption();
    const QCommandLineOption readingsOption(QStringLiteral("readings"),
        QStringLiteral("Readings to time per driver and baud rate."), QStringLiteral("n"),
        QStringLiteral("200"));
    parser.addOption(readingsOption);
    parser.process(app);
    const int readings = qMax(1, parser.value(readingsOption).toInt());
    // The worker's open/close debug lines would only clutter the figures.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));

    std::printf(
        "bench_uut_reading: %d readings per row, the example drivers against the simulated instrument "
        "over a pseudo-terminal\n",
        readings);
    std::printf("  %-10s %6s %5s  %-32s %-32s %s\n", "kind", "baud", "line", "request -> reading (ms)",
        "reply written -> reading (ms)", "failed");
    int status = 0;
    for (const Case &c : kCases) {
        for (const int baud : {9600, 115200}) {
            Figures figures;
            if (!measure(app, c, baud, readings, &figures)) {
                status = 1;
                continue;
            }
            // The simulated line: request and reply characters at the kind's bits per character.
            const int bits = QByteArray(c.kind) == "addressed" ? 11 : 10;
            const double lineMs = double(figures.requestBytes + figures.replyBytes) * bits * 1000.0 / baud;
            std::printf(
                "  %-10s %6d %5s  median %6.2f  p95 %6.2f         median %6.2f  p95 %6.2f         %d\n",
                c.kind, baud, qPrintable(QString::number(lineMs, 'f', 2)), percentile(figures.totalMs, 50),
                percentile(figures.totalMs, 95), percentile(figures.afterLineMs, 50),
                percentile(figures.afterLineMs, 95), figures.failures);
        }
    }
    std::printf("  line: the simulated line's share (request and reply characters, start + data + parity + "
                "stop bits each), ms\n");
    return status;
}
