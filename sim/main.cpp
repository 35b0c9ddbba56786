// bbsim: a blackbody controller, and optionally a thermometer and an instrument under test, on
// pseudo-terminals (the instrument also on a loopback network port), for trying the program without
// hardware.

#include "blackbodydevice.h"
#include "blackbodymodel.h"
#include "devicesimulator.h"
#include "simcommands.h"
#include "thermometerdevice.h"
#include "uutdevice.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>

#include <algorithm>
#include <csignal>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ')).toUpper();
}

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

// The rates a serial port can be set to by the program.
bool isStandardBaud(int baud)
{
    static const int kRates[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
    return std::find(std::begin(kRates), std::end(kRates), baud) != std::end(kRates);
}

// Console help for a second device, whose commands are the blackbody's general ones behind its prefix.
QStringList prefixedHelp(const QString &prefix, const QString &what, const QStringList &deviceHelp)
{
    QStringList lines {
        QStringLiteral("%1 COMMAND  any general command above except quit, for the %2").arg(prefix, what)};
    for (const QString &line : deviceHelp)
        lines << prefix + QLatin1Char(' ') + line;
    return lines;
}

QStringList thermometerHelp(const QStringList &deviceHelp)
{
    return prefixedHelp(QStringLiteral("thermo"), QStringLiteral("thermometer"), deviceHelp);
}

QStringList uutHelp(const QStringList &deviceHelp)
{
    return prefixedHelp(QStringLiteral("uut"),
        QStringLiteral("instrument under test (uut drop 2, uut late 1500, "
                       "uut hangup, uut replug, uut push 1)"),
        deviceHelp);
}

void logTraffic(sim::DeviceSimulator *simulator, const QString &prefix)
{
    QObject::connect(simulator, &sim::DeviceSimulator::requestReceived, simulator,
        [prefix](const QByteArray &request) { err() << prefix << "rx " << hex(request) << Qt::endl; });
    QObject::connect(simulator, &sim::DeviceSimulator::replySent, simulator,
        [prefix](const QByteArray &reply) { err() << prefix << "tx " << hex(reply) << Qt::endl; });
    QObject::connect(simulator, &sim::DeviceSimulator::bytesIgnored, simulator,
        [prefix](const QByteArray &bytes, const QString &reason) {
            err() << prefix << "ignored " << hex(bytes) << " (" << reason << ")" << Qt::endl;
        });
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("bbsim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Simulated blackbody controller on a pseudo-terminal, with --thermo-link a "
                       "thermometer on a second one, and with --uut-link (or --uut-tcp) an instrument under "
                       "test that reads the blackbody.\n"
                       "Open the printed link path as the port name. Commands are read from standard "
                       "input (type help).\nModels: %1.")
            .arg(sim::BlackbodyModel::names().join(QStringLiteral(", "))));
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help.")});
    const QCommandLineOption linkOption({QStringLiteral("l"), QStringLiteral("link")},
        QStringLiteral("Symlink to publish as the port name."), QStringLiteral("path"),
        QStringLiteral("/tmp/bbsim"));
    const QCommandLineOption modelOption({QStringLiteral("m"), QStringLiteral("model")},
        QStringLiteral("Blackbody model (sets stop bits and wire unit)."), QStringLiteral("name"),
        QStringLiteral("VBM100"));
    const QCommandLineOption baudOption({QStringLiteral("b"), QStringLiteral("baud")},
        QStringLiteral("Baud rate the controller is set to."), QStringLiteral("rate"),
        QStringLiteral("9600"));
    const QCommandLineOption initialOption(QStringLiteral("initial"),
        QStringLiteral("Initial temperature in degrees Celsius."), QStringLiteral("C"), QStringLiteral("25"));
    const QCommandLineOption setPointOption(QStringLiteral("setpoint"),
        QStringLiteral("Initial set point (default: the initial "
                       "temperature)."),
        QStringLiteral("C"));
    const QCommandLineOption tauOption(QStringLiteral("tau"),
        QStringLiteral("Thermal time constant in seconds (0: instant)."), QStringLiteral("s"),
        QStringLiteral("30"));
    const QCommandLineOption noiseOption(QStringLiteral("noise"),
        QStringLiteral("Peak reading noise in degrees (0: exact)."), QStringLiteral("C"),
        QStringLiteral("0.02"));
    const QCommandLineOption delayOption(QStringLiteral("reply-delay"),
        QStringLiteral("Time the controller takes to answer."), QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption pollDelayOption(QStringLiteral("poll-delay"),
        QStringLiteral("Extra time the controller takes to answer a read frame."), QStringLiteral("ms"),
        QStringLiteral("0"));
    const QCommandLineOption ignoreSetOption(
        QStringLiteral("ignore-set"), QStringLiteral("Neither obey nor answer set frames."));
    const QCommandLineOption seedOption(QStringLiteral("seed"), QStringLiteral("Seed for noise and garbage."),
        QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption verboseOption({QStringLiteral("v"), QStringLiteral("verbose")},
        QStringLiteral("Log every request and answer to stderr."));
    const QCommandLineOption thermoLinkOption(QStringLiteral("thermo-link"),
        QStringLiteral("Also serve a thermometer, under this symlink."), QStringLiteral("path"));
    const QCommandLineOption thermoBaudOption(QStringLiteral("thermo-baud"),
        QStringLiteral("The only baud rate the thermometer hears."), QStringLiteral("rate"),
        QStringLiteral("115200"));
    const QCommandLineOption thermoTempOption(QStringLiteral("thermo-temp"),
        QStringLiteral("Thermometer reading in degrees Celsius."), QStringLiteral("C"), QStringLiteral("25"));
    const QCommandLineOption thermoAckOption(QStringLiteral("thermo-ack"),
        QStringLiteral("Length of the thermometer's answer to command 0x17 (2 or 3)."), QStringLiteral("n"),
        QStringLiteral("2"));
    const QCommandLineOption uutLinkOption(QStringLiteral("uut-link"),
        QStringLiteral("Also serve an instrument under test that reads the blackbody, under this symlink."),
        QStringLiteral("path"));
    const QCommandLineOption uutTcpOption(QStringLiteral("uut-tcp"),
        QStringLiteral("Serve the instrument under test on this port of 127.0.0.1 too (or only there)."),
        QStringLiteral("port"));
    const QCommandLineOption uutKindOption(QStringLiteral("uut-kind"),
        QStringLiteral("The instrument's command set: ascii, addressed, binary or scpi."),
        QStringLiteral("kind"), QStringLiteral("ascii"));
    const QCommandLineOption uutBaudOption(QStringLiteral("uut-baud"),
        QStringLiteral("The instrument's baud rate; its replies take the time their characters would."),
        QStringLiteral("rate"), QStringLiteral("9600"));
    const QCommandLineOption uutFrameOption(QStringLiteral("uut-frame"),
        QStringLiteral("The instrument's frame, e.g. 8N1 or 8E1 (default: 8E1 for addressed, else 8N1)."),
        QStringLiteral("frame"));
    const QCommandLineOption uutEmissivityOption(QStringLiteral("uut-emissivity"),
        QStringLiteral("The instrument's emissivity setting at start."), QStringLiteral("e"),
        QStringLiteral("0.95"));
    const QCommandLineOption uutSourceEmissivityOption(QStringLiteral("uut-source-emissivity"),
        QStringLiteral("The source's emissivity as the instrument sees it."), QStringLiteral("e"),
        QStringLiteral("0.95"));
    const QCommandLineOption uutOffsetOption(QStringLiteral("uut-offset"),
        QStringLiteral("Error added to every reading of the instrument."), QStringLiteral("C"),
        QStringLiteral("0"));
    const QCommandLineOption uutNoiseOption(QStringLiteral("uut-noise"),
        QStringLiteral("Peak noise of the instrument's readings."), QStringLiteral("C"),
        QStringLiteral("0.01"));
    const QCommandLineOption uutAddressOption(QStringLiteral("uut-address"),
        QStringLiteral("ascii: three-digit bus address it also answers to; addressed: its two digits (00)."),
        QStringLiteral("digits"));
    const QCommandLineOption uutUnitOption(QStringLiteral("uut-unit-form"),
        QStringLiteral("scpi: readings as \"t: 50.123 C\" instead of \"50.123\"."));
    const QCommandLineOption uutPushOption(QStringLiteral("uut-push"),
        QStringLiteral("scpi: send a reading unasked every this many seconds."), QStringLiteral("s"));
    parser.addOptions({linkOption, modelOption, baudOption, initialOption, setPointOption, tauOption,
        noiseOption, delayOption, pollDelayOption, ignoreSetOption, seedOption, verboseOption,
        thermoLinkOption, thermoBaudOption, thermoTempOption, thermoAckOption, uutLinkOption, uutTcpOption,
        uutKindOption, uutBaudOption, uutFrameOption, uutEmissivityOption, uutSourceEmissivityOption,
        uutOffsetOption, uutNoiseOption, uutAddressOption, uutUnitOption, uutPushOption});
    parser.process(app.arguments());
    if (parser.isSet(QStringLiteral("help"))) {
        const sim::BlackbodyDevice example(sim::BlackbodyModel::find(QStringLiteral("VBM100")));
        const sim::ThermometerDevice thermoExample;
        const sim::UutDevice uutExample(sim::UutDevice::Kind::Ascii, [] { return 0.0; });
        out() << parser.helpText() << "\nCommands on standard input:\n  "
              << (sim::SimCommands::generalHelp() + example.commandHelp()
                     + thermometerHelp(thermoExample.commandHelp()) + uutHelp(uutExample.commandHelp()))
                     .join(QStringLiteral("\n  "))
              << Qt::endl;
        return 0;
    }

    const auto number = [&](const QCommandLineOption &option, double *value) {
        bool ok = false;
        *value = parser.value(option).toDouble(&ok);
        if (!ok)
            err() << "bbsim: --" << option.names().constLast() << " needs a number" << Qt::endl;
        return ok;
    };
    const sim::BlackbodyModel model = sim::BlackbodyModel::find(parser.value(modelOption));
    if (!model.isValid()) {
        err() << "bbsim: unknown model " << parser.value(modelOption) << "; choose one of "
              << sim::BlackbodyModel::names().join(QStringLiteral(", ")) << Qt::endl;
        return 2;
    }
    double baud = 0;
    double initial = 0;
    double tau = 0;
    double noise = 0;
    double delay = 0;
    double pollDelay = 0;
    double seed = 0;
    if (!number(baudOption, &baud) || !number(initialOption, &initial) || !number(tauOption, &tau)
        || !number(noiseOption, &noise) || !number(delayOption, &delay)
        || !number(pollDelayOption, &pollDelay) || !number(seedOption, &seed))
        return 2;

    auto device = std::make_unique<sim::BlackbodyDevice>(model, int(baud), initial);
    device->setTimeConstant(tau);
    device->setNoise(noise);
    device->setSeed(quint32(seed));
    device->setPollDelay(int(pollDelay));
    device->setIgnoreSetFrames(parser.isSet(ignoreSetOption));
    if (parser.isSet(setPointOption)) {
        double setPoint = 0;
        if (!number(setPointOption, &setPoint))
            return 2;
        if (!device->setSetPoint(setPoint)) {
            err() << "bbsim: set point " << setPoint << " is outside the range of " << model.name << Qt::endl;
            return 2;
        }
    }
    sim::BlackbodyDevice *blackbody = device.get();
    sim::DeviceSimulator simulator(std::move(device));
    simulator.setReplyDelay(int(delay));
    simulator.setSeed(quint32(seed));

    std::unique_ptr<sim::DeviceSimulator> thermometer;
    if (parser.isSet(thermoLinkOption)) {
        bool baudOk = false;
        const int thermoBaud = parser.value(thermoBaudOption).toInt(&baudOk);
        if (!baudOk || !isStandardBaud(thermoBaud)) {
            err() << "bbsim: --thermo-baud needs a standard rate from 1200 to 115200" << Qt::endl;
            return 2;
        }
        double thermoTemp = 0;
        if (!number(thermoTempOption, &thermoTemp))
            return 2;
        const QString ack = parser.value(thermoAckOption);
        if (ack != QLatin1String("2") && ack != QLatin1String("3")) {
            err() << "bbsim: --thermo-ack needs 2 or 3" << Qt::endl;
            return 2;
        }
        auto thermoDevice = std::make_unique<sim::ThermometerDevice>(thermoBaud, 25.0, ack.toInt());
        if (!thermoDevice->setTemperature(thermoTemp)) {
            err() << "bbsim: --thermo-temp must lie from " << sim::ThermometerDevice::kMinCelsius << " to "
                  << sim::ThermometerDevice::kMaxCelsius << Qt::endl;
            return 2;
        }
        thermometer = std::make_unique<sim::DeviceSimulator>(std::move(thermoDevice));
        thermometer->setSeed(quint32(seed));
    }

    std::unique_ptr<sim::DeviceSimulator> uut;
    if (parser.isSet(uutLinkOption) || parser.isSet(uutTcpOption)) {
        sim::UutDevice::Kind kind = sim::UutDevice::Kind::Ascii;
        if (!sim::UutDevice::kindFromName(parser.value(uutKindOption), &kind)) {
            err() << "bbsim: --uut-kind needs ascii, addressed, binary or scpi" << Qt::endl;
            return 2;
        }
        bool baudOk = false;
        const int uutBaud = parser.value(uutBaudOption).toInt(&baudOk);
        if (!baudOk || !isStandardBaud(uutBaud)) {
            err() << "bbsim: --uut-baud needs a standard rate from 1200 to 115200" << Qt::endl;
            return 2;
        }
        auto uutDevice = std::make_unique<sim::UutDevice>(
            kind, [blackbody] { return blackbody->temperature(); }, uutBaud);
        if (parser.isSet(uutFrameOption) && !uutDevice->setFrame(parser.value(uutFrameOption))) {
            err() << "bbsim: --uut-frame needs data bits 7 or 8, parity N, E or O, stop bits 1 or 2 (8E1)"
                  << Qt::endl;
            return 2;
        }
        double emissivity = 0;
        double sourceEmissivity = 0;
        double offset = 0;
        double uutNoise = 0;
        if (!number(uutEmissivityOption, &emissivity) || !number(uutSourceEmissivityOption, &sourceEmissivity)
            || !number(uutOffsetOption, &offset) || !number(uutNoiseOption, &uutNoise))
            return 2;
        if (!uutDevice->setEmissivity(emissivity) || sourceEmissivity < 0.1 || sourceEmissivity > 1.0) {
            err() << "bbsim: emissivities lie from 0.1 to 1" << Qt::endl;
            return 2;
        }
        uutDevice->view().sourceEmissivity = sourceEmissivity;
        uutDevice->setOffset(offset);
        uutDevice->setNoise(uutNoise);
        uutDevice->setSeed(quint32(seed) + 2);
        if (parser.isSet(uutAddressOption) && !uutDevice->setAddress(parser.value(uutAddressOption))) {
            err() << "bbsim: --uut-address needs three digits (ascii) or two (addressed)" << Qt::endl;
            return 2;
        }
        uutDevice->setUnitForm(parser.isSet(uutUnitOption));
        uut = std::make_unique<sim::DeviceSimulator>(std::move(uutDevice));
        uut->setPacing(true);
        uut->setSeed(quint32(seed));
        if (parser.isSet(uutPushOption)) {
            double seconds = 0;
            if (!number(uutPushOption, &seconds) || seconds < 0 || kind != sim::UutDevice::Kind::Scpi) {
                err() << "bbsim: --uut-push needs seconds, and the scpi kind" << Qt::endl;
                return 2;
            }
            uut->setPushInterval(int(seconds * 1000));
        }
    }

    // Signals only write a byte; the link is removed by the normal shutdown in the event loop.
    if (::pipe(g_signalPipe) != 0)
        return 1;
    QSocketNotifier signalNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);

    QString error;
    if (!simulator.open(parser.value(linkOption), &error)) {
        err() << "bbsim: " << error << Qt::endl;
        return 1;
    }
    out() << "port: " << simulator.portName() << " (" << simulator.clientPath() << ")" << Qt::endl;
    out() << blackbody->describe() << Qt::endl;
    if (thermometer) {
        if (!thermometer->open(parser.value(thermoLinkOption), &error)) {
            err() << "bbsim: " << error << Qt::endl;
            return 1;
        }
        out() << "thermometer port: " << thermometer->portName() << " (" << thermometer->clientPath() << ")"
              << Qt::endl;
        out() << thermometer->device()->describe() << Qt::endl;
    }
    if (uut) {
        if (parser.isSet(uutLinkOption)) {
            if (!uut->open(parser.value(uutLinkOption), &error)) {
                err() << "bbsim: " << error << Qt::endl;
                return 1;
            }
            out() << "instrument port: " << uut->portName() << " (" << uut->clientPath() << ")" << Qt::endl;
        }
        if (parser.isSet(uutTcpOption)) {
            bool portOk = false;
            const uint tcpPort = parser.value(uutTcpOption).toUInt(&portOk);
            if (!portOk || tcpPort > 65535 || !uut->listenTcp(quint16(tcpPort), &error)) {
                err() << "bbsim: " << (portOk ? error : QStringLiteral("--uut-tcp needs a port number"))
                      << Qt::endl;
                return 1;
            }
            out() << "instrument network port: 127.0.0.1:" << uut->tcpPort() << Qt::endl;
        }
        out() << uut->device()->describe() << Qt::endl;
    }
    out() << "Type help for commands." << Qt::endl;

    if (parser.isSet(verboseOption)) {
        logTraffic(&simulator, QString());
        if (thermometer)
            logTraffic(thermometer.get(), QStringLiteral("thermo "));
        if (uut)
            logTraffic(uut.get(), QStringLiteral("uut "));
    }
    QObject::connect(&simulator, &sim::DeviceSimulator::hungUp, &app,
        [] { err() << "bbsim: device hung up" << Qt::endl; });
    if (thermometer) {
        QObject::connect(thermometer.get(), &sim::DeviceSimulator::hungUp, &app,
            [] { err() << "bbsim: thermometer hung up" << Qt::endl; });
    }

    sim::SimCommands commands(&simulator);
    std::unique_ptr<sim::SimCommands> thermoCommands;
    if (thermometer)
        thermoCommands = std::make_unique<sim::SimCommands>(thermometer.get());
    std::unique_ptr<sim::SimCommands> uutCommands;
    if (uut) {
        uutCommands = std::make_unique<sim::SimCommands>(uut.get());
        QObject::connect(uut.get(), &sim::DeviceSimulator::hungUp, &app,
            [] { err() << "bbsim: instrument under test hung up" << Qt::endl; });
    }
    // "thermo ..." goes to the thermometer, "uut ..." to the instrument; everything else to the blackbody.
    const auto execute = [&](const QString &line, bool *quit) {
        const QStringList words = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const bool toThermo = words.value(0) == QLatin1String("thermo");
        if (toThermo || words.value(0) == QLatin1String("uut")) {
            sim::SimCommands *target = toThermo ? thermoCommands.get() : uutCommands.get();
            if (!target)
                return toThermo ? QStringLiteral("error: no thermometer (start with --thermo-link)")
                                : QStringLiteral("error: no instrument under test (start with --uut-link)");
            if (words.value(1) == QLatin1String("quit"))
                return QStringLiteral("error: quit stops the whole simulator; type it alone");
            return target->execute(words.mid(1).join(QLatin1Char(' ')));
        }
        if (words.value(0) == QLatin1String("help")) {
            QStringList lines = commands.help();
            if (thermoCommands)
                lines += thermometerHelp(sim::ThermometerDevice().commandHelp());
            if (uut)
                lines += uutHelp(uut->device()->commandHelp());
            return lines.join(QLatin1Char('\n'));
        }
        return commands.execute(line, quit);
    };
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray pending;
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[1024];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            // End of input (e.g. started in the background): keep serving the line.
            input.setEnabled(false);
            return;
        }
        pending.append(buffer, int(n));
        int end = 0;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromLocal8Bit(pending.left(end));
            pending.remove(0, end + 1);
            bool quit = false;
            const QString answer = execute(line, &quit);
            if (!answer.isEmpty())
                out() << answer << Qt::endl;
            if (quit) {
                QCoreApplication::quit();
                return;
            }
        }
    });

    return app.exec();
}
