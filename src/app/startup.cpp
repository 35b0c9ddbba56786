#include "startup.h"

#include "serial/serialmetatypes.h"

#include <QCoreApplication>
#include <QMetaType>
#include <QSerialPort>

void prepareApplication()
{
    QCoreApplication::setApplicationVersion(QStringLiteral(BB_VERSION));

    registerSerialPortMetaTypes();
}
