#include "OptionReading.h"

#include "ShownText.h"

#include <algorithm>
#include <charconv>

namespace sumlark::wording {
namespace {

// "--carry 的取值“x”不对……": an option typed is set apart by a space, a
// choice named in words is not.
std::string replyTo(std::string_view named, std::string_view what, std::string_view value, const std::string& rest)
{
    const std::string_view spaced = named.starts_with("-") ? what : what.substr(1);
    return std::string(named) + std::string(spaced) + quotedValue(value) + rest;
}

// The whole text is a number of digits within the limits.
template <typename Number>
std::optional<Number> wholeNumber(std::string_view text, Number smallest, Number largest)
{
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < smallest || value > largest)
        return std::nullopt;
    return value;
}


// One end of a range: an optional minus and digits. A number past 64 bits
// is still a number, only out of any limit: told so, not as a typing error.
enum class End { Number, TooLarge, Invalid };
End rangeEnd(std::string_view text, std::int64_t& value)
{
    const std::string_view digits = text.starts_with('-') ? text.substr(1) : text;
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return End::Invalid;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() ? End::Number : End::TooLarge;
}

// "A..B", whole numbers with A at most B, both within the choice's limits,
// and "A..B/S" for every S-th of them from A.
std::string readRange(WholeRange& range, const ChoiceWords& words, std::string_view value, std::string_view named)
{
    const ChoiceLimits& limits = limitsOf(words.choice);
    const auto slash = value.find('/');
    const std::string_view ends = value.substr(0, slash);
    const auto dots = ends.find("..");
    std::int64_t low = 0, high = 0, step = 1;
    const End lowEnd = dots == std::string_view::npos ? End::Invalid : rangeEnd(ends.substr(0, dots), low);
    const End highEnd = dots == std::string_view::npos ? End::Invalid : rangeEnd(ends.substr(dots + 2), high);
    const End stepEnd = slash == std::string_view::npos ? End::Number : rangeEnd(value.substr(slash + 1), step);
    if (lowEnd == End::Invalid || highEnd == End::Invalid || stepEnd == End::Invalid)
        return replyTo(named, " 的取值", value,
                       "不对。可以用两个整数中间加两个点，小的在前，例如 10..99 或 -5..5；"
                       "要隔几个数取一个，在后面加斜线和步长，例如 10..90/10。");
    // The widest step that still gives two values.
    const std::uint64_t widest = limits.highest - static_cast<std::uint64_t>(limits.lowest);
    if (stepEnd == End::TooLarge || step < 1 || static_cast<std::uint64_t>(step) > widest)
        return replyTo(named, " 的步长", value,
                       "不对：步长要是 1 到 " + std::to_string(widest) + " 之间的整数，例如 10..90/10。");
    const auto within = [&limits](std::int64_t v) {
        return limits.lowest <= v && (v < 0 || static_cast<std::uint64_t>(v) <= limits.highest);
    };
    if (lowEnd == End::TooLarge || highEnd == End::TooLarge || !within(low) || !within(high))
        return replyTo(named, " 的范围", value,
                       "超出了能用的范围：" + std::string(words.name) + "要在 " + filled("{lowest} 到 {highest}", words) + " 之间。");
    if (low > high)
        return replyTo(named, " 的范围", value,
                       "前面的数大于后面的数。请把小的写在前面，例如 " + std::to_string(high) + ".." + std::to_string(low) + "。");
    range = WholeRange{low, high, step};
    return {};
}

// A value read for a choice by its kind: a switch turned the other way from
// where it starts, a whole number, a list's place, a range, or the text.
struct Value {
    std::uint64_t number = 0;
    WholeRange range{};
    std::string_view text;
};

std::string readValue(Value& read, const ChoiceWords& words, std::string_view value, std::string_view named)
{
    const ChoiceLimits& limits = limitsOf(words.choice);
    const std::string wrong = wrongValueText(words, value, named);
    switch (limits.kind) {
    case ChoiceKind::Switch:
        read.number = limits.initial == 0 ? 1 : 0;
        return {};
    case ChoiceKind::Whole:
        if (const auto number = wholeNumber<std::uint64_t>(value, static_cast<std::uint64_t>(limits.lowest), limits.highest)) {
            read.number = *number;
            return {};
        }
        return wrong;
    case ChoiceKind::OneOf: {
        if (words.byPlace) {
            if (const auto place = wholeNumber<std::uint64_t>(value, static_cast<std::uint64_t>(limits.lowest), limits.highest)) {
                read.number = *place;
                return {};
            }
        }
        const std::string typed = lowercaseAscii(value);
        for (std::size_t place = 0; place < words.items.size(); ++place) {
            if (!words.items[place].spelling.empty() && typed == words.items[place].spelling) {
                read.number = place;
                return {};
            }
        }
        return wrong;
    }
    case ChoiceKind::Range:
        return readRange(read.range, words, value, named);
    case ChoiceKind::Typed:
    case ChoiceKind::Text:
        read.text = value;
        return value.empty() && limits.kind == ChoiceKind::Text ? wrong : std::string();
    }
    return wrong;
}

} // namespace

std::string lowercaseAscii(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    return lower;
}

const ChoiceWords* optionNamed(std::string_view name)
{
    for (const ChoiceWords& words : choiceWords())
        if (!words.option.empty() && words.option == name)
            return &words;
    return nullptr;
}

std::string wrongValueText(const ChoiceWords& words, std::string_view value, std::string_view named)
{
    return replyTo(named, " 的取值", value, "不对。可以用" + filled(words.allowed, words) + "。");
}

std::string readOption(OptionChoices& o, const ChoiceWords& words, std::string_view value, std::string_view named)
{
    Value read;
    if (std::string complaint = readValue(read, words, value, named); !complaint.empty())
        return complaint;
    const bool on = read.number != 0;
    switch (words.choice) {
    case Choice::Type:
        o.settings.problemType = static_cast<ProblemType>(read.number);
        o.settings.typeText = std::string(problemTypeText(o.settings.problemType));
        break;
    case Choice::Smallest:
        o.settings.smallestText = std::string(read.text);
        break;
    case Choice::Largest:
        o.settings.largestText = std::string(read.text);
        break;
    case Choice::Count:
        o.settings.countText = std::string(read.text);
        break;
    case Choice::PerLine:
        o.settings.perLineText = std::string(read.text);
        break;
    case Choice::Numbered:
        o.settings.numbered = on;
        break;
    case Choice::WriteAnswers:
        o.settings.writeAnswers = on;
        break;
    case Choice::Remainder:
        o.settings.allowRemainder = on;
        break;
    case Choice::Distinct:
        o.constraints.distinct = on;
        break;
    case Choice::Carry:
        o.constraints.carry = static_cast<CarryRule>(read.number);
        break;
    case Choice::Borrow:
        o.constraints.borrow = static_cast<BorrowRule>(read.number);
        break;
    case Choice::Blank:
        o.constraints.blank = static_cast<BlankChoice>(read.number);
        break;
    case Choice::Terms:
        o.constraints.terms = static_cast<int>(read.number);
        break;
    case Choice::First:
        o.constraints.first = read.range;
        break;
    case Choice::Second:
        o.constraints.second = read.range;
        break;
    case Choice::Result:
        o.constraints.result = read.range;
        break;
    case Choice::NoTrivial:
        o.constraints.noTrivial = on;
        break;
    case Choice::Compare:
        o.constraints.compare = static_cast<CompareForm>(read.number);
        break;
    case Choice::Brackets:
        o.constraints.brackets = on;
        break;
    case Choice::Folder:
        o.folder = std::string(read.text);
        break;
    case Choice::Encoding:
        o.encoding = std::string(read.text);
        break;
    case Choice::Seed:
        o.seed = read.number;
        break;
    case Choice::Sheets:
        o.sheets = static_cast<int>(read.number);
        break;
    case Choice::Names:
        o.namesFile = std::string(read.text);
        break;
    case Choice::ClassName:
        o.className = std::string(read.text);
        break;
    case Choice::Pdf:
        o.pdf = on;
        break;
    case Choice::Paper:
        o.page.paper = static_cast<Paper>(read.number);
        break;
    case Choice::FontSize:
        o.page.fontSize = static_cast<double>(read.number);
        break;
    case Choice::Layout:
        o.page.layout = static_cast<PageLayout>(read.number);
        break;
    case Choice::Duplex:
        o.page.duplex = on;
        break;
    }
    return {};
}

} // namespace sumlark::wording
