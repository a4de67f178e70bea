#include "GenerateSheets.h"
#include "ScriptedServices.h"
#include "SheetLayout.h"
#include "SheetText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace sumlark {
namespace {

using testing::ScriptedServices;

const std::string kQuestionPath = std::string("/m") + kPathSeparator + "速算答题.txt";
const std::string kAnswerPath = std::string("/m") + kPathSeparator + "速算答题-答案.txt";

struct Made {
    std::vector<testing::ParsedCell> questions;
    std::vector<testing::ParsedCell> answers;
};

Made make(ProblemType type, const char* smallest, const char* largest, const char* count, bool allowRemainder,
          bool writeAnswers = true, std::uint64_t seed = 11)
{
    WorksheetSettings settings;
    settings.problemType = type;
    settings.typeText = std::string(problemTypeText(type));
    settings.smallestText = smallest;
    settings.largestText = largest;
    settings.countText = count;
    settings.perLineText = "8";
    settings.allowRemainder = allowRemainder;
    settings.writeAnswers = writeAnswers;
    settings.numbered = true;
    settings.openWhenDone = false;
    ScriptedServices services;
    services.useSeededRandom = true;
    const auto result = generateSheets(settings, "/m", services, RunOptions{seed});
    EXPECT_FALSE(result.refused) << result.refusalText;
    Made made;
    for (const auto& cell : testing::allCells(services.files.at(kQuestionPath)))
        made.questions.push_back(testing::parseCell(cell.text));
    for (const auto& cell : testing::allCells(services.files.at(kAnswerPath)))
        made.answers.push_back(testing::parseCell(cell.text));
    return made;
}

std::map<std::string, double> signShares(const std::vector<testing::ParsedCell>& cells)
{
    std::map<std::string, double> shares;
    for (const auto& cell : cells)
        shares[cell.sign] += 1.0 / static_cast<double>(cells.size());
    return shares;
}

TEST(EqualBounds, AdditionSubtractionAt500WritesOnlySubtractions)
{
    const auto made = make(ProblemType::AdditionSubtraction, "500", "500", "50", false);
    ASSERT_EQ(made.answers.size(), 50u);
    for (const auto& cell : made.answers) {
        EXPECT_EQ(cell.sign, "－");
        EXPECT_EQ(cell.left, 500);
        EXPECT_EQ(cell.result, 0);
    }
}

TEST(EqualBounds, MultiplicationDivisionAt10WritesOnlyTenDividedByTen)
{
    for (const bool remainder : {false, true}) {
        const auto made = make(ProblemType::MultiplicationDivision, "10", "10", "40", remainder);
        ASSERT_EQ(made.answers.size(), 40u);
        for (const auto& cell : made.answers) {
            EXPECT_EQ(cell.sign, "÷");
            EXPECT_EQ(cell.left, 10);
            EXPECT_EQ(cell.right, 10);
            EXPECT_EQ(cell.result, 1);
            EXPECT_FALSE(cell.hasRemainder);
        }
    }
}

TEST(EqualBounds, ThreeOperationsAt12WritesOnlySubtractions)
{
    const auto shares = signShares(make(ProblemType::AdditionSubtractionMultiplication, "12", "12", "60", false).questions);
    ASSERT_EQ(shares.size(), 1u);
    EXPECT_EQ(shares.begin()->first, "－");
}

TEST(EqualBounds, AllFourAt12SplitsBetweenSubtractionAndDivision)
{
    const auto shares = signShares(make(ProblemType::AllFour, "12", "12", "4000", false).questions);
    ASSERT_EQ(shares.size(), 2u);
    EXPECT_NEAR(shares.at("－"), 0.5, 0.04);
    EXPECT_NEAR(shares.at("÷"), 0.5, 0.04);
}

struct ShareRow {
    const char* name;
    ProblemType type;
    bool allowRemainder;
    double addition, subtraction, multiplication, division;
};

class WrittenShares : public ::testing::TestWithParam<ShareRow> {};

// A rejection throws the drawn operation away too, so the operations whose
// rules reject less take a larger share of what is written.
TEST_P(WrittenShares, FollowTheAcceptanceOfEachRule)
{
    const auto& row = GetParam();
    const auto shares = signShares(make(row.type, "1", "10", "30000", row.allowRemainder, false).questions);
    const std::map<std::string, double> expected = {
        {"＋", row.addition}, {"－", row.subtraction}, {"×", row.multiplication}, {"÷", row.division}};
    for (const auto& [sign, share] : expected) {
        const double written = shares.count(sign) ? shares.at(sign) : 0.0;
        EXPECT_NEAR(written, share, 0.012) << sign;
    }
}

INSTANTIATE_TEST_SUITE_P(
    OneToTen, WrittenShares,
    ::testing::Values(ShareRow{"AdditionSubtraction", ProblemType::AdditionSubtraction, false, 0.310, 0.690, 0, 0},
                      ShareRow{"MultiplicationDivision", ProblemType::MultiplicationDivision, false, 0, 0, 0.692, 0.308},
                      ShareRow{"MultiplicationDivisionWithRemainders", ProblemType::MultiplicationDivision, true, 0, 0,
                               0.497, 0.503},
                      ShareRow{"ThreeOperations", ProblemType::AdditionSubtractionMultiplication, false, 0.184, 0.410,
                               0.406, 0},
                      ShareRow{"AllFour", ProblemType::AllFour, false, 0.156, 0.347, 0.344, 0.153},
                      ShareRow{"AllFourWithRemainders", ProblemType::AllFour, true, 0.131, 0.291, 0.288, 0.291}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RemainderSwitch, MakesNoDifferenceWithoutDivision)
{
    for (const auto type : {ProblemType::AdditionSubtraction, ProblemType::AdditionSubtractionMultiplication}) {
        const auto without = make(type, "1", "50", "300", false);
        const auto with = make(type, "1", "50", "300", true);
        ASSERT_EQ(without.answers.size(), with.answers.size());
        for (std::size_t i = 0; i < with.answers.size(); ++i) {
            EXPECT_EQ(without.answers[i].left, with.answers[i].left);
            EXPECT_EQ(without.answers[i].sign, with.answers[i].sign);
            EXPECT_EQ(without.answers[i].right, with.answers[i].right);
        }
    }
}

TEST(RemainderSwitch, DivisionTypesWithoutAnswersStillNumberEachProblemOnce)
{
    for (const auto type : {ProblemType::MultiplicationDivision, ProblemType::AllFour}) {
        const auto made = make(type, "1", "100", "250", true, false);
        EXPECT_TRUE(made.answers.empty());
        ASSERT_EQ(made.questions.size(), 250u);
        for (std::size_t i = 0; i < made.questions.size(); ++i)
            EXPECT_EQ(made.questions[i].serial, static_cast<int>(i + 1));
    }
}

struct RangeRow {
    const char* name;
    const char* smallest;
    const char* largest;
    bool allowRemainder;
};

class EveryType : public ::testing::TestWithParam<std::tuple<int, RangeRow>> {};

TEST_P(EveryType, WrittenProblemsObeyTheirRules)
{
    const auto type = static_cast<ProblemType>(std::get<0>(GetParam()));
    const auto& range = std::get<1>(GetParam());
    const double largest = std::stod(range.largest);
    const double lo = std::min(std::stod(range.smallest), largest + 1);
    const double hi = std::max(std::stod(range.smallest), largest);
    const auto made = make(type, range.smallest, range.largest, "400", range.allowRemainder);
    ASSERT_EQ(made.answers.size(), 400u);
    for (const auto& cell : made.answers) {
        EXPECT_GE(std::min(cell.left, cell.right), lo);
        EXPECT_LE(std::max(cell.left, cell.right), hi);
        if (cell.sign == "＋") {
            EXPECT_LE(cell.result, largest);
            EXPECT_EQ(cell.result, cell.left + cell.right);
        } else if (cell.sign == "－") {
            EXPECT_GE(cell.result, 0);
            EXPECT_EQ(cell.result, cell.left - cell.right);
        } else if (cell.sign == "×") {
            EXPECT_LT(cell.result, 10 * largest);
            EXPECT_EQ(cell.result, cell.left * cell.right);
        } else {
            ASSERT_EQ(cell.sign, "÷");
            EXPECT_TRUE(range.allowRemainder || !cell.hasRemainder);
            EXPECT_EQ(cell.result * cell.right + cell.remainder, cell.left);
            if (cell.hasRemainder) {
                EXPECT_GT(cell.remainder, 0);
                EXPECT_LT(cell.remainder, std::llabs(cell.right));
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, EveryType,
    ::testing::Combine(::testing::Range(0, kProblemTypeCount),
                       ::testing::Values(RangeRow{"OneTo100", "1", "100", false},
                                         RangeRow{"TwentyTo1000Remainders", "20", "1000", true},
                                         RangeRow{"TwoTo3000", "2", "3000", false},
                                         RangeRow{"AcrossZero", "-20", "20", true})),
    [](const auto& info) {
        return "Type" + std::to_string(std::get<0>(info.param)) + "_" + std::get<1>(info.param).name;
    });

} // namespace
} // namespace sumlark
