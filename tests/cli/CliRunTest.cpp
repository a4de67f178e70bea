#include "CliRun.h"
#include "CliTestFiles.h"
#include "FileRunServices.h"
#include "GenerateSheets.h"
#include "RunPlan.h"
#include "SeededRandom.h"
#include "SheetLayout.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>

namespace sumlark::cli {
namespace {

using testing::readBytes;

struct Outcome {
    int exit = -1;
    std::string out;
    std::string err;
};

Outcome run(std::vector<std::string> arguments, const QString& folder)
{
    arguments.push_back("--out");
    arguments.push_back(folder.toStdString());
    const auto line = parseCommandLine(arguments);
    EXPECT_EQ(line.action, CommandLine::Action::Run) << line.error;
    std::ostringstream out;
    std::ostringstream err;
    Outcome outcome;
    outcome.exit = runCli(line.options, out, err);
    outcome.out = out.str();
    outcome.err = err.str();
    return outcome;
}

std::string in(const QString& folder, std::string_view name)
{
    return sheetPath(QDir::toNativeSeparators(folder).toStdString(), name);
}

// The window's file service with its editor and message box standing still.
class WindowServices final : public FileRunServices {
public:
    using FileRunServices::FileRunServices;
    bool startEditor(const std::string&) override { return true; }
    void showMessage(const std::string&, const std::string&) override {}
};

class CliRun : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(one.isValid() && two.isValid()); }

    QTemporaryDir one;
    QTemporaryDir two;
};

TEST_F(CliRun, SameSeedSameBytesOtherSeedOtherSheets)
{
    const std::vector<std::string> arguments = {"--type", "all", "--count", "200", "--numbered", "--remainder",
                                                "--largest", "100", "--encoding", "GBK"};
    auto withSeed = [&](const char* seed) {
        auto all = arguments;
        all.insert(all.end(), {"--seed", seed});
        return all;
    };
    ASSERT_EQ(run(withSeed("77"), one.path()).exit, kDone);
    ASSERT_EQ(run(withSeed("77"), two.path()).exit, kDone);
    for (const auto name : {kQuestionSheetName, kAnswerSheetName})
        EXPECT_EQ(readBytes(in(one.path(), name)), readBytes(in(two.path(), name))) << name;

    ASSERT_EQ(run(withSeed("78"), two.path()).exit, kDone);
    EXPECT_NE(readBytes(in(one.path(), kQuestionSheetName)), readBytes(in(two.path(), kQuestionSheetName)));
}

TEST_F(CliRun, ClockSeedIsPrintedAndMakesTheSheetsAgain)
{
    const auto first = run({}, one.path());
    ASSERT_EQ(first.exit, kDone);
    const auto at = first.out.find("种子：");
    ASSERT_NE(at, std::string::npos) << first.out;
    const std::string seed = first.out.substr(at + std::string_view("种子：").size(),
                                              first.out.find('\n', at) - at - std::string_view("种子：").size());
    ASSERT_EQ(run({"--seed", seed}, two.path()).exit, kDone);
    EXPECT_EQ(readBytes(in(one.path(), kAnswerSheetName)), readBytes(in(two.path(), kAnswerSheetName)));
    EXPECT_NE(first.out.find("已写入：" + in(one.path(), kQuestionSheetName)), std::string::npos) << first.out;
}

// One seed's sheets kept as they were made: the generator is defined by its
// algorithm, so they must come out the same with any compiler anywhere.
TEST_F(CliRun, GoldenSheetsOfOneSeed)
{
    ASSERT_EQ(run({"--seed", "20240901", "--type", "all", "--remainder", "--numbered", "--count", "24",
                   "--per-line", "4", "--largest", "50", "--encoding", "UTF-8"},
                  one.path())
                  .exit,
              kDone);
    EXPECT_EQ(readBytes(in(one.path(), kQuestionSheetName)), readBytes(testing::goldenPath("seed-20240901-question.txt")));
    EXPECT_EQ(readBytes(in(one.path(), kAnswerSheetName)), readBytes(testing::goldenPath("seed-20240901-answer.txt")));
}

struct WindowRow {
    const char* name;
    std::vector<std::string> arguments;
    ProblemType type;
    const char* smallest;
    const char* largest;
    const char* count;
    const char* perLine;
    bool numbered;
    bool writeAnswers;
    bool allowRemainder;
};

class WindowAndCommandLine : public CliRun, public ::testing::WithParamInterface<WindowRow> {};

TEST_P(WindowAndCommandLine, GiveTheSameBytesForTheSameSeed)
{
    const auto& row = GetParam();
    WorksheetSettings window;
    window.problemType = row.type;
    window.typeText = std::string(problemTypeText(row.type));
    window.smallestText = row.smallest;
    window.largestText = row.largest;
    window.countText = row.count;
    window.perLineText = row.perLine;
    window.numbered = row.numbered;
    window.writeAnswers = row.writeAnswers;
    window.allowRemainder = row.allowRemainder;
    WindowServices services("GBK");
    const auto result = generateSheets(window, QDir::toNativeSeparators(one.path()).toStdString(), services,
                                       RunOptions{31337});
    ASSERT_TRUE(result.question.written && result.answer.written);

    auto arguments = row.arguments;
    arguments.insert(arguments.end(), {"--seed", "31337", "--encoding", "GBK"});
    ASSERT_EQ(run(arguments, two.path()).exit, kDone);
    for (const auto name : {kQuestionSheetName, kAnswerSheetName}) {
        const auto bytes = readBytes(in(one.path(), name));
        EXPECT_GT(bytes.size(), 100);
        EXPECT_EQ(bytes, readBytes(in(two.path(), name))) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Settings, WindowAndCommandLine,
    ::testing::Values(WindowRow{"Defaults", {}, ProblemType::Addition, "1", "10", "10", "5", false, true, false},
                      WindowRow{"NumberedMixWithRemainders",
                                {"--type", "7", "--largest", "1000", "--count", "500", "--per-line", "8", "--numbered",
                                 "--remainder"},
                                ProblemType::AllFour, "1", "1000", "500", "8", true, true, true},
                      WindowRow{"TypedTextsWithoutAnswers",
                                {"--type", "mul-div", "--smallest", "50", "--largest", "10", "--count", "10.5",
                                 "--per-line", "abc", "--no-answers"},
                                ProblemType::MultiplicationDivision, "50", "10", "10.5", "abc", false, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliRun, SeveralSheetsEachWithItsOwnSeedAndNumber)
{
    const auto outcome = run({"--sheets", "3", "--seed", "5", "--count", "30", "--type", "add-sub"}, one.path());
    ASSERT_EQ(outcome.exit, kDone) << outcome.err;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(in(one.path(), kQuestionSheetName))));
    std::vector<QByteArray> questions;
    for (int number = 1; number <= 3; ++number) {
        const std::string tag = "0" + std::to_string(number);
        const std::uint64_t seed = deriveSeed(5, std::uint64_t(number));
        EXPECT_NE(outcome.out.find("第 " + tag + " 份的种子：" + std::to_string(seed)), std::string::npos)
            << outcome.out;
        // Each pair is the single run of its own seed, under numbered names.
        ASSERT_EQ(run({"--seed", std::to_string(seed), "--count", "30", "--type", "add-sub"}, two.path()).exit, kDone);
        EXPECT_EQ(readBytes(in(one.path(), "速算答题-" + tag + ".txt")), readBytes(in(two.path(), kQuestionSheetName)));
        EXPECT_EQ(readBytes(in(one.path(), "速算答题-" + tag + "-答案.txt")), readBytes(in(two.path(), kAnswerSheetName)));
        questions.push_back(readBytes(in(one.path(), "速算答题-" + tag + ".txt")));
    }
    EXPECT_NE(questions[0], questions[1]);
    EXPECT_NE(questions[1], questions[2]);
    EXPECT_EQ(pairSeed(5, 1, 1), 5u);
    EXPECT_EQ(sheetTag(1, 1), "");
    EXPECT_EQ(sheetTag(42, 99), "42");
}

TEST_F(CliRun, RefusedSettingsGiveTheWindowsReasonAndWriteNothing)
{
    const QString folder = one.path() + "/新文件夹";
    const auto outcome = run({"--smallest", "500", "--largest", "500", "--sheets", "4"}, folder);
    EXPECT_EQ(outcome.exit, kUsageOrRefused);
    WorksheetSettings window;
    window.smallestText = "500";
    window.largestText = "500";
    EXPECT_EQ(outcome.err, planRun(window).refusal.text + "\n");
    EXPECT_EQ(outcome.out, "");
    EXPECT_FALSE(QDir(folder).exists());
}

TEST_F(CliRun, SheetThatCannotBeWrittenIsNamedWithItsReason)
{
    ASSERT_TRUE(QDir(one.path()).mkdir(QString::fromStdString(std::string(kAnswerSheetName))));
    const auto outcome = run({"--seed", "3"}, one.path());
    EXPECT_EQ(outcome.exit, kWriteFailed);
    EXPECT_NE(outcome.err.find("答案纸没有保存成功，原来的文件内容保持不变。\n文件：" + in(one.path(), kAnswerSheetName) +
                               "\n原因：同名的文件夹占用了这个位置"),
              std::string::npos)
        << outcome.err;
    EXPECT_NE(outcome.out.find("已写入：" + in(one.path(), kQuestionSheetName)), std::string::npos);
    EXPECT_NE(outcome.out.find("种子：3"), std::string::npos);
}

TEST_F(CliRun, PdfThatCannotBeWrittenIsNamedToo)
{
    ASSERT_TRUE(QDir(one.path()).mkdir("速算答题.pdf"));
    const auto outcome = run({"--seed", "3", "--pdf"}, one.path());
    EXPECT_EQ(outcome.exit, kWriteFailed);
    EXPECT_NE(outcome.err.find("PDF 答题纸没有保存成功"), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.out.find("已写入：" + in(one.path(), "速算答题-答案.pdf")), std::string::npos) << outcome.out;
}

} // namespace
} // namespace sumlark::cli
