#include "portchoices.h"

#include <QSerialPortInfo>

#include <array>

namespace {

struct BaudChoice
{
    const char *text;
    QSerialPort::BaudRate rate;
};
const std::array<BaudChoice, 8> kBaudChoices = {{
    {"1200", QSerialPort::Baud1200},
    {"2400", QSerialPort::Baud2400},
    {"4800", QSerialPort::Baud4800},
    {"9600", QSerialPort::Baud9600},
    {"19200", QSerialPort::Baud19200},
    {"38400", QSerialPort::Baud38400},
    {"57600", QSerialPort::Baud57600},
    {"115200", QSerialPort::Baud115200},
}};

} // namespace

QStringList PortChoices::baudTexts()
{
    QStringList texts;
    for (const BaudChoice &choice : kBaudChoices)
        texts << QString::fromLatin1(choice.text);
    return texts;
}

QSerialPort::BaudRate PortChoices::baudForIndex(int index)
{
    if (index < 0 || index >= int(kBaudChoices.size()))
        index = kDefaultBaudIndex;
    return kBaudChoices[size_t(index)].rate;
}

QVector<StablePortNames::Choice> PortChoices::availablePorts(const QString &stableFolder)
{
    QVector<StablePortNames::Port> ports;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos)
        ports.append({info.portName(), info.systemLocation(), info.description()});
    return StablePortNames::choices(ports, StablePortNames::readLinks(stableFolder));
}
