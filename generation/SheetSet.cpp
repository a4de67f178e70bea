#include "SheetSet.h"

#include "SeededRandom.h"
#include "SheetLayout.h"

#include <cstdio>
#include <utility>

namespace sumlark {

std::string sheetTag(int number, int count)
{
    if (count <= 1)
        return {};
    char tag[8];
    std::snprintf(tag, sizeof tag, "%02d", number);
    return tag;
}

std::uint64_t pairSeed(std::uint64_t setSeed, int number, int count)
{
    return count <= 1 ? setSeed : deriveSeed(setSeed, static_cast<std::uint64_t>(number));
}

RunOptions setSheetOptions(std::uint64_t setSeed, const ProblemConstraints& constraints, int number, int count)
{
    return {pairSeed(setSeed, number, count), constraints, sheetTag(number, count)};
}

SheetSet makeSheetSet(const WorksheetSettings& settings, const SetChoices& choices, RandomServices& services)
{
    SheetSet set;
    set.seed = choices.seed ? *choices.seed : services.clockSeed();
    const int count = choices.count < 1 ? 1 : choices.count;
    // Checked and counted once: every sheet has the same settings.
    const PlanOrRefusal planned = planRun(settings, choices.constraints);
    if (!planned.plan) {
        set.refusal = planned.refusal;
        return set;
    }
    set.sheets.reserve(static_cast<std::size_t>(count));
    for (int number = 1; number <= count; ++number) {
        const RunOptions options = setSheetOptions(set.seed, choices.constraints, number, count);
        set.sheets.push_back(makeSheet(settings, *planned.plan, options, services));
    }
    return set;
}

std::string failuresText(const std::vector<SheetFilesReport>& files)
{
    std::string failures;
    for (const SheetFilesReport& pair : files) {
        for (const auto& [report, name] : {std::pair{&pair.question, "答题纸"}, std::pair{&pair.answer, "答案纸"}}) {
            if (report->written)
                continue;
            failures += failures.empty() ? "" : "\n\n";
            failures += failureText(name, report->path, report->reason);
        }
    }
    return failures;
}

void completeSetRun(const WorksheetSettings& settings, const std::string& folder,
                    const std::vector<SheetFilesReport>& files, CompletionServices& services)
{
    if (const std::string failures = failuresText(files); !failures.empty()) {
        services.showMessage("保存失败", failures);
        return;
    }
    // Two editors for every sheet of a class would bury the desktop; the
    // folder shows them all.
    if (settings.openWhenDone && services.showFolder(folder))
        return;
    std::string text = "文件输出完成，共 " + std::to_string(files.size()) + " 份，文件保存在： " + folder;
    if (!files.empty() && !files.front().question.note.empty())
        text += "\n" + files.front().question.note;
    services.showMessage("成功", text);
}

} // namespace sumlark
