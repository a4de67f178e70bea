#include "ProblemConstraints.h"

namespace sumlark {

bool hasCarry(std::int64_t a, std::int64_t b)
{
    for (; a > 0 && b > 0; a /= 10, b /= 10) {
        if (a % 10 + b % 10 >= 10)
            return true;
    }
    return false;
}

bool hasBorrow(std::int64_t minuend, std::int64_t subtrahend)
{
    for (; subtrahend > 0; minuend /= 10, subtrahend /= 10) {
        if (subtrahend % 10 > minuend % 10)
            return true;
    }
    return false;
}

bool meetsDigitRules(const AcceptedProblem& problem, const ProblemConstraints& constraints)
{
    const auto left = static_cast<std::int64_t>(problem.left);
    const auto right = static_cast<std::int64_t>(problem.right);
    switch (problem.operation) {
    case Operation::Addition:
        if (constraints.carry == CarryRule::Any)
            return true;
        return hasCarry(left, right) == (constraints.carry == CarryRule::With);
    case Operation::Subtraction:
        if (constraints.borrow == BorrowRule::Any)
            return true;
        return hasBorrow(left, right) == (constraints.borrow == BorrowRule::With);
    case Operation::Multiplication:
    case Operation::Division:
        return true;
    }
    return true;
}

std::uint64_t problemKey(const AcceptedProblem& problem)
{
    const auto offset = [](double v) { return static_cast<std::uint64_t>(static_cast<std::int64_t>(v) + 32768); };
    return static_cast<std::uint64_t>(problem.operation) << 34 | offset(problem.left) << 17 | offset(problem.right);
}

AcceptedProblem problemFromKey(std::uint64_t key)
{
    const auto operand = [](std::uint64_t bits) { return double(std::int64_t(bits & 0x1FFFF) - 32768); };
    return {static_cast<Operation>(key >> 34), operand(key >> 17), operand(key)};
}

} // namespace sumlark
