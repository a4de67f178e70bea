#pragma once

// How a problem of three numbers and two signs is worked out: × and ÷
// before + and −, signs of one rank left to right, and brackets only where
// they change that order.

#include "ProblemTypes.h"

#include <cstdint>
#include <optional>

namespace sumlark {

struct SheetProblem;

// The step worked out first: a op b, or b op c.
enum class InnerSide { Left, Right };

// Where brackets change the order of a op b then c: "(a+b)×c" when the
// second sign ranks above the first, "a−(b+c)" or "a×(b+c)" when it does not
// and the first sign is − or ÷ or ranks above the second. None when no
// bracket would: a+b+c, a+b−c, a×b×c, a×b÷c read the same either way.
std::optional<InnerSide> bracketSide(Operation first, Operation then);
// The step worked out first, with or without the brackets bracketSide puts.
InnerSide innerSide(Operation first, Operation then, bool brackets);
// Its sign.
Operation innerOperation(Operation first, Operation then, bool brackets);

// Quotients rounded down and up, whatever the signs.
std::int64_t floorDiv(std::int64_t x, std::int64_t y);
std::int64_t ceilDiv(std::int64_t x, std::int64_t y);

// x op y, with a whole quotient (the caller knows y divides x).
std::int64_t stepValue(Operation operation, std::int64_t x, std::int64_t y);
// Of a problem of three numbers, its value in that order.
std::int64_t threeNumberValue(const SheetProblem& problem);

} // namespace sumlark
