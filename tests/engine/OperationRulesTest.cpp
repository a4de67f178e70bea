#include "OperationRules.h"

#include <gtest/gtest.h>

namespace sumlark {
namespace {

WorksheetSettings withLargest(const char* largest, bool allowRemainder = false)
{
    WorksheetSettings settings;
    settings.largestText = largest;
    settings.allowRemainder = allowRemainder;
    return settings;
}

struct RuleRow {
    const char* name;
    Operation operation;
    double first;
    double second;
    const char* largest;
    bool allowRemainder;
    const char* question; // empty when rejected
    const char* answer;
};

class ComposeProblem : public ::testing::TestWithParam<RuleRow> {};

TEST_P(ComposeProblem, AcceptsOrRejectsAndWordsTheCells)
{
    const auto& row = GetParam();
    const ProblemDraw draw{1, row.first, row.second};
    const auto outcome = composeProblem(row.operation, draw, "", withLargest(row.largest, row.allowRemainder));
    const bool expectAccepted = std::string_view(row.question).size() > 0;
    ASSERT_EQ(outcome.accepted, expectAccepted);
    EXPECT_EQ(outcome.questionCell, row.question);
    EXPECT_EQ(outcome.answerCell, row.answer);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, ComposeProblem,
    ::testing::Values(
        RuleRow{"AdditionWithinLimit", Operation::Addition, 35, 48, "100", false, "35＋48=", "35＋48=83"},
        RuleRow{"AdditionSumEqualToLimit", Operation::Addition, 60, 40, "100", false, "60＋40=", "60＋40=100"},
        RuleRow{"AdditionOverLimit", Operation::Addition, 35, 48, "50", false, "", ""},
        RuleRow{"AdditionOneOverLimit", Operation::Addition, 51, 50, "100", false, "", ""},
        RuleRow{"SubtractionSwapsSmallerFirst", Operation::Subtraction, 12, 30, "10", false, "30－12=", "30－12=18"},
        RuleRow{"SubtractionEqualOperands", Operation::Subtraction, 7, 7, "10", false, "7－7=", "7－7=0"},
        RuleRow{"MultiplicationBelowTenTimes", Operation::Multiplication, 9, 10, "10", false, "9×10=", "9×10=90"},
        RuleRow{"MultiplicationAtTenTimes", Operation::Multiplication, 10, 10, "10", false, "", ""},
        RuleRow{"MultiplicationJustBelow", Operation::Multiplication, 11, 9, "10", false, "11×9=", "11×9=99"},
        RuleRow{"MultiplicationLargestNotANumber", Operation::Multiplication, 500, 500, "abc", false, "500×500=",
                "500×500=250000"},
        RuleRow{"DivisionUnevenRejected", Operation::Division, 6, 47, "10", false, "", ""},
        RuleRow{"DivisionUnevenWithRemainder", Operation::Division, 6, 47, "10", true, "47÷6=", "47÷6=7...5"},
        RuleRow{"DivisionEven", Operation::Division, 48, 6, "10", false, "48÷6=", "48÷6=8"},
        RuleRow{"DivisionEvenWithRemainderAllowed", Operation::Division, 48, 6, "10", true, "48÷6=", "48÷6=8"},
        RuleRow{"DivisionZeroSecond", Operation::Division, 5, 0, "10", true, "", ""},
        RuleRow{"DivisionZeroFirst", Operation::Division, 0, 5, "10", true, "", ""},
        RuleRow{"DivisionNegativeFirst", Operation::Division, -4, 2, "10", true, "", ""},
        RuleRow{"DivisionNegativeDivisor", Operation::Division, 7, -2, "10", true, "7÷-2=", "7÷-2=-3...1"},
        RuleRow{"NegativeOperandsPrinted", Operation::Subtraction, -3, -8, "10", false, "-3－-8=", "-3－-8=5"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ComposeProblemPrefix, SerialPrefixLeadsBothCells)
{
    const auto outcome = composeProblem(Operation::Addition, {1, 35, 48}, "07) ", withLargest("100"));
    EXPECT_EQ(outcome.questionCell, "07) 35＋48=");
    EXPECT_EQ(outcome.answerCell, "07) 35＋48=83");
}

TEST(RemainderForm, RemainderLiesBetweenZeroAndDivisor)
{
    const RuleBounds bounds{100.0, 100.0, true};
    for (int a = 1; a <= 40; ++a) {
        for (int b = 1; b <= 40; ++b) {
            const auto problem = applyRule(Operation::Division, {1, double(a), double(b)}, bounds);
            ASSERT_TRUE(problem);
            const int dividend = static_cast<int>(problem->left);
            const int divisor = static_cast<int>(problem->right);
            const std::string expected = dividend % divisor == 0
                                             ? std::to_string(dividend / divisor)
                                             : std::to_string(dividend / divisor) + "..." +
                                                   std::to_string(dividend % divisor);
            EXPECT_EQ(resultText(*problem), expected) << a << " " << b;
        }
    }
}

TEST(OperationTable, MixedTypesWalkTheirOperationsInNameOrder)
{
    using enum Operation;
    const std::vector<std::pair<ProblemType, std::vector<Operation>>> cycles = {
        {ProblemType::AdditionSubtraction, {Addition, Subtraction}},
        {ProblemType::MultiplicationDivision, {Multiplication, Division}},
        {ProblemType::AdditionSubtractionMultiplication, {Addition, Subtraction, Multiplication}},
        {ProblemType::AllFour, {Addition, Subtraction, Multiplication, Division}},
    };
    for (const auto& [type, cycle] : cycles) {
        for (int selector = 1; selector <= 12; ++selector) {
            EXPECT_EQ(operationForSelector(type, selector), cycle[static_cast<std::size_t>(selector - 1) % cycle.size()])
                << "type " << static_cast<int>(type) << " selector " << selector;
        }
    }
}

TEST(OperationTable, SingleTypesIgnoreTheSelector)
{
    for (int selector = 1; selector <= 12; ++selector) {
        EXPECT_EQ(operationForSelector(ProblemType::Addition, selector), Operation::Addition);
        EXPECT_EQ(operationForSelector(ProblemType::Subtraction, selector), Operation::Subtraction);
        EXPECT_EQ(operationForSelector(ProblemType::Multiplication, selector), Operation::Multiplication);
        EXPECT_EQ(operationForSelector(ProblemType::Division, selector), Operation::Division);
    }
}

} // namespace
} // namespace sumlark
