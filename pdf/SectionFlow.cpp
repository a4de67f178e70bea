#include "SectionFlow.h"

namespace sumlark::pdf {

std::vector<SectionLine> flowSections(std::span<const SectionRun> runs, const FlowRoom& room)
{
    std::vector<SectionLine> lines;
    const bool paged = room.bottom > room.top;
    int page = 0;
    double y = room.top;
    // What must stand together (a heading and the first row under it) goes
    // to the next page when it does not fit below y; a page's first line
    // stays, however large.
    const auto keep = [&](double height) {
        if (paged && y > room.top && y + height > room.bottom + 1e-9) {
            ++page;
            y = room.top;
        }
    };
    for (std::size_t s = 0; s < runs.size(); ++s) {
        const SectionRun& run = runs[s];
        if (s > 0 && y > room.top)
            y += room.gap;
        if (run.heading) {
            keep(room.heading + (run.rows > 0 ? run.pitch : 0.0));
            lines.push_back({int(s), -1, page, y, room.heading});
            y += room.heading;
        }
        for (int row = 0; row < run.rows; ++row) {
            // The row under a heading at a page's top stays with it.
            if (row > 0 || !run.heading || lines.back().top > room.top)
                keep(run.pitch);
            lines.push_back({int(s), row, page, y, run.pitch});
            y += run.pitch;
        }
    }
    return lines;
}

} // namespace sumlark::pdf
