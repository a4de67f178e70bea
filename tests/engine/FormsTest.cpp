// Problem forms against an oracle that reads the rules as a teacher states
// them: every triple or pair of operands over small ranges is tried, kept
// when it obeys every rule asked for, and the engine's counts, listings and
// seeded draws are held against what it keeps.

#include "ChiSquare.h"
#include "FormedSource.h"
#include "GenerateSheets.h"
#include "NumberText.h"
#include "ProblemCounting.h"
#include "RunPlan.h"
#include "ScriptedServices.h"
#include "SeededRandom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <string>

namespace sumlark {
namespace {

struct FormRow {
    std::string name;
    ProblemType type;
    const char* smallest;
    const char* largest;
    bool remainder;
    ProblemConstraints constraints;
};

void PrintTo(const FormRow& row, std::ostream* out)
{
    *out << row.name;
}

WorksheetSettings settingsOf(const FormRow& row, const char* count = "1")
{
    auto settings = testing::settingsFor(row.type, row.smallest, row.largest, count);
    settings.allowRemainder = row.remainder;
    return settings;
}

ProblemConstraints with(std::initializer_list<void (*)(ProblemConstraints&)> changes)
{
    ProblemConstraints constraints;
    for (const auto change : changes)
        change(constraints);
    return constraints;
}

// The rules, one problem at a time.
struct Oracle {
    const FormRow& row;
    WholeRange first;
    WholeRange second;
    double limit = 0.0;

    explicit Oracle(const FormRow& r) : row(r)
    {
        const auto values = DrawableValues::of(OperandRange::from(*strictNumber(r.smallest), *strictNumber(r.largest)));
        first = r.constraints.first.value_or(WholeRange{values.first, values.last});
        second = r.constraints.second.value_or(WholeRange{values.first, values.last});
        limit = *strictNumber(r.largest);
        if (r.constraints.first || r.constraints.second)
            limit = double(std::max(r.constraints.first ? r.constraints.first->high : std::int64_t(limit),
                                    r.constraints.second ? r.constraints.second->high : std::int64_t(limit)));
    }

    bool digitsKept(Operation operation, std::int64_t a, std::int64_t b) const
    {
        const auto& c = row.constraints;
        if (operation == Operation::Addition && c.carry != CarryRule::Any)
            return hasCarry(a, b) == (c.carry == CarryRule::With);
        if (operation == Operation::Subtraction && c.borrow != BorrowRule::Any)
            return hasBorrow(a, b) == (c.borrow == BorrowRule::With);
        return true;
    }

    std::optional<SheetProblem> twoNumbers(Operation operation, std::int64_t a, std::int64_t b) const
    {
        const auto& c = row.constraints;
        const bool trivial = a == 0 || b == 0;
        std::int64_t result = 0;
        switch (operation) {
        case Operation::Addition:
            result = a + b;
            if (!c.result && double(result) > std::floor(limit))
                return std::nullopt;
            break;
        case Operation::Subtraction:
            result = a - b;
            if (a < b || (c.noTrivial && a == b))
                return std::nullopt;
            break;
        case Operation::Multiplication:
            result = a * b;
            if (!c.result && !(double(result) < 10.0 * limit))
                return std::nullopt;
            if (c.noTrivial && (a == 1 || b == 1))
                return std::nullopt;
            break;
        case Operation::Division:
            if (a <= 0 || b == 0 || a < b || (!row.remainder && a % b != 0))
                return std::nullopt;
            if (c.noTrivial && (b == 1 || a == b))
                return std::nullopt;
            result = a / b; // truncates, as the sheets do
            break;
        }
        if ((c.noTrivial && trivial) || (c.result && !c.result->contains(result)) || !digitsKept(operation, a, b))
            return std::nullopt;
        return SheetProblem::of({operation, double(a), double(b)});
    }

    std::optional<SheetProblem> chain(Operation operation, Operation then, std::int64_t a, std::int64_t b,
                                      std::int64_t c3) const
    {
        const auto& c = row.constraints;
        const std::int64_t top = c.result ? c.result->high : std::int64_t(std::floor(limit));
        const auto step = [](Operation o, std::int64_t x, std::int64_t y) { return o == Operation::Addition ? x + y : x - y; };
        const std::int64_t partial = step(operation, a, b);
        const std::int64_t result = step(then, partial, c3);
        if (partial < 0 || partial > top || result < 0 || result > top)
            return std::nullopt;
        if (c.result && !c.result->contains(result))
            return std::nullopt;
        if (c.noTrivial && (a == 0 || b == 0 || c3 == 0 || (operation == Operation::Subtraction && a == b) ||
                            (then == Operation::Subtraction && partial == c3)))
            return std::nullopt;
        if (!digitsKept(operation, a, b) || !digitsKept(then, partial, c3))
            return std::nullopt;
        SheetProblem problem;
        problem.operation = operation;
        problem.left = double(a);
        problem.right = double(b);
        problem.terms = 3;
        problem.thenOperation = then;
        problem.third = double(c3);
        problem.result = double(result);
        return problem;
    }

    // Every allowed problem by kind (an operation or a chain's two signs).
    std::map<int, std::set<std::uint64_t>> problems() const
    {
        std::map<int, std::set<std::uint64_t>> kinds;
        const auto operations = operationsOf(row.type);
        for (const Operation operation : operations) {
            for (std::int64_t a = first.low; a <= first.high; ++a) {
                for (std::int64_t b = second.low; b <= second.high; ++b) {
                    if (row.constraints.terms == 2) {
                        if (const auto p = twoNumbers(operation, a, b))
                            kinds[int(operation)].insert(problemKey(*p));
                        continue;
                    }
                    for (const Operation then : operations) {
                        for (std::int64_t c3 = second.low; c3 <= second.high; ++c3) {
                            if (const auto p = chain(operation, then, a, b, c3))
                                kinds[4 * int(operation) + int(then)].insert(problemKey(*p));
                        }
                    }
                }
            }
        }
        return kinds;
    }
};

// The values that make a problem true when put at a spot, looked for well
// beyond any row's range.
int solutionsAt(const SheetProblem& problem, BlankSpot spot)
{
    int solutions = 0;
    for (std::int64_t x = -200; x <= 200; ++x) {
        SheetProblem trial = problem;
        (spot == BlankSpot::First ? trial.left : trial.right) = double(x);
        if (problem.terms == 3) {
            const auto step = [](Operation o, double u, double v) { return o == Operation::Addition ? u + v : u - v; };
            solutions += step(trial.thenOperation, step(trial.operation, trial.left, trial.right), trial.third) ==
                                 problem.result
                             ? 1
                             : 0;
            continue;
        }
        if (trial.operation == Operation::Division && trial.right == 0.0)
            continue;
        const SheetProblem computed = SheetProblem::of({trial.operation, trial.left, trial.right});
        solutions += computed.result == problem.result && computed.remainder == problem.remainder ? 1 : 0;
    }
    return solutions;
}

class Forms : public ::testing::TestWithParam<FormRow> {};

TEST_P(Forms, ListEveryProblemTheRulesAllowAndNoOther)
{
    const auto& row = GetParam();
    const auto planned = planRun(settingsOf(row), row.constraints);
    ASSERT_TRUE(planned.plan) << static_cast<int>(planned.refusal.code);
    ASSERT_TRUE(planned.plan->formed());
    const FormedProblems& formed = *planned.plan->formed();

    std::set<std::uint64_t> expected;
    for (const auto& [kind, keys] : Oracle(row).problems())
        expected.insert(keys.begin(), keys.end());
    std::set<std::uint64_t> listed;
    for (const ShapeProblems& shape : formed.shapes) {
        shape.forEach([&](const SheetProblem& problem) {
            listed.insert(problemKey(problem));
            // A key stands for the whole problem, its result included.
            const SheetProblem back = problemFromKey(problemKey(problem));
            EXPECT_EQ(problemKey(back), problemKey(problem));
            EXPECT_EQ(back.result, problem.result);
            EXPECT_EQ(back.remainder, problem.remainder);
        });
        // Numbered access finds what the listing found.
        for (std::int64_t i = 0; i < shape.size(); i += std::max<std::int64_t>(1, shape.size() / 7))
            EXPECT_TRUE(listed.count(problemKey(shape.at(i))));
    }
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(formed.size(), std::int64_t(expected.size()));
}

TEST_P(Forms, PutBlanksOnlyWhereTheRestDeterminesThem)
{
    const auto& row = GetParam();
    const auto planned = planRun(settingsOf(row), row.constraints);
    ASSERT_TRUE(planned.plan) << static_cast<int>(planned.refusal.code);
    for (const ShapeProblems& shape : planned.plan->formed()->shapes) {
        shape.forEach([&](const SheetProblem& problem) {
            BlankSpot spots[3];
            const int count = blankSpots(problem, BlankChoice::Mixed, spots);
            const std::set<BlankSpot> allowed(spots, spots + count);
            EXPECT_TRUE(allowed.count(BlankSpot::Result));
            // A division with a remainder keeps its blank on the result even
            // where the remainder would pin the operand down: a pupil reads
            // a blank as the one number that fits.
            const bool remainder = problem.remainder != 0.0;
            for (const BlankSpot spot : {BlankSpot::First, BlankSpot::Second})
                EXPECT_EQ(allowed.count(spot) == 1, !remainder && solutionsAt(problem, spot) == 1)
                    << problemKey(problem) << " spot " << int(spot);
        });
    }
}

// Each kind as often as its share among the kinds that have problems, each
// problem of a kind equally often, each allowed blank place equally often.
TEST_P(Forms, DrawEachProblemAndBlankWithItsShare)
{
    const auto& row = GetParam();
    const auto planned = planRun(settingsOf(row), row.constraints);
    ASSERT_TRUE(planned.plan) << static_cast<int>(planned.refusal.code);
    const auto kinds = Oracle(row).problems();
    double shares = 0.0;
    for (const auto& [kind, keys] : kinds)
        shares += kind < 4 ? operationShare(row.type, Operation(kind))
                           : operationShare(row.type, Operation(kind / 4)) * operationShare(row.type, Operation(kind % 4));
    std::map<std::uint64_t, double> expected;
    for (const ShapeProblems& shape : planned.plan->formed()->shapes) {
        const double share = shape.shape().share / shares / double(shape.size());
        shape.forEach([&](SheetProblem problem) {
            BlankSpot spots[3];
            const int count = blankSpots(problem, row.constraints.blank, spots);
            for (int i = 0; i < count; ++i) {
                problem.blank = spots[i];
                expected[problemKey(problem)] += share / count;
            }
        });
    }
    const int draws = 200'000;
    SeededRandom random(2026);
    FormedSource source(*planned.plan->formed(), row.constraints.blank, false, random);
    std::map<std::uint64_t, std::int64_t> seen;
    for (int i = 0; i < draws; ++i)
        ++seen[problemKey(source.next())];
    const auto test = testing::chiSquare(expected, seen);
    EXPECT_EQ(test.unexpected, "");
    EXPECT_GT(test.p, 1e-6) << "chi-square " << test.statistic << " with " << test.degreesOfFreedom << " degrees";
    if (expected.size() < 2000) {
        EXPECT_EQ(seen.size(), expected.size()) << "some allowed problem was never drawn";
    }
}

// Distinct problems: exactly as many as there are, and then no more.
TEST_P(Forms, KnowHowManyDistinctProblemsThereAre)
{
    FormRow row = GetParam();
    row.constraints.distinct = true;
    const auto planned = planRun(settingsOf(row), row.constraints);
    ASSERT_TRUE(planned.plan) << static_cast<int>(planned.refusal.code);
    const std::int64_t distinct = planned.plan->formed()->distinctUpTo(row.constraints.blank, 32766);
    if (distinct > 3000)
        GTEST_SKIP() << "too many to write out";
    const std::string all = std::to_string(distinct);
    const std::string oneMore = std::to_string(distinct + 1);
    EXPECT_FALSE(planRun(settingsOf(row, oneMore.c_str()), row.constraints).plan);

    testing::ScriptedServices services;
    services.useSeededRandom = true;
    const auto made = makeSheet(settingsOf(row, all.c_str()), {7, row.constraints, {}}, services);
    ASSERT_TRUE(made.sheet) << static_cast<int>(made.refusal.code);
    std::set<std::uint64_t> keys;
    for (const SheetProblem& problem : made.sheet->problems)
        keys.insert(problemKey(problem));
    EXPECT_EQ(std::int64_t(keys.size()), distinct);
}

const FormRow kRows[] = {
    {"BlankFirstAdditions", ProblemType::Addition, "1", "10", false,
     with({[](auto& c) { c.blank = BlankChoice::First; }})},
    {"BlankSecondSubtractionsAcrossZero", ProblemType::Subtraction, "-3", "5", false,
     with({[](auto& c) { c.blank = BlankChoice::Second; }})},
    {"MixedBlanksWithZeroFactors", ProblemType::Multiplication, "-2", "4", false,
     with({[](auto& c) { c.blank = BlankChoice::Mixed; }})},
    {"MixedBlanksAndRemainders", ProblemType::Division, "1", "12", true,
     with({[](auto& c) { c.blank = BlankChoice::Mixed; }})},
    {"ExactDivisionSmallestAboveLargest", ProblemType::Division, "9", "2", false,
     with({[](auto& c) { c.blank = BlankChoice::Mixed; }})},
    {"NegativeDivisorsWithRemainders", ProblemType::MultiplicationDivision, "-4", "7", true,
     with({[](auto& c) { c.result = WholeRange{-3, 3}; }})},
    {"NoTrivialProblemsOfAllFour", ProblemType::AllFour, "0", "6", false,
     with({[](auto& c) { c.noTrivial = true; }})},
    {"TwoDigitPlusOneDigit", ProblemType::Addition, "1", "10", false,
     with({[](auto& c) { c.first = WholeRange{10, 20}; }, [](auto& c) { c.second = WholeRange{1, 9}; }})},
    {"ResultsInARangeFractionalEnds", ProblemType::AllFour, "0.5", "7.5", false,
     with({[](auto& c) { c.result = WholeRange{5, 8}; }})},
    {"CarryFreeWithSecondBlank", ProblemType::AdditionSubtraction, "0", "12", false,
     with({[](auto& c) { c.carry = CarryRule::Without; }, [](auto& c) { c.blank = BlankChoice::Second; }})},
    {"ChainedAdditions", ProblemType::Addition, "0", "9", false, with({[](auto& c) { c.terms = 3; }})},
    {"ChainedSubtractionsWithoutBorrow", ProblemType::Subtraction, "0", "12", false,
     with({[](auto& c) { c.terms = 3; }, [](auto& c) { c.borrow = BorrowRule::Without; }})},
    {"MixedChainsCarryingAndBorrowing", ProblemType::AdditionSubtraction, "0", "12", false,
     with({[](auto& c) { c.terms = 3; }, [](auto& c) { c.carry = CarryRule::With; },
           [](auto& c) { c.borrow = BorrowRule::With; }})},
    {"MixedChainsNoTrivialResultRangeBlanks", ProblemType::AdditionSubtraction, "1", "9", false,
     with({[](auto& c) { c.terms = 3; }, [](auto& c) { c.noTrivial = true; },
           [](auto& c) { c.result = WholeRange{3, 9}; }, [](auto& c) { c.blank = BlankChoice::Mixed; }})},
    {"ChainedSubtractionsNoTrivial", ProblemType::Subtraction, "0", "9", false,
     with({[](auto& c) { c.terms = 3; }, [](auto& c) { c.noTrivial = true; }})},
    {"ChainsWithNegativeOperands", ProblemType::AdditionSubtraction, "0", "6", false,
     with({[](auto& c) { c.terms = 3; }, [](auto& c) { c.second = WholeRange{-3, 3}; }})},
    // Taking out a trivial problem that the digit rule already left out
    // must not take one more away.
    {"NoTrivialCarryingAndBorrowing", ProblemType::AdditionSubtraction, "0", "30", false,
     with({[](auto& c) { c.noTrivial = true; }, [](auto& c) { c.carry = CarryRule::With; },
           [](auto& c) { c.borrow = BorrowRule::With; }})},
    // Own ranges at or above 0 keep the digit rules' operands there,
    // whatever the run's range reaches below.
    {"CarryingOwnRangesAboveANegativeRun", ProblemType::Addition, "-5", "12", false,
     with({[](auto& c) { c.carry = CarryRule::With; }, [](auto& c) { c.first = WholeRange{5, 15}; },
           [](auto& c) { c.second = WholeRange{0, 9}; }})},
};

INSTANTIATE_TEST_SUITE_P(Rows, Forms, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return info.param.name; });

} // namespace
} // namespace sumlark
