#include "ProblemConstraints.h"

namespace sumlark {

std::int64_t WholeRange::above(std::int64_t v) const
{
    if (high < low || v >= top())
        return 0;
    return v < low ? (top() - low) / step + 1 : (top() - low) / step - (v - low) / step;
}

std::int64_t WholeRange::below(std::int64_t v) const
{
    if (high < low || v <= low)
        return 0;
    return v > top() ? (top() - low) / step + 1 : (v - low - 1) / step + 1;
}

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

bool meetsDigitRules(const SheetProblem& problem, const ProblemConstraints& constraints)
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

} // namespace sumlark
