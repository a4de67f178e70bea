#pragma once

// The vocabulary of one worksheet: what kind of sheet, which operation a problem
// uses, and what one attempt drew.

#include <cstdint>
#include <string>
#include <string_view>

namespace sumlark {

// The eight sheet kinds; the value is the item index of the type list.
enum class ProblemType : int {
    Addition = 0,
    Subtraction = 1,
    Multiplication = 2,
    Division = 3,
    AdditionSubtraction = 4,
    MultiplicationDivision = 5,
    AdditionSubtractionMultiplication = 6,
    AllFour = 7,
};

inline constexpr int kProblemTypeCount = 8;

enum class Operation { Addition, Subtraction, Multiplication, Division };

// The sign a cell prints between its operands, as UTF-8: full-width plus and
// minus, the multiplication and the division sign.
std::string_view signOf(Operation operation);

// The type list's item texts, which the sheet headers print.
std::string_view problemTypeText(ProblemType type);

// One attempt's three random numbers: a selector 1..12 that the mixed types
// use to pick an operation, and the two operands, whole numbers held as reals.
struct ProblemDraw {
    std::int16_t selector = 1;
    double first = 0.0;
    double second = 0.0;
};

} // namespace sumlark
