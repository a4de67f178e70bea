#include "GenerateSheets.h"
#include "ProblemCounting.h"
#include "RunPlan.h"
#include "ScriptedServices.h"
#include "SheetLayout.h"
#include "SheetText.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace sumlark {
namespace {

using testing::ScriptedServices;
using enum ProblemType;

const std::string kFolder = "/sheets";

WorksheetSettings settingsFor(ProblemType type, const char* smallest, const char* largest, const char* count)
{
    WorksheetSettings settings;
    settings.problemType = type;
    settings.typeText = std::string(problemTypeText(type));
    settings.smallestText = smallest;
    settings.largestText = largest;
    settings.countText = count;
    settings.perLineText = "6";
    settings.openWhenDone = false;
    return settings;
}

ProblemConstraints rules(CarryRule carry, BorrowRule borrow, bool distinct = false)
{
    return {distinct, carry, borrow};
}

constexpr auto Any = CarryRule::Any;
constexpr auto With = CarryRule::With;
constexpr auto Without = CarryRule::Without;
constexpr auto BAny = BorrowRule::Any;
constexpr auto BWith = BorrowRule::With;
constexpr auto BWithout = BorrowRule::Without;

struct RefusalRow {
    const char* name;
    ProblemType type;
    const char* smallest;
    const char* largest;
    const char* count;
    ProblemConstraints constraints;
    const char* reason;
};

class ConstraintRefusals : public ::testing::TestWithParam<RefusalRow> {};

TEST_P(ConstraintRefusals, WriteNothingAndSayWhy)
{
    const auto& row = GetParam();
    ScriptedServices services;
    RunOptions options;
    options.constraints = row.constraints;
    const auto result = generateSheets(settingsFor(row.type, row.smallest, row.largest, row.count), kFolder, services,
                                       options);
    EXPECT_TRUE(result.refused);
    EXPECT_TRUE(services.created.empty());
    EXPECT_EQ(services.randomsTaken, 0u);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].title, "无法生成");
    EXPECT_NE(result.refusalText.find(row.reason), std::string::npos) << result.refusalText;
}

INSTANTIATE_TEST_SUITE_P(
    Settings, ConstraintRefusals,
    ::testing::Values(
        RefusalRow{"CarryWithoutAnyAddition", Multiplication, "1", "10", "10", rules(With, BAny),
                   "题型“乘法(×)”里没有加法，不能要求“加法要进位”"},
        RefusalRow{"BorrowWithoutAnySubtraction", MultiplicationDivision, "1", "10", "10", rules(Any, BWithout),
                   "里没有减法，不能要求“减法不退位”"},
        RefusalRow{"CarryBelowZero", Addition, "-5", "10", "10", rules(With, BAny), "出数范围（-5 到 10）里有小于 0 的数"},
        RefusalRow{"BorrowRangeGivenDownwardsPastZero", Subtraction, "5", "-3", "10", rules(Any, BWith),
                   "里有小于 0 的数"},
        RefusalRow{"NoAdditionCarries", Addition, "1", "4", "10", rules(With, BAny),
                   "一道题也出不来：范围里和不超过出题最大数 4 的加法没有一道要进位"},
        RefusalRow{"EveryAdditionCarries", Addition, "15", "30", "10", rules(Without, BAny), "的加法都要进位"},
        RefusalRow{"NoSubtractionBorrows", Subtraction, "0", "9", "10", rules(Any, BWith),
                   "范围里的减法没有一道要退位"},
        RefusalRow{"DistinctAdditionsOneToTen", Addition, "1", "10", "46", rules(Any, BAny, true),
                   "不重复的题一共只有 45 道，不够生成 46 题"},
        RefusalRow{"DistinctCarriesOneToTen", Addition, "1", "10", "10", rules(With, BAny, true),
                   "按“加法(＋)”、出数范围（1 到 10）和“加法要进位”、“题目不重复”，不重复的题一共只有 9 道"},
        RefusalRow{"SubtractionsInEitherOrderAreOne", Subtraction, "1", "10", "56", rules(Any, BAny, true),
                   "只有 55 道"},
        RefusalRow{"RareCarryFreeAdditionsTooSlow", Addition, "4700", "9999", "32766", rules(Without, BAny),
                   "平均要抽"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConstraintRefusals, CountZeroStillChecksTheOptions)
{
    EXPECT_FALSE(planRun(settingsFor(Division, "1", "10", "0"), rules(With, BAny)).plan);
    EXPECT_TRUE(planRun(settingsFor(Addition, "1", "10", "0"), rules(With, BAny, true)).plan);
}

struct SheetRow {
    const char* name;
    ProblemType type;
    const char* smallest;
    const char* largest;
    const char* count;
    ProblemConstraints constraints;
    bool picksFromList = false;
};

std::vector<testing::ParsedCell> seededCells(const SheetRow& row, std::uint64_t seed, bool* listed = nullptr)
{
    auto settings = settingsFor(row.type, row.smallest, row.largest, row.count);
    settings.allowRemainder = true;
    ScriptedServices services;
    services.useSeededRandom = true;
    RunOptions options;
    options.seed = seed;
    options.constraints = row.constraints;
    const auto result = generateSheets(settings, kFolder, services, options);
    EXPECT_FALSE(result.refused) << result.refusalText;
    if (listed)
        *listed = planRun(settings, row.constraints).plan->pickFromList;
    std::vector<testing::ParsedCell> cells;
    for (const auto& cell : testing::allCells(services.files.at(sheetPath(kFolder, kAnswerSheetName))))
        cells.push_back(testing::parseCell(cell.text));
    EXPECT_EQ(cells.size(), std::size_t(std::stoi(row.count)));
    return cells;
}

class ConstrainedSheets : public ::testing::TestWithParam<SheetRow> {};

TEST_P(ConstrainedSheets, KeepEveryRuleOnEveryProblem)
{
    const auto& row = GetParam();
    for (const std::uint64_t seed : {1u, 2u}) {
        std::set<std::string> questions;
        bool listed = false;
        const auto cells = seededCells(row, seed, &listed);
        EXPECT_EQ(listed, row.picksFromList);
        for (const auto& cell : cells) {
            if (cell.sign == "＋" && row.constraints.carry != Any) {
                EXPECT_EQ(hasCarry(cell.left, cell.right), row.constraints.carry == With) << cell.left << "+" << cell.right;
            }
            if (cell.sign == "－" && row.constraints.borrow != BAny) {
                EXPECT_EQ(hasBorrow(cell.left, cell.right), row.constraints.borrow == BWith)
                    << cell.left << "-" << cell.right;
            }
            if (row.constraints.distinct) {
                const auto question = std::to_string(cell.left) + cell.sign + std::to_string(cell.right);
                EXPECT_TRUE(questions.insert(question).second) << question << " twice, seed " << seed;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, ConstrainedSheets,
    ::testing::Values(
        SheetRow{"CarryingAdditions", Addition, "0", "100", "200", rules(With, BAny)},
        SheetRow{"CarryFreeAdditions", Addition, "0", "1000", "200", rules(Without, BAny)},
        SheetRow{"BorrowingMixedWithCarryFree", AllFour, "0", "500", "300", rules(Without, BWith)},
        SheetRow{"BorrowFreeSubtractions", AdditionSubtraction, "10", "99", "300", rules(Any, BWithout)},
        SheetRow{"DistinctByDrawing", Subtraction, "1", "100", "500", rules(Any, BAny, true)},
        SheetRow{"EveryAdditionOneToTen", Addition, "1", "10", "45", rules(Any, BAny, true), true},
        SheetRow{"EverySubtractionOneToTen", Subtraction, "1", "10", "55", rules(Any, BAny, true), true},
        SheetRow{"EveryCarryingAddition", Addition, "1", "10", "9", rules(With, BAny, true), true},
        SheetRow{"MostOfAConstrainedMix", AllFour, "1", "20", "600", rules(With, BWith, true), true},
        SheetRow{"NearlyAllSumsUpTo255", Addition, "0", "255", "32640", rules(Any, BAny, true), true}),
    [](const auto& info) { return std::string(info.param.name); });

// Picking from the list must make each problem as likely as drawing until a
// new one comes would; the first problem of a sheet shows it best.
TEST(ListedProblems, ComeWithTheChanceAnAttemptGivesThem)
{
    const SheetRow listed{"", AdditionSubtraction, "1", "3", "9", rules(Any, BAny, true), true};
    const SheetRow drawn{"", AdditionSubtraction, "1", "3", "1", rules(Any, BAny, true)};
    bool usedList = false;
    seededCells(listed, 1, &usedList);
    ASSERT_TRUE(usedList);

    const auto range = OperandRange::from(1, 3);
    const RuleBounds bounds{3, 3, false};
    const double total = countProblems(AdditionSubtraction, range, bounds, listed.constraints).chance;
    constexpr int kSheets = 3000;
    for (const auto* row : {&listed, &drawn}) {
        std::map<std::string, int> firsts;
        for (std::uint64_t seed = 0; seed < kSheets; ++seed) {
            const auto first = seededCells(*row, 1000 + seed).front();
            ++firsts[std::to_string(first.left) + first.sign + std::to_string(first.right)];
        }
        ASSERT_EQ(firsts.size(), 9u) << "1+1, 1+2, 2+1 and the six subtractions";
        for (const auto& [question, times] : firsts) {
            const auto cell = testing::parseCell(question + "=");
            const AcceptedProblem problem{cell.sign == "＋" ? Operation::Addition : Operation::Subtraction,
                                          double(cell.left), double(cell.right)};
            const double expected = problemChance(AdditionSubtraction, problem, range) / total;
            EXPECT_NEAR(double(times) / kSheets, expected, 0.03) << question << (row == &listed ? " listed" : " drawn");
        }
    }
}

TEST(RunOptions, TaggedNamesKeptProblemsAndNoMessagesForACallerThatReports)
{
    ScriptedServices services;
    services.useSeededRandom = true;
    services.failCreate.insert(sheetPath(kFolder, "速算答题-07-答案.txt"));
    auto settings = settingsFor(AllFour, "1", "20", "30");
    settings.numbered = true;
    RunOptions options;
    options.seed = 11;
    options.sheetTag = "07";
    options.callerReports = true;
    options.keepProblems = true;
    const auto result = generateSheets(settings, kFolder, services, options);

    EXPECT_EQ(result.question.path, sheetPath(kFolder, "速算答题-07.txt"));
    EXPECT_TRUE(result.question.written);
    EXPECT_FALSE(result.answer.written);
    EXPECT_TRUE(services.messages.empty());
    EXPECT_TRUE(services.launches.empty());
    const auto cells = testing::allCells(services.files.at(result.question.path));
    ASSERT_EQ(result.problems.size(), cells.size());
    for (std::size_t i = 0; i < cells.size(); ++i) {
        std::string cell = serialPrefix(int(i) + 1, 2);
        appendQuestionCell(cell, "", result.problems[i]);
        EXPECT_EQ(cell, cells[i].text);
    }

    const auto refused = generateSheets(settingsFor(Addition, "500", "500", "5"), kFolder, services, options);
    EXPECT_TRUE(refused.refused);
    EXPECT_TRUE(services.messages.empty());
}

} // namespace
} // namespace sumlark
