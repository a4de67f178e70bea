#pragma once

// Why a run is refused, as data: what is wrong, the choices it concerns and
// the values that make it so. The engine says no word of it; each front end
// has it worded (wording/RefusalWords.h) with its own names for the choices.

#include "Choices.h"
#include "ProblemConstraints.h"
#include "WorksheetSettings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sumlark {

enum class RefusalCode {
    UnknownType,
    CountNotANumber,
    CountTooLarge,
    SmallestNotANumber,
    LargestNotANumber,
    RangeOutOf16Bits,
    CarryWithoutAddition,
    BorrowWithoutSubtraction,
    DigitsBelowZero,          // the run's range reaches below 0 under a carry or borrow rule
    OwnRangeBelowZero,        // an operand's own range does
    RangeReversed,            // an own range's low end above its high end
    RangeOutOfLimits,
    NoProblem,                // the range and rules make no problem at all
    NoFormedProblem,          // the problem forms make none
    TooFewDistinct,
    ColumnForm,               // the column form cannot print these problems
    TooManyNames,             // a list of more pupils than a set holds
    NameTooLong,              // a pupil's name, or the class's, past what a page's line holds
    CompareWithBlank,         // a comparison's circle is its only blank
    CompareWithThreeNumbers,
    CompareWithRemainder,     // a quotient with a remainder is no number to compare
    CompareTooWide,           // the expressions' values span too much to be counted quickly
    RangeStepBelowOne,        // an own range's step is 0 or negative
    StepAcrossDigits,         // a carry or borrow rule with a step other than 1, 10, 100, 1000 or 10000
    QuotientStep,             // a result range with a step while the type divides
    BracketsNeedThreeNumbers,
    BracketsChangeNothing,    // the type's signs read the same with brackets
    TwoStepsTooWide,          // inner products past what is counted quickly
    StepInTwoSteps,           // the second range on a step where three numbers work out a product first
};

// Why an operation made no problem in the range (NoProblem).
enum class NoProblemCause {
    SumsAboveLargest,   // any two numbers add up to more than the largest
    ProductsTooLarge,   // any two multiply to ten times the largest or more
    NoDividend,         // no number above 0 to divide
    NoCarryingSum,      // of the sums within the largest, none carries
    EverySumCarries,
    NoBorrowing,
};

struct Refusal {
    RefusalCode code = RefusalCode::UnknownType;
    // The choices it concerns, the one to change first: a front end puts
    // the focus there.
    std::vector<Choice> choices;
    // The values as they were chosen.
    WorksheetSettings settings;
    ProblemConstraints constraints{};
    WholeRange range{};                    // RangeReversed, RangeOutOfLimits, OwnRangeBelowZero, the step's
    WholeRange limits{};                   // RangeOutOfLimits
    std::int64_t distinct = 0;             // TooFewDistinct
    int count = 0;                         // TooFewDistinct
    std::vector<NoProblemCause> causes{};  // NoProblem, each once, in the order found
    std::string name{};                    // NameTooLong; count is its line among the names
    int section = 0;                       // of a sheet of several: which one (1-based) it concerns
};

// The column form stacks two numbers above a rule with the answer beneath,
// so it has no place for a blank operand, a third number or a comparison's
// other side. Nothing when
// it can print these problems.
std::optional<Refusal> columnFormRefusal(const ProblemConstraints& constraints);

// The carry and borrow rules read a number's digits column by column, which
// a step of a power of ten keeps (its low digits are fixed) and any other
// step does not. Nothing when the steps and the rules go together.
std::optional<Refusal> digitStepRefusal(const ProblemConstraints& constraints);

} // namespace sumlark
