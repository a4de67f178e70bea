#include "ProblemCounting.h"
#include "ScriptedServices.h"
#include "SheetText.h"

#include <gtest/gtest.h>

#include <map>

namespace sumlark {
namespace {

struct ShareRow {
    const char* name;
    ProblemType type;
    const char *smallest, *largest, *count;
    bool allowRemainder;
    double tolerance;
};

class MixedTypes : public ::testing::TestWithParam<ShareRow> {};

// A rejection throws the drawn operation away too, so an operation whose rule
// rejects less takes a larger share of what is written: its selectors' share
// times its acceptance, out of the type's. The questions are numbered once
// each, in order, and without answers the answer sheet holds no problem.
TEST_P(MixedTypes, WrittenSharesFollowEachRulesAcceptance)
{
    const auto& row = GetParam();
    auto settings = testing::settingsFor(row.type, row.smallest, row.largest, row.count, "8");
    settings.allowRemainder = row.allowRemainder;
    settings.writeAnswers = false;
    settings.numbered = true;
    testing::ScriptedServices services;
    const auto result = testing::runOne(settings, "/m", services, 11);
    ASSERT_FALSE(result.report.refusal) << static_cast<int>(result.report.refusal->code);
    const auto cells = testing::allCells(services.files.at(result.question.path));
    std::map<std::string, double> shares, expected;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const auto cell = testing::parseCell(cells[i].text);
        EXPECT_EQ(cell.serial, static_cast<int>(i + 1));
        shares[cell.sign] += 1.0 / static_cast<double>(cells.size());
    }
    EXPECT_EQ(testing::problemLines(services.files.at(result.answer.path)).size(), 0u);
    const auto range = OperandRange::from(std::stod(row.smallest), std::stod(row.largest));
    const auto bounds = RuleBounds::from(settings);
    const double all = acceptanceChance(row.type, range, bounds);
    for (const Operation operation : operationsOf(row.type)) {
        const double share = operationShare(row.type, operation) * acceptanceChance(operation, range, bounds) / all;
        EXPECT_NEAR(shares[std::string(signOf(operation))], share, row.tolerance) << signOf(operation);
    }
    EXPECT_EQ(shares.size(), operationsOf(row.type).size()) << "a sign the type does not have";
}

using enum ProblemType;

INSTANTIATE_TEST_SUITE_P(
    Ranges, MixedTypes,
    ::testing::Values(ShareRow{"AddSubAt500OnlySubtracts", AdditionSubtraction, "500", "500", "50", false, 1e-9},
                      ShareRow{"MulDivAt10OnlyDivides", MultiplicationDivision, "10", "10", "40", false, 1e-9},
                      ShareRow{"MulDivAt10WithRemainders", MultiplicationDivision, "10", "10", "40", true, 1e-9},
                      ShareRow{"ThreeAt12OnlySubtracts", AdditionSubtractionMultiplication, "12", "12", "60", false, 1e-9},
                      ShareRow{"AllFourAt12HalvesSubtractAndDivide", AllFour, "12", "12", "4000", false, 0.04},
                      ShareRow{"AddSub", AdditionSubtraction, "1", "10", "30000", false, 0.012},
                      ShareRow{"MulDiv", MultiplicationDivision, "1", "10", "30000", false, 0.012},
                      ShareRow{"MulDivWithRemainders", MultiplicationDivision, "1", "10", "30000", true, 0.012},
                      ShareRow{"ThreeOperations", AdditionSubtractionMultiplication, "1", "10", "30000", false, 0.012},
                      ShareRow{"AllFour", AllFour, "1", "10", "30000", false, 0.012},
                      ShareRow{"AllFourWithRemainders", AllFour, "1", "10", "30000", true, 0.012}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MixedTypes, RemainderSwitchChangesNothingWithoutDivision)
{
    for (const auto type : {AdditionSubtraction, AdditionSubtractionMultiplication}) {
        std::string sheets[2];
        for (const bool remainder : {false, true}) {
            auto settings = testing::settingsFor(type, "1", "50", "300");
            settings.allowRemainder = remainder;
            testing::ScriptedServices services;
            sheets[remainder] = services.files[testing::runOne(settings, "/m", services, 5).answer.path];
        }
        EXPECT_EQ(sheets[0], sheets[1]);
    }
}

} // namespace
} // namespace sumlark
