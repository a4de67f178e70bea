#include "WindowRun.h"

#include "RefusalWords.h"

namespace sumlark::ui {

bool WindowRun::madeFrom(const WorksheetSettings& now, const MoreConditions& nowConditions) const
{
    // Every choice counts but those that only change what happens after the
    // sheets are made: opening them when done, and how they are printed. A
    // choice added later counts unless it is added here.
    WorksheetSettings made = settings;
    made.openWhenDone = now.openWhenDone;
    MoreConditions madeConditions = conditions;
    madeConditions.page = nowConditions.page;
    return made == now && madeConditions == nowConditions;
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
