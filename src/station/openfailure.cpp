#include "openfailure.h"

#include <QCoreApplication>
#include <QFileInfo>

QString openFailureText(const QString &portName, QSerialPort::SerialPortError error, const QString &reason,
    const QString &deviceGroup)
{
    const QString why = reason.isEmpty() ? QCoreApplication::translate("MainWindow", "未知错误") : reason;
    QString text = QCoreApplication::translate("MainWindow", "无法打开端口 %1：%2").arg(portName, why);
#ifdef Q_OS_UNIX
    if (error == QSerialPort::PermissionError) {
        text += QLatin1Char('\n')
            + QCoreApplication::translate("MainWindow",
                "当前用户无权使用该串口。请将用户加入串口设备所属的用户组 %1"
                "（例如 sudo usermod -aG %1 $USER），然后重新登录。")
                  .arg(deviceGroup);
    }
#else
    Q_UNUSED(error)
    Q_UNUSED(deviceGroup)
#endif
    return text;
}

QString serialDeviceGroup(const QString &portName)
{
    // As the port resolves a bare name such as "ttyUSB0".
    const QString location
        = portName.contains(QLatin1Char('/')) ? portName : QStringLiteral("/dev/") + portName;
    const QString group = QFileInfo(QFileInfo(location).canonicalFilePath()).group();
    return group.isEmpty() || group == QLatin1String("root") ? QStringLiteral("dialout") : group;
}
