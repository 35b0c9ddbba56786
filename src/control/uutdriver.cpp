#include "uutdriver.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

constexpr int kMaxTextLength = 256;
constexpr int kMaxBytes = 256;
constexpr int kMaxTerminator = 4;
constexpr int kMaxListLength = 32;
constexpr double kMaxScale = 1e9;
constexpr double kMinScale = 1e-9;
constexpr double kMaxOffset = 1e6;
// A file larger than this is no driver; refused before parsing.
constexpr qint64 kMaxFileBytes = 256 * 1024;

// Walks the JSON with the path of the value at hand, keeping the first fault found.
class Reader
{
public:
    QString error;

    bool fail(const QString &path, const QString &what)
    {
        if (error.isEmpty())
            error = path + QStringLiteral(": ") + what;
        return false;
    }

    bool keys(const QJsonObject &object, const QString &path, const QStringList &allowed)
    {
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (!allowed.contains(it.key()))
                return fail(join(path, it.key()), QStringLiteral("unknown key"));
        }
        return true;
    }

    static QString join(const QString &path, const QString &key)
    {
        return path.isEmpty() ? key : path + QLatin1Char('.') + key;
    }

    bool object(const QJsonValue &value, const QString &path, QJsonObject *out)
    {
        if (!value.isObject())
            return fail(path, QStringLiteral("must be an object"));
        *out = value.toObject();
        return true;
    }

    bool integer(const QJsonObject &o, const QString &path, const QString &key, int low, int high, int *out)
    {
        if (!o.contains(key))
            return true;
        const QJsonValue v = o.value(key);
        const double d = v.toDouble();
        if (!v.isDouble() || d != std::floor(d) || d < low || d > high)
            return fail(
                join(path, key), QStringLiteral("must be a whole number from %1 to %2").arg(low).arg(high));
        *out = int(d);
        return true;
    }

    bool number(
        const QJsonObject &o, const QString &path, const QString &key, double low, double high, double *out)
    {
        if (!o.contains(key))
            return true;
        const QJsonValue v = o.value(key);
        const double d = v.toDouble();
        if (!v.isDouble() || !std::isfinite(d) || d < low || d > high)
            return fail(join(path, key), QStringLiteral("must be a number from %1 to %2").arg(low).arg(high));
        *out = d;
        return true;
    }

    bool scale(const QJsonObject &o, const QString &path, const QString &key, double *out)
    {
        if (!number(o, path, key, -kMaxScale, kMaxScale, out))
            return false;
        if (std::fabs(*out) < kMinScale)
            return fail(join(path, key), QStringLiteral("must not be zero"));
        return true;
    }

    bool boolean(const QJsonObject &o, const QString &path, const QString &key, bool *out)
    {
        if (!o.contains(key))
            return true;
        if (!o.value(key).isBool())
            return fail(join(path, key), QStringLiteral("must be true or false"));
        *out = o.value(key).toBool();
        return true;
    }

    bool string(const QJsonObject &o, const QString &path, const QString &key, int maxLength, QString *out)
    {
        if (!o.contains(key))
            return true;
        const QJsonValue v = o.value(key);
        if (!v.isString())
            return fail(join(path, key), QStringLiteral("must be a string"));
        if (v.toString().size() > maxLength)
            return fail(join(path, key), QStringLiteral("must be at most %1 characters").arg(maxLength));
        *out = v.toString();
        return true;
    }

    // Bytes on the line: only characters up to U+00FF, one byte each.
    bool latin1(const QJsonObject &o, const QString &path, const QString &key, int maxLength, QByteArray *out)
    {
        QString text;
        if (!string(o, path, key, maxLength, &text))
            return false;
        if (std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() > 0xFF; }))
            return fail(join(path, key), QStringLiteral("must hold only characters up to U+00FF"));
        if (o.contains(key))
            *out = text.toLatin1();
        return true;
    }

    bool choice(
        const QJsonObject &o, const QString &path, const QString &key, const QStringList &names, int *out)
    {
        if (!o.contains(key))
            return true;
        const int index = names.indexOf(o.value(key).toString());
        if (!o.value(key).isString() || index < 0)
            return fail(
                join(path, key), QStringLiteral("must be one of: ") + names.join(QStringLiteral(", ")));
        *out = index;
        return true;
    }

    bool hexBytes(const QJsonObject &o, const QString &path, const QString &key, QByteArray *out)
    {
        QString text;
        if (!string(o, path, key, 3 * kMaxBytes, &text))
            return false;
        static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]{2}( ?[0-9A-Fa-f]{2})*$"));
        if (!hex.match(text).hasMatch())
            return fail(join(path, key), QStringLiteral("must be hex bytes, e.g. \"01\" or \"84 00\""));
        *out = QByteArray::fromHex(text.toLatin1());
        return true;
    }

    bool field(const QJsonObject &o, const QString &path, bool written, UutValueField *out)
    {
        if (!keys(o, path, {"at", "width", "endian", "signed", "scale", "offset"}))
            return false;
        out->at = written ? -1 : 0;
        int endian = 0;
        if (!integer(o, path, QStringLiteral("at"), written ? -1 : 0, kMaxBytes - 1, &out->at)
            || !integer(o, path, QStringLiteral("width"), INT_MIN, INT_MAX, &out->width)
            || !choice(o, path, QStringLiteral("endian"), {"big", "little"}, &endian)
            || !boolean(o, path, QStringLiteral("signed"), &out->isSigned)
            || !scale(o, path, QStringLiteral("scale"), &out->scale)
            || !number(o, path, QStringLiteral("offset"), -kMaxOffset, kMaxOffset, &out->offset))
            return false;
        if (out->width != 1 && out->width != 2 && out->width != 4)
            return fail(join(path, QStringLiteral("width")), QStringLiteral("must be 1, 2 or 4"));
        out->bigEndian = endian == 0;
        return true;
    }

    bool decoder(const QJsonValue &value, const QString &path, UutDecoder *out)
    {
        QJsonObject o;
        if (!object(value, path, &o))
            return false;
        int kind = -1;
        if (!o.contains(QStringLiteral("kind")))
            return fail(join(path, QStringLiteral("kind")), QStringLiteral("is missing"));
        if (!choice(o, path, QStringLiteral("kind"), {"regex", "binary"}, &kind))
            return false;
        out->kind = kind == 0 ? UutDecoder::Kind::Regex : UutDecoder::Kind::Binary;
        if (out->kind == UutDecoder::Kind::Regex) {
            if (!keys(o, path, {"kind", "pattern", "scale", "offset"}))
                return false;
            if (!o.contains(QStringLiteral("pattern")))
                return fail(join(path, QStringLiteral("pattern")), QStringLiteral("is missing"));
            if (!string(o, path, QStringLiteral("pattern"), kMaxTextLength, &out->pattern)
                || !regex(out->pattern, join(path, QStringLiteral("pattern")), 1))
                return false;
            return scale(o, path, QStringLiteral("scale"), &out->field.scale)
                && number(o, path, QStringLiteral("offset"), -kMaxOffset, kMaxOffset, &out->field.offset);
        }
        QJsonObject fieldObject = o;
        fieldObject.remove(QStringLiteral("kind"));
        return field(fieldObject, path, false, &out->field);
    }

    // A valid expression with exactly `groups` capturing groups (-1: any number).
    bool regex(const QString &pattern, const QString &path, int groups)
    {
        const QRegularExpression re(pattern);
        if (!re.isValid())
            return fail(path, QStringLiteral("not a valid regular expression: ") + re.errorString());
        if (groups >= 0 && re.captureCount() != groups)
            return fail(path, QStringLiteral("must have exactly one capturing group, the number"));
        return true;
    }

    // Placeholders: {value}, {value:[0][width][.precision]f|d}, {address}; a literal brace is doubled.
    bool textTemplate(const QString &text, const QString &path)
    {
        static const QRegularExpression placeholder(
            QStringLiteral("\\{(value(:0?[0-9]{0,2}(\\.[0-9])?[fd])?|address)\\}|\\{\\{|\\}\\}"));
        QString rest = text;
        rest.remove(placeholder);
        if (rest.contains(QLatin1Char('{')) || rest.contains(QLatin1Char('}')))
            return fail(path,
                QStringLiteral(
                    "placeholders are {value}, {value:.3f}, {value:05.1f}, {value:04d} or {address}"));
        return true;
    }

    bool command(const QJsonValue &value, const QString &path, bool repliesByDefault, UutCommand *out)
    {
        QJsonObject o;
        if (!object(value, path, &o))
            return false;
        if (!keys(o, path, {"text", "scale", "bytes", "value", "reply", "replyLength", "decoder"}))
            return false;
        const bool text = o.contains(QStringLiteral("text"));
        const bool bytes = o.contains(QStringLiteral("bytes"));
        if (text == bytes)
            return fail(path, QStringLiteral("needs either \"text\" or \"bytes\""));
        out->expectsReply = repliesByDefault;
        if (text) {
            out->kind = UutCommand::Kind::Text;
            QByteArray latin;
            if (!latin1(o, path, QStringLiteral("text"), kMaxTextLength, &latin))
                return false;
            out->text = QString::fromLatin1(latin);
            if (out->text.isEmpty())
                return fail(join(path, QStringLiteral("text")), QStringLiteral("must not be empty"));
            if (!textTemplate(out->text, join(path, QStringLiteral("text"))))
                return false;
            if (o.contains(QStringLiteral("value")))
                return fail(join(path, QStringLiteral("value")), QStringLiteral("only for bytes commands"));
            if (!scale(o, path, QStringLiteral("scale"), &out->textScale))
                return false;
        } else {
            out->kind = UutCommand::Kind::Bytes;
            if (!hexBytes(o, path, QStringLiteral("bytes"), &out->bytes))
                return false;
            if (o.contains(QStringLiteral("scale")))
                return fail(join(path, QStringLiteral("scale")), QStringLiteral("only for text commands"));
            if (o.contains(QStringLiteral("value"))) {
                QJsonObject fieldObject;
                UutValueField f;
                const QString fieldPath = join(path, QStringLiteral("value"));
                if (!object(o.value(QStringLiteral("value")), fieldPath, &fieldObject)
                    || !field(fieldObject, fieldPath, true, &f))
                    return false;
                if (f.at > out->bytes.size())
                    return fail(join(fieldPath, QStringLiteral("at")),
                        QStringLiteral("must be within the command's %1 bytes").arg(out->bytes.size()));
                out->value = f;
            }
        }
        if (!boolean(o, path, QStringLiteral("reply"), &out->expectsReply)
            || !integer(o, path, QStringLiteral("replyLength"), 1, kMaxBytes, &out->replyLength))
            return false;
        if (o.contains(QStringLiteral("decoder"))) {
            UutDecoder d;
            if (!decoder(o.value(QStringLiteral("decoder")), join(path, QStringLiteral("decoder")), &d))
                return false;
            out->decoder = d;
        }
        if (!out->expectsReply && (out->decoder || out->replyLength > 0))
            return fail(join(path, QStringLiteral("reply")),
                QStringLiteral("a command without reply has no decoder"));
        return true;
    }

    bool errorPattern(const QJsonValue &value, const QString &path, UutErrorPattern *out)
    {
        QJsonObject o;
        if (!object(value, path, &o) || !keys(o, path, {"match", "meaning", "action", "delayMs"}))
            return false;
        for (const char *key : {"match", "meaning"}) {
            if (!o.contains(QLatin1String(key)))
                return fail(join(path, QLatin1String(key)), QStringLiteral("is missing"));
        }
        int action = 1;
        if (!string(o, path, QStringLiteral("match"), kMaxTextLength, &out->pattern)
            || !regex(out->pattern, join(path, QStringLiteral("match")), -1)
            || !string(o, path, QStringLiteral("meaning"), 100, &out->meaning)
            || !choice(o, path, QStringLiteral("action"), {"retry", "pause"}, &action)
            || !integer(o, path, QStringLiteral("delayMs"), 0, 60000, &out->retryDelayMs))
            return false;
        if (out->pattern.isEmpty())
            return fail(join(path, QStringLiteral("match")), QStringLiteral("must not be empty"));
        if (out->meaning.trimmed().isEmpty())
            return fail(join(path, QStringLiteral("meaning")), QStringLiteral("must not be empty"));
        out->action = action == 0 ? UutErrorPattern::Action::Retry : UutErrorPattern::Action::Pause;
        if (out->action == UutErrorPattern::Action::Pause && o.contains(QStringLiteral("delayMs")))
            return fail(join(path, QStringLiteral("delayMs")), QStringLiteral("only with action retry"));
        return true;
    }

    bool line(const QJsonValue &value, UutDriver *d)
    {
        const QString path = QStringLiteral("line");
        QJsonObject o;
        if (!object(value, path, &o)
            || !keys(o, path, {"baud", "dataBits", "parity", "stopBits", "flow", "echo"}))
            return false;
        int parity = 0;
        int flow = 0;
        if (!integer(o, path, QStringLiteral("baud"), 50, 4000000, &d->baud)
            || !integer(o, path, QStringLiteral("dataBits"), 7, 8, &d->dataBits)
            || !choice(o, path, QStringLiteral("parity"), {"none", "even", "odd"}, &parity)
            || !integer(o, path, QStringLiteral("stopBits"), 1, 2, &d->stopBits)
            || !choice(o, path, QStringLiteral("flow"), {"none", "rtscts", "xonxoff"}, &flow)
            || !boolean(o, path, QStringLiteral("echo"), &d->echo))
            return false;
        d->parity = UutDriver::Parity(parity);
        d->flow = UutDriver::Flow(flow);
        return true;
    }

    bool framing(const QJsonValue &value, UutDriver *d)
    {
        const QString path = QStringLiteral("framing");
        QJsonObject o;
        if (!object(value, path, &o)
            || !keys(o, path,
                {"writeTerminator", "readTerminator", "replyLength", "interByteTimeoutMs", "waitBetweenMs"}))
            return false;
        if (!latin1(o, path, QStringLiteral("writeTerminator"), kMaxTerminator, &d->writeTerminator)
            || !latin1(o, path, QStringLiteral("readTerminator"), kMaxTerminator, &d->readTerminator)
            || !integer(o, path, QStringLiteral("replyLength"), 1, kMaxBytes, &d->replyLength)
            || !integer(o, path, QStringLiteral("interByteTimeoutMs"), 1, 10000, &d->interByteTimeoutMs)
            || !integer(o, path, QStringLiteral("waitBetweenMs"), 0, 10000, &d->waitBetweenMs))
            return false;
        if (!d->readTerminator.isEmpty() && d->replyLength > 0)
            return fail(join(path, QStringLiteral("replyLength")),
                QStringLiteral("give either it or readTerminator"));
        return true;
    }

    bool checksum(const QJsonValue &value, UutChecksum *c)
    {
        const QString path = QStringLiteral("checksum");
        QJsonObject o;
        if (!object(value, path, &o) || !keys(o, path, {"kind", "format", "from", "to"}))
            return false;
        if (!o.contains(QStringLiteral("kind")))
            return fail(join(path, QStringLiteral("kind")), QStringLiteral("is missing"));
        int kind = 0;
        int format = 0;
        if (!choice(o, path, QStringLiteral("kind"), {"sum8", "xor", "crc16modbus"}, &kind)
            || !choice(o, path, QStringLiteral("format"), {"binary", "hex"}, &format)
            || !integer(o, path, QStringLiteral("from"), 0, kMaxBytes - 1, &c->from)
            || !integer(o, path, QStringLiteral("to"), -(kMaxBytes - 1), 0, &c->to))
            return false;
        c->kind = UutChecksum::Kind(kind + 1);
        c->format = UutChecksum::Format(format);
        return true;
    }

    // Every command that expects a reply must be able to tell where it ends.
    bool framedReplies(const UutDriver &d, const UutCommand &c, const QString &path)
    {
        if (c.expectsReply && d.readTerminator.isEmpty() && d.replyLength == 0 && c.replyLength == 0)
            return fail(join(path, QStringLiteral("replyLength")),
                QStringLiteral("needed without framing.readTerminator or framing.replyLength"));
        return true;
    }

    bool driver(const QJsonObject &o, UutDriver *d)
    {
        if (!keys(o, QString(),
                {"version", "name", "make", "model", "transport", "line", "framing", "address", "init",
                    "commands", "checksum", "errors", "emissivityTolerance", "replyTimeoutMs", "retries",
                    "mode"}))
            return false;
        if (!o.contains(QStringLiteral("version")))
            return fail(QStringLiteral("version"), QStringLiteral("is missing"));
        int version = 0;
        if (!integer(o, QString(), QStringLiteral("version"), 1, 1, &version))
            return false;
        if (!o.contains(QStringLiteral("name")))
            return fail(QStringLiteral("name"), QStringLiteral("is missing"));
        int transport = 0;
        int mode = 0;
        if (!string(o, QString(), QStringLiteral("name"), 200, &d->name)
            || !string(o, QString(), QStringLiteral("make"), 100, &d->make)
            || !string(o, QString(), QStringLiteral("model"), 100, &d->model)
            || !choice(o, QString(), QStringLiteral("transport"), {"serial", "tcp"}, &transport)
            || !latin1(o, QString(), QStringLiteral("address"), 16, &addressBytes)
            || !number(
                o, QString(), QStringLiteral("emissivityTolerance"), 1e-6, 0.1, &d->emissivityTolerance)
            || !integer(o, QString(), QStringLiteral("replyTimeoutMs"), 10, 120000, &d->replyTimeoutMs)
            || !integer(o, QString(), QStringLiteral("retries"), 0, 10, &d->retries)
            || !choice(o, QString(), QStringLiteral("mode"), {"poll", "listen"}, &mode))
            return false;
        if (d->name.trimmed().isEmpty())
            return fail(QStringLiteral("name"), QStringLiteral("must not be empty"));
        d->address = QString::fromLatin1(addressBytes);
        d->transport = UutDriver::Transport(transport);
        d->mode = UutDriver::Mode(mode);
        if (o.contains(QStringLiteral("line")) && !line(o.value(QStringLiteral("line")), d))
            return false;
        if (o.contains(QStringLiteral("framing")) && !framing(o.value(QStringLiteral("framing")), d))
            return false;
        if (o.contains(QStringLiteral("checksum"))
            && !checksum(o.value(QStringLiteral("checksum")), &d->checksum))
            return false;
        if (!commands(o, d))
            return false;
        if (o.contains(QStringLiteral("errors"))) {
            const QJsonValue list = o.value(QStringLiteral("errors"));
            if (!list.isArray() || list.toArray().size() > kMaxListLength)
                return fail(QStringLiteral("errors"),
                    QStringLiteral("must be a list of at most %1").arg(kMaxListLength));
            const QJsonArray array = list.toArray();
            for (int i = 0; i < array.size(); ++i) {
                UutErrorPattern e;
                if (!errorPattern(array.at(i), QStringLiteral("errors[%1]").arg(i), &e))
                    return false;
                d->errors << e;
            }
        }
        return true;
    }

    bool commands(const QJsonObject &top, UutDriver *d)
    {
        if (!top.contains(QStringLiteral("commands")))
            return fail(QStringLiteral("commands"), QStringLiteral("is missing"));
        const QString path = QStringLiteral("commands");
        QJsonObject o;
        if (!object(top.value(path), path, &o)
            || !keys(o, path, {"read", "setEmissivity", "queryEmissivity"}))
            return false;
        if (!o.contains(QStringLiteral("read")))
            return fail(join(path, QStringLiteral("read")), QStringLiteral("is missing"));
        const QString readPath = join(path, QStringLiteral("read"));
        if (!command(o.value(QStringLiteral("read")), readPath, true, &d->read))
            return false;
        if (!d->read.decoder)
            return fail(join(readPath, QStringLiteral("decoder")), QStringLiteral("is missing"));
        if (!d->read.expectsReply)
            return fail(join(readPath, QStringLiteral("reply")), QStringLiteral("a reading needs a reply"));
        if (d->read.takesValue())
            return fail(join(readPath, QStringLiteral("text")), QStringLiteral("takes no value"));
        if (!framedReplies(*d, d->read, readPath))
            return false;
        if (o.contains(QStringLiteral("setEmissivity"))) {
            const QString p = join(path, QStringLiteral("setEmissivity"));
            UutCommand c;
            if (!command(o.value(QStringLiteral("setEmissivity")), p, false, &c) || !framedReplies(*d, c, p))
                return false;
            if (!c.takesValue())
                return fail(p, QStringLiteral("must carry the value ({value...} or a value field)"));
            d->setEmissivity = c;
        }
        if (o.contains(QStringLiteral("queryEmissivity"))) {
            const QString p = join(path, QStringLiteral("queryEmissivity"));
            UutCommand c;
            if (!command(o.value(QStringLiteral("queryEmissivity")), p, true, &c) || !framedReplies(*d, c, p))
                return false;
            if (!c.decoder)
                return fail(join(p, QStringLiteral("decoder")), QStringLiteral("is missing"));
            if (!c.expectsReply)
                return fail(join(p, QStringLiteral("reply")), QStringLiteral("a query needs a reply"));
            d->queryEmissivity = c;
        }
        if (top.contains(QStringLiteral("init"))) {
            const QJsonValue list = top.value(QStringLiteral("init"));
            if (!list.isArray() || list.toArray().size() > kMaxListLength)
                return fail(QStringLiteral("init"),
                    QStringLiteral("must be a list of at most %1").arg(kMaxListLength));
            const QJsonArray array = list.toArray();
            for (int i = 0; i < array.size(); ++i) {
                const QString p = QStringLiteral("init[%1]").arg(i);
                UutCommand c;
                if (!command(array.at(i), p, false, &c) || !framedReplies(*d, c, p))
                    return false;
                if (c.takesValue())
                    return fail(p, QStringLiteral("takes no value"));
                d->init << c;
            }
        }
        return true;
    }

private:
    QByteArray addressBytes;
};

} // namespace

int UutChecksum::size() const
{
    const int bytes = kind == Kind::None ? 0 : kind == Kind::Crc16Modbus ? 2 : 1;
    return format == Format::Hex ? 2 * bytes : bytes;
}

bool UutCommand::takesValue() const
{
    return kind == Kind::Bytes ? value.has_value() : text.contains(QLatin1String("{value"));
}

bool UutDriver::canSetEmissivity() const
{
    return setEmissivity.has_value();
}

bool UutDriver::canQueryEmissivity() const
{
    return queryEmissivity.has_value();
}

bool UutDriver::binary() const
{
    return read.kind == UutCommand::Kind::Bytes;
}

UutDriverRead readUutDriver(const QByteArray &json)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return {std::nullopt,
            QStringLiteral("not JSON: %1 at byte %2").arg(parseError.errorString()).arg(parseError.offset)};
    if (!document.isObject())
        return {std::nullopt, QStringLiteral("not JSON: the file must hold one object")};
    Reader reader;
    UutDriver driver;
    if (!reader.driver(document.object(), &driver))
        return {std::nullopt, reader.error};
    return {driver, QString()};
}

UutDriverRead loadUutDriver(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt, path + QStringLiteral(": ") + file.errorString()};
    if (file.size() > kMaxFileBytes)
        return {
            std::nullopt, path + QStringLiteral(": larger than %1 KiB, no driver").arg(kMaxFileBytes / 1024)};
    UutDriverRead read = readUutDriver(file.read(kMaxFileBytes + 1));
    if (!read.driver)
        read.error = path + QStringLiteral(": ") + read.error;
    return read;
}
