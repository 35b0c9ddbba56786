#include "calibrationjournal.h"

#include "control/calibrationreport.h"
#include "files/fdwritedevice.h"
#include "files/journalfiles.h"
#include "files/saveresult.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

QString systemErrorText(int errorNumber)
{
    return SaveResult::systemError(errorNumber).reason();
}

using Outcome = CalibrationStepResult::Outcome;

const QString kSuffix = QStringLiteral(".journal");
constexpr int kFormat = 1;

QString isoText(const QDateTime &at)
{
    return at.toString(Qt::ISODateWithMs);
}

QByteArray lineOf(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

} // namespace

QJsonObject CalibrationJournal::resultObject(const CalibrationStepResult &result)
{
    const DwellStatistics::State dwell = result.dwell.state();
    QJsonObject object {
        {QStringLiteral("step"), result.step},
        {QStringLiteral("outcome"), QString::fromLatin1(CalibrationReport::outcomeWord(result.outcome))},
        {QStringLiteral("setPoint"), result.setPoint},
        {QStringLiteral("stable"), result.stable},
        {QStringLiteral("stableAtMs"), double(result.stableAtMs)},
        {QStringLiteral("settleMs"), double(result.settleMs)},
        {QStringLiteral("dwell"),
            QJsonArray {dwell.count, dwell.mean, dwell.squares, dwell.minimum, dwell.maximum,
                dwell.ambientCount, dwell.ambientMean}},
    };
    QJsonArray readings;
    for (double reading : result.readings)
        readings.append(reading);
    object.insert(QStringLiteral("readings"), readings);
    // Each reading's origin, and what came instead of one: the original observations.
    QJsonArray taken;
    for (const TakenReading &t : result.taken) {
        QJsonObject entry {{QStringLiteral("source"), TakenReading::sourceWord(t.source)},
            {QStringLiteral("utc"), t.utc.toUTC().toString(Qt::ISODateWithMs)}};
        if (t.isReading())
            entry.insert(QStringLiteral("value"), t.value);
        else
            entry.insert(QStringLiteral("fault"), t.fault);
        if (!t.raw.isEmpty())
            entry.insert(QStringLiteral("raw"), t.raw);
        taken.append(entry);
    }
    if (!taken.isEmpty())
        object.insert(QStringLiteral("taken"), taken);
    object.insert(QStringLiteral("readingsSkipped"), result.readingsSkipped);
    if (std::isfinite(result.ambientC))
        object.insert(QStringLiteral("ambientC"), result.ambientC);
    return object;
}

std::optional<CalibrationStepResult> CalibrationJournal::resultFrom(const QJsonObject &object, int steps)
{
    CalibrationStepResult result;
    result.step = object.value(QLatin1String("step")).toInt(-1);
    const QString outcome = object.value(QLatin1String("outcome")).toString();
    bool known = false;
    for (const Outcome candidate : {Outcome::Done, Outcome::Skipped, Outcome::Aborted, Outcome::NotReached}) {
        if (outcome == QLatin1String(CalibrationReport::outcomeWord(candidate))) {
            result.outcome = candidate;
            known = true;
        }
    }
    const QJsonArray dwell = object.value(QLatin1String("dwell")).toArray();
    if (!known || result.step < 0 || result.step >= steps || dwell.size() != 7)
        return std::nullopt;
    result.setPoint = object.value(QLatin1String("setPoint")).toDouble(qQNaN());
    result.stable = object.value(QLatin1String("stable")).toBool();
    result.stableAtMs = qint64(object.value(QLatin1String("stableAtMs")).toDouble());
    result.settleMs = qint64(object.value(QLatin1String("settleMs")).toDouble());
    const std::optional<DwellStatistics> statistics = DwellStatistics::fromState({dwell.at(0).toInt(-1),
        dwell.at(1).toDouble(qQNaN()), dwell.at(2).toDouble(qQNaN()), dwell.at(3).toDouble(qQNaN()),
        dwell.at(4).toDouble(qQNaN()), dwell.at(5).toInt(-1), dwell.at(6).toDouble(qQNaN())});
    if (!statistics || !std::isfinite(result.setPoint))
        return std::nullopt;
    result.dwell = *statistics;
    const QJsonArray readings = object.value(QLatin1String("readings")).toArray();
    for (const QJsonValue &reading : readings) {
        if (!reading.isDouble())
            return std::nullopt;
        result.readings.append(reading.toDouble());
    }
    // A journal left by the program before readings came in threes holds one reading.
    const QJsonValue single = object.value(QLatin1String("reading"));
    if (readings.isEmpty() && single.isDouble())
        result.readings.append(single.toDouble());
    for (const QJsonValue &value : object.value(QLatin1String("taken")).toArray()) {
        const QJsonObject entry = value.toObject();
        TakenReading t;
        bool sourceKnown = false;
        t.source
            = TakenReading::sourceFromWord(entry.value(QLatin1String("source")).toString(), &sourceKnown);
        t.utc = QDateTime::fromString(entry.value(QLatin1String("utc")).toString(), Qt::ISODateWithMs);
        t.fault = entry.value(QLatin1String("fault")).toString();
        t.value = entry.value(QLatin1String("value")).toDouble(t.isReading() ? qQNaN() : 0);
        t.raw = entry.value(QLatin1String("raw")).toString();
        if (!sourceKnown || (t.isReading() && !std::isfinite(t.value)))
            return std::nullopt;
        result.taken.append(t);
    }
    result.readingsSkipped = qMax(0, object.value(QLatin1String("readingsSkipped")).toInt());
    result.ambientC = object.value(QLatin1String("ambientC")).toDouble(qQNaN());
    return result;
}

QJsonObject CalibrationJournal::headerObject(const Header &header)
{
    return QJsonObject {
        {QStringLiteral("journal"), kFormat},
        {QStringLiteral("run"), QJsonDocument::fromJson(header.run.toJson()).object()},
        {QStringLiteral("runFile"), header.runFile},
        {QStringLiteral("runModified"), header.runModified},
        {QStringLiteral("model"), header.model},
        {QStringLiteral("port"), header.port},
        {QStringLiteral("wireScale"), header.wireScale},
        {QStringLiteral("started"), isoText(header.started)},
        {QStringLiteral("wallAtZero"), isoText(header.wallAtZero)},
        {QStringLiteral("certificateNumber"), header.certificateNumber},
        {QStringLiteral("instrumentName"), header.instrumentName},
    };
}

bool CalibrationJournal::headerFrom(const QJsonObject &first, Header *header)
{
    CalibrationRunError runError;
    Header parsed;
    parsed.run = CalibrationRun::fromJson(
        QJsonDocument(first.value(QLatin1String("run")).toObject()).toJson(), &runError);
    parsed.runFile = first.value(QLatin1String("runFile")).toString();
    parsed.runModified = first.value(QLatin1String("runModified")).toBool();
    parsed.model = first.value(QLatin1String("model")).toString();
    parsed.port = first.value(QLatin1String("port")).toString();
    parsed.wireScale = first.value(QLatin1String("wireScale")).toInt();
    parsed.started
        = QDateTime::fromString(first.value(QLatin1String("started")).toString(), Qt::ISODateWithMs);
    parsed.wallAtZero
        = QDateTime::fromString(first.value(QLatin1String("wallAtZero")).toString(), Qt::ISODateWithMs);
    parsed.certificateNumber = first.value(QLatin1String("certificateNumber")).toString();
    parsed.instrumentName = first.value(QLatin1String("instrumentName")).toString();
    if (first.value(QLatin1String("journal")).toInt() != kFormat || runError.isError()
        || parsed.wireScale <= 0 || !parsed.started.isValid() || !parsed.wallAtZero.isValid())
        return false;
    *header = parsed;
    return true;
}

bool CalibrationJournal::Header::operator==(const Header &other) const
{
    return run == other.run && runFile == other.runFile && runModified == other.runModified
        && model == other.model && port == other.port && wireScale == other.wireScale
        && started == other.started && wallAtZero == other.wallAtZero
        && certificateNumber == other.certificateNumber && instrumentName == other.instrumentName;
}

CalibrationJournal::~CalibrationJournal()
{
    close();
}

bool CalibrationJournal::create(const QString &folder, const Header &header, QString *error)
{
    close();
    m_path.clear();
    if (!QDir().mkpath(folder)) {
        *error = systemErrorText(errno);
        return false;
    }
    const QString base = QDir(folder).filePath(
        QStringLiteral("run-") + header.started.toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")));
    for (int n = 1; m_fd < 0; ++n) {
        m_path = n == 1 ? base + kSuffix : base + QLatin1Char('-') + QString::number(n) + kSuffix;
        m_fd = ::open(
            QFile::encodeName(m_path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
        if (m_fd < 0 && errno != EEXIST) {
            *error = systemErrorText(errno);
            m_path.clear();
            return false;
        }
    }
    // Only a process can hold it; the lock goes with the process, however it ends.
    ::flock(m_fd, LOCK_EX | LOCK_NB);
    if (writeLine(lineOf(headerObject(header)), error))
        return true;
    const QString unfinished = m_path;
    close();
    QFile::remove(unfinished);
    return false;
}

bool CalibrationJournal::open(const QString &path, QString *error)
{
    close();
    m_path = path;
    m_fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (m_fd < 0) {
        *error = systemErrorText(errno);
        return false;
    }
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        *error = systemErrorText(errno);
        close();
        return false;
    }
    // A line cut short by a crash is ended first, so that what follows reads as lines of its own.
    char last = '\n';
    const int reader = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    const off_t size = reader >= 0 ? ::lseek(reader, 0, SEEK_END) : 0;
    if (size > 0 && ::pread(reader, &last, 1, size - 1) != 1)
        last = '\n';
    if (reader >= 0)
        ::close(reader);
    return last == '\n' || writeLine(QByteArray(1, '\n'), error);
}

bool CalibrationJournal::appendObject(const QJsonObject &line, QString *error)
{
    return writeLine(lineOf(line), error);
}

bool CalibrationJournal::append(const CalibrationStepResult &result, QString *error)
{
    return writeLine(lineOf(QJsonObject {{QStringLiteral("result"), resultObject(result)}}), error);
}

bool CalibrationJournal::appendOutage(const CalibrationOutage &outage, QString *error)
{
    return writeLine(lineOf(QJsonObject {{QStringLiteral("outage"),
                         QJsonArray {double(outage.startMs), double(outage.lengthMs)}}}),
        error);
}

bool CalibrationJournal::end(End end, QString *error)
{
    const QString word = end == End::Aborted ? QStringLiteral("aborted") : QStringLiteral("finished");
    return writeLine(lineOf(QJsonObject {{QStringLiteral("end"), word}}), error);
}

void CalibrationJournal::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool CalibrationJournal::writeLine(const QByteArray &line, QString *error)
{
    if (m_fd < 0) {
        *error = systemErrorText(EBADF);
        return false;
    }
    FdWriteDevice device(m_fd);
    device.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    if (device.write(line) != line.size() || !device.flushBuffer()) {
        *error = systemErrorText(device.systemError());
        return false;
    }
    // The run goes on only once the row is on the disk.
    if (::fsync(m_fd) != 0) {
        *error = systemErrorText(errno);
        return false;
    }
    return true;
}

bool CalibrationJournal::read(const QString &path, Contents *contents, QString *error)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    QByteArrayList lines = file.readAll().split('\n');
    // The last piece has no line end: empty after a whole line, or a line cut short.
    lines.removeLast();
    const QJsonObject first = QJsonDocument::fromJson(lines.value(0)).object();
    Contents read;
    if (!headerFrom(first, &read.header)) {
        *error = QCoreApplication::translate("CalibrationJournal", "不是可读的校准记录");
        return false;
    }
    bool rowsEnded = false;
    for (int i = 1; i < lines.size(); ++i) {
        const QJsonObject line = QJsonDocument::fromJson(lines.at(i)).object();
        // The report's lines come after the rows, whether or not the run's end was journaled.
        if (line.contains(QLatin1String("issued"))) {
            read.issue = line;
            rowsEnded = true;
            continue;
        }
        if (line.contains(QLatin1String("staging"))) {
            read.staging.append(line.value(QLatin1String("staging")).toObject());
            continue;
        }
        if (line.contains(QLatin1String("commit"))) {
            read.commits.append(line.value(QLatin1String("commit")).toObject());
            continue;
        }
        if (rowsEnded)
            continue;
        const QString ending = line.value(QLatin1String("end")).toString();
        if (ending == QLatin1String("finished") || ending == QLatin1String("aborted")) {
            read.end = ending == QLatin1String("aborted") ? End::Aborted : End::Finished;
            rowsEnded = true;
            continue;
        }
        const QJsonArray outage = line.value(QLatin1String("outage")).toArray();
        if (outage.size() == 2 && outage.at(0).isDouble() && outage.at(1).isDouble()) {
            read.outages.append({qint64(outage.at(0).toDouble()), qint64(outage.at(1).toDouble())});
            continue;
        }
        const std::optional<CalibrationStepResult> result
            = resultFrom(line.value(QLatin1String("result")).toObject(), read.header.run.steps.size());
        if (!result) {
            rowsEnded = true;
            continue;
        }
        read.results.append(*result);
    }
    *contents = read;
    return true;
}

QStringList CalibrationJournal::list(const QString &folder)
{
    return journalFiles(folder, kSuffix);
}

bool CalibrationJournal::inUse(const QString &path)
{
    return journalInUse(path);
}

QVector<CalibrationStepResult> CalibrationJournal::reportRows(const Contents &contents)
{
    QVector<CalibrationStepResult> rows = contents.results;
    const int next = rows.isEmpty() ? 0 : rows.constLast().step + 1;
    // As the run would have sent them.
    const CalibrationSequencer run(contents.header.run.steps, contents.header.wireScale);
    for (int i = next; i < contents.header.run.steps.size(); ++i) {
        CalibrationStepResult row;
        row.step = i;
        row.outcome = Outcome::NotReached;
        row.setPoint = run.sentSetPoint(i);
        rows.append(row);
    }
    return rows;
}

QString CalibrationJournal::curvePath(const QString &journalPath)
{
    return journalPath.left(journalPath.size() - kSuffix.size()) + QStringLiteral(".txt");
}

QString CalibrationJournal::curveCsvPath(const QString &journalPath)
{
    return journalPath.left(journalPath.size() - kSuffix.size()) + QStringLiteral("-curve.csv");
}

QString CalibrationJournal::chartPath(const QString &journalPath)
{
    return journalPath.left(journalPath.size() - kSuffix.size()) + QStringLiteral("-chart.png");
}

bool CalibrationJournal::remove(const QString &journalPath)
{
    QFile::remove(chartPath(journalPath));
    QFile::remove(curvePath(journalPath));
    QFile::remove(curveCsvPath(journalPath));
    return QFile::remove(journalPath);
}
