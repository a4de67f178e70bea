#include "FileReasons.h"

#include <cerrno>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#ifdef __linux__
#include <linux/magic.h>
#include <sys/vfs.h>
#endif

namespace sumlark {
namespace {

// File systems that show the kernel's state as files and take no new ones.
bool holdsNoFiles(int folder)
{
#ifdef __linux__
    struct statfs fs {};
    if (::fstatfs(folder, &fs) != 0)
        return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case SYSFS_MAGIC:
    case PROC_SUPER_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case PSTOREFS_MAGIC:
    case BPF_FS_MAGIC:
        return true;
    default:
        return false;
    }
#else
    (void)folder;
    return false;
#endif
}

} // namespace

std::string reasonFor(int error)
{
    switch (error) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return "磁盘空间不足";
    case EFBIG:
        return "文件超过了允许的大小（文件大小限制或磁盘配额）";
    case EROFS:
        return "磁盘是只读的，不能写入";
    case EIO:
        return "读写磁盘时出错";
    case EACCES:
    case EPERM:
        return "没有权限在这里写入（文件夹不可写）";
    case ENOENT:
        return "文件夹不存在";
    case ENOTDIR:
        return "路径中有一部分不是文件夹，而是一个文件";
    case ELOOP:
        return "链接太多层，找不到练习纸真正的位置";
    case ENAMETOOLONG:
        return "路径太长";
    case EMFILE:
    case ENFILE:
        return "同时打开的文件太多了，请关掉一些程序后再试";
    case EINVAL:
    case EOPNOTSUPP:
        return "这个文件系统不能存放练习纸";
    default:
        return "无法写入文件（错误代码 " + std::to_string(error) + "）";
    }
}

std::string reasonIn(int folder, int error)
{
    if (error != ENOSPC && error != EMFILE && error != ENFILE && holdsNoFiles(folder))
        return "这个文件系统不能存放文件（它只显示系统的状态，比如 /sys 和 /proc）";
    return reasonFor(error);
}

#ifndef _WIN32
const char* whatIsAt(mode_t mode)
{
    if (S_ISLNK(mode))
        return "一个链接";
    if (S_ISFIFO(mode))
        return "一个命名管道";
    if (S_ISDIR(mode))
        return "一个文件夹";
    if (S_ISSOCK(mode))
        return "一个套接字";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "一个设备文件";
    return "一个特殊文件";
}
#endif

} // namespace sumlark
