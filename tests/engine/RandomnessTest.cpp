// The engine's randomness: its generator gives the published algorithm's
// numbers, so a seed makes the same sheets anywhere; and the list of unused
// problems hands each out as likely as the attempts would have made it.

#include "ChiSquare.h"
#include "ProblemRules.h"
#include "UnusedProblems.h"
#include "ScriptedServices.h"
#include "SeededRandom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <tuple>

namespace sumlark {
namespace {

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

struct PickRow {
    const char* name;
    ProblemType type;
    double smallest, largest;
    bool allowRemainder;
};

class UnusedProblemPicks : public ::testing::TestWithParam<PickRow> {};

// The first pick from a fresh list, over many lists, against each problem's
// exact chance: a chi-square test that fails below p = 1e-6.
TEST_P(UnusedProblemPicks, AreEachAsLikelyAsTheAttemptsWouldMakeThem)
{
    const auto& row = GetParam();
    const OperandRange range = OperandRange::from(row.smallest, row.largest);
    auto settings = testing::settingsFor(row.type, "1", std::to_string(row.largest).c_str(), "1");
    settings.allowRemainder = row.allowRemainder;
    const RuleBounds bounds = RuleBounds::from(settings);
    const ProblemConstraints distinct{.distinct = true};
    const auto expected = testing::attemptChances(row.type, range, bounds, distinct);
    ASSERT_GT(expected.size(), 3u);
    SeededRandom random(7);
    std::map<std::uint64_t, std::int64_t> seen;
    for (int pick = 0; pick < 60000; ++pick) {
        auto unused = UnusedProblems::acceptable(row.type, range, bounds, distinct);
        ++seen[problemKey(unused.take(random.next()))];
    }
    const auto test = testing::chiSquare(expected, seen);
    EXPECT_EQ(test.unexpected, "") << "a pick outside the acceptable problems";
    EXPECT_GE(test.p, 1e-6) << "chi-square " << test.statistic << " over " << expected.size() << " problems";
}

INSTANTIATE_TEST_SUITE_P(
    Lists, UnusedProblemPicks,
    ::testing::Values(PickRow{"AdditionWithUnevenEnds", ProblemType::Addition, 0.5, 8.25, false},
                      PickRow{"SubtractionFromTheLargerDown", ProblemType::Subtraction, 9, 2, false},
                      PickRow{"AllFourWithRemainders", ProblemType::AllFour, 1, 6, true},
                      PickRow{"MultiplicationDivisionAcrossZero", ProblemType::MultiplicationDivision, -3, 5, false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace sumlark
