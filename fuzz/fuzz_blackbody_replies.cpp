// libFuzzer target for what the blackbody controller sends back. Each exchange's bytes arrive in reads
// split where the fuzzer chooses, are gathered as the port worker gathers them and, once complete, are
// handed to the link's session, which polls, sets, loses and regains the line as the fuzzer chooses. A
// reply may only be taken with a valid check, what is shown as valid must be a finite temperature within
// the wire range from our controller, and only a read-back may confirm a set point.
//
// Input: the controller's bytes from the front; from the back, the model, and per exchange its kind, the
// set point sent, how many reads the deadline allows, each read's length and the time until the next.
// Losses of the line and answers to whether the controller is ours come between exchanges.

#include "control/blackbodymodel.h"
#include "control/blackbodyprotocol.h"
#include "control/blackbodysession.h"
#include "serial/framing.h"
#include "serial/replycollector.h"

#include <cmath>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <limits>
#include <string>
#include <utility>

namespace {

enum Exchange { Poll, SetPoint, CrcCommand, Probe, Answer, Loss, KindCount };

// Enough exchanges to walk the jump filter and the stale timer through their states.
const int kMaxExchanges = 64;
const int kMaxReads = 8;
const int kMaxReadLength = 15;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// The reads of one exchange, until its reply is complete or the deadline (the last read) has passed.
ReplyCollector collect(FuzzedDataProvider &fdp, ReplyCollector::Complete complete)
{
    ReplyCollector reply(std::move(complete));
    QByteArray taken;
    const int reads = fdp.ConsumeIntegralInRange(1, kMaxReads);
    for (int i = 0; i < reads && !reply.isComplete(); ++i) {
        const std::string bytes = fdp.ConsumeBytesAsString(fdp.ConsumeIntegralInRange(0, kMaxReadLength));
        const QByteArray read(bytes.data(), int(bytes.size()));
        taken += read;
        reply.add(read);
    }
    // Nothing is lost or made up on the way, and nothing is taken past completion.
    check(reply.bytes() == taken);
    return reply;
}

using Command = BlackbodySession::Command;
using Kind = Command::Kind;

struct Run
{
    BlackbodySession session;
    int wireScale = 100;
    qint64 now = 0;
    QByteArray reply; // the bytes of the exchange being handled, for the checks
    std::optional<qint16> shownSetWire; // the set point of the latest valid reading
    QVector<QByteArray> sent; // requests the session sent, each answered in turn
    quint64 requests = 0; // set-point requests numbered so far
};

// Carries out the session's commands as the link does, checking what it may show or confirm.
void apply(Run &run, const BlackbodySession::Commands &commands)
{
    for (const Command &c : commands) {
        switch (c.kind) {
        case Kind::Send:
            run.sent << c.payload;
            break;
        case Kind::Reading: {
            // A valid reading needs a valid reply, and comes from our controller only.
            check(Framing::isChecksumReply(run.reply));
            check(run.session.state() == BlackbodySession::State::Open);
            const auto decoded = BlackbodyProtocol::decodePollReply(run.reply, run.wireScale);
            check(decoded.has_value());
            const BlackbodyPoll::Reading &r = c.reading;
            const float limit = float(std::numeric_limits<qint16>::max() + 1) / float(run.wireScale);
            check(std::isfinite(r.current) && std::isfinite(r.set));
            check(std::abs(r.current) <= limit && std::abs(r.set) <= limit);
            check(r.set == decoded->set && r.setWire == decoded->setWire);
            if (r.accepted)
                check(r.current == decoded->current);
            run.shownSetWire = r.setWire;
            break;
        }
        case Kind::UnconfirmedReading:
            check(run.session.identity().state() == ControllerIdentity::State::Unconfirmed);
            break;
        case Kind::NoReading:
            run.shownSetWire.reset();
            check(!run.session.latest(run.now));
            break;
        case Kind::SetPointOutcome:
            // Only what the controller read back confirms a set point.
            if (c.outcome == SetPointOutcome::Confirmed) {
                check(run.shownSetWire.has_value());
                check(*run.shownSetWire == BlackbodyProtocol::toWireUnits(c.request.celsius, run.wireScale));
            }
            break;
        case Kind::ReadBack:
            apply(run, run.session.readBack(c.heldWire, run.now));
            break;
        default:
            break;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider fdp(data, size);
    Run run;
    const int model = fdp.ConsumeIntegralInRange(0, blackbodyModelCount() - 1);
    run.wireScale = blackbodyModel(model).wireScale;
    apply(run, run.session.open(QStringLiteral("/dev/bb"), QSerialPort::Baud9600, model, run.now));
    apply(run, run.session.opened(true, run.now));

    for (int exchange = 0; exchange < kMaxExchanges && fdp.remaining_bytes() > 0; ++exchange) {
        const int kind = fdp.ConsumeIntegralInRange(0, KindCount - 1);
        if (kind == Poll || kind == SetPoint) {
            if (kind == SetPoint) {
                // Past the wire range on purpose: the set point must clamp, not wrap.
                const double celsius = fdp.ConsumeIntegralInRange(-40000, 40000) / double(run.wireScale);
                apply(run,
                    run.session.requestSetPoint(
                        {++run.requests, celsius, Requester::Window, QString()}, run.now));
            } else {
                apply(run, run.session.pollTick(run.now));
            }
            // Each request the session sent is answered in turn, as the worker does.
            while (!run.sent.isEmpty()) {
                const QByteArray payload = run.sent.takeFirst();
                check(payload == BlackbodyProtocol::pollPayload() || payload.size() == 6);
                const QByteArray framed = Framing::checksumFrame(payload);
                const ReplyCollector reply = collect(fdp, &Framing::isChecksumReply);
                const bool ok = reply.isComplete();
                check(!ok
                    || (reply.bytes().size() == BlackbodyProtocol::kReplyLength
                        && Framing::isChecksumReply(reply.bytes())));
                const uchar code = Framing::checksumRequestCode(framed);
                check(code == BlackbodyProtocol::kReadCode || code == BlackbodyProtocol::kSetCode);
                run.reply = reply.bytes();
                apply(run, run.session.reply(code, reply.bytes(), ok, run.now));
            }
        } else if (kind == Answer) {
            apply(run, run.session.identityAnswered(fdp.ConsumeBool(), run.now));
        } else if (kind == Loss) {
            // The line goes and comes back, or a closed link is opened again; what answers then may be
            // another controller.
            if (run.session.portOpen()) {
                apply(run, run.session.portLost(run.now));
                apply(run, run.session.closed(true, run.now));
                apply(run, run.session.reconnectTick(run.now));
            } else {
                apply(
                    run, run.session.open(QStringLiteral("/dev/bb"), QSerialPort::Baud9600, model, run.now));
            }
            apply(run, run.session.opened(true, run.now));
            run.sent.clear();
        } else if (kind == CrcCommand) {
            const ReplyCollector reply = collect(fdp, &Framing::isCrcReply);
            check(!reply.isComplete() || (reply.bytes().size() >= 6 && Framing::isCrcReply(reply.bytes())));
        } else {
            const ReplyCollector reply = collect(fdp, &Framing::isXorReply);
            check(!reply.isComplete() || Framing::isXorReply(reply.bytes()));
        }
        run.now += fdp.ConsumeIntegralInRange(0, 255) * 20;
    }
    return 0;
}
