// The folder service on Windows: the system's own replace-on-commit and
// Qt's lock file, without link rules or held signals.

#include "SheetFolder.h"

#include "FileReasons.h"
#include "PathBytes.h"
#include "ShownText.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QSysInfo>

#include <utility>

namespace sumlark {

struct SheetFolder::Private {
    QLockFile lock;
    int pending = 0;
    explicit Private(const QString& lockPath) : lock(lockPath) {}
};

struct StagedFile::Private {
    explicit Private(const QString& path) : file(path) {}
    QSaveFile file;
    std::string reason;
    bool settled = false;
};

namespace {

const char* const kFolderNotWritable = "文件夹不可写，不能在里面建立文件";
// Hidden, and named after the sheets so that a user who sees it knows whose it is.
const QString kLockName = QStringLiteral(".速算答题.lock");

std::string saveReason(const QSaveFile& file)
{
    return file.error() == QFileDevice::ResourceError ? "磁盘空间不足" : "无法写入文件";
}

std::string lockFailure(const QLockFile& lock, const QString& lockPath)
{
    switch (lock.error()) {
    case QLockFile::LockFailedError: {
        // A lock this run may not take over (another user's in a shared
        // folder, or one from another computer) stays until someone removes it.
        qint64 pid = 0;
        QString host, program;
        const bool otherComputer = lock.getLockInfo(&pid, &host, &program) && !host.isEmpty() &&
                                   host != QSysInfo::machineHostName();
        if (otherComputer || pid <= 0)
            return "文件夹里留着一个锁文件（" + shownPath(bytesOfPath(QDir::toNativeSeparators(lockPath))) +
                   "），它是" + (otherComputer ? "另一台电脑" : "一个已经结束的程序") +
                   "留下的，这个程序不能替它删掉。确认没有程序正在生成练习纸后，把它删掉再试";
        return "另一个程序正在这个文件夹里生成练习纸，请等它完成后再试";
    }
    case QLockFile::PermissionError:
        return kFolderNotWritable;
    default:
        return "无法在文件夹里建立锁文件";
    }
}

} // namespace

SheetFolder::SheetFolder(QString path)
    : path_(std::move(path)), d_(std::make_unique<Private>(path_ + QLatin1Char('/') + kLockName))
{
}

std::shared_ptr<SheetFolder> SheetFolder::open(const QString& absolutePath, std::string& reason, int lockWaitMs)
{
    if (!QDir::isAbsolutePath(absolutePath) || !QDir(absolutePath).exists()) {
        reason = "文件夹不存在";
        return nullptr;
    }
    std::shared_ptr<SheetFolder> folder(new SheetFolder(QDir::cleanPath(absolutePath)));
    folder->d_->lock.setStaleLockTime(0);
    if (!folder->d_->lock.tryLock(lockWaitMs)) {
        reason = lockFailure(folder->d_->lock, folder->path_ + QLatin1Char('/') + kLockName);
        return nullptr;
    }
    return folder;
}

std::unique_ptr<StagedFile> SheetFolder::stage(const QString& fileName, std::string& reason)
{
    const QString path = filePath(fileName);
    if (QFileInfo(path).isDir()) {
        reason = kFolderInPlace;
        return nullptr;
    }
    auto d = std::make_unique<StagedFile::Private>(path);
    if (!d->file.open(QIODevice::WriteOnly)) {
        reason = QFileInfo::exists(path) && !QFileInfo(path).isWritable() ? kReadOnlySheet : kFolderNotWritable;
        return nullptr;
    }
    ++d_->pending;
    std::unique_ptr<StagedFile> file(new StagedFile(shared_from_this(), path, std::move(d)));
    file->open(QIODevice::WriteOnly);
    return file;
}

void SheetFolder::holdInterrupts() {}
void SheetFolder::movedInto(int) {}

void SheetFolder::fileSettled()
{
    --d_->pending;
}

qint64 StagedFile::writeData(const char* data, qint64 size)
{
    return d_->file.write(data, size);
}

FileStatus StagedFile::status() const
{
    if (!d_->reason.empty())
        return FileStatus::failure(d_->reason);
    return d_->file.error() == QFileDevice::NoError ? FileStatus::success() : FileStatus::failure(saveReason(d_->file));
}

FileStatus StagedFile::prepare()
{
    // The flush is checked here: commit() would lose its error.
    if (!d_->file.flush() && d_->reason.empty())
        d_->reason = saveReason(d_->file);
    return status();
}

FileStatus StagedFile::commit()
{
    prepare();
    if (d_->reason.empty() && !d_->file.commit())
        d_->reason = saveReason(d_->file);
    const FileStatus result = status();
    settle();
    return result;
}

void StagedFile::settle()
{
    if (std::exchange(d_->settled, true))
        return;
    QIODevice::close();
    folder_->fileSettled();
}

SheetFolder::~SheetFolder() = default;

StagedFile::StagedFile(std::shared_ptr<SheetFolder> folder, QString path, std::unique_ptr<Private> d)
    : folder_(std::move(folder)), path_(std::move(path)), d_(std::move(d))
{
}

StagedFile::~StagedFile()
{
    settle();
}

void StagedFile::fail(std::string reason)
{
    if (d_->reason.empty())
        d_->reason = std::move(reason);
}

} // namespace sumlark
