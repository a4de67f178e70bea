#pragma once

// The operands a run can draw from its smallest and largest value, and how
// likely each of them is: the ground every count and chance stands on.

#include "Choices.h"

#include <cstdint>
#include <vector>

namespace sumlark {

// Operands must fit in 16 bits: the subtraction and division rules swap them
// through 16-bit integers.
inline constexpr int kOperandMin = static_cast<int>(limitsOf(Choice::Smallest).lowest);
inline constexpr int kOperandMax = static_cast<int>(limitsOf(Choice::Smallest).highest);
// The operands a run can draw: floor((L - S + 1) * r + S) for r in [0, 1).
struct OperandRange {
    double smallest = 1.0;
    double largest = 10.0;
    int low = 1;   // the smallest whole value that can be drawn
    int high = 10; // the largest

    static OperandRange from(double smallest, double largest);
    // The operand for one random number, kept within low..high.
    double draw(double r) const;
    // The chance that a draw gives value v.
    double weight(int v) const;
};

// The values of a range that a draw gives with a chance above 0: all of
// low..high, but for a range whose smallest text exceeds its largest one,
// whose top value only comes from a random number of exactly 0.
struct DrawableValues {
    int first = 1;
    int last = 0;

    static DrawableValues of(const OperandRange& range);
    std::int64_t size() const { return last >= first ? std::int64_t(last) - first + 1 : 0; }
};

// Cumulative weights of the drawable values, so that the chance of a whole
// interval of values is two look-ups.
class WeightTable {
public:
    explicit WeightTable(const OperandRange& range);

    double at(std::int64_t v) const { return between(v, v); }
    // The chance that a draw falls in from..to, both included.
    double between(std::int64_t from, std::int64_t to) const;

    int low() const { return low_; }
    int high() const { return high_; }

private:
    std::size_t index(std::int64_t v) const { return static_cast<std::size_t>(v - low_); }

    int low_;
    int high_;
    std::vector<double> prefix_;
};

} // namespace sumlark
