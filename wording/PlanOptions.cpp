#include "PlanOptions.h"

#include "ShownText.h"

#include <algorithm>
#include <cmath>
#include <optional>

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

// A choice's value in chosen as its option spells it, a switch's as 1 or 0,
// so that two can be compared; none while unset or when it is no plan's.
std::optional<std::string> spelling(const OptionChoices& o, const ChoiceWords& words)
{
    const auto item = [&words](auto place) {
        const std::size_t at = static_cast<std::size_t>(place);
        return at < words.items.size() && !words.items[at].spelling.empty() ? std::string(words.items[at].spelling)
                                                                             : std::to_string(at);
    };
    const auto range = [](const std::optional<WholeRange>& r) -> std::optional<std::string> {
        if (!r)
            return std::nullopt;
        const std::string ends = std::to_string(r->low) + ".." + std::to_string(r->high);
        return r->step == 1 ? ends : ends + "/" + std::to_string(r->step);
    };
    const auto flag = [](bool on) { return std::string(on ? "1" : "0"); };
    switch (words.choice) {
    case Choice::Type: return item(o.settings.problemType);
    case Choice::Smallest: return o.settings.smallestText;
    case Choice::Largest: return o.settings.largestText;
    case Choice::Count: return o.settings.countText;
    case Choice::PerLine: return o.settings.perLineText;
    case Choice::Numbered: return flag(o.settings.numbered);
    case Choice::WriteAnswers: return flag(o.settings.writeAnswers);
    case Choice::Remainder: return flag(o.settings.allowRemainder);
    case Choice::Distinct: return flag(o.constraints.distinct);
    case Choice::Carry: return item(o.constraints.carry);
    case Choice::Borrow: return item(o.constraints.borrow);
    case Choice::Blank: return item(o.constraints.blank);
    case Choice::Terms: return std::to_string(o.constraints.terms);
    case Choice::First: return range(o.constraints.first);
    case Choice::Second: return range(o.constraints.second);
    case Choice::Result: return range(o.constraints.result);
    case Choice::NoTrivial: return flag(o.constraints.noTrivial);
    case Choice::Compare: return item(o.constraints.compare);
    case Choice::Brackets: return flag(o.constraints.brackets);
    case Choice::Seed: return o.seed ? std::optional(std::to_string(*o.seed)) : std::nullopt;
    case Choice::Sheets: return std::to_string(o.sheets);
    case Choice::ClassName: return o.className;
    case Choice::Pdf: return flag(o.pdf);
    case Choice::Paper: return item(o.page.paper);
    case Choice::FontSize: return std::to_string(std::lround(o.page.fontSize));
    case Choice::Layout: return item(o.page.layout);
    case Choice::Duplex: return flag(o.page.duplex);
    case Choice::Folder:
    case Choice::Encoding:
    case Choice::Names: break;
    }
    return std::nullopt;
}

enum class Keep { All, SheetWide, Section };

std::vector<PlanEntry> entriesOf(const OptionChoices& chosen, Keep keep)
{
    const OptionChoices fresh;
    std::vector<PlanEntry> entries;
    for (const ChoiceWords& words : choiceWords()) {
        const std::optional<std::string> value = spelling(chosen, words);
        if (words.option.empty() || !value || value == spelling(fresh, words) ||
            (keep != Keep::All && isSheetWide(words.choice) != (keep == Keep::SheetWide)))
            continue;
        const bool isSwitch = limitsOf(words.choice).kind == ChoiceKind::Switch;
        entries.push_back({std::string(words.option.substr(2)), isSwitch ? std::string() : *value});
    }
    return entries;
}

} // namespace

std::vector<PlanEntry> planEntriesOf(const OptionChoices& chosen)
{
    return entriesOf(chosen, Keep::All);
}

PlanText planTextOf(const OptionChoices& chosen)
{
    if (chosen.heading.empty() && chosen.moreSections.empty())
        return {planEntriesOf(chosen), {}};
    PlanText plan{entriesOf(chosen, Keep::SheetWide), {{chosen.heading, entriesOf(chosen, Keep::Section)}}};
    for (const SheetSection& section : chosen.moreSections) {
        OptionChoices own;
        own.settings = section.settings;
        own.constraints = section.constraints;
        own.page.layout = section.layout;
        plan.sections.push_back({section.heading, entriesOf(own, Keep::Section)});
    }
    return plan;
}

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
            chosen.moreSections.push_back(
                {plan.sections[i].heading, section.settings, section.constraints, section.page.layout});
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
