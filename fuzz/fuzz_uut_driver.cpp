// libFuzzer target for driver files of instruments under test and the replies such an instrument sends.
// The input is a driver file, then optionally "\n----\n" and a script: asks, bytes from the line split
// where the fuzzer chooses, and time passing on the protocol's virtual clock. A driver is read or refused
// with the field named; a driver that reads drives the protocol core, which must answer every ask exactly
// once, never with more attempts than the driver allows, with finite values only, and leave nothing
// pending once its deadlines have run out.

#include "control/uutdriver.h"
#include "control/uutprotocol.h"
#include "jsondepth.h"

#include <QMap>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

namespace {

const int kMaxEvents = 64;
const int kMaxChunk = 32;
const int kMaxLineBytes = 1024;
const QByteArray kSeparator("\n----\n");

void check(bool condition)
{
    if (!condition)
        std::abort();
}

struct Bookkeeping
{
    QMap<int, int> open; // token -> 1 while unanswered
    int maxAttempts = 1;
    int initPending = 0;
};

void takeSteps(const UutProtocol::Steps &steps, const UutDriver &driver, Bookkeeping &book)
{
    for (const UutProtocol::Step &step : steps) {
        if (step.kind == UutProtocol::Step::Kind::Write) {
            check(!step.bytes.isEmpty());
            continue;
        }
        // The init list's answers all carry token 0; every other ask is answered once.
        if (step.purpose == UutProtocol::Purpose::Init)
            check(step.token == 0 && book.initPending-- > 0);
        else
            check(book.open.remove(step.token) == 1);
        const UutReading &r = step.reading;
        check(r.attempts >= 0 && r.attempts <= book.maxAttempts);
        check(r.kind != UutReading::Kind::Lost);
        check(r.pausesRun == (r.kind != UutReading::Kind::Value));
        if (r.kind == UutReading::Kind::Value)
            check(std::isfinite(r.value));
        else
            check(!r.meaning.isEmpty());
        if (driver.binary())
            check(QByteArray::fromHex(r.raw.toLatin1()).toHex(' ') == r.raw.toLatin1());
    }
}

void judgeAlone(const UutDriver &driver, const QByteArray &reply)
{
    for (const UutCommand *command : {&driver.read, driver.setEmissivity ? &*driver.setEmissivity : nullptr,
             driver.queryEmissivity ? &*driver.queryEmissivity : nullptr}) {
        if (!command)
            continue;
        const UutProtocol::Judgement j = UutProtocol::judge(driver, *command, reply);
        check(j.kind != UutReading::Kind::Timeout && j.kind != UutReading::Kind::Lost);
        check(j.kind != UutReading::Kind::Value || std::isfinite(j.value));
        check(j.retryDelayMs >= 0 && j.retryDelayMs <= 60000);
    }
    check(!UutProtocol::rawText(driver, reply).isNull() || reply.isEmpty());
}

} // namespace

// Qt 5.15's JSON parser leaks the array or object a repeated key replaces, as the run-file fuzzer found;
// the whole allocation stack through Qt tells that leak from one of ours.
extern "C" const char *__asan_default_options()
{
    return "fast_unwind_on_malloc=0:malloc_context_size=255";
}

extern "C" const char *__lsan_default_suppressions()
{
    return "leak:QJsonDocument::fromJson\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    const int split = int(input.indexOf(kSeparator));
    const QByteArray json = split < 0 ? input : input.left(split);
    if (jsonNestingDepth(json) > kMaxFuzzedJsonDepth)
        return -1;
    const UutDriverRead read = readUutDriver(json);
    check(read.driver.has_value() != !read.error.isEmpty());
    if (!read.driver)
        return 0;
    const UutDriver &driver = *read.driver;
    check(!driver.name.trimmed().isEmpty() && driver.read.decoder.has_value());
    check(!UutProtocol::requestBytes(driver, driver.read).isEmpty());
    if (split < 0)
        return 0;

    const std::string script = input.mid(split + kSeparator.size()).toStdString();
    FuzzedDataProvider fdp(reinterpret_cast<const uint8_t *>(script.data()), script.size());
    UutProtocol protocol(driver);
    Bookkeeping book;
    book.maxAttempts = driver.retries + 1;
    qint64 now = 0;
    int token = 0;
    int lineBytes = 0;
    for (int event = 0; event < kMaxEvents && fdp.remaining_bytes() > 0; ++event) {
        switch (fdp.ConsumeIntegralInRange(0, 4)) {
        case 0: {
            const auto purpose = UutProtocol::Purpose(fdp.ConsumeIntegralInRange(0, 4));
            const double value = fdp.ConsumeFloatingPoint<double>();
            if (purpose == UutProtocol::Purpose::Init) {
                book.initPending += int(driver.init.size());
                takeSteps(protocol.askInit(now), driver, book);
                break;
            }
            book.open.insert(++token, 1);
            takeSteps(protocol.ask(token, purpose, value, now), driver, book);
            break;
        }
        case 1:
        case 2: {
            const std::string bytes = fdp.ConsumeBytesAsString(fdp.ConsumeIntegralInRange(0, kMaxChunk));
            const QByteArray chunk(bytes.data(), int(bytes.size()));
            if (lineBytes + chunk.size() > kMaxLineBytes)
                break;
            lineBytes += chunk.size();
            judgeAlone(driver, chunk);
            takeSteps(protocol.bytesIn(chunk, now), driver, book);
            break;
        }
        default: {
            // Time passes; every deadline on the way is kept at its own time, as the worker's timer would.
            const qint64 until = now + fdp.ConsumeIntegralInRange(0, 3000);
            while (const std::optional<qint64> due = protocol.nextDeadline()) {
                if (*due > until)
                    break;
                check(*due >= now);
                now = *due;
                takeSteps(protocol.tick(now), driver, book);
            }
            now = until;
            break;
        }
        }
    }
    // With the line silent from here, every deadline runs out and every ask is answered.
    for (int guard = 0; guard < 10000; ++guard) {
        const std::optional<qint64> due = protocol.nextDeadline();
        if (!due)
            break;
        check(*due >= now);
        now = *due;
        takeSteps(protocol.tick(now), driver, book);
    }
    check(protocol.idle());
    check(book.open.isEmpty() && book.initPending == 0);
    return 0;
}
