#include "GenerateSheets.h"
#include "ProblemCounting.h"
#include "ProblemRules.h"
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
        EXPECT_EQ(meetsDigitRules(problem, {false, CarryRule::Without, BorrowRule::Without}), row.meetsWithout) << row.name;
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
        const auto values = DrawableValues::of(range);
        EXPECT_EQ(listingWork(type, range, bounds), std::ssize(operationsOf(type)) * values.size() + counted.distinct);
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

} // namespace
} // namespace sumlark
