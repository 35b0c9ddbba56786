#include "recordingjournal.h"

#include "files/journalfiles.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

const char kMagic[8] = {'C', 'U', 'R', 'V', 'E', 'J', 'N', 'L'};
constexpr quint32 kBatchMagic = 0x42504D53; // "SMPB"
constexpr int kFixedHeader = 16; // magic, format, payload length
constexpr quint32 kMaxPayload = 65536;
constexpr int kSampleBytes = 16;
// Far above what one hand-over holds; a larger count is damage, not a batch.
constexpr quint32 kMaxBatch = 1u << 24;
const QString kSuffix = QStringLiteral(".curvejournal");

// FNV-1a: enough to tell a whole batch from a torn or zeroed one, and cheap at 10 M samples.
quint32 checksum(const char *data, qint64 size, quint32 hash = 2166136261u)
{
    for (qint64 i = 0; i < size; ++i) {
        hash ^= quint8(data[i]);
        hash *= 16777619u;
    }
    return hash;
}

void appendU32(QByteArray *out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out->append(bytes, 4);
}

quint32 u32At(const char *at)
{
    return qFromLittleEndian<quint32>(at);
}

QString text(const char *source)
{
    return QCoreApplication::translate("RecordingJournal", source);
}

RecordingJournal::Contents unreadable(const QString &error)
{
    RecordingJournal::Contents contents;
    contents.status = RecordingJournal::Status::Unreadable;
    contents.error = error;
    return contents;
}

} // namespace

QByteArray RecordingJournal::headerBytes(const Header &header)
{
    const QJsonObject object {
        {QStringLiteral("start"), double(header.info.startMsecs)},
        {QStringLiteral("interval"), header.info.intervalMs},
        {QStringLiteral("unit"), header.info.unit},
        {QStringLiteral("emissivity"), double(header.info.emissivity)},
        {QStringLiteral("model"), header.model},
    };
    const QByteArray payload = QJsonDocument(object).toJson(QJsonDocument::Compact);
    QByteArray out(kMagic, sizeof kMagic);
    appendU32(&out, kFormat);
    appendU32(&out, quint32(payload.size()));
    out += payload;
    appendU32(&out, checksum(payload.constData(), payload.size()));
    return out;
}

QByteArray RecordingJournal::batchBytes(const Sample *samples, int count)
{
    QByteArray out;
    out.reserve(12 + count * kSampleBytes);
    appendU32(&out, kBatchMagic);
    appendU32(&out, quint32(count));
    for (int i = 0; i < count; ++i) {
        char bytes[kSampleBytes];
        qToLittleEndian(samples[i].key, bytes);
        qToLittleEndian(samples[i].value, bytes + 8);
        out.append(bytes, kSampleBytes);
    }
    appendU32(&out, checksum(out.constData() + 4, out.size() - 4));
    return out;
}

RecordingJournal::Contents RecordingJournal::read(const QByteArray &bytes)
{
    Contents contents;
    const qint64 size = bytes.size();
    const char *data = bytes.constData();
    // A process killed as it made the journal leaves a prefix of the header: nothing was recorded.
    if (std::memcmp(data, kMagic, size_t(qMin<qint64>(size, sizeof kMagic))) != 0)
        return unreadable(text(QT_TRANSLATE_NOOP("RecordingJournal", "不是曲线记录")));
    if (size < kFixedHeader)
        return contents;
    const quint32 format = u32At(data + 8);
    if (format > kFormat) {
        contents.status = Status::Newer;
        contents.error
            = text(QT_TRANSLATE_NOOP("RecordingJournal", "由较新版本的程序写入（格式 %1）")).arg(format);
        return contents;
    }
    const quint32 length = u32At(data + 12);
    if (format == 0 || length > kMaxPayload)
        return unreadable(text(QT_TRANSLATE_NOOP("RecordingJournal", "曲线记录的开头已损坏")));
    const qint64 headerEnd = kFixedHeader + qint64(length) + 4;
    if (size < headerEnd)
        return contents;
    if (checksum(data + kFixedHeader, length) != u32At(data + kFixedHeader + length))
        return unreadable(text(QT_TRANSLATE_NOOP("RecordingJournal", "曲线记录的开头已损坏")));
    const QJsonObject object
        = QJsonDocument::fromJson(QByteArray::fromRawData(data + kFixedHeader, int(length))).object();
    Header &header = contents.header;
    header.info.startMsecs = qint64(object.value(QLatin1String("start")).toDouble(-1));
    header.info.intervalMs = object.value(QLatin1String("interval")).toInt(-1);
    header.info.unit = object.value(QLatin1String("unit")).toInt(2);
    header.info.emissivity = float(object.value(QLatin1String("emissivity")).toDouble(1));
    header.model = object.value(QLatin1String("model")).toString();
    if (header.info.startMsecs < 0 || header.info.intervalMs <= 0)
        return unreadable(text(QT_TRANSLATE_NOOP("RecordingJournal", "曲线记录的开头已损坏")));

    qint64 at = headerEnd;
    while (size - at >= 12) {
        const quint32 count = u32At(data + at + 4);
        if (u32At(data + at) != kBatchMagic || count == 0 || count > kMaxBatch)
            break;
        const qint64 end = at + 8 + qint64(count) * kSampleBytes + 4;
        if (end > size || checksum(data + at + 4, end - at - 8) != u32At(data + end - 4))
            break;
        for (const char *p = data + at + 8; p < data + end - 4; p += kSampleBytes) {
            const Sample sample {qFromLittleEndian<double>(p), qFromLittleEndian<double>(p + 8)};
            if (std::isfinite(sample.key) && std::isfinite(sample.value))
                contents.samples.append(sample);
        }
        at = end;
    }
    contents.validBytes = at;
    contents.tornTail = at < size;
    contents.status = contents.samples.isEmpty() ? Status::Empty : Status::Ok;
    return contents;
}

RecordingJournal::Contents RecordingJournal::readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return unreadable(file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return unreadable(file.errorString());
    return read(bytes);
}

QString RecordingJournal::fileName(qint64 startMsecs, int attempt)
{
    const QString base = QStringLiteral("recording-")
        + QDateTime::fromMSecsSinceEpoch(startMsecs).toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    return attempt <= 1 ? base + kSuffix : base + QLatin1Char('-') + QString::number(attempt) + kSuffix;
}

QStringList RecordingJournal::list(const QString &folder)
{
    return journalFiles(folder, kSuffix);
}

bool RecordingJournal::inUse(const QString &path)
{
    return journalInUse(path);
}

QVector<RecordingJournal::Found> RecordingJournal::pending(const QString &folder)
{
    QVector<Found> found;
    const QStringList paths = list(folder);
    for (const QString &path : paths) {
        if (inUse(path))
            continue;
        const Contents contents = readFile(path);
        found.append({path, contents.status, contents.error, contents.header.info.startMsecs,
            int(contents.samples.size())});
    }
    return found;
}
