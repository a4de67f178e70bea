#include "ProblemCounting.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace sumlark {
namespace {

// Every drawable pair through the rule and the digit rules; problems told
// apart by their question cells. The weights are the range's own, which the
// engine suite checks against sampled draws.
ProblemCount bruteForce(Operation operation, const OperandRange& range, const RuleBounds& bounds,
                        const ProblemConstraints& constraints)
{
    std::set<std::string> cells;
    ProblemCount count;
    for (int a = range.low; a <= range.high; ++a) {
        for (int b = range.low; b <= range.high; ++b) {
            const double weight = range.weight(a) * range.weight(b);
            const auto problem = applyRule(operation, {1, double(a), double(b)}, bounds);
            if (weight <= 0.0 || !problem || !meetsDigitRules(*problem, constraints))
                continue;
            count.chance += weight;
            std::string cell;
            appendQuestionCell(cell, "", *problem);
            cells.insert(cell);
        }
    }
    count.distinct = static_cast<std::int64_t>(cells.size());
    return count;
}

struct RangeRow {
    double smallest;
    double largest;
};

// Small ranges that cross digit boundaries, start at 0, hold one or two
// values, have fractional ends, or run from the larger text down.
const RangeRow kRanges[] = {{0, 0},   {0, 1},   {3, 3},      {0, 9},        {1, 10},  {0, 10}, {0, 120},
                            {7, 131}, {90, 210}, {995, 1010}, {0.5, 30.5}, {40, 10}, {2, 19.25}};

std::string describe(const RangeRow& row, double limit, Operation operation, const ProblemConstraints& c)
{
    return std::to_string(row.smallest) + ".." + std::to_string(row.largest) + " limit " + std::to_string(limit) +
           " op " + std::to_string(int(operation)) + " carry " + std::to_string(int(c.carry)) + " borrow " +
           std::to_string(int(c.borrow));
}

TEST(ProblemCounting, MatchesEveryPairOnSmallRanges)
{
    for (const auto& row : kRanges) {
        const auto range = OperandRange::from(row.smallest, row.largest);
        for (const double limit : {row.largest, 15.0}) {
            for (const bool remainder : {false, true}) {
                const RuleBounds bounds{limit, limit, remainder};
                for (const auto operation :
                     {Operation::Addition, Operation::Subtraction, Operation::Multiplication, Operation::Division}) {
                    for (int rule = 0; rule < 3; ++rule) {
                        ProblemConstraints constraints;
                        constraints.carry = static_cast<CarryRule>(rule);
                        constraints.borrow = static_cast<BorrowRule>(rule);
                        const auto counted = countProblems(operation, range, bounds, constraints);
                        const auto expected = bruteForce(operation, range, bounds, constraints);
                        EXPECT_EQ(counted.distinct, expected.distinct) << describe(row, limit, operation, constraints);
                        EXPECT_NEAR(counted.chance, expected.chance, 1e-12)
                            << describe(row, limit, operation, constraints);
                    }
                }
            }
        }
    }
}

TEST(ProblemCounting, KnownCountsFromOneToTen)
{
    const auto range = OperandRange::from(1, 10);
    const RuleBounds bounds{10, 10, false};
    const auto count = [&](Operation operation, CarryRule carry, BorrowRule borrow) {
        return countProblems(operation, range, bounds, {false, carry, borrow}).distinct;
    };
    EXPECT_EQ(count(Operation::Addition, CarryRule::Any, BorrowRule::Any), 45);
    EXPECT_EQ(count(Operation::Addition, CarryRule::With, BorrowRule::Any), 9) << "a + b = 10 with units adding to 10";
    EXPECT_EQ(count(Operation::Addition, CarryRule::Without, BorrowRule::Any), 36);
    EXPECT_EQ(count(Operation::Subtraction, CarryRule::Any, BorrowRule::Any), 55) << "12 - 30 is 30 - 12";
    EXPECT_EQ(count(Operation::Subtraction, CarryRule::Any, BorrowRule::With), 9) << "10 minus 1..9";
    EXPECT_EQ(count(Operation::Division, CarryRule::Any, BorrowRule::Any), 27);
}

TEST(ProblemCounting, MixedTypesAddTheirOperations)
{
    const auto range = OperandRange::from(0, 60);
    const RuleBounds bounds{60, 60, false};
    const ProblemConstraints constraints{true, CarryRule::With, BorrowRule::Without};
    for (const auto type : {ProblemType::AdditionSubtraction, ProblemType::AllFour}) {
        ProblemCount expected;
        for (int selector = 1; selector <= 12; ++selector) {
            const auto operation = operationForSelector(type, selector);
            expected.chance += bruteForce(operation, range, bounds, constraints).chance / 12.0;
        }
        for (const auto operation : operationsOf(type))
            expected.distinct += bruteForce(operation, range, bounds, constraints).distinct;
        const auto counted = countProblems(type, range, bounds, constraints);
        EXPECT_EQ(counted.distinct, expected.distinct) << int(type);
        EXPECT_NEAR(counted.chance, expected.chance, 1e-12) << int(type);
    }
}

// The list a run picks from: every acceptable problem once, each with the
// chance an attempt makes it, and none above the bound the plan relies on.
TEST(ProblemListing, HoldsEachCountedProblemWithItsChance)
{
    for (const auto& row : {RangeRow{0, 30}, RangeRow{1, 10}, RangeRow{0.5, 12.5}, RangeRow{25, 3}}) {
        const auto range = OperandRange::from(row.smallest, row.largest);
        const RuleBounds bounds{row.largest, row.largest, true};
        for (const auto type : {ProblemType::Addition, ProblemType::Subtraction, ProblemType::Division,
                                ProblemType::AdditionSubtractionMultiplication, ProblemType::AllFour}) {
            const ProblemConstraints constraints{true, CarryRule::Without, BorrowRule::With};
            const auto counted = countProblems(type, range, bounds, constraints);
            std::set<std::uint64_t> seen;
            double chance = 0.0;
            double largest = 0.0;
            forEachProblem(type, range, bounds, constraints, [&](const AcceptedProblem& problem) {
                EXPECT_TRUE(seen.insert(problemKey(problem)).second);
                EXPECT_TRUE(meetsDigitRules(problem, constraints));
                const double one = problemChance(type, problem, range);
                EXPECT_GT(one, 0.0);
                chance += one;
                largest = std::max(largest, one);
            });
            EXPECT_EQ(std::int64_t(seen.size()), counted.distinct) << row.smallest << ".." << row.largest;
            EXPECT_NEAR(chance, counted.chance, 1e-12) << row.smallest << ".." << row.largest;
            EXPECT_LE(largest, largestProblemChance(type, range) * (1 + 1e-12));
            EXPECT_GE(listingWork(type, range, bounds), counted.distinct);
        }
    }
}

TEST(DrawableValues, LeaveOutTheTopOfARangeGivenDownwards)
{
    // From 40 down to 10 the draws are 11..40, and 40 only for a random 0.
    const auto down = DrawableValues::of(OperandRange::from(40, 10));
    EXPECT_EQ(down.first, 11);
    EXPECT_EQ(down.last, 39);
    const auto up = DrawableValues::of(OperandRange::from(0.5, 3.5));
    EXPECT_EQ(up.first, 0);
    EXPECT_EQ(up.last, 4);
}

} // namespace
} // namespace sumlark
