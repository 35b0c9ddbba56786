#include "mqttpublisher.h"

struct MqttPublisher::Shared
{
};

MqttPublisher::MqttPublisher(QObject *parent)
    : QObject(parent)
{ }

MqttPublisher::~MqttPublisher() = default;

void MqttPublisher::start(const TelemetryConfig &, const TelemetryPayloads::Status &) { }
void MqttPublisher::stop(int) { }
bool MqttPublisher::isRunning() const
{
    return false;
}
bool MqttPublisher::isConnected() const
{
    return m_connected;
}
void MqttPublisher::setStatus(const TelemetryPayloads::Status &) { }
void MqttPublisher::publishTelemetry(const TelemetryPayloads::Reading &) { }
void MqttPublisher::publishEvent(const QString &, const QJsonObject &, const QDateTime &) { }
int MqttPublisher::queuedEvents() const
{
    return 0;
}
void MqttPublisher::setEventLimit(int) { }
void MqttPublisher::onConnectedChanged(bool) { }
void MqttPublisher::onFailed(const QString &) { }
