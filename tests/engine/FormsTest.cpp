// Problem forms against an oracle that reads the rules as a teacher states
// them: every triple or pair of operands over small ranges is tried, kept
// when it obeys every rule asked for, and the engine's counts, listings and
// seeded draws are held against what it keeps.

#include "ChiSquare.h"
#include "ProblemRules.h"
#include "CompareSource.h"
#include "FormedSource.h"
#include "GenerateSheets.h"
#include "NumberText.h"
#include "ProblemCounting.h"
#include "RunPlan.h"
#include "ScriptedServices.h"
#include "SeededRandom.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <tuple>

namespace sumlark {
namespace {

struct FormRow {
    std::string name;
    ProblemType type;
    const char *smallest, *largest;
    bool remainder;
    ProblemConstraints constraints;
};

WorksheetSettings settingsOf(const FormRow& row, const char* count = "1")
{
    auto settings = testing::settingsFor(row.type, row.smallest, row.largest, count);
    settings.allowRemainder = row.remainder;
    return settings;
}

// Every problem the rules allow, by kind (an operation or a chain's two signs).
std::map<int, std::set<std::uint64_t>> allowedProblems(const FormRow& row)
{
    const auto values = DrawableValues::of(OperandRange::from(*strictNumber(row.smallest), *strictNumber(row.largest)));
    const testing::ProblemRules rules{row.type, row.remainder, row.constraints, *strictNumber(row.largest),
                                      {values.first, values.last}};
    const WholeRange first = row.constraints.first.value_or(rules.drawn), second = row.constraints.second.value_or(rules.drawn);
    std::map<int, std::set<std::uint64_t>> kinds;
    const auto keep = [&](int kind, const SheetProblem& p) {
        if (rules.broken(p).empty())
            kinds[kind].insert(problemKey(p));
    };
    const auto operations = operationsOf(row.type);
    for (const Operation operation : operations) {
        for (std::int64_t a = first.low; a <= first.high; ++a) {
            for (std::int64_t b = second.low; b <= second.high; ++b) {
                if (row.constraints.terms == 2 && (operation != Operation::Division || b != 0))
                    keep(int(operation), SheetProblem::of({operation, double(a), double(b)}));
                for (const Operation then : operations) {
                    for (std::int64_t c = second.low; c <= second.high && row.constraints.terms == 3; ++c)
                        keep(4 * int(operation) + int(then),
                             testing::ProblemRules::chain(operation, a, b, then, c,
                                                          row.constraints.brackets &&
                                                              testing::ProblemRules::bracketsMatter(operation, then)));
                }
            }
        }
    }
    return kinds;
}

// The values that make a problem true when put at a spot, looked for well
// beyond any row's range.
int solutionsAt(const SheetProblem& problem, BlankSpot spot)
{
    int solutions = 0;
    for (std::int64_t x = -1000; x <= 1000; ++x) {
        SheetProblem trial = problem;
        (spot == BlankSpot::First ? trial.left : trial.right) = double(x);
        if (problem.terms == 3) {
            solutions += testing::ProblemRules::chain(trial.operation, std::int64_t(trial.left), std::int64_t(trial.right),
                                                      trial.thenOperation, std::int64_t(trial.third), trial.brackets)
                                     .result == problem.result;
        } else if (trial.operation != Operation::Division || trial.right != 0.0) {
            const SheetProblem computed = SheetProblem::of({trial.operation, trial.left, trial.right});
            solutions += computed.result == problem.result && computed.remainder == problem.remainder ? 1 : 0;
        }
    }
    return solutions;
}

// A problem told apart by both its sides: a comparison's other side is
// the number or the second expression.
using Sides = std::pair<std::uint64_t, std::uint64_t>;
Sides sidesOf(const SheetProblem& p)
{
    if (p.compare == CompareForm::Number)
        return {problemKey(p), std::uint64_t(std::int64_t(p.otherResult) + (1 << 30))};
    return {problemKey(p), problemKey(SheetProblem::of({p.otherOperation, p.otherLeft, p.otherRight}))};
}

// Comparisons: each allowed expression against every number of the result
// range (without one, from the smallest to the largest value an allowed
// expression has), or against every other allowed expression. Drawn as a
// teacher mixes them: the expression's operation with the type's share
// among the operations that have problems, the other expression's the same
// way, an answer as often as the others that these two allow, then each
// problem of those as often as the others.
void compareWithOracle(const FormRow& row, const ComparedProblems& compared)
{
    std::vector<SheetProblem> expressions;
    for (const auto& [kind, keys] : allowedProblems(row))
        for (const std::uint64_t key : keys)
            expressions.push_back(problemFromKey(key));
    ASSERT_FALSE(expressions.empty());
    double low = expressions[0].result, high = low;
    for (const SheetProblem& e : expressions)
        low = std::min(low, e.result), high = std::max(high, e.result);
    const WholeRange numbers = row.constraints.result.value_or(WholeRange{std::int64_t(low), std::int64_t(high)});
    // A problem's cell: its operation, the other side's (4, a number), the answer 0 <, 1 =, 2 >.
    using Cell = std::tuple<int, int, int>;
    std::map<Sides, Cell> allowed;
    std::map<Cell, std::int64_t> cells;
    std::int64_t answers[3]{};
    const auto keep = [&](SheetProblem p, double other) {
        const int answer = p.result < other ? 0 : p.result == other ? 1 : 2;
        const Cell cell{int(p.operation), p.compare == CompareForm::Number ? 4 : int(p.otherOperation), answer};
        allowed[sidesOf(p)] = cell;
        ++cells[cell];
        ++answers[answer];
    };
    for (SheetProblem e : expressions) {
        e.compare = row.constraints.compare;
        for (std::int64_t n = numbers.low; n <= numbers.high && e.compare == CompareForm::Number; n += numbers.step) {
            e.otherResult = double(n);
            keep(e, double(n));
        }
        for (const SheetProblem& o : expressions) {
            if (e.compare != CompareForm::Expression)
                break;
            if (problemKey(o) == problemKey(e)) // itself: no question
                continue;
            e.otherOperation = o.operation, e.otherLeft = o.left, e.otherRight = o.right, e.otherResult = o.result;
            keep(e, o.result);
        }
    }
    std::set<Sides> listed;
    for (const Relation relation : {Relation::Less, Relation::Equal, Relation::Greater})
        compared.forEachWith(relation, [&](const SheetProblem& p) {
            EXPECT_TRUE(listed.insert(sidesOf(p)).second);
            EXPECT_EQ(allowed.count(sidesOf(p)) ? std::get<2>(allowed[sidesOf(p)]) : -1, int(relation));
            EXPECT_EQ(p.relation(), relation);
        });
    EXPECT_EQ(listed.size(), allowed.size());
    for (const Relation relation : {Relation::Less, Relation::Equal, Relation::Greater})
        EXPECT_EQ(compared.count(relation), answers[int(relation)]);
    const auto share = [&row](int side) { return side == 4 ? 1.0 : operationShare(row.type, Operation(side)); };
    std::map<int, double> firsts, seconds;  // the shares of the operations with problems, of those beside one
    std::map<std::pair<int, int>, int> open; // answers of two sides
    for (const auto& [cell, count] : cells) {
        const auto [first, second, answer] = cell;
        if (open[{first, second}]++ == 0)
            seconds[first] += share(second);
        firsts[first] = share(first);
    }
    double shares = 0.0;
    for (const auto& [first, firstShare] : firsts)
        shares += firstShare;
    const auto chanceOf = [&](int first, int second) {
        return share(first) / shares * share(second) / seconds[first];
    };
    std::map<Sides, std::uint64_t> ids;
    std::map<std::uint64_t, double> expected, sidesExpected;
    for (const auto& [sides, cell] : allowed) {
        const auto [first, second, answer] = cell;
        ids.emplace(sides, ids.size());
        expected[ids[sides]] = chanceOf(first, second) / open[{first, second}] / double(cells[cell]);
        sidesExpected[std::uint64_t(first * 5 + second)] = chanceOf(first, second);
    }
    SeededRandom random(2026);
    CompareSource source(compared, false, random);
    std::map<std::uint64_t, std::int64_t> seen, sidesSeen;
    for (int i = 0; i < 200'000; ++i) {
        const SheetProblem p = source.next();
        const auto found = ids.find(sidesOf(p));
        ++seen[found == ids.end() ? ids.size() : found->second];
        ++sidesSeen[std::uint64_t(int(p.operation) * 5 + (p.compare == CompareForm::Number ? 4 : int(p.otherOperation)))];
    }
    // Each problem, and the operations of the two sides with the type's shares.
    for (const auto& [chances, counts] : {std::pair{&expected, &seen}, std::pair{&sidesExpected, &sidesSeen}}) {
        const auto test = testing::chiSquare(*chances, *counts);
        EXPECT_EQ(test.unexpected, "");
        EXPECT_GT(test.p, 1e-6) << "chi-square " << test.statistic << " with " << test.degreesOfFreedom << " degrees";
    }
}

class Forms : public ::testing::TestWithParam<FormRow> {};

// Every allowed problem listed once and no other, a key standing for the
// whole problem; blanks only where the rest of the problem determines them.
// Drawn, each kind as often as its share among the kinds that have problems,
// each problem of a kind equally often, each allowed blank place equally often.
TEST_P(Forms, ListEveryAllowedProblemAndDrawEachWithItsShare)
{
    const auto& row = GetParam();
    const auto planned = planRun(settingsOf(row), row.constraints);
    ASSERT_TRUE(planned.plan && planned.plan->formed()) << static_cast<int>(planned.refusal.code);
    if (row.constraints.compare != CompareForm::None)
        return compareWithOracle(row, *planned.plan->compared());
    const FormedProblems& formed = *planned.plan->formed();
    std::set<std::uint64_t> allowed, listed;
    double shares = 0.0;
    for (const auto& [kind, keys] : allowedProblems(row)) {
        allowed.insert(keys.begin(), keys.end());
        shares += kind < 4 ? operationShare(row.type, Operation(kind))
                           : operationShare(row.type, Operation(kind / 4)) * operationShare(row.type, Operation(kind % 4));
    }
    std::map<std::uint64_t, double> expected;
    for (const ShapeProblems& shape : formed.shapes) {
        const double share = shape.shape().share / shares / double(shape.size());
        shape.forEach([&](SheetProblem problem) {
            listed.insert(problemKey(problem));
            const SheetProblem back = problemFromKey(problemKey(problem));
            EXPECT_TRUE(problemKey(back) == problemKey(problem) && back.result == problem.result &&
                        back.remainder == problem.remainder);
            BlankSpot spots[3];
            const std::set<BlankSpot> mixed(spots, spots + blankSpots(problem, BlankChoice::Mixed, spots));
            EXPECT_TRUE(mixed.count(BlankSpot::Result));
            // A division with a remainder keeps its blank on the result even
            // where the remainder would pin the operand down: a pupil reads
            // a blank as the one number that fits.
            for (const BlankSpot spot : {BlankSpot::First, BlankSpot::Second})
                EXPECT_EQ(mixed.count(spot) == 1, problem.remainder == 0.0 && solutionsAt(problem, spot) == 1)
                    << problemKey(problem) << " spot " << int(spot);
            // Asked for one operand, the blank goes there where it may, else on the result.
            for (const auto& [choice, spot] :
                 {std::pair{BlankChoice::First, BlankSpot::First}, std::pair{BlankChoice::Second, BlankSpot::Second}})
                EXPECT_TRUE(blankSpots(problem, choice, spots) == 1 &&
                            spots[0] == (mixed.count(spot) ? spot : BlankSpot::Result));
            const int count = blankSpots(problem, row.constraints.blank, spots);
            for (int i = 0; i < count; ++i) {
                problem.blank = spots[i];
                expected[problemKey(problem)] += share / count;
            }
        });
        // Numbered access finds what the listing found.
        for (std::int64_t i = 0; i < shape.size(); i += std::max<std::int64_t>(1, shape.size() / 7))
            EXPECT_TRUE(listed.count(problemKey(shape.at(i))));
    }
    EXPECT_EQ(listed, allowed);
    EXPECT_EQ(formed.size(), std::int64_t(allowed.size()));
    SeededRandom random(2026);
    constexpr int kDraws = 200'000;
    FormedSource source(formed, row.constraints.blank, false, random, kDraws);
    std::map<std::uint64_t, std::int64_t> seen;
    for (int i = 0; i < kDraws; ++i)
        ++seen[problemKey(source.next())];
    const auto test = testing::chiSquare(expected, seen);
    EXPECT_EQ(test.unexpected, "");
    EXPECT_GT(test.p, 1e-6) << "chi-square " << test.statistic << " with " << test.degreesOfFreedom << " degrees";
    EXPECT_TRUE(expected.size() >= 2000 || seen.size() == expected.size()) << "some allowed problem was never drawn";
}

// Distinct problems: exactly as many as there are, and then no more.
TEST_P(Forms, KnowHowManyDistinctProblemsThereAre)
{
    FormRow row = GetParam();
    row.constraints.distinct = true;
    const auto planned = planRun(settingsOf(row), row.constraints);
    ASSERT_TRUE(planned.plan) << static_cast<int>(planned.refusal.code);
    const auto* compared = planned.plan->compared();
    const std::int64_t distinct =
        compared ? compared->size() : planned.plan->formed()->distinctUpTo(row.constraints.blank, 32766);
    if (distinct > 3000)
        GTEST_SKIP() << "too many to write out";
    EXPECT_FALSE(planRun(settingsOf(row, std::to_string(distinct + 1).c_str()), row.constraints).plan);
    testing::ScriptedServices services;
    const auto made = makeSheet(settingsOf(row, std::to_string(distinct).c_str()), {7, row.constraints, {}}, services);
    ASSERT_TRUE(made.sheet) << static_cast<int>(made.refusal.code);
    std::set<Sides> keys;
    for (const SheetProblem& problem : made.sheet->problems)
        keys.insert(sidesOf(problem));
    EXPECT_EQ(std::int64_t(keys.size()), distinct);
}

using enum ProblemType;
using enum BlankChoice;
constexpr auto CarryWith = CarryRule::With, CarryWithout = CarryRule::Without;
constexpr auto BorrowWith = BorrowRule::With, BorrowWithout = BorrowRule::Without;

const FormRow kRows[] = {
    {"BlankFirstAdditions", Addition, "1", "10", false, {.blank = First}},
    {"BlankSecondSubtractionsAcrossZero", Subtraction, "-3", "5", false, {.blank = Second}},
    {"MixedBlanksWithZeroFactors", Multiplication, "-2", "4", false, {.blank = Mixed}},
    {"MixedBlanksAndRemainders", Division, "1", "12", true, {.blank = Mixed}},
    {"ExactDivisionSmallestAboveLargest", Division, "9", "2", false, {.blank = Mixed}},
    {"NegativeDivisorsWithRemainders", MultiplicationDivision, "-4", "7", true, {.result = WholeRange{-3, 3}}},
    {"NoTrivialProblemsOfAllFour", AllFour, "0", "6", false, {.noTrivial = true}},
    {"TwoDigitPlusOneDigit", Addition, "1", "10", false, {.first = WholeRange{10, 20}, .second = WholeRange{1, 9}}},
    {"ResultsInARangeFractionalEnds", AllFour, "0.5", "7.5", false, {.result = WholeRange{5, 8}}},
    {"CarryFreeWithSecondBlank", AdditionSubtraction, "0", "12", false, {.carry = CarryWithout, .blank = Second}},
    {"ChainedAdditions", Addition, "0", "9", false, {.terms = 3}},
    {"ChainedSubtractionsWithoutBorrow", Subtraction, "0", "12", false, {.borrow = BorrowWithout, .terms = 3}},
    {"MixedChainsCarryingAndBorrowing", AdditionSubtraction, "0", "12", false,
     {.carry = CarryWith, .borrow = BorrowWith, .terms = 3}},
    {"MixedChainsNoTrivialResultRangeBlanks", AdditionSubtraction, "1", "9", false,
     {.blank = Mixed, .terms = 3, .result = WholeRange{3, 9}, .noTrivial = true}},
    {"ChainedSubtractionsNoTrivial", Subtraction, "0", "9", false, {.terms = 3, .noTrivial = true}},
    {"ChainsWithNegativeOperands", AdditionSubtraction, "0", "6", false, {.terms = 3, .second = WholeRange{-3, 3}}},
    // Two steps, × and ÷ first, and brackets where they change the order.
    {"TwoStepsOfAllFour", AllFour, "1", "6", false, {.terms = 3, .result = WholeRange{0, 30}}},
    {"TwoStepsNegativeSecondsMixedBlanks", AdditionSubtractionMultiplication, "0", "6", false,
     {.blank = Mixed, .terms = 3, .second = WholeRange{-3, 4}}},
    {"BracketsOfAllFourNoTrivial", AllFour, "1", "8", false,
     {.blank = Mixed, .terms = 3, .result = WholeRange{1, 40}, .noTrivial = true, .brackets = true}},
    {"BracketedChainsCarryingWithoutBorrow", AdditionSubtraction, "0", "12", false,
     {.carry = CarryWith, .borrow = BorrowWithout, .terms = 3, .brackets = true}},
    {"BracketedProductsAndQuotientsOwnRanges", MultiplicationDivision, "1", "12", true,
     {.terms = 3, .first = WholeRange{6, 30}, .second = WholeRange{1, 6}, .result = WholeRange{0, 60}, .brackets = true}},
    // Operands and results above 1 bound the inner value from the outer step.
    {"BracketsOfAllFourOperandsAndResultsAboveOne", AllFour, "1", "9", false,
     {.terms = 3, .second = WholeRange{3, 7}, .result = WholeRange{5, 45}, .brackets = true}},
    // Taking out a trivial problem that the digit rule already left out
    // must not take one more away.
    {"NoTrivialCarryingAndBorrowing", AdditionSubtraction, "0", "30", false,
     {.carry = CarryWith, .borrow = BorrowWith, .noTrivial = true}},
    // Own ranges at or above 0 keep the digit rules' operands there,
    // whatever the run's range reaches below.
    {"CarryingOwnRangesAboveANegativeRun", Addition, "-5", "12", false,
     {.carry = CarryWith, .first = WholeRange{5, 15}, .second = WholeRange{0, 9}}},
    // Comparisons, of each kind of expression the forms draw.
    {"CompareSumsWithNumbers", Addition, "0", "6", false, {.compare = CompareForm::Number}},
    {"CompareCarryingSumsOwnRanges", Addition, "0", "9", false,
     {.carry = CarryWith, .first = WholeRange{5, 15}, .second = WholeRange{0, 9}, .compare = CompareForm::Number}},
    {"CompareDifferencesWithoutBorrow", Subtraction, "0", "12", false,
     {.borrow = BorrowWithout, .compare = CompareForm::Expression}},
    {"CompareAllFourWithinAResultRange", AllFour, "1", "6", false,
     {.result = WholeRange{2, 9}, .compare = CompareForm::Number}},
    {"CompareProductsAroundZeroNoTrivial", Multiplication, "-3", "4", false,
     {.noTrivial = true, .compare = CompareForm::Expression}},
    {"CompareQuotientsOfNegativeDivisors", MultiplicationDivision, "-4", "7", false, {.compare = CompareForm::Expression}},
    // One-digit differences never borrow: the other three operations share the draws.
    {"CompareAllFourCarryingAndBorrowing", AllFour, "1", "9", false,
     {.carry = CarryWith, .borrow = BorrowWith, .compare = CompareForm::Expression}},
    // Ranges on a step: 10..95/10 is 10, 20, ..., 90; steps of the second
    // number and of the result hold together; a power of ten fixes the low
    // digits that carrying and borrowing read.
    {"WholeTensPlusOnesHighOffTheStep", Addition, "1", "10", false, {.first = WholeRange{10, 95, 10}, .second = WholeRange{1, 9}}},
    {"SumsAndDifferencesOnTwoSteps", AdditionSubtraction, "0", "30", false,
     {.second = WholeRange{1, 25, 4}, .result = WholeRange{0, 30, 3}}},
    {"ProductsAcrossZeroOnAResultStep", Multiplication, "-6", "12", false,
     {.second = WholeRange{-4, 12, 2}, .result = WholeRange{-30, 60, 4}}},
    {"CarryingTensOnSteps", Addition, "0", "10", false,
     {.carry = CarryWith, .first = WholeRange{15, 295, 10}, .second = WholeRange{5, 95, 10}}},
    {"BorrowFreeOnStepsOfTenAndAHundred", Subtraction, "0", "10", false,
     {.borrow = BorrowWithout, .first = WholeRange{105, 395, 10}, .second = WholeRange{3, 303, 100}}},
    {"ExactDivisionByStepsAcrossZero", Division, "0", "10", false,
     {.first = WholeRange{100, 900, 100}, .second = WholeRange{-10, 10, 5}}},
    {"ChainsOnSteps", AdditionSubtraction, "0", "9", false,
     {.blank = Mixed, .terms = 3, .first = WholeRange{0, 60, 10}, .second = WholeRange{0, 30, 5}, .result = WholeRange{0, 60, 15}}},
    // Two steps on steps: each printed number on its range's step, the
    // result on its own; a product's first factor and a quotient's dividend
    // are held to theirs through the inner value.
    {"BracketedSumsAndDifferencesOnSteps", AdditionSubtraction, "0", "9", false,
     {.terms = 3, .first = WholeRange{0, 90, 10}, .second = WholeRange{0, 40, 10}, .result = WholeRange{0, 90, 30},
      .brackets = true}},
    {"TwoStepsOfAllFourEvenFirsts", AllFour, "1", "9", false,
     {.blank = Mixed, .terms = 3, .first = WholeRange{2, 24, 2}, .second = WholeRange{1, 6}, .result = WholeRange{0, 40},
      .brackets = true}},
    {"QuotientsFirstOnEvenDividends", MultiplicationDivision, "1", "9", false,
     {.terms = 3, .first = WholeRange{2, 36, 2}, .second = WholeRange{1, 6}, .result = WholeRange{0, 40}}},
    {"TwoStepsOfThreeOnAResultStep", AdditionSubtractionMultiplication, "1", "9", false,
     {.terms = 3, .first = WholeRange{0, 20, 4}, .second = WholeRange{1, 6}, .result = WholeRange{0, 60, 6}}},
    {"CompareTensSumsWithNumbersOnAStep", Addition, "0", "9", false,
     {.first = WholeRange{10, 50, 10}, .second = WholeRange{1, 9}, .result = WholeRange{12, 58, 5}, .compare = CompareForm::Number}},
};

INSTANTIATE_TEST_SUITE_P(Rows, Forms, ::testing::ValuesIn(kRows), [](const auto& info) { return info.param.name; });

} // namespace
} // namespace sumlark
