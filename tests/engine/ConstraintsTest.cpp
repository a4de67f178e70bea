#include "GenerateSheets.h"
#include "ProblemCounting.h"
#include "ProblemRules.h"
#include "RefusalWords.h"
#include "RunPlan.h"
#include "ScriptedServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

namespace sumlark {
namespace {

using Op = Operation;

// How a problem, as printed, fares under the "with" and the "without" rule of
// its own operation; the other operations' rules must not touch it.
struct DigitRow {
    const char* name;
    Operation operation;
    double left, right;
    bool meetsWith, meetsWithout;
};

TEST(DigitRules, ReadTheColumnsOfThePrintedOperands)
{
    using enum Operation;
    const DigitRow rows[] = {
        {"NinePlusOneCarries", Addition, 9, 1, true, false}, {"EightPlusOneDoesNot", Addition, 8, 1, false, true},
        {"UnitsOf19Plus81Carry", Addition, 19, 81, true, false}, {"ZeroPlusZero", Addition, 0, 0, false, true},
        {"TenMinusOneBorrows", Subtraction, 10, 1, true, false},
        {"HundredMinusOneBorrows", Subtraction, 100, 1, true, false},
        {"ElevenMinusOneDoesNot", Subtraction, 11, 1, false, true}, {"ZeroMinusZero", Subtraction, 0, 0, false, true},
        {"TensBorrowOnly", Subtraction, 305, 150, true, false},
        {"ProductsHaveNoRule", Multiplication, 9, 9, true, true}};
    for (const DigitRow& row : rows) {
        const SheetProblem problem{row.operation, row.left, row.right};
        EXPECT_EQ(meetsDigitRules(problem, {false, CarryRule::With, BorrowRule::With}), row.meetsWith) << row.name;
        EXPECT_EQ(meetsDigitRules(problem, {false, CarryRule::Without, BorrowRule::Without}), row.meetsWithout)
            << row.name;
    }
}

// One type against what its attempts make: the count and chance made with
// digit arithmetic, the work of listing every pair, and, when asked, seeded
// sheets, whether drawn or picked from the list of what is left, that hold
// only problems found here.
void checkType(const WorksheetSettings& settings, const OperandRange& range, const ProblemConstraints& rules, bool sheets)
{
    const ProblemType type = settings.problemType;
    const RuleBounds bounds = RuleBounds::from(settings);
    const auto expected = testing::attemptChances(type, range, bounds, rules);
    double chance = 0.0;
    for (const auto& [key, each] : expected)
        chance += each;
    const auto counted = countProblems(type, range, bounds, rules);
    EXPECT_EQ(counted.distinct, std::ssize(expected));
    EXPECT_NEAR(counted.chance, chance, 1e-12);
    if (!rules.readsDigits()) {
        EXPECT_NEAR(acceptanceChance(type, range, bounds), chance, 1e-12);
        // Each drawable value, then each pair that makes a problem.
        EXPECT_EQ(listingWork(type, range, bounds),
                  std::ssize(operationsOf(type)) * DrawableValues::of(range).size() + counted.distinct);
    }
    // A rule for an operation the type lacks is refused, and would change nothing
    // here; 2000 problems are enough to reach the list and keep the suite quick.
    const auto carry = typeHasOperation(type, Op::Addition) ? rules.carry : CarryRule::Any;
    const auto borrow = typeHasOperation(type, Op::Subtraction) ? rules.borrow : BorrowRule::Any;
    const auto all = std::min<std::int64_t>(std::ssize(expected), 2000);
    for (const auto& [distinct, count] : {std::pair{false, all}, std::pair{true, all / 4}, std::pair{true, all}}) {
        if (!sheets)
            break;
        auto sized = settings;
        sized.countText = std::to_string(count);
        testing::ScriptedServices services;
        const auto made = makeSheet(sized, {.seed = 7, .constraints = {distinct, carry, borrow}}, services);
        ASSERT_TRUE(made.sheet) << static_cast<int>(made.refusal.code);
        ASSERT_EQ(std::ssize(made.sheet->problems), count);
        std::set<std::uint64_t> keys;
        for (const auto& problem : made.sheet->problems) {
            EXPECT_TRUE(expected.contains(problemKey(problem))) << problemKey(problem);
            EXPECT_TRUE(keys.insert(problemKey(problem)).second || !distinct) << problemKey(problem) << " twice";
        }
    }
}

// Every type under every rule the range allows (none below 0), with and
// without remainders; rule 0 asks for distinct problems only where asked.
void checkRange(double smallest, double largest, bool remainder, bool distinctAny, bool sheets)
{
    auto settings = testing::settingsFor(ProblemType::Addition, std::to_string(smallest).c_str(),
                                         std::to_string(largest).c_str(), "1");
    settings.allowRemainder = remainder;
    const auto range = OperandRange::from(smallest, largest);
    for (int rule = 0; rule < (range.low < 0 ? 1 : 3); ++rule) {
        for (int type = 0; type < kProblemTypeCount; ++type) {
            SCOPED_TRACE(::testing::Message() << smallest << ".." << largest << " remainder " << remainder << " rule "
                                              << rule << " type " << type);
            settings.problemType = ProblemType(type);
            settings.typeText = problemTypeText(ProblemType(type));
            checkType(settings, range, {rule != 0 || distinctAny, CarryRule(rule), BorrowRule(rule)}, sheets);
        }
    }
}

// Ranges that cross digit boundaries, start at 0, hold one value, have
// fractional ends, run from the larger text down, or reach below 0 (where no
// digit rule is allowed), also with a largest value below 0.
TEST(ConstrainedProblems, MatchEveryPairOfEveryTypeOnSmallRanges)
{
    const std::pair<double, double> ranges[] = {{0, 0},     {3, 3},     {0, 9},      {1, 10},  {0, 120}, {90, 210},
                                                {995, 1010}, {0.5, 30.5}, {40, 10}, {-12, 7}, {20, -9}};
    for (const auto& [smallest, largest] : ranges) {
        for (const bool remainder : {false, true})
            checkRange(smallest, largest, remainder, true, true);
    }
}

// Ranges drawn at random: below 0, fractional ends, the smallest above the
// largest, up to 12 values; counted only, against every pair's weight.
TEST(ConstrainedProblems, CountsAndChancesMatchEnumerationOnRandomSmallRanges)
{
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> whole(-12, 14), quarter(0, 3), width(0, 11);
    for (int trial = 0; trial < 150; ++trial) {
        const double smallest = whole(random) + quarter(random) / 4.0;
        const double largest = smallest + (trial % 3 == 0 ? -width(random) : width(random)) + quarter(random) / 4.0;
        checkRange(smallest, largest, trial % 2 == 0, trial % 4 == 1, false);
    }
}

struct RefusalRow {
    const char* name;
    ProblemType type;
    const char *smallest, *largest, *count;
    bool allowRemainder;
    const char* reason; // a part of the message that names the setting and the reason
    ProblemConstraints rules = {};
};

class Settings : public ::testing::TestWithParam<RefusalRow> {};

// A refused run touches no file and takes no random number; an accepted one
// runs to the end, however rarely its attempts are accepted. The column
// form's refusal comes before any draw.
TEST_P(Settings, AreRefusedWithTheirReasonOrRunToTheEnd)
{
    const auto& row = GetParam();
    if (const auto column = columnFormRefusal(row.rules)) {
        const std::string text = wording::refusalText(*column, wording::OptionNaming());
        EXPECT_NE(text.find(row.reason), std::string::npos) << text;
        return;
    }
    auto settings = testing::settingsFor(row.type, row.smallest, row.largest, row.count);
    settings.allowRemainder = row.allowRemainder;
    testing::ScriptedServices services;
    const auto seed = row.reason ? std::nullopt : std::optional(5);
    const auto result = testing::runOne(settings, "/sheets", services, seed, row.rules);
    if (!row.reason) {
        ASSERT_FALSE(result.report.refusal) << static_cast<int>(result.report.refusal->code);
        EXPECT_TRUE(result.question.written);
        EXPECT_EQ(result.sheet->problems.size(), std::size_t(std::max(0, std::atoi(row.count))));
        return;
    }
    ASSERT_TRUE(result.report.refusal);
    EXPECT_TRUE(services.created.empty() && result.report.files.empty());
    EXPECT_EQ(services.randomSources + services.clockCalls, 0u);
    const std::string text = wording::refusalText(*result.report.refusal, wording::OptionNaming());
    EXPECT_NE(text.find(row.reason), std::string::npos) << text;
}

using enum ProblemType;
using enum CarryRule;
using Borrow = BorrowRule;
using Rules = ProblemConstraints;

INSTANTIATE_TEST_SUITE_P(
    Rows, Settings,
    ::testing::Values(
        RefusalRow{"CountNotANumber", Addition, "1", "10", "abc", false, "生成题数“abc”不是一个数"},
        RefusalRow{"CountEmpty", Subtraction, "1", "10", "", false, "生成题数“”不是一个数"},
        RefusalRow{"CountAtTheCounterLimit", Subtraction, "1", "10", "32767", false, "一次最多生成 32766 题"},
        RefusalRow{"CountHuge", Subtraction, "1", "10", "1e9", false, "一次最多生成 32766 题"},
        RefusalRow{"SmallestNotANumber", Subtraction, "x", "10", "10", false, "出题最小数“x”不是一个数"},
        RefusalRow{"LargestNotANumber", Multiplication, "1", "十", "10", false, "出题最大数“十”不是一个数"},
        RefusalRow{"TypedEscapeSequenceShownEscaped", Subtraction, "\x1b[2J\n", "10", "10", false,
                   "出题最小数“\\e[2J\\n”不是一个数"},
        RefusalRow{"RangeNotANumberWithOneProblem", Subtraction, "abc", "10", "1", false, "出题最小数“abc”不是一个数"},
        RefusalRow{"LargestBeyond16Bits", Subtraction, "1", "40000", "10", false, "-32768 到 32767"},
        RefusalRow{"SmallestBelow16Bits", Subtraction, "-40000", "10", "10", false, "-32768 到 32767"},
        RefusalRow{"FractionalLargestReachesPast16Bits", Subtraction, "1", "32767.5", "10", false, "-32768 到 32767"},
        // Far beyond int: the range must be refused before it is converted.
        RefusalRow{"SmallestBeyondInt", Subtraction, "1e300", "10", "10", false, "-32768 到 32767"},
        RefusalRow{"LargestInfinite", Addition, "1", "1e400", "10", false, "-32768 到 32767"},
        RefusalRow{"BothInfinite", Division, "-1e400", "-1e400", "10", false, "-32768 到 32767"},
        RefusalRow{"AdditionBothBounds500", Addition, "500", "500", "10", false, "任意两个数相加都大于出题最大数 500"},
        RefusalRow{"AdditionSmallestAboveLargestZero", Addition, "5", "0", "10", false, "相加都大于"},
        RefusalRow{"MultiplicationFrom100To1000", Multiplication, "100", "1000", "10", false, "相乘都不小于"},
        RefusalRow{"MultiplicationBothBounds10", Multiplication, "10", "10", "10", false, "相乘都不小于"},
        RefusalRow{"DivisionWithoutPositiveNumbers", Division, "-5", "0", "10", true, "没有大于 0 的数"},
        RefusalRow{"MultiplicationDivisionAtZero", MultiplicationDivision, "0", "0", "10", false,
                   "相乘都不小于出题最大数的 10 倍，范围里没有大于 0 的数"},
        // The rules a run asks for beyond the window's.
        RefusalRow{"CarryWithoutAddition", Multiplication, "1", "10", "10", false, "没有加法，不能要求“加法要进位”",
                   Rules{.carry = With}},
        RefusalRow{"CarryFreeWithoutAddition", Division, "1", "10", "10", false, "里没有加法，不能要求", Rules{.carry = Without}},
        RefusalRow{"BorrowWithoutSubtraction", MultiplicationDivision, "1", "10", "10", false, "不能要求“减法不退位”",
                   Rules{.borrow = Borrow::Without}},
        RefusalRow{"CarryBelowZero", Addition, "-5", "10", "10", false, "（-5 到 10）里有小于 0 的数", Rules{.carry = With}},
        RefusalRow{"BorrowDownPastZero", Subtraction, "5", "-3", "10", false, "（5 到 -3）里有小于 0 的数",
                   Rules{.borrow = Borrow::With}},
        RefusalRow{"CarryOnAnOwnRangeJustBelowZero", Addition, "1", "10", "10", false, "（-1 到 9）里有小于 0 的数",
                   Rules{.carry = With, .first = WholeRange{-1, 9}}},
        RefusalRow{"NoAdditionCarries", Addition, "1", "4", "10", false, "最大数 4 的加法没有一道要进位", Rules{.carry = With}},
        RefusalRow{"AllAdditionsCarry", Addition, "15", "30", "10", false, "都要进位", Rules{.carry = Without}},
        RefusalRow{"NoSubtractionBorrows", Subtraction, "0", "9", "10", false, "范围里的减法没有一道要退位",
                   Rules{.borrow = Borrow::With}},
        RefusalRow{"TooFewDistinct", Addition, "1", "10", "46", false, "不重复的题一共只有 45 道，不够生成 46 题",
                   Rules{.distinct = true}},
        RefusalRow{"DistinctCarries", Addition, "1", "10", "10", false, "“题目不重复”，不重复的题一共只有 9 道",
                   Rules{.distinct = true, .carry = With}},
        RefusalRow{"SubtractionsEitherWayAreOne", Subtraction, "1", "10", "56", false, "只有 55 道",
                   Rules{.distinct = true}},
        RefusalRow{"ColumnFormWithABlank", Addition, "1", "10", "10", false, "--blank 要学生填数，竖式里没有留空填数的地方。",
                   Rules{.blank = BlankChoice::Mixed}},
        RefusalRow{"ColumnFormWithThreeNumbers", AdditionSubtraction, "1", "10", "10", false,
                   "--terms 3 是三个数的题，竖式只能排两个数。请去掉 --terms 3，或者去掉 --layout vertical。", Rules{.terms = 3}},
        // Accepted at their edges; rarely accepted attempts are drawn directly.
        RefusalRow{"AdditionSumCanEqualLargest", Addition, "5", "10", "20", false, nullptr},
        RefusalRow{"MultiplicationJustBelowTenTimes", Multiplication, "9", "9", "20", false, nullptr},
        RefusalRow{"DivisionRareButFewProblems", Division, "1", "32767", "10", false, nullptr},
        RefusalRow{"DivisionOnEveryPositiveValueFullCount", Division, "1", "32767", "32766", false, nullptr},
        RefusalRow{"AdditionFrom50To100FullCount", Addition, "50", "100", "32766", false, nullptr},
        RefusalRow{"AdditionFrom10000To20001", Addition, "10000", "20001", "10", false, nullptr},
        RefusalRow{"ImpossibleRuleButNoProblems", Addition, "500", "500", "0", false, nullptr},
        // No problem draws no operand, so the range texts need not be numbers.
        RefusalRow{"CountZeroRangeNotANumber", Addition, "abc", "10", "0", false, nullptr},
        RefusalRow{"CountNegativeLargestNotANumber", Addition, "1", "十", "-1", false, nullptr},
        RefusalRow{"CountBelowOne", Addition, "1", "10", "0.5", false, nullptr},
        RefusalRow{"LargestCountSubtraction", Subtraction, "1", "10", "32766", false, nullptr},
        RefusalRow{"WholeSixteenBitRange", AllFour, "-32768", "32767", "1000", false, nullptr},
        RefusalRow{"NegativeDivisorsOnly", Division, "-9", "1", "30", false, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace sumlark
