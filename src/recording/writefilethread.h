#pragma once

#include "curvefile.h"
#include "curveinfo.h"
#include "files/saveresult.h"

#include <QSharedPointer>
#include <QString>
#include <QThread>

#include <atomic>

class SampleStore;

// A curve as it was when a save began. The chart replaces its store rather than change it, so a writer
// can read this one while recording goes on elsewhere.
struct CurveSnapshot
{
    CurveFileHeader header;
    QSharedPointer<const SampleStore> store;
};

// Short-lived thread that writes a curve file or a table of it, or reads a curve file, while the GUI
// thread waits in a modal dialog. Create it on the stack of the operation; wait() before destroying it or
// reading what it read.
class WriteFileThread : public QThread
{
    Q_OBJECT

public:
    enum Direction { Read = 0, Write = 1, WriteCsv = 2 };

    // Writes `snapshot` as a curve file (Write) or a table (WriteCsv).
    WriteFileThread(const QString &fileName, Direction direction, const CurveSnapshot &snapshot);
    // Reads at most `maxRows` rows; what the file does not say is taken from `fallback`.
    WriteFileThread(const QString &fileName, int maxRows, const CurveInfo &fallback);

    // Whether the file work succeeded; valid after wait().
    bool succeeded() const { return m_succeeded.load(std::memory_order_acquire); }
    // After a successful Read: the file's header lines, the curve's description, and its samples with
    // their pyramid built here, off the GUI thread.
    const CurveFileContents &contents() const { return m_contents; }
    const CurveInfo &info() const { return m_info; }
    QSharedPointer<SampleStore> store() const { return m_store; }

    // The same work on the calling thread.
    static SaveResult writeCurveFile(
        const QString &fileName, const CurveSnapshot &snapshot, const CurveProgress &progress = {});
    static SaveResult writeCsvFile(
        const QString &fileName, const CurveSnapshot &snapshot, const CurveProgress &progress = {});
    // True for a file that was read to its end and holds a curve.
    static bool readCurveFile(const QString &fileName, int maxRows, CurveFileContents *contents,
        const CurveProgress &progress = {});

signals:
    void progress(int percent);
    // What the operator is told: the file, and for a write the system's reason.
    void failed(const QString &message);
    // Last of all, whether the work succeeded or not.
    void done();

protected:
    void run() override;

private:
    QString m_fileName;
    Direction m_direction = Read;
    CurveSnapshot m_snapshot;
    int m_maxRows = 0;
    CurveFileContents m_contents;
    CurveInfo m_info;
    QSharedPointer<SampleStore> m_store;
    // Stored last of all: QThread::wait() joins inside Qt, where ThreadSanitizer cannot see it, so this
    // is what orders everything run() did before whatever the owner does next.
    std::atomic<bool> m_succeeded {false};
};
