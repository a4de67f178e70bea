#pragma once

// Each choice a run is made from, whichever front end offers it, once: the
// kind of value it takes, its limits and its first value, as numbers. The
// engine's own limits are these; each front end reads them from here (the
// command line's parser and --help, the conditions dialog's boxes) and the
// words for each choice from wording/ChoiceWords.h. Plain data, so that it
// can be written out as it is.

#include "ProblemTypes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>

namespace sumlark {

// In the order the command line lists them; a refusal names them too.
enum class Choice {
    Type, Smallest, Largest, Count, PerLine, Numbered, WriteAnswers, Remainder,
    Distinct, Carry, Borrow, Blank, Terms, First, Second, Result, NoTrivial, Compare, Brackets,
    Folder, Encoding, Seed, Sheets, Names, ClassName, Pdf, Paper, FontSize, Layout, Duplex,
};
inline constexpr std::size_t kChoiceCount = static_cast<std::size_t>(Choice::Duplex) + 1;

enum class ChoiceKind {
    Switch, // on (1) or off (0)
    Whole,  // a whole number, lowest..highest
    Range,  // whole numbers A..B with A at most B, both within lowest..highest
    OneOf,  // one item of a list, by its place lowest..highest
    Typed,  // a text the engine reads as a number, as the window's lists hold
            // it; lowest..highest is what it makes sheets of, its refusals
            // tell every other text
    Text,   // a text the front end's services take: a folder, an encoding
};

struct ChoiceLimits {
    Choice choice;
    ChoiceKind kind;
    std::int64_t lowest = 0;
    std::uint64_t highest = 0; // a seed takes all 64 bits
    std::optional<std::int64_t> initial{}; // none: unset until chosen
};

namespace choice_numbers {
// Operands are 16-bit: the subtraction and division rules swap them through
// 16-bit integers. A result of two of them can need 32 bits. The problem
// number is a 16-bit counter, so a run makes at most 32766 problems.
inline constexpr std::int64_t kOperandLowest = -32768, kOperandHighest = 32767;
inline constexpr std::int64_t kResultLowest = std::numeric_limits<std::int32_t>::min();
inline constexpr std::int64_t kResultHighest = std::numeric_limits<std::int32_t>::max();
} // namespace choice_numbers

inline constexpr std::array<ChoiceLimits, kChoiceCount> kChoiceLimits = [] {
    using namespace choice_numbers;
    using K = ChoiceKind;
    return std::array<ChoiceLimits, kChoiceCount>{{
        {Choice::Type, K::OneOf, 0, kProblemTypeCount - 1, 0},
        {Choice::Smallest, K::Typed, kOperandLowest, kOperandHighest, 1},
        {Choice::Largest, K::Typed, kOperandLowest, kOperandHighest, 10},
        {Choice::Count, K::Typed, 1, 32766, 10},
        {Choice::PerLine, K::Typed, 0, kOperandHighest, 5}, // 0: every problem on one line
        {Choice::Numbered, K::Switch, 0, 1, 0},
        {Choice::WriteAnswers, K::Switch, 0, 1, 1},
        {Choice::Remainder, K::Switch, 0, 1, 0},
        {Choice::Distinct, K::Switch, 0, 1, 0},
        {Choice::Carry, K::OneOf, 0, 2, 0},  // CarryRule
        {Choice::Borrow, K::OneOf, 0, 2, 0}, // BorrowRule
        {Choice::Blank, K::OneOf, 0, 3, 0},  // BlankChoice
        {Choice::Terms, K::Whole, 2, 3, 2},
        {Choice::First, K::Range, kOperandLowest, kOperandHighest, std::nullopt},
        {Choice::Second, K::Range, kOperandLowest, kOperandHighest, std::nullopt},
        {Choice::Result, K::Range, kResultLowest, kResultHighest, std::nullopt},
        {Choice::NoTrivial, K::Switch, 0, 1, 0},
        {Choice::Compare, K::OneOf, 0, 2, 0}, // CompareForm
        {Choice::Brackets, K::Switch, 0, 1, 0},
        {Choice::Folder, K::Text},
        {Choice::Encoding, K::Text},
        {Choice::Seed, K::Whole, 0, std::numeric_limits<std::uint64_t>::max(), std::nullopt}, // none: the clock's
        {Choice::Sheets, K::Whole, 1, 99, 1},
        {Choice::Names, K::Text},     // a list of pupils' names, a sheet each
        {Choice::ClassName, K::Text}, // printed before the name
        {Choice::Pdf, K::Switch, 0, 1, 0},
        {Choice::Paper, K::OneOf, 0, 4, 0},    // the papers of the printed page
        {Choice::FontSize, K::Whole, 8, 36, 14}, // points
        {Choice::Layout, K::OneOf, 0, 1, 0},   // rows, the column form
        {Choice::Duplex, K::Switch, 0, 1, 0},  // a set's pupils each from an odd page
    }};
}();

constexpr const ChoiceLimits& limitsOf(Choice choice)
{
    return kChoiceLimits[static_cast<std::size_t>(choice)];
}

// The first value of a choice that has one.
constexpr std::int64_t initialOf(Choice choice)
{
    return *limitsOf(choice).initial;
}

static_assert([] {
    for (std::size_t i = 0; i < kChoiceCount; ++i)
        if (kChoiceLimits[i].choice != static_cast<Choice>(i))
            return false;
    return true;
}(), "each choice stands in the row of its number");

} // namespace sumlark
