#include "auditline.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>

namespace {

constexpr int kHashLength = 64;
const QByteArray kHashMember = QByteArrayLiteral(",\"hash\":\"");

// A JSON string: '"' and '\' escaped, controls as \b \f \n \r \t or \u00XX, everything else as UTF-8.
void appendString(QByteArray *out, const QString &text)
{
    out->append('"');
    const QByteArray utf8 = text.toUtf8();
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out->append("\\\"");
            break;
        case '\\':
            out->append("\\\\");
            break;
        case '\b':
            out->append("\\b");
            break;
        case '\f':
            out->append("\\f");
            break;
        case '\n':
            out->append("\\n");
            break;
        case '\r':
            out->append("\\r");
            break;
        case '\t':
            out->append("\\t");
            break;
        default:
            if (u < 0x20)
                out->append("\\u00").append(QByteArray::number(u, 16).rightJustified(2, '0'));
            else
                out->append(c);
        }
    }
    out->append('"');
}

void appendValue(QByteArray *out, const QJsonValue &value);

void appendObject(QByteArray *out, const QJsonObject &object)
{
    out->append('{');
    bool first = true;
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (!first)
            out->append(',');
        first = false;
        appendString(out, it.key());
        out->append(':');
        appendValue(out, it.value());
    }
    out->append('}');
}

void appendValue(QByteArray *out, const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::String:
        appendString(out, value.toString());
        break;
    case QJsonValue::Bool:
        out->append(value.toBool() ? "true" : "false");
        break;
    case QJsonValue::Array: {
        out->append('[');
        const QJsonArray array = value.toArray();
        for (int i = 0; i < array.size(); ++i) {
            if (i > 0)
                out->append(',');
            appendValue(out, array.at(i));
        }
        out->append(']');
        break;
    }
    case QJsonValue::Object:
        appendObject(out, value.toObject());
        break;
    default:
        // Numbers are written by whoever knows their digits, as strings; null stands for anything else.
        out->append("null");
    }
}

bool isHex(const QByteArray &text)
{
    const auto hexDigit = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); };
    return text.size() == kHashLength && std::all_of(text.cbegin(), text.cend(), hexDigit);
}

} // namespace

const QByteArray AuditLine::kGenesis(kHashLength, '0');

QByteArray AuditLine::body() const
{
    QByteArray out = QByteArrayLiteral("{\"seq\":") + QByteArray::number(seq);
    out.append(",\"utc\":");
    appendString(&out, utc.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ")));
    out.append(",\"osUser\":");
    appendString(&out, osUser);
    out.append(",\"operator\":");
    appendString(&out, operatorName);
    out.append(",\"act\":");
    appendString(&out, act);
    out.append(",\"details\":");
    appendObject(&out, details);
    out.append(",\"prev\":\"").append(prev).append('"');
    return out + '}';
}

QByteArray AuditLine::hash() const
{
    return QCryptographicHash::hash(prev + body(), QCryptographicHash::Sha256).toHex();
}

QByteArray AuditLine::bytes() const
{
    QByteArray line = body();
    line.chop(1);
    return line + kHashMember + hash() + "\"}\n";
}

AuditLine AuditLine::after(qint64 lastSeq, const QByteArray &head)
{
    AuditLine line;
    line.seq = lastSeq + 1;
    line.prev = head;
    return line;
}

bool AuditCheck::parse(const QByteArray &line, AuditLine *into, QString *reason)
{
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        *reason = QStringLiteral("not a JSON object");
        return false;
    }
    const QJsonObject object = document.object();
    const QJsonValue seq = object.value(QLatin1String("seq"));
    into->seq = seq.isDouble() ? qint64(seq.toDouble()) : -1;
    into->utc = QDateTime::fromString(object.value(QLatin1String("utc")).toString(), Qt::ISODateWithMs);
    into->osUser = object.value(QLatin1String("osUser")).toString();
    into->operatorName = object.value(QLatin1String("operator")).toString();
    into->act = object.value(QLatin1String("act")).toString();
    into->details = object.value(QLatin1String("details")).toObject();
    into->prev = object.value(QLatin1String("prev")).toString().toLatin1();
    // Written again from what it says, it must come out as it reads up to its hash: no member added, moved
    // or respelt. Whether the hash matches is the chain's question, answered in its own words.
    QByteArray written = into->body();
    written.chop(1);
    const int hashAt = line.lastIndexOf(kHashMember);
    if (object.size() != 8 || into->seq < 1 || !into->utc.isValid() || !isHex(into->prev) || hashAt < 0
        || line.left(hashAt) != written) {
        *reason = QStringLiteral("not in the audit line's format");
        return false;
    }
    return true;
}

void AuditCheck::feed(const QByteArray &bytes, int number)
{
    if (!ok)
        return;
    const auto fail = [&](const QString &why) {
        ok = false;
        badLine = number;
        reason = why;
    };
    const int at = bytes.lastIndexOf(kHashMember);
    const QByteArray recorded = at < 0 ? QByteArray() : bytes.mid(at + kHashMember.size(), kHashLength);
    AuditLine line;
    QString why;
    if (at < 0 || !isHex(recorded) || bytes.size() != at + kHashMember.size() + kHashLength + 2)
        return fail(QStringLiteral("no hash"));
    if (!parse(bytes, &line, &why))
        return fail(why);
    if (line.hash() != recorded)
        return fail(QStringLiteral("its hash does not match its content"));
    if (line.prev != head)
        return fail(QStringLiteral("its prev is not the hash of the line before it"));
    if (line.seq != lastSeq + 1)
        return fail(QStringLiteral("its sequence number %1 does not follow %2").arg(line.seq).arg(lastSeq));
    head = recorded;
    lastSeq = line.seq;
    ++lines;
}

AuditCheck AuditCheck::of(const QList<QByteArray> &lines)
{
    AuditCheck check;
    for (int i = 0; i < lines.size() && check.ok; ++i)
        check.feed(lines.at(i), i + 1);
    return check;
}
