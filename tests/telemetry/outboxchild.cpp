// A station's publisher in a process of its own, for a test to kill: publishes `count` events to the
// broker on loopback `port` with its outbox in `folder`, says "published" once publishEvent() has
// returned for all of them, and runs until it is killed.
//   bb_outboxchild <port> <folder> <count>
#include "telemetry/mqttpublisher.h"

#include <QCoreApplication>
#include <QDateTime>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4)
        return 2;
    TelemetryConfig config;
    config.host = QStringLiteral("127.0.0.1");
    config.port = quint16(QByteArray(argv[1]).toUInt());
    config.station = QStringLiteral("crash");
    MqttPublisher publisher;
    publisher.setOutboxFolder(QString::fromLocal8Bit(argv[2]));
    publisher.start(config, {"1.0.0", "BB-1200", "/dev/null", QDateTime::currentDateTime(), {}});
    const int count = QByteArray(argv[3]).toInt();
    for (int i = 1; i <= count; ++i)
        publisher.publishEvent(QStringLiteral("child"), {{QStringLiteral("i"), i}});
    std::printf("published %s\n", qPrintable(publisher.instance()));
    std::fflush(stdout);
    return app.exec();
}
