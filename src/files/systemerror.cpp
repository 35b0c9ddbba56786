#include "systemerror.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstring>

QString systemErrorText(int errorNumber)
{
    switch (errorNumber) {
    case ENOSPC:
        return QCoreApplication::translate("SystemError", "磁盘空间不足");
#ifdef EDQUOT
    case EDQUOT:
        return QCoreApplication::translate("SystemError", "超出磁盘配额");
#endif
    case EACCES:
    case EPERM:
        return QCoreApplication::translate("SystemError", "没有写入权限");
    case EROFS:
        return QCoreApplication::translate("SystemError", "文件系统为只读");
    case ENOENT:
        return QCoreApplication::translate("SystemError", "文件夹不存在");
    case EIO:
        return QCoreApplication::translate("SystemError", "读写错误");
    default:
        break;
    }
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}
