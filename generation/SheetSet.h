#pragma once

// A class set: several sheets from one set of choices, each with its own
// seed derived from the set's and its own file names (速算答题-01.txt, ...),
// so that the set's seed alone makes the whole set again. One sheet is an
// ordinary run: its seed is the set's and its files carry no tag.

#include "Choices.h"
#include "GenerateSheets.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sumlark {

inline constexpr int kMaxSetSheets = static_cast<int>(limitsOf(Choice::Sheets).highest);

// The tag in the file names of sheet number (1-based) among count sheets:
// none for a single sheet, "01", "02", ... otherwise.
std::string sheetTag(int number, int count);
// The seed of sheet number (1-based): the set's own for a single sheet, one
// derived from it otherwise.
std::uint64_t pairSeed(std::uint64_t setSeed, int number, int count);
// What makeSheet needs for sheet number of a set.
RunOptions setSheetOptions(std::uint64_t setSeed, const ProblemConstraints& constraints, int number, int count);

struct SetChoices {
    ProblemConstraints constraints{};
    std::optional<std::uint64_t> seed; // none: one from the clock
    int count = 1;
};

struct SheetSet {
    std::uint64_t seed = 0;
    std::vector<Sheet> sheets; // empty when refused
    Refusal refusal;           // meaningful when refused
};

// Every sheet of the set, or the refusal, which is the same for all of them.
SheetSet makeSheetSet(const WorksheetSettings& settings, const SetChoices& choices, RandomServices& services);

// What failed of the sheets' files, each with its path and reason; empty
// when every file was written.
std::string failuresText(const std::vector<SheetFilesReport>& files);

// The completion step of a set of more than one sheet: where one sheet
// opens two editors, a set opens its folder; failures are told as for one.
void completeSetRun(const WorksheetSettings& settings, const std::string& folder,
                    const std::vector<SheetFilesReport>& files, CompletionServices& services);

} // namespace sumlark
