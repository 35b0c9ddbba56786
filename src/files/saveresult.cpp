#include "saveresult.h"

#include <QDir>

#include <cerrno>

SaveResult SaveResult::success()
{
    SaveResult result;
    result.m_ok = true;
    return result;
}

SaveResult SaveResult::failure(const QString &reason)
{
    SaveResult result;
    result.m_reason = reason;
    return result;
}

SaveResult SaveResult::systemError(int errorNumber)
{
    switch (errorNumber) {
    case ENOSPC:
        return failure(tr("磁盘空间不足"));
#ifdef EDQUOT
    case EDQUOT:
        return failure(tr("超出磁盘配额"));
#endif
    case EACCES:
    case EPERM:
        return failure(tr("没有写入权限"));
    case EROFS:
        return failure(tr("文件系统为只读"));
    case ENOENT:
        return failure(tr("文件夹不存在"));
    case EIO:
        return failure(tr("读写错误"));
    default:
        // The system's own words, in the system's language, beat a vague one of ours.
        return failure(qt_error_string(errorNumber));
    }
}

SaveResult SaveResult::notRegularFile()
{
    return failure(tr("不是普通文件"));
}

SaveResult SaveResult::writerFailed()
{
    return failure(tr("无法生成文件内容"));
}

QString SaveResult::message(const QString &fileName) const
{
    if (m_ok)
        return QString();
    return tr("无法保存文件 %1：%2").arg(QDir::toNativeSeparators(fileName), m_reason);
}
