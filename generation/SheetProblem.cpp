#include "SheetProblem.h"

#include "TwoSteps.h"

#include <cmath>

namespace sumlark {

SheetProblem SheetProblem::of(const SheetProblem& operands)
{
    SheetProblem printed = operands;
    printed.remainder = 0.0;
    switch (printed.operation) {
    case Operation::Addition:
        printed.result = printed.left + printed.right;
        break;
    case Operation::Subtraction:
        printed.result = printed.left - printed.right;
        break;
    case Operation::Multiplication:
        printed.result = printed.left * printed.right;
        break;
    case Operation::Division:
        // Truncating keeps the remainder between 0 and the divisor's size,
        // also for a negative divisor from a typed range.
        printed.result = std::trunc(printed.left / printed.right);
        printed.remainder = printed.left - printed.result * printed.right;
        break;
    }
    return printed;
}

double SheetProblem::valueAt(BlankSpot spot) const
{
    switch (spot) {
    case BlankSpot::Result:
        return result;
    case BlankSpot::First:
        return left;
    case BlankSpot::Second:
        return right;
    }
    return result;
}

Relation SheetProblem::relation() const
{
    if (result < otherResult)
        return Relation::Less;
    return result > otherResult ? Relation::Greater : Relation::Equal;
}

std::uint64_t problemKey(const SheetProblem& problem)
{
    const auto operand = [](double v) {
        return static_cast<std::uint64_t>(static_cast<std::int64_t>(v) + 32768) & 0x1FFFF;
    };
    std::uint64_t key = problem.brackets ? 1 : 0;
    key = key << 2 | static_cast<std::uint64_t>(problem.operation);
    key = key << 2 | static_cast<std::uint64_t>(problem.thenOperation);
    key = key << 1 | (problem.terms == 3 ? 1 : 0);
    key = key << 2 | static_cast<std::uint64_t>(problem.blank);
    key = key << 17 | operand(problem.left);
    key = key << 17 | operand(problem.right);
    return key << 17 | (problem.terms == 3 ? operand(problem.third) : 0);
}

SheetProblem problemFromKey(std::uint64_t key)
{
    const auto operand = [](std::uint64_t bits) { return double(std::int64_t(bits & 0x1FFFF) - 32768); };
    const double third = operand(key);
    const double right = operand(key >> 17);
    const double left = operand(key >> 34);
    const auto blank = static_cast<BlankSpot>(key >> 51 & 3);
    const bool chained = (key >> 53 & 1) != 0;
    const auto then = static_cast<Operation>(key >> 54 & 3);
    const auto operation = static_cast<Operation>(key >> 56 & 3);
    const bool brackets = (key >> 58 & 1) != 0;
    SheetProblem problem = SheetProblem::of({operation, left, right});
    if (chained) {
        problem.terms = 3;
        problem.thenOperation = then;
        problem.third = third;
        problem.brackets = brackets;
        problem.remainder = 0.0;
        problem.result = double(threeNumberValue(problem));
    }
    problem.blank = blank;
    return problem;
}

} // namespace sumlark
