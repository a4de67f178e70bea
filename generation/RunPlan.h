#pragma once

// Checking the settings before anything is touched: every number the run
// needs, converted once, or the reason the run is refused; and how its
// problems will be drawn. Only settings that cannot make their sheet at all
// are refused: every other one is drawn in a way that ends quickly.

#include "ComparedProblems.h"
#include "FormedProblems.h"
#include "OperandRange.h"
#include "OperationRules.h"
#include "ProblemConstraints.h"
#include "Refusal.h"
#include "WorksheetSettings.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <variant>

namespace sumlark {

// The problem number is a 16-bit counter, so a run makes at most 32766 problems.
inline constexpr double kCountLimit = static_cast<double>(limitsOf(Choice::Count).highest + 1);
// Attempts a problem may need on average before the problems are drawn
// directly from the acceptable ones instead. Settings at or below it keep
// the window's attempts, so their seeds keep making the same sheets.
inline constexpr double kDirectDrawLine = 50.0;

// How a run's problems are drawn; ProblemStream opens the one a plan holds.
// Attempts drawn until a rule accepts, as the window has always made them.
struct DrawByAttempts {};
// Straight from the acceptable problems, as likely as the attempts would
// make them (DirectDraw).
struct DrawDirectly {};
// Distinct problems that would use up much of what the settings allow:
// picked among the unused ones rather than drawn until one is new.
struct DrawFromUnused {};
// A run with problem forms: these problems, every one of a kind equally
// likely (FormedSource).
struct DrawForms {
    std::shared_ptr<const FormedProblems> problems;
    // Of a run that compares: its problems, of these expressions.
    std::shared_ptr<const ComparedProblems> compared{};
};
using ProblemDrawing = std::variant<DrawByAttempts, DrawDirectly, DrawFromUnused, DrawForms>;

struct RunPlan {
    int problemCount = 0; // problems to make; 0 for a count below 1
    int perLine = 0;      // 0: one problem per line
    int serialWidth = 2;
    OperandRange range;
    RuleBounds bounds;
    ProblemConstraints constraints{};
    ProblemDrawing drawing;

    // The problems of a run with problem forms; none for the others.
    const FormedProblems* formed() const
    {
        const auto* forms = std::get_if<DrawForms>(&drawing);
        return forms ? forms->problems.get() : nullptr;
    }
    const ComparedProblems* compared() const
    {
        const auto* forms = std::get_if<DrawForms>(&drawing);
        return forms ? forms->compared.get() : nullptr;
    }
};

struct PlanOrRefusal {
    std::optional<RunPlan> plan;
    Refusal refusal; // meaningful when plan is empty
};

PlanOrRefusal planRun(const WorksheetSettings& settings, const ProblemConstraints& constraints = {});

} // namespace sumlark
