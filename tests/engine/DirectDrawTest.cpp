// The engine's chances. The direct draw against the attempts it stands in
// for: every selector and every pair of drawable values enumerated with the
// chance an attempt draws them, kept when the rules accept them, and a
// million direct draws tested against the result; the generator and the
// picks from the unused problems below.

#include "ChiSquare.h"
#include "DirectDraw.h"
#include "NumberText.h"
#include "ProblemCounting.h"
#include "ProblemRules.h"
#include "ScriptedServices.h"
#include "SeededRandom.h"
#include "UnusedProblems.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <tuple>

namespace sumlark {
namespace {

struct DrawRow {
    std::string name;
    ProblemType type;
    const char *smallest, *largest;
    bool allowRemainder;
    ProblemConstraints constraints;
};

RuleBounds boundsOf(const DrawRow& row)
{
    auto settings = testing::settingsFor(row.type, row.smallest, row.largest, "1");
    settings.allowRemainder = row.allowRemainder;
    return RuleBounds::from(settings);
}

OperandRange rangeOf(const DrawRow& row)
{
    return OperandRange::from(*strictNumber(row.smallest), *strictNumber(row.largest));
}

std::map<std::uint64_t, double> attemptChances(const DrawRow& row)
{
    return testing::attemptChances(row.type, rangeOf(row), boundsOf(row), row.constraints);
}

using enum ProblemType;

class DirectDraws : public ::testing::TestWithParam<DrawRow> {};

TEST_P(DirectDraws, GiveEachProblemTheChanceTheAttemptsWould)
{
    const auto& row = GetParam();
    const RuleBounds bounds = boundsOf(row);
    const OperandRange range = rangeOf(row);
    ASSERT_LE(range.high - range.low + 1, 12);

    const auto expected = attemptChances(row);
    double acceptance = 0.0;
    for (const auto& [key, chance] : expected)
        acceptance += chance;

    const DirectDraw direct(row.type, range, bounds, row.constraints);
    EXPECT_NEAR(direct.acceptance(), acceptance, acceptance * 1e-12);

    SeededRandom random(20261207);
    std::map<std::uint64_t, std::int64_t> seen;
    for (int i = 0; i < 1'000'000; ++i) {
        double r[3];
        random.fill(r, 3);
        ++seen[problemKey(direct.draw(r))];
    }
    const auto test = testing::chiSquare(expected, seen);
    EXPECT_EQ(test.unexpected, "") << "a problem the attempts never make";
    EXPECT_GE(test.p, 1e-6) << "chi-square " << test.statistic << " with " << test.degreesOfFreedom
                            << " degrees of freedom over " << expected.size() << " problems";
}

std::vector<DrawRow> drawRows()
{
    // Twelve values at most each; the fractional ones weigh their ends less,
    // and a smallest above the largest draws its top value only from a 0.
    using Range = std::tuple<const char*, const char*, const char*>;
    const Range anyRanges[] = {{"AcrossZero", "-5", "6"}, {"FractionalEnds", "0.5", "10.25"},
                               {"SmallestAboveLargest", "12", "3"}, {"OneToTwelve", "1", "12"}};
    const Range digitRanges[] = {{"FractionalEnds", "0.5", "10.75"}, {"SmallestAboveLargest", "20", "8.5"}};
    std::vector<DrawRow> rows;
    for (int t = 0; t < kProblemTypeCount; ++t) {
        for (const bool remainder : {false, true}) {
            for (const auto& [name, smallest, largest] : anyRanges) {
                if (!remainder || typeHasOperation(ProblemType(t), Operation::Division))
                    rows.push_back({"Type" + std::to_string(t) + (remainder ? "WithRemainders" : "") + name,
                                    ProblemType(t), smallest, largest, remainder, {}});
            }
        }
    }
    // Each rule alone, and with the mixed types every pairing of the two.
    const std::tuple<ProblemType, int, int> ruled[] = {
        {Addition, 1, 0},            {Addition, 2, 0},            {Subtraction, 0, 1},         {Subtraction, 0, 2},
        {AdditionSubtraction, 1, 1}, {AdditionSubtraction, 1, 2}, {AdditionSubtraction, 2, 1}, {AdditionSubtraction, 2, 2},
        {AllFour, 1, 2},             {AllFour, 2, 1}};
    const char* ruleNames[] = {"Any", "With", "Without"};
    for (const auto& [type, carry, borrow] : ruled) {
        for (const auto& [name, smallest, largest] : digitRanges)
            rows.push_back({"Type" + std::to_string(int(type)) + "Carry" + ruleNames[carry] + "Borrow" +
                                ruleNames[borrow] + name,
                            type, smallest, largest, false, {false, CarryRule(carry), BorrowRule(borrow)}});
    }
    // A range where the type can make no problem at all has nothing to test.
    std::erase_if(rows, [](const DrawRow& row) { return attemptChances(row).empty(); });
    return rows;
}

INSTANTIATE_TEST_SUITE_P(SmallRanges, DirectDraws, ::testing::ValuesIn(drawRows()),
                         [](const auto& info) { return info.param.name; });

// Wide ranges, where the digits of five-digit numbers and the divisors of
// large ones come in: the draws accept as often as the pair counting says,
// and every drawn problem keeps the rules.
class WideDirectDraws : public ::testing::TestWithParam<DrawRow> {};

TEST_P(WideDirectDraws, AcceptAsOftenAsCountedAndKeepEveryRule)
{
    const auto& row = GetParam();
    const RuleBounds bounds = boundsOf(row);
    const OperandRange range = rangeOf(row);

    const DirectDraw direct(row.type, range, bounds, row.constraints);
    const double counted = countProblems(row.type, range, bounds, row.constraints).chance;
    ASSERT_GT(counted, 0.0);
    EXPECT_NEAR(direct.acceptance(), counted, counted * 1e-9);

    SeededRandom random(5);
    for (int i = 0; i < 20000; ++i) {
        double r[3];
        random.fill(r, 3);
        const SheetProblem problem = direct.draw(r);
        const auto again = applyRule(problem.operation, {1, problem.left, problem.right}, bounds);
        ASSERT_TRUE(again && again->left == problem.left && again->right == problem.right)
            << problem.left << " " << int(problem.operation) << " " << problem.right;
        ASSERT_TRUE(meetsDigitRules(problem, row.constraints)) << problem.left << " " << problem.right;
        ASSERT_TRUE(range.weight(int(problem.left)) > 0.0 && range.weight(int(problem.right)) > 0.0);
    }
}

const DrawRow kWideRows[] = {
    {"DivisionOfEveryPositiveValue", Division, "1", "32767", false, {}},
    {"AllFourOverTheWholeRange", AllFour, "-32768", "32767", false, {}},
    {"MultiplicationDivisionWithRemainders", MultiplicationDivision, "-32768", "32767", true, {}},
    {"SumsWithoutCarrying", Addition, "0", "32767", false, {.carry = CarryRule::Without}},
    {"SumsCarryingNearTheTop", Addition, "16381", "32767", false, {.carry = CarryRule::With}},
    {"DifferencesWithAndWithoutBorrowing", AdditionSubtraction, "9.5", "32766.5", false,
     {.carry = CarryRule::With, .borrow = BorrowRule::Without}},
    {"FromTheTopDownBorrowing", AllFour, "32767", "100", false, {.borrow = BorrowRule::With}}};

INSTANTIATE_TEST_SUITE_P(SixteenBits, WideDirectDraws, ::testing::ValuesIn(kWideRows),
    [](const auto& info) { return info.param.name; });

// The second operands beside a first one, counted without listing them,
// against the rules applied to every pair: on 16-bit ranges, for first
// operands at the ends, around 0 and spread between, at the ends of every
// run and spread between.
TEST(SecondOperands, CountWhatTheRulesAcceptUpToAnyValue)
{
    const std::pair<const char*, const char*> ranges[] = {
        {"-32768", "32767"}, {"0", "32767"}, {"9.5", "32766.5"}, {"32767", "100"}, {"4770", "15260"}};
    std::mt19937 random(12);
    for (const auto& [smallest, largest] : ranges) {
        const OperandRange range = OperandRange::from(*strictNumber(smallest), *strictNumber(largest));
        const auto values = DrawableValues::of(range);
        std::vector<std::int64_t> firsts = {values.first, values.last, 0, 1, 2, 9999, 10000};
        for (int i = 0; i < 12; ++i)
            firsts.push_back(std::uniform_int_distribution<std::int64_t>(values.first, values.last)(random));
        for (const bool remainder : {false, true}) {
            auto settings = testing::settingsFor(ProblemType::AllFour, smallest, largest, "1");
            settings.allowRemainder = remainder;
            const RuleBounds bounds = RuleBounds::from(settings);
            for (int rule = 0; rule < (values.first < 0 ? 1 : 3); ++rule) {
                const ProblemConstraints rules{false, CarryRule(rule), BorrowRule(rule)};
                for (int operation = 0; operation < 4; ++operation) {
                    for (const std::int64_t a : firsts) {
                        if (a < values.first || a > values.last)
                            continue;
                        SCOPED_TRACE(::testing::Message() << smallest << ".." << largest << " remainder " << remainder
                                                          << " rule " << rule << " operation " << operation << " a " << a);
                        const SecondOperands seconds(Operation(operation), a, values, bounds, rules, {});
                        if (operation == int(Operation::Division) && !remainder)
                            continue; // needs the divisors, which the direct draws hand it: checked there
                        std::int64_t counted = 0;
                        for (std::int64_t b = values.first; b <= values.last; ++b) {
                            const auto problem = applyRule(Operation(operation), {1, double(a), double(b)}, bounds);
                            counted += problem && meetsDigitRules(*problem, rules) ? 1 : 0;
                            if (b % 997 == 0 || b - values.first < 3 || values.last - b < 3) {
                                ASSERT_EQ(seconds.countUpTo(b), counted) << "up to " << b;
                            }
                        }
                        ASSERT_EQ(seconds.countUpTo(values.first - 1), 0);
                    }
                }
            }
        }
    }
}

// The engine's randomness: its generator gives the published algorithm's
// numbers, so a seed makes the same sheets anywhere; and the list of unused
// problems hands each out as likely as the attempts would have made it.
// Outputs of SplitMix64-seeded xoshiro256** worked out apart from this code,
// from the algorithms' published definitions.
TEST(SeededRandom, GivesTheAlgorithmsKnownNumbers)
{
    const std::pair<std::uint64_t, std::array<std::uint64_t, 4>> known[] = {
        {0, {0x99ec5f36cb75f2b4ULL, 0xbf6e1f784956452aULL, 0x1a5f849d4933e6e0ULL, 0x6aa594f1262d2d2cULL}},
        {20240901, {0xaa3cef336ba0e4dcULL, 0xc67ecdddc28ea4ceULL, 0x82659d94b3960248ULL, 0x0d12353a80d17433ULL}}};
    for (const auto& [seed, outputs] : known) {
        SeededRandom bits(seed);
        for (const std::uint64_t expected : outputs)
            EXPECT_EQ(bits.nextBits(), expected) << "seed " << seed;
        // Reals are the top 53 bits; one at a time and in threes alike.
        SeededRandom one(seed), three(seed);
        double filled[3];
        three.fill(filled, 3);
        for (int i = 0; i < 3; ++i) {
            const double r = one.next();
            EXPECT_EQ(r, double(outputs[std::size_t(i)] >> 11) * 0x1.0p-53);
            EXPECT_EQ(filled[i], r);
        }
    }
    EXPECT_EQ(deriveSeed(2024, 1), 0x18e430bb1511f2d2ULL);
    EXPECT_EQ(deriveSeed(2024, 3), 0x1dbe69e0ae9bb859ULL);
}

// The p-values the chance tests stand on, at quantiles from published tables
// and, for two degrees of freedom, from its closed form exp(-x / 2).
TEST(ChiSquare, GivesKnownTailChances)
{
    for (const auto& [degrees, statistic, p] :
         {std::tuple{1, 3.841458820694124, 0.05}, {10, 18.307038053275146, 0.05}, {100, 124.34211340400407, 0.05},
          {2, 2.0 * std::log(1e6), 1e-6}, {4, 1.0636232167792094, 0.9}})
        EXPECT_NEAR(testing::upperGamma(degrees / 2.0, statistic / 2.0), p, p * 1e-6) << degrees;
}

class UnusedProblemPicks : public ::testing::TestWithParam<DrawRow> {};

// The first pick from a fresh list, over many lists, against each problem's
// exact chance: a chi-square test that fails below p = 1e-6.
TEST_P(UnusedProblemPicks, AreEachAsLikelyAsTheAttemptsWouldMakeThem)
{
    const auto& row = GetParam();
    const auto expected = attemptChances(row);
    ASSERT_GT(expected.size(), 3u);
    SeededRandom random(7);
    std::map<std::uint64_t, std::int64_t> seen;
    for (int pick = 0; pick < 60000; ++pick) {
        auto unused = UnusedProblems::acceptable(row.type, rangeOf(row), boundsOf(row), row.constraints);
        ++seen[problemKey(unused.take(random.next()))];
    }
    const auto test = testing::chiSquare(expected, seen);
    EXPECT_EQ(test.unexpected, "") << "a pick outside the acceptable problems";
    EXPECT_GE(test.p, 1e-6) << "chi-square " << test.statistic << " over " << expected.size() << " problems";
}

INSTANTIATE_TEST_SUITE_P(
    Lists, UnusedProblemPicks,
    ::testing::Values(DrawRow{"AdditionWithUnevenEnds", Addition, "0.5", "8.25", false, {.distinct = true}},
                      DrawRow{"SubtractionFromTheLargerDown", Subtraction, "9", "2", false, {.distinct = true}},
                      DrawRow{"AllFourWithRemainders", AllFour, "1", "6", true, {.distinct = true}},
                      DrawRow{"MultiplicationDivisionAcrossZero", MultiplicationDivision, "-3", "5", false,
                              {.distinct = true}}),
    [](const auto& info) { return info.param.name; });

} // namespace
} // namespace sumlark
