#include "Sheet.h"

#include "SheetLayout.h"

#include <charconv>
#include <cmath>

namespace sumlark {

SheetProblem SheetProblem::of(const AcceptedProblem& problem)
{
    SheetProblem printed{problem.operation, problem.left, problem.right};
    switch (problem.operation) {
    case Operation::Addition:
        printed.result = problem.left + problem.right;
        break;
    case Operation::Subtraction:
        printed.result = problem.left - problem.right;
        break;
    case Operation::Multiplication:
        printed.result = problem.left * problem.right;
        break;
    case Operation::Division:
        // Truncating keeps the remainder between 0 and the divisor's size,
        // also for a negative divisor from a typed range.
        printed.result = std::trunc(problem.left / problem.right);
        printed.remainder = problem.left - printed.result * problem.right;
        break;
    }
    return printed;
}

std::string Sheet::serialPrefix(std::size_t index) const
{
    return numbered ? sumlark::serialPrefix(static_cast<int>(index) + 1, serialWidth) : std::string();
}

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

void appendQuestionCell(std::string& out, std::string_view serialPrefix, const SheetProblem& problem)
{
    out += serialPrefix;
    appendWhole(out, problem.left);
    out += signOf(problem.operation);
    appendWhole(out, problem.right);
    out += '=';
}

void appendAnswerCell(std::string& out, std::string_view serialPrefix, const SheetProblem& problem)
{
    appendQuestionCell(out, serialPrefix, problem);
    appendWhole(out, problem.result);
    if (problem.remainder != 0.0) {
        out += "...";
        appendWhole(out, problem.remainder);
    }
}

} // namespace sumlark
