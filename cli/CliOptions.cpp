#include "CliOptions.h"

#include "FileRunServices.h"
#include "ShownText.h"
#include "SumlarkVersion.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <functional>
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

constexpr std::array<std::string_view, kProblemTypeCount> kTypeNames = {
    "add", "sub", "mul", "div", "add-sub", "mul-div", "add-sub-mul", "all"};

std::optional<ProblemType> problemTypeFrom(std::string_view text)
{
    if (const auto index = wholeNumber<int>(text, 0, kProblemTypeCount - 1))
        return static_cast<ProblemType>(*index);
    const auto name = std::find(kTypeNames.begin(), kTypeNames.end(), lowercase(text));
    if (name == kTypeNames.end())
        return std::nullopt;
    return static_cast<ProblemType>(name - kTypeNames.begin());
}

// What a range option limits, as its refusals name it, and the numbers that
// may bound it: operands are 16-bit like the run's range, a result of two
// of them can need 32 bits.
struct RangeLimits {
    std::string_view what;
    std::int64_t lowest;
    std::int64_t highest;
};

constexpr RangeLimits kFirstLimits{"第一个数", -32768, 32767};
constexpr RangeLimits kSecondLimits{"第二个数", -32768, 32767};
constexpr RangeLimits kResultLimits{"得数", std::numeric_limits<std::int32_t>::min(),
                                    std::numeric_limits<std::int32_t>::max()};

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

// "A..B", whole numbers with A at most B, both within limits.
std::string setRange(std::optional<WholeRange>& range, std::string_view option, std::string_view value,
                     const RangeLimits& limits)
{
    const auto dots = value.find("..");
    std::int64_t low = 0, high = 0;
    const End lowEnd = dots == std::string_view::npos ? End::Invalid : rangeEnd(value.substr(0, dots), low);
    const End highEnd = dots == std::string_view::npos ? End::Invalid : rangeEnd(value.substr(dots + 2), high);
    if (lowEnd == End::Invalid || highEnd == End::Invalid)
        return wrongValue(option, value, "两个整数中间加两个点，小的在前，例如 10..99 或 -5..5");
    const std::string limitText = std::to_string(limits.lowest) + " 到 " + std::to_string(limits.highest);
    const auto within = [&limits](std::int64_t v) { return limits.lowest <= v && v <= limits.highest; };
    if (lowEnd == End::TooLarge || highEnd == End::TooLarge || !within(low) || !within(high))
        return std::string(kProgram) + "：" + std::string(option) + " 的范围" + quoted(value) + "超出了能用的范围：" +
               std::string(limits.what) + "要在 " + limitText + " 之间。";
    if (low > high)
        return std::string(kProgram) + "：" + std::string(option) + " 的范围" + quoted(value) + "前面的数大于后面的数。" +
               "请把小的写在前面，例如 " + std::to_string(high) + ".." + std::to_string(low) + "。";
    range = WholeRange{low, high};
    return {};
}

// The parts of --help that list options.
enum class Section { Problems, Output };

// One option, once: its name, what it does with its value (none for a
// switch), and how --help shows it: the name with its value, and the lines
// that say what it does. An empty result of apply means the value was
// taken; otherwise it is the complaint.
struct Option {
    std::string_view name;
    bool takesValue;
    std::function<std::string(CliOptions&, std::string_view)> apply;
    Section section;
    std::string_view usage;
    std::string_view help; // lines joined by \n
};

std::string setText(std::string WorksheetSettings::*field, CliOptions& options, std::string_view value)
{
    options.settings.*field = std::string(value);
    return {};
}

const std::vector<Option>& options()
{
    static const std::vector<Option> table = {
        {"--type", true,
         [](CliOptions& o, std::string_view v) -> std::string {
             const auto type = problemTypeFrom(v);
             if (!type)
                 return wrongValue("--type", v, " 0 到 7，或者 add、sub、mul、div、add-sub、mul-div、add-sub-mul、all");
             o.settings.problemType = *type;
             o.settings.typeText = std::string(problemTypeText(*type));
             return {};
         },
         Section::Problems, "--type 类型",
         "题目类型：0 到 7，或者 add（加法）、sub（减法）、\n"
         "mul（乘法）、div（除法）、add-sub（加减混合）、\n"
         "mul-div（乘除混合）、add-sub-mul（加减乘混合）、\n"
         "all（加减乘除混合）；默认 0，加法"},
        {"--smallest", true, [](CliOptions& o, std::string_view v) { return setText(&WorksheetSettings::smallestText, o, v); },
         Section::Problems, "--smallest 数",
         "出题最小数，默认 1"},
        {"--largest", true, [](CliOptions& o, std::string_view v) { return setText(&WorksheetSettings::largestText, o, v); },
         Section::Problems, "--largest 数",
         "出题最大数（同时也是结果的最大值，乘法除外），默认 10"},
        {"--count", true, [](CliOptions& o, std::string_view v) { return setText(&WorksheetSettings::countText, o, v); },
         Section::Problems, "--count 数",
         "生成题数，默认 10，一次最多 32766"},
        {"--per-line", true, [](CliOptions& o, std::string_view v) { return setText(&WorksheetSettings::perLineText, o, v); },
         Section::Problems, "--per-line 数",
         "每行题数，默认 5"},
        {"--numbered", false, [](CliOptions& o, std::string_view) { o.settings.numbered = true; return std::string(); },
         Section::Problems, "--numbered",
         "给题目加编号"},
        {"--no-answers", false,
         [](CliOptions& o, std::string_view) { o.settings.writeAnswers = false; return std::string(); },
         Section::Problems, "--no-answers",
         "不写答案（答案纸只留表头和表尾）"},
        {"--remainder", false,
         [](CliOptions& o, std::string_view) { o.settings.allowRemainder = true; return std::string(); },
         Section::Problems, "--remainder",
         "除法可以有余数"},
        {"--distinct", false, [](CliOptions& o, std::string_view) { o.constraints.distinct = true; return std::string(); },
         Section::Problems, "--distinct",
         "同一张练习纸上没有重复的题"},
        {"--carry", true,
         [](CliOptions& o, std::string_view v) -> std::string {
             const std::string rule = lowercase(v);
             if (rule != "with" && rule != "without")
                 return wrongValue("--carry", v, " with（加法都要进位）或 without（加法都不进位）");
             o.constraints.carry = rule == "with" ? CarryRule::With : CarryRule::Without;
             return {};
         },
         Section::Problems, "--carry with|without",
         "加法都要进位（with）或都不进位（without）"},
        {"--borrow", true,
         [](CliOptions& o, std::string_view v) -> std::string {
             const std::string rule = lowercase(v);
             if (rule != "with" && rule != "without")
                 return wrongValue("--borrow", v, " with（减法都要退位）或 without（减法都不退位）");
             o.constraints.borrow = rule == "with" ? BorrowRule::With : BorrowRule::Without;
             return {};
         },
         Section::Problems, "--borrow with|without",
         "减法都要退位（with）或都不退位（without）\n"
         "进位和退位只用于 0 和正数，题型里要有加法或减法"},
        {"--blank", true,
         [](CliOptions& o, std::string_view v) -> std::string {
             constexpr std::array<std::string_view, 4> kBlanks = {"result", "first", "second", "mixed"};
             const auto blank = std::find(kBlanks.begin(), kBlanks.end(), lowercase(v));
             if (blank == kBlanks.end())
                 return wrongValue("--blank", v,
                                   " result（填得数）、first（填第一个数）、second（填第二个数）或 mixed（每题三种选一种）");
             o.constraints.blank = static_cast<BlankChoice>(blank - kBlanks.begin());
             return {};
         },
         Section::Problems, "--blank 哪个数",
         "学生填哪个数：result 得数（默认）；first 第一个数、\n"
         "second 第二个数，题里这个数印成“（  ）”，写出得数；\n"
         "mixed 每题从这三种里选一种"},
        {"--terms", true,
         [](CliOptions& o, std::string_view v) -> std::string {
             const auto terms = wholeNumber<int>(v, 2, 3);
             if (!terms)
                 return wrongValue("--terms", v, " 2（两个数）或 3（三个数：连加、连减、加减混合）");
             o.constraints.terms = *terms;
             return {};
         },
         Section::Problems, "--terms 2|3",
         "每题几个数，默认 2；3 是连加、连减、加减混合，\n"
         "只用于题型 0、1 和 4"},
        {"--first", true,
         [](CliOptions& o, std::string_view v) { return setRange(o.constraints.first, "--first", v, kFirstLimits); },
         Section::Problems, "--first 小..大",
         "第一个数（被减数、被除数）的范围，例如 10..99，\n"
         "可以有负数（-5..5），在 -32768 到 32767 之间"},
        {"--second", true,
         [](CliOptions& o, std::string_view v) { return setRange(o.constraints.second, "--second", v, kSecondLimits); },
         Section::Problems, "--second 小..大",
         "第二个数的范围，写法同上；给了 --first 或 --second\n"
         "而没给 --result 时，和不超过两个范围里最大的数，\n"
         "积小于它的 10 倍"},
        {"--result", true,
         [](CliOptions& o, std::string_view v) { return setRange(o.constraints.result, "--result", v, kResultLimits); },
         Section::Problems, "--result 小..大",
         "得数的范围，例如 0..20，在 -2147483648 到\n"
         "2147483647 之间"},
        {"--no-trivial", false,
         [](CliOptions& o, std::string_view) { o.constraints.noTrivial = true; return std::string(); },
         Section::Problems, "--no-trivial",
         "不出 ＋0、×1、÷1、a－a、a÷a 这样的题，0 不作运算数"},
        {"--out", true,
         [](CliOptions& o, std::string_view v) -> std::string {
             if (v.empty())
                 return wrongValue("--out", v, "一个文件夹的路径");
             o.folder = std::string(v);
             return {};
         },
         Section::Output, "--out 文件夹, -o 文件夹",
         "写到这个文件夹，没有就新建；默认当前文件夹"},
        {"--encoding", true,
         [](CliOptions& o, std::string_view v) -> std::string {
             if (v.empty() || !FileRunServices::encodingAvailable(QByteArray(v.data(), qsizetype(v.size()))))
                 return wrongValue("--encoding", v, "能写出练习纸上汉字和符号的编码，例如 GBK、GB18030、UTF-8");
             o.encoding = std::string(v);
             return {};
         },
         Section::Output, "--encoding 编码",
         "文本文件的编码，例如 GBK、GB18030；默认 UTF-8\n"
         "（Windows 上默认用系统的编码，它写不出汉字时用带\n"
         "字节顺序标记的 UTF-8）"},
        {"--seed", true,
         [](CliOptions& o, std::string_view v) -> std::string {
             o.seed = wholeNumber<std::uint64_t>(v, 0, UINT64_MAX);
             return o.seed ? std::string() : wrongValue("--seed", v, " 0 到 18446744073709551615 之间的整数");
         },
         Section::Output, "--seed 种子",
         "随机数种子，0 到 18446744073709551615。同样的种子和\n"
         "选项在任何电脑上都得到一模一样的练习纸；不给时按\n"
         "时钟取，完成后会显示出来"},
        {"--sheets", true,
         [](CliOptions& o, std::string_view v) -> std::string {
             const auto sheets = wholeNumber<int>(v, 1, kMaxSheets);
             if (!sheets)
                 return wrongValue("--sheets", v, " 1 到 99 之间的整数");
             o.sheets = *sheets;
             return {};
         },
         Section::Output, "--sheets 份数",
         "一次做 1 到 99 份各不相同的练习，文件名带编号：\n"
         "速算答题-01.txt、速算答题-01-答案.txt……每份的种子\n"
         "由这次的种子推出，整批都能再做一次"},
        {"--pdf", false, [](CliOptions& o, std::string_view) { o.pdf = true; return std::string(); },
         Section::Output, "--pdf",
         "另外写一份可以直接打印的 PDF，文件名同上，以 .pdf 结尾"},
        {"--paper", true,
         [](CliOptions& o, std::string_view v) -> std::string {
             const std::string paper = lowercase(v);
             std::string keys;
             for (const pdf::PaperName& name : pdf::kPaperNames) {
                 if (paper == name.key) {
                     o.page.paper = name.paper;
                     return {};
                 }
                 keys += std::string(keys.empty() ? " " : "、") + name.key;
             }
             return wrongValue("--paper", v, keys + " 之一");
         },
         Section::Output, "--paper a4|b5|16k|a5|letter",
         "PDF 的纸张，默认 a4；b5 是 176×250 毫米，16k 是\n"
         "16开（185×260 毫米），letter 是信纸"},
        {"--font-size", true,
         [](CliOptions& o, std::string_view v) -> std::string {
             const auto size = wholeNumber<int>(v, kSmallestFontSize, kLargestFontSize);
             if (!size)
                 return wrongValue("--font-size", v, " 8 到 36 之间的整数（磅）");
             o.page.fontSize = *size;
             return {};
         },
         Section::Output, "--font-size 磅数",
         "PDF 里题目的字号，8 到 36，默认 14（四号）"},
        {"--layout", true,
         [](CliOptions& o, std::string_view v) -> std::string {
             const std::string layout = lowercase(v);
             if (layout != "rows" && layout != "vertical")
                 return wrongValue("--layout", v, " rows（横排）或 vertical（竖式）");
             o.page.layout = layout == "rows" ? pdf::PageLayout::Rows : pdf::PageLayout::Columns;
             return {};
         },
         Section::Output, "--layout rows|vertical",
         "PDF 和打印的版式：rows 横排（默认），vertical 竖式；\n"
         "竖式只排两个数、填得数的题，文本练习纸总是横排"},
    };
    return table;
}

constexpr std::string_view kHelp = "--help", kShortHelp = "-h";
constexpr std::string_view kVersion = "--version", kShortVersion = "-V";
constexpr std::string_view kEndOfOptions = "--";
// The options the table does not hold, as --help lists them.
constexpr std::pair<std::string_view, std::string_view> kOtherOptions[] = {
    {"--help, -h", "显示这段说明，不管还有别的什么选项"}, {"--version, -V", "显示版本号"}, {"--", "选项到此为止"}};

// Short forms of options in the table.
constexpr std::array<std::pair<std::string_view, std::string_view>, 1> kShortForms = {{{"-o", "--out"}}};

bool isHelp(std::string_view argument)
{
    return argument == kHelp || argument == kShortHelp;
}

bool isVersion(std::string_view argument)
{
    return argument == kVersion || argument == kShortVersion;
}

// What an option's value cannot be: another option. A lone "-5" is a value.
bool looksLikeOption(std::string_view argument)
{
    return argument.starts_with("--") || isHelp(argument) || isVersion(argument) ||
           std::any_of(kShortForms.begin(), kShortForms.end(),
                       [argument](const auto& form) { return argument.starts_with(form.first); });
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
    for (const Option& option : options())
        names.push_back(option.name);
    for (const auto& form : kShortForms)
        names.push_back(form.first);
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
        const auto shortForm = std::find_if(kShortForms.begin(), kShortForms.end(),
                                            [argument](const auto& form) { return argument.starts_with(form.first); });
        if (shortForm != kShortForms.end()) {
            // As usual for one-letter options: "-o 文件夹" or "-o文件夹".
            name = shortForm->second;
            typed = shortForm->first;
            if (argument.size() > shortForm->first.size())
                attached = argument.substr(shortForm->first.size());
        } else {
            const auto equals = argument.find('=');
            name = typed = argument.substr(0, equals);
            if (equals != std::string_view::npos)
                attached = argument.substr(equals + 1);
        }
        const auto option = std::find_if(options().begin(), options().end(),
                                         [name](const Option& o) { return o.name == name; });
        if (option == options().end())
            return fail(unknownOption(name));

        std::string_view value;
        if (attached) {
            if (!option->takesValue)
                return fail(std::string(kProgram) + "：" + std::string(typed) + " 不带取值。");
            value = *attached;
        } else if (option->takesValue) {
            // A following option is a forgotten value rather than the value.
            if (i + 1 >= arguments.size() || looksLikeOption(arguments[i + 1]))
                return fail(std::string(kProgram) + "：" + std::string(typed) + " 后面缺少取值。");
            value = arguments[++i];
        }
        if (std::string complaint = option->apply(line.options, value); !complaint.empty())
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
    for (const auto& [section, title] : {std::pair{Section::Problems, "题目"}, std::pair{Section::Output, "输出"}}) {
        text += std::string(title) + "\n";
        for (const Option& option : options())
            if (option.section == section)
                text += helpRow(option.usage, option.help);
        text += "\n";
    }
    text += "其他\n";
    for (const auto& [usage, help] : kOtherOptions)
        text += helpRow(usage, help);
    return text + std::string(kHelpEnd);
}

} // namespace sumlark::cli
