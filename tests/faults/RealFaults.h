#pragma once

// What both fault suites need to make a fault for real and to look at the
// folder afterwards: files read and written whole, a folder's every entry,
// a file or folder locked against change, a small tmpfs that fills up, and
// the rule that a fault this machine will
// not let be made is skipped, or fails where SUMLARK_REQUIRE_FAULTS is set
// (CI sets it).

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

namespace sumlark::testing {

#define REQUIRE_FAULT(made, why)                                                                                     \
    if (!(made)) {                                                                                                   \
        if (std::getenv("SUMLARK_REQUIRE_FAULTS"))                                                                   \
            FAIL() << "fault could not be made: " << (why);                                                          \
        GTEST_SKIP() << (why);                                                                                       \
    }

inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

// Every entry, hidden ones too, sorted: what a run left behind.
inline QStringList everything(const QString& folder)
{
    auto names = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    names.sort();
    return names;
}

// Undoes a fault; empty when the fault could not be made by this user here.
using Undo = std::function<void()>;

inline bool setImmutable(const QString& path, bool on)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    int flags = 0;
    const bool done =
        fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
        ::ioctl(fd, FS_IOC_SETFLAGS, &(flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL)) == 0;
    if (fd >= 0)
        ::close(fd);
    return done;
}

// Keeps a file or folder from being changed: the immutable attribute where
// the file system and the privileges allow it, else the write permissions,
// which do not bind the superuser.
inline Undo lock(const QString& path)
{
    if (setImmutable(path, true))
        return [path] { setImmutable(path, false); };
    const auto permissions = QFile::permissions(path);
    const auto readOnly = permissions & ~(QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup | QFile::WriteOther);
    if (::geteuid() == 0 || !QFile::setPermissions(path, readOnly))
        return {};
    return [path, permissions] { QFile::setPermissions(path, permissions); };
}

inline qint64 pages(qint64 bytes)
{
    return (bytes + 4095) / 4096 * 4096;
}

// A tmpfs of a few pages mounted on an existing folder, gone with the object.
class SmallDisk {
public:
    SmallDisk(const QString& mountPoint, qint64 bytes) : path_(mountPoint)
    {
        const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
        if (::mount("tmpfs", QFile::encodeName(path_).constData(), "tmpfs", 0, options.c_str()) == 0)
            mounted_ = true;
        else
            why_ = std::string("mounting a tmpfs was refused: ") + std::strerror(errno);
    }
    ~SmallDisk()
    {
        if (mounted_)
            ::umount2(QFile::encodeName(path_).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& why() const { return why_; }
    const QString& path() const { return path_; }

    // Fills the disk with a file until only room bytes (whole pages) are free.
    bool fillLeaving(qint64 room) const
    {
        struct statvfs fs {};
        if (::statvfs(QFile::encodeName(path_).constData(), &fs) != 0)
            return false;
        QFile filler(path_ + "/filler");
        if (!filler.open(QIODevice::WriteOnly))
            return false;
        const QByteArray page(4096, 'x');
        for (qint64 left = qint64(fs.f_bavail) * qint64(fs.f_frsize) - room; left > 0; left -= page.size())
            if (filler.write(page.left(int(std::min<qint64>(left, page.size())))) < 0 || !filler.flush())
                return room == 0; // a full disk was asked for
        return true;
    }

private:
    QString path_;
    bool mounted_ = false;
    std::string why_;
};

} // namespace sumlark::testing
