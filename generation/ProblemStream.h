#pragma once

// Where a run's problems come from, one after another, in the way its plan
// picked (RunPlan's ProblemDrawing):
// - attempts drawn until a rule accepts, exactly as the window has always
//   made them, and with carry or borrow rules or distinct problems also
//   drawn again when a problem breaks a digit rule or was made already;
// - where attempts are rarely accepted, problems drawn directly with the
//   chances the attempts would give them (DirectDraw);
// - when the count would use up much of what the settings allow, a pick
//   among the unused problems, each as likely as the attempts would have
//   made it (UnusedProblems);
// - with problem forms, every problem of a kind equally likely
//   (FormedSource).

#include "ProblemTypes.h"
#include "RunPlan.h"
#include "RunServices.h"
#include "SheetProblem.h"

#include <memory>

namespace sumlark {

class ProblemStream {
public:
    virtual ~ProblemStream() = default;
    // The next problem of the sheet; the plan made sure there is one.
    virtual SheetProblem next() = 0;
};

// The stream of the plan's drawing, reading its numbers from random, which
// outlives it, as does the plan.
std::unique_ptr<ProblemStream> openProblemStream(const RunPlan& plan, ProblemType type, RandomSource& random);

} // namespace sumlark
