#include "OsFaults.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace sumlark::faults {
namespace {

std::string lastError()
{
    return std::strerror(errno);
}

} // namespace

WriteLock::WriteLock(std::string path) : path_(std::move(path))
{
    struct stat info {};
    if (::stat(path_.c_str(), &info) != 0) {
        whyNot_ = path_ + ": " + lastError();
        return;
    }
    originalMode_ = info.st_mode & 07777;
    if (setImmutable(true)) {
        how_ = How::Immutable;
        if (!writable())
            return;
        release();
    }
    if (::chmod(path_.c_str(), originalMode_ & ~0222u) == 0) {
        how_ = How::Permissions;
        if (!writable())
            return;
        release();
    }
    whyNot_ = "neither the immutable attribute (" + whyNot_ +
              ") nor removed write permissions keep this user from changing " + path_;
}

WriteLock::~WriteLock()
{
    release();
}

bool WriteLock::setImmutable(bool on)
{
    const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        whyNot_ = lastError();
        return false;
    }
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    if (!done)
        whyNot_ = lastError();
    ::close(fd);
    return done;
}

// Tries the change the lock should stop: a new entry in a folder, an append
// to a file.
bool WriteLock::writable() const
{
    struct stat info {};
    if (::stat(path_.c_str(), &info) != 0)
        return false;
    if (S_ISDIR(info.st_mode)) {
        const std::string probe = path_ + "/.write-probe";
        const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0)
            return false;
        ::close(fd);
        ::unlink(probe.c_str());
        return true;
    }
    const int fd = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

void WriteLock::release()
{
    if (how_ == How::Immutable)
        setImmutable(false);
    else if (how_ == How::Permissions)
        ::chmod(path_.c_str(), originalMode_);
    how_ = How::None;
}

SmallDisk::SmallDisk(std::string folder, long long bytes) : folder_(std::move(folder))
{
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
    if (::mount("sumlark-small-disk", folder_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV | MS_NOEXEC, options.c_str()) !=
        0) {
        whyNot_ = "mounting a small tmpfs over " + folder_ + " failed (" + lastError() +
                  "); it needs CAP_SYS_ADMIN, as root has outside a locked-down container";
        return;
    }
    mounted_ = true;
}

SmallDisk::~SmallDisk()
{
    if (mounted_)
        ::umount2(folder_.c_str(), MNT_DETACH);
}

long long SmallDisk::freeBytes() const
{
    struct statvfs info {};
    if (::statvfs(folder_.c_str(), &info) != 0)
        return -1;
    return static_cast<long long>(info.f_bavail) * static_cast<long long>(info.f_frsize);
}

FileSizeCap::FileSizeCap(long long bytes)
{
    if (::getrlimit(RLIMIT_FSIZE, &previous_) != 0)
        return;
    // Past the cap the kernel also sends SIGXFSZ, which would end the test;
    // ignored, the write fails with EFBIG instead.
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit capped = previous_;
    capped.rlim_cur = static_cast<rlim_t>(bytes);
    holds_ = ::setrlimit(RLIMIT_FSIZE, &capped) == 0;
}

FileSizeCap::~FileSizeCap()
{
    if (holds_)
        ::setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
}

} // namespace sumlark::faults
