#include "writefilethread.h"

#include "csvexport.h"
#include "csvimport.h"
#include "files/atomicsave.h"
#include "samplestore.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimeZone>

namespace {
// Keeps the wait dialog on screen long enough to be seen even for small files.
const unsigned long kLingerMs = 250;
} // namespace

WriteFileThread::WriteFileThread(const QString &fileName, Direction direction, const CurveSnapshot &snapshot)
    : m_fileName(fileName)
    , m_direction(direction)
    , m_snapshot(snapshot)
{ }

WriteFileThread::WriteFileThread(const QString &fileName, int maxRows, const CurveInfo &fallback)
    : m_fileName(fileName)
    , m_direction(Read)
    , m_maxRows(maxRows)
    , m_info(fallback)
{ }

void WriteFileThread::run()
{
    const CurveProgress report = [this](int percent) { emit progress(percent); };
    bool ok = false;
    switch (m_direction) {
    case Write:
    case WriteCsv: {
        const SaveResult saved = m_direction == Write ? writeCurveFile(m_fileName, m_snapshot, report)
                                                      : writeCsvFile(m_fileName, m_snapshot, report);
        ok = saved.ok();
        if (!ok)
            emit failed(saved.message(m_fileName));
        break;
    }
    case Read:
        ok = readCurveFile(m_fileName, m_maxRows, &m_contents, report);
        if (ok) {
            m_info = CurveInfo::fromFile(m_contents, m_info);
            m_store = QSharedPointer<SampleStore>::create(m_contents.samples);
            m_contents.samples = QVector<Sample>();
        } else {
            emit failed(tr("无法识别的文件格式!") + QLatin1Char('\n') + QDir::toNativeSeparators(m_fileName));
        }
        break;
    }
    msleep(kLingerMs);
    emit done();
    m_succeeded.store(ok, std::memory_order_release);
}

SaveResult WriteFileThread::writeCurveFile(
    const QString &fileName, const CurveSnapshot &snapshot, const CurveProgress &progress)
{
    if (!snapshot.store)
        return SaveResult::writerFailed();
    const SampleStore &samples = *snapshot.store;
    return saveAtomically(fileName, [&](QIODevice *file) {
        return writeCurve(
            file, snapshot.header, samples.size(),
            [&samples](qint64 i) -> const Sample & { return samples.at(int(i)); }, progress);
    });
}

SaveResult WriteFileThread::writeCsvFile(
    const QString &fileName, const CurveSnapshot &snapshot, const CurveProgress &progress)
{
    if (!snapshot.store)
        return SaveResult::writerFailed();
    CsvExportHeader header;
    header.startMsecs = snapshot.header.startMsecs;
    header.unit = snapshot.header.unit;
    header.zone = QTimeZone::systemTimeZone();
    const SampleStore &samples = *snapshot.store;
    return saveAtomically(fileName, [&](QIODevice *file) {
        return writeCsv(
            file, header, samples.size(),
            [&samples](qint64 i) -> const Sample & { return samples.at(int(i)); }, progress);
    });
}

bool WriteFileThread::readCurveFile(
    const QString &fileName, int maxRows, CurveFileContents *contents, const CurveProgress &progress)
{
    // A device or pipe may never end, and the wait dialog cannot be dismissed.
    if (!QFileInfo(fileName).isFile()) {
        qDebug() << "Cannot open file" << fileName << "is not a regular file";
        return false;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        qDebug() << "Cannot open file" << file.errorString();
        return false;
    }
    // The program's own tables come back too, at the precision they hold.
    const CurveReadResult read = looksLikeCsvCurve(file.peek(64))
        ? readCsvCurve(&file, contents, progress, maxRows)
        : readCurve(&file, contents, progress, maxRows);
    if (read != CurveReadResult::Ok) {
        qDebug() << "Cannot read file" << fileName
                 << (read == CurveReadResult::TooLarge ? QStringLiteral("too many rows")
                                                       : file.errorString());
        return false;
    }
    if (!contents->isCurve()) {
        qDebug() << "Cannot read file" << fileName << "holds no curve";
        return false;
    }
    return true;
}
