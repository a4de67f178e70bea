#include "ScriptedServices.h"
#include "SheetLayout.h"
#include "SheetText.h"

#include <gtest/gtest.h>

#include <map>

namespace sumlark {
namespace {

using Shares = std::map<std::string, double>;

// The share of each sign among the written questions; also checks that each
// problem number is there once, in order.
Shares writtenShares(ProblemType type, const char* smallest, const char* largest, const char* count,
                     bool allowRemainder)
{
    auto settings = testing::settingsFor(type, smallest, largest, count, "8");
    settings.allowRemainder = allowRemainder;
    settings.writeAnswers = false;
    settings.numbered = true;
    testing::ScriptedServices services;
    services.useSeededRandom = true;
    const auto result = testing::runOne(settings, "/m", services, 11);
    EXPECT_FALSE(result.report.refusal) << static_cast<int>(result.report.refusal->code);
    const auto cells = testing::allCells(services.files.at(result.question.path));
    Shares shares;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const auto cell = testing::parseCell(cells[i].text);
        EXPECT_EQ(cell.serial, static_cast<int>(i + 1));
        shares[cell.sign] += 1.0 / static_cast<double>(cells.size());
    }
    EXPECT_EQ(testing::problemLines(services.files.at(result.answer.path)).size(), 0u);
    return shares;
}

struct ShareRow {
    const char* name;
    ProblemType type;
    const char* smallest;
    const char* largest;
    const char* count;
    bool allowRemainder;
    Shares expected;
    double tolerance;
};

class MixedTypes : public ::testing::TestWithParam<ShareRow> {};

// A rejection throws the drawn operation away too, so an operation whose rule
// rejects less takes a larger share of what is written.
TEST_P(MixedTypes, WrittenSharesFollowEachRulesAcceptance)
{
    const auto& row = GetParam();
    const Shares shares = writtenShares(row.type, row.smallest, row.largest, row.count, row.allowRemainder);
    for (const auto& [sign, share] : shares)
        EXPECT_TRUE(row.expected.count(sign)) << "unexpected " << sign;
    for (const auto& [sign, share] : row.expected)
        EXPECT_NEAR(shares.count(sign) ? shares.at(sign) : 0.0, share, row.tolerance) << sign;
}

using enum ProblemType;

INSTANTIATE_TEST_SUITE_P(
    Ranges, MixedTypes,
    ::testing::Values(
        ShareRow{"AddSubAt500OnlySubtracts", AdditionSubtraction, "500", "500", "50", false, {{"－", 1}}, 1e-9},
        ShareRow{"MulDivAt10OnlyDivides", MultiplicationDivision, "10", "10", "40", false, {{"÷", 1}}, 1e-9},
        ShareRow{"MulDivAt10WithRemainders", MultiplicationDivision, "10", "10", "40", true, {{"÷", 1}}, 1e-9},
        ShareRow{"ThreeAt12OnlySubtracts", AdditionSubtractionMultiplication, "12", "12", "60", false, {{"－", 1}},
                 1e-9},
        ShareRow{"AllFourAt12HalvesSubtractAndDivide", AllFour, "12", "12", "4000", false, {{"－", .5}, {"÷", .5}},
                 0.04},
        ShareRow{"AddSub", AdditionSubtraction, "1", "10", "30000", false, {{"＋", .310}, {"－", .690}}, 0.012},
        ShareRow{"MulDiv", MultiplicationDivision, "1", "10", "30000", false, {{"×", .692}, {"÷", .308}}, 0.012},
        ShareRow{"MulDivWithRemainders", MultiplicationDivision, "1", "10", "30000", true, {{"×", .497}, {"÷", .503}},
                 0.012},
        ShareRow{"ThreeOperations", AdditionSubtractionMultiplication, "1", "10", "30000", false,
                 {{"＋", .184}, {"－", .410}, {"×", .406}}, 0.012},
        ShareRow{"AllFour", AllFour, "1", "10", "30000", false, {{"＋", .156}, {"－", .347}, {"×", .344}, {"÷", .153}},
                 0.012},
        ShareRow{"AllFourWithRemainders", AllFour, "1", "10", "30000", true,
                 {{"＋", .131}, {"－", .291}, {"×", .288}, {"÷", .291}}, 0.012}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MixedTypes, RemainderSwitchChangesNothingWithoutDivision)
{
    for (const auto type : {AdditionSubtraction, AdditionSubtractionMultiplication}) {
        std::string sheets[2];
        for (const bool remainder : {false, true}) {
            auto settings = testing::settingsFor(type, "1", "50", "300");
            settings.allowRemainder = remainder;
            testing::ScriptedServices services;
            services.useSeededRandom = true;
            sheets[remainder] = services.files[testing::runOne(settings, "/m", services, 5).answer.path];
        }
        EXPECT_EQ(sheets[0], sheets[1]);
    }
}

} // namespace
} // namespace sumlark
