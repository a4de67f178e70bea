#include "WebModel.h"

#include "ChoiceWords.h"
#include "JsonText.h"
#include "ProblemTypes.h"
#include "RefusalWords.h"
#include "TwoSteps.h"

#include <array>

namespace sumlark::web {
namespace {

// The key of a choice: its option without "--".
std::string_view keyOf(Choice choice)
{
    return wording::wordsOf(choice).option.substr(2);
}

std::string_view kindName(ChoiceKind kind)
{
    constexpr std::array<std::string_view, 6> kNames = {"switch", "whole", "range", "oneOf", "typed", "text"};
    return kNames[static_cast<std::size_t>(kind)];
}

std::string_view spellingOf(Choice choice, std::size_t place)
{
    return wording::wordsOf(choice).items[place].spelling;
}

// Where the window offers a choice: the main window's lists and switches,
// the 更多出题条件 dialog, or where the files go.
std::string_view windowOf(const wording::ChoiceWords& words)
{
    if (words.section == wording::OptionSection::Output)
        return words.label.empty() ? "output" : "dialog";
    return words.label.empty() ? "main" : "dialog";
}

void choiceJson(JsonText& json, const wording::ChoiceWords& words)
{
    const ChoiceLimits& limits = limitsOf(words.choice);
    json.open('{').key("key").string(keyOf(words.choice)).key("option").string(words.option);
    json.key("kind").string(kindName(limits.kind));
    json.key("lowest").string(std::to_string(limits.lowest)).key("highest").string(std::to_string(limits.highest));
    json.key("initial");
    if (limits.initial)
        json.string(std::to_string(*limits.initial));
    else
        json.null();
    json.key("name").string(words.name).key("label").string(words.label).key("tip").string(words.tip);
    json.key("unit").string(words.unit).key("help").string(wording::filled(words.help, words));
    json.key("section").string(words.section == wording::OptionSection::Output ? "output" : "problems");
    json.key("window").string(windowOf(words)).key("byPlace").boolean(words.byPlace);
    json.key("items").open('[');
    for (std::size_t place = 0; place < words.items.size(); ++place) {
        const wording::ItemWords& item = words.items[place];
        // The types' list shows their names, as the main window's does.
        const std::string_view shown =
            words.choice == Choice::Type ? problemTypeText(static_cast<ProblemType>(place)) : item.item;
        json.open('{').key("spelling").string(item.spelling).key("meaning").string(item.meaning);
        json.key("item").string(shown).close('}');
    }
    json.close(']').key("suggestions").open('[');
    for (const std::string_view value : wording::suggestionsOf(words.choice))
        json.string(value);
    json.close(']').close('}');
}

void sheetJson(JsonText& json, const Sheet& sheet, int number, int count)
{
    json.open('{').key("number").number(number).key("count").number(count);
    json.key("seed").string(std::to_string(sheet.seed)).key("tag").string(sheet.tag);
    json.key("type").string(spellingOf(Choice::Type, static_cast<std::size_t>(sheet.type)));
    json.key("typeText").string(sheet.typeText).key("countText").string(sheet.countText);
    json.key("smallestText").string(sheet.smallestText).key("largestText").string(sheet.largestText);
    json.key("numbered").boolean(sheet.numbered).key("writeAnswers").boolean(sheet.writeAnswers);
    json.key("perLine").number(sheet.perLine).key("serialWidth").number(sheet.serialWidth);
    json.key("problems").number(static_cast<double>(sheet.problems.size()));
    // A sheet of sections: each one's heading and how its problems stand,
    // in order; the problems above hold theirs one after another.
    json.key("sections").open('[');
    for (const Sheet& section : sheet.sections) {
        json.open('{').key("heading").string(section.heading).key("typeText").string(section.typeText);
        json.key("smallestText").string(section.smallestText).key("largestText").string(section.largestText);
        json.key("numbered").boolean(section.numbered).key("perLine").number(section.perLine);
        json.key("layout").string(section.layout == PageLayout::Columns ? "columns" : "rows");
        json.key("problems").number(static_cast<double>(section.problems.size())).close('}');
    }
    json.close(']').close('}');
}

void refusalBody(JsonText& json, std::string_view code, std::span<const Choice> choices, const std::string& text)
{
    json.open('{').key("refusal").open('{').key("code").string(code).key("choices").open('[');
    for (const Choice choice : choices)
        json.string(keyOf(choice));
    json.close(']').key("text").string(text).close('}').close('}');
}

constexpr std::array<std::string_view, 29> kRefusalCodes = {
    "UnknownType", "CountNotANumber", "CountTooLarge", "SmallestNotANumber", "LargestNotANumber",
    "RangeOutOf16Bits", "CarryWithoutAddition", "BorrowWithoutSubtraction", "DigitsBelowZero",
    "OwnRangeBelowZero", "RangeReversed", "RangeOutOfLimits",
    "NoProblem", "NoFormedProblem", "TooFewDistinct", "ColumnForm", "TooManyNames", "NameTooLong",
    "CompareWithBlank", "CompareWithThreeNumbers", "CompareWithRemainder", "CompareTooWide",
    "RangeStepBelowOne", "StepAcrossDigits", "QuotientStep",
    "BracketsNeedThreeNumbers", "BracketsChangeNothing", "TwoStepsTooWide",
    "StepInTwoSteps"};
static_assert(kRefusalCodes.size() == static_cast<std::size_t>(RefusalCode::StepInTwoSteps) + 1,
              "every refusal has its code's name");

} // namespace

std::string choiceTableJson()
{
    JsonText json;
    json.open('[');
    for (const wording::ChoiceWords& words : wording::choiceWords())
        choiceJson(json, words);
    return json.close(']').text();
}

std::string sheetsJson(std::span<const Sheet> sheets, const wording::OptionChoices& chosen, std::uint64_t seed)
{
    JsonText json;
    json.open('{').key("seed").string(std::to_string(seed));
    json.key("model").open('{').key("page").open('{');
    json.key("paper").string(spellingOf(Choice::Paper, static_cast<std::size_t>(chosen.page.paper)));
    json.key("fontSize").number(chosen.page.fontSize);
    json.key("layout").string(chosen.page.layout == PageLayout::Columns ? "columns" : "rows").close('}');
    json.key("sheets").open('[');
    const int count = static_cast<int>(sheets.size());
    for (int number = 1; number <= count; ++number)
        sheetJson(json, sheets[static_cast<std::size_t>(number - 1)], number, count);
    return json.close(']').close('}').close('}').text();
}

std::vector<double> problemNumbers(const Sheet& sheet)
{
    std::vector<double> numbers;
    numbers.reserve(sheet.problems.size() * kProblemNumbers);
    for (const SheetProblem& p : sheet.problems) {
        numbers.insert(numbers.end(), {static_cast<double>(p.operation), p.left, p.right, p.result, p.remainder,
                                       static_cast<double>(p.terms), static_cast<double>(p.thenOperation), p.third,
                                       static_cast<double>(p.blank)});
        // A comparison's other side: its number alone, or its first number,
        // operation and second; the sign its circle holds.
        const bool alone = p.compare != CompareForm::Expression;
        numbers.insert(numbers.end(), {static_cast<double>(p.compare), alone ? p.otherResult : p.otherLeft,
                                       static_cast<double>(p.otherOperation), alone ? 0.0 : p.otherRight,
                                       p.compare == CompareForm::None ? 0.0 : static_cast<double>(p.relation())});
        const auto side = p.terms == 3 && p.brackets ? bracketSide(p.operation, p.thenOperation) : std::nullopt;
        numbers.push_back(side ? 1.0 + static_cast<double>(*side) : 0.0);
    }
    return numbers;
}

std::string refusalJson(const Refusal& refusal)
{
    JsonText json;
    refusalBody(json, kRefusalCodes[static_cast<std::size_t>(refusal.code)], refusal.choices,
                wording::refusalText(refusal, wording::DialogNaming()));
    return json.text();
}

std::string wrongValueJson(Choice choice, const std::string& text)
{
    JsonText json;
    const Choice choices[] = {choice};
    refusalBody(json, "WrongValue", choices, text);
    return json.text();
}

} // namespace sumlark::web
