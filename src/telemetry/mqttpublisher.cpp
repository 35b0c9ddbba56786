#include "mqttpublisher.h"

#include "eventoutbox.h"

#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <map>
#include <mosquitto.h>
#include <mqtt_protocol.h>
#include <mutex>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

constexpr int kKeepAliveSeconds = 30;
constexpr milliseconds kFirstRetry {1000};
constexpr milliseconds kLongestRetry {30000};
// A connection attempt whose packets vanish (a firewall, a host that is off) would otherwise wait for the
// kernel's own timeout of about two minutes.
constexpr milliseconds kConnectTimeout {10000};
// Events handed to libmosquitto at once; the rest wait in our queue, which is what survives a reconnect.
constexpr int kEventWindow = 100;
// After the offline status was acknowledged (or not), how long DISCONNECT may take to leave.
constexpr milliseconds kDisconnectFlush {200};

void initLibrary()
{
    static const int once = mosquitto_lib_init();
    Q_UNUSED(once)
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

// Everything the GUI thread and the network thread share, guarded by `mutex`. The network thread holds
// it too, so a stop() that gives up waiting (a name lookup that hangs) can leave the thread to end alone.
struct MqttPublisher::Shared
{
    using Event = EventOutbox::Event;
    struct Notice
    {
        enum Kind { Connected, Disconnected, Failed, Command } kind = Connected;
        QString reason;
        QByteArray payload;
        bool retained = false;
        bool mqtt5 = true; // of the connection it came from
    };

    Shared()
    {
        if (::pipe2(wake, O_NONBLOCK | O_CLOEXEC) != 0)
            wake[0] = wake[1] = -1;
    }
    ~Shared()
    {
        for (int fd : wake) {
            if (fd >= 0)
                ::close(fd);
        }
    }
    Shared(const Shared &) = delete;
    Shared &operator=(const Shared &) = delete;

    // Wakes the network thread from its poll(); a full pipe already will.
    void poke()
    {
        const char c = 0;
        [[maybe_unused]] const ssize_t written = ::write(wake[1], &c, 1);
    }

    std::mutex mutex;
    std::condition_variable finishedChanged;
    int wake[2] = {-1, -1};

    TelemetryConfig config; // fixed once the thread runs
    TelemetryPayloads::Status online;
    bool onlineChanged = false;
    bool clearRetained = false; // an empty retained command is due
    std::deque<QByteArray> readings;
    std::deque<Event> events; // oldest first, until acknowledged
    // Numbers the events and keeps them on disk; null in a state a restart left to an abandoned thread.
    std::unique_ptr<EventOutbox> outbox = std::make_unique<EventOutbox>();
    int eventLimit = MqttPublisher::kDefaultEventLimit;
    bool stopRequested = false;
    Clock::time_point stopDeadline;

    bool started = false;
    bool connected = false; // written by the network thread
    bool finished = false;
    std::vector<Notice> notices; // network thread to GUI thread
    MqttPublisher *owner = nullptr; // null once the publisher no longer listens
};

// Runs on the network thread and alone touches its libmosquitto client, which is made anew for every
// connection attempt so that nothing but our own queue decides what is resent.
class MqttPublisher::Worker
{
public:
    explicit Worker(std::shared_ptr<Shared> shared)
        : m_shared(std::move(shared))
        , m_config(m_shared->config)
        , m_statusTopic(TelemetryPayloads::topic(m_config, "status"))
        , m_telemetryTopic(TelemetryPayloads::topic(m_config, "telemetry"))
        , m_eventTopic(TelemetryPayloads::topic(m_config, "event"))
        , m_commandTopic(TelemetryPayloads::topic(m_config, "cmd/setpoint"))
    { }

    void run();

private:
    bool session(); // one connection attempt and, if it succeeds, the whole connection
    bool configure();
    bool pump(Clock::time_point until); // poll and let libmosquitto work; false when the connection ended
    void sendQueued();
    void closeGracefully();
    void waitRetry(Clock::time_point until);
    bool stopRequested();
    void drainWake();
    bool syncOutbox(); // puts what was appended on disk, so it may be sent; false when nothing was due
    void notify(Shared::Notice notice);
    void fail(const QString &reason);
    QString unreachable(const QString &why) const;
    QString reasonFor(int rc, int error) const;

    static void onConnect(mosquitto *, void *self, int rc);
    static void onDisconnect(mosquitto *, void *self, int rc);
    static void onPublish(mosquitto *, void *self, int mid, int reason, const mosquitto_property *);
    static void onMessage(mosquitto *, void *self, const mosquitto_message *message);

    std::shared_ptr<Shared> m_shared;
    const TelemetryConfig m_config;
    const QByteArray m_statusTopic, m_telemetryTopic, m_eventTopic, m_commandTopic;

    mosquitto *m_mosq = nullptr;
    bool m_connected = false;
    bool m_justConnected = false;
    int m_connackRefusal = 0;
    int m_lostErrno = 0;
    Clock::time_point m_attemptDeadline;
    std::map<int, quint64> m_inFlight; // message id -> event seq
    quint64 m_handedUpTo = 0; // last seq given to libmosquitto on this connection
    int m_offlineMid = -1;
    bool m_offlineAcked = false;
    bool m_mqtt5 = !m_config.mqtt311; // falls back to 3.1.1 for good once a broker refuses 5
    bool m_refusedProtocol = false; // the last attempt's broker refused the protocol
};

void MqttPublisher::Worker::run()
{
    milliseconds retry = kFirstRetry;
    while (!stopRequested()) {
        if (session())
            retry = kFirstRetry;
        if (stopRequested())
            break;
        // Between half and all of the backoff: a plant's stations, all cut off by one broker restart, do
        // not all come back in the same instant and again at every doubling.
        waitRetry(Clock::now() + retry / 2
            + milliseconds(QRandomGenerator::global()->bounded(int(retry.count() / 2 + 1))));
        retry = std::min(retry * 2, kLongestRetry);
    }
    syncOutbox();
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->connected = false;
    m_shared->finished = true;
    m_shared->finishedChanged.notify_all();
}

bool MqttPublisher::Worker::session()
{
    m_mosq = mosquitto_new(nullptr, true, this);
    if (!m_mosq) {
        fail(unreachable(systemError(errno)));
        return false;
    }
    m_connected = m_justConnected = false;
    m_connackRefusal = m_lostErrno = 0;
    m_refusedProtocol = false;
    m_inFlight.clear();
    m_handedUpTo = 0;
    bool announced = false;
    if (configure()) {
        const QByteArray host = m_config.host.toUtf8();
        const int rc = mosquitto_connect_async(m_mosq, host.constData(), m_config.port, kKeepAliveSeconds);
        if (rc != MOSQ_ERR_SUCCESS) {
            fail(reasonFor(rc, errno));
        } else {
            m_attemptDeadline = Clock::now() + kConnectTimeout;
            while (!stopRequested() && pump(Clock::now() + milliseconds(1000))) {
                if (m_justConnected) {
                    m_justConnected = false;
                    {
                        std::lock_guard<std::mutex> lock(m_shared->mutex);
                        m_shared->connected = true;
                        m_shared->onlineChanged = true; // published below, before any event
                    }
                    if (m_config.commands && m_mqtt5)
                        mosquitto_subscribe_v5(m_mosq, nullptr, m_commandTopic.constData(), 1,
                            MQTT_SUB_OPT_RETAIN_AS_PUBLISHED, nullptr);
                    else if (m_config.commands)
                        mosquitto_subscribe(m_mosq, nullptr, m_commandTopic.constData(), 1);
                    notify({Shared::Notice::Connected, {}, {}, false, m_mqtt5});
                    announced = true;
                }
                if (m_connected) {
                    // Readings and what is already on disk first, so a sync never holds a reading back;
                    // then the events that sync made durable.
                    sendQueued();
                    if (syncOutbox())
                        sendQueued();
                } else {
                    syncOutbox();
                    if (Clock::now() >= m_attemptDeadline) {
                        fail(unreachable(MqttPublisher::tr("连接超时")));
                        break;
                    }
                }
            }
            if (stopRequested())
                closeGracefully();
        }
    }
    const bool hadConnected = m_connected;
    if (announced) {
        {
            std::lock_guard<std::mutex> lock(m_shared->mutex);
            m_shared->connected = false;
            m_shared->readings.clear();
        }
        notify({Shared::Notice::Disconnected, {}, {}, false, m_mqtt5});
    }
    // A broker of 3.1.1 only: the next attempt speaks its protocol.
    if (!hadConnected && m_refusedProtocol && m_mqtt5)
        m_mqtt5 = false;
    mosquitto_destroy(m_mosq);
    m_mosq = nullptr;
    m_connected = false;
    return hadConnected;
}

bool MqttPublisher::Worker::configure()
{
    mosquitto_connect_callback_set(m_mosq, &Worker::onConnect);
    mosquitto_disconnect_callback_set(m_mosq, &Worker::onDisconnect);
    mosquitto_publish_v5_callback_set(m_mosq, &Worker::onPublish);
    mosquitto_message_callback_set(m_mosq, &Worker::onMessage);
    // A reading is a small write soon after the last; Nagle would hold it for the previous one's ACK.
    mosquitto_int_option(m_mosq, MOSQ_OPT_TCP_NODELAY, 1);
    mosquitto_int_option(m_mosq, MOSQ_OPT_PROTOCOL_VERSION, m_mqtt5 ? MQTT_PROTOCOL_V5 : MQTT_PROTOCOL_V311);
    const QByteArray offline = TelemetryPayloads::offline();
    // Set before every connect: the broker publishes it for us when the program dies or the network goes.
    if (mosquitto_will_set(m_mosq, m_statusTopic.constData(), offline.size(), offline.constData(), 1, true)
        != MOSQ_ERR_SUCCESS) {
        fail(MqttPublisher::tr("状态主题无效：%1").arg(QString::fromUtf8(m_statusTopic)));
        return false;
    }
    if (!m_config.user.isEmpty()) {
        const QByteArray user = m_config.user.toUtf8();
        const QByteArray password = m_config.password.toUtf8();
        mosquitto_username_pw_set(
            m_mosq, user.constData(), m_config.password.isEmpty() ? nullptr : password.constData());
    }
    if (!m_config.caFile.isEmpty()) {
        // libmosquitto only says "invalid argument" for a CA file it cannot open; the operator needs more.
        QFile ca(m_config.caFile);
        if (!ca.open(QIODevice::ReadOnly)) {
            fail(MqttPublisher::tr("无法读取 CA 文件 %1").arg(m_config.caFile));
            return false;
        }
        const QByteArray path = QFile::encodeName(m_config.caFile);
        if (mosquitto_tls_set(m_mosq, path.constData(), nullptr, nullptr, nullptr, nullptr)
            != MOSQ_ERR_SUCCESS) {
            fail(MqttPublisher::tr("无法读取 CA 文件 %1").arg(m_config.caFile));
            return false;
        }
    }
    return true;
}

bool MqttPublisher::Worker::pump(Clock::time_point until)
{
    const int fd = mosquitto_socket(m_mosq);
    if (fd < 0)
        return false;
    pollfd fds[2] = {{fd, short(POLLIN | (mosquitto_want_write(m_mosq) ? POLLOUT : 0)), 0},
        {m_shared->wake[0], POLLIN, 0}};
    const auto wait = std::chrono::duration_cast<milliseconds>(until - Clock::now()).count();
    if (::poll(fds, 2, int(std::clamp<long long>(wait, 0, 1000))) < 0 && errno != EINTR)
        return false;
    if (fds[1].revents & POLLIN)
        drainWake();
    int rc = MOSQ_ERR_SUCCESS;
    // While TLS waits for its handshake, libmosquitto does not notice that the connection itself failed
    // (refused, reset) and the socket stays readable: ask the socket, or this loop would spin.
    if (!m_connected && (fds[0].revents & POLLERR)) {
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error != 0) {
            m_lostErrno = error;
            rc = MOSQ_ERR_ERRNO;
        }
    }
    if (rc == MOSQ_ERR_SUCCESS && (fds[0].revents & (POLLIN | POLLERR | POLLHUP)))
        rc = mosquitto_loop_read(m_mosq, 1);
    if (rc == MOSQ_ERR_SUCCESS && mosquitto_socket(m_mosq) >= 0 && (fds[0].revents & POLLOUT))
        rc = mosquitto_loop_write(m_mosq, 1);
    if (rc == MOSQ_ERR_SUCCESS && mosquitto_socket(m_mosq) >= 0)
        rc = mosquitto_loop_misc(m_mosq);
    // A peer that hung up before CONNACK, and whose end libmosquitto's TLS layer did not report.
    if (rc == MOSQ_ERR_SUCCESS && !m_connected && (fds[0].revents & (POLLERR | POLLHUP)))
        rc = MOSQ_ERR_CONN_LOST;
    if (rc == MOSQ_ERR_SUCCESS && mosquitto_socket(m_mosq) >= 0)
        return true;
    if (!m_connected) {
        // 3.1.1's "unacceptable protocol version" and 5's "unsupported protocol version"; a broker that
        // knows only 3.1.1 may also answer a CONNECT of 5 in a form it cannot be read in.
        m_refusedProtocol = m_mqtt5
            && (m_connackRefusal == 1 || m_connackRefusal == MQTT_RC_UNSUPPORTED_PROTOCOL_VERSION
                || rc == MOSQ_ERR_MALFORMED_PACKET);
        if (m_refusedProtocol)
            fail(MqttPublisher::tr("服务器不支持 MQTT 5，改用 MQTT 3.1.1"));
        else if (m_connackRefusal == 4 || m_connackRefusal == 5
            || m_connackRefusal == MQTT_RC_BAD_USERNAME_OR_PASSWORD
            || m_connackRefusal == MQTT_RC_NOT_AUTHORIZED)
            fail(MqttPublisher::tr("服务器拒绝连接：用户名或密码错误"));
        else if (m_connackRefusal != 0)
            fail(MqttPublisher::tr("服务器拒绝连接：%1")
                     .arg(QString::fromUtf8(m_mqtt5 ? mosquitto_reason_string(m_connackRefusal)
                                                    : mosquitto_connack_string(m_connackRefusal))));
        else
            fail(reasonFor(rc == MOSQ_ERR_SUCCESS ? MOSQ_ERR_CONN_LOST : rc, m_lostErrno));
    }
    return false;
}

void MqttPublisher::Worker::sendQueued()
{
    QByteArray online;
    std::deque<QByteArray> readings;
    std::vector<Shared::Event> events;
    bool clearRetained = false;
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        if (m_shared->onlineChanged) {
            m_shared->onlineChanged = false;
            TelemetryPayloads::Status status = m_shared->online;
            status.mqtt = m_mqtt5 ? QStringLiteral("5") : QStringLiteral("3.1.1");
            online = TelemetryPayloads::online(status);
        }
        clearRetained = std::exchange(m_shared->clearRetained, false);
        readings.swap(m_shared->readings);
        EventOutbox *outbox = m_shared->outbox.get();
        // Only what is on disk goes out: an event the broker has must never be lost to a power cut and
        // its seq given again.
        const quint64 durable = outbox ? outbox->durableSeq() : 0;
        for (const Shared::Event &e : m_shared->events) {
            if (int(m_inFlight.size() + events.size()) >= kEventWindow || e.seq > durable)
                break;
            if (e.seq > m_handedUpTo)
                events.push_back(e);
        }
        // The report of what overflow dropped follows the survivors, once they are all on their way.
        if (outbox && events.empty() && outbox->droppedUnreported() > 0
            && (m_shared->events.empty() || m_shared->events.back().seq <= m_handedUpTo)) {
            const quint64 seq = outbox->nextSeq();
            Shared::Event report {seq,
                TelemetryPayloads::event(QDateTime::currentDateTime(), seq, outbox->instance(),
                    QStringLiteral("events_dropped"),
                    {{QStringLiteral("count"), double(outbox->droppedUnreported())}}),
                true};
            outbox->append(report);
            m_shared->events.push_back(std::move(report));
            m_shared->poke();
        }
    }
    if (!online.isEmpty())
        mosquitto_publish(
            m_mosq, nullptr, m_statusTopic.constData(), online.size(), online.constData(), 1, true);
    if (clearRetained)
        mosquitto_publish(m_mosq, nullptr, m_commandTopic.constData(), 0, nullptr, 1, true);
    for (const QByteArray &r : readings)
        mosquitto_publish(m_mosq, nullptr, m_telemetryTopic.constData(), r.size(), r.constData(), 0, false);
    for (const Shared::Event &e : events) {
        int mid = 0;
        if (mosquitto_publish(
                m_mosq, &mid, m_eventTopic.constData(), e.payload.size(), e.payload.constData(), 1, false)
            != MOSQ_ERR_SUCCESS)
            break; // the connection is going; everything unacknowledged goes again on the next
        m_inFlight.emplace(mid, e.seq);
        m_handedUpTo = e.seq;
    }
}

void MqttPublisher::Worker::closeGracefully()
{
    if (!m_connected)
        return;
    Clock::time_point deadline;
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        deadline = m_shared->stopDeadline;
    }
    const QByteArray offline = TelemetryPayloads::offline();
    m_offlineAcked = false;
    if (mosquitto_publish(
            m_mosq, &m_offlineMid, m_statusTopic.constData(), offline.size(), offline.constData(), 1, true)
        != MOSQ_ERR_SUCCESS)
        return;
    while (!m_offlineAcked && Clock::now() < deadline && pump(deadline)) { }
    // A clean disconnect: the broker drops the will, and the offline status just sent stays.
    mosquitto_disconnect(m_mosq);
    const Clock::time_point flushed = Clock::now() + kDisconnectFlush;
    while (mosquitto_socket(m_mosq) >= 0 && mosquitto_want_write(m_mosq) && Clock::now() < flushed
        && pump(flushed)) { }
}

void MqttPublisher::Worker::waitRetry(Clock::time_point until)
{
    while (!stopRequested() && Clock::now() < until) {
        pollfd fd = {m_shared->wake[0], POLLIN, 0};
        const auto wait = std::chrono::duration_cast<milliseconds>(until - Clock::now()).count();
        if (::poll(&fd, 1, int(std::clamp<long long>(wait, 0, 1000))) > 0)
            drainWake();
        // While the broker is away too: a power cut must not take what waits for it.
        syncOutbox();
        // Readings are only worth sending while connected.
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        m_shared->readings.clear();
    }
}

bool MqttPublisher::Worker::stopRequested()
{
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    return m_shared->stopRequested;
}

void MqttPublisher::Worker::drainWake()
{
    char buffer[64];
    while (::read(m_shared->wake[0], buffer, sizeof buffer) > 0) { }
}

bool MqttPublisher::Worker::syncOutbox()
{
    EventOutbox::SyncTicket ticket;
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        if (!m_shared->outbox)
            return false;
        ticket = m_shared->outbox->beginSync();
    }
    if (ticket.fd < 0)
        return false;
    // Without the lock: publishEvent() goes on appending while the disk catches up, and the events that
    // arrive meanwhile share the next sync.
    const bool ok = EventOutbox::syncFile(ticket);
    QString error;
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        if (!m_shared->outbox)
            return false;
        m_shared->outbox->endSync(ticket, ok);
        error = m_shared->outbox->takeError();
    }
    if (!error.isEmpty())
        fail(error);
    return true;
}

void MqttPublisher::Worker::notify(Shared::Notice notice)
{
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    if (!m_shared->owner)
        return;
    m_shared->notices.push_back(std::move(notice));
    // One call collects every notice queued until it runs; nothing but the pointer crosses threads.
    if (m_shared->notices.size() == 1)
        QMetaObject::invokeMethod(m_shared->owner, "takeNotices", Qt::QueuedConnection);
}

void MqttPublisher::Worker::fail(const QString &reason)
{
    notify({Shared::Notice::Failed, reason, {}, false});
}

QString MqttPublisher::Worker::unreachable(const QString &why) const
{
    return MqttPublisher::tr("无法连接到 %1:%2：%3").arg(m_config.host).arg(m_config.port).arg(why);
}

QString MqttPublisher::Worker::reasonFor(int rc, int error) const
{
    switch (rc) {
    case MOSQ_ERR_ERRNO:
        return unreachable(error != 0 ? systemError(error) : MqttPublisher::tr("连接被关闭"));
    case MOSQ_ERR_EAI:
        return unreachable(MqttPublisher::tr("找不到该主机"));
    case MOSQ_ERR_TLS:
    case MOSQ_ERR_TLS_HANDSHAKE:
        return MqttPublisher::tr("与 %1:%2 的 TLS 握手失败：证书被拒绝或对方不是 TLS 服务")
            .arg(m_config.host)
            .arg(m_config.port);
    case MOSQ_ERR_PROTOCOL:
        return unreachable(MqttPublisher::tr("对方不是 MQTT 服务器"));
    case MOSQ_ERR_CONN_LOST:
    case MOSQ_ERR_NO_CONN:
        return unreachable(MqttPublisher::tr("连接被关闭"));
    default:
        return unreachable(QString::fromUtf8(mosquitto_strerror(rc)));
    }
}

void MqttPublisher::Worker::onConnect(mosquitto *, void *self, int rc)
{
    auto *w = static_cast<Worker *>(self);
    if (rc == 0) {
        w->m_connected = w->m_justConnected = true;
    } else {
        w->m_connackRefusal = rc;
    }
}

void MqttPublisher::Worker::onDisconnect(mosquitto *, void *self, int)
{
    // Before libmosquitto closes the socket, errno still says why the connection failed.
    static_cast<Worker *>(self)->m_lostErrno = errno;
}

void MqttPublisher::Worker::onPublish(
    mosquitto *, void *self, int mid, int reason, const mosquitto_property *)
{
    auto *w = static_cast<Worker *>(self);
    if (mid == w->m_offlineMid)
        w->m_offlineAcked = true;
    const auto it = w->m_inFlight.find(mid);
    if (it == w->m_inFlight.end())
        return;
    const quint64 seq = it->second;
    w->m_inFlight.erase(it);
    // MQTT 5 lets a broker refuse a message in its acknowledgement (not authorised, quota): the event
    // stays, and goes again on the next connection.
    if (reason >= MQTT_RC_UNSPECIFIED) {
        w->fail(MqttPublisher::tr("服务器拒绝了事件：%1")
                    .arg(QString::fromUtf8(mosquitto_reason_string(reason))));
        return;
    }
    QString error;
    {
        std::lock_guard<std::mutex> lock(w->m_shared->mutex);
        auto &events = w->m_shared->events;
        // Acknowledgements come in order, so this is nearly always the front.
        const auto e
            = std::find_if(events.begin(), events.end(), [seq](const auto &x) { return x.seq == seq; });
        if (e == events.end())
            return; // dropped by the bound meanwhile, and marked so
        events.erase(e);
        if (EventOutbox *outbox = w->m_shared->outbox.get()) {
            outbox->markDone(seq);
            if (outbox->wantsCompaction(events.size()))
                outbox->compact(events);
            error = outbox->takeError();
        }
    }
    if (!error.isEmpty())
        w->fail(error);
}

void MqttPublisher::Worker::onMessage(mosquitto *, void *self, const mosquitto_message *message)
{
    auto *w = static_cast<Worker *>(self);
    if (!message->topic || w->m_commandTopic != message->topic)
        return;
    w->notify({Shared::Notice::Command, {},
        QByteArray(static_cast<const char *>(message->payload), message->payloadlen), message->retain,
        w->m_mqtt5});
}

MqttPublisher::MqttPublisher(QObject *parent)
    : QObject(parent)
    , m_shared(std::make_shared<Shared>())
{
    initLibrary();
}

MqttPublisher::~MqttPublisher()
{
    stop(0);
}

void MqttPublisher::setOutboxFolder(const QString &folder)
{
    m_outboxFolder = folder;
}

QString MqttPublisher::instance() const
{
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    return m_shared->outbox->instance();
}

void MqttPublisher::start(const TelemetryConfig &config, const TelemetryPayloads::Status &status)
{
    stop();
    if (config.host.isEmpty())
        return;
    if (const std::shared_ptr<Shared> old = m_shared; old->started) {
        // Unacknowledged events stay with the publisher across a restart; a thread left to end alone keeps
        // only its old state.
        auto fresh = std::make_shared<Shared>();
        std::lock_guard<std::mutex> lock(old->mutex);
        fresh->config = old->config;
        fresh->events.swap(old->events);
        fresh->outbox = std::move(old->outbox);
        fresh->eventLimit = old->eventLimit;
        m_shared = std::move(fresh);
    }
    QString outboxMessage;
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        if (!m_outboxFolder.isEmpty() && !m_shared->outbox->isOpen()) {
            // What an earlier run left waiting goes first, in its order.
            m_shared->outbox->open(m_outboxFolder);
            outboxMessage = m_shared->outbox->message();
            std::deque<Shared::Event> left = m_shared->outbox->takePending();
            // Events from before the start follow under the file's instance, with its next numbers.
            for (Shared::Event &e : m_shared->events) {
                e.seq = m_shared->outbox->nextSeq();
                e.payload = TelemetryPayloads::renumbered(e.payload, e.seq, m_shared->outbox->instance());
                m_shared->outbox->append(e);
                left.push_back(std::move(e));
            }
            m_shared->events.swap(left);
            m_outboxFolder.clear();
        }
        // (station, instance, seq) names an event: one count per instance serves every station name.
        m_shared->config = config;
        m_shared->online = status;
        m_shared->started = true;
        m_shared->owner = this;
    }
    m_lastFailure.clear();
    if (!outboxMessage.isEmpty()) {
        m_lastFailure = outboxMessage;
        QMetaObject::invokeMethod(
            this, [this, outboxMessage] { emit failed(outboxMessage); }, Qt::QueuedConnection);
    }
    m_thread = std::thread([worker = std::make_shared<Worker>(m_shared)] { worker->run(); });
}

void MqttPublisher::stop(int waitMs)
{
    if (!m_thread.joinable())
        return;
    const auto deadline = Clock::now() + milliseconds(std::max(waitMs, 0));
    bool finished = false;
    {
        std::unique_lock<std::mutex> lock(m_shared->mutex);
        m_shared->stopRequested = true;
        m_shared->stopDeadline = deadline;
        m_shared->owner = nullptr;
        m_shared->notices.clear();
        m_shared->poke();
        // The thread's own bounded steps after the deadline: DISCONNECT leaving, then the thread ending.
        finished = m_shared->finishedChanged.wait_until(
            lock, deadline + kDisconnectFlush + milliseconds(300), [this] { return m_shared->finished; });
    }
    if (finished)
        m_thread.join();
    else
        m_thread.detach(); // stuck in a name lookup; it ends by itself and touches only the shared state
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        if (m_shared->outbox)
            m_shared->outbox->sync();
    }
    if (m_connected) {
        m_connected = false;
        emit connectedChanged(false);
    }
}

bool MqttPublisher::isRunning() const
{
    return m_thread.joinable();
}

bool MqttPublisher::isConnected() const
{
    return m_connected;
}

void MqttPublisher::setStatus(const TelemetryPayloads::Status &status)
{
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->online = status;
    if (m_shared->connected) {
        m_shared->onlineChanged = true;
        m_shared->poke();
    }
}

void MqttPublisher::publishTelemetry(const TelemetryPayloads::Reading &reading)
{
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    if (!m_shared->connected)
        return;
    m_shared->readings.push_back(TelemetryPayloads::telemetry(reading));
    m_shared->poke();
}

void MqttPublisher::publishEvent(const QString &type, const QJsonObject &fields, const QDateTime &ts)
{
    const QDateTime when = ts.isValid() ? ts : QDateTime::currentDateTime();
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    EventOutbox &outbox = *m_shared->outbox;
    const quint64 seq = outbox.nextSeq();
    Shared::Event e {seq, TelemetryPayloads::event(when, seq, outbox.instance(), type, fields), false};
    // Written before it may be sent; the network thread syncs it, many at once when many arrive.
    outbox.append(e);
    m_shared->events.push_back(std::move(e));
    while (int(m_shared->events.size()) > m_shared->eventLimit) {
        outbox.markDropped(m_shared->events.front().seq);
        m_shared->events.pop_front();
    }
    m_shared->poke();
}

void MqttPublisher::clearRetainedCommand()
{
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    if (!m_shared->connected)
        return;
    m_shared->clearRetained = true;
    m_shared->poke();
}

int MqttPublisher::queuedEvents() const
{
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    return int(m_shared->events.size());
}

void MqttPublisher::setEventLimit(int limit)
{
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->eventLimit = std::max(limit, 1);
}

void MqttPublisher::takeNotices()
{
    std::vector<Shared::Notice> notices;
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        notices.swap(m_shared->notices);
    }
    for (const Shared::Notice &n : notices) {
        switch (n.kind) {
        case Shared::Notice::Connected:
            m_lastFailure.clear();
            if (!m_connected) {
                m_connected = true;
                emit connectedChanged(true);
            }
            break;
        case Shared::Notice::Disconnected:
            if (m_connected) {
                m_connected = false;
                emit connectedChanged(false);
            }
            break;
        case Shared::Notice::Failed:
            if (n.reason != m_lastFailure) {
                m_lastFailure = n.reason;
                emit failed(n.reason);
            }
            break;
        case Shared::Notice::Command:
            emit setPointCommand(n.payload, n.retained, n.mqtt5);
            break;
        }
    }
}
