#include "scpisession.h"

#include "remote/scpihandler.h"
#include "remote/scpiparser.h"

#include <QHostAddress>
#include <QPointer>
#include <QSocketNotifier>
#include <QTcpSocket>

#include <utility>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {
// A client that does not read its answers stops being read, rather than fill the program's memory.
constexpr qint64 kMaxPendingOutput = 1 << 20;
// Answers owed but not yet written, e.g. *OPC? waiting for an outcome; more stop the reading too.
constexpr quint64 kMaxPendingAnswers = 1024;
// Lines handled per wake-up before the other clients and the window get their turn.
constexpr int kLinesPerTurn = 32;
} // namespace

ScpiSession::ScpiSession(
    QTcpSocket *socket, const ScpiParser &parser, ScpiHandler *handler, int id, QObject *parent)
    : QObject(parent)
    , m_socket(socket)
    , m_parser(parser)
    , m_handler(handler)
    , m_id(id)
{
    socket->setParent(this);
    m_idle.start();
    // Unread input stays in the kernel, so that TCP holds back a client that sends without reading.
    socket->setReadBufferSize(4 * kMaxLine);
    connect(socket, &QTcpSocket::readyRead, this, &ScpiSession::readInput);
    connect(socket, &QTcpSocket::bytesWritten, this, [this](qint64 written) {
        m_inFlight.remove(0, int(qMin(written, qint64(m_inFlight.size()))));
        readInput();
    });
    connect(socket, &QTcpSocket::disconnected, this, &ScpiSession::inputEnded);
#ifdef Q_OS_UNIX
    m_spare = ::fcntl(int(socket->socketDescriptor()), F_DUPFD_CLOEXEC, 0);
#endif
    // Kept: the socket forgets its peer once the client's input ends, and answers still go out after.
    m_origin = socket->peerAddress().toString();
    // An IPv4 client on a dual-stack socket reads as ::ffff:127.0.0.1.
    if (m_origin.startsWith(QLatin1String("::ffff:")))
        m_origin.remove(0, 7);
}

ScpiSession::~ScpiSession()
{
    closeSpare();
}

void ScpiSession::closeSpare()
{
#ifdef Q_OS_UNIX
    if (m_spare < 0)
        return;
    delete m_spareWriter;
    m_spareWriter = nullptr;
    // The last descriptor of the connection: closing it ends the connection on the client's side too.
    ::close(m_spare);
    m_spare = -1;
#endif
}

qint64 ScpiSession::pendingOutput() const
{
    return m_draining ? m_spareOut.size() : m_socket->bytesToWrite();
}

bool ScpiSession::outputFull() const
{
    return pendingOutput() + m_readyBytes > kMaxPendingOutput
        || m_nextSlot - m_firstSlot > kMaxPendingAnswers;
}

bool ScpiSession::hasWork() const
{
    return m_held || m_nextSlot > m_firstSlot || !m_units.isEmpty() || m_socket->canReadLine()
        || !m_spareOut.isEmpty();
}

void ScpiSession::inputEnded()
{
    if (m_ended || m_draining)
        return;
    // What the socket had not handed to the kernel yet it dropped as it closed; it goes out again here.
    m_spareOut = std::exchange(m_inFlight, QByteArray());
    // What was read before the end stays readable; a last line without its newline is not a message.
    if (m_spare < 0 || !hasWork()) {
        end();
        return;
    }
    m_draining = true;
    readInput();
}

void ScpiSession::endIfDrained()
{
    if (m_draining && !m_ended && !m_reading && !hasWork())
        end();
}

void ScpiSession::end()
{
    if (m_ended)
        return;
    m_ended = true;
    closeSpare();
    m_handler->sessionEnded(m_id);
    emit ended(this);
}

void ScpiSession::write(const QByteArray &bytes)
{
    if (!m_draining) {
        m_inFlight += bytes;
        m_socket->write(bytes);
        // Into the kernel now: should the client's end of input arrive next, the socket drops what it holds.
        m_socket->flush();
        return;
    }
    m_spareOut += bytes;
    sendSpare();
}

void ScpiSession::sendSpare()
{
#ifdef Q_OS_UNIX
    while (!m_spareOut.isEmpty()) {
        const ssize_t n
            = ::send(m_spare, m_spareOut.constData(), size_t(m_spareOut.size()), MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n > 0) {
            m_spareOut.remove(0, int(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!m_spareWriter) {
                m_spareWriter = new QSocketNotifier(m_spare, QSocketNotifier::Write, this);
                connect(m_spareWriter, &QSocketNotifier::activated, this, [this] {
                    sendSpare();
                    // Room again: the lines held back while the output was full go on, or the session ends.
                    readInput();
                });
            }
            m_spareWriter->setEnabled(true);
            return;
        }
        // The client has gone altogether: nothing more reaches it.
        m_spareOut.clear();
        break;
    }
    if (m_spareWriter)
        m_spareWriter->setEnabled(false);
#endif
}

QString ScpiSession::origin() const
{
    return m_origin;
}

void ScpiSession::readInput()
{
    // Answers stay in order only if a line is done before the next one starts.
    if (m_reading || m_held)
        return;
    m_reading = true;
    // A command may run an event loop in which the client goes and its session is deleted.
    const QPointer<ScpiSession> alive(this);
    readLines();
    // cppcheck-suppress knownConditionTrueFalse ; a command may delete the session
    if (!alive)
        return;
    m_reading = false;
    endIfDrained();
    if (!m_ended && !outputFull() && m_socket->bytesAvailable() > 0 && !m_continuing) {
        m_continuing = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_continuing = false;
                readInput();
            },
            Qt::QueuedConnection);
    }
}

void ScpiSession::readLines()
{
    const QPointer<ScpiSession> alive(this);
    int lines = 0;
    // cppcheck-suppress knownConditionTrueFalse ; a command may delete the session
    while (alive && !m_ended && !m_held && !outputFull() && lines < kLinesPerTurn
        && m_socket->bytesAvailable() > 0) {
        char chunk[4096];
        // Up to a newline at most, so that a full output stops the reading between lines.
        const qint64 n = m_socket->readLine(chunk, sizeof chunk);
        if (n <= 0)
            break;
        const QByteArray bytes(chunk, int(n));
        m_idle.restart();
        const bool complete = bytes.endsWith('\n');
        if (m_dropping) {
            m_dropping = !complete;
            continue;
        }
        m_line += bytes;
        if (complete) {
            ++lines;
            m_line.chop(1);
            if (m_line.endsWith('\r'))
                m_line.chop(1);
            if (m_line.size() > kMaxLine)
                m_errors.push(-223, QStringLiteral("Too much data"));
            else
                takeLine(m_line);
            m_line.clear();
        } else if (m_line.size() > kMaxLine + 1) {
            // One byte of slack for a '\r' before the newline.
            m_errors.push(-223, QStringLiteral("Too much data"));
            m_line.clear();
            m_dropping = true;
        }
    }
}

bool ScpiSession::isBusy() const
{
    // Unread input is no work under way: a client that sends and never reads must still time out.
    return m_held || m_nextSlot > m_firstSlot || !m_units.isEmpty();
}

void ScpiSession::abort()
{
    m_ended = true;
    closeSpare();
    m_socket->abort();
}

void ScpiSession::takeLine(const QByteArray &line)
{
    m_units = m_parser.parse(line);
    runUnits();
}

void ScpiSession::runUnits()
{
    const QPointer<ScpiSession> alive(this);
    while (!m_units.isEmpty() && !m_held) {
        const ScpiUnit unit = m_units.takeFirst();
        if (unit.command < 0)
            m_errors.push(unit.error, unit.errorText);
        else
            m_handler->execute(*this, unit);
        // cppcheck-suppress knownConditionTrueFalse ; the handler may run an event loop
        if (!alive || m_ended)
            return;
    }
}

void ScpiSession::release()
{
    if (!m_held)
        return;
    m_held = false;
    // Released from within the command itself: the loop that handed it over goes on.
    if (m_reading)
        return;
    // Later, from the event loop: the outcome that releases the client may arrive deep in another
    // object's signal.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_reading || m_held || m_ended)
                return;
            m_reading = true;
            const QPointer<ScpiSession> alive(this);
            runUnits();
            // cppcheck-suppress knownConditionTrueFalse ; a command may delete the session
            if (!alive)
                return;
            m_reading = false;
            readInput();
        },
        Qt::QueuedConnection);
}

void ScpiSession::answer(quint64 slot, const QByteArray &text)
{
    if (m_ended || slot < m_firstSlot || m_ready.contains(slot))
        return;
    m_ready.insert(slot, text);
    m_readyBytes += text.size() + 1;
    QByteArray out;
    while (!m_ready.isEmpty() && m_ready.firstKey() == m_firstSlot) {
        const QByteArray next = m_ready.take(m_firstSlot++);
        m_readyBytes -= next.size() + 1;
        out += next;
        out += '\n';
    }
    if (!out.isEmpty())
        write(out);
    if (m_draining)
        readInput();
}
