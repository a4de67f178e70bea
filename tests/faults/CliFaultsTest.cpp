// sumlark-cli against the faults a shared or a full folder really has: a
// small file system that fills up, a sync that fails, a cap on file sizes,
// locked folders and sheets, links planted by other users, a folder that is
// gone, another run in the same folder, signals and kills. Each is made for
// real, as root where it must be (see RealFaults.h): a lock is the immutable
// attribute where the file system allows it, since permissions bind no root.

#include "RealFaults.h"
#include "SheetFolder.h"

#include <QLockFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <csignal>

namespace sumlark::testing {
namespace {

const QString kQuestion = "速算答题.txt";
const QString kAnswer = "速算答题-答案.txt";

// A sync that fails (EIO from FailingSync.cpp, loaded into the real
// program: a disk that takes the data but cannot keep it), a disk that fills
// up (a small tmpfs), or a cap on file sizes (that binds root too) between
// the question sheet's size and the answer sheet's: a file that may never
// reach the disk, or does not fit, is named with its path and the reason,
// keeps its earlier bytes and leaves no temporary file; the files that fit
// are written: on the full disk the text sheets, not their PDFs.
TEST(UnkeptFiles, AreNamedAndKeepTheirOldBytes)
{
    const QStringList arguments = {"--seed", "1", "--count", "2000", "--per-line", "8", "--pdf"};
    QTemporaryDir sizing, failing, full, capped;
    cli(arguments, sizing.path());
    const auto written = contents(sizing.path());
    const auto pages = [](qint64 bytes) { return (bytes + 4095) / 4096 * 4096; };
    const qint64 room = 4096 + pages(written.at(kQuestion).size()) + pages(written.at(kAnswer).size()); // and the lock
    const rlimit cap{rlim_t(written.at(kQuestion).size() + written.at(kAnswer).size()) / 2, RLIM_INFINITY};
    const QByteArray sanitizer = qgetenv("ASAN_OPTIONS");
    enum Fault { Sync, Disk, Cap };
    const auto check = [&](const QString& folder, Fault fault) {
        for (const auto& [name, bytes] : written)
            ASSERT_TRUE(writeBytes(folder + "/" + name, "上周的" + name.toUtf8()));
        ASSERT_TRUE(fault != Disk || fillLeaving(folder, room));
        const QStringList before = everything(folder);
        // A sanitized program's own runtime is then no longer its first library.
        const Finished finished = runProgram(
            "env", QStringList{"LD_PRELOAD=" SUMLARK_FAILING_SYNC_PATH,
                               "SUMLARK_FAIL_SYNC=" + (fault == Sync ? folder : QString()),
                               "ASAN_OPTIONS=" + sanitizer + (sanitizer.isEmpty() ? "" : ":") + "verify_asan_link_order=0", SUMLARK_CLI_PATH} + arguments,
            folder, [fault, cap] { fault != Cap || ::setrlimit(RLIMIT_FSIZE, &cap) == 0; });
        EXPECT_EQ(finished.exit, 1) << finished.err.toStdString();
        for (const auto& [name, bytes] : written) {
            const bool kept =
                fault == Sync || (fault == Disk ? name.endsWith(".pdf") : qint64(bytes.size()) > qint64(cap.rlim_cur));
            const QString reason = fault == Sync ? "读写磁盘时出错" : fault == Disk ? "磁盘空间不足" : "文件超过了允许的大小";
            EXPECT_EQ(finished.err.contains("文件：" + folder + "/" + name + "\n原因：" + reason), kept) << finished.err.toStdString();
            EXPECT_EQ(finished.out.contains("已写入：" + folder + "/" + name + "\n"), !kept) << finished.out.toStdString();
            EXPECT_EQ(readBytes(folder + "/" + name), kept ? "上周的" + name.toUtf8() : bytes) << name.toStdString();
        }
        EXPECT_EQ(everything(folder), before);
    };
    check(failing.path(), Sync);
    check(capped.path(), Cap);
    const Undo unmount = mountSmallDisk(full.path(), room + 64 * 1024);
    REQUIRE_FAULT(unmount, "mounting a tmpfs needs root");
    const auto undone = qScopeGuard(unmount);
    check(full.path(), Disk);
}

struct LinkRow {
    const char* name;
    mode_t folder;
    bool byAnotherUser, followed;
    bool folderTheirs = false; // the other user made the folder too
};

class PlantedLinks : public ::testing::TestWithParam<LinkRow> {};

// Where others may write (everyone or a group, sticky or not), another
// user's link at a sheet's name, to a file of the teacher's outside, is
// refused and the file it points at kept; the user's own link, or any link in
// a folder only the user writes to, is followed as users expect. The sheet
// beside it is written as usual.
TEST_P(PlantedLinks, AreFollowedOnlyWhereNoOtherUserCouldHavePlantedThem)
{
    const LinkRow& row = GetParam();
    QTemporaryDir scratch;
    const QString shared = scratch.filePath("shared"), victim = scratch.filePath("victim.txt");
    const QByteArray link = QFile::encodeName(shared + "/" + kAnswer);
    ASSERT_TRUE(QDir().mkpath(shared) && ::chmod(QFile::encodeName(shared).constData(), row.folder) == 0 &&
                writeBytes(victim, "老师自己的文件\n") && ::symlink(QFile::encodeName(victim).constData(), link.constData()) == 0);
    const passwd* nobody = ::getpwnam("nobody");
    const uid_t owner = row.byAnotherUser && nobody ? nobody->pw_uid : ::geteuid();
    REQUIRE_FAULT((owner != ::geteuid()) == row.byAnotherUser && ::lchown(link.constData(), owner, gid_t(-1)) == 0 &&
                      (!row.folderTheirs || ::chown(QFile::encodeName(shared).constData(), owner, gid_t(-1)) == 0),
                  "only root can plant a link owned by another user (nobody)");
    const Finished finished = cli({"--seed", "1"}, shared);
    EXPECT_EQ(finished.exit, row.followed ? 0 : 1) << finished.err.toStdString();
    EXPECT_EQ(finished.err.contains("文件：" + shared + "/" + kAnswer + "\n原因：练习纸的位置是别人建立的链接，出于安全没有写入"),
              !row.followed) << finished.err.toStdString();
    EXPECT_TRUE(row.followed ? readBytes(victim).startsWith("--------答@案@纸") : readBytes(victim) == "老师自己的文件\n");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(readBytes(shared + "/" + kQuestion).startsWith("--------答*题*纸"));
}

INSTANTIATE_TEST_SUITE_P(Faults, PlantedLinks,
                         ::testing::Values(LinkRow{"AnotherUsersInAStickyOpenFolder", 01777, true, false},
                                           LinkRow{"AnotherUsersInAnOpenFolder", 0777, true, false},
                                           LinkRow{"AnotherUsersInAGroupFolder", 0770, true, false},
                                           LinkRow{"AnotherUsersInAnOpenFolderOfTheirs", 0777, true, false, true},
                                           LinkRow{"AnotherUsersWhereOnlyTheUserWrites", 0755, true, true},
                                           LinkRow{"TheUsersOwnInAStickyOpenFolder", 01777, false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// Built with the sanitizers, whose runtime needs memory and open files of
// its own (its checks open a pipe) at any moment: limits on either stop it
// rather than the program.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// A device node like /dev/null, made at path.
Undo device(const QString& path)
{
    return made(::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, ::makedev(1, 3)) == 0);
}

Undo pipe(const QString& path)
{
    return made(::mkfifo(QFile::encodeName(path).constData(), 0666) == 0);
}

// The lock of a program that has ended.
Undo goneLock(const QString& folder)
{
    QProcess gone;
    gone.start("true");
    gone.waitForStarted();
    const qint64 pid = gone.processId(); // gone once finished
    gone.waitForFinished();
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    return made(writeBytes(folder + "/.速算答题.lock", QByteArray::number(pid) + "\nsumlark-cli\n" + host + "\n"));
}

struct RefusalRow {
    const char* name;
    Undo (*make)(const QString& folder);
    QStringList arguments; // "<tmp>" is the folder
    QStringList says;      // on standard error, "<tmp>" the folder; empty where the run goes on
    QStringList left;      // all the folder holds afterwards, what was there before unchanged
    void (*inChild)() = nullptr;  // run in the program's process before it starts
    int exit = 1;                 // where it says something
    bool limitsResources = false; // which the sanitizers' runtime needs more of than the program
};

class Refusals : public ::testing::TestWithParam<RefusalRow> {};

// What a run finds in its way, it names with the cause the system gave
// rather than one that merely looks alike, and leaves as it was: a folder it
// cannot write to; a sheet's name that is, or links to, anything but a
// regular file (it would swallow the sheet or be replaced by it), whoever
// made it; whatever anyone who may write to the folder put at the lock's
// name, neither read nor waited for, unless it is a lock left by a program
// that is gone or an empty one, which are taken over.
TEST_P(Refusals, NameTheCauseAndLeaveWhatWasThere)
{
    const RefusalRow& row = GetParam();
    if (row.limitsResources && kSanitized)
        GTEST_SKIP() << "the sanitizers' runtime needs memory and open files of its own";
    QTemporaryDir folder;
    const Undo undo = row.make(folder.path());
    REQUIRE_FAULT(undo, "this user cannot make the fault on this file system");
    const auto undone = qScopeGuard(undo);
    std::map<QString, struct stat> before;
    for (const QString& name : everything(folder.path()))
        ::lstat(QFile::encodeName(folder.filePath(name)).constData(), &before[name]);
    QElapsedTimer took;
    took.start();
    const Finished finished =
        cli(QStringList(row.arguments).replaceInStrings("<tmp>", folder.path()), folder.path(), row.inChild);
    EXPECT_LT(took.elapsed(), SheetFolder::kLockWaitMs);
    EXPECT_FALSE(finished.crashed);
    EXPECT_EQ(finished.exit, row.says.isEmpty() ? 0 : row.exit) << finished.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists("/" + kQuestion)); // nothing written elsewhere, not even at the root
    for (QString said : row.says)
        EXPECT_TRUE(finished.err.contains(said.replace("<tmp>", folder.path()))) << finished.err.toStdString();
    QStringList left = row.left;
    left.sort();
    EXPECT_EQ(everything(folder.path()), left);
    for (const auto& [name, was] : before) {
        struct stat now {};
        EXPECT_TRUE(::lstat(QFile::encodeName(folder.filePath(name)).constData(), &now) != 0 ||
                    (now.st_ino == was.st_ino && now.st_mode == was.st_mode && now.st_size == was.st_size))
            << name.toStdString();
    }
}

const QString kLock = ".速算答题.lock";
const QString kNotAFile = "文件：<tmp>/速算答题-答案.txt\n原因：练习纸的位置上是";

INSTANTIATE_TEST_SUITE_P(
    Faults, Refusals,
    ::testing::ValuesIn(std::vector<RefusalRow>{
        {"FileWhereAFolderShouldBe", [](const QString& f) { return made(writeBytes(f + "/file", "in the way")); },
         {"--out", "file/sheets"}, {"\n原因：路径中有一部分不是文件夹"}, {"file"}},
        {"FolderAboveNotWritable", [](const QString& f) { return QDir().mkpath(f + "/Documents") ? lock(f + "/Documents") : Undo(); },
         {"--out", "<tmp>/Documents/速算练习"}, {"\n原因：没有权限"}, {"Documents"}},
        {"FolderLocked", [](const QString& f) { return writeBytes(f + "/" + kQuestion, "上周的") ? lock(f) : Undo(); },
         {"--seed", "1"}, {"<tmp>/" + kQuestion + "\n原因：没有权限在这里写入（文件夹不可写）", "<tmp>/" + kAnswer + "\n"},
         {kQuestion}},
        {"QuestionSheetLocked",
         [](const QString& f) { return writeBytes(f + "/" + kQuestion, "上周的") ? lock(f + "/" + kQuestion) : Undo(); },
         {"--seed", "1"}, {"<tmp>/" + kQuestion + "\n原因：文件是只读的，不能替换原来的文件"}, {kAnswer, kQuestion}},
        {"FileSystemThatHoldsNoFiles", [](const QString&) { return made(QFileInfo("/sys/kernel").isDir()); },
         {"--out", "/sys/kernel"}, {"\n原因：这个文件系统不能存放文件"}, {}},
        {"TooManyFilesOpen", [](const QString&) { return made(true); }, {"--seed", "1"}, {"\n原因：同时打开的文件太多了"}, {},
         [] { const rlimit five{5, 5}; ::setrlimit(RLIMIT_NOFILE, &five); }, 1, true},
        // Out of memory the run ends with a reason, not an abort, and removes its lock on the way out: room for
        // Qt and its fonts to start (about 85 MB here), none for the PDFs of 1000 problems (about 130 MB).
        {"OutOfMemory", [](const QString&) { return made(true); }, {"--seed", "1", "--count", "1000", "--pdf"},
         {"内存不够，没能写完练习纸"}, {},
         [] { const rlimit room{105000 * 1024, 105000 * 1024}; ::setrlimit(RLIMIT_AS, &room); }, 1, true},
        // No face on the system covers Chinese: the text sheets are written, each PDF of the set drawn
        // sheet by sheet fails with the reason.
        {"NoChineseFont",
         [](const QString& f) {
             return writeBytes(f + "/fonts.conf", "<fontconfig><dir>/none</dir></fontconfig>") &&
                            qputenv("FONTCONFIG_FILE", QFile::encodeName(f + "/fonts.conf"))
                        ? Undo([] { qunsetenv("FONTCONFIG_FILE"); }) : Undo();
         },
         {"--seed", "1", "--sheets", "2", "--pdf"}, {"速算答题.pdf\n原因：系统里找不到能显示中文的字体", "速算答题-答案.pdf\n原因：系统里找不到"},
         {"fonts.conf", "速算答题-01.txt", "速算答题-01-答案.txt", "速算答题-02.txt", "速算答题-02-答案.txt"}},
        // A full disk behind standard output loses the report, not the sheets.
        {"StandardOutputOnAFullDisk", [](const QString&) { return made(true); }, {"--seed", "1"}, {"报告没能全部写到标准输出"},
         {kAnswer, kQuestion}, [] { ::dup2(::open("/dev/full", O_WRONLY), 1); }, 0},
        // Deleted between entering it and starting the program: nothing is written.
        {"CurrentFolderDeleted", [](const QString&) { return made(true); }, {"--seed", "1"}, {"当前文件夹已经不存在了"}, {},
         [] { char here[4096]; ::rmdir(::getcwd(here, sizeof here)); }},
        {"DeviceNodeAtASheetsName", [](const QString& f) { return device(f + "/" + kAnswer); }, {"--seed", "1"},
         {kNotAFile + "一个设备文件，不是普通文件，没有写入"}, {kAnswer, kQuestion}},
        {"OwnLinkToADeviceAtASheetsName",
         [](const QString& f) { return made(QDir().mkdir(f + "/elsewhere") && device(f + "/elsewhere/null") &&
                                            QFile::link(f + "/elsewhere/null", f + "/" + kAnswer)); },
         {"--seed", "1"}, {kNotAFile + "一个设备文件"}, {kAnswer, kQuestion, "elsewhere"}},
        {"NamedPipeAtASheetsName", [](const QString& f) { return pipe(f + "/" + kAnswer); }, {"--seed", "1"},
         {kNotAFile + "一个命名管道，不是普通文件，没有写入"}, {kAnswer, kQuestion}},
        {"LockLeftByAProgramThatIsGone", goneLock, {"--seed", "1"}, {}, {kAnswer, kQuestion}},
        {"EmptyLock", [](const QString& f) { return made(writeBytes(f + "/" + kLock, "")); }, {"--seed", "1"}, {}, {kAnswer, kQuestion}},
        {"EmptyLockThisUserCannotRemove", [](const QString& f) { return writeBytes(f + "/" + kLock, "") ? lock(f) : Undo(); },
         {"--seed", "1"}, {"文件夹里留着一个空的锁文件（<tmp>/" + kLock}, {kLock}},
        {"NamedPipeAtTheLocksName", [](const QString& f) { return pipe(f + "/" + kLock); }, {"--seed", "1"},
         {"锁文件的位置上是一个命名管道", "<tmp>/" + kLock}, {kLock}},
        {"LinkToDevZeroAtTheLocksName", [](const QString& f) { return made(QFile::link("/dev/zero", f + "/" + kLock)); },
         {"--seed", "1"}, {"锁文件的位置上是一个链接", "<tmp>/" + kLock}, {kLock}},
        {"FileOfOneGiBAtTheLocksName",
         [](const QString& f) {
             QFile file(f + "/" + kLock);
             return made(file.open(QIODevice::WriteOnly) && ::ftruncate(file.handle(), qint64(1) << 30) == 0);
         },
         {"--seed", "1"}, {"锁文件的位置上是一个超过 1 KiB 的文件", "<tmp>/" + kLock}, {kLock}},
        {"FolderAtTheLocksName", [](const QString& f) { return made(QDir().mkdir(f + "/" + kLock)); }, {"--seed", "1"},
         {"锁文件的位置上是一个文件夹", "<tmp>/" + kLock}, {kLock}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OneRunAtATime, ARunWaitsForTheLockThenGivesUp)
{
    QTemporaryDir folder;
    QLockFile held(folder.filePath(".速算答题.lock"));
    ASSERT_TRUE(held.tryLock(0));
    const Finished finished = cli({"--seed", "1"}, folder.path());
    EXPECT_EQ(finished.exit, 1);
    EXPECT_TRUE(finished.err.contains("另一个程序正在这个文件夹里生成练习纸"));
    EXPECT_EQ(everything(folder.path()), QStringList{".速算答题.lock"});
}

TEST(OneRunAtATime, RunsStartedTogetherNeverMixTheirPairs)
{
    QTemporaryDir folder;
    const QStringList big = {"--count", "32766", "--type", "all", "--largest", "1000"};
    for (int round = 0; round < 5; ++round) {
        QProcess first, second;
        startProgram(first, SUMLARK_CLI_PATH, big + QStringList{"--seed", QString::number(2 * round)}, folder.path());
        startProgram(second, SUMLARK_CLI_PATH, big + QStringList{"--seed", QString::number(2 * round + 1)}, folder.path());
        const Finished a = finish(first), b = finish(second);
        EXPECT_TRUE(a.exit == 0 && b.exit == 0) << a.err.toStdString() << b.err.toStdString();
        ASSERT_TRUE(onePair(folder.path(), kQuestion, kAnswer)) << "round " << round;
    }
    EXPECT_EQ(everything(folder.path()), (QStringList{kAnswer, kQuestion}));
}

struct SignalRow {
    const char* name;
    int signal;
    int afterMoves = 1;       // files of the pair in place when it arrives
    bool pdf = false;
    bool endsTheRun = true;   // false: one the program ignores on purpose
    bool ignoredBefore = false; // by whoever started the program, which goes on ignoring it
};

class SignalsBetweenMoves : public ::testing::TestWithParam<SignalRow> {};

// A signal that lands between two moves of a pair (its PDFs included) waits
// for the last of them, then ends the run before it says anything more: the
// folder holds the whole new pair, no lock and no temporary file.
TEST_P(SignalsBetweenMoves, WaitForTheLastMoveThenEndTheRun)
{
    const SignalRow& row = GetParam();
    REQUIRE_FAULT(!QStandardPaths::findExecutable("strace").isEmpty(), "strace puts the signal between the moves");
    const QStringList pdf = row.pdf ? QStringList{"--pdf"} : QStringList{};
    QTemporaryDir folder, expected;
    cli(QStringList{"--seed", "1"} + pdf, folder.path());
    cli(QStringList{"--seed", "2"} + pdf, expected.path());
    const auto before = contents(folder.path());
    ASSERT_EQ(before.size(), row.pdf ? 4u : 2u);

    QProcess traced;
    startProgram(traced, "strace", withSlowMoves(SUMLARK_CLI_PATH, QStringList{"--seed", "2"} + pdf), folder.path(), [row] {
        const rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        if (row.ignoredBefore)
            std::signal(row.signal, SIG_IGN);
    });
    const pid_t run = tracee(traced.processId(), SUMLARK_CLI_PATH);
    ASSERT_TRUE(run > 0 && waitForMoves(folder.path(), before, row.afterMoves));
    ASSERT_EQ(::kill(run, row.signal), 0);
    const Finished finished = finish(traced);

    EXPECT_EQ(finished.out.contains("种子："), !row.endsTheRun) << finished.out.toStdString();
    EXPECT_EQ(everything(folder.path()), everything(expected.path()));
    for (const auto& [name, old] : before) {
        EXPECT_NE(readBytes(folder.filePath(name)), old) << name.toStdString();
        EXPECT_TRUE(!name.endsWith(".txt") || readBytes(folder.filePath(name)) == readBytes(expected.filePath(name))) << name.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Signals, SignalsBetweenMoves,
    ::testing::Values(SignalRow{"TerminalClosed", SIGHUP}, SignalRow{"CtrlC", SIGINT}, SignalRow{"CtrlBackslash", SIGQUIT},
                      SignalRow{"PipeClosed", SIGPIPE}, SignalRow{"Alarm", SIGALRM}, SignalRow{"Terminate", SIGTERM},
                      SignalRow{"User1", SIGUSR1}, SignalRow{"User2", SIGUSR2}, SignalRow{"CpuLimit", SIGXCPU},
                      SignalRow{"VirtualTimer", SIGVTALRM}, SignalRow{"ProfilingTimer", SIGPROF},
                      SignalRow{"PollEvent", SIGPOLL}, SignalRow{"PowerFailing", SIGPWR},
                      SignalRow{"FirstRealTime", SIGRTMIN}, SignalRow{"LastRealTime", SIGRTMAX},
                      SignalRow{"FileSizeLimitIgnored", SIGXFSZ, 1, false, false},
                      SignalRow{"CtrlCIgnoredByTheStarter", SIGINT, 1, false, false, true},
                      SignalRow{"CtrlBackslashBeforeThePdfs", SIGQUIT, 2, true},
                      SignalRow{"TerminateBetweenThePdfs", SIGTERM, 3, true}),
    [](const auto& info) { return std::string(info.param.name); });

struct DriveRow {
    const char* name;
    int signal;
    int leftBehind; // files that stand until the next run: a kill leaves its temporary file and the lock
};

class RemovableDrive : public ::testing::TestWithParam<DriveRow> {};

// Where temporary files have names, an interrupt while writing ends the run
// at once, keeps the earlier pair and removes the run's own temporary files
// and lock on its way out; those a kill left are removed by the next run, and
// one of a live process or of another program is never touched.
TEST_P(RemovableDrive, NoTemporaryFileOutlivesTheNextRun)
{
    const DriveRow& row = GetParam();
    QTemporaryDir scratch;
    const Undo unmount = mountExfatDrive(scratch.path());
    REQUIRE_FAULT(unmount, "an exFAT drive needs exfatprogs, exfat-fuse, a loop device and root");
    const auto undone = qScopeGuard(unmount);
    const QString drive = scratch.filePath("drive");
    cli({"--seed", "1"}, drive);
    const auto before = contents(drive);
    const QString live = "." + kQuestion + ".sumlark-" + QString::number(::getpid()) + "-0.tmp";
    const QString foreign = ".论文草稿.docx.999999-0.tmp"; // its writer gone
    ASSERT_TRUE(writeBytes(drive + "/" + live, "a live run's") && writeBytes(drive + "/" + foreign, "a draft"));

    QProcess interrupted;
    startProgram(interrupted, SUMLARK_CLI_PATH, {"--count", "32766", "--type", "all", "--largest", "1000", "--pdf"}, drive);
    QElapsedTimer waited;
    waited.start();
    while (everything(drive).filter(QRegularExpression("^\\..*\\.sumlark-.*-0\\.tmp$")).size() < 2 &&
           waited.elapsed() < 60'000)
        QThread::msleep(1);
    ASSERT_EQ(::kill(pid_t(interrupted.processId()), row.signal), 0);
    finish(interrupted);
    EXPECT_EQ(everything(drive).size(), before.size() + 2 + row.leftBehind) << everything(drive).join(' ').toStdString();
    for (const auto& [name, old] : before)
        EXPECT_EQ(readBytes(drive + "/" + name), old) << name.toStdString();

    const Finished next = cli({"--seed", "1"}, drive);
    EXPECT_EQ(next.exit, 0) << next.err.toStdString();
    QStringList kept{live, foreign, kAnswer, kQuestion};
    kept.sort();
    EXPECT_EQ(everything(drive), kept);
}

INSTANTIATE_TEST_SUITE_P(Faults, RemovableDrive,
                         ::testing::Values(DriveRow{"CtrlCWhileWriting", SIGINT, 0}, DriveRow{"TerminateWhileWriting", SIGTERM, 0},
                                           DriveRow{"KilledWhileWriting", SIGKILL, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

// The name is checked when the sheet is staged and taken when it is put in
// place: a link planted in between, by a user who may, must not lead the
// sheet into the file it points at.
TEST(PlantedLinks, ALinkPlantedAfterTheCheckChangesNothing)
{
    QTemporaryDir scratch;
    const QString shared = scratch.filePath("shared");
    const QString victim = scratch.filePath("victim.txt");
    ASSERT_TRUE(QDir().mkpath(shared) && ::chmod(QFile::encodeName(shared).constData(), 01777) == 0 &&
                writeBytes(victim, "老师自己的文件"));
    std::string reason;
    const auto folder = SheetFolder::open(shared, reason);
    ASSERT_TRUE(folder) << reason;
    const auto sheet = folder->stage("速算答题.txt", reason);
    ASSERT_TRUE(sheet) << reason;
    sheet->write("新的答题纸");
    const QByteArray link = QFile::encodeName(shared + "/" + kQuestion);
    ASSERT_EQ(::symlink(QFile::encodeName(victim).constData(), link.constData()), 0);
    REQUIRE_FAULT(::lchown(link.constData(), 54321, 54321) == 0, "only root can plant a link owned by another user");
    const FileStatus status = sheet->commit();
    // A writer that opened the name at this point would have followed the
    // link into the victim. Root may replace the link itself; anyone else is
    // told that the name is taken.
    EXPECT_EQ(readBytes(victim), "老师自己的文件");
    EXPECT_EQ(status.ok ? readBytes(shared + "/" + kQuestion) : QByteArray("link kept"),
              status.ok ? QByteArray("新的答题纸") : QByteArray(QFileInfo(shared + "/" + kQuestion).isSymLink() ? "link kept" : "gone"));
}

#ifdef SUMLARK_WINDOW_PATH
// The window program against a signal between the moves of a pair, started
// for real on an X server of its own: the offscreen platform has no threads
// of its own, an X11 session has (the event reader, D-Bus), and a signal
// that finds one of them unheld ends the program half way.

struct WindowRow {
    const char* name;
    int signal;
};

class WindowSignals : public ::testing::TestWithParam<WindowRow> {};

// 生成 pressed, the signal lands after the question sheet has moved: the
// window waits for the answer sheet, then ends, leaving the new pair whole.
TEST_P(WindowSignals, WaitForTheAnswerSheetThenEndTheWindow)
{
    REQUIRE_FAULT(!QStandardPaths::findExecutable("strace").isEmpty() &&
                      !QStandardPaths::findExecutable("Xvfb").isEmpty() &&
                      !QStandardPaths::findExecutable("xdotool").isEmpty(),
                  "strace, Xvfb and xdotool run the window and put the signal between the moves");
    // A copy outside /usr writes its sheets beside itself.
    QTemporaryDir folder;
    const QString program = folder.filePath("sumlark");
    ASSERT_TRUE(QFile::copy(SUMLARK_WINDOW_PATH, program));
    ASSERT_TRUE(writeBytes(folder.filePath(kQuestion), "上周的答题纸\r\n") &&
                writeBytes(folder.filePath(kAnswer), "上周的答案纸\r\n"));
    const auto before = contents(folder.path());
    // An X server of the test's own, ended the way that lets it clean up.
    QProcess x;
    x.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp"});
    const auto stopX = qScopeGuard([&x] { x.terminate(), x.waitForFinished(); });
    ASSERT_TRUE(x.waitForReadyRead(10'000));
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", ":" + QString::fromUtf8(x.readLine().trimmed()));
    environment.insert("QT_QPA_PLATFORM", "xcb");
    // The system's X keyboard library reads a string past its end as the
    // strict checks count it; not the program's fault.
    environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS").replace("strict_string_checks=1", ""));

    QProcess window, keys;
    window.setProcessEnvironment(environment);
    window.setWorkingDirectory(folder.path());
    window.start("strace", withSlowMoves(program, {}));
    keys.setProcessEnvironment(environment);
    // Focus starts in the first list; Tab reaches the chosen format, then 生成.
    keys.start("xdotool", {"search", "--sync", "--onlyvisible", "--name", "Sumlark-Tavrel", "key", "Tab", "Tab", "Return"});
    ASSERT_TRUE(keys.waitForFinished(30'000) && keys.exitCode() == 0) << "the window did not show";
    const pid_t run = tracee(window.processId(), program);
    ASSERT_TRUE(run > 0 && waitForMoves(folder.path(), before, 1));
    ASSERT_EQ(::kill(run, GetParam().signal), 0);

    EXPECT_TRUE(window.waitForFinished(30'000));
    EXPECT_TRUE(onePair(folder.path(), kQuestion, kAnswer)) << readBytes(folder.filePath(kAnswer)).toStdString();
    EXPECT_EQ(everything(folder.path()), (QStringList{"sumlark", kAnswer, kQuestion}));
}

INSTANTIATE_TEST_SUITE_P(Signals, WindowSignals,
                         ::testing::Values(WindowRow{"LogOut", SIGTERM}, WindowRow{"TerminalClosed", SIGHUP},
                                           WindowRow{"CtrlC", SIGINT}, WindowRow{"CtrlBackslash", SIGQUIT},
                                           WindowRow{"User1", SIGUSR1}),
                         [](const auto& info) { return std::string(info.param.name); });
#endif

} // namespace
} // namespace sumlark::testing
