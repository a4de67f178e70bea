#include "FolderLock.h"

#include "Descriptor.h"
#include "FileReasons.h"
#include "HeldSignals.h"
#include "PathBytes.h"
#include "SheetFolder.h"
#include "ShownText.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSysInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace sumlark {

const char* const FolderLock::kName = ".速算答题.lock";

bool processRunning(pid_t pid)
{
    return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

namespace {

// A lock being made is written a moment after it appears; one that stays
// empty this long was left by a program that ended in between.
constexpr int kEmptyGraceMs = 1000;

const char* const kOtherRun = "另一个程序正在这个文件夹里生成练习纸，请等它完成后再试";

// What stands at the lock's name.
enum class Found {
    Nothing,       // gone since it was seen
    Held,          // by a run that is still going
    OtherComputer, // by a run elsewhere, which this computer cannot see
    LeftBehind,    // by a program that has ended
    Empty,         // being made, or left half made
    Unreadable,    // a lock this user may not read
    NotALock,      // anything else
};

struct Look {
    Found found = Found::Nothing;
    const char* what = nullptr; // what stands there instead of a lock
    std::string host;           // of a lock from another computer
    int error = 0;              // why an unreadable lock could not be read
    Descriptor file;            // a lock left behind, locked against other takers
    dev_t device = 0;
    ino_t inode = 0;
    uid_t owner = 0;
};

std::string hostName()
{
    return QSysInfo::machineHostName().toStdString();
}

// "pid\nprogram\nhost\n", the layout Qt's lock files have too, so that each
// recognises the other's.
std::optional<std::pair<pid_t, std::string>> parse(std::string_view text)
{
    const auto end = text.find('\n');
    const std::string_view digits = text.substr(0, end);
    if (end == std::string_view::npos || digits.empty() || digits.size() > 9 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const pid_t pid = pid_t(std::stol(std::string(digits)));
    const auto programEnd = text.find('\n', end + 1);
    const auto hostEnd = programEnd == std::string_view::npos ? programEnd : text.find('\n', programEnd + 1);
    const std::string_view host =
        programEnd == std::string_view::npos ? std::string_view() : text.substr(programEnd + 1, hostEnd - programEnd - 1);
    if (pid <= 0)
        return std::nullopt;
    return std::pair{pid, std::string(host)};
}

// Looks at the lock's name without following a link, without waiting on a
// pipe or device, and without reading more than a lock can hold.
Look look(int folder)
{
    Look seen;
    struct stat st {};
    if (::fstatat(folder, FolderLock::kName, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        seen.found = errno == ENOENT ? Found::Nothing : Found::Unreadable;
        seen.error = errno;
        return seen;
    }
    seen.found = Found::NotALock;
    if (!S_ISREG(st.st_mode)) {
        seen.what = whatIsAt(st.st_mode);
        return seen;
    }
    Descriptor file(::openat(folder, FolderLock::kName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0) {
        seen.error = errno;
        seen.found = errno == ENOENT ? Found::Nothing : errno == ELOOP ? Found::NotALock : Found::Unreadable;
        seen.what = "一个链接";
        return seen;
    }
    // Replaced since it was looked at: look again.
    if (::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        seen.found = Found::Nothing;
        return seen;
    }
    seen.device = st.st_dev;
    seen.inode = st.st_ino;
    seen.owner = st.st_uid;
    std::string text(std::size_t(FolderLock::kMaxSize) + 1, '\0');
    std::size_t size = 0;
    for (ssize_t n = 0; size < text.size(); size += std::size_t(n)) {
        n = ::read(file.get(), text.data() + size, text.size() - size);
        if (n < 0 && errno == EINTR)
            n = 0;
        else if (n <= 0)
            break;
    }
    text.resize(size);
    // Read, not stat'ed: a file that grows after a look is no lock either.
    seen.what = "一个超过 1 KiB 的文件";
    if (size > std::size_t(FolderLock::kMaxSize))
        return seen;
    // A run holds its lock file locked as long as it lives.
    if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        seen.found = Found::Held;
        return seen;
    }
    if (text.empty()) {
        seen.found = Found::Empty;
        seen.file = std::move(file);
        return seen;
    }
    const auto lock = parse(text);
    seen.what = "一个内容不是锁的文件";
    if (!lock)
        return seen;
    if (!lock->second.empty() && lock->second != hostName()) {
        seen.found = Found::OtherComputer;
        seen.host = lock->second;
    } else if (processRunning(lock->first)) {
        seen.found = Found::Held;
    } else {
        seen.found = Found::LeftBehind;
        seen.file = std::move(file);
    }
    return seen;
}

// Removes a lock that was left behind, if it is still the one looked at: 0
// or why it could not be removed.
int removeLeftBehind(int folder, const Look& seen)
{
    struct stat st {};
    if (::fstatat(folder, FolderLock::kName, &st, AT_SYMLINK_NOFOLLOW) != 0 || st.st_dev != seen.device ||
        st.st_ino != seen.inode)
        return 0; // someone else took it over: try again
    return ::unlinkat(folder, FolderLock::kName, 0) == 0 || errno == ENOENT ? 0 : errno;
}

// Removes this run's own lock, if it is still at its name. Safe in a signal
// handler: system calls only.
void removeOwn(int folder, int file)
{
    struct stat own {}, named {};
    if (folder >= 0 && file >= 0 && ::fstat(file, &own) == 0 &&
        ::fstatat(folder, FolderLock::kName, &named, AT_SYMLINK_NOFOLLOW) == 0 && own.st_dev == named.st_dev &&
        own.st_ino == named.st_ino)
        ::unlinkat(folder, FolderLock::kName, 0);
}

// While a lock is held, an interrupt that would end the program removes it
// on the way out, so that no later run has to find it.
int watchedFolder = -1;
int watchedFile = -1;
std::vector<std::pair<int, struct sigaction>> previousHandlers;

extern "C" void onInterrupt(int signal)
{
    removeOwn(watchedFolder, watchedFile);
    std::signal(signal, SIG_DFL);
    std::raise(signal); // delivered when the handler returns
}

std::string shownLockPath(const QString& folderPath)
{
    return shownPath(bytesOfPath(QDir::toNativeSeparators(folderPath + QLatin1Char('/') + QString::fromUtf8(FolderLock::kName))));
}

// In a sticky folder only a file's owner (or the folder's, or root) may
// remove it, though everyone may write there: say that, not that the folder
// cannot be written to.
std::string whyNotRemoved(int folder, const Look& seen, int error)
{
    struct stat dir {};
    if ((error == EACCES || error == EPERM) && ::fstat(folder, &dir) == 0 && (dir.st_mode & S_ISVTX) &&
        seen.owner != ::geteuid())
        return "锁文件是另一个用户的，这个文件夹只许文件的主人或管理员删除它";
    return reasonFor(error);
}

std::string failure(int folder, const Look& seen, int removeError, const QString& folderPath)
{
    const std::string lock = shownLockPath(folderPath);
    switch (seen.found) {
    case Found::NotALock:
        return "锁文件的位置上是" + std::string(seen.what) + "，不是这个程序的锁文件：" + lock +
               "。请确认它没有用处后把它删掉，再试一次";
    case Found::OtherComputer:
        return "文件夹里留着一个锁文件（" + lock + "），它是另一台电脑（" + shownValue(seen.host) +
               "）留下的，这个程序不能替它删掉。确认没有程序正在生成练习纸后，把它删掉再试";
    case Found::LeftBehind:
    case Found::Empty:
        return "文件夹里留着一个" + std::string(seen.found == Found::Empty ? "空的" : "已经结束的程序留下的") + "锁文件（" +
               lock + "），这个程序删不掉它：" + whyNotRemoved(folder, seen, removeError) +
               "。请让文件的主人或管理员把它删掉，再试一次";
    case Found::Unreadable:
        return "锁文件读不出来（" + lock + "）：" +
               (seen.error == EACCES ? std::string("没有权限读取这个锁文件") : reasonFor(seen.error)) +
               "。确认没有程序正在生成练习纸后，把它删掉再试";
    case Found::Held:
    case Found::Nothing:
        break;
    }
    return kOtherRun;
}

} // namespace

FolderLock::FolderLock(int folder, int file) : folder_(folder), file_(file) {}

std::unique_ptr<FolderLock> FolderLock::take(int folder, const QString& folderPath, int waitMs, std::string& reason)
{
    const std::string content = std::to_string(::getpid()) + "\n" +
                                (QCoreApplication::instance() ? QCoreApplication::applicationName().toStdString()
                                                              : std::string("sumlark")) +
                                "\n" + hostName() + "\n";
    QElapsedTimer waited, emptyFor;
    waited.start();
    std::optional<std::pair<dev_t, ino_t>> empty; // the empty lock being timed
    for (int pause = 5;; pause = std::min(2 * pause, 100)) {
        int error = 0;
        {
            // Made, written and watched in one go: an interrupt cannot leave
            // it behind. Nothing here waits.
            const HeldInterrupts hold;
            Descriptor file(::openat(folder, kName, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
                                     0644));
            if (file.get() >= 0) {
                // Readable by every other user's run, whatever the umask.
                ::fchmod(file.get(), 0644);
                ::flock(file.get(), LOCK_EX | LOCK_NB);
                std::size_t done = 0;
                while (done < content.size()) {
                    const ssize_t n = ::write(file.get(), content.data() + done, content.size() - done);
                    if (n < 0 && errno != EINTR)
                        break;
                    done += n > 0 ? std::size_t(n) : 0;
                }
                if (done == content.size()) {
                    std::unique_ptr<FolderLock> lock(new FolderLock(folder, file.release()));
                    lock->watchInterrupts();
                    return lock;
                }
                error = errno;
                ::unlinkat(folder, kName, 0);
            } else {
                error = errno;
            }
        }
        if (error != EEXIST) {
            reason = reasonIn(folder, error);
            return nullptr;
        }
        Look seen = look(folder);
        if (seen.found == Found::Nothing)
            continue;
        if (seen.found == Found::NotALock) {
            reason = failure(folder, seen, 0, folderPath);
            return nullptr;
        }
        bool leftBehind = seen.found == Found::LeftBehind;
        if (seen.found == Found::Empty) {
            const std::pair id{seen.device, seen.inode};
            if (empty != id) {
                empty = id;
                emptyFor.start();
            }
            leftBehind = emptyFor.elapsed() >= std::min(kEmptyGraceMs, waitMs);
        }
        if (leftBehind) {
            if (const int removeError = removeLeftBehind(folder, seen)) {
                reason = failure(folder, seen, removeError, folderPath);
                return nullptr;
            }
            continue;
        }
        if (waited.elapsed() >= waitMs && seen.found != Found::Empty) {
            reason = failure(folder, seen, 0, folderPath);
            return nullptr;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(pause));
    }
}

void FolderLock::watchInterrupts()
{
    // One lock at a time is removed on an interrupt; only signals that
    // would end the program as they are: one that is ignored or handled
    // already keeps what it has.
    if (watchedFile >= 0)
        return;
    watchedFolder = folder_;
    watchedFile = file_;
    watched_ = true;
    const sigset_t held = heldSignalSet();
    for (int signal = 1; signal < NSIG; ++signal) {
        struct sigaction current {};
        if (sigismember(&held, signal) != 1 || ::sigaction(signal, nullptr, &current) != 0 ||
            current.sa_handler != SIG_DFL)
            continue;
        struct sigaction watch {};
        watch.sa_handler = onInterrupt;
        watch.sa_flags = SA_RESTART;
        sigemptyset(&watch.sa_mask);
        if (::sigaction(signal, &watch, nullptr) == 0)
            previousHandlers.emplace_back(signal, current);
    }
}

FolderLock::~FolderLock()
{
    {
        const HeldInterrupts hold;
        removeOwn(folder_, file_);
        if (watched_) {
            for (const auto& [signal, previous] : previousHandlers)
                ::sigaction(signal, &previous, nullptr);
            previousHandlers.clear();
            watchedFolder = watchedFile = -1;
        }
    }
    ::close(file_);
}

} // namespace sumlark
