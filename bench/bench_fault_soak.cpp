// Fault soak of both port workers against the simulated instruments over pseudo-terminals: the blackbody
// worker polled back to back, the thermometer worker read by its own poll thread, both at once, while the
// simulators spoil a seeded random share of the replies (silence, garbage, bad check bytes, replies in
// pieces, replies just past the worker's deadline, a vanished line that comes back under the same name),
// and the port is closed at random moments. Every result is judged against what the device did.

#include "blackbodydevice.h"
#include "control/blackbodyprotocol.h"
#include "control/thermometerprotocol.h"
#include "devicesimulator.h"
#include "serial/kelvraserial.h"
#include "serial/optserial.h"
#include "serial/serialmetatypes.h"
#include "soakblackbody.h"
#include "soakledger.h"
#include "soakthermometer.h"
#include "thermometerdevice.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {

using Quota = std::array<int, sim::Fault::HangUp + 1>;

// The workers' own deadlines, as their headers state them; the soak never changes them.
constexpr int kBlackbodyDeadlineMs = 1000;
constexpr int kThermometerReadDeadlineMs = 70;
constexpr int kThermometerCommandDeadlineMs = 1000;
// After a failed read the worker waits for this long a quiet line before the next request; the
// thermometer's poll rests 20 ms first.
constexpr int kBlackbodyQuietGapMs = 50;
constexpr int kThermometerQuietGapMs = 20 + 30;

constexpr double kMinFaultyShare = 0.10;
constexpr double kMinKindShare = 0.005;
constexpr qint64 kMaxGrowthKb = 1024;
constexpr double kMaxWaitMs = 2100.0;
// Nothing from either worker for this long: the soak itself is stuck.
constexpr qint64 kStallNs = 30 * qint64(1000000000);

// A share of the asked exchanges, at least one, so that a short run still meets every fault.
int share(int exchanges, double fraction)
{
    return qMax(1, int(std::lround(exchanges * fraction)));
}

qint64 residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = status.readAll().split('\n');
    const auto rss = std::find_if(
        lines.begin(), lines.end(), [](const QByteArray &line) { return line.startsWith("VmRSS:"); });
    return rss == lines.end() ? -1 : rss->mid(6).trimmed().split(' ').value(0).toLongLong();
}

// Runs the simulator on a thread of its own, as a real instrument would not share the program's.
struct SimHost
{
    SimHost(std::unique_ptr<sim::SimDevice> device, const QString &port, quint32 seed)
        : sim(new sim::DeviceSimulator(std::move(device)))
    {
        sim->setSeed(seed);
        sim->moveToThread(&thread);
        thread.start();
        bool opened = false;
        QString error;
        QMetaObject::invokeMethod(
            sim, [&] { opened = sim->open(port, &error); }, Qt::BlockingQueuedConnection);
        if (!opened)
            qFatal("simulator: %s", qPrintable(error));
    }
    SimHost(const SimHost &) = delete;
    SimHost &operator=(const SimHost &) = delete;
    ~SimHost()
    {
        QMetaObject::invokeMethod(
            sim, [this] { delete sim; }, Qt::BlockingQueuedConnection);
        thread.quit();
        thread.wait();
    }

    QThread thread;
    sim::DeviceSimulator *sim;
};

void printWaits(const char *what, const SoakWaits &waits)
{
    std::printf("    %-44s %6d   longest %8.1f ms\n", what, waits.count, waits.maxMs());
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    registerSerialPortMetaTypes();

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Fault soak of the blackbody and thermometer port workers over pseudo-terminals."));
    parser.addHelpOption();
    const QCommandLineOption exchangesOption(QStringLiteral("exchanges"),
        QStringLiteral("Exchanges to run, both devices together."), QStringLiteral("n"),
        QStringLiteral("100000"));
    const QCommandLineOption seedOption(QStringLiteral("seed"), QStringLiteral("Seed of the random faults."),
        QStringLiteral("s"), QStringLiteral("1"));
    parser.addOptions({exchangesOption, seedOption});
    parser.process(app);
    const int exchanges = qMax(100, parser.value(exchangesOption).toInt());
    const quint64 seed = parser.value(seedOption).toULongLong();
    // The workers' open/close debug lines would bury the figures.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));

    const qint64 startNs = SoakLedger::nowNs();
    std::mt19937_64 random(seed);

    // The thermometer's poll rests 20 ms after every read, so it gets the smaller share of the exchanges
    // and, since its deadline is short, most of the faults that cost a deadline. The controller's
    // one-second deadline makes those dear there; it takes the cheap ones in bulk.
    const int thermometerReads = share(exchanges, 0.13);
    const int blackbodyReads = exchanges - thermometerReads;
    Quota blackbodyQuota {};
    Quota thermometerQuota {};
    for (const sim::Fault::Kind kind :
        {sim::Fault::Silence, sim::Fault::Garbage, sim::Fault::BadCheck, sim::Fault::Late}) {
        blackbodyQuota[kind] = share(exchanges, 0.001);
        thermometerQuota[kind] = share(exchanges, 0.0045);
    }
    blackbodyQuota[sim::Fault::Split] = share(exchanges, 0.07);
    blackbodyQuota[sim::Fault::HangUp] = share(exchanges, 0.012);
    thermometerQuota[sim::Fault::Split] = share(exchanges, 0.01);
    thermometerQuota[sim::Fault::HangUp] = share(exchanges, 0.0004);
    // Late replies land just past the worker's deadline, where it must still tell them apart.
    const std::vector<sim::Fault> blackbodySchedule
        = SoakLedger::makeSchedule(blackbodyReads, blackbodyQuota, 9, 3, kBlackbodyDeadlineMs, 5, 30, random);
    const std::vector<sim::Fault> thermometerSchedule = SoakLedger::makeSchedule(
        thermometerReads, thermometerQuota, 3, 5, kThermometerReadDeadlineMs, 5, 30, random);

    // Closes of the controller's port: on many of the exchanges that run into the deadline, so that they
    // wait for one, and on others at random; right behind the request or up to a deadline later.
    std::vector<int> closeAfterMs(size_t(blackbodyReads), -1);
    {
        std::uniform_real_distribution<double> chance(0.0, 1.0);
        std::uniform_int_distribution<int> delay(1, kBlackbodyDeadlineMs + 100);
        const auto pick = [&] { return chance(random) < 0.5 ? 0 : delay(random); };
        for (size_t i = 0; i < blackbodySchedule.size(); ++i) {
            const sim::Fault::Kind kind = blackbodySchedule[i].kind;
            const bool dear = kind == sim::Fault::Silence || kind == sim::Fault::Garbage
                || kind == sim::Fault::BadCheck || kind == sim::Fault::Late;
            if (dear && chance(random) < 0.4)
                closeAfterMs[i] = pick();
        }
        std::uniform_int_distribution<size_t> index(0, closeAfterMs.size() - 1);
        for (int extra = share(exchanges, 0.0015); extra > 0; --extra)
            closeAfterMs[index(random)] = pick();
    }

    QTemporaryDir dir;
    const QString blackbodyPort = dir.filePath(QStringLiteral("blackbody"));
    const QString thermometerPort = dir.filePath(QStringLiteral("thermometer"));

    // Every reading carries a value of its own: the sequence number of its request, so that a reply
    // taken for the wrong request shows.
    auto blackbodyOwned = std::make_unique<sim::BlackbodyDevice>(
        sim::BlackbodyModel::find(QStringLiteral("VBM100")), 115200, 0.01);
    sim::BlackbodyDevice *blackbodyDevice = blackbodyOwned.get();
    blackbodyDevice->setNoise(0.0);
    blackbodyDevice->setTimeConstant(1e12);
    auto thermometerOwned = std::make_unique<sim::ThermometerDevice>(115200, (1 - 1000) / 10.0, 2);
    sim::ThermometerDevice *thermometerDevice = thermometerOwned.get();
    SimHost blackbodyHost(std::move(blackbodyOwned), blackbodyPort, quint32(seed * 2 + 1));
    SimHost thermometerHost(std::move(thermometerOwned), thermometerPort, quint32(seed * 2 + 2));

    SoakLedger::Device blackbodyLine;
    blackbodyLine.name = QStringLiteral("blackbody");
    blackbodyLine.readDeadlineMs = kBlackbodyDeadlineMs;
    blackbodyLine.otherDeadlineMs = kBlackbodyDeadlineMs;
    blackbodyLine.quietGapMs = kBlackbodyQuietGapMs;
    blackbodyLine.maxTag = 30000;
    blackbodyLine.codeOf
        = [](const QByteArray &request) { return uchar(request.size() > 2 ? request.at(2) : 0); };
    blackbodyLine.isRead = [](const QByteArray &request) {
        return request.size() > 2 && uchar(request.at(2)) == BlackbodyProtocol::kReadCode;
    };
    blackbodyLine.showTag = [blackbodyDevice](int tag) { blackbodyDevice->setTemperature(tag * 0.01); };
    blackbodyLine.reading = [](uchar code, const QByteArray &data, bool ok) -> std::optional<int> {
        if (!ok || code != BlackbodyProtocol::kReadCode)
            return std::nullopt;
        const auto decoded = BlackbodyProtocol::decodePollReply(data, 100);
        return decoded ? std::optional<int>(decoded->currentWire) : std::nullopt;
    };
    SoakLedger blackbodyLedger(blackbodyLine, blackbodyHost.sim, blackbodySchedule);

    SoakLedger::Device thermometerLine;
    thermometerLine.name = QStringLiteral("thermometer");
    thermometerLine.readDeadlineMs = kThermometerReadDeadlineMs;
    thermometerLine.otherDeadlineMs = kThermometerCommandDeadlineMs;
    thermometerLine.quietGapMs = kThermometerQuietGapMs;
    thermometerLine.wakeCode = 0;
    thermometerLine.maxTag = 65000;
    thermometerLine.codeOf
        = [](const QByteArray &request) { return uchar(request.isEmpty() ? 0 : request.at(0)); };
    thermometerLine.isRead = [](const QByteArray &request) {
        return uchar(request.isEmpty() ? 0 : request.at(0)) == ThermometerProtocol::kReadCode;
    };
    thermometerLine.showTag
        = [thermometerDevice](int tag) { thermometerDevice->setTemperature((tag - 1000) / 10.0); };
    thermometerLine.reading = [](uchar code, const QByteArray &data, bool ok) -> std::optional<int> {
        if (!ok || code != ThermometerProtocol::kReadCode)
            return std::nullopt;
        const auto celsius = ThermometerProtocol::thermometerReading(data);
        return celsius ? std::optional<int>(int(std::lround(*celsius * 10 + 1000))) : std::nullopt;
    };
    SoakLedger thermometerLedger(thermometerLine, thermometerHost.sim, thermometerSchedule);

    for (const auto &[host, ledger] :
        {std::pair {&blackbodyHost, &blackbodyLedger}, std::pair {&thermometerHost, &thermometerLedger}}) {
        QObject::connect(
            host->sim, &sim::DeviceSimulator::requestReceived, host->sim,
            [ledger = ledger](const QByteArray &request) { ledger->onRequest(request); },
            Qt::DirectConnection);
        QObject::connect(
            host->sim, &sim::DeviceSimulator::replySent, host->sim,
            [ledger = ledger](const QByteArray &reply) { ledger->onReplySent(reply); }, Qt::DirectConnection);
    }

    OptSerial blackbodyWorker;
    KelvraSerial thermometerWorker(nullptr, 0);
    QObject::connect(
        &blackbodyWorker, &OptSerial::DataRecv, &blackbodyWorker,
        [&](uchar code, const QByteArray &data, bool ok) { blackbodyLedger.onResult(code, data, ok); },
        Qt::DirectConnection);
    QObject::connect(
        &thermometerWorker, &KelvraSerial::DataRecv, &thermometerWorker,
        [&](uchar code, const QByteArray &data, bool ok) { thermometerLedger.onResult(code, data, ok); },
        Qt::DirectConnection);

    auto blackbody = std::make_unique<SoakBlackbody>(&blackbodyWorker, blackbodyHost.sim, &blackbodyLedger,
        blackbodyPort, blackbodyReads, closeAfterMs, random());
    auto thermometer = std::make_unique<SoakThermometer>(&thermometerWorker, thermometerHost.sim,
        &thermometerLedger, thermometerPort, thermometerReads, 4000, 16000, random());

    // Memory is first read once start-up allocations have settled: after a thousand exchanges, or a quarter
    // of a short run, so the reading comes well before its end.
    const qint64 warmUp = qMax<qint64>(exchanges / 20, qMin<qint64>(1000, exchanges / 4));
    qint64 startKb = -1;
    qint64 startExchanges = 0;
    // Halfway as well, so that steady growth shows apart from a step.
    qint64 halfwayKb = -1;
    double blackbodySeconds = 0.0;
    double thermometerSeconds = 0.0;
    bool stalled = false;
    const auto total
        = [&] { return blackbodyLedger.counts().exchanges + thermometerLedger.counts().exchanges; };
    const auto quitWhenDone = [&] {
        if (blackbody->done() && thermometer->done())
            app.quit();
    };
    QObject::connect(blackbody.get(), &SoakBlackbody::finished, &app, [&] {
        blackbodySeconds = double(SoakLedger::nowNs() - startNs) / 1e9;
        quitWhenDone();
    });
    QObject::connect(thermometer.get(), &SoakThermometer::finished, &app, [&] {
        thermometerSeconds = double(SoakLedger::nowNs() - startNs) / 1e9;
        quitWhenDone();
    });

    QTimer watch;
    qint64 lastReportNs = startNs;
    QObject::connect(&watch, &QTimer::timeout, &app, [&] {
        blackbodyLedger.checkHung();
        thermometerLedger.checkHung();
        const qint64 done = total();
        if (startKb < 0 && done >= warmUp) {
            startKb = residentKb();
            startExchanges = done;
        }
        if (halfwayKb < 0 && done >= exchanges / 2)
            halfwayKb = residentKb();
        const qint64 now = SoakLedger::nowNs();
        if (now - lastReportNs > 60 * qint64(1000000000)) {
            lastReportNs = now;
            std::fprintf(
                stderr, "bench_fault_soak: %lld exchanges after %.0f s\n", done, double(now - startNs) / 1e9);
        }
        const bool blackbodyStuck = !blackbody->done() && now - blackbody->lastProgressNs() > kStallNs;
        const bool thermometerStuck = !thermometer->done() && now - thermometer->lastProgressNs() > kStallNs;
        if (blackbodyStuck || thermometerStuck) {
            std::fprintf(stderr, "bench_fault_soak: the %s has made no progress for %lld s\n",
                blackbodyStuck ? "blackbody" : "thermometer", kStallNs / 1000000000);
            stalled = true;
            app.quit();
        }
    });
    watch.start(100);

    std::printf("bench_fault_soak: seed %llu, %d exchanges asked; VBM100 controller and thermometer, both at "
                "115200 baud over pseudo-terminals\n",
        static_cast<unsigned long long>(seed), exchanges);
    std::fflush(stdout);
    blackbody->start();
    thermometer->start();
    app.exec();
    watch.stop();
    const qint64 endKb = residentKb();
    blackbodyLedger.finish();
    thermometerLedger.finish();
    const double wallSeconds = double(SoakLedger::nowNs() - startNs) / 1e9;

    const SoakLedger::Counts bb = blackbodyLedger.counts();
    const SoakLedger::Counts th = thermometerLedger.counts();
    const qint64 done = bb.exchanges + th.exchanges;
    const qint64 faults = bb.faults() + th.faults();
    const double faultyShare = done > 0 ? double(faults) / double(done) : 0.0;
    const qint64 kindFloor = qMax<qint64>(1, std::llround(exchanges * kMinKindShare));
    bool kindsMet = true;
    for (int kind = sim::Fault::Silence; kind <= sim::Fault::HangUp; ++kind)
        kindsMet = kindsMet && bb.injected[size_t(kind)] + th.injected[size_t(kind)] >= kindFloor;
    const qint64 hung = bb.hung + th.hung + thermometer->slowOpens;
    const qint64 wrong = bb.wrong() + th.wrong();
    const int unexpected = blackbody->link.unexpected + thermometer->link.unexpected;
    const qint64 growthKb = startKb >= 0 && endKb >= 0 ? endKb - startKb : -1;
    double longestWaitMs = 0.0;
    for (const SoakWaits *waits : {&blackbody->link.closeWaits, &blackbody->link.lossWaits,
             &thermometer->link.closeWaits, &thermometer->link.lossWaits, &thermometer->stopWaits})
        longestWaitMs = qMax(longestWaitMs, waits->maxMs());

    std::printf("  exchanges done            %lld (blackbody %lld, thermometer %lld incl. %lld wake-ups)\n",
        done, bb.exchanges, th.exchanges, th.wakeUps);
    std::printf("  faults injected           %lld = %.1f %% of the exchanges\n", faults, 100.0 * faultyShare);
    for (int kind = sim::Fault::Silence; kind <= sim::Fault::HangUp; ++kind) {
        std::printf("    %-10s %6lld   (blackbody %5lld, thermometer %5lld)\n",
            qPrintable(SoakLedger::kindName(sim::Fault::Kind(kind))),
            bb.injected[size_t(kind)] + th.injected[size_t(kind)], bb.injected[size_t(kind)],
            th.injected[size_t(kind)]);
    }
    const auto both = [](const char *what, qint64 blackbodyCount, qint64 thermometerCount) {
        std::printf("  %-26s%6lld   (blackbody %5lld, thermometer %5lld)\n", what,
            blackbodyCount + thermometerCount, blackbodyCount, thermometerCount);
    };
    both("right readings taken", bb.readings, th.readings);
    both("spoilt replies accepted", bb.faultyAccepted, th.faultyAccepted);
    both("wrong readings", bb.wrongReadings, th.wrongReadings);
    both("good replies, no reading", bb.incompleteAccepted, th.incompleteAccepted);
    both("stale replies accepted", bb.staleAccepted, th.staleAccepted);
    both("unspoilt replies missed", bb.goodMissed, th.goodMissed);
    both("late replies in time", bb.lateInTime, th.lateInTime);
    both("requests seen after result", bb.lateRequests, th.lateRequests);
    // A reply later than the worker's quiet gap cannot be told from the next one's answer: the device
    // simulator ran late (a loaded machine), not the worker wrong.
    both("late past the quiet gap", bb.lateBeyondGap, th.lateBeyondGap);
    both("...that spoilt a later one", bb.lateTakenBeyondGap, th.lateTakenBeyondGap);
    std::printf("  unexpected events         %d (failed reopens of a vanished port, as meant: %d)\n",
        unexpected, blackbody->link.failedReopens + thermometer->link.failedReopens);
    std::printf("  exchanges hung            %lld\n", hung);
    for (const QString &line : blackbodyLedger.notes() + thermometerLedger.notes())
        std::printf("    %s\n", qPrintable(line));
    std::printf(
        "  resident memory           %lld kB at start (after %lld exchanges), %lld kB halfway, %lld kB "
        "at end: growth %lld kB\n",
        startKb, startExchanges, halfwayKb, endKb, growthKb);
    std::printf("  close/stop waits\n");
    printWaits("blackbody: close request -> closed", blackbody->link.closeWaits);
    printWaits("blackbody: line vanished -> closed", blackbody->link.lossWaits);
    printWaits("thermometer: close request -> closed", thermometer->link.closeWaits);
    printWaits("thermometer: line vanished -> closed", thermometer->link.lossWaits);
    printWaits("thermometer: poll stop -> thread finished", thermometer->stopWaits);
    std::printf("  longest close/stop wait   %.1f ms\n", longestWaitMs);
    std::printf(
        "  wall time                 %.1f s (blackbody done after %.1f s, thermometer after %.1f s)\n",
        wallSeconds, blackbodySeconds, thermometerSeconds);

    struct Target
    {
        const char *what;
        bool met;
    };
    const Target targets[] = {
        {"the soak ran to its end", !stalled},
        {"exchanges >= asked", done >= exchanges},
        {"faulty share >= 10 %", faultyShare >= kMinFaultyShare},
        {"every kind of fault >= 0.5 % of the asked exchanges", kindsMet},
        {"no exchange hung", hung == 0},
        {"no spoilt, wrong, incomplete or stale reply accepted", wrong == 0},
        // A loaded machine can make the thermometer's 70 ms pass; nothing makes the controller's second.
        {"no unspoilt reply missed by the blackbody worker", bb.goodMissed == 0},
        {"no unexpected open or close", unexpected == 0},
        {"resident memory growth < 1 MB", growthKb >= 0 && growthKb < kMaxGrowthKb},
        {"longest close/stop wait <= 2.1 s", longestWaitMs <= kMaxWaitMs},
    };
    int missed = 0;
    for (const Target &target : targets) {
        if (!target.met) {
            std::printf("  MISSED: %s\n", target.what);
            ++missed;
        }
    }
    if (missed == 0)
        std::printf("  all targets met\n");
    else
        std::printf("  %d target(s) missed\n", missed);
    std::fflush(stdout);

    thermometer.reset();
    blackbody.reset();
    return missed == 0 ? 0 : 1;
}
