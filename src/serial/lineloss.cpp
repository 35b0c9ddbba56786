#include "lineloss.h"

#ifdef Q_OS_UNIX
#include <termios.h>
#endif

bool portLineLost(const QSerialPort &port, QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::ResourceError)
        return true;
    if (error != QSerialPort::ReadError && error != QSerialPort::WriteError)
        return false;
#ifdef Q_OS_UNIX
    // A hung-up tty reads as end of file, which the port reports as a plain read error; its line
    // settings can no longer be read either.
    termios settings;
    return port.handle() >= 0 && ::tcgetattr(int(port.handle()), &settings) != 0;
#else
    return false;
#endif
}
