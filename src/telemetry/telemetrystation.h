#pragma once

#include "station/blackbodylink.h"
#include "telemetry/mqttpublisher.h"

#include <QDateTime>
#include <QJsonObject>
#include <QObject>

class Station;

// The station as the plant's broker sees it: publishes the link's readings, the link's, the recording's
// and the runs' events and its own status through the publisher, and takes set points from
// <prefix>/<station>/cmd/setpoint when allowed, judged by the rules every door keeps. Listens to the
// station, never to widgets, so it reports alike with or without a window. GUI thread only.
class TelemetryStation : public QObject
{
    Q_OBJECT

public:
    // The station outlives this. Events wait for the broker in `outboxFolder` (the profile's data
    // folder), across starts; empty keeps them in memory only.
    explicit TelemetryStation(Station *station, const QString &outboxFolder = {}, QObject *parent = nullptr);
    // Says offline (retained) before going, waiting up to two seconds for the broker.
    ~TelemetryStation() override;

    // Publishes to the broker `config` names, or stops when it names none.
    void apply(const TelemetryConfig &config);
    // Says offline now and stops, for a station on its way out.
    void stop();
    bool isRunning() const { return m_publisher.isRunning(); }
    bool isConnected() const { return m_publisher.isConnected(); }

signals:
    void connectedChanged(bool connected);
    // A connection attempt failed, in words naming the broker and what failed; once per reason.
    void failed(const QString &reason);

private:
    // An event for the broker, while reporting is on.
    void report(const QString &type, const QJsonObject &fields = {});
    TelemetryPayloads::Status status() const;
    void reading(double current, double setPoint);
    // "temperature":null with what the link is doing instead of answering.
    void noReading(const QString &link);
    void ticked();
    void stateChanged(BlackbodyLink::State state);
    void stabilityChanged(bool stable);
    void setPointOutcome(const SetPointRequest &request, SetPointOutcome outcome);
    void setPointCommand(const QByteArray &payload, bool retained, bool retainFlagReliable);
    // Republishes the status once the link has opened another port or model.
    void linkOpened();

    Station *m_station;
    MqttPublisher m_publisher;
    TelemetryConfig m_applied;
    const QDateTime m_since = QDateTime::currentDateTime();
    QString m_model, m_port; // as the status says them
};
