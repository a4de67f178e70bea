// The folder service on POSIX systems: files written through the folder's
// descriptor, links followed by the rule in SheetFolder.h, signals held while
// the files move, the folder's own lock.

#include "SheetFolder.h"

#include "Descriptor.h"
#include "FileReasons.h"
#include "FolderLock.h"
#include "PathBytes.h"

#include <QDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <optional>
#include <utility>
#include <vector>

namespace sumlark {
namespace {

const char* const kForeignLink = "练习纸的位置是别人建立的链接，出于安全没有写入";

constexpr std::size_t kBufferSize = 64 * 1024;
// Links followed one after another before the sheet counts as unreachable.
constexpr int kLinkDepth = 8;

// A named temporary file beside target: hidden, named after its sheet, this
// program and the run that writes it, so that a user who sees it knows whose
// it is and the next run knows when it was left by a run that is gone.
const std::string kTemporaryMark = ".sumlark-";

std::string temporaryName(const std::string& target, int attempt)
{
    return "." + target + kTemporaryMark + std::to_string(::getpid()) + "-" + std::to_string(attempt) + ".tmp";
}

// The run that wrote a named temporary file of this program's, or 0 for any
// other name: other programs' hidden files are never taken for ours.
pid_t temporaryWriter(const std::string& name)
{
    const auto digits = [&](std::size_t from, std::size_t to) {
        return from < to && to - from <= 10 &&
               std::all_of(name.begin() + long(from), name.begin() + long(to), [](char c) { return c >= '0' && c <= '9'; });
    };
    const std::string suffix = ".tmp";
    if (name.size() < 2 + kTemporaryMark.size() + 4 || name.front() != '.' || !name.ends_with(suffix))
        return 0;
    const std::size_t end = name.size() - suffix.size();
    const std::size_t dash = name.rfind('-', end);
    const std::size_t mark = dash == std::string::npos || dash == 0 ? std::string::npos : name.rfind(kTemporaryMark, dash - 1);
    const std::size_t from = mark == std::string::npos ? mark : mark + kTemporaryMark.size();
    if (mark == std::string::npos || mark < 2 || from > dash || !digits(dash + 1, end) || end - dash > 3 ||
        !digits(from, dash))
        return 0;
    return pid_t(std::stol(name.substr(from, dash - from)));
}

// How long a named temporary file of a live process may stand before it
// counts as left: far longer than any run, short of a reused process id.
constexpr time_t kLeftAfterSeconds = 24 * 60 * 60;

// Named temporary files that a killed run left in the folder: only the
// program's own names, regular files of this user, whose run is gone or
// stood far too long. Called under the folder's lock, so no run of this
// program into the folder is writing; a run writing here through a link
// from another folder is alive and keeps its files.
void removeLeftovers(int folder)
{
    DIR* const listing = ::fdopendir(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!listing)
        return;
    const time_t now = ::time(nullptr);
    while (const dirent* entry = ::readdir(listing)) {
        const pid_t writer = temporaryWriter(entry->d_name);
        struct stat st {};
        if (writer <= 0 || ::fstatat(folder, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
            st.st_uid != ::geteuid())
            continue;
        if (!processRunning(writer) || now - st.st_mtime > kLeftAfterSeconds)
            ::unlinkat(folder, entry->d_name, 0);
    }
    ::closedir(listing);
}

// Where a sheet's file really goes: a folder descriptor and a name in it,
// after following the links the rule allows.
struct Target {
    Descriptor ownFolder; // when a link led out of the run's folder
    int folder = -1;
    std::string name;
    bool exists = false;
    mode_t mode = 0;
};

bool followsLink(int folder, const struct stat& link)
{
    struct stat dir {};
    if (::fstat(folder, &dir) != 0)
        return false;
    // In a folder that others may write to (everyone or a group, sticky or
    // not), a link by someone else may point anywhere the writer can write:
    // only the writer's own and the system's are followed. The folder's
    // owner is no exception: whoever made an open folder could plant the link.
    const bool shared = dir.st_mode & (S_IWOTH | S_IWGRP);
    return !shared || link.st_uid == ::geteuid() || link.st_uid == 0;
}

bool locate(Target& target, std::string& reason)
{
    for (int depth = 0;; ++depth) {
        struct stat st {};
        if (::fstatat(target.folder, target.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT)
                return true;
            reason = reasonFor(errno);
            return false;
        }
        if (S_ISDIR(st.st_mode)) {
            reason = kFolderInPlace;
            return false;
        }
        if (!S_ISLNK(st.st_mode) && !S_ISREG(st.st_mode)) {
            // A device, a pipe or a socket would take the sheet and keep nothing.
            reason = "练习纸的位置上是" + std::string(whatIsAt(st.st_mode)) + "，不是普通文件，没有写入";
            return false;
        }
        if (!S_ISLNK(st.st_mode)) {
            if (::faccessat(target.folder, target.name.c_str(), W_OK, AT_EACCESS) != 0) {
                reason = errno == EROFS ? reasonFor(EROFS) : kReadOnlySheet;
                return false;
            }
            target.exists = true;
            target.mode = st.st_mode & 07777;
            return true;
        }
        if (!followsLink(target.folder, st)) {
            reason = kForeignLink;
            return false;
        }
        if (depth == kLinkDepth) {
            reason = reasonFor(ELOOP);
            return false;
        }
        std::string link(std::size_t(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        ssize_t length = 0;
        // A link that grew since it was looked at fills the buffer: read it again.
        while ((length = ::readlinkat(target.folder, target.name.c_str(), link.data(), link.size())) >= 0 &&
               std::size_t(length) == link.size() && link.size() < 65536)
            link.resize(link.size() * 2);
        if (length < 0) {
            reason = reasonFor(errno);
            return false;
        }
        link.resize(std::size_t(length));
        const auto slash = link.rfind('/');
        target.name = slash == std::string::npos ? link : link.substr(slash + 1);
        if (slash != std::string::npos) {
            const std::string parent = slash == 0 ? "/" : link.substr(0, slash);
            Descriptor next(::openat(target.folder, parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            if (!next.valid()) {
                reason = reasonFor(errno);
                return false;
            }
            target.ownFolder = std::move(next);
            target.folder = target.ownFolder.get();
        }
        if (target.name.empty() || target.name == "." || target.name == "..") {
            reason = kFolderInPlace;
            return false;
        }
    }
}

} // namespace

struct SheetFolder::Private {
    Descriptor folder;
    std::unique_ptr<FolderLock> lock; // released before the folder closes
    int pending = 0;
    std::optional<HeldInterrupts> moving;
    bool ownMoved = false;               // a file moved into the folder, not yet synced
    std::vector<Descriptor> otherMoved;  // folders links led to, likewise
};

struct StagedFile::Private {
    Target target;
    Descriptor file;
    std::string tempName; // a named temporary file where unnamed ones are not supported
    std::string buffer;
    int error = 0;
    std::string reason;
    bool prepared = false;
    bool settled = false;

    void flush()
    {
        std::size_t done = 0;
        while (error == 0 && done < buffer.size()) {
            const ssize_t n = ::write(file.get(), buffer.data() + done, buffer.size() - done);
            if (n < 0) {
                if (errno != EINTR)
                    error = errno;
            } else {
                done += std::size_t(n);
            }
        }
        buffer.clear();
    }

    void dropTemporary()
    {
        if (!tempName.empty()) {
            ::unlinkat(target.folder, tempName.c_str(), 0);
            forgetTemporary(target.folder, tempName);
        }
        tempName.clear();
    }

    // Gives the unnamed file a temporary name beside the target, so that a
    // rename can put it in place in one step.
    bool nameUnnamed()
    {
        const std::string proc = "/proc/self/fd/" + std::to_string(file.get());
        for (int attempt = 0; attempt < 100; ++attempt) {
            // Called while interrupts are held: noted before any can end the run.
            const std::string name = temporaryName(target.name, attempt);
            int done = ::linkat(AT_FDCWD, proc.c_str(), target.folder, name.c_str(), AT_SYMLINK_FOLLOW);
            if (done != 0 && errno == ENOENT)
                done = ::linkat(file.get(), "", target.folder, name.c_str(), AT_EMPTY_PATH);
            if (done == 0) {
                tempName = name;
                noteTemporary(target.folder, name);
                return true;
            }
            if (errno != EEXIST) {
                error = errno;
                return false;
            }
        }
        error = EEXIST;
        return false;
    }

    bool createTemporary()
    {
        file.reset(::openat(target.folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
        if (file.valid())
            return true;
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            error = errno;
            return false;
        }
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string name = temporaryName(target.name, attempt);
            int made = 0;
            {
                // Made and noted with interrupts held, so that an interrupt
                // in between cannot leave it unnoted.
                const HeldInterrupts hold;
                file.reset(::openat(target.folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
                made = file.valid() ? 0 : errno;
                if (made == 0)
                    noteTemporary(target.folder, name);
            }
            if (made == 0) {
                tempName = name;
                return true;
            }
            if (made != EEXIST) {
                error = made;
                return false;
            }
        }
        error = EEXIST;
        return false;
    }
};

SheetFolder::SheetFolder(QString path) : path_(std::move(path)), d_(std::make_unique<Private>()) {}

std::shared_ptr<SheetFolder> SheetFolder::open(const QString& absolutePath, std::string& reason, int lockWaitMs)
{
    if (!QDir::isAbsolutePath(absolutePath)) {
        reason = reasonFor(ENOENT);
        return nullptr;
    }
    std::shared_ptr<SheetFolder> folder(new SheetFolder(QDir::cleanPath(absolutePath)));
    folder->d_->folder.reset(::open(bytesOfPath(folder->path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder->d_->folder.valid()) {
        reason = errno == ENOTDIR ? "这个位置不是文件夹" : reasonFor(errno);
        return nullptr;
    }
    // A file size limit signals the writer and by default ends it; the write
    // failing instead lets the user be told.
    struct sigaction current {};
    if (::sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
        std::signal(SIGXFSZ, SIG_IGN);

    // Runs that end normally remove their lock; one whose process is gone is
    // taken over, but a live one is never, however long it runs.
    folder->d_->lock = FolderLock::take(folder->d_->folder.get(), folder->path_, lockWaitMs, reason);
    if (!folder->d_->lock)
        return nullptr;
    removeLeftovers(folder->d_->folder.get());
    return folder;
}

std::unique_ptr<StagedFile> SheetFolder::stage(const QString& fileName, std::string& reason)
{
    auto d = std::make_unique<StagedFile::Private>();
    d->target.folder = d_->folder.get();
    d->target.name = bytesOfPath(fileName);
    if (!locate(d->target, reason))
        return nullptr;
    if (!d->createTemporary()) {
        reason = reasonFor(d->error);
        return nullptr;
    }
    // The new sheet keeps who may read and write the old one.
    if (d->target.exists)
        ::fchmod(d->file.get(), d->target.mode);
    ++d_->pending;
    std::unique_ptr<StagedFile> file(new StagedFile(shared_from_this(), filePath(fileName), std::move(d)));
    file->open(QIODevice::WriteOnly);
    return file;
}

void SheetFolder::holdInterrupts()
{
    if (!d_->moving)
        d_->moving.emplace();
}

void SheetFolder::movedInto(int folder)
{
    if (folder == d_->folder.get())
        d_->ownMoved = true;
    else
        d_->otherMoved.emplace_back(::dup(folder)); // a folder a link led to, closed with its file
}

void SheetFolder::fileSettled()
{
    if (--d_->pending != 0)
        return;
    // The new names are on the disk too, not only the data: one sync after
    // the last move rather than one after each keeps the time in which a
    // kill (which nothing can hold) finds the pair half moved short.
    if (std::exchange(d_->ownMoved, false))
        ::fsync(d_->folder.get());
    for (const Descriptor& other : d_->otherMoved)
        ::fsync(other.get());
    d_->otherMoved.clear();
    // What was asked for while the files moved happens now.
    d_->moving.reset();
}

qint64 StagedFile::writeData(const char* data, qint64 size)
{
    if (d_->error != 0 || !d_->reason.empty())
        return -1;
    d_->buffer.append(data, std::size_t(size));
    if (d_->buffer.size() >= kBufferSize)
        d_->flush();
    return d_->error == 0 ? size : -1;
}

FileStatus StagedFile::status() const
{
    if (!d_->reason.empty())
        return FileStatus::failure(d_->reason);
    return d_->error == 0 ? FileStatus::success() : FileStatus::failure(reasonFor(d_->error));
}

FileStatus StagedFile::prepare()
{
    if (d_->prepared || d_->settled)
        return status();
    d_->prepared = true;
    d_->flush();
    // The data may still sit in the system's cache; a disk that cannot take
    // it says so here, before anything is replaced.
    if (d_->error == 0 && d_->reason.empty() && ::fsync(d_->file.get()) != 0 && errno != EINVAL)
        d_->error = errno;
    return status();
}

FileStatus StagedFile::commit()
{
    if (d_->settled)
        return FileStatus::failure("文件已经写完了");
    prepare();
    folder_->holdInterrupts();
    if (d_->error == 0 && d_->reason.empty() && d_->tempName.empty())
        d_->nameUnnamed();
    if (d_->error == 0 && d_->reason.empty()) {
        if (::renameat(d_->target.folder, d_->tempName.c_str(), d_->target.folder, d_->target.name.c_str()) == 0) {
            forgetTemporary(d_->target.folder, d_->tempName);
            d_->tempName.clear();
            folder_->movedInto(d_->target.folder);
        } else {
            d_->error = errno;
            if (errno == EACCES || errno == EPERM)
                d_->reason = "无法替换原来的文件：文件是只读的或受保护的";
        }
    }
    const FileStatus result = status();
    settle();
    return result;
}

void StagedFile::settle()
{
    if (std::exchange(d_->settled, true))
        return;
    d_->dropTemporary();
    d_->file.reset();
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
