#pragma once

// What a run may ask of its problems beyond the operation rules: no problem
// twice on a sheet, and carrying in additions or borrowing in subtractions
// required or ruled out. The window asks for none of it.

#include "OperationRules.h"

#include <cstdint>

namespace sumlark {

enum class CarryRule { Any, With, Without };
enum class BorrowRule { Any, With, Without };

struct ProblemConstraints {
    bool distinct = false;
    CarryRule carry = CarryRule::Any;
    BorrowRule borrow = BorrowRule::Any;

    bool none() const { return !distinct && carry == CarryRule::Any && borrow == BorrowRule::Any; }
    // Carry and borrow are read from the operands' decimal digits.
    bool readsDigits() const { return carry != CarryRule::Any || borrow != BorrowRule::Any; }
};

// Digits are only defined here for operands of 0 and up.
//
// Whether a carry coming into a column counts makes no difference: a column
// can only reach 10 through an incoming carry when a lower column carried
// already, so 19 + 81 carries in its units (9 + 1) either way. Borrowing is
// the same: 100 - 1 borrows in its units, whatever the tens do after that.
// So both tests look at the digits alone.

// Some column of a + b has digits that add up to 10 or more.
bool hasCarry(std::int64_t a, std::int64_t b);
// Some column of minuend - subtrahend (minuend >= subtrahend) has a larger
// subtrahend digit than minuend digit.
bool hasBorrow(std::int64_t minuend, std::int64_t subtrahend);

// The carry and borrow tests for a problem as the rules printed it.
bool meetsDigitRules(const AcceptedProblem& problem, const ProblemConstraints& constraints);

// Two problems are the same when their question cells without the serial
// prefix are: the same operation and the same operands in printed order.
// Operands lie in the 16-bit range, so the three fit one number.
std::uint64_t problemKey(const AcceptedProblem& problem);
AcceptedProblem problemFromKey(std::uint64_t key);

} // namespace sumlark
