#pragma once

#include "telemetrypayloads.h"

#include <QObject>

#include <memory>
#include <thread>

// Publishes one station's status, readings and events to an MQTT broker through libmosquitto.
// Lives on the GUI thread; every libmosquitto call runs on one network thread of its own, so no call here
// ever waits on the network, except stop()'s bounded wait. Events are held in our own queue and in an
// append-only outbox file until the broker acknowledges them, which survives reconnects, broker restarts
// and our own end, however it comes; readings are dropped while disconnected. Signals are emitted on the
// thread the publisher lives on (queued from the network thread).
class MqttPublisher : public QObject
{
    Q_OBJECT
public:
    static constexpr int kDefaultEventLimit = 10000;

    explicit MqttPublisher(QObject *parent = nullptr);
    ~MqttPublisher() override; // stop(0) if still running

    // Connects (asynchronously) with the will {"state":"offline"} on <p>/status (QoS 1, retained), and
    // on every (re)connect publishes online(status) retained QoS 1 and, when config.commands, subscribes
    // <p>/cmd/setpoint. Speaks MQTT 5 and subscribes with Retain As Published, so that a retained command
    // carries its flag whether the broker stored it or forwards it live; 3.1.1 when the settings say so
    // or the broker refuses 5, and the status then says "mqtt":"3.1.1". Reconnects with backoff 1 s
    // doubling to 30 s, each wait drawn between half and all of it. Restarting with a new config is allowed
    // (stop + start).
    void start(const TelemetryConfig &config, const TelemetryPayloads::Status &status);
    // Publishes retained offline, waits up to waitMs for its acknowledgement, disconnects (no will).
    void stop(int waitMs = 2000);
    bool isRunning() const;
    bool isConnected() const;
    void setStatus(const TelemetryPayloads::Status &status); // republished retained now if connected
    // QoS 0; dropped (not queued) while disconnected.
    void publishTelemetry(const TelemetryPayloads::Reading &reading);
    // Stamps the next seq and the instance, writes the event to the outbox and queues it at QoS 1; sent
    // once on disk, in order, kept until the broker acknowledges it (PUBACK), resent after a reconnect
    // and, from the outbox, after a restart. At most 10,000 queued: the oldest go (from the file too) and
    // an "events_dropped" event with {"count":N} follows. `ts` defaults to now.
    void publishEvent(const QString &type, const QJsonObject &fields = {}, const QDateTime &ts = {});
    int queuedEvents() const;
    // The folder whose mqtt-outbox keeps events across starts, and with it seq and the instance id;
    // opened at the first start() (a damaged file is set aside and failed() says so). Call before
    // start(). Without it events live in memory, under an instance of this object's own.
    void setOutboxFolder(const QString &folder);
    QString instance() const; // the outbox's, once start() opened it
    // Takes a retained command off the broker (an empty retained message), so it does not come back at
    // every reconnect; while connected.
    void clearRetainedCommand();

    // For tests: a smaller queue, so an overflow needs few events.
    void setEventLimit(int limit);

signals:
    void connectedChanged(bool connected);
    // A connection attempt failed: the reason in words naming what failed (host/port unreachable,
    // refused: bad user name or password, TLS: CA file unreadable or certificate rejected, …). Emitted
    // once per distinct reason in a row, not per retry; cleared by a successful connect.
    void failed(const QString &reason);
    // A message on <p>/cmd/setpoint (only subscribed when commands are allowed). `retainFlagReliable`
    // is false over 3.1.1, whose broker clears the flag of a live retained publish.
    void setPointCommand(const QByteArray &payload, bool retained, bool retainFlagReliable);

private:
    struct Shared;
    class Worker;

    // Queued from the network thread: turns what it reported into signals, on our thread.
    Q_INVOKABLE void takeNotices();

    std::shared_ptr<Shared> m_shared; // also held by the network thread, which may outlive a stop()
    std::thread m_thread;
    bool m_connected = false;
    QString m_lastFailure; // the last failed() emitted, so a retry failing alike says nothing new
    QString m_outboxFolder; // until start() opens it
};
