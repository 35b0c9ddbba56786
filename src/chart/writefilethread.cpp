#include "writefilethread.h"

#include "ttwidget.h"

#include <QDir>

namespace {
// Keeps the wait dialog on screen long enough to be seen even for small files.
const unsigned long kLingerMs = 250;
} // namespace

WriteFileThread::WriteFileThread(ttwidget *owner, const QString &fileName, int direction)
    : fileName(fileName)
    , owner(owner)
    , direction(direction)
{ }

void WriteFileThread::run()
{
    bool ok = false;
    if (direction == Write || direction == WriteCsv) {
        ok = direction == Write ? owner->writeCurveFile(fileName) : owner->writeCsvFile(fileName);
        if (!ok)
            emit owner->occurerror(tr("无法保存文件!"));
    } else if (direction == Read) {
        ok = owner->readCurveFile(fileName);
        if (!ok)
            emit owner->occurerror(
                tr("无法识别的文件格式!") + QLatin1Char('\n') + QDir::toNativeSeparators(fileName));
    }
    msleep(kLingerMs);
    emit owner->writefinish();
    m_succeeded.store(ok, std::memory_order_release);
}
