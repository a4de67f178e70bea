#include "GenerateSheets.h"
#include "ProblemCounting.h"
#include "RefusalWords.h"
#include "RunPlan.h"
#include "ScriptedServices.h"
#include "SheetLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <utility>

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

class DigitRules : public ::testing::TestWithParam<DigitRow> {};

TEST_P(DigitRules, ReadTheColumnsOfThePrintedOperands)
{
    const auto& row = GetParam();
    const SheetProblem problem{row.operation, row.left, row.right};
    EXPECT_EQ(meetsDigitRules(problem, {false, CarryRule::With, BorrowRule::With}), row.meetsWith);
    EXPECT_EQ(meetsDigitRules(problem, {false, CarryRule::Without, BorrowRule::Without}), row.meetsWithout);
}

INSTANTIATE_TEST_SUITE_P(
    Columns, DigitRules,
    ::testing::Values(DigitRow{"NinePlusOneCarries", Op::Addition, 9, 1, true, false},
                      DigitRow{"EightPlusOneDoesNot", Op::Addition, 8, 1, false, true},
                      DigitRow{"UnitsOf19Plus81Carry", Op::Addition, 19, 81, true, false},
                      DigitRow{"ZeroPlusZero", Op::Addition, 0, 0, false, true},
                      DigitRow{"TenMinusOneBorrows", Op::Subtraction, 10, 1, true, false},
                      DigitRow{"HundredMinusOneBorrows", Op::Subtraction, 100, 1, true, false},
                      DigitRow{"ElevenMinusOneDoesNot", Op::Subtraction, 11, 1, false, true},
                      DigitRow{"ZeroMinusZero", Op::Subtraction, 0, 0, false, true},
                      DigitRow{"TensBorrowOnly", Op::Subtraction, 305, 150, true, false},
                      DigitRow{"ProductsHaveNoRule", Op::Multiplication, 9, 9, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

// Every pair through the rule, problems told apart by their question cells:
// what the digit arithmetic must count without listing a pair.
struct Listed {
    double chance = 0.0;
    std::set<std::string> cells;
};

Listed bruteForce(Op operation, const OperandRange& range, const RuleBounds& bounds, const ProblemConstraints& rules)
{
    Listed listed;
    for (int a = range.low; a <= range.high; ++a) {
        for (int b = range.low; b <= range.high; ++b) {
            const auto problem = applyRule(operation, {1, double(a), double(b)}, bounds);
            if (problem && meetsDigitRules(*problem, rules) && range.weight(a) * range.weight(b) > 0.0) {
                listed.chance += range.weight(a) * range.weight(b);
                std::string cell;
                appendQuestionCell(cell, "", SheetProblem::of(*problem));
                listed.cells.insert(cell);
            }
        }
    }
    return listed;
}

// What a type's 12 selectors make of the operations' pairs.
Listed listedForType(ProblemType type, const Listed (&byOperation)[4])
{
    Listed listed;
    bool seen[4] = {};
    for (int selector = 1; selector <= 12; ++selector) {
        const int operation = int(operationForSelector(type, selector));
        listed.chance += byOperation[operation].chance / 12;
        if (!std::exchange(seen[operation], true))
            listed.cells.insert(byOperation[operation].cells.begin(), byOperation[operation].cells.end());
    }
    return listed;
}

// One type against the pairs of the operations its 12 selectors draw: the
// count made with digit arithmetic, and seeded sheets, whether drawn or
// picked from the list of what is left, that hold only problems found here.
void checkType(const WorksheetSettings& settings, const OperandRange& range, const ProblemConstraints& rules,
               const Listed (&byOperation)[4])
{
    const Listed expected = listedForType(settings.problemType, byOperation);
    bool draws[4] = {};
    for (const Operation operation : operationsOf(settings.problemType))
        draws[int(operation)] = true;
    const auto counted = countProblems(settings.problemType, range, RuleBounds::from(settings), rules);
    EXPECT_EQ(counted.distinct, std::ssize(expected.cells));
    EXPECT_NEAR(counted.chance, expected.chance, 1e-12);

    // A rule for an operation the type lacks is refused, and would change nothing
    // here; 2000 problems are enough to reach the list and keep the suite quick.
    const auto carry = draws[int(Op::Addition)] ? rules.carry : CarryRule::Any;
    const auto borrow = draws[int(Op::Subtraction)] ? rules.borrow : BorrowRule::Any;
    const auto all = std::min<std::int64_t>(std::ssize(expected.cells), 2000);
    for (const auto& [distinct, count] : {std::pair{false, all}, std::pair{true, all / 4}, std::pair{true, all}}) {
        auto sized = settings;
        sized.countText = std::to_string(count);
        testing::ScriptedServices services;
        services.useSeededRandom = true;
        const RunOptions options{.seed = 7, .constraints = {distinct, carry, borrow}};
        const auto made = makeSheet(sized, options, services);
        ASSERT_TRUE(made.sheet) << static_cast<int>(made.refusal.code);
        ASSERT_EQ(std::ssize(made.sheet->problems), count);
        std::set<std::string> cells;
        for (const auto& problem : made.sheet->problems) {
            std::string cell;
            appendQuestionCell(cell, "", problem);
            EXPECT_TRUE(expected.cells.contains(cell)) << cell;
            EXPECT_TRUE(cells.insert(cell).second || !distinct) << cell << " twice";
        }
    }
}

// Ranges that cross digit boundaries, start at 0, hold one value, have
// fractional ends, run from the larger text down, or reach below 0 (where no
// digit rule is allowed), also with a largest value below 0.
TEST(ConstrainedProblems, MatchEveryPairOfEveryTypeOnSmallRanges)
{
    const std::pair<const char*, const char*> ranges[] = {{"0", "0"},     {"3", "3"},       {"0", "9"},
                                                          {"1", "10"},    {"0", "120"},     {"90", "210"},
                                                          {"995", "1010"}, {"0.5", "30.5"}, {"40", "10"}, {"-12", "7"},
                                                          {"20", "-9"}};
    for (const auto& [smallest, largest] : ranges) {
        for (const bool remainder : {false, true}) {
            auto settings = testing::settingsFor(ProblemType::Addition, smallest, largest, "1");
            settings.allowRemainder = remainder;
            const auto range = OperandRange::from(std::stod(smallest), std::stod(largest));
            for (int rule = 0; rule < (range.low < 0 ? 1 : 3); ++rule) {
                const ProblemConstraints rules{true, CarryRule(rule), BorrowRule(rule)};
                Listed byOperation[4];
                for (int operation = 0; operation < 4; ++operation)
                    byOperation[operation] = bruteForce(Op(operation), range, RuleBounds::from(settings), rules);
                for (int type = 0; type < kProblemTypeCount; ++type) {
                    SCOPED_TRACE(::testing::Message() << smallest << ".." << largest << " remainder " << remainder
                                                      << " rule " << rule << " type " << type);
                    settings.problemType = ProblemType(type);
                    settings.typeText = problemTypeText(ProblemType(type));
                    checkType(settings, range, rules, byOperation);
                }
            }
        }
    }
}

// Ranges drawn at random: below 0, fractional ends, the smallest above the
// largest, up to 12 values. The counting and the plan's chance, made without
// listing a pair, against every pair's weight.
TEST(ConstrainedProblems, CountsAndChancesMatchEnumerationOnRandomSmallRanges)
{
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> whole(-12, 14);
    std::uniform_int_distribution<int> quarter(0, 3);
    std::uniform_int_distribution<int> width(0, 11);
    for (int trial = 0; trial < 150; ++trial) {
        const double smallest = whole(random) + quarter(random) / 4.0;
        const double largest = (trial % 3 == 0 ? smallest - width(random) : smallest + width(random)) + quarter(random) / 4.0;
        const auto range = OperandRange::from(smallest, largest);
        auto settings = testing::settingsFor(ProblemType::Addition, std::to_string(smallest).c_str(),
                                             std::to_string(largest).c_str(), "1");
        settings.allowRemainder = trial % 2 == 0;
        const RuleBounds bounds = RuleBounds::from(settings);
        for (int rule = 0; rule < (range.low < 0 ? 1 : 3); ++rule) {
            const ProblemConstraints rules{rule == 0 ? trial % 4 == 1 : true, CarryRule(rule), BorrowRule(rule)};
            Listed byOperation[4];
            for (int operation = 0; operation < 4; ++operation)
                byOperation[operation] = bruteForce(Op(operation), range, bounds, rules);
            for (int type = 0; type < kProblemTypeCount; ++type) {
                SCOPED_TRACE(::testing::Message() << smallest << ".." << largest << " rule " << rule << " type " << type);
                const Listed expected = listedForType(ProblemType(type), byOperation);
                const auto counted = countProblems(ProblemType(type), range, bounds, rules);
                EXPECT_EQ(counted.distinct, std::ssize(expected.cells));
                EXPECT_NEAR(counted.chance, expected.chance, 1e-12);
                if (rule == 0) {
                    EXPECT_NEAR(acceptanceChance(ProblemType(type), range, bounds), expected.chance, 1e-12);
                }
            }
        }
    }
}

// The rules a run asks for beyond the window's, refused with the reason the
// command line and the window print; the column form's refusal comes before
// any draw.
struct RuleRefusalRow {
    const char* name;
    ProblemType type;
    const char* smallest;
    const char* largest;
    const char* count;
    ProblemConstraints rules;
    const char* reason;
};

class RuleRefusals : public ::testing::TestWithParam<RuleRefusalRow> {};

TEST_P(RuleRefusals, SayWhy)
{
    const auto& row = GetParam();
    const auto column = columnFormRefusal(row.rules);
    const auto planned = planRun(testing::settingsFor(row.type, row.smallest, row.largest, row.count), row.rules);
    ASSERT_TRUE(column || !planned.plan);
    const std::string text = wording::refusalText(column ? *column : planned.refusal, wording::OptionNaming());
    EXPECT_NE(text.find(row.reason), std::string::npos) << text;
}

ProblemConstraints rulesWith(CarryRule carry, BorrowRule borrow, bool distinct = false)
{
    return {distinct, carry, borrow};
}

using enum CarryRule;
constexpr auto BorrowWith = BorrowRule::With, BorrowWithout = BorrowRule::Without, NoBorrowRule = BorrowRule::Any;

INSTANTIATE_TEST_SUITE_P(
    Rules, RuleRefusals,
    ::testing::Values(
        RuleRefusalRow{"CarryWithoutAddition", ProblemType::Multiplication, "1", "10", "10", rulesWith(With, NoBorrowRule),
                       "没有加法，不能要求“加法要进位”"},
        RuleRefusalRow{"BorrowWithoutSubtraction", ProblemType::MultiplicationDivision, "1", "10", "10",
                       rulesWith(Any, BorrowWithout), "不能要求“减法不退位”"},
        RuleRefusalRow{"CarryBelowZero", ProblemType::Addition, "-5", "10", "10", rulesWith(With, NoBorrowRule),
                       "（-5 到 10）里有小于 0 的数"},
        RuleRefusalRow{"BorrowDownPastZero", ProblemType::Subtraction, "5", "-3", "10", rulesWith(Any, BorrowWith),
                       "（5 到 -3）里有小于 0 的数"},
        RuleRefusalRow{"NoAdditionCarries", ProblemType::Addition, "1", "4", "10", rulesWith(With, NoBorrowRule),
                       "最大数 4 的加法没有一道要进位"},
        RuleRefusalRow{"AllAdditionsCarry", ProblemType::Addition, "15", "30", "10", rulesWith(Without, NoBorrowRule),
                       "都要进位"},
        RuleRefusalRow{"NoSubtractionBorrows", ProblemType::Subtraction, "0", "9", "10", rulesWith(Any, BorrowWith),
                       "范围里的减法没有一道要退位"},
        RuleRefusalRow{"TooFewDistinct", ProblemType::Addition, "1", "10", "46", rulesWith(Any, NoBorrowRule, true),
                       "不重复的题一共只有 45 道，不够生成 46 题"},
        RuleRefusalRow{"DistinctCarries", ProblemType::Addition, "1", "10", "10", rulesWith(With, NoBorrowRule, true),
                       "“题目不重复”，不重复的题一共只有 9 道"},
        RuleRefusalRow{"SubtractionsEitherWayAreOne", ProblemType::Subtraction, "1", "10", "56",
                       rulesWith(Any, NoBorrowRule, true), "只有 55 道"},
        RuleRefusalRow{"ColumnFormWithABlank", ProblemType::Addition, "1", "10", "10",
                       {.blank = BlankChoice::Mixed}, "--blank 要学生填数，竖式里没有留空填数的地方。"},
        RuleRefusalRow{"ColumnFormWithThreeNumbers", ProblemType::AdditionSubtraction, "1", "10", "10", {.terms = 3},
                       "--terms 3 是三个数的题，竖式只能排两个数。请去掉 --terms 3，或者去掉 --layout vertical。"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace sumlark
