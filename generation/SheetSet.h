#pragma once

// A class set: several sheets from one set of choices, each with its own
// seed derived from the set's and its own file names (速算答题-01.txt, ...),
// so that the set's seed alone makes the whole set again. One sheet is an
// ordinary run: its seed is the set's and its files carry no tag.

#include "Choices.h"

#include <cstdint>
#include <string>

namespace sumlark {

inline constexpr int kMaxSetSheets = static_cast<int>(limitsOf(Choice::Sheets).highest);

// The tag in the file names of sheet number (1-based) among count sheets:
// none for a single sheet, "01", "02", ... otherwise.
std::string sheetTag(int number, int count);
// The seed of sheet number (1-based): the set's own for a single sheet, one
// derived from it otherwise.
std::uint64_t pairSeed(std::uint64_t setSeed, int number, int count);

} // namespace sumlark
