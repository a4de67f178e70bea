#include "OperationRules.h"

#include "NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace sumlark {
namespace {

// Run operands are whole 16-bit values, where an integer remainder is several
// times faster than fmod; anything larger takes the general way.
bool dividesEvenly(double dividend, double divisor)
{
    constexpr double kIntLimit = 2147483647.0;
    if (std::abs(dividend) <= kIntLimit && std::abs(divisor) <= kIntLimit)
        return static_cast<std::int32_t>(dividend) % static_cast<std::int32_t>(divisor) == 0;
    return std::fmod(dividend, divisor) == 0.0;
}

} // namespace

RuleBounds RuleBounds::from(const WorksheetSettings& settings)
{
    RuleBounds bounds;
    bounds.additionLimit = leadingNumber(settings.largestText);
    bounds.productLimit = strictNumber(settings.largestText);
    bounds.allowRemainder = settings.allowRemainder;
    return bounds;
}

std::optional<SheetProblem> applyRule(Operation operation, const ProblemDraw& draw, const RuleBounds& bounds)
{
    const double a = draw.first;
    const double b = draw.second;
    switch (operation) {
    case Operation::Addition:
        if (a + b <= bounds.additionLimit)
            return SheetProblem::of({operation, a, b});
        return std::nullopt;
    case Operation::Subtraction:
        if (a < b)
            return SheetProblem::of({operation, b, a});
        return SheetProblem::of({operation, a, b});
    case Operation::Multiplication:
        // A largest text that is no number leaves nothing to test against.
        if (!bounds.productLimit || a * b < 10.0 * *bounds.productLimit)
            return SheetProblem::of({operation, a, b});
        return std::nullopt;
    case Operation::Division: {
        if (b == 0.0 || a <= 0.0)
            return std::nullopt;
        const double dividend = a < b ? b : a;
        const double divisor = a < b ? a : b;
        if (!bounds.allowRemainder && !dividesEvenly(dividend, divisor))
            return std::nullopt;
        return SheetProblem::of({operation, dividend, divisor});
    }
    }
    return std::nullopt;
}

Operation operationForSelector(ProblemType type, int selector)
{
    // Each mixed type lists its operations in the order its name gives them;
    // the selector walks round that list.
    static constexpr Operation addSub[] = {Operation::Addition, Operation::Subtraction};
    static constexpr Operation mulDiv[] = {Operation::Multiplication, Operation::Division};
    static constexpr Operation addSubMul[] = {Operation::Addition, Operation::Subtraction, Operation::Multiplication};
    static constexpr Operation all[] = {Operation::Addition, Operation::Subtraction, Operation::Multiplication,
                                        Operation::Division};
    const auto pick = [selector](const auto& list) {
        const int size = static_cast<int>(std::size(list));
        const int index = ((selector - 1) % size + size) % size;
        return list[index];
    };
    switch (type) {
    case ProblemType::Addition:
        return Operation::Addition;
    case ProblemType::Subtraction:
        return Operation::Subtraction;
    case ProblemType::Multiplication:
        return Operation::Multiplication;
    case ProblemType::Division:
        return Operation::Division;
    case ProblemType::AdditionSubtraction:
        return pick(addSub);
    case ProblemType::MultiplicationDivision:
        return pick(mulDiv);
    case ProblemType::AdditionSubtractionMultiplication:
        return pick(addSubMul);
    case ProblemType::AllFour:
        return pick(all);
    }
    return Operation::Addition;
}

std::vector<Operation> operationsOf(ProblemType type)
{
    std::vector<Operation> operations;
    for (int selector = 1; selector <= 12; ++selector) {
        const Operation operation = operationForSelector(type, selector);
        if (std::find(operations.begin(), operations.end(), operation) == operations.end())
            operations.push_back(operation);
    }
    return operations;
}

bool typeHasOperation(ProblemType type, Operation operation)
{
    const auto operations = operationsOf(type);
    return std::find(operations.begin(), operations.end(), operation) != operations.end();
}

} // namespace sumlark
