#include "simcommands.h"

#include "devicesimulator.h"

namespace sim {

namespace {

// Parses words[index] as a non-negative count or duration; fallback when the word is absent.
bool argument(const QStringList &words, int index, int fallback, int *value)
{
    if (index >= words.size()) {
        *value = fallback;
        return true;
    }
    bool ok = false;
    *value = words.at(index).toInt(&ok);
    return ok && *value >= 0;
}

} // namespace

SimCommands::SimCommands(DeviceSimulator *simulator)
    : m_simulator(simulator)
{ }

QString SimCommands::execute(const QString &line, bool *quit)
{
    const QStringList words = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return {};
    const QString &command = words.at(0);
    FaultPlan &faults = m_simulator->faults();
    const QString usage = QStringLiteral("error: bad arguments to %1 (try help)").arg(command);
    int a = 0;
    int b = 0;
    int n = 0;

    if (command == QLatin1String("help"))
        return help().join(QLatin1Char('\n'));
    if (command == QLatin1String("quit")) {
        if (quit)
            *quit = true;
        return {};
    }
    if (command == QLatin1String("drop")) {
        if (!argument(words, 1, 1, &n) || words.size() > 2)
            return usage;
        faults.silence(n);
    } else if (command == QLatin1String("silence")) {
        if (!argument(words, 1, FaultPlan::UntilCleared, &n) || words.size() > 2)
            return usage;
        faults.silence(words.size() > 1 ? n : FaultPlan::UntilCleared);
    } else if (command == QLatin1String("garbage")) {
        if (!argument(words, 1, 1, &n) || words.size() > 2)
            return usage;
        faults.garbage(n);
    } else if (command == QLatin1String("badcheck")) {
        if (!argument(words, 1, 1, &n) || words.size() > 2)
            return usage;
        faults.badCheck(n);
    } else if (command == QLatin1String("split")) {
        if (words.size() < 3 || words.size() > 4 || !argument(words, 1, 0, &a) || !argument(words, 2, 0, &b)
            || !argument(words, 3, 1, &n) || a < 1)
            return usage;
        faults.split(a, b, n);
    } else if (command == QLatin1String("late")) {
        if (words.size() < 2 || words.size() > 3 || !argument(words, 1, 0, &a) || !argument(words, 2, 1, &n))
            return usage;
        faults.late(a, n);
    } else if (command == QLatin1String("hangup-next")) {
        faults.hangUpOnNextRequest();
    } else if (command == QLatin1String("clear")) {
        faults.clear();
    } else if (command == QLatin1String("hangup")) {
        m_simulator->hangUp();
        return QStringLiteral("hung up; \"replug\" brings the device back");
    } else if (command == QLatin1String("replug")) {
        QString error;
        if (m_simulator->isOpen())
            return QStringLiteral("error: the device is still plugged in");
        if (m_simulator->portName().isEmpty())
            return QStringLiteral(
                "error: no pseudo-terminal to plug back in; a network port keeps listening");
        if (!m_simulator->open(m_simulator->portName(), &error))
            return QStringLiteral("error: %1").arg(error);
        return QStringLiteral("port: %1 (%2)").arg(m_simulator->portName(), m_simulator->clientPath());
    } else if (command == QLatin1String("push")) {
        bool ok = false;
        const double seconds = words.value(1).toDouble(&ok);
        if (words.size() != 2 || !ok || seconds < 0)
            return usage;
        if (seconds > 0 && m_simulator->device()->unasked().isEmpty())
            return QStringLiteral("error: this device sends nothing unasked");
        m_simulator->setPushInterval(int(seconds * 1000));
    } else if (command == QLatin1String("delay")) {
        if (words.size() != 2 || !argument(words, 1, 0, &a))
            return usage;
        m_simulator->setReplyDelay(a);
    } else if (command == QLatin1String("status")) {
        // falls through to the status report below
    } else {
        QString response;
        if (m_simulator->device()->handleCommand(words, &response))
            return response;
        return QStringLiteral("error: unknown command %1 (try help)").arg(command);
    }

    QString status = m_simulator->device()->describe();
    status += QStringLiteral("\nline: %1; client line: %2; reply delay %3 ms")
                  .arg(m_simulator->device()->line().toString(),
                      m_simulator->isOpen() ? m_simulator->clientLine().toString() : QStringLiteral("none"))
                  .arg(m_simulator->replyDelay());
    if (m_simulator->pacing())
        status += QStringLiteral(", paced at %1 bits a character")
                      .arg(m_simulator->device()->line().bitsPerCharacter());
    if (m_simulator->tcpPort() != 0)
        status += QStringLiteral("; network port 127.0.0.1:%1").arg(m_simulator->tcpPort());
    if (m_simulator->pushInterval() > 0)
        status += QStringLiteral("; sends its reading every %1 ms").arg(m_simulator->pushInterval());
    const QString plan = faults.describe();
    status += plan.isEmpty() ? QStringLiteral("\nfaults: none") : QStringLiteral("\nfaults:\n") + plan;
    return status;
}

QStringList SimCommands::help() const
{
    return generalHelp() + m_simulator->device()->commandHelp();
}

QStringList SimCommands::generalHelp()
{
    return {
        QStringLiteral("silence [N]     answer nothing to the next N requests (no N: until clear)"),
        QStringLiteral("drop [N]        answer nothing to the next N requests (default 1)"),
        QStringLiteral("garbage [N]     answer random bytes to the next N requests"),
        QStringLiteral("badcheck [N]    answer with a wrong check byte to the next N requests"),
        QStringLiteral("split P MS [N]  send the next N replies in P pieces, MS ms apart"),
        QStringLiteral("late MS [N]     send the next N replies MS ms late"),
        QStringLiteral("hangup-next     vanish instead of answering the next request"),
        QStringLiteral("hangup          vanish now (the client's line hangs up, the link goes)"),
        QStringLiteral("replug          come back under the same link after a hang-up"),
        QStringLiteral("delay MS        answer every request MS ms after it arrives"),
        QStringLiteral(
            "push S          send the reading unasked every S seconds, 0: stop (devices that can)"),
        QStringLiteral("clear           drop all pending faults"),
        QStringLiteral("status          show the device, the line and the pending faults"),
        QStringLiteral("quit            stop the simulator"),
    };
}

} // namespace sim
