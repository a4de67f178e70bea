#include "TwoSteps.h"

#include "SheetProblem.h"

namespace sumlark {
namespace {

bool ranksHigh(Operation operation)
{
    return operation == Operation::Multiplication || operation == Operation::Division;
}

} // namespace

std::optional<InnerSide> bracketSide(Operation first, Operation then)
{
    if (ranksHigh(then) && !ranksHigh(first))
        return InnerSide::Left;
    if (ranksHigh(first) && !ranksHigh(then))
        return InnerSide::Right;
    // One rank: grouping the right pair changes a − or a ÷ only.
    if (first == Operation::Subtraction || first == Operation::Division)
        return InnerSide::Right;
    return std::nullopt;
}

InnerSide innerSide(Operation first, Operation then, bool brackets)
{
    if (brackets) {
        if (const auto side = bracketSide(first, then))
            return *side;
    }
    return ranksHigh(then) && !ranksHigh(first) ? InnerSide::Right : InnerSide::Left;
}

Operation innerOperation(Operation first, Operation then, bool brackets)
{
    return innerSide(first, then, brackets) == InnerSide::Left ? first : then;
}

std::int64_t floorDiv(std::int64_t x, std::int64_t y)
{
    std::int64_t q = x / y;
    if (x % y != 0 && (x < 0) != (y < 0))
        --q;
    return q;
}

std::int64_t ceilDiv(std::int64_t x, std::int64_t y)
{
    std::int64_t q = x / y;
    if (x % y != 0 && (x < 0) == (y < 0))
        ++q;
    return q;
}

std::int64_t stepValue(Operation operation, std::int64_t x, std::int64_t y)
{
    switch (operation) {
    case Operation::Addition:
        return x + y;
    case Operation::Subtraction:
        return x - y;
    case Operation::Multiplication:
        return x * y;
    case Operation::Division:
        return y == 0 ? 0 : x / y;
    }
    return 0;
}

std::int64_t threeNumberValue(const SheetProblem& problem)
{
    const auto a = static_cast<std::int64_t>(problem.left);
    const auto b = static_cast<std::int64_t>(problem.right);
    const auto c = static_cast<std::int64_t>(problem.third);
    if (innerSide(problem.operation, problem.thenOperation, problem.brackets) == InnerSide::Left)
        return stepValue(problem.thenOperation, stepValue(problem.operation, a, b), c);
    return stepValue(problem.operation, a, stepValue(problem.thenOperation, b, c));
}

} // namespace sumlark
