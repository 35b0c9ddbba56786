#include "station/openfailure.h"

#include <QtTest>

class TestOpenFailure : public QObject
{
    Q_OBJECT

private slots:
    void openFailureNamesPortReasonAndRemedy_data();
    void openFailureNamesPortReasonAndRemedy();
};

void TestOpenFailure::openFailureNamesPortReasonAndRemedy_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("text");

    // A missing port, the plain case, is shown end to end by the blackbody connection's test.
    QTest::newRow("no reason given") << int(QSerialPort::OpenError) << ""
                                     << "无法打开端口 /dev/ttyUSB0：未知错误";
    QTest::newRow("no access")
        << int(QSerialPort::PermissionError) << "Permission denied"
        << "无法打开端口 /dev/ttyUSB0：Permission denied\n当前用户无权使用该串口。"
           "请将用户加入串口设备所属的用户组 uucp（例如 sudo usermod -aG uucp $USER），"
           "然后重新登录。";
}

void TestOpenFailure::openFailureNamesPortReasonAndRemedy()
{
    QFETCH(int, error);
    QFETCH(QString, reason);
    QTEST(openFailureText(QStringLiteral("/dev/ttyUSB0"), QSerialPort::SerialPortError(error), reason,
              QStringLiteral("uucp")),
        "text");
}

QTEST_APPLESS_MAIN(TestOpenFailure)
#include "tst_openfailure.moc"
