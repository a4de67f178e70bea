#pragma once

// The four operation rules: whether a drawn pair makes an acceptable problem
// and in which order its operands are printed; and which operations each
// problem type draws.

#include "ProblemTypes.h"
#include "SheetProblem.h"
#include "WorksheetSettings.h"

#include <optional>
#include <vector>

namespace sumlark {

// The numbers the rules read from the settings, converted once per run.
struct RuleBounds {
    double additionLimit = 0.0;             // leading number of the largest text
    std::optional<double> productLimit;     // strict number of the largest text; none lets every product through
    bool allowRemainder = false;

    static RuleBounds from(const WorksheetSettings& settings);
};

// The acceptance test, and the problem it accepted with its operands in
// printed order, without building any text.
std::optional<SheetProblem> applyRule(Operation operation, const ProblemDraw& draw, const RuleBounds& bounds);

// The operation of a mixed type (4..7) for a selector 1..12; the single types
// give their own operation whatever the selector.
Operation operationForSelector(ProblemType type, int selector);

// The operations a type draws, in the order its name gives them.
std::vector<Operation> operationsOf(ProblemType type);
// Whether any selector gives the type this operation: division for the types
// that offer the remainder switch, for instance.
bool typeHasOperation(ProblemType type, Operation operation);

} // namespace sumlark
