// Poll latency of the blackbody worker against the simulated controller over a pseudo-terminal, and the
// process's CPU load while the controller is silent and the blackbody link keeps polling every 500 ms.

#include "blackbodydevice.h"
#include "devicesimulator.h"
#include "serial/optserial.h"
#include "serial/serialmetatypes.h"
#include "station/blackbodylink.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

const QByteArray kPoll = QByteArray::fromHex("8080520000");

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(p / 100.0 * double(values.size())));
    return values[index];
}

void printFigures(const char *what, const std::vector<double> &ms)
{
    std::printf("  %-44s median %7.3f ms   p99 %7.3f ms   max %7.3f ms\n", what, percentile(ms, 50),
        percentile(ms, 99), percentile(ms, 100));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    registerSerialPortMetaTypes();

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Blackbody worker poll benchmark over a pseudo-terminal."));
    parser.addHelpOption();
    const QCommandLineOption pollsOption(QStringLiteral("polls"), QStringLiteral("Polls to time."),
        QStringLiteral("n"), QStringLiteral("1000"));
    const QCommandLineOption silentOption(QStringLiteral("silent-seconds"),
        QStringLiteral("Duration of the silent-controller phase."), QStringLiteral("s"),
        QStringLiteral("60"));
    const QCommandLineOption delayOption(QStringLiteral("reply-delay"),
        QStringLiteral("The simulated controller's own reply delay."), QStringLiteral("ms"),
        QStringLiteral("0"));
    parser.addOptions({pollsOption, silentOption, delayOption});
    parser.process(app);
    const int polls = qMax(1, parser.value(pollsOption).toInt());
    const int silentSeconds = qMax(0, parser.value(silentOption).toInt());
    const int replyDelay = qMax(0, parser.value(delayOption).toInt());
    // The worker's open/close debug lines would only clutter the figures.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));

    QElapsedTimer clock;
    clock.start();

    // The controller gets a thread of its own, as a real device would not share the program's.
    QThread simThread;
    auto device = std::make_unique<sim::BlackbodyDevice>(
        sim::BlackbodyModel::find(QStringLiteral("VBM100")), 9600, 25.0);
    device->setNoise(0.0);
    auto *sim = new sim::DeviceSimulator(std::move(device));
    sim->setReplyDelay(replyDelay);
    sim->moveToThread(&simThread);
    std::atomic<qint64> requestArrivedNs {0};
    QObject::connect(
        sim, &sim::DeviceSimulator::requestReceived, sim, [&] { requestArrivedNs = clock.nsecsElapsed(); },
        Qt::DirectConnection);
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

    OptSerial worker;
    QObject receiver;
    bool opened = false;
    QObject::connect(&worker, &OptSerial::OpenSuccessed, &receiver, [&](bool ok) {
        opened = ok;
        app.quit();
    });
    QMetaObject::invokeMethod(&worker, [&] {
        worker.OpenCom1(port, QSerialPort::Baud9600, QSerialPort::Data8, QSerialPort::NoFlowControl,
            QSerialPort::NoParity, QSerialPort::TwoStop);
    });
    app.exec();
    if (!opened) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(port));
        return 1;
    }

    // Phase 1: back-to-back polls, one outstanding at a time.
    std::vector<double> fromWrite;
    std::vector<double> fromRequest;
    fromWrite.reserve(size_t(polls));
    fromRequest.reserve(size_t(polls));
    int failures = 0;
    qint64 sentNs = 0;
    const auto sendPoll = [&] {
        sentNs = clock.nsecsElapsed();
        QMetaObject::invokeMethod(&worker, [&] { worker.SendReadCommand(kPoll); });
    };
    QObject::connect(&worker, &OptSerial::DataRecv, &receiver, [&](uchar, const QByteArray &, bool ok) {
        const qint64 now = clock.nsecsElapsed();
        if (!ok)
            ++failures;
        fromWrite.push_back(double(now - requestArrivedNs.load()) / 1e6);
        fromRequest.push_back(double(now - sentNs) / 1e6);
        if (int(fromWrite.size()) < polls)
            sendPoll();
        else
            app.quit();
    });
    const double cpuBefore = cpuSeconds();
    const qint64 pollStart = clock.nsecsElapsed();
    sendPoll();
    app.exec();
    const double pollSeconds = double(clock.nsecsElapsed() - pollStart) / 1e9;
    const double pollCpu = cpuSeconds() - cpuBefore;

    std::printf("bench_poll: %d polls, VBM100 at 9600 baud over a pseudo-terminal, simulator reply delay "
                "%d ms\n",
        polls, replyDelay);
    printFigures("request on the line (simulator got it) -> DataRecv", fromWrite);
    printFigures("sig_sendread emitted -> DataRecv", fromRequest);
    std::printf("  failed polls %d; %.1f polls/s; CPU %.1f%% of one core while polling flat out\n", failures,
        double(polls) / pollSeconds, 100.0 * pollCpu / pollSeconds);

    // Phase 2: the controller falls silent; the link goes on polling by its own rules (every 500 ms,
    // never more than one request outstanding) on a worker of its own.
    if (silentSeconds > 0) {
        QObject::disconnect(&worker, nullptr, &receiver, nullptr);
        QMetaObject::invokeMethod(
            &worker, [&] { worker.CloseCom(); }, Qt::BlockingQueuedConnection);
        BlackbodyLink link;
        QObject::connect(&link, &BlackbodyLink::opened, &app, &QCoreApplication::quit);
        QObject::connect(&link, &BlackbodyLink::openFailed, &app, [&] {
            std::fprintf(stderr, "the link cannot open %s\n", qPrintable(port));
            app.exit(1);
        });
        link.open(port, QSerialPort::Baud9600, 0);
        if (app.exec() != 0)
            return 1;
        QMetaObject::invokeMethod(
            sim, [&] { sim->faults().silence(); }, Qt::BlockingQueuedConnection);
        int silentPolls = 0;
        int answered = 0;
        QObject::connect(&link, &BlackbodyLink::sig_sendread, &receiver, [&] { ++silentPolls; });
        QObject::connect(&link, &BlackbodyLink::reading, &receiver, [&] { ++answered; });
        const double silentCpuBefore = cpuSeconds();
        const qint64 silentStart = clock.nsecsElapsed();
        QTimer::singleShot(silentSeconds * 1000, Qt::PreciseTimer, &app, &QCoreApplication::quit);
        app.exec();
        const double silentWall = double(clock.nsecsElapsed() - silentStart) / 1e9;
        const double silentCpu = cpuSeconds() - silentCpuBefore;
        std::printf(
            "  silent controller for %.1f s: %d polls sent, %d answered, CPU %.3f s = %.2f%% of one core\n",
            silentWall, silentPolls, answered, silentCpu, 100.0 * silentCpu / silentWall);
    }

    QMetaObject::invokeMethod(
        sim, [&] { delete sim; }, Qt::BlockingQueuedConnection);
    simThread.quit();
    simThread.wait();
    return 0;
}
