// Real sheet files when the disk or the folder says no. Whatever fails, the
// user is told which sheet, where and why; a sheet that could not be written
// keeps what it held before, and the other sheet is written whole.
//
// The faults must hold for the superuser too, since CI runs the suites as
// root, whom file permissions do not bind: a lock is the immutable attribute
// where the file system allows it; a full disk is a small tmpfs, and a disk
// that stops taking data part-way is also the file size limit, which binds
// every user.

#include "RealFaults.h"
#include "RecordingFileServices.h"
#include "RunWords.h"
#include "SheetLayout.h"

#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

namespace sumlark::testing {
namespace {

const QByteArray kOldSheets[] = {"上周的答题纸", "上周的答案纸"};

// Sheets of some size; the answer sheet, its results added, is the longer
// by most of a kilobyte, so that a cap on file sizes can fall between them.
OneRun run(const QString& folder)
{
    auto settings = settingsFor(ProblemType::AllFour, "1", "100", "2000");
    settings.openWhenDone = true;
    RecordingFileServices services;
    return runOne(settings, folder.toStdString(), services, 2024);
}

QString sheetIn(const QString& folder, int sheet)
{
    return folder + (sheet == 0 ? "/速算答题.txt" : "/速算答题-答案.txt");
}

// The sizes of both sheets, from the same run on the real disk, and the
// earlier sheets put back.
std::pair<qint64, qint64> sizesThenOldSheets(const QString& folder)
{
    run(folder);
    const std::pair sizes{QFileInfo(sheetIn(folder, 0)).size(), QFileInfo(sheetIn(folder, 1)).size()};
    return writeBytes(sheetIn(folder, 0), kOldSheets[0]) && writeBytes(sheetIn(folder, 1), kOldSheets[1])
               ? sizes
               : std::pair<qint64, qint64>{};
}

// A cap on the size of every file the process writes, between the two
// sizes, lets the question sheet fit and cuts the answer sheet off part-way.
Undo fillUpPartWay(const QString& folder)
{
    const auto [question, answer] = sizesThenOldSheets(folder);
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit capped = previous;
    capped.rlim_cur = rlim_t((question + answer) / 2);
    if (question == 0 || ::setrlimit(RLIMIT_FSIZE, &capped) != 0)
        return {};
    // Past the cap the kernel sends SIGXFSZ, which ends a process unless
    // it is ignored: the file service ignores it itself.
    std::signal(SIGXFSZ, SIG_DFL);
    return [previous] { ::setrlimit(RLIMIT_FSIZE, &previous); };
}

// A tmpfs over the folder with the earlier sheets in it and room for
// nothing, or for the question sheet and the run's lock.
template <bool roomForTheQuestionSheet>
Undo smallDisk(const QString& folder)
{
    const qint64 room = roomForTheQuestionSheet ? pages(sizesThenOldSheets(folder).first) + 4096 : 0;
    const Undo unmount = mountSmallDisk(folder, room + 65536);
    if (unmount && writeBytes(sheetIn(folder, 0), kOldSheets[0]) && writeBytes(sheetIn(folder, 1), kOldSheets[1]) &&
        fillLeaving(folder, room))
        return unmount;
    if (unmount)
        unmount();
    return {};
}

enum Target { Folder, QuestionSheet };

struct Fault {
    const char* name;
    Undo (*make)(const QString& target);
    Target target;
    bool fails[2]; // question, answer
    const char* reason;
};

class SheetFaults : public ::testing::TestWithParam<Fault> {};

TEST_P(SheetFaults, NamedWithPathKeepsEarlierTextAndWritesTheOtherSheet)
{
    const Fault& fault = GetParam();
    QTemporaryDir scratch;
    const QString folder = scratch.filePath("sheets");
    const QString sheets[] = {sheetIn(folder, 0), sheetIn(folder, 1)};
    ASSERT_TRUE(QDir().mkpath(folder) && writeBytes(sheets[0], kOldSheets[0]) && writeBytes(sheets[1], kOldSheets[1]));
    const Undo undo = fault.make(fault.target == Folder ? folder : sheets[fault.target - 1]);
    REQUIRE_FAULT(undo, "this user cannot make the fault on this file system");
    const auto undone = undoAtEnd(undo);
    const OneRun result = run(folder);

    const std::string text = wording::failuresText(result.report);
    EXPECT_NE(text.find(fault.reason), std::string::npos) << text;
    for (int i : {0, 1}) {
        const std::string path = sheets[i].toStdString();
        EXPECT_EQ((i == 0 ? result.question : result.answer).written, !fault.fails[i]) << path;
        EXPECT_EQ(text.find(i == 0 ? "答题纸没有保存成功" : "答案纸没有保存成功") != std::string::npos, fault.fails[i]);
        EXPECT_EQ(text.find("文件：" + path) != std::string::npos, fault.fails[i]) << text;
        if (fault.fails[i]) {
            EXPECT_EQ(readBytes(sheets[i]), kOldSheets[i]);
            continue;
        }
        const std::string written = readBytes(sheets[i]).toStdString();
        EXPECT_TRUE(written.starts_with(i == 0 ? "--------答*题*纸" : "--------答@案@纸") &&
                    written.ends_with(std::string(kCreditLine) + "\r\n"))
            << written;
        EXPECT_EQ(allCells(written).size(), 2000u) << path;
    }
    // No temporary file of a save is left behind, nor the run's lock.
    QStringList left = everything(folder);
    left.removeAll("filler");
    EXPECT_EQ(left.size(), 2) << left.join(" ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SheetFaults,
    ::testing::Values(
        Fault{"FolderLocked", lock, Folder, {true, true}, "不可写"},
        Fault{"QuestionSheetReadOnly", lock, QuestionSheet, {true, false}, "只读"},
        Fault{"FileSizeLimitPartWay", fillUpPartWay, Folder, {false, true}, "文件超过了允许的大小"},
        Fault{"DiskFull", smallDisk<false>, Folder, {true, true}, "磁盘空间不足"},
        Fault{"DiskFillsAfterQuestionSheet", smallDisk<true>, Folder, {false, true}, "磁盘空间不足"}),
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
    const QByteArray link = QFile::encodeName(sheetIn(shared, 0));
    ASSERT_EQ(::symlink(QFile::encodeName(victim).constData(), link.constData()), 0);
    REQUIRE_FAULT(::lchown(link.constData(), 54321, 54321) == 0, "only root can plant a link owned by another user");
    const FileStatus status = sheet->commit();
    // A writer that opened the name at this point would have followed the
    // link into the victim. Root may replace the link itself; anyone else is
    // told that the name is taken.
    EXPECT_EQ(readBytes(victim), "老师自己的文件");
    EXPECT_EQ(status.ok ? readBytes(sheetIn(shared, 0)) : QByteArray("link kept"),
              status.ok ? QByteArray("新的答题纸") : QByteArray(QFileInfo(sheetIn(shared, 0)).isSymLink() ? "link kept" : "gone"));
}

} // namespace
} // namespace sumlark::testing
