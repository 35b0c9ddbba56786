#include "savetarget.h"

#include <QFileInfo>

namespace {
// As many links as a path lookup follows before the system gives up on a loop.
const int kMaxLinkHops = 40;
} // namespace

QString saveTarget(const QString &path)
{
    QString current = path;
    for (int hops = 0; hops <= kMaxLinkHops; ++hops) {
        const QFileInfo info(current);
        if (info.isSymLink()) {
            current = info.symLinkTarget();
            continue;
        }
        if (!info.exists())
            return hops == 0 ? path : QString();
        return info.isFile() ? current : QString();
    }
    return QString();
}
