// libFuzzer target for what the thermometer sends back. Each exchange's bytes arrive in reads split where
// the fuzzer chooses and are gathered as the port worker gathers them, a command getting a second attempt
// as there; what the worker reports is then judged by the rule the thermometer's link applies. A reply may
// only be taken with a valid check, a reading must be finite and within what the frame can carry, and the
// acknowledgement may only change the wake-up preamble when its length says how.
//
// Input: the thermometer's bytes from the front; from the back, per exchange its kind, how many reads each
// attempt's deadline allows, each read's length and the stray bytes before a second attempt.

#include "control/thermometerprotocol.h"
#include "serial/framing.h"
#include "serial/kelvraframing.h"
#include "serial/replycollector.h"

#include <cmath>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

namespace {

enum Kind { FastRead, WakeUp, Acknowledge, ReadCommand, FiveByteCommand, CrcRead, Probe, KindCount };

const int kMaxExchanges = 64;
const int kMaxReads = 8;
const int kMaxReadLength = 15;
const int kCommandAttempts = 2;
// The frame carries R in two bytes; the reading is (R - 1000) / 10.
const double kLowestReading = -100.0;
const double kHighestReading = (65535 - 1000) / 10.0;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

QByteArray consumeRead(FuzzedDataProvider &fdp)
{
    const std::string bytes = fdp.ConsumeBytesAsString(fdp.ConsumeIntegralInRange(0, kMaxReadLength));
    return QByteArray(bytes.data(), int(bytes.size()));
}

// The reads of one attempt, until its reply is complete or the deadline (the last read) has passed.
ReplyCollector collect(FuzzedDataProvider &fdp, const ReplyCollector::Complete &complete)
{
    ReplyCollector reply(complete);
    QByteArray taken;
    const int reads = fdp.ConsumeIntegralInRange(1, kMaxReads);
    for (int i = 0; i < reads && !reply.isComplete(); ++i) {
        const QByteArray read = consumeRead(fdp);
        taken += read;
        reply.add(read);
    }
    check(reply.bytes() == taken);
    check(!reply.isComplete() || complete(reply.bytes()));
    return reply;
}

struct Report
{
    uchar code;
    QByteArray data;
    bool ok;
};

// A command exchange: a good answer is reported alone, a failed one with everything collected, the stray
// bytes between the attempts included.
Report commandExchange(FuzzedDataProvider &fdp, uchar code)
{
    const ReplyCollector::Complete complete
        = [code](const QByteArray &reply) { return KelvraFraming::isCommandReply(code, reply); };
    QByteArray collected;
    for (int attempt = 0; attempt < kCommandAttempts; ++attempt) {
        if (attempt > 0)
            collected += consumeRead(fdp);
        const ReplyCollector reply = collect(fdp, complete);
        collected += reply.bytes();
        if (reply.isComplete())
            return {code, reply.bytes(), true};
    }
    return {code, collected, false};
}

// What the link makes of what the worker reports; readings are taken from the XOR protocol only.
void handle(const Report &report, bool crcProtocol, bool *extraZero)
{
    const ThermometerProtocol::ReplyEffect effect
        = ThermometerProtocol::replyEffect(report.code, report.data, report.ok, crcProtocol ? 1 : 0);
    check(effect.noReading == (!report.ok && report.code == ThermometerProtocol::kReadCode));
    check(!(effect.reading && effect.noReading));
    if (!report.ok) {
        check(!effect.extraLeadingZero && !effect.reading);
        return;
    }
    check(crcProtocol ? Framing::isCrcReply(report.data) : Framing::isXorReply(report.data));
    if (effect.extraLeadingZero) {
        check(report.code == ThermometerProtocol::kAckCode);
        check(report.data.size() == (*effect.extraLeadingZero ? 3 : 2));
        *extraZero = *effect.extraLeadingZero;
    }
    if (effect.reading) {
        check(report.code == ThermometerProtocol::kReadCode && !crcProtocol && report.data.size() == 3);
        check(std::isfinite(*effect.reading) && *effect.reading >= kLowestReading
            && *effect.reading <= kHighestReading);
    }
}

// The command the worker writes for `payload`: padded with the wake-up zeros, which leave the check byte
// making the whole request XOR to zero.
void checkCommand(const QByteArray &payload, bool extraZero)
{
    const QByteArray request = KelvraFraming::paddedCommand(KelvraFraming::commandFrame(payload), extraZero);
    check(request.size() >= 7 + (extraZero ? 1 : 0));
    check(KelvraFraming::xorOf(request) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider fdp(data, size);
    bool extraZero = false;
    for (int exchange = 0; exchange < kMaxExchanges && fdp.remaining_bytes() > 0; ++exchange) {
        const int kind = fdp.ConsumeIntegralInRange(0, KindCount - 1);
        if (kind == FastRead || kind == Probe) {
            const QByteArray request
                = KelvraFraming::fastReadRequest(ThermometerProtocol::kReadCode, extraZero);
            check(request.size() == 7 + (extraZero ? 1 : 0));
            const ReplyCollector reply = collect(fdp, &Framing::isXorReply);
            // The probe only tells whether anything answered.
            if (kind == FastRead)
                handle(
                    {ThermometerProtocol::kReadCode, reply.bytes(), reply.isComplete()}, false, &extraZero);
        } else if (kind == WakeUp) {
            const QByteArray request = KelvraFraming::commandFrame(QByteArray(5, '\0'));
            check(request == QByteArray(6, '\0'));
            const ReplyCollector reply = collect(fdp, &Framing::isXorReply);
            handle({uchar(request.at(0)), reply.bytes(), reply.isComplete()}, false, &extraZero);
        } else if (kind == CrcRead) {
            const uchar code
                = fdp.ConsumeBool() ? ThermometerProtocol::kAckCode : ThermometerProtocol::kReadCode;
            check(Framing::isCrcReply(KelvraFraming::crcReadFrame(code)));
            const ReplyCollector reply = collect(fdp, &Framing::isCrcReply);
            handle({code, reply.bytes(), reply.isComplete()}, true, &extraZero);
        } else {
            QByteArray payload;
            if (kind == Acknowledge) {
                payload.append(char(ThermometerProtocol::kAckCode));
            } else if (kind == ReadCommand) {
                payload.append(char(ThermometerProtocol::kReadCode));
            } else {
                payload.append(char(fdp.ConsumeBool() ? 0x40 : 0x12));
                payload.append(char(fdp.ConsumeIntegral<uchar>()));
                payload.append(char(fdp.ConsumeIntegral<uchar>()));
            }
            checkCommand(payload, extraZero);
            handle(commandExchange(fdp, uchar(payload.at(0))), false, &extraZero);
        }
    }
    return 0;
}
