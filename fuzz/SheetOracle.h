#pragma once

// What a finished run must have left, checked from the sheets themselves:
// header and footer, every problem within its rule and the drawable range,
// numbered in order, and each cell where the line rule puts it. Written apart
// from the engine's layout code so that a slip there is not repeated here.

#include "GenerateSheets.h"
#include "ProblemConstraints.h"
#include "WorksheetSettings.h"

#include <map>
#include <string>
#include <string_view>

namespace sumlark::fuzzing {

// The folder the in-memory runs write into.
inline constexpr std::string_view kSheetFolder = "/sheets";

// The first thing wrong with the sheets, or an empty text when all holds.
// files are the sheets by path, as ScriptedServices keeps them.
std::string checkSheets(const WorksheetSettings& settings, const ProblemConstraints& constraints,
                        const RunResult& result, const std::map<std::string, std::string>& files);

// Whole drawable operand values for the range texts' numbers.
struct Drawable {
    long long low = 0;
    long long high = 0;
};
Drawable drawableValues(double smallest, double largest);

// Problems a line: round half to even, 0 outside 16 bits, sign dropped.
int expectedPerLine(double leading);

} // namespace sumlark::fuzzing
