#pragma once

// What a run may ask of its problems beyond the operation rules: no problem
// twice on a sheet, carrying in additions or borrowing in subtractions
// required or ruled out, and the problem forms beyond "a + b =": a blank in
// place of an operand, three numbers, ranges of their own for each operand
// and for the result, no problems that answer themselves. The window's own
// choices ask for none of it.

#include "Choices.h"
#include "OperationRules.h"

#include <cstdint>
#include <optional>

namespace sumlark {

enum class CarryRule { Any, With, Without };
enum class BorrowRule { Any, With, Without };

// Which number the pupil writes: the result, as always, or one of the two
// printed operands, or one of those three picked for each problem.
enum class BlankChoice { Result, First, Second, Mixed };

// Whole numbers low..high, both included, every step-th from low: 10..95
// by 10 is 10, 20, ..., 90. A run is only planned with a step of 1 and up.
struct WholeRange {
    std::int64_t low = 0;
    std::int64_t high = 0;
    std::int64_t step = 1;

    bool contains(std::int64_t v) const { return low <= v && v <= high && (v - low) % step == 0; }
    // The largest value, high itself where it is on the step.
    std::int64_t top() const { return low + (high - low) / step * step; }
    // How many values lie above v, and below it.
    std::int64_t above(std::int64_t v) const;
    std::int64_t below(std::int64_t v) const;
    friend bool operator==(const WholeRange&, const WholeRange&) = default;
};

struct ProblemConstraints {
    bool distinct = initialOf(Choice::Distinct) != 0;
    CarryRule carry = static_cast<CarryRule>(initialOf(Choice::Carry));
    BorrowRule borrow = static_cast<BorrowRule>(initialOf(Choice::Borrow));

    BlankChoice blank = static_cast<BlankChoice>(initialOf(Choice::Blank));
    int terms = static_cast<int>(initialOf(Choice::Terms)); // numbers in a problem: 2 or 3
    // The printed first operand (minuend, dividend) and the second one, and
    // with three numbers the second and the third; none keeps the run's
    // smallest..largest.
    std::optional<WholeRange> first{};
    std::optional<WholeRange> second{};
    std::optional<WholeRange> result{}; // none keeps the window's result rules
    bool noTrivial = initialOf(Choice::NoTrivial) != 0; // no 0, no x1, no /1, no a-a, no a/a
    // Problems that set an expression against a number or a second one.
    CompareForm compare = static_cast<CompareForm>(initialOf(Choice::Compare));
    // Three numbers with brackets wherever they change the order.
    bool brackets = initialOf(Choice::Brackets) != 0;

    friend bool operator==(const ProblemConstraints&, const ProblemConstraints&) = default;

    bool none() const { return !distinct && !readsDigits() && !asksForms(); }
    // Carry and borrow are read from the operands' decimal digits.
    bool readsDigits() const { return carry != CarryRule::Any || borrow != BorrowRule::Any; }
    // Anything beyond the window's two-number problems: such runs draw
    // every acceptable problem of an operation equally often.
    bool asksForms() const
    {
        return blank != BlankChoice::Result || terms != 2 || first || second || result || noTrivial ||
               compare != CompareForm::None || brackets;
    }
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
bool meetsDigitRules(const SheetProblem& problem, const ProblemConstraints& constraints);

} // namespace sumlark
