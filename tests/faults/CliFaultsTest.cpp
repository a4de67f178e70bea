// sumlark-cli against the faults a shared or a full folder really has: a
// small file system that fills up, a file size limit, links planted by other
// users, a folder that is gone, another run in the same folder. Each is made
// for real, as root where it must be (see RealFaults.h).

#include "RealFaults.h"
#include "SheetFolder.h"
#include "SheetText.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <optional>
#include <random>

namespace sumlark::testing {
namespace {

const QString kQuestion = "速算答题.txt";
const QString kAnswer = "速算答题-答案.txt";
const QByteArray kOldQuestion = "上周的答题纸\r\n";
const QByteArray kOldAnswer = "上周的答案纸\r\n";

struct Finished {
    int exit = -1;
    bool crashed = false;
    QByteArray out, err;
};

QProcess* startCli(QProcess& process, const QStringList& arguments, const QString& folder,
                   std::function<void()> inChild = {}, bool slowMoves = false)
{
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("QT_QPA_PLATFORM");
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder);
    if (inChild)
        process.setChildProcessModifier(inChild);
    const QString program = QString::fromUtf8(SUMLARK_CLI_PATH);
    if (slowMoves)
        process.start("strace", withSlowMoves(program, arguments));
    else
        process.start(program, arguments);
    return &process;
}

Finished finish(QProcess& process)
{
    if (!process.waitForFinished(60'000))
        ADD_FAILURE() << "sumlark-cli did not finish";
    return {process.exitCode(), process.exitStatus() != QProcess::NormalExit, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

Finished cli(const QStringList& arguments, const QString& folder, std::function<void()> inChild = {})
{
    QProcess process;
    startCli(process, arguments, folder, std::move(inChild));
    return finish(process);
}

// The sizes of the files a run writes, from the same run on the real disk.
std::map<QString, qint64> sizesOf(const QStringList& arguments)
{
    QTemporaryDir folder;
    cli(arguments, folder.path());
    std::map<QString, qint64> sizes;
    for (const auto& name : QDir(folder.path()).entryList(QDir::Files))
        sizes[name] = QFileInfo(folder.filePath(name)).size();
    return sizes;
}

struct DiskRow {
    const char* name;
    QStringList arguments;
    QStringList fits;   // written files that the room is left for
    QStringList failed; // files named as not written
};

class FullDisk : public ::testing::TestWithParam<DiskRow> {};

// On a disk that fills up, a file that does not fit is named with its path
// and "磁盘空间不足", keeps its earlier bytes, and leaves no temporary file;
// the files that fit are written. The PDFs take the text sheets' road (their
// own faults are in SheetFaultsTest).
TEST_P(FullDisk, NamesTheFileKeepsItsOldBytesAndWritesWhatFits)
{
    const DiskRow& row = GetParam();
    const auto sizes = sizesOf(row.arguments);
    qint64 room = 4096; // and the run's lock
    for (const auto& name : row.fits)
        room += pages(sizes.at(name));
    QTemporaryDir scratch;
    SmallDisk disk(scratch.path(), room + 64 * 1024);
    REQUIRE_FAULT(disk.mounted(), disk.why());
    std::map<QString, QByteArray> old;
    for (const auto& [name, size] : sizes) {
        old[name] = "上周的" + name.toUtf8();
        ASSERT_TRUE(writeBytes(disk.path() + "/" + name, old[name]));
    }
    ASSERT_TRUE(disk.fillLeaving(room));
    const QStringList before = everything(disk.path());

    const Finished finished = cli(row.arguments, disk.path());
    EXPECT_EQ(finished.exit, 1) << finished.err.toStdString();
    const QString err = QString::fromUtf8(finished.err);
    for (const auto& name : row.failed) {
        const QString path = disk.path() + "/" + name;
        EXPECT_TRUE(err.contains("文件：" + path + "\n原因：磁盘空间不足")) << err.toStdString();
        EXPECT_EQ(readBytes(path), old[name]) << name.toStdString();
    }
    for (const auto& name : row.fits) {
        EXPECT_TRUE(QString::fromUtf8(finished.out).contains("已写入：" + disk.path() + "/" + name));
        EXPECT_EQ(QFileInfo(disk.path() + "/" + name).size(), sizes.at(name)) << name.toStdString();
    }
    EXPECT_EQ(everything(disk.path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FullDisk,
    ::testing::Values(DiskRow{"TextsFitPdfsDoNot",
                              {"--seed", "1", "--count", "2000", "--per-line", "8", "--pdf"},
                              {kQuestion, kAnswer},
                              {"速算答题.pdf", "速算答题-答案.pdf"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A disk that takes the data but fails to keep it: fsync says EIO (through
// FailingSync.cpp, loaded into the real program). A file that may never
// reach the disk is not written: each is named and keeps its earlier bytes.
TEST(FailingSync, NamesEveryFileAndKeepsItsOldBytes)
{
    QTemporaryDir folder;
    QStringList files = {kQuestion, kAnswer, "速算答题.pdf", "速算答题-答案.pdf"};
    for (const auto& name : files)
        ASSERT_TRUE(writeBytes(folder.filePath(name), "上周的" + name.toUtf8()));
    const QByteArray sanitizer = qgetenv("ASAN_OPTIONS");
    qputenv("LD_PRELOAD", SUMLARK_FAILING_SYNC_PATH);
    qputenv("SUMLARK_FAIL_SYNC", QFile::encodeName(folder.path()));
    // A sanitized program's own runtime is then no longer its first library.
    qputenv("ASAN_OPTIONS", sanitizer + (sanitizer.isEmpty() ? "" : ":") + "verify_asan_link_order=0");
    const Finished finished = cli({"--seed", "1", "--pdf"}, folder.path());
    qunsetenv("LD_PRELOAD");
    qunsetenv("SUMLARK_FAIL_SYNC");
    if (sanitizer.isNull())
        qunsetenv("ASAN_OPTIONS");
    else
        qputenv("ASAN_OPTIONS", sanitizer);

    EXPECT_EQ(finished.exit, 1) << finished.err.toStdString();
    EXPECT_FALSE(finished.out.contains("已写入")) << finished.out.toStdString();
    const QString err = QString::fromUtf8(finished.err);
    for (const auto& name : files) {
        EXPECT_TRUE(err.contains("文件：" + folder.filePath(name) + "\n原因：读写磁盘时出错")) << err.toStdString();
        EXPECT_EQ(readBytes(folder.filePath(name)), "上周的" + name.toUtf8()) << name.toStdString();
    }
    files.sort();
    EXPECT_EQ(everything(folder.path()), files);
}

// A folder that others may write to, or not, and a file of the teacher's
// outside it that a link planted there could lead the sheet into.
struct SharedFolder {
    explicit SharedFolder(mode_t mode)
        : made(QDir().mkpath(path) && ::chmod(QFile::encodeName(path).constData(), mode) == 0 &&
               writeBytes(victim, "老师自己的文件\n"))
    {
    }
    QTemporaryDir scratch;
    QString path = scratch.filePath("shared");
    QString victim = scratch.filePath("victim.txt");
    bool made;

    // A link at name to the victim, owned by owner.
    bool plant(const QString& name, uid_t owner) const
    {
        const QByteArray link = QFile::encodeName(path + "/" + name);
        return ::symlink(QFile::encodeName(victim).constData(), link.constData()) == 0 &&
               ::lchown(link.constData(), owner, gid_t(-1)) == 0;
    }
};

// A real second user of this machine.
std::optional<uid_t> nobody()
{
    const passwd* user = ::getpwnam("nobody");
    return user && user->pw_uid != ::geteuid() ? std::optional(user->pw_uid) : std::nullopt;
}

struct LinkRow {
    const char* name;
    mode_t folder;
    bool byAnotherUser;
    bool followed;
    bool folderTheirs = false; // the other user made the folder too
};

class PlantedLinks : public ::testing::TestWithParam<LinkRow> {};

// Where others may write (everyone or a group, sticky or not), another
// user's link at a sheet's name is refused and the file it points at kept;
// the user's own link, or any link in a folder only the user writes to, is
// followed as users expect. The sheet beside it is written as usual.
TEST_P(PlantedLinks, AreFollowedOnlyWhereNoOtherUserCouldHavePlantedThem)
{
    const LinkRow& row = GetParam();
    SharedFolder shared(row.folder);
    ASSERT_TRUE(shared.made);
    const auto owner = row.byAnotherUser ? nobody() : std::optional(::geteuid());
    REQUIRE_FAULT(owner && shared.plant(kAnswer, *owner) &&
                      (!row.folderTheirs || ::chown(QFile::encodeName(shared.path).constData(), *owner, gid_t(-1)) == 0),
                  "only root can plant a link owned by another user");
    const Finished finished = cli({"--seed", "1"}, shared.path);
    EXPECT_EQ(finished.exit, row.followed ? 0 : 1) << finished.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(finished.err)
                  .contains("文件：" + shared.path + "/" + kAnswer + "\n原因：练习纸的位置是别人建立的链接，出于安全没有写入"),
              !row.followed)
        << finished.err.toStdString();
    EXPECT_TRUE(row.followed ? readBytes(shared.victim).startsWith("--------答@案@纸")
                             : readBytes(shared.victim) == "老师自己的文件\n");
    EXPECT_TRUE(QFileInfo(shared.path + "/" + kAnswer).isSymLink());
    EXPECT_TRUE(readBytes(shared.path + "/" + kQuestion).startsWith("--------答*题*纸"));
}

INSTANTIATE_TEST_SUITE_P(Faults, PlantedLinks,
                         ::testing::Values(LinkRow{"AnotherUsersInAStickyOpenFolder", 01777, true, false},
                                           LinkRow{"AnotherUsersInAnOpenFolder", 0777, true, false},
                                           LinkRow{"AnotherUsersInAGroupFolder", 0770, true, false},
                                           LinkRow{"AnotherUsersInAnOpenFolderOfTheirs", 0777, true, false, true},
                                           LinkRow{"AnotherUsersWhereOnlyTheUserWrites", 0755, true, true},
                                           LinkRow{"TheUsersOwnInAStickyOpenFolder", 01777, false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

Undo made(bool done)
{
    return done ? Undo([] {}) : Undo();
}

// A device node like /dev/null, made here.
bool makeDevice(const QString& path)
{
    return ::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, ::makedev(1, 3)) == 0;
}

struct NotAFileRow {
    const char* name;
    Undo (*make)(const QString& sheet);
    const char* what;
};

class NotAFile : public ::testing::TestWithParam<NotAFileRow> {};

// A sheet's name that is, or links to, anything but a regular file would
// swallow the sheet or be replaced by it: it is refused, whoever made it,
// and left as it was.
TEST_P(NotAFile, AtASheetsNameIsRefusedAndLeftAsItWas)
{
    const NotAFileRow& row = GetParam();
    QTemporaryDir folder;
    const QString sheet = folder.filePath(kAnswer);
    const Undo undo = row.make(sheet);
    REQUIRE_FAULT(undo, "only root can make a device node");
    struct stat before {}, after {};
    ASSERT_EQ(::stat(QFile::encodeName(sheet).constData(), &before), 0);
    const Finished finished = cli({"--seed", "1"}, folder.path());
    EXPECT_EQ(finished.exit, 1);
    EXPECT_TRUE(QString::fromUtf8(finished.err)
                    .contains("文件：" + sheet + "\n原因：练习纸的位置上是" + row.what + "，不是普通文件，没有写入"))
        << finished.err.toStdString();
    ASSERT_EQ(::stat(QFile::encodeName(sheet).constData(), &after), 0);
    EXPECT_TRUE(after.st_ino == before.st_ino && after.st_mode == before.st_mode);
    EXPECT_TRUE(readBytes(folder.filePath(kQuestion)).startsWith("--------答*题*纸"));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, NotAFile,
    ::testing::Values(
        NotAFileRow{"DeviceNode", [](const QString& sheet) { return made(makeDevice(sheet)); }, "一个设备文件"},
        NotAFileRow{"OwnLinkToADevice",
                    [](const QString& sheet) {
                        const QString device = QFileInfo(sheet).path() + "/elsewhere/null";
                        return made(QDir().mkpath(QFileInfo(device).path()) && makeDevice(device) &&
                                    QFile::link(device, sheet));
                    },
                    "一个设备文件"},
        NotAFileRow{"NamedPipe",
                    [](const QString& sheet) { return made(::mkfifo(QFile::encodeName(sheet).constData(), 0666) == 0); },
                    "一个命名管道"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VanishedFolder, ARunInADeletedFolderWritesNothingAnywhere)
{
    QTemporaryDir scratch;
    const QString gone = scratch.filePath("gone");
    ASSERT_TRUE(QDir().mkpath(gone));
    const QString root = "/" + kQuestion;
    ASSERT_FALSE(QFileInfo::exists(root));
    // Deleted between entering it and starting the program.
    const QByteArray goneBytes = QFile::encodeName(gone);
    const Finished finished = cli({"--seed", "1"}, gone, [goneBytes] { ::rmdir(goneBytes.constData()); });
    const bool strayRoot = QFile::remove(root);
    EXPECT_FALSE(strayRoot);
    EXPECT_EQ(finished.exit, 1);
    EXPECT_TRUE(QString::fromUtf8(finished.err).contains("当前文件夹已经不存在了")) << finished.err.toStdString();
    EXPECT_TRUE(finished.out.isEmpty());
}

// Built with the sanitizers, whose runtime needs memory and open files of
// its own (its checks open a pipe) at any moment: limits on either stop it
// rather than the program.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

struct ReasonRow {
    const char* name;
    Undo (*make)(const QString& scratch);
    QStringList arguments; // "<tmp>" is the scratch folder
    const char* reason;    // after the path of the folder or a sheet
    int openFiles = 0;     // the limit on open files, where there is one
};

class Reasons : public ::testing::TestWithParam<ReasonRow> {};

// A run that cannot write says why in the user's words, with the cause the
// system gave rather than one that merely looks alike, and writes nothing.
TEST_P(Reasons, NameTheRealCause)
{
    const ReasonRow& row = GetParam();
    if (row.openFiles > 0 && kSanitized)
        GTEST_SKIP() << "the sanitizers' runtime needs open files of its own";
    QTemporaryDir scratch;
    const Undo undo = row.make(scratch.path());
    REQUIRE_FAULT(undo, "this user cannot make the fault on this file system");
    const std::unique_ptr<const Undo, void (*)(const Undo*)> undoAtEnd(&undo, [](const Undo* u) { (*u)(); });
    const QStringList before = everything(scratch.path());
    const int openFiles = row.openFiles;
    const Finished finished = cli(QStringList(row.arguments).replaceInStrings("<tmp>", scratch.path()), scratch.path(), [openFiles] {
        const rlimit limit{rlim_t(openFiles), rlim_t(openFiles)};
        if (openFiles > 0)
            ::setrlimit(RLIMIT_NOFILE, &limit);
    });
    EXPECT_EQ(finished.exit, 1);
    EXPECT_TRUE(QString::fromUtf8(finished.err).contains(QString("\n原因：") + row.reason)) << finished.err.toStdString();
    EXPECT_EQ(everything(scratch.path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, Reasons,
    ::testing::Values(
        ReasonRow{"FileWhereAFolderShouldBe", [](const QString& scratch) { return made(writeBytes(scratch + "/file", "in the way")); },
                  {"--out", "file/sheets"}, "路径中有一部分不是文件夹"},
        ReasonRow{"FolderAboveNotWritable",
                  [](const QString& scratch) { return QDir().mkpath(scratch + "/Documents") ? lock(scratch + "/Documents") : Undo(); },
                  {"--out", "<tmp>/Documents/速算练习"}, "没有权限"},
        ReasonRow{"FileSystemThatHoldsNoFiles", [](const QString&) { return made(QFileInfo("/sys/kernel").isDir()); },
                  {"--out", "/sys/kernel"}, "这个文件系统不能存放文件"},
        ReasonRow{"TooManyFilesOpen", [](const QString&) { return made(true); }, {"--seed", "1"},
                  "同时打开的文件太多了", 5}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OneRunAtATime, ARunWaitsForTheLockThenGivesUp)
{
    QTemporaryDir folder;
    QLockFile held(folder.filePath(".速算答题.lock"));
    ASSERT_TRUE(held.tryLock(0));
    const Finished finished = cli({"--seed", "1"}, folder.path());
    EXPECT_EQ(finished.exit, 1);
    EXPECT_TRUE(QString::fromUtf8(finished.err).contains("另一个程序正在这个文件夹里生成练习纸"));
    EXPECT_EQ(everything(folder.path()), QStringList{".速算答题.lock"});
}

// The pid of a process that has ended.
qint64 goneProcess()
{
    QProcess gone;
    gone.start("true");
    gone.waitForStarted();
    const qint64 pid = gone.processId();
    gone.waitForFinished();
    return pid;
}

struct LockRow {
    const char* name;
    Undo (*make)(const QString& lock);
    const char* says; // before the lock's path; empty where the lock is taken over
};

class LockName : public ::testing::TestWithParam<LockRow> {};

// Whoever may write to the folder may put anything at the lock's name. A
// lock left by a program that is gone, or an empty one, is taken over; a
// pipe, a link, a huge file or a folder is neither read nor waited for: the
// run ends at once, names the file to delete and leaves it as it was.
TEST_P(LockName, IsTakenOverOrNamedAtOnce)
{
    const LockRow& row = GetParam();
    QTemporaryDir folder;
    const QString lockPath = folder.filePath(".速算答题.lock");
    const Undo undo = row.make(lockPath);
    REQUIRE_FAULT(undo, "this user cannot make the fault on this file system");
    const std::unique_ptr<const Undo, void (*)(const Undo*)> undoAtEnd(&undo, [](const Undo* u) { (*u)(); });
    struct stat before {}, after {};
    ASSERT_EQ(::lstat(QFile::encodeName(lockPath).constData(), &before), 0);
    QElapsedTimer took;
    took.start();
    const Finished finished = cli({"--seed", "1"}, folder.path());
    EXPECT_LT(took.elapsed(), SheetFolder::kLockWaitMs);
    const bool takenOver = *row.says == '\0';
    EXPECT_EQ(finished.exit, takenOver ? 0 : 1) << finished.err.toStdString();
    if (takenOver) {
        EXPECT_EQ(everything(folder.path()), (QStringList{kAnswer, kQuestion}));
        return;
    }
    EXPECT_TRUE(QString::fromUtf8(finished.err).contains(QString::fromUtf8(row.says)) &&
                QString::fromUtf8(finished.err).contains(lockPath))
        << finished.err.toStdString();
    ASSERT_EQ(::lstat(QFile::encodeName(lockPath).constData(), &after), 0);
    EXPECT_TRUE(after.st_ino == before.st_ino && after.st_mode == before.st_mode && after.st_size == before.st_size);
    EXPECT_FALSE(QFileInfo::exists(folder.filePath(kQuestion)));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, LockName,
    ::testing::Values(
        LockRow{"LeftByAProgramThatIsGone",
                [](const QString& lock) {
                    return made(writeBytes(lock, QByteArray::number(goneProcess()) + "\nsumlark-cli\n" +
                                                     QSysInfo::machineHostName().toUtf8() + "\n"));
                },
                ""},
        LockRow{"EmptyFile", [](const QString& lock) { return made(writeBytes(lock, "")); }, ""},
        LockRow{"EmptyFileThisUserCannotRemove",
                [](const QString& lock) { return writeBytes(lock, "") ? testing::lock(QFileInfo(lock).path()) : Undo(); },
                "文件夹里留着一个空的锁文件（"},
        LockRow{"NamedPipe", [](const QString& lock) { return made(::mkfifo(QFile::encodeName(lock).constData(), 0666) == 0); },
                "锁文件的位置上是一个命名管道"},
        LockRow{"LinkToDevZero", [](const QString& lock) { return made(QFile::link("/dev/zero", lock)); },
                "锁文件的位置上是一个链接"},
        LockRow{"FileOfOneGiB",
                [](const QString& lock) {
                    QFile file(lock);
                    return made(file.open(QIODevice::WriteOnly) && ::ftruncate(file.handle(), qint64(1) << 30) == 0);
                },
                "锁文件的位置上是一个超过 1 KiB 的文件"},
        LockRow{"Folder", [](const QString& lock) { return made(QDir().mkdir(lock)); }, "锁文件的位置上是一个文件夹"}),
    [](const auto& info) { return std::string(info.param.name); });

// A full disk behind standard output loses the report, not the sheets: the
// run writes them and says on standard error that its report is not whole.
TEST(LostReport, IsSaidOnStandardErrorAndTheSheetsAreWritten)
{
    QTemporaryDir folder;
    const Finished finished = cli({"--seed", "1"}, folder.path(), [] {
        const int full = ::open("/dev/full", O_WRONLY);
        if (full >= 0)
            ::dup2(full, 1);
    });
    EXPECT_EQ(finished.exit, 0) << finished.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(finished.err).contains("报告没能全部写到标准输出")) << finished.err.toStdString();
    EXPECT_EQ(everything(folder.path()), (QStringList{kAnswer, kQuestion}));
}

// Out of memory the run ends with a reason, not an abort, and removes its
// lock on the way out.
TEST(OutOfMemory, EndsTheRunWithAReasonAndNoLockLeft)
{
    if (kSanitized)
        GTEST_SKIP() << "AddressSanitizer's shadow memory alone is larger than the address-space limit";
    QTemporaryDir folder;
    const Finished finished = cli({"--seed", "1", "--count", "1000", "--pdf"}, folder.path(), [] {
        // Room for Qt and its fonts to start (about 85 MB here), none for the
        // PDFs of 1000 problems (about 130 MB).
        const rlimit limit{105'000 * 1024, 105'000 * 1024};
        ::setrlimit(RLIMIT_AS, &limit);
    });
    EXPECT_FALSE(finished.crashed);
    EXPECT_EQ(finished.exit, 1) << finished.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(finished.err).contains("内存不够，没能写完练习纸")) << finished.err.toStdString();
    EXPECT_EQ(everything(folder.path()), QStringList());
}

TEST(OneRunAtATime, RunsStartedTogetherNeverMixTheirPairs)
{
    QTemporaryDir folder;
    const QStringList big = {"--count", "32766", "--type", "all", "--largest", "1000"};
    for (int round = 0; round < 5; ++round) {
        QProcess first, second;
        startCli(first, big + QStringList{"--seed", QString::number(2 * round)}, folder.path());
        startCli(second, big + QStringList{"--seed", QString::number(2 * round + 1)}, folder.path());
        const Finished a = finish(first), b = finish(second);
        EXPECT_EQ(a.exit, 0) << a.err.toStdString();
        EXPECT_EQ(b.exit, 0) << b.err.toStdString();
        ASSERT_TRUE(onePair(folder.path(), kQuestion, kAnswer)) << "round " << round;
    }
    EXPECT_EQ(everything(folder.path()), (QStringList{kAnswer, kQuestion}));
}

void noCoreFiles()
{
    const rlimit none{0, 0};
    ::setrlimit(RLIMIT_CORE, &none);
}

struct SignalRow {
    const char* name;
    int signal;
    int afterMoves; // files of the pair in place when it arrives
    bool pdf;
    bool endsTheRun; // false: one the program ignores on purpose
};

class SignalsBetweenMoves : public ::testing::TestWithParam<SignalRow> {};

// A signal that lands between two moves of a pair (its PDFs included) waits
// for the last of them, then ends the run before it says anything more: the
// folder holds the whole new pair, no lock and no temporary file.
TEST_P(SignalsBetweenMoves, WaitForTheLastMoveThenEndTheRun)
{
    const SignalRow& row = GetParam();
    REQUIRE_FAULT(straceFound(), "strace puts the signal between the moves");
    const QStringList pdf = row.pdf ? QStringList{"--pdf"} : QStringList{};
    QTemporaryDir folder, expected;
    cli(QStringList{"--seed", "1"} + pdf, folder.path());
    cli(QStringList{"--seed", "2"} + pdf, expected.path());
    const auto before = contents(folder.path());
    ASSERT_EQ(before.size(), row.pdf ? 4u : 2u);

    QProcess traced;
    startCli(traced, QStringList{"--seed", "2"} + pdf, folder.path(), noCoreFiles, true);
    const pid_t run = tracee(traced.processId(), SUMLARK_CLI_PATH);
    ASSERT_TRUE(run > 0 && waitForMoves(folder.path(), before, row.afterMoves));
    ASSERT_EQ(::kill(run, row.signal), 0);
    const Finished finished = finish(traced);

    EXPECT_EQ(finished.out.contains("种子："), !row.endsTheRun) << finished.out.toStdString();
    EXPECT_EQ(everything(folder.path()), everything(expected.path()));
    for (const auto& [name, old] : before) {
        const QByteArray now = readBytes(folder.path() + "/" + name);
        EXPECT_NE(now, old) << name.toStdString();
        if (name.endsWith(".txt")) {
            EXPECT_EQ(now, readBytes(expected.filePath(name))) << name.toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Signals, SignalsBetweenMoves,
    ::testing::Values(SignalRow{"TerminalClosed", SIGHUP, 1, false, true}, SignalRow{"CtrlC", SIGINT, 1, false, true},
                      SignalRow{"CtrlBackslash", SIGQUIT, 1, false, true},
                      SignalRow{"PipeClosed", SIGPIPE, 1, false, true}, SignalRow{"Alarm", SIGALRM, 1, false, true},
                      SignalRow{"Terminate", SIGTERM, 1, false, true}, SignalRow{"User1", SIGUSR1, 1, false, true},
                      SignalRow{"User2", SIGUSR2, 1, false, true}, SignalRow{"CpuLimit", SIGXCPU, 1, false, true},
                      SignalRow{"VirtualTimer", SIGVTALRM, 1, false, true},
                      SignalRow{"ProfilingTimer", SIGPROF, 1, false, true},
                      SignalRow{"PollEvent", SIGPOLL, 1, false, true}, SignalRow{"PowerFailing", SIGPWR, 1, false, true},
                      SignalRow{"FirstRealTime", SIGRTMIN, 1, false, true},
                      SignalRow{"LastRealTime", SIGRTMAX, 1, false, true},
                      SignalRow{"FileSizeLimitIgnored", SIGXFSZ, 1, false, false},
                      SignalRow{"CtrlBackslashBeforeThePdfs", SIGQUIT, 2, true, true},
                      SignalRow{"TerminateBetweenThePdfs", SIGTERM, 3, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

// A kill cannot be held. Wherever it lands, the next run into the folder
// leaves nothing but its pair: no temporary file, no lock.
TEST(Killed, TheNextRunLeavesNoTemporaryFile)
{
    QTemporaryDir folder;
    const QStringList big = {"--count", "5000", "--type", "all", "--pdf"};
    QElapsedTimer timed;
    timed.start();
    cli(big, folder.path());
    const int runMs = int(timed.elapsed());
    QStringList pair = {"速算答题-答案.pdf", "速算答题.pdf", kAnswer, kQuestion};
    pair.sort();
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    for (int round = 0; round < 10; ++round) {
        QProcess killed;
        startCli(killed, big, folder.path());
        ASSERT_TRUE(killed.waitForStarted());
        QThread::msleep(std::uniform_int_distribution<int>(0, runMs)(random));
        killed.kill();
        finish(killed);
        const Finished next = cli({"--seed", "1"}, folder.path());
        EXPECT_EQ(next.exit, 0) << next.err.toStdString();
        ASSERT_EQ(everything(folder.path()), pair)
            << "round " << round << ", seed " << seed;
    }
}

struct DriveRow {
    const char* name;
    int signal;
    int leftBehind; // files that stand until the next run: a kill leaves its temporary file and the lock
};

class RemovableDrive : public ::testing::TestWithParam<DriveRow> {};

// Where temporary files have names, an interrupt while writing removes the
// run's own on its way out; one a kill left is removed by the next run, and
// one of a live process is never touched.
TEST_P(RemovableDrive, NoTemporaryFileOutlivesTheNextRun)
{
    const DriveRow& row = GetParam();
    QTemporaryDir scratch;
    ExfatDrive drive(scratch.path());
    REQUIRE_FAULT(drive.mounted(), drive.why());
    cli({"--seed", "1"}, drive.path());
    const auto before = contents(drive.path());
    const QString live = "." + kQuestion + ".sumlark-" + QString::number(::getpid()) + "-0.tmp";
    ASSERT_TRUE(writeBytes(drive.path() + "/" + live, "a live run's"));
    // Another program's hidden file of the same shape, its writer gone.
    const QString foreign = ".论文草稿.docx.999999-0.tmp";
    ASSERT_TRUE(writeBytes(drive.path() + "/" + foreign, "a draft"));

    QProcess interrupted;
    startCli(interrupted, {"--count", "32766", "--type", "all", "--largest", "1000", "--pdf"}, drive.path());
    const auto writing = [&] {
        return everything(drive.path()).filter(QRegularExpression("^\\..*\\.sumlark-.*-0\\.tmp$")).size() > 1;
    };
    QElapsedTimer waited;
    waited.start();
    while (!writing() && waited.elapsed() < 60'000)
        QThread::msleep(1);
    ASSERT_EQ(::kill(pid_t(interrupted.processId()), row.signal), 0);
    finish(interrupted);
    EXPECT_EQ(everything(drive.path()).size(), before.size() + 2 + row.leftBehind)
        << everything(drive.path()).join(' ').toStdString();
    for (const auto& [name, old] : before)
        EXPECT_EQ(readBytes(drive.path() + "/" + name), old) << name.toStdString();

    const Finished next = cli({"--seed", "1"}, drive.path());
    EXPECT_EQ(next.exit, 0) << next.err.toStdString();
    QStringList kept{live, foreign, kAnswer, kQuestion};
    kept.sort();
    EXPECT_EQ(everything(drive.path()), kept);
}

INSTANTIATE_TEST_SUITE_P(Faults, RemovableDrive,
                         ::testing::Values(DriveRow{"CtrlCWhileWriting", SIGINT, 0},
                                           DriveRow{"TerminateWhileWriting", SIGTERM, 0},
                                           DriveRow{"KilledWhileWriting", SIGKILL, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace sumlark::testing
