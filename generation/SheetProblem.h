#pragma once

// One problem as a run makes it and a sheet prints it, whichever way it was
// drawn, and the number that tells two problems apart.

#include "ProblemTypes.h"

#include <cstdint>

namespace sumlark {

// The number of a problem that is left blank for the pupil.
enum class BlankSpot { Result, First, Second };

// Its operands in printed order and the result; the pupil writes the number
// at the blank.
struct SheetProblem {
    Operation operation = Operation::Addition;
    double left = 0.0;
    double right = 0.0;
    double result = 0.0;    // the quotient of a division
    double remainder = 0.0; // of a division with a remainder; 0 for none
    // A chain of three numbers: left operation right thenOperation third.
    int terms = 2;
    Operation thenOperation = Operation::Addition;
    double third = 0.0;
    BlankSpot blank = BlankSpot::Result;

    // The problem with the result and remainder of operation, left and
    // right worked out: SheetProblem::of({Operation::Division, 7, 2}).
    static SheetProblem of(const SheetProblem& operands);
    // The number at a spot: the result, or an operand.
    double valueAt(BlankSpot spot) const;
};

// Two problems are the same when they print the same: operations, operands
// and where the blank is. Operands lie in the 16-bit range, so all of it
// fits one number.
std::uint64_t problemKey(const SheetProblem& problem);
SheetProblem problemFromKey(std::uint64_t key);

} // namespace sumlark
