#pragma once

// What the fault suites and the command line's suite need to make a fault
// for real and to look at the folder afterwards: a program run as on a
// server, files read and written whole, a folder's every entry, a file or
// folder locked against change, a small tmpfs that fills up, an exFAT drive,
// and the rule that a fault this machine will not let be made is skipped, or
// fails where SUMLARK_REQUIRE_FAULTS is set (CI sets it).

#include "SheetText.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QThread>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <string>

namespace sumlark::testing {

#define REQUIRE_FAULT(made, why)                                                                                     \
    if (!(made)) {                                                                                                   \
        if (std::getenv("SUMLARK_REQUIRE_FAULTS"))                                                                   \
            FAIL() << "fault could not be made: " << (why);                                                          \
        GTEST_SKIP() << (why);                                                                                       \
    }

struct Finished {
    int exit = -1;
    bool crashed = false;
    QString out, err;
};

// Started as on a server: no display, and no platform chosen for Qt unless
// platform names one; inChild runs in the child before the program.
inline void startProgram(QProcess& process, const QString& program, const QStringList& arguments,
                         const QString& folder = {}, std::function<void()> inChild = {}, const QString& platform = {})
{
    auto environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    if (!platform.isEmpty())
        environment.insert("QT_QPA_PLATFORM", platform);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder);
    if (inChild)
        process.setChildProcessModifier(inChild);
    process.start(program, arguments);
}

inline Finished finish(QProcess& process)
{
    const bool ran = process.waitForFinished(60'000);
    if (!ran && process.error() != QProcess::FailedToStart) // a missing tool is no failure of the run
        ADD_FAILURE() << process.program().toStdString() << " did not finish: " << process.errorString().toStdString();
    return {ran ? process.exitCode() : -1, process.exitStatus() != QProcess::NormalExit,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

inline Finished runProgram(const QString& program, const QStringList& arguments, const QString& folder = {},
                           std::function<void()> inChild = {}, const QString& platform = {})
{
    QProcess process;
    startProgram(process, program, arguments, folder, std::move(inChild), platform);
    return finish(process);
}

inline Finished cli(const QStringList& arguments, const QString& folder, std::function<void()> inChild = {},
                    const QString& platform = {})
{
    return runProgram(QString::fromUtf8(SUMLARK_CLI_PATH), arguments, folder, std::move(inChild), platform);
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
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
}

// Undoes a fault; empty when the fault could not be made by this user here.
using Undo = std::function<void()>;

inline Undo made(bool done)
{
    return done ? Undo([] {}) : Undo();
}

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

// What is in a folder, file by file.
inline std::map<QString, QByteArray> contents(const QString& folder)
{
    std::map<QString, QByteArray> files;
    for (const auto& name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        files[name] = readBytes(folder + "/" + name);
    return files;
}

// The question sheet and the answer sheet in the folder come from one run.
inline bool onePair(const QString& folder, const QString& question, const QString& answer)
{
    const auto questions = allCells(readBytes(folder + "/" + question).toStdString());
    const auto answers = allCells(readBytes(folder + "/" + answer).toStdString());
    bool same = !questions.empty() && questions.size() == answers.size();
    for (std::size_t i = 0; same && i < questions.size(); ++i)
        same = answers[i].text.starts_with(questions[i].text);
    return same;
}

// A tmpfs of a few pages mounted on an existing folder, gone when undone.
inline Undo mountSmallDisk(const QString& folder, qint64 bytes)
{
    const QByteArray path = QFile::encodeName(folder);
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
    if (::mount("tmpfs", path.constData(), "tmpfs", 0, options.c_str()) != 0)
        return {};
    return [path] { ::umount2(path.constData(), MNT_DETACH); };
}

// Fills the disk with a file until only room bytes (whole pages) are free.
inline bool fillLeaving(const QString& folder, qint64 room)
{
    struct statvfs fs {};
    QFile filler(folder + "/filler");
    if (::statvfs(QFile::encodeName(folder).constData(), &fs) != 0 || !filler.open(QIODevice::WriteOnly))
        return false;
    const QByteArray page(4096, 'x');
    for (qint64 left = qint64(fs.f_bavail) * qint64(fs.f_frsize) - room; left > 0; left -= page.size())
        if (filler.write(page.left(int(std::min<qint64>(left, page.size())))) < 0 || !filler.flush())
            return room == 0; // a full disk was asked for
    return true;
}

// A removable drive at scratch/drive: an exFAT image on a loop device,
// mounted through FUSE (this kernel has no exFAT of its own), where Chinese
// names work and unnamed temporary files do not, as on a USB stick.
inline Undo mountExfatDrive(const QString& scratch)
{
    const QString image = scratch + "/drive.img", drive = scratch + "/drive";
    QFile file(image);
    if (!QDir().mkpath(drive) || !file.open(QIODevice::WriteOnly) || !file.resize(64 << 20) ||
        runProgram("mkfs.exfat", {image}).exit != 0)
        return {};
    const QString loop = runProgram("losetup", {"-f", "--show", image}).out.trimmed();
    const Undo detach = [loop] { runProgram("losetup", {"-d", loop}); };
    if (!loop.isEmpty() && runProgram("mount.exfat-fuse", {loop, drive}).exit == 0)
        return [drive, detach] { ::umount(QFile::encodeName(drive).constData()), detach(); };
    if (!loop.isEmpty())
        detach();
    return {};
}

// A program run under strace with every rename held back a moment after it
// is done, so that a real signal can land between two moves of a run.
inline QStringList withSlowMoves(const QString& program, const QStringList& arguments)
{
    return QStringList{"-f", "-qq", "-o", "/dev/null", "-e", "trace=rename,renameat,renameat2", "-e",
                       "inject=rename,renameat,renameat2:delay_exit=300000", program} +
           arguments;
}

// The process strace started for program, once it runs (strace tries
// tracing on children of its own first).
inline pid_t tracee(qint64 strace, const QString& program)
{
    const QString wanted = QFileInfo(program).canonicalFilePath();
    for (int tries = 0; tries < 2000; ++tries, QThread::msleep(5)) {
        const QByteArray children = readBytes(QString("/proc/%1/task/%1/children").arg(strace)).trimmed();
        for (const QByteArray& child : children.split(' '))
            if (QFileInfo("/proc/" + child + "/exe").symLinkTarget() == wanted)
                return pid_t(child.toLong());
    }
    return 0;
}

// Waits until `moves` of the files (name and earlier bytes) hold new bytes.
inline bool waitForMoves(const QString& folder, const std::map<QString, QByteArray>& before, int moves)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 60'000) {
        int moved = 0;
        for (const auto& [name, bytes] : before)
            moved += readBytes(folder + "/" + name) != bytes;
        if (moved >= moves)
            return true;
        QThread::msleep(2);
    }
    return false;
}

} // namespace sumlark::testing
