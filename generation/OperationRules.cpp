#include "OperationRules.h"

#include "NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace sumlark {
namespace {

// Operands and results are whole numbers well inside 64 bits; printing them
// as integers keeps "-0" and exponents out of the cells.
void appendWhole(std::string& out, double value)
{
    char buffer[24];
    const auto whole = static_cast<std::int64_t>(value);
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, whole);
    (void)error;
    out.append(buffer, end);
}

void appendProblem(std::string& out, std::string_view serialPrefix, const AcceptedProblem& problem)
{
    out += serialPrefix;
    appendWhole(out, problem.left);
    out += signOf(problem.operation);
    appendWhole(out, problem.right);
    out += '=';
}

void appendResult(std::string& out, const AcceptedProblem& problem)
{
    switch (problem.operation) {
    case Operation::Addition:
        appendWhole(out, problem.left + problem.right);
        return;
    case Operation::Subtraction:
        appendWhole(out, problem.left - problem.right);
        return;
    case Operation::Multiplication:
        appendWhole(out, problem.left * problem.right);
        return;
    case Operation::Division: {
        // Truncating keeps the remainder between 0 and the divisor's size,
        // also for a negative divisor from a typed range.
        const double quotient = std::trunc(problem.left / problem.right);
        const double remainder = problem.left - quotient * problem.right;
        appendWhole(out, quotient);
        if (remainder != 0.0) {
            out += "...";
            appendWhole(out, remainder);
        }
        return;
    }
    }
}

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

std::optional<AcceptedProblem> applyRule(Operation operation, const ProblemDraw& draw, const RuleBounds& bounds)
{
    const double a = draw.first;
    const double b = draw.second;
    switch (operation) {
    case Operation::Addition:
        if (a + b <= bounds.additionLimit)
            return AcceptedProblem{operation, a, b};
        return std::nullopt;
    case Operation::Subtraction:
        if (a < b)
            return AcceptedProblem{operation, b, a};
        return AcceptedProblem{operation, a, b};
    case Operation::Multiplication:
        // A largest text that is no number leaves nothing to test against.
        if (!bounds.productLimit || a * b < 10.0 * *bounds.productLimit)
            return AcceptedProblem{operation, a, b};
        return std::nullopt;
    case Operation::Division: {
        if (b == 0.0 || a <= 0.0)
            return std::nullopt;
        const double dividend = a < b ? b : a;
        const double divisor = a < b ? a : b;
        if (!bounds.allowRemainder && !dividesEvenly(dividend, divisor))
            return std::nullopt;
        return AcceptedProblem{operation, dividend, divisor};
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

bool typeHasOperation(ProblemType type, Operation operation)
{
    for (int selector = 1; selector <= 12; ++selector) {
        if (operationForSelector(type, selector) == operation)
            return true;
    }
    return false;
}

void appendQuestionCell(std::string& out, std::string_view serialPrefix, const AcceptedProblem& problem)
{
    appendProblem(out, serialPrefix, problem);
}

void appendAnswerCell(std::string& out, std::string_view serialPrefix, const AcceptedProblem& problem)
{
    appendProblem(out, serialPrefix, problem);
    appendResult(out, problem);
}

std::string resultText(const AcceptedProblem& problem)
{
    std::string text;
    appendResult(text, problem);
    return text;
}

ProblemOutcome composeProblem(Operation operation, const ProblemDraw& draw, std::string_view serialPrefix,
                              const WorksheetSettings& settings)
{
    const auto problem = applyRule(operation, draw, RuleBounds::from(settings));
    if (!problem)
        return ProblemOutcome::rejected();
    ProblemOutcome outcome;
    outcome.accepted = true;
    appendQuestionCell(outcome.questionCell, serialPrefix, *problem);
    appendAnswerCell(outcome.answerCell, serialPrefix, *problem);
    return outcome;
}

} // namespace sumlark
