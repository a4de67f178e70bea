#include "CliOptions.h"

#include "ChoiceWords.h"
#include "FileRunServices.h"
#include "ShownText.h"
#include "SumlarkVersion.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <optional>
#include <string_view>

namespace sumlark::cli {
namespace {

constexpr std::string_view kProgram = "sumlark-cli";

std::string quoted(std::string_view text)
{
    return quotedValue(text);
}

std::string wrongValue(std::string_view option, std::string_view value, std::string_view allowed)
{
    return std::string(kProgram) + "：" + std::string(option) + " 的取值" + quoted(value) + "不对。可以用" +
           std::string(allowed) + "。";
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

std::string lowercase(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    return lower;
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

// "A..B", whole numbers with A at most B, both within the choice's limits.
std::string readRange(WholeRange& range, const wording::ChoiceWords& words, std::string_view value)
{
    const std::string_view option = words.option;
    const ChoiceLimits& limits = limitsOf(words.choice);
    const auto dots = value.find("..");
    std::int64_t low = 0, high = 0;
    const End lowEnd = dots == std::string_view::npos ? End::Invalid : rangeEnd(value.substr(0, dots), low);
    const End highEnd = dots == std::string_view::npos ? End::Invalid : rangeEnd(value.substr(dots + 2), high);
    if (lowEnd == End::Invalid || highEnd == End::Invalid)
        return wrongValue(option, value, "两个整数中间加两个点，小的在前，例如 10..99 或 -5..5");
    const auto within = [&limits](std::int64_t v) {
        return limits.lowest <= v && (v < 0 || static_cast<std::uint64_t>(v) <= limits.highest);
    };
    if (lowEnd == End::TooLarge || highEnd == End::TooLarge || !within(low) || !within(high))
        return std::string(kProgram) + "：" + std::string(option) + " 的范围" + quoted(value) + "超出了能用的范围：" +
               std::string(words.name) + "要在 " + wording::filled("{lowest} 到 {highest}", words) + " 之间。";
    if (low > high)
        return std::string(kProgram) + "：" + std::string(option) + " 的范围" + quoted(value) + "前面的数大于后面的数。" +
               "请把小的写在前面，例如 " + std::to_string(high) + ".." + std::to_string(low) + "。";
    range = WholeRange{low, high};
    return {};
}

// A value read for a choice by its kind: a switch turned the other way from
// where it starts, a whole number, a list's place, a range, or the text.
struct Value {
    std::uint64_t number = 0;
    WholeRange range{};
    std::string_view text;
};

std::string readValue(Value& read, const wording::ChoiceWords& words, std::string_view value)
{
    const ChoiceLimits& limits = limitsOf(words.choice);
    const std::string wrong = wrongValue(words.option, value, wording::filled(words.allowed, words));
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
        const std::string typed = lowercase(value);
        for (std::size_t place = 0; place < words.items.size(); ++place) {
            if (!words.items[place].spelling.empty() && typed == words.items[place].spelling) {
                read.number = place;
                return {};
            }
        }
        return wrong;
    }
    case ChoiceKind::Range:
        return readRange(read.range, words, value);
    case ChoiceKind::Typed:
    case ChoiceKind::Text:
        read.text = value;
        return value.empty() && limits.kind == ChoiceKind::Text ? wrong : std::string();
    }
    return wrong;
}

// Where the command line keeps each choice it read.
std::string store(CliOptions& o, const wording::ChoiceWords& words, std::string_view value)
{
    Value read;
    if (std::string complaint = readValue(read, words, value); !complaint.empty())
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
    case Choice::Folder:
        o.folder = std::string(read.text);
        break;
    case Choice::Encoding:
        if (!FileRunServices::encodingAvailable(QByteArray(value.data(), qsizetype(value.size()))))
            return wrongValue(words.option, value, wording::filled(words.allowed, words));
        o.encoding = std::string(read.text);
        break;
    case Choice::Seed:
        o.seed = read.number;
        break;
    case Choice::Sheets:
        o.sheets = static_cast<int>(read.number);
        break;
    case Choice::Pdf:
        o.pdf = on;
        break;
    case Choice::Paper:
        o.page.paper = static_cast<pdf::Paper>(read.number);
        break;
    case Choice::FontSize:
        o.page.fontSize = static_cast<double>(read.number);
        break;
    case Choice::Layout:
        o.page.layout = static_cast<pdf::PageLayout>(read.number);
        break;
    }
    return {};
}

// The choices the command line offers, in the order --help lists them.
std::vector<const wording::ChoiceWords*> options()
{
    std::vector<const wording::ChoiceWords*> offered;
    for (const wording::ChoiceWords& words : wording::choiceWords())
        if (!words.option.empty())
            offered.push_back(&words);
    return offered;
}

bool takesValue(const wording::ChoiceWords& words)
{
    return limitsOf(words.choice).kind != ChoiceKind::Switch;
}

constexpr std::string_view kHelp = "--help", kShortHelp = "-h";
constexpr std::string_view kVersion = "--version", kShortVersion = "-V";
constexpr std::string_view kEndOfOptions = "--";
// The options the table does not hold, as --help lists them.
constexpr std::pair<std::string_view, std::string_view> kOtherOptions[] = {
    {"--help, -h", "显示这段说明，不管还有别的什么选项"}, {"--version, -V", "显示版本号"}, {"--", "选项到此为止"}};

bool isHelp(std::string_view argument)
{
    return argument == kHelp || argument == kShortHelp;
}

bool isVersion(std::string_view argument)
{
    return argument == kVersion || argument == kShortVersion;
}

// The option of the table that argument starts with in its short form: "-o", "-o文件夹".
const wording::ChoiceWords* shortFormOf(std::string_view argument)
{
    for (const wording::ChoiceWords* words : options())
        if (!words->shortOption.empty() && argument.starts_with(words->shortOption))
            return words;
    return nullptr;
}

// What an option's value cannot be: another option. A lone "-5" is a value.
bool looksLikeOption(std::string_view argument)
{
    return argument.starts_with("--") || isHelp(argument) || isVersion(argument) || shortFormOf(argument);
}

// Edits (insertions, deletions, substitutions) that turn one text into the other.
std::size_t editDistance(std::string_view from, std::string_view to)
{
    std::vector<std::size_t> row(to.size() + 1);
    for (std::size_t j = 0; j <= to.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= from.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= to.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({above + 1, row[j - 1] + 1, diagonal + (from[i - 1] == to[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[to.size()];
}

// The option a mistyped name most likely meant: one that differs only in
// case, else the nearest long name within two edits; none for a short name,
// where two edits reach nearly anything.
std::optional<std::string_view> nearestOption(std::string_view name)
{
    std::vector<std::string_view> names = {kHelp, kShortHelp, kVersion, kShortVersion};
    for (const wording::ChoiceWords* words : options())
        names.push_back(words->option);
    for (const wording::ChoiceWords* words : options())
        if (!words->shortOption.empty())
            names.push_back(words->shortOption);
    for (std::string_view candidate : names) {
        if (lowercase(candidate) == lowercase(name))
            return candidate;
    }
    if (name.size() < 3)
        return std::nullopt;
    std::optional<std::string_view> nearest;
    std::size_t best = 3;
    for (std::string_view candidate : names) {
        if (!candidate.starts_with("--"))
            continue;
        if (const std::size_t edits = editDistance(name, candidate); edits < best) {
            best = edits;
            nearest = candidate;
        }
    }
    return nearest;
}

std::string unknownOption(std::string_view name)
{
    std::string error = std::string(kProgram) + "：没有" + quoted(name) + "这个选项。";
    if (const auto nearest = nearestOption(name))
        error += "您是不是想用 " + std::string(*nearest) + "？";
    return error;
}

std::string withHelpHint(std::string error)
{
    return error + "\n用 " + std::string(kProgram) + " --help 查看全部选项。\n";
}

// What --help says before and after its lists of options.
constexpr std::string_view kHelpStart = R"(用法：sumlark-cli [选项]

按选项生成一份口算练习：答题纸“速算答题.txt”和答案纸“速算答题-答案.txt”，
写在当前文件夹或 --out 给的文件夹里，已有的同名文件会被替换。没给的选项和
主窗口刚打开时的选择一样。完成后列出写好的文件和这次的种子。

)";
constexpr std::string_view kHelpEnd = R"(
选项的取值可以跟在后面（--count 50），也可以用等号（--count=50）；
-o 的取值也可以直接连着写（-o三年级二班）。

例子
  sumlark-cli --seed 1 --count 110 --per-line 5 --numbered --pdf
      110 道 10 以内的加法，每行 5 道，带编号；另有 A4 的 PDF，
      答题纸和答案纸各正好一页
  sumlark-cli --type sub --largest 100 --borrow with --distinct --count 40 --pdf
      40 道互不相同、都要退位的 100 以内减法，连同 PDF
  sumlark-cli --type all --largest 20 --remainder --sheets 30 --seed 2024 --out 三年级二班
      给全班 30 人每人一份不同的 20 以内四则混合练习；以后用同样的
      种子和选项可以把这 30 份原样再做一次
  sumlark-cli --first 10..99 --second 1..9 --result 0..100 --count 50
      50 道两位数加一位数，得数在 100 以内
  sumlark-cli --type add-sub --largest 20 --no-trivial --layout vertical --pdf
      20 以内的加减法，PDF 上排成竖式，没有 ＋0、a－a 这样的题

退出码：0 完成；1 有文件没能写好；2 选项有误，或者按这些设置出不了题。
)";

// Columns a text takes in a terminal: two for each character beyond ASCII,
// which in these texts are all Chinese.
std::size_t columns(std::string_view text)
{
    std::size_t width = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        width += byte < 0x80 ? 1 : (byte & 0xC0) == 0xC0 ? 2 : 0;
    }
    return width;
}

// One option in --help: its usage indented by two, what it does from
// column 25, beneath the usage when that is too wide to leave a space.
std::string helpRow(std::string_view usage, std::string_view help)
{
    constexpr std::size_t kHelpColumn = 25;
    std::string row = "  " + std::string(usage);
    const std::size_t used = 2 + columns(usage);
    row += used < kHelpColumn ? std::string(kHelpColumn - used, ' ') : "\n" + std::string(kHelpColumn, ' ');
    for (std::size_t at = 0; at <= help.size();) {
        const std::size_t lineEnd = std::min(help.find('\n', at), help.size());
        if (at > 0)
            row += std::string(kHelpColumn, ' ');
        row += std::string(help.substr(at, lineEnd - at)) + "\n";
        at = lineEnd + 1;
    }
    return row;
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine line;
    // Asking for help is answered whatever else the line holds, even a
    // mistake; only after "--" is "--help" no longer an option.
    const auto end = std::find(arguments.begin(), arguments.end(), kEndOfOptions);
    if (std::any_of(arguments.begin(), end, [](const std::string& a) { return isHelp(a); })) {
        line.action = CommandLine::Action::Help;
        return line;
    }
    const auto fail = [&line](std::string error) {
        line.action = CommandLine::Action::Error;
        line.error = withHelpHint(std::move(error));
        return line;
    };
    bool version = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (!optionsEnded && argument == kEndOfOptions) {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || !argument.starts_with("-") || argument == "-")
            return fail(std::string(kProgram) + "：多余的参数" + quoted(argument) + "，这里只接受选项。");
        if (isVersion(argument)) {
            version = true;
            continue;
        }

        std::string_view name, typed; // the table's name, and the name as typed
        std::optional<std::string_view> attached; // a value in the same argument
        if (const wording::ChoiceWords* shortForm = shortFormOf(argument)) {
            // As usual for one-letter options: "-o 文件夹" or "-o文件夹".
            name = shortForm->option;
            typed = shortForm->shortOption;
            if (argument.size() > typed.size())
                attached = argument.substr(typed.size());
        } else {
            const auto equals = argument.find('=');
            name = typed = argument.substr(0, equals);
            if (equals != std::string_view::npos)
                attached = argument.substr(equals + 1);
        }
        const auto offered = options();
        const auto option = std::find_if(offered.begin(), offered.end(),
                                         [name](const wording::ChoiceWords* o) { return o->option == name; });
        if (option == offered.end())
            return fail(unknownOption(name));
        const wording::ChoiceWords& words = **option;

        std::string_view value;
        if (attached) {
            if (!takesValue(words))
                return fail(std::string(kProgram) + "：" + std::string(typed) + " 不带取值。");
            value = *attached;
        } else if (takesValue(words)) {
            // A following option is a forgotten value rather than the value.
            if (i + 1 >= arguments.size() || looksLikeOption(arguments[i + 1]))
                return fail(std::string(kProgram) + "：" + std::string(typed) + " 后面缺少取值。");
            value = arguments[++i];
        }
        if (std::string complaint = store(line.options, words, value); !complaint.empty())
            return fail(std::move(complaint));
    }
    if (version)
        line.action = CommandLine::Action::Version;
    return line;
}

std::string versionText()
{
    return "小学Sumlark 命令行版 " + std::string(version::kText) + "\n";
}

std::string helpText()
{
    std::string text(kHelpStart);
    using wording::OptionSection;
    for (const auto& [section, title] :
         {std::pair{OptionSection::Problems, "题目"}, std::pair{OptionSection::Output, "输出"}}) {
        text += std::string(title) + "\n";
        for (const wording::ChoiceWords* words : options())
            if (words->section == section)
                text += helpRow(wording::usage(*words), wording::filled(words->help, *words));
        text += "\n";
    }
    text += "其他\n";
    for (const auto& [usage, help] : kOtherOptions)
        text += helpRow(usage, help);
    return text + std::string(kHelpEnd);
}

} // namespace sumlark::cli
