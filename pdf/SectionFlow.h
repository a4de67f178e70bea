#pragma once

// A sheet of sections laid down the pages: each section's heading on a line
// of its own, then its rows, a little space before each section after the
// first; a new page where the next line does not fit, and a heading never
// alone at the foot of a page. Unpaged, the same lines make a sheet's block
// of a set's compact answers.

#include "SheetPdf.h"

#include <span>
#include <vector>

namespace sumlark::pdf {

// A section as the flow sees it.
struct SectionRun {
    bool heading = false;
    int rows = 0;
    double pitch = 0.0; // a row's height, in points
};

struct FlowRoom {
    double top = 0.0;
    double bottom = 0.0; // not below top: one page as long as the lines
    double heading = 0.0; // a heading's height
    double gap = 0.0;     // before a section after the first, unless at a page's top
};

// The lines in order, each on its page at its top.
std::vector<SectionLine> flowSections(std::span<const SectionRun> runs, const FlowRoom& room);

} // namespace sumlark::pdf
