#pragma once

// A sheet plan: the options of a run kept under a name, to make the same kind
// of sheet again. Its file is a JSON object whose keys are the command line's
// long option names without "--" and whose values are the option's
// spellings as strings, switches as true: the same object the web page's
// makeSheets takes. The sheet-wide options (seed, paper, names…) stand at the
// top; the problems' options stand there too, or in "sections", a list of
// objects each holding what one sheet's choices are, with an optional
// "heading". Reading the JSON is the front end's; applying it is here.

#include "OptionReading.h"

#include <string>
#include <string_view>
#include <vector>

namespace sumlark::wording {

// One option of a plan as its file spells it.
struct PlanEntry {
    std::string key;   // "largest"
    std::string value; // "20"; a switch's is empty
};

struct PlanSection {
    std::string heading; // "一、口算"; empty for none
    std::vector<PlanEntry> options;
};

struct PlanText {
    std::vector<PlanEntry> wide;        // at the top of the object, in order
    std::vector<PlanSection> sections;  // "sections"; none: the top holds the one section
};

// Whether a choice belongs to the whole sheet rather than to a section.
bool isSheetWide(Choice choice);

// The plan's options read into chosen as the command line reads them, the
// sections' after the top's. The reply to the first key that names no option
// or value that is none of its option's, naming where it stands ("方案第 2 段
// 的 largest"); empty when every one was read.
std::string applyPlan(OptionChoices& chosen, const PlanText& plan);

// The choices as a plan's options: each that differs from where it starts,
// spelt as the command line spells it, a switch turned the other way with
// an empty value, in the order of the table. The folder, the encoding and
// the file of names stay out: a plan is what the sheets are, not where they
// go or whom for; the seed only when one is set.
std::vector<PlanEntry> planEntriesOf(const OptionChoices& chosen);

// The choices as a whole plan: those entries alone while the sheet is one
// section without a heading; else the sheet-wide ones at the top and one
// section for each of the sheet's, with its heading and what it chooses
// unlike a fresh sheet, so that each reads back as itself whatever the
// others choose.
PlanText planTextOf(const OptionChoices& chosen);

// The plan with the options given beside it, each in place of the plan's of
// the same key: the sheet-wide ones at the top, a section's in the one
// section there is.
PlanText mergedPlan(const PlanText& plan, const std::vector<PlanEntry>& given);

} // namespace sumlark::wording
