#include "faultplan.h"

#include <QStringList>

namespace sim {

void FaultPlan::silence(int requests)
{
    add({Fault::Silence}, requests);
}

void FaultPlan::garbage(int requests)
{
    add({Fault::Garbage}, requests);
}

void FaultPlan::badCheck(int requests)
{
    add({Fault::BadCheck}, requests);
}

void FaultPlan::split(int pieces, int pauseMs, int requests)
{
    Fault fault {Fault::Split};
    fault.pieces = qMax(1, pieces);
    fault.pauseMs = qMax(0, pauseMs);
    add(fault, requests);
}

void FaultPlan::late(int delayMs, int requests)
{
    Fault fault {Fault::Late};
    fault.delayMs = qMax(0, delayMs);
    add(fault, requests);
}

void FaultPlan::hangUpOnNextRequest()
{
    add({Fault::HangUp}, 1);
}

void FaultPlan::clear()
{
    m_steps.clear();
}

Fault FaultPlan::take()
{
    if (m_steps.isEmpty())
        return {};
    Step &step = m_steps.first();
    const Fault fault = step.fault;
    if (step.remaining != UntilCleared && --step.remaining == 0)
        m_steps.removeFirst();
    return fault;
}

QString FaultPlan::describe() const
{
    QStringList lines;
    for (const Step &step : m_steps) {
        QString line;
        switch (step.fault.kind) {
        case Fault::None:
            line = QStringLiteral("none");
            break;
        case Fault::Silence:
            line = QStringLiteral("silence");
            break;
        case Fault::Garbage:
            line = QStringLiteral("garbage");
            break;
        case Fault::BadCheck:
            line = QStringLiteral("badcheck");
            break;
        case Fault::Split:
            line = QStringLiteral("split %1 pieces, %2 ms apart")
                       .arg(step.fault.pieces)
                       .arg(step.fault.pauseMs);
            break;
        case Fault::Late:
            line = QStringLiteral("late %1 ms").arg(step.fault.delayMs);
            break;
        case Fault::HangUp:
            line = QStringLiteral("hangup");
            break;
        }
        line += step.remaining == UntilCleared ? QStringLiteral(" until cleared")
                                               : QStringLiteral(" x%1").arg(step.remaining);
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

void FaultPlan::add(const Fault &fault, int requests)
{
    if (requests == 0 || requests < UntilCleared)
        return;
    m_steps.append({fault, requests});
}

} // namespace sim
