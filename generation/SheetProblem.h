#pragma once

// One problem as a run makes it and a sheet prints it, whichever way it was
// drawn, and the number that tells two problems apart.

#include "ProblemTypes.h"

#include <cstdint>

namespace sumlark {

// The number of a problem that is left blank for the pupil.
enum class BlankSpot { Result, First, Second };

// What a comparison sets its expression against: nothing (a problem with a
// result to find), a number, or a second expression.
enum class CompareForm { None, Number, Expression };
// The sign the pupil writes in a comparison's circle.
enum class Relation { Less, Equal, Greater };

// Its operands in printed order and the result; the pupil writes the number
// at the blank.
struct SheetProblem {
    Operation operation = Operation::Addition;
    double left = 0.0;
    double right = 0.0;
    double result = 0.0;    // the quotient of a division
    double remainder = 0.0; // of a division with a remainder; 0 for none
    // Three numbers: left operation right thenOperation third, × and ÷
    // first; brackets where TwoSteps.h's bracketSide puts them.
    int terms = 2;
    Operation thenOperation = Operation::Addition;
    double third = 0.0;
    bool brackets = false;
    BlankSpot blank = BlankSpot::Result;
    // A comparison: the expression above against otherResult alone, or
    // against otherLeft otherOperation otherRight, whose value otherResult is.
    CompareForm compare = CompareForm::None;
    Operation otherOperation = Operation::Addition;
    double otherLeft = 0.0;
    double otherRight = 0.0;
    double otherResult = 0.0;

    // The problem with the result and remainder of operation, left and
    // right worked out: SheetProblem::of({Operation::Division, 7, 2}).
    static SheetProblem of(const SheetProblem& operands);
    // The number at a spot: the result, or an operand.
    double valueAt(BlankSpot spot) const;
    // Of a comparison: how its two sides stand.
    Relation relation() const;
};

// Two problems are the same when they print the same: operations, operands
// and where the blank is. Operands lie in the 16-bit range, so all of it
// fits one number. A comparison's key is its expression's; a run that
// compares tells its problems apart by both sides (CompareSource).
std::uint64_t problemKey(const SheetProblem& problem);
SheetProblem problemFromKey(std::uint64_t key);

} // namespace sumlark
