#pragma once

#include <QString>
#include <QStringList>

namespace sim {

class DeviceSimulator;

// The simulator's console language: fault and line commands for any device, anything else handed to the
// device. Runs in the simulator's thread; does not own the simulator.
class SimCommands
{
public:
    explicit SimCommands(DeviceSimulator *simulator);

    // Executes one line and returns the answer to print (possibly empty). Sets *quit on "quit".
    QString execute(const QString &line, bool *quit = nullptr);
    QStringList help() const;
    // The device-independent part of help(), for --help before any simulator exists.
    static QStringList generalHelp();

private:
    DeviceSimulator *m_simulator = nullptr;
};

} // namespace sim
