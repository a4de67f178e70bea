// Real sheet files when the disk or the folder says no. Whatever fails, the
// user is told which sheet and why, a sheet that could not be written keeps
// what it held before, and the other sheet is written whole.

#include "FileRunServices.h"
#include "GenerateSheets.h"
#include "OsFaults.h"
#include "ScriptedServices.h"
#include "SheetLayout.h"
#include "SheetText.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace sumlark {
namespace {

constexpr std::uint64_t kSeed = 2024;
const QByteArray kOldQuestions = QStringEncoder("GBK").encode(u"上周的答题纸");
const QByteArray kOldAnswers = QStringEncoder("GBK").encode(u"上周的答案纸");

// Real files in GBK, with the run's editor launches and messages recorded.
class RecordingFileServices : public FileRunServices {
public:
    RecordingFileServices() : FileRunServices("GBK") { script.useSeededRandom = true; }

    std::unique_ptr<RandomSource> randomSource(std::uint64_t seed) override { return script.randomSource(seed); }
    bool startEditor(const std::string& path) override { return script.startEditor(path); }
    void showMessage(const std::string& title, const std::string& text) override { script.showMessage(title, text); }

    testing::ScriptedServices script;
};

// Enough problems that the answer sheet is well over a page larger than the
// question sheet.
WorksheetSettings manyProblems()
{
    WorksheetSettings settings;
    settings.problemType = ProblemType::AllFour;
    settings.typeText = std::string(problemTypeText(settings.problemType));
    settings.countText = "2000";
    settings.perLineText = "5";
    settings.smallestText = "1";
    settings.largestText = "100";
    settings.numbered = true;
    settings.writeAnswers = true;
    settings.allowRemainder = true;
    settings.openWhenDone = true;
    return settings;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return file.readAll();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

std::string utf8FromGbk(const QByteArray& bytes)
{
    QStringDecoder decoder("GBK");
    const QString text = decoder.decode(bytes);
    return text.toStdString();
}

enum class Sheet { Question, Answer };

class SheetFaults : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(scratch.isValid()); }

    // The folder the run writes into; a test may mount over it first.
    QString folder() const { return scratch.filePath("sheets"); }
    QString sheet(Sheet which) const
    {
        return QString::fromStdString(
            sheetPath(folder().toStdString(), which == Sheet::Question ? kQuestionSheetName : kAnswerSheetName));
    }

    void makeFolderWithOldSheets()
    {
        ASSERT_TRUE(QDir().mkpath(folder()));
        ASSERT_TRUE(writeFile(sheet(Sheet::Question), kOldQuestions));
        ASSERT_TRUE(writeFile(sheet(Sheet::Answer), kOldAnswers));
    }

    RunResult run(const WorksheetSettings& settings = manyProblems())
    {
        return generateSheets(settings, folder().toStdString(), services, RunOptions{kSeed});
    }

    // The one message of a failed run, which names every failed sheet with
    // its path and a reason, and no sheet that was written.
    void expectFailureMessage(std::initializer_list<Sheet> failed, std::string_view reasonPart)
    {
        ASSERT_EQ(services.script.messages.size(), 1u);
        const auto& [title, text] = services.script.messages[0];
        EXPECT_EQ(title, "保存失败");
        for (const Sheet which : {Sheet::Question, Sheet::Answer}) {
            const bool didFail = std::find(failed.begin(), failed.end(), which) != failed.end();
            const std::string named = which == Sheet::Question ? "答题纸没有保存成功" : "答案纸没有保存成功";
            EXPECT_EQ(text.find(named) != std::string::npos, didFail) << text;
            if (didFail) {
                EXPECT_NE(text.find("文件：" + sheet(which).toStdString()), std::string::npos) << text;
            }
        }
        EXPECT_NE(text.find(reasonPart), std::string::npos) << text;
    }

    // A written sheet is the whole sheet: header, every problem, footer.
    void expectWholeSheet(Sheet which, int problems)
    {
        const std::string text = utf8FromGbk(readFile(sheet(which)));
        EXPECT_TRUE(text.starts_with(which == Sheet::Question ? "--------答*题*纸" : "--------答@案@纸"));
        EXPECT_TRUE(text.ends_with(std::string(kCreditLine) + "\r\n"));
        EXPECT_EQ(testing::allCells(text).size(), static_cast<std::size_t>(problems));
    }

    // No temporary file of the save is left behind.
    void expectOnlyEntries(QStringList names)
    {
        auto entries = QDir(folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        entries.sort();
        names.sort();
        EXPECT_EQ(entries, names) << entries.join(", ").toStdString();
    }

    QTemporaryDir scratch;
    RecordingFileServices services;
};

const QString kQuestionName = QString::fromUtf8(kQuestionSheetName.data(), qsizetype(kQuestionSheetName.size()));
const QString kAnswerName = QString::fromUtf8(kAnswerSheetName.data(), qsizetype(kAnswerSheetName.size()));

TEST_F(SheetFaults, FolderNotWritableKeepsBothEarlierSheets)
{
    makeFolderWithOldSheets();
    faults::WriteLock lock(folder().toStdString());
    if (!lock.holds())
        GTEST_SKIP() << lock.whyNot();

    const auto result = run();

    EXPECT_FALSE(result.question.written);
    EXPECT_FALSE(result.answer.written);
    EXPECT_FALSE(result.question.reason.empty());
    EXPECT_EQ(readFile(sheet(Sheet::Question)), kOldQuestions);
    EXPECT_EQ(readFile(sheet(Sheet::Answer)), kOldAnswers);
    EXPECT_TRUE(services.script.launches.empty());
    expectFailureMessage({Sheet::Question, Sheet::Answer}, "原因：");
    expectOnlyEntries({kAnswerName, kQuestionName});
}

class FolderInTheWay : public SheetFaults, public ::testing::WithParamInterface<Sheet> {};

TEST_P(FolderInTheWay, ThatSheetFailsTheOtherIsWritten)
{
    makeFolderWithOldSheets();
    const Sheet blocked = GetParam();
    const Sheet other = blocked == Sheet::Question ? Sheet::Answer : Sheet::Question;
    ASSERT_TRUE(QFile::remove(sheet(blocked)));
    ASSERT_TRUE(QDir().mkpath(sheet(blocked)));
    const QString inside = sheet(blocked) + "/kept.txt";
    ASSERT_TRUE(writeFile(inside, "a file the folder holds"));

    const auto result = run();

    EXPECT_FALSE((blocked == Sheet::Question ? result.question : result.answer).written);
    EXPECT_TRUE((blocked == Sheet::Question ? result.answer : result.question).written);
    EXPECT_TRUE(QFileInfo(sheet(blocked)).isDir());
    EXPECT_EQ(readFile(inside), "a file the folder holds");
    expectWholeSheet(other, 2000);
    expectFailureMessage({blocked}, "同名的文件夹占用了这个位置");
    EXPECT_EQ(services.script.launches, std::vector<std::string>{sheet(other).toStdString()});
    expectOnlyEntries({kAnswerName, kQuestionName});
}

INSTANTIATE_TEST_SUITE_P(Sheets, FolderInTheWay, ::testing::Values(Sheet::Question, Sheet::Answer),
                         [](const auto& info) { return info.param == Sheet::Question ? "Question" : "Answer"; });

TEST_F(SheetFaults, ReadOnlySheetIsKeptAndSaidToBeReadOnly)
{
    makeFolderWithOldSheets();
    faults::WriteLock lock(sheet(Sheet::Question).toStdString());
    if (!lock.holds())
        GTEST_SKIP() << lock.whyNot();

    const auto result = run();

    EXPECT_FALSE(result.question.written);
    EXPECT_TRUE(result.answer.written);
    EXPECT_EQ(readFile(sheet(Sheet::Question)), kOldQuestions);
    expectWholeSheet(Sheet::Answer, 2000);
    expectFailureMessage({Sheet::Question}, "只读");
    expectOnlyEntries({kAnswerName, kQuestionName});
}

// The sizes of both sheets of manyProblems(), from a run on the real disk;
// the same seed makes the same sheets.
std::pair<qint64, qint64> sheetSizes()
{
    QTemporaryDir dir;
    RecordingFileServices sizing;
    generateSheets(manyProblems(), dir.path().toStdString(), sizing, RunOptions{kSeed});
    const auto size = [&](std::string_view name) {
        return QFileInfo(QString::fromStdString(sheetPath(dir.path().toStdString(), name))).size();
    };
    return {size(kQuestionSheetName), size(kAnswerSheetName)};
}

TEST_F(SheetFaults, DiskFillingUpAfterTheQuestionSheetKeepsTheOldAnswers)
{
    const auto [questionBytes, answerBytes] = sheetSizes();
    ASSERT_GT(answerBytes, questionBytes + 3 * 4096) << "the sheets are too close in size for the disk to split them";
    ASSERT_TRUE(QDir().mkpath(folder()));
    faults::SmallDisk disk(folder().toStdString(), 512 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << disk.whyNot();
    ASSERT_TRUE(writeFile(sheet(Sheet::Answer), kOldAnswers));
    // Leave room for the new question sheet and a page to spare, not for the
    // answer sheet.
    const qint64 room = (questionBytes / 4096 + 2) * 4096;
    const QString filler = folder() + "/filler";
    ASSERT_TRUE(writeFile(filler, QByteArray(disk.freeBytes() - room, '\0')));
    ASSERT_LE(disk.freeBytes(), room);

    const auto result = run();

    EXPECT_TRUE(result.question.written);
    EXPECT_FALSE(result.answer.written);
    expectWholeSheet(Sheet::Question, 2000);
    EXPECT_EQ(readFile(sheet(Sheet::Answer)), kOldAnswers);
    expectFailureMessage({Sheet::Answer}, "磁盘");
    EXPECT_EQ(services.script.launches, std::vector<std::string>{sheet(Sheet::Question).toStdString()});
    expectOnlyEntries({"filler", kAnswerName, kQuestionName});
}

TEST_F(SheetFaults, FileSizeCapStopsTheAnswerSheetPartWay)
{
    const auto [questionBytes, answerBytes] = sheetSizes();
    makeFolderWithOldSheets();
    bool capHeld = false;
    RunResult result;
    {
        // Between the two sizes: the question sheet fits, the answer sheet
        // is cut off in the middle.
        faults::FileSizeCap cap((questionBytes + answerBytes) / 2);
        capHeld = cap.holds();
        if (capHeld)
            result = run();
    }
    if (!capHeld)
        GTEST_SKIP() << "the file size limit could not be set";

    EXPECT_TRUE(result.question.written);
    EXPECT_FALSE(result.answer.written);
    expectWholeSheet(Sheet::Question, 2000);
    EXPECT_EQ(readFile(sheet(Sheet::Answer)), kOldAnswers);
    expectFailureMessage({Sheet::Answer}, "磁盘");
    expectOnlyEntries({kAnswerName, kQuestionName});
}

} // namespace
} // namespace sumlark
