#include "GenerateSheets.h"
#include "ScriptedServices.h"
#include "SheetLayout.h"
#include "SheetText.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace sumlark {
namespace {

using testing::Attempt;
using testing::ScriptedServices;

const std::string kFolder = "/sheets";
const std::string kQuestionPath = kFolder + kPathSeparator + "速算答题.txt";
const std::string kAnswerPath = kFolder + kPathSeparator + "速算答题-答案.txt";

std::string joinLines(std::initializer_list<std::string> lines)
{
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

std::string footerLines(int made, const std::string& type, const std::string& smallest, const std::string& largest)
{
    const std::string dashes(78, '-');
    return joinLines({"", dashes,
                      "Sumlark总共生成：" + std::to_string(made) + " 题，题型：" + type + " 出数范围：" + smallest +
                          " 到 " + largest,
                      dashes, std::string(kCreditLine)});
}

WorksheetSettings settingsFor(ProblemType type, const char* smallest, const char* largest, const char* count,
                              const char* perLine)
{
    WorksheetSettings settings;
    settings.problemType = type;
    settings.typeText = std::string(problemTypeText(type));
    settings.smallestText = smallest;
    settings.largestText = largest;
    settings.countText = count;
    settings.perLineText = perLine;
    settings.openWhenDone = false;
    return settings;
}

// Runs with the engine's own generator, so only the shape is predictable.
RunResult seededRun(const WorksheetSettings& settings, ScriptedServices& services, std::uint64_t seed = 7)
{
    services.useSeededRandom = true;
    return generateSheets(settings, kFolder, services, RunOptions{seed});
}

TEST(SheetLayoutExample, AdditionOneToTwentyFiveProblemsThreeALine)
{
    auto settings = settingsFor(ProblemType::Addition, "1", "20", "5", "3");
    settings.numbered = true;
    ScriptedServices services;
    // 15 + 9 exceeds 20 and is drawn again for the same number.
    services.scriptAll({{1, 3, 12}, {5, 15, 9}, {2, 7, 5}, {12, 10, 9}, {3, 2, 6}, {9, 11, 8}}, 1, 20);

    const auto result = generateSheets(settings, kFolder, services);

    EXPECT_EQ(result.problemsMade, 5);
    EXPECT_EQ(services.randomsTaken, 18u);
    const std::string footer = footerLines(5, "加法(＋)", "1", "20");
    EXPECT_EQ(services.files.at(kQuestionPath),
              joinLines({"--------答*题*纸-----题数(5)----类型(加法(＋))----",
                         "01) 3＋12=    02) 7＋5=     03) 10＋9=",
                         "04) 2＋6=     05) 11＋8=    "}) +
                  footer.substr(2));
    EXPECT_EQ(services.files.at(kAnswerPath),
              joinLines({"--------答@案@纸-----题数(5)----类型(加法(＋))----",
                         "01) 3＋12=15  02) 7＋5=12   03) 10＋9=19",
                         "04) 2＋6=8    05) 11＋8=19  "}) +
                  footer.substr(2));
    for (const auto& path : {kQuestionPath, kAnswerPath}) {
        std::vector<int> columns;
        for (const auto& cell : testing::allCells(services.files.at(path)))
            columns.push_back(cell.column);
        EXPECT_EQ(columns, (std::vector<int>{1, 15, 29, 1, 15})) << path;
    }
}

struct ExampleRow {
    const char* name;
    ProblemType type;
    const char* largest;
    bool allowRemainder;
    std::vector<Attempt> attempts; // rejected ones first; the last is accepted
    const char* question;
    const char* answer;
};

class WorkedExamples : public ::testing::TestWithParam<ExampleRow> {};

// Each example as a one-problem run: a rejected draw leaves no trace, the
// accepted one is the sheet's only cell.
TEST_P(WorkedExamples, OneProblemSheets)
{
    const auto& row = GetParam();
    auto settings = settingsFor(row.type, "1", row.largest, "1", "1");
    settings.allowRemainder = row.allowRemainder;
    ScriptedServices services;
    services.scriptAll(row.attempts, 1, std::stod(row.largest));

    generateSheets(settings, kFolder, services);

    EXPECT_EQ(services.randomsTaken, 3 * row.attempts.size());
    const std::string type(problemTypeText(row.type));
    const std::string footer = footerLines(1, type, "1", row.largest);
    EXPECT_EQ(services.files.at(kQuestionPath),
              joinLines({"--------答*题*纸-----题数(1)----类型(" + type + ")----", row.question}) + footer);
    EXPECT_EQ(services.files.at(kAnswerPath),
              joinLines({"--------答@案@纸-----题数(1)----类型(" + type + ")----", row.answer}) + footer);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, WorkedExamples,
    ::testing::Values(
        ExampleRow{"AdditionWithinLimit", ProblemType::Addition, "100", false, {{1, 35, 48}}, "35＋48=", "35＋48=83"},
        ExampleRow{"AdditionEqualToLimit", ProblemType::Addition, "100", false, {{1, 60, 40}}, "60＋40=", "60＋40=100"},
        ExampleRow{"AdditionOverLimitDrawnAgain", ProblemType::Addition, "50", false, {{1, 35, 48}, {1, 20, 5}},
                   "20＋5=", "20＋5=25"},
        ExampleRow{"SubtractionLargerFirst", ProblemType::Subtraction, "30", false, {{1, 12, 30}}, "30－12=",
                   "30－12=18"},
        ExampleRow{"MultiplicationBelowTenTimes", ProblemType::Multiplication, "10", false, {{1, 9, 10}}, "9×10=",
                   "9×10=90"},
        ExampleRow{"MultiplicationAtTenTimesDrawnAgain", ProblemType::Multiplication, "10", false,
                   {{1, 10, 10}, {1, 3, 4}}, "3×4=", "3×4=12"},
        ExampleRow{"DivisionUnevenDrawnAgain", ProblemType::Division, "50", false, {{1, 6, 47}, {1, 48, 6}}, "48÷6=",
                   "48÷6=8"},
        ExampleRow{"DivisionWithRemainder", ProblemType::Division, "50", true, {{1, 6, 47}}, "47÷6=", "47÷6=7...5"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LineRule, CellsMoveToTheNextPrintZoneWithAtLeastOneSpace)
{
    struct Case {
        std::string cell;
        std::size_t spaces;
    };
    // Ten columns, exactly fourteen, twenty; the sign counts as two.
    for (const auto& [cell, spaces] : {Case{"01) 3＋12=", 4}, Case{"0001) 123＋45=", 14}, Case{"0001) 1234×567=8000", 8}}) {
        std::string sheet;
        ProblemLines lines(sheet, 8);
        lines.add(cell, 1);
        EXPECT_EQ(sheet, cell + std::string(spaces, ' ')) << cell;
    }
}

TEST(EmptySheets, CountsBelowOneMakeHeaderAndFooterOnly)
{
    for (const char* count : {"0", "-3", "0.5", "-0"}) {
        ScriptedServices services;
        const auto settings = settingsFor(ProblemType::Addition, "1", "10", count, "5");
        generateSheets(settings, kFolder, services);
        const std::string type = "加法(＋)";
        EXPECT_EQ(services.files.at(kQuestionPath),
                  joinLines({"--------答*题*纸-----题数(" + std::string(count) + ")----类型(" + type + ")----"}) +
                      footerLines(0, type, "1", "10"))
            << count;
        EXPECT_EQ(services.randomsTaken, 0u);
    }
}

TEST(ProblemCount, FractionalCountMakesTheWholePart)
{
    ScriptedServices services;
    seededRun(settingsFor(ProblemType::Subtraction, "1", "10", "10.5", "5"), services);
    const auto& sheet = services.files.at(kQuestionPath);
    EXPECT_EQ(testing::allCells(sheet).size(), 10u);
    EXPECT_TRUE(sheet.starts_with("--------答*题*纸-----题数(10.5)----"));
    EXPECT_NE(sheet.find("Sumlark总共生成：10 题"), std::string::npos);
}

struct SerialRow {
    const char* name;
    const char* count;
    bool numbered;
    const char* firstPrefix;
    const char* lastPrefix;
};

class SerialPrefix : public ::testing::TestWithParam<SerialRow> {};

TEST_P(SerialPrefix, WidthFollowsTheCount)
{
    const auto& row = GetParam();
    auto settings = settingsFor(ProblemType::Subtraction, "1", "10", row.count, "8");
    settings.numbered = row.numbered;
    ScriptedServices services;
    seededRun(settings, services);
    const auto cells = testing::allCells(services.files.at(kQuestionPath));
    ASSERT_FALSE(cells.empty());
    EXPECT_TRUE(cells.front().text.starts_with(row.firstPrefix)) << cells.front().text;
    EXPECT_TRUE(cells.back().text.starts_with(row.lastPrefix)) << cells.back().text;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const auto parsed = testing::parseCell(cells[i].text);
        EXPECT_EQ(parsed.serial, row.numbered ? static_cast<int>(i + 1) : 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, SerialPrefix,
                         ::testing::Values(SerialRow{"TwoDigitsUpTo99", "99", true, "01) ", "99) "},
                                           SerialRow{"ThreeDigitsFrom100", "100", true, "001) ", "100) "},
                                           SerialRow{"FourDigitsFrom1000", "1000", true, "0001) ", "1000) "},
                                           SerialRow{"WidthFromLeadingNumber", "150.9", true, "001) ", "150) "},
                                           SerialRow{"NoPrefixWhenOff", "150", false, "", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

struct PerLineRow {
    const char* name;
    const char* perLine;
    std::size_t cellsPerLine;
};

class PerLineText : public ::testing::TestWithParam<PerLineRow> {};

TEST_P(PerLineText, DecidesCellsPerLine)
{
    const auto& row = GetParam();
    ScriptedServices services;
    seededRun(settingsFor(ProblemType::Subtraction, "1", "10", "24", row.perLine), services);
    for (const auto& path : {kQuestionPath, kAnswerPath}) {
        const auto lines = testing::problemLines(services.files.at(path));
        ASSERT_EQ(lines.size(), (24 + row.cellsPerLine - 1) / row.cellsPerLine) << path;
        for (std::size_t i = 0; i + 1 < lines.size(); ++i)
            EXPECT_EQ(testing::cellsOf(lines[i]).size(), row.cellsPerLine) << path << " line " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, PerLineText,
                         ::testing::Values(PerLineRow{"LettersMeanOne", "abc", 1}, PerLineRow{"ZeroMeansOne", "0", 1},
                                           PerLineRow{"Beyond16BitsMeansOne", "32768", 1},
                                           PerLineRow{"HalfRoundsDownToEven", "2.5", 2},
                                           PerLineRow{"HalfRoundsUpToEven", "3.5", 4},
                                           PerLineRow{"NegativeActsAsItsSize", "-3", 3},
                                           PerLineRow{"TrailingTextIgnored", "6题", 6},
                                           PerLineRow{"MoreThanTheCount", "100", 24}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LastLine, OpenLineKeepsItsPaddingThenEnds)
{
    ScriptedServices services;
    seededRun(settingsFor(ProblemType::Subtraction, "1", "10", "12", "5"), services);
    const auto lines = testing::sheetLines(services.files.at(kQuestionPath));
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(testing::cellsOf(lines[3]).size(), 2u);
    EXPECT_EQ(printColumns(lines[3]), 28); // two cells padded to the third zone
    EXPECT_EQ(lines[4], std::string(78, '-'));
}

TEST(LastLine, FullLastLineIsFollowedByAnEmptyLine)
{
    ScriptedServices services;
    seededRun(settingsFor(ProblemType::Subtraction, "1", "10", "10", "5"), services);
    const auto lines = testing::sheetLines(services.files.at(kQuestionPath));
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(testing::cellsOf(lines[2]).size(), 5u);
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], std::string(78, '-'));
}

TEST(OperandRange, SmallestAboveLargestDrawsFromLargestPlusOne)
{
    ScriptedServices services;
    seededRun(settingsFor(ProblemType::Subtraction, "50", "10", "2000", "8"), services);
    long long low = 1000;
    long long high = 0;
    for (const auto& cell : testing::allCells(services.files.at(kQuestionPath))) {
        const auto parsed = testing::parseCell(cell.text);
        low = std::min({low, parsed.left, parsed.right});
        high = std::max({high, parsed.left, parsed.right});
    }
    EXPECT_EQ(low, 11);
    EXPECT_GE(high, 48);
    EXPECT_LE(high, 50);
}

TEST(Answers, OffLeavesTheAnswerSheetEmptyAndStillCounts)
{
    auto settings = settingsFor(ProblemType::Division, "1", "20", "30", "5");
    settings.writeAnswers = false;
    settings.allowRemainder = true;
    settings.openWhenDone = true;
    ScriptedServices services;
    seededRun(settings, services);
    EXPECT_EQ(testing::allCells(services.files.at(kQuestionPath)).size(), 30u);
    EXPECT_EQ(services.files.at(kAnswerPath),
              joinLines({"--------答@案@纸-----题数(30)----类型(除法(÷))----"}) + footerLines(30, "除法(÷)", "1", "20"));
    EXPECT_EQ(services.launches, std::vector<std::string>{kQuestionPath});
}

TEST(Answers, AnswerCellsMatchTheirQuestions)
{
    auto settings = settingsFor(ProblemType::AllFour, "1", "30", "300", "7");
    settings.allowRemainder = true;
    settings.numbered = true;
    ScriptedServices services;
    seededRun(settings, services);
    const auto questions = testing::allCells(services.files.at(kQuestionPath));
    const auto answers = testing::allCells(services.files.at(kAnswerPath));
    ASSERT_EQ(questions.size(), 300u);
    ASSERT_EQ(answers.size(), questions.size());
    for (std::size_t i = 0; i < questions.size(); ++i)
        EXPECT_TRUE(answers[i].text.starts_with(questions[i].text)) << answers[i].text;
}

TEST(Reruns, SecondRunReplacesBothSheetsEntirely)
{
    ScriptedServices services;
    seededRun(settingsFor(ProblemType::Subtraction, "1", "10", "100", "5"), services);
    seededRun(settingsFor(ProblemType::Subtraction, "1", "10", "3", "5"), services, 99);
    EXPECT_EQ(testing::allCells(services.files.at(kQuestionPath)).size(), 3u);
    EXPECT_EQ(testing::allCells(services.files.at(kAnswerPath)).size(), 3u);
}

TEST(Seeds, SameSeedSameSheetsAndTheClockSeedsOtherwise)
{
    const auto settings = settingsFor(ProblemType::AllFour, "1", "100", "200", "8");
    ScriptedServices first;
    ScriptedServices second;
    seededRun(settings, first, 42);
    seededRun(settings, second, 42);
    EXPECT_EQ(first.files, second.files);

    ScriptedServices clock;
    clock.useSeededRandom = true;
    const auto result = generateSheets(settings, kFolder, clock);
    EXPECT_EQ(clock.clockCalls, 1u);
    EXPECT_EQ(result.seed, 1u);
}

} // namespace
} // namespace sumlark
