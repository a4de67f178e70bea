#pragma once

// Drawing an acceptable problem straight from the acceptable ones, for
// settings whose attempts are nearly all turned down. Each problem comes with
// exactly the chance the attempts would give it: the operation as often as
// its selectors times its acceptance, the first operand as its weight times
// the weight of the second operands it accepts, the second operand by its
// own weight among those.

#include "DivisorTable.h"
#include "OperandRange.h"
#include "OperationRules.h"
#include "ProblemConstraints.h"
#include "SecondOperands.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace sumlark {

class DirectDraw {
public:
    DirectDraw(ProblemType type, const OperandRange& range, const RuleBounds& bounds,
               const ProblemConstraints& constraints);

    // The chance that one attempt would be accepted.
    double acceptance() const { return chanceUpTo_.empty() ? 0.0 : chanceUpTo_.back(); }
    // One acceptable problem for three uniform numbers in [0, 1): the
    // operation, the first operand, the second. Needs an acceptance above 0.
    SheetProblem draw(const double r[3]) const;

private:
    struct OperationTable {
        Operation operation;
        // Running sums over the first operands values.first.. of the chance
        // that an attempt of this operation draws it and is accepted.
        std::vector<double> chanceUpTo;
    };

    // The weight of the second operands of this set in values.first..x.
    double weightUpTo(const SecondOperands& seconds, std::int64_t x, bool firstIn, bool lastIn) const;
    double weightOf(const SecondOperands& seconds) const;
    std::pair<bool, bool> endsIn(const SecondOperands& seconds) const;
    SecondOperands secondsOf(Operation operation, std::int64_t a) const;

    OperandRange range_;
    DrawableValues values_;
    RuleBounds bounds_;
    ProblemConstraints constraints_;
    // Every drawable value weighs the same but the two ends, which may weigh
    // less in a range with fractional bounds.
    double common_ = 0.0;
    double firstExtra_ = 0.0;
    double lastExtra_ = 0.0;
    // The divisors of every value 1..values.last, when a division without
    // remainders needs them.
    DivisorTable divisors_;
    std::vector<OperationTable> tables_;
    std::vector<double> chanceUpTo_; // running sums over tables_, shares included
};

} // namespace sumlark
