#include "serialmetatypes.h"

#include <QMetaType>
#include <QSerialPort>

void registerSerialPortMetaTypes()
{
    qRegisterMetaType<QSerialPort::BaudRate>("QSerialPort::BaudRate");
    qRegisterMetaType<QSerialPort::DataBits>("QSerialPort::DataBits");
    qRegisterMetaType<QSerialPort::FlowControl>("QSerialPort::FlowControl");
    qRegisterMetaType<QSerialPort::Parity>("QSerialPort::Parity");
    qRegisterMetaType<QSerialPort::StopBits>("QSerialPort::StopBits");
    qRegisterMetaType<QSerialPort::SerialPortError>("QSerialPort::SerialPortError");
}
