// libFuzzer target for what the blackbody controller sends back. Each exchange's bytes arrive in reads
// split where the fuzzer chooses, are gathered as the port worker gathers them and, once complete, are
// handled as the main window handles them: the poll reading through BlackbodyPoll, the set-point answer
// and read-back through SetPointConfirmation. A reply may only be taken with a valid check, and what
// reaches the display must be a finite temperature within the wire range.
//
// Input: the controller's bytes from the front; from the back, the model, and per exchange its kind, the
// set point sent, how many reads the deadline allows, each read's length and the time until the next.

#include "control/blackbodymodel.h"
#include "control/blackbodypoll.h"
#include "control/blackbodyprotocol.h"
#include "control/setpointconfirmation.h"
#include "serial/framing.h"
#include "serial/replycollector.h"

#include <cmath>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <limits>
#include <string>
#include <utility>

namespace {

enum Kind { Poll, SetPoint, CrcCommand, Probe, KindCount };

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

// The main window's handling of a poll answer (code 'R').
void handlePoll(const QByteArray &reply, bool ok, qint64 now, int wireScale, BlackbodyPoll &poll,
    SetPointConfirmation &confirmation)
{
    const auto reading = poll.readReply(reply, ok, now);
    if (!reading)
        return;
    check(ok && Framing::isChecksumReply(reply));
    const auto decoded = BlackbodyProtocol::decodePollReply(reply, wireScale);
    check(decoded.has_value());
    const float limit = float(std::numeric_limits<qint16>::max() + 1) / float(wireScale);
    check(std::isfinite(reading->current) && std::isfinite(reading->set));
    check(std::abs(reading->current) <= limit && std::abs(reading->set) <= limit);
    check(reading->set == decoded->set && reading->setWire == decoded->setWire);
    if (reading->accepted)
        check(reading->current == decoded->current);
    check(poll.readingValid());
    confirmation.readBack(reading->setWire, now);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider fdp(data, size);
    const int wireScale = blackbodyModel(fdp.ConsumeIntegralInRange(0, blackbodyModelCount() - 1)).wireScale;
    BlackbodyPoll poll;
    SetPointConfirmation confirmation;
    qint64 now = 0;
    poll.start(wireScale, now);

    for (int exchange = 0; exchange < kMaxExchanges && fdp.remaining_bytes() > 0; ++exchange) {
        const int kind = fdp.ConsumeIntegralInRange(0, KindCount - 1);
        if (kind == Poll || kind == SetPoint) {
            QByteArray payload = BlackbodyProtocol::pollPayload();
            if (kind == SetPoint) {
                // Past the wire range on purpose: the set point must clamp, not wrap.
                const double celsius = fdp.ConsumeIntegralInRange(-40000, 40000) / double(wireScale);
                const qint16 wire = BlackbodyProtocol::toWireUnits(celsius, wireScale);
                payload = BlackbodyProtocol::setPointPayload(celsius, wireScale);
                check(payload.size() == 6);
                confirmation.sent(wire);
            } else if (!poll.takePollTurn(now)) {
                now += fdp.ConsumeIntegralInRange(0, 255) * 20;
                continue;
            }
            const QByteArray framed = Framing::checksumFrame(payload);
            const ReplyCollector reply = collect(fdp, &Framing::isChecksumReply);
            const bool ok = reply.isComplete();
            check(!ok
                || (reply.bytes().size() == BlackbodyProtocol::kReplyLength
                    && Framing::isChecksumReply(reply.bytes())));
            const uchar code = Framing::checksumRequestCode(framed);
            if (code == BlackbodyProtocol::kReadCode) {
                handlePoll(reply.bytes(), ok, now, wireScale, poll, confirmation);
            } else {
                check(code == BlackbodyProtocol::kSetCode);
                const bool valid = ok && reply.bytes().size() == BlackbodyProtocol::kReplyLength;
                confirmation.setReply(valid, now);
            }
        } else if (kind == CrcCommand) {
            const ReplyCollector reply = collect(fdp, &Framing::isCrcReply);
            check(!reply.isComplete() || (reply.bytes().size() >= 6 && Framing::isCrcReply(reply.bytes())));
        } else {
            const ReplyCollector reply = collect(fdp, &Framing::isXorReply);
            check(!reply.isComplete() || Framing::isXorReply(reply.bytes()));
        }
        now += fdp.ConsumeIntegralInRange(0, 255) * 20;
        poll.expire(now);
        confirmation.expire(now);
    }
    return 0;
}
