#include "PlanOptions.h"

#include "ShownText.h"

#include <algorithm>

namespace sumlark::wording {
namespace {

// Where a key stands, as a reply names it.
std::string placeOf(std::size_t section, std::size_t sections, std::string_view key)
{
    // A space after the key: a reply goes on "的取值…".
    if (sections <= 1)
        return "方案的 " + std::string(key) + " ";
    return "方案第 " + std::to_string(section + 1) + " 段的 " + std::string(key) + " ";
}

std::string applyEntries(OptionChoices& chosen, const std::vector<PlanEntry>& entries, std::size_t section,
                         std::size_t sections, bool top)
{
    for (const PlanEntry& entry : entries) {
        const ChoiceWords* words = optionNamed("--" + entry.key);
        const std::string place = placeOf(section, top ? 0 : sections, entry.key);
        if (!words)
            return (top || sections <= 1 ? std::string("方案里") : "方案第 " + std::to_string(section + 1) + " 段里") +
                   "没有" + quotedValue(entry.key) + "这个选项。";
        if (!top && isSheetWide(words->choice))
            return place + "是整张纸的选项，要写在方案的最外层，不能写在一段里。";
        if (std::string complaint = readOption(chosen, *words, entry.value, place); !complaint.empty())
            return complaint;
    }
    return {};
}

void put(std::vector<PlanEntry>& entries, const PlanEntry& entry)
{
    const auto same = std::find_if(entries.begin(), entries.end(), [&](const PlanEntry& e) { return e.key == entry.key; });
    if (same != entries.end())
        same->value = entry.value;
    else
        entries.push_back(entry);
}

} // namespace

bool isSheetWide(Choice choice)
{
    // Answers are the whole sheet's: its answer sheet holds them all or none.
    return choice == Choice::WriteAnswers ||
           (wordsOf(choice).section == OptionSection::Output && choice != Choice::Layout);
}

std::string applyPlan(OptionChoices& chosen, const PlanText& plan)
{
    if (std::string complaint = applyEntries(chosen, plan.wide, 0, plan.sections.size(), true); !complaint.empty())
        return complaint;
    // The problems' options at the top hold for every section that does
    // not choose its own.
    const OptionChoices top = chosen;
    for (std::size_t i = 0; i < plan.sections.size(); ++i) {
        OptionChoices section = top;
        if (std::string complaint = applyEntries(section, plan.sections[i].options, i, plan.sections.size(), false);
            !complaint.empty())
            return complaint;
        if (i == 0) {
            chosen.settings = section.settings;
            chosen.constraints = section.constraints;
            chosen.page.layout = section.page.layout;
            chosen.heading = plan.sections[i].heading;
        } else {
            chosen.moreSections.push_back({plan.sections[i].heading, section.settings, section.constraints});
        }
    }
    return {};
}

PlanText mergedPlan(const PlanText& plan, const std::vector<PlanEntry>& given)
{
    PlanText merged = plan;
    for (const PlanEntry& entry : given) {
        const ChoiceWords* words = optionNamed("--" + entry.key);
        const bool wide = !words || isSheetWide(words->choice);
        put(!wide && merged.sections.size() == 1 ? merged.sections.front().options : merged.wide, entry);
    }
    return merged;
}

} // namespace sumlark::wording
