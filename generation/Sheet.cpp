#include "Sheet.h"

#include "SheetLayout.h"
#include "TwoSteps.h"

#include <charconv>

namespace sumlark {

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

namespace {

constexpr std::string_view kOpenBlank = "（";
constexpr std::string_view kCloseBlank = "）";

// An operand, as a blank "（  ）" or, filled, "（5）" where the pupil writes it.
void appendOperand(std::string& out, const SheetProblem& problem, BlankSpot spot, bool fill)
{
    if (problem.blank != spot) {
        appendWhole(out, problem.valueAt(spot));
        return;
    }
    out += kOpenBlank;
    if (fill)
        appendWhole(out, problem.valueAt(spot));
    else
        out += "  ";
    out += kCloseBlank;
}

// The circle the pupil writes the sign in, and the signs themselves.
constexpr std::string_view kCircle = "○";
constexpr std::string_view kRelationSigns[] = {"＜", "＝", "＞"};

// "3＋5○9", "7－2○3＋1"; the answer has the sign in the circle's place.
void appendComparison(std::string& out, std::string_view serialPrefix, const SheetProblem& problem, bool answer)
{
    out += serialPrefix;
    appendWhole(out, problem.left);
    out += signOf(problem.operation);
    appendWhole(out, problem.right);
    out += answer ? kRelationSigns[static_cast<std::size_t>(problem.relation())] : kCircle;
    if (problem.compare == CompareForm::Number) {
        appendWhole(out, problem.otherResult);
        return;
    }
    appendWhole(out, problem.otherLeft);
    out += signOf(problem.otherOperation);
    appendWhole(out, problem.otherRight);
}

void appendCell(std::string& out, std::string_view serialPrefix, const SheetProblem& problem, bool answer)
{
    if (problem.compare != CompareForm::None)
        return appendComparison(out, serialPrefix, problem, answer);
    // Brackets are ASCII, kept apart from the blank's full-width "（  ）".
    const auto bracketed = problem.terms == 3 && problem.brackets
                               ? bracketSide(problem.operation, problem.thenOperation)
                               : std::nullopt;
    out += serialPrefix;
    if (bracketed == InnerSide::Left)
        out += '(';
    appendOperand(out, problem, BlankSpot::First, answer);
    out += signOf(problem.operation);
    if (bracketed == InnerSide::Right)
        out += '(';
    appendOperand(out, problem, BlankSpot::Second, answer);
    if (bracketed == InnerSide::Left)
        out += ')';
    if (problem.terms == 3) {
        out += signOf(problem.thenOperation);
        appendWhole(out, problem.third);
    }
    if (bracketed == InnerSide::Right)
        out += ')';
    out += '=';
    // An operand blank shows the result on the question sheet already.
    if (!answer && problem.blank == BlankSpot::Result)
        return;
    appendWhole(out, problem.result);
    if (problem.remainder != 0.0) {
        out += "...";
        appendWhole(out, problem.remainder);
    }
}

} // namespace

void appendQuestionCell(std::string& out, std::string_view serialPrefix, const SheetProblem& problem)
{
    appendCell(out, serialPrefix, problem, false);
}

void appendAnswerCell(std::string& out, std::string_view serialPrefix, const SheetProblem& problem)
{
    appendCell(out, serialPrefix, problem, true);
}

} // namespace sumlark
