#include "atomicsave.h"

#include "savetarget.h"

#include <QDebug>
#include <QSaveFile>

bool saveAtomically(const QString &fileName, const std::function<bool(QIODevice *)> &write)
{
    const QString target = saveTarget(fileName);
    if (target.isEmpty()) {
        qDebug() << "Cannot open file for writing:" << fileName << "is not a regular file";
        return false;
    }
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly)) {
        qDebug() << "Cannot open file for writing:" << file.errorString();
        return false;
    }
    if (!write(&file) || !file.commit()) {
        qDebug() << "Cannot write file:" << fileName << file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}
