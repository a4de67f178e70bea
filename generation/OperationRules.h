#pragma once

// The four operation rules: whether a drawn pair makes an acceptable problem,
// in which order its operands are printed, and the question and answer cells.

#include "ProblemTypes.h"
#include "WorksheetSettings.h"

#include <optional>
#include <string>
#include <string_view>

namespace sumlark {

// The numbers the rules read from the settings, converted once per run.
struct RuleBounds {
    double additionLimit = 0.0;             // leading number of the largest text
    std::optional<double> productLimit;     // strict number of the largest text; none lets every product through
    bool allowRemainder = false;

    static RuleBounds from(const WorksheetSettings& settings);
};

// The problem a rule accepted, with its operands in printed order.
struct AcceptedProblem {
    Operation operation = Operation::Addition;
    double left = 0.0;
    double right = 0.0;
};

// The acceptance test and the printed order, without building any text.
std::optional<AcceptedProblem> applyRule(Operation operation, const ProblemDraw& draw, const RuleBounds& bounds);

// The operation of a mixed type (4..7) for a selector 1..12; the single types
// give their own operation whatever the selector.
Operation operationForSelector(ProblemType type, int selector);

// Whether any selector gives the type this operation: division for the types
// that offer the remainder switch, for instance.
bool typeHasOperation(ProblemType type, Operation operation);

// Appends the question cell (serial prefix, operands, sign, "=") or, with the
// answer, the answer cell, to out.
void appendQuestionCell(std::string& out, std::string_view serialPrefix, const AcceptedProblem& problem);
void appendAnswerCell(std::string& out, std::string_view serialPrefix, const AcceptedProblem& problem);

// The result text of an accepted problem: the plain result, or "q...r" for a
// division with a remainder.
std::string resultText(const AcceptedProblem& problem);

// One attempt, as the run makes it: apply the rule of the operation and build
// both cells when it accepts.
ProblemOutcome composeProblem(Operation operation, const ProblemDraw& draw, std::string_view serialPrefix,
                              const WorksheetSettings& settings);

} // namespace sumlark
