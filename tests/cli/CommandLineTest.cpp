#include "CliOptions.h"
#include "SumlarkVersion.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace sumlark::cli {
namespace {

CommandLine parse(std::vector<std::string> arguments)
{
    return parseCommandLine(arguments);
}

TEST(CommandLine, DefaultsAreTheWindowsFirstChoices)
{
    const auto line = parse({});
    ASSERT_EQ(line.action, CommandLine::Action::Run);
    const auto& s = line.options.settings;
    EXPECT_EQ(s.problemType, ProblemType::Addition);
    EXPECT_EQ(s.typeText, "加法(＋)");
    EXPECT_EQ(s.smallestText, "1");
    EXPECT_EQ(s.largestText, "10");
    EXPECT_EQ(s.countText, "10");
    EXPECT_EQ(s.perLineText, "5");
    EXPECT_FALSE(s.numbered);
    EXPECT_TRUE(s.writeAnswers);
    EXPECT_FALSE(s.allowRemainder);
    EXPECT_FALSE(s.openWhenDone) << "a command line opens no editor";
    EXPECT_TRUE(line.options.constraints.none());
    EXPECT_FALSE(line.options.seed);
    EXPECT_EQ(line.options.sheets, 1);
    EXPECT_EQ(line.options.encoding, "");
    EXPECT_EQ(line.options.folder, "");
    EXPECT_FALSE(line.options.pdf);
    EXPECT_EQ(line.options.page.paper, pdf::Paper::A4);
    EXPECT_EQ(line.options.page.fontSize, 14.0);
}

struct ValueRow {
    const char* name;
    std::vector<std::string> arguments;
    std::function<bool(const CliOptions&)> holds;
};

class OptionValues : public ::testing::TestWithParam<ValueRow> {};

TEST_P(OptionValues, LandWhereTheRunReadsThem)
{
    const auto line = parse(GetParam().arguments);
    ASSERT_EQ(line.action, CommandLine::Action::Run) << line.error;
    EXPECT_TRUE(GetParam().holds(line.options));
}

INSTANTIATE_TEST_SUITE_P(
    Options, OptionValues,
    ::testing::Values(
        ValueRow{"TypeByNumber", {"--type", "5"},
                 [](const CliOptions& o) {
                     return o.settings.problemType == ProblemType::MultiplicationDivision &&
                            o.settings.typeText == "乘法、除法 混合";
                 }},
        ValueRow{"TypeByNameWithEquals", {"--type=add-sub-mul"},
                 [](const CliOptions& o) { return o.settings.typeText == "加法、减法、乘法 混合"; }},
        ValueRow{"TypeNameInCapitals", {"--type", "ALL"},
                 [](const CliOptions& o) { return o.settings.problemType == ProblemType::AllFour; }},
        ValueRow{"ListTextsGoThroughUnchanged",
                 {"--smallest", "-3", "--largest", " 1e2", "--count=12abc", "--per-line", "2.5"},
                 [](const CliOptions& o) {
                     return o.settings.smallestText == "-3" && o.settings.largestText == " 1e2" &&
                            o.settings.countText == "12abc" && o.settings.perLineText == "2.5";
                 }},
        ValueRow{"Switches", {"--numbered", "--no-answers", "--remainder", "--distinct", "--pdf"},
                 [](const CliOptions& o) {
                     return o.settings.numbered && !o.settings.writeAnswers && o.settings.allowRemainder &&
                            o.constraints.distinct && o.pdf;
                 }},
        ValueRow{"CarryAndBorrow", {"--carry", "with", "--borrow=without"},
                 [](const CliOptions& o) {
                     return o.constraints.carry == CarryRule::With && o.constraints.borrow == BorrowRule::Without;
                 }},
        ValueRow{"LargestSeed", {"--seed", "18446744073709551615"},
                 [](const CliOptions& o) { return o.seed == UINT64_MAX; }},
        ValueRow{"SeedZero", {"--seed", "0"}, [](const CliOptions& o) { return o.seed == 0u; }},
        ValueRow{"SheetsAtTheTop", {"--sheets", "99"}, [](const CliOptions& o) { return o.sheets == 99; }},
        ValueRow{"PaperAndFontSize", {"--paper", "Letter", "--font-size", "36"},
                 [](const CliOptions& o) { return o.page.paper == pdf::Paper::Letter && o.page.fontSize == 36.0; }},
        ValueRow{"FolderAndEncoding", {"--out", "三年级 二班", "--encoding", "GBK"},
                 [](const CliOptions& o) { return o.folder == "三年级 二班" && o.encoding == "GBK"; }},
        ValueRow{"LastOneWins", {"--type", "sub", "--type", "div"},
                 [](const CliOptions& o) { return o.settings.problemType == ProblemType::Division; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLine, EveryTypeNameInTheOrderOfTheTypeList)
{
    const char* names[] = {"add", "sub", "mul", "div", "add-sub", "mul-div", "add-sub-mul", "all"};
    for (int index = 0; index < kProblemTypeCount; ++index) {
        const auto byName = parse({"--type", names[index]});
        const auto byNumber = parse({"--type", std::to_string(index)});
        EXPECT_EQ(byName.options.settings.problemType, static_cast<ProblemType>(index)) << names[index];
        EXPECT_EQ(byNumber.options.settings.typeText, problemTypeText(static_cast<ProblemType>(index)));
    }
}

struct ErrorRow {
    const char* name;
    std::vector<std::string> arguments;
    const char* says; // what was wrong, or what is allowed
};

class OptionErrors : public ::testing::TestWithParam<ErrorRow> {};

TEST_P(OptionErrors, SayWhatWasWrongAndWhatIsAllowed)
{
    const auto line = parse(GetParam().arguments);
    ASSERT_EQ(line.action, CommandLine::Action::Error);
    EXPECT_NE(line.error.find(GetParam().says), std::string::npos) << line.error;
    EXPECT_NE(line.error.find("--help"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Options, OptionErrors,
    ::testing::Values(
        ErrorRow{"UnknownOption", {"--colour", "red"}, "没有“--colour”这个选项"},
        ErrorRow{"ShortUnknownOption", {"-x"}, "没有“-x”这个选项"},
        ErrorRow{"StrayArgument", {"add"}, "多余的参数“add”"},
        ErrorRow{"TypeOutOfList", {"--type", "8"}, "0 到 7，或者 add、sub、mul、div、add-sub、mul-div、add-sub-mul、all"},
        ErrorRow{"TypeMissingValue", {"--type"}, "--type 后面缺少取值"},
        ErrorRow{"ValueLooksLikeAnOption", {"--count", "--numbered"}, "--count 后面缺少取值"},
        ErrorRow{"SwitchWithValue", {"--numbered=yes"}, "--numbered 不带取值"},
        ErrorRow{"NegativeSeed", {"--seed", "-1"}, "0 到 18446744073709551615 之间的整数"},
        ErrorRow{"SeedPast64Bits", {"--seed", "18446744073709551616"}, "--seed 的取值“18446744073709551616”不对"},
        ErrorRow{"NoSheets", {"--sheets", "0"}, "1 到 99 之间的整数"},
        ErrorRow{"TooManySheets", {"--sheets", "100"}, "1 到 99 之间的整数"},
        ErrorRow{"CarryMaybe", {"--carry", "maybe"}, "with（加法都要进位）或 without（加法都不进位）"},
        ErrorRow{"BorrowMissingValue", {"--borrow"}, "--borrow 后面缺少取值"},
        ErrorRow{"PaperA5", {"--paper", "a5"}, "a4 或 letter"},
        ErrorRow{"FontTooSmall", {"--font-size", "7"}, "8 到 36 之间的整数"},
        ErrorRow{"FontFraction", {"--font-size", "14.5"}, "8 到 36 之间的整数"},
        ErrorRow{"UnknownEncoding", {"--encoding", "NO-SUCH-CODEC"}, "GBK、GB18030、UTF-8"},
        ErrorRow{"EmptyFolder", {"--out="}, "一个文件夹的路径"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLine, HelpAndVersionWinOverTheRest)
{
    EXPECT_EQ(parse({"--count", "5", "--help"}).action, CommandLine::Action::Help);
    EXPECT_EQ(parse({"-h"}).action, CommandLine::Action::Help);
    EXPECT_EQ(parse({"--version", "--pdf"}).action, CommandLine::Action::Version);
    EXPECT_EQ(versionText(), "小学Sumlark 命令行版 " + std::string(version::kText) + "\n");
    EXPECT_EQ(std::string(version::kText), "2.0.0");
}

TEST(CommandLine, HelpNamesEveryOptionAndShowsExamples)
{
    const std::string help = helpText();
    for (const char* option : {"--help", "--version", "--type", "--smallest", "--largest", "--count", "--per-line",
                               "--numbered", "--no-answers", "--remainder", "--encoding", "--out", "--seed",
                               "--distinct", "--carry", "--borrow", "--sheets", "--pdf", "--paper", "--font-size"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
        // Every option the help names is one the parser knows.
        const auto line = parse({option, "x"});
        EXPECT_EQ(line.error.find("这个选项"), std::string::npos) << option;
    }
    EXPECT_NE(help.find("sumlark-cli --seed 1 --count 110 --per-line 5 --numbered --pdf"), std::string::npos);

    // The examples are commands that run.
    int examples = 0;
    std::istringstream lines(help);
    for (std::string text; std::getline(lines, text);) {
        if (!text.starts_with("  sumlark-cli "))
            continue;
        std::istringstream words(text.substr(std::string_view("  sumlark-cli ").size()));
        std::vector<std::string> arguments;
        for (std::string word; words >> word;)
            arguments.push_back(word);
        const auto line = parse(arguments);
        EXPECT_EQ(line.action, CommandLine::Action::Run) << text << "\n" << line.error;
        ++examples;
    }
    EXPECT_GE(examples, 3);
}

} // namespace
} // namespace sumlark::cli
