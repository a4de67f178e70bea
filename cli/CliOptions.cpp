#include "CliOptions.h"

#include "ChoiceWords.h"
#include "FileRunServices.h"
#include "OptionReading.h"
#include "PathBytes.h"
#include "PlanFiles.h"
#include "ShownText.h"
#include "SumlarkVersion.h"

#include <QFileInfo>

#include <algorithm>
#include <optional>
#include <string_view>

namespace sumlark::cli {
namespace {

constexpr std::string_view kProgram = "sumlark-cli";

std::string quoted(std::string_view text)
{
    return quotedValue(text);
}

// Reads an option's value as every front end does; the encoding as well
// by whether this system can write it.
std::string store(CliOptions& o, const wording::ChoiceWords& words, std::string_view value)
{
    if (words.choice == Choice::Encoding &&
        !FileRunServices::encodingAvailable(QByteArray(value.data(), qsizetype(value.size()))))
        return std::string(kProgram) + "：" + wording::wrongValueText(words, value, words.option);
    if (std::string complaint = wording::readOption(o, words, value, words.option); !complaint.empty())
        return std::string(kProgram) + "：" + complaint;
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
constexpr std::string_view kPlan = "--plan", kSavePlan = "--save-plan", kListPlans = "--list-plans";
// The options the table does not hold, as --help lists them.
constexpr std::pair<std::string_view, std::string_view> kOtherOptions[] = {
    {"--plan 方案", "按方案出题：方案文件（名字里有“/”或者以 .json\n"
                    "结尾），或者保存过的、自带的方案的名字；同时\n"
                    "给的选项代替方案里的"},
    {"--save-plan 名字", "照常出题，再把这次的选项保存成方案（--seed\n"
                         "给了才保存种子），以后用 --plan 名字 再出"},
    {"--list-plans", "列出保存过的和自带的方案，一行一个"},
    {"--help, -h", "显示这段说明，不管还有别的什么选项"}, {"--version, -V", "显示版本号"}, {"--", "选项到此为止"}};
constexpr std::string_view kPlanOptions[] = {kPlan, kSavePlan};

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
    std::vector<std::string_view> names = {kHelp, kShortHelp, kVersion, kShortVersion, kPlan, kSavePlan, kListPlans};
    for (const wording::ChoiceWords* words : options())
        names.push_back(words->option);
    for (const wording::ChoiceWords* words : options())
        if (!words->shortOption.empty())
            names.push_back(words->shortOption);
    for (std::string_view candidate : names) {
        if (wording::lowercaseAscii(candidate) == wording::lowercaseAscii(name))
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
  sumlark-cli --names 名单.txt --class 三年级二班 --seed 2024 --pdf --duplex
      名单上每人一份，文件名带名字；速算答题.pdf 是全班的题目，每人
      从单数页开始，双面打印不会把两人的题印在同一张纸上；答案都在
      速算答题-答案.pdf 里
  sumlark-cli --first 10..99 --second 1..9 --result 0..100 --count 50
      50 道两位数加一位数，得数在 100 以内
  sumlark-cli --type mul --first 100..900/100 --second 1..9
      整百数乘一位数：100、200……900 乘 1 到 9
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
    bool listPlans = false;
    bool optionsEnded = false;
    std::optional<std::string_view> planGiven;
    // Read after the plan, so that each takes the place of the plan's.
    std::vector<std::pair<const wording::ChoiceWords*, std::string_view>> chosen;
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
        const bool ofPlan = std::find(std::begin(kPlanOptions), std::end(kPlanOptions), name) != std::end(kPlanOptions);
        if (option == offered.end() && !ofPlan && name != kListPlans)
            return fail(unknownOption(name));
        const bool valued = ofPlan || (option != offered.end() && takesValue(**option));

        std::string_view value;
        if (attached) {
            if (!valued)
                return fail(std::string(kProgram) + "：" + std::string(typed) + " 不带取值。");
            value = *attached;
        } else if (valued) {
            // A following option is a forgotten value rather than the value.
            if (i + 1 >= arguments.size() || looksLikeOption(arguments[i + 1]))
                return fail(std::string(kProgram) + "：" + std::string(typed) + " 后面缺少取值。");
            value = arguments[++i];
        }
        if (name == kListPlans)
            listPlans = true;
        else if (name == kPlan)
            planGiven = value;
        else if (name == kSavePlan)
            line.planName = std::string(value);
        else
            chosen.emplace_back(*option, value);
    }
    if (version || listPlans) {
        line.action = version ? CommandLine::Action::Version : CommandLine::Action::ListPlans;
        return line;
    }
    if (planGiven) {
        const QString path = planPath(pathFromBytes(*planGiven));
        const std::string shown = quotedValue(*planGiven);
        if (path.isEmpty())
            return fail(std::string(kProgram) + "：没有叫" + shown + "的方案。用 " + std::string(kListPlans) + " 看看有哪些。");
        std::string reason;
        const std::optional<wording::PlanText> plan = readPlanFile(path, reason);
        if (!plan)
            return fail(std::string(kProgram) + "：方案" + shown + "读不出来：" + reason + "。");
        if (std::string complaint = wording::applyPlan(line.options, *plan); !complaint.empty())
            return fail(std::string(kProgram) + "：" + complaint);
        line.plan = *plan;
    }
    std::vector<Choice> given;
    std::vector<wording::PlanEntry> entries;
    for (const auto& [words, value] : chosen) {
        // Which section an option beside a plan of several would change is
        // for the plan to say.
        if (!line.options.moreSections.empty() && !wording::isSheetWide(words->choice))
            return fail(std::string(kProgram) + "：方案分了 " + std::to_string(line.options.moreSections.size() + 1) +
                        " 段，" + std::string(words->option) + " 要写在方案里它那一段中。");
        // A list given here replaces the plan's count of sheets, and a count its list.
        if (words->choice == Choice::Names)
            line.options.sheets = static_cast<int>(initialOf(Choice::Sheets));
        if (words->choice == Choice::Sheets)
            line.options.namesFile.clear();
        if (std::string complaint = store(line.options, *words, value); !complaint.empty())
            return fail(std::move(complaint));
        given.push_back(words->choice);
        // A plan is what the sheets are, wherever they go; its list of names
        // is found again from any folder.
        std::string kept = takesValue(*words) ? std::string(value) : "";
        if (words->choice == Choice::Names)
            kept = bytesOfPath(QFileInfo(pathFromBytes(value)).absoluteFilePath());
        if (words->choice != Choice::Folder)
            entries.push_back({std::string(words->option.substr(2)), std::move(kept)});
    }
    // With a list, the set has a sheet for each name.
    const auto wasGiven = [&given](Choice choice) { return std::find(given.begin(), given.end(), choice) != given.end(); };
    if (wasGiven(Choice::Names) && wasGiven(Choice::Sheets))
        return fail(std::string(kProgram) + "：--names 和 --sheets 不能同时用：有了名单，份数就是名单上的人数。");
    if (!line.planName.empty()) {
        if (const std::string problem = planNameProblem(line.planName); !problem.empty())
            return fail(std::string(kProgram) + "：" + std::string(kSavePlan) + " " + quotedValue(line.planName) + "：" + problem + "。");
        line.plan = wording::mergedPlan(line.plan, entries);
    }
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
