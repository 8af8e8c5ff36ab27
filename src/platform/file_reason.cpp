#include "platform/file_reason.h"

#include <cerrno>

namespace room::platform {
namespace {

QString phraseForSystemError(int systemError) {
    switch (systemError) {
        case ENOSPC:
            return QStringLiteral("磁盘空间不足");
#ifdef EDQUOT
        case EDQUOT:
            return QStringLiteral("磁盘配额已用完");
#endif
        case EFBIG:
            return QStringLiteral("文件超过了系统允许的大小");
        case EACCES:
        case EPERM:
            return QStringLiteral("没有权限");
        case EROFS:
            return QStringLiteral("磁盘是只读的");
        case ENOENT:
            return QStringLiteral("文件或文件夹不存在");
        case ENOTDIR:
            return QStringLiteral("路径中有一项不是文件夹");
        case EISDIR:
            return isAFolderReason();
        case EIO:
            return QStringLiteral("磁盘读写出错");
        case ENAMETOOLONG:
            return QStringLiteral("文件名太长");
        case EMFILE:
        case ENFILE:
            return QStringLiteral("打开的文件太多");
        default:
            return {};
    }
}

QString phraseForCategory(QFileDevice::FileError error) {
    switch (error) {
        case QFileDevice::ReadError:
            return QStringLiteral("读取出错");
        case QFileDevice::WriteError:
            return QStringLiteral("写入出错");
        case QFileDevice::ResourceError:
            return QStringLiteral("磁盘空间不足");
        case QFileDevice::OpenError:
            return QStringLiteral("无法打开文件");
        case QFileDevice::PermissionsError:
            return QStringLiteral("没有权限");
        case QFileDevice::RenameError:
        case QFileDevice::CopyError:
            return QStringLiteral("无法替换原文件");
        case QFileDevice::RemoveError:
            return QStringLiteral("无法删除文件");
        default:
            return QStringLiteral("操作失败");
    }
}

}  // namespace

QString fileErrorReason(int systemError, QFileDevice::FileError error, const QString& systemText) {
    QString phrase = phraseForSystemError(systemError);
    if (phrase.isEmpty()) phrase = phraseForCategory(error);
    const QString detail = systemText.trimmed();
    if (detail.isEmpty() || detail == QLatin1String("Unknown error")) return phrase;
    return phrase + QStringLiteral(" (") + detail + QStringLiteral(")");
}

QString notARegularFileReason() {
    return QStringLiteral("不是普通文件");
}

QString isAFolderReason() {
    return QStringLiteral("这是一个文件夹");
}

QString tooLargeReason(qint64 limitBytes) {
    return QStringLiteral("文件太大 (超过 %1 MB)").arg(limitBytes / (1024 * 1024));
}

}  // namespace room::platform
