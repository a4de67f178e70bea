#include "ProblemConstraints.h"
#include "ProblemSource.h"

#include <gtest/gtest.h>

namespace sumlark {
namespace {

struct DigitRow {
    const char* name;
    std::int64_t left;
    std::int64_t right;
    bool expected;
};

class CarryEdges : public ::testing::TestWithParam<DigitRow> {};

TEST_P(CarryEdges, SomeColumnReachesTen)
{
    const auto& row = GetParam();
    EXPECT_EQ(hasCarry(row.left, row.right), row.expected);
    EXPECT_EQ(hasCarry(row.right, row.left), row.expected) << "addition is symmetric";
}

INSTANTIATE_TEST_SUITE_P(
    Additions, CarryEdges,
    ::testing::Values(DigitRow{"NinePlusOneCarries", 9, 1, true}, DigitRow{"EightPlusOneDoesNot", 8, 1, false},
                      DigitRow{"UnitsCarryIntoTens", 19, 81, true}, DigitRow{"TensAloneReachTen", 40, 60, true},
                      DigitRow{"NineteenPlusEightyDoesNot", 19, 80, false}, DigitRow{"ZeroPlusZero", 0, 0, false},
                      DigitRow{"ZeroPlusNine", 0, 9, false}, DigitRow{"ZeroPlusLargest", 0, 32767, false},
                      DigitRow{"HighColumnOnly", 5000, 5000, true}, DigitRow{"ShorterOperand", 1234, 5, false},
                      DigitRow{"ShorterOperandCarries", 1236, 4, true}),
    [](const auto& info) { return std::string(info.param.name); });

class BorrowEdges : public ::testing::TestWithParam<DigitRow> {};

TEST_P(BorrowEdges, SomeSubtrahendDigitIsLarger)
{
    const auto& row = GetParam();
    EXPECT_EQ(hasBorrow(row.left, row.right), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Subtractions, BorrowEdges,
    ::testing::Values(DigitRow{"TenMinusOneBorrows", 10, 1, true}, DigitRow{"HundredMinusOneBorrows", 100, 1, true},
                      DigitRow{"ElevenMinusOneDoesNot", 11, 1, false}, DigitRow{"EqualOperands", 47, 47, false},
                      DigitRow{"MinusZero", 305, 0, false}, DigitRow{"ZeroMinusZero", 0, 0, false},
                      DigitRow{"TensBorrowOnly", 305, 150, true}, DigitRow{"DigitwiseSmaller", 9876, 5432, false},
                      DigitRow{"ShorterSubtrahend", 1000, 999, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DigitRules, ApplyOnlyToTheirOperationAndToThePrintedOrder)
{
    ProblemConstraints carry;
    carry.carry = CarryRule::With;
    EXPECT_TRUE(meetsDigitRules({Operation::Addition, 19, 81}, carry));
    EXPECT_FALSE(meetsDigitRules({Operation::Addition, 10, 80}, carry));
    EXPECT_TRUE(meetsDigitRules({Operation::Subtraction, 10, 1}, carry)) << "carry says nothing of subtraction";
    EXPECT_TRUE(meetsDigitRules({Operation::Multiplication, 1, 1}, carry));

    ProblemConstraints noBorrow;
    noBorrow.borrow = BorrowRule::Without;
    // 12 and 30 drawn in either order print as 30 - 12, which borrows.
    for (const auto& draw : {ProblemDraw{1, 12, 30}, ProblemDraw{1, 30, 12}}) {
        const auto problem = applyRule(Operation::Subtraction, draw, {});
        ASSERT_TRUE(problem);
        EXPECT_FALSE(meetsDigitRules(*problem, noBorrow));
    }
    EXPECT_TRUE(meetsDigitRules({Operation::Addition, 9, 1}, noBorrow));
}

TEST(ProblemKey, SameQuestionCellSameKey)
{
    const RuleBounds bounds{100, 100, true};
    const auto key = [&](Operation operation, double a, double b) {
        return problemKey(*applyRule(operation, {1, a, b}, bounds));
    };
    EXPECT_EQ(key(Operation::Subtraction, 12, 30), key(Operation::Subtraction, 30, 12));
    EXPECT_EQ(key(Operation::Division, 6, 47), key(Operation::Division, 47, 6));
    EXPECT_NE(key(Operation::Addition, 3, 5), key(Operation::Addition, 5, 3)) << "3＋5= and 5＋3= are two cells";
    EXPECT_NE(key(Operation::Addition, 3, 5), key(Operation::Multiplication, 3, 5));
    EXPECT_NE(key(Operation::Subtraction, -32768, 32767), key(Operation::Subtraction, 32767, -32767));
    const AcceptedProblem extreme{Operation::Division, 32767, -32768};
    const AcceptedProblem back = problemFromKey(problemKey(extreme));
    EXPECT_EQ(back.operation, extreme.operation);
    EXPECT_EQ(back.left, extreme.left);
    EXPECT_EQ(back.right, extreme.right);
}

} // namespace
} // namespace sumlark
