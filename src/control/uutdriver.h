#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

#include <optional>

// A number carried in bytes: `width` bytes at `at`, big- or little-endian, signed or not. The value is
// raw * scale + offset when read, and (value - offset) / scale, rounded, when written.
struct UutValueField
{
    int at = -1; // byte position; -1: after the command's bytes (written) or 0 (read)
    int width = 2; // 1, 2 or 4
    bool bigEndian = true;
    bool isSigned = false;
    double scale = 1;
    double offset = 0;
};

// A check appended to requests and checked at the end of replies, over bytes [from, size + to) of the
// frame without its terminator and without the check itself. CRC-16/Modbus goes low byte first.
struct UutChecksum
{
    enum class Kind { None, Sum8, Xor, Crc16Modbus };
    enum class Format { Binary, Hex }; // raw bytes, or upper-case hex digits
    Kind kind = Kind::None;
    Format format = Format::Binary;
    int from = 0;
    int to = 0; // 0 or negative: counted back from the end
    // Bytes the check takes in the frame.
    int size() const;
};

// How a reply turns into a number: a regular expression matched against the whole reply text (without its
// terminator) whose one group is the number, or a field of a binary reply. Either way raw * scale + offset.
struct UutDecoder
{
    enum class Kind { Regex, Binary };
    Kind kind = Kind::Regex;
    QString pattern; // Regex
    UutValueField field; // Binary; for Regex only scale and offset count
};

// One command: text (with "{value:.3f}"-style and "{address}" placeholders) or bytes with a value field.
struct UutCommand
{
    enum class Kind { Text, Bytes };
    Kind kind = Kind::Text;
    QString text; // Text: the template, terminator not included
    double textScale = 1; // Text: the value is multiplied by it before formatting
    QByteArray bytes; // Bytes: the fixed bytes
    std::optional<UutValueField> value; // Bytes: where the value goes
    bool expectsReply = true;
    int replyLength = 0; // fixed reply length for this command; 0: the framing's
    std::optional<UutDecoder> decoder; // readings and emissivity read-back
    bool takesValue() const;
};

// A reply that is no reading but a known condition, judged before the decoder: "77770" is "not ready".
// Matched against the whole reply text (hex "ff ff" for binary drivers).
struct UutErrorPattern
{
    enum class Action { Retry, Pause };
    QString pattern;
    QString meaning;
    Action action = Action::Pause;
    int retryDelayMs = 0; // Retry only
};

// One .bbuut file, read. A plain value: copied to the link's worker, compared in tests.
struct UutDriver
{
    QString name; // the instrument's name as the certificate states it ("make model")
    QString make, model;
    enum class Transport { Serial, Tcp } transport = Transport::Serial;

    // Line settings (serial only).
    enum class Parity { None, Even, Odd };
    enum class Flow { None, RtsCts, XonXoff };
    int baud = 9600;
    int dataBits = 8; // 7 or 8
    Parity parity = Parity::None;
    int stopBits = 1; // 1 or 2
    Flow flow = Flow::None;
    bool echo = false; // two-wire RS-485: our own request comes back first and is skipped

    // Framing.
    QByteArray writeTerminator;
    QByteArray readTerminator; // empty: replies have a fixed length
    int replyLength = 0; // without a read terminator
    int interByteTimeoutMs = 100; // a reply that stops this long before it is complete is garbage
    int waitBetweenMs = 0; // the least gap between a reply (or a request without one) and the next request
    QList<UutCommand> init; // sent at connect and after each reconnection
    UutChecksum checksum; // on every request and every reply
    QString address; // replaces "{address}" in text commands; empty when the instrument has none

    // Commands.
    UutCommand read;
    std::optional<UutCommand> setEmissivity;
    std::optional<UutCommand> queryEmissivity;
    double emissivityTolerance = 0.001; // read-back tolerance
    QList<UutErrorPattern> errors; // judged in order, before the decoder

    // Robustness.
    int replyTimeoutMs = 1000; // in listen mode: the longest wait for the next unasked reading
    int retries = 2;
    enum class Mode { Poll, Listen } mode = Mode::Poll;

    bool canSetEmissivity() const; // has a set command
    bool canQueryEmissivity() const; // has a query command
    // Raw replies are shown as hex when the read command is made of bytes.
    bool binary() const;
};

Q_DECLARE_METATYPE(UutDriver)

struct UutDriverRead
{
    std::optional<UutDriver> driver;
    QString error; // names the field: "commands.read.value.width: must be 1, 2 or 4"
};

// Pure: the driver in `json`, or the first fault found. Unknown keys are refused like malformed ones.
UutDriverRead readUutDriver(const QByteArray &json);
// As readUutDriver() on a file's contents; the error names the file too.
UutDriverRead loadUutDriver(const QString &path);
