#include "GenerateSheets.h"

#include "ProblemStream.h"

#include <algorithm>

namespace sumlark {

SheetOrRefusal makeSheet(const WorksheetSettings& settings, const RunOptions& options, RandomServices& services)
{
    const PlanOrRefusal planned = planRun(settings, options.constraints);
    if (!planned.plan)
        return {std::nullopt, planned.refusal};
    return {makeSheet(settings, *planned.plan, options, services), {}};
}

Sheet makeSheet(const WorksheetSettings& settings, const RunPlan& plan, const RunOptions& options,
                RandomServices& services)
{
    Sheet sheet;
    sheet.countText = settings.countText;
    sheet.typeText = settings.typeText;
    sheet.smallestText = settings.smallestText;
    sheet.largestText = settings.largestText;
    if (const FormedProblems* formed = plan.formed(); formed && (plan.constraints.first || plan.constraints.second)) {
        // The operands' own ranges stand in for the window's: the sheet
        // names the numbers its operands actually lie between.
        const FormRules& rules = formed->rules;
        sheet.smallestText = std::to_string(std::min(rules.first.low, rules.second.low));
        sheet.largestText = std::to_string(std::max(rules.first.high, rules.second.high));
    }
    sheet.type = settings.problemType;
    sheet.numbered = settings.numbered;
    sheet.writeAnswers = settings.writeAnswers;
    sheet.serialWidth = plan.serialWidth;
    sheet.perLine = plan.perLine;
    sheet.seed = options.seed ? *options.seed : services.clockSeed();
    sheet.tag = options.sheetTag;

    const auto random = services.randomSource(sheet.seed);
    sheet.problems.reserve(static_cast<std::size_t>(plan.problemCount));
    const auto stream = openProblemStream(plan, settings.problemType, *random);
    for (int number = 1; number <= plan.problemCount; ++number)
        sheet.problems.push_back(stream->next());
    return sheet;
}

} // namespace sumlark
