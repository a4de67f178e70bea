#include "WindowRun.h"

#include "RefusalWords.h"

#include <tuple>

namespace sumlark::ui {
namespace {

// Everything of the settings a sheet is made from; opening the sheets when
// done is not.
auto sheetChoices(const WorksheetSettings& s)
{
    return std::tie(s.problemType, s.typeText, s.countText, s.perLineText, s.smallestText, s.largestText, s.numbered,
                    s.writeAnswers, s.allowRemainder);
}

// Whether two sets of choices make the same sheets; the paper, the print
// size and the layout only change how they are printed.
bool makeSameSheets(const MoreConditions& a, const MoreConditions& b)
{
    return drawingChoices(a.constraints) == drawingChoices(b.constraints) && a.sheets == b.sheets && a.seed == b.seed;
}

} // namespace

bool WindowRun::madeFrom(const WorksheetSettings& now, const MoreConditions& nowConditions) const
{
    return sheetChoices(settings) == sheetChoices(now) && makeSameSheets(conditions, nowConditions);
}

std::optional<WindowRun> runFromWindow(const WorksheetSettings& settings, const MoreConditions& conditions,
                                       const std::string& folder, RunServices& services, Completion completion)
{
    const SetChoices choices{conditions.constraints, conditions.seed, conditions.sheets};
    WindowRun run{settings, conditions, makeSheetSet(settings, choices, services), {}};
    if (run.set.sheets.empty()) {
        services.showMessage(std::string(wording::kRefusalTitle),
                             wording::refusalText(run.set.refusal, wording::DialogNaming()));
        return std::nullopt;
    }
    for (const Sheet& sheet : run.set.sheets)
        run.files.push_back(writeSheetFiles(sheet, folder, services));
    if (completion == Completion::Skip) {
        // No editor and no box saying where the sheets went, but a text
        // sheet that was not written is never passed over in silence.
        if (const std::string failures = failuresText(run.files); !failures.empty())
            services.showMessage("保存失败", failures);
    }
    else if (run.files.size() == 1)
        completeRun(settings, run.files.front(), services);
    else
        completeSetRun(settings, folder, run.files, services);
    return run;
}

} // namespace sumlark::ui
