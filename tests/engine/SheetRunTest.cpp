#include "NativePath.h"
#include "OperationRules.h"
#include "ScriptedServices.h"
#include "SheetLayout.h"
#include "SheetRun.h"
#include "SheetText.h"

#include <gtest/gtest.h>

#include <array>

#include <algorithm>

namespace sumlark {
namespace {

using testing::Attempt;
using testing::ScriptedServices;
using testing::settingsFor;

const std::string kFolder = "/sheets";
const std::string kQuestionPath = kFolder + kNativeSeparator + "速算答题.txt";
const std::string kAnswerPath = kFolder + kNativeSeparator + "速算答题-答案.txt";

std::string lines(std::initializer_list<std::string> texts)
{
    std::string text;
    for (const auto& line : texts)
        text += line + "\r\n";
    return text;
}

std::string header(const char* kind, const std::string& count, ProblemType type)
{
    return std::string("--------答") + kind + "-----题数(" + count + ")----类型(" +
           std::string(problemTypeText(type)) + ")----";
}

// The footer after a problem line that is still open: its line end, then the rest.
std::string footer(int made, ProblemType type, const std::string& smallest, const std::string& largest)
{
    const std::string dashes(78, '-');
    return lines({"", dashes,
                  "Sumlark总共生成：" + std::to_string(made) + " 题，题型：" + std::string(problemTypeText(type)) +
                      " 出数范围：" + smallest + " 到 " + largest,
                  dashes, std::string(kCreditLine)});
}

testing::OneRun seededRun(const WorksheetSettings& settings, ScriptedServices& services)
{
    services.useSeededRandom = true;
    return testing::runOne(settings, kFolder, services, 7);
}

TEST(SheetLayout, AdditionOneToTwentyFiveProblemsThreeALine)
{
    auto settings = settingsFor(ProblemType::Addition, "1", "20", "5", "3");
    settings.numbered = true;
    ScriptedServices services;
    // 15 + 9 exceeds 20 and is drawn again for the same number.
    services.scriptAll({{1, 3, 12}, {5, 15, 9}, {2, 7, 5}, {12, 10, 9}, {3, 2, 6}, {9, 11, 8}}, 1, 20);

    EXPECT_EQ(testing::runOne(settings, kFolder, services).sheet->problems.size(), 5u);
    const std::string end = footer(5, ProblemType::Addition, "1", "20").substr(2);
    EXPECT_EQ(services.files.at(kQuestionPath),
              lines({header("*题*纸", "5", ProblemType::Addition), "01) 3＋12=    02) 7＋5=     03) 10＋9=",
                     "04) 2＋6=     05) 11＋8=    "}) + end);
    EXPECT_EQ(services.files.at(kAnswerPath),
              lines({header("@案@纸", "5", ProblemType::Addition), "01) 3＋12=15  02) 7＋5=12   03) 10＋9=19",
                     "04) 2＋6=8    05) 11＋8=19  "}) + end);
    std::vector<int> columns;
    for (const auto& cell : testing::allCells(services.files.at(kAnswerPath)))
        columns.push_back(cell.column);
    EXPECT_EQ(columns, (std::vector<int>{1, 15, 29, 1, 15}));
}

TEST(SheetLayout, LineBreaksInTypedTextsStayOnTheirLine)
{
    ScriptedServices services;
    seededRun(settingsFor(ProblemType::Subtraction, "1\r\n", "10", "2\n"), services);
    const auto sheet = testing::sheetLines(services.files.at(kQuestionPath));
    ASSERT_EQ(sheet.size(), 6u);
    EXPECT_EQ(sheet[0], header("*题*纸", "2 ", ProblemType::Subtraction));
    EXPECT_EQ(sheet[3], "Sumlark总共生成：2 题，题型：减法(－) 出数范围：1   到 10");
}

struct ExampleRow {
    const char* name;
    ProblemType type;
    int smallest;
    const char* largest;
    bool allowRemainder;
    std::vector<Attempt> attempts; // rejected ones first; the last is accepted
    const char* answer;            // the question is the answer up to "="
};

class WorkedExamples : public ::testing::TestWithParam<ExampleRow> {};

// One-problem runs: a rejected draw leaves no trace, the accepted one is the
// only cell of both sheets.
TEST_P(WorkedExamples, OneProblemSheets)
{
    const auto& row = GetParam();
    const std::string smallest = std::to_string(row.smallest);
    auto settings = settingsFor(row.type, smallest.c_str(), row.largest, "1", "1");
    settings.allowRemainder = row.allowRemainder;
    ScriptedServices services;
    services.scriptAll(row.attempts, row.smallest, std::stod(row.largest));

    testing::runOne(settings, kFolder, services);

    EXPECT_EQ(services.randomsTaken, 3 * row.attempts.size());
    const std::string answer = row.answer;
    const std::string end = footer(1, row.type, smallest, row.largest);
    EXPECT_EQ(services.files.at(kQuestionPath),
              lines({header("*题*纸", "1", row.type), answer.substr(0, answer.find('=') + 1)}) + end);
    EXPECT_EQ(services.files.at(kAnswerPath), lines({header("@案@纸", "1", row.type), answer}) + end);
}

using enum ProblemType;

INSTANTIATE_TEST_SUITE_P(
    Rules, WorkedExamples,
    ::testing::Values(ExampleRow{"AdditionWithinLimit", Addition, 1, "100", false, {{1, 35, 48}}, "35＋48=83"},
                      ExampleRow{"AdditionEqualToLimit", Addition, 1, "100", false, {{1, 60, 40}}, "60＋40=100"},
                      ExampleRow{"AdditionOverLimitRedrawn", Addition, 1, "50", false, {{1, 35, 48}, {1, 20, 5}},
                                 "20＋5=25"},
                      ExampleRow{"AdditionOneOverRedrawn", Addition, 1, "100", false, {{1, 51, 50}, {1, 1, 1}}, "1＋1=2"},
                      ExampleRow{"SubtractionLargerFirst", Subtraction, 1, "30", false, {{1, 12, 30}}, "30－12=18"},
                      ExampleRow{"SubtractionEqualOperands", Subtraction, 1, "30", false, {{1, 7, 7}}, "7－7=0"},
                      ExampleRow{"MultiplicationBelowTenTimes", Multiplication, 1, "10", false, {{1, 9, 10}}, "9×10=90"},
                      ExampleRow{"MultiplicationAtTenTimesRedrawn", Multiplication, 1, "10", false,
                                 {{1, 10, 10}, {1, 3, 4}}, "3×4=12"},
                      ExampleRow{"DivisionUnevenRedrawn", Division, 1, "50", false, {{1, 6, 47}, {1, 48, 6}}, "48÷6=8"},
                      ExampleRow{"DivisionWithRemainder", Division, 1, "50", true, {{1, 6, 47}}, "47÷6=7...5"},
                      ExampleRow{"DivisionEvenWithRemainderAllowed", Division, 1, "50", true, {{1, 6, 48}}, "48÷6=8"},
                      ExampleRow{"DivisionGuardsThenNegativeDivisor", Division, -5, "10", true,
                                 {{1, 0, 5}, {1, -4, 2}, {1, 5, 0}, {1, 7, -2}}, "7÷-2=-3...1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Rules, ProductTestPassesWhenTheLargestIsNoNumber)
{
    auto settings = settingsFor(Multiplication, "1", "abc", "1");
    const auto problem = applyRule(Operation::Multiplication, {1, 500, 500}, RuleBounds::from(settings));
    ASSERT_TRUE(problem);
    std::string cell;
    appendAnswerCell(cell, "07) ", SheetProblem::of(*problem));
    EXPECT_EQ(cell, "07) 500×500=250000");
}

TEST(LineRule, CellsMoveToTheNextPrintZoneWithAtLeastOneSpace)
{
    // Ten columns, exactly fourteen, twenty; each sign counts as two.
    for (const auto& [cell, spaces] :
         {std::pair{"01) 3＋12=", 4}, std::pair{"0001) 123＋45=", 14}, std::pair{"0001) 1234×567=8000", 8}}) {
        std::string sheet;
        ProblemLines(sheet, 8).add(cell, 1);
        EXPECT_EQ(sheet, cell + std::string(spaces, ' ')) << cell;
    }
}

// No problem draws no operand, so the range texts need not be numbers.
TEST(ProblemCount, CountsBelowOneMakeHeaderAndFooterOnly)
{
    const std::array<std::array<const char*, 3>, 5> rows = {
        {{"0", "1", "10"}, {"-3", "1", "10"}, {"0.5", "1", "10"}, {"0", "abc", "10"}, {"-1", "1", "十"}}};
    for (const auto& [count, smallest, largest] : rows) {
        ScriptedServices services;
        testing::runOne(settingsFor(Addition, smallest, largest, count), kFolder, services);
        EXPECT_EQ(services.files.at(kQuestionPath),
                  lines({header("*题*纸", count, Addition)}) + footer(0, Addition, smallest, largest));
        EXPECT_EQ(services.files.at(kAnswerPath),
                  lines({header("@案@纸", count, Addition)}) + footer(0, Addition, smallest, largest));
    }
}

struct CountRow {
    const char* name;
    const char* count;
    const char* perLine;
    bool numbered;
    std::vector<std::size_t> cellsPerLine;
    const char* firstPrefix;
    const char* lastPrefix;
};

class CountAndLines : public ::testing::TestWithParam<CountRow> {};

TEST_P(CountAndLines, NumberingAndLineBreaksFollowTheTexts)
{
    const auto& row = GetParam();
    auto settings = settingsFor(Subtraction, "1", "10", row.count, row.perLine);
    settings.numbered = row.numbered;
    ScriptedServices services;
    seededRun(settings, services);
    for (const auto& path : {kQuestionPath, kAnswerPath}) {
        std::vector<std::size_t> perLine;
        std::vector<testing::Cell> cells;
        for (const auto& line : testing::problemLines(services.files.at(path))) {
            const auto lineCells = testing::cellsOf(line);
            perLine.push_back(lineCells.size());
            cells.insert(cells.end(), lineCells.begin(), lineCells.end());
        }
        EXPECT_EQ(perLine, row.cellsPerLine) << path;
        for (std::size_t i = 0; i < cells.size(); ++i)
            ASSERT_EQ(testing::parseCell(cells[i].text).serial, row.numbered ? int(i + 1) : 0);
        EXPECT_TRUE(cells.front().text.starts_with(row.firstPrefix)) << cells.front().text;
        EXPECT_TRUE(cells.back().text.starts_with(row.lastPrefix)) << cells.back().text;
    }
}

std::vector<std::size_t> repeat(std::size_t lines, std::size_t cells, std::size_t last = 0)
{
    std::vector<std::size_t> perLine(lines, cells);
    if (last)
        perLine.push_back(last);
    return perLine;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CountAndLines,
    ::testing::Values(CountRow{"TwoDigitPrefixUpTo99", "99", "8", true, repeat(12, 8, 3), "01) ", "99) "},
                      CountRow{"ThreeDigitPrefixFrom100", "100", "8", true, repeat(12, 8, 4), "001) ", "100) "},
                      CountRow{"FourDigitPrefixFrom1000", "1000", "500", true, repeat(2, 500), "0001) ", "1000) "},
                      CountRow{"FractionalCountMakesWholePart", "10.5", "5", true, repeat(2, 5), "01) ", "10) "},
                      CountRow{"NoPrefixWhenOff", "150", "100", false, repeat(1, 100, 50), "", ""},
                      CountRow{"LettersMeanOneALine", "3", "abc", false, repeat(3, 1), "", ""},
                      CountRow{"ZeroMeansOneALine", "3", "0", false, repeat(3, 1), "", ""},
                      CountRow{"Beyond16BitsMeansOneALine", "3", "32768", false, repeat(3, 1), "", ""},
                      CountRow{"HalfRoundsDownToEven", "5", "2.5", false, repeat(2, 2, 1), "", ""},
                      CountRow{"HalfRoundsUpToEven", "5", "3.5", false, repeat(1, 4, 1), "", ""},
                      CountRow{"NegativeActsAsItsSize", "7", "-3", false, repeat(2, 3, 1), "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LastLine, OpenLineKeepsItsPaddingAndFullOneLeavesAnEmptyLine)
{
    for (const auto& [count, lastLine] : {std::pair{"12", "padded"}, std::pair{"10", "empty"}}) {
        ScriptedServices services;
        seededRun(settingsFor(Subtraction, "1", "10", count, "5"), services);
        const auto sheet = testing::sheetLines(services.files.at(kQuestionPath));
        ASSERT_EQ(sheet.size(), 8u);
        if (std::string_view(lastLine) == "padded")
            EXPECT_EQ(printColumns(sheet[3]), 28) << "two cells padded to the third zone";
        else
            EXPECT_EQ(sheet[3], "");
        EXPECT_EQ(sheet[4], std::string(78, '-'));
    }
}

TEST(OperandRange, SmallestAboveLargestDrawsFromLargestPlusOne)
{
    ScriptedServices services;
    seededRun(settingsFor(Subtraction, "50", "10", "2000", "8"), services);
    long long low = 1000, high = 0;
    for (const auto& cell : testing::allCells(services.files.at(kQuestionPath))) {
        const auto parsed = testing::parseCell(cell.text);
        low = std::min({low, parsed.left, parsed.right});
        high = std::max({high, parsed.left, parsed.right});
    }
    EXPECT_EQ(low, 11);
    EXPECT_GE(high, 48);
    EXPECT_LE(high, 50);
}

TEST(Answers, OffLeavesTheAnswerSheetEmpty)
{
    auto settings = settingsFor(Division, "1", "20", "30", "5");
    settings.writeAnswers = false;
    settings.allowRemainder = true;
    ScriptedServices services;
    seededRun(settings, services);
    EXPECT_EQ(testing::allCells(services.files.at(kQuestionPath)).size(), 30u);
    EXPECT_EQ(services.files.at(kAnswerPath), lines({header("@案@纸", "30", Division)}) + footer(30, Division, "1", "20"));
}

// A sink that logs what the run asks of it; it fails to open when given a reason.
class LoggingSink final : public SheetSink {
public:
    LoggingSink(std::string name, std::vector<std::string>& log, std::string openFails = {})
        : name_(std::move(name)), log_(log), openFails_(std::move(openFails))
    {
    }
    PlaceStatus open() override
    {
        log_.push_back(name_ + " open");
        return {openFails_.empty() ? PlaceFailure::None : PlaceFailure::FolderNotOpened, "/f", openFails_};
    }
    void close() override { log_.push_back(name_ + " close"); }
    void nameFiles(int number, const std::string& tag, bool, std::vector<FileOutcome>& files) const override
    {
        files.push_back({FileKind::QuestionPdf, number, name_ + tag, false, {}, {}});
    }
    std::unique_ptr<StagedFiles> stage(const Sheet& sheet, int number, int, RunReport&) override
    {
        return staged(sheet.tag, number);
    }
    std::unique_ptr<StagedFiles> stageSet(RunReport&) override { return staged("set", 0); }

private:
    struct Staged final : StagedFiles {
        std::string what;
        int number;
        std::vector<std::string>& log;
        Staged(std::string w, int n, std::vector<std::string>& l) : what(std::move(w)), number(n), log(l) {}
        void prepare() override { log.push_back(what + " prepare"); }
        void commit(std::vector<FileOutcome>& files) override
        {
            log.push_back(what + " commit");
            files.push_back({FileKind::QuestionPdf, number, what, true, {}, {}});
        }
    };
    std::unique_ptr<StagedFiles> staged(const std::string& tag, int number)
    {
        log_.push_back(name_ + " stage " + tag);
        return std::make_unique<Staged>(name_ + " " + tag, number, log_);
    }
    std::string name_;
    std::vector<std::string>& log_;
    std::string openFails_;
};

// Every sink stages a sheet and syncs it before the first of its files
// moves; the set's own files come last; a refused run opens nothing, and a
// place that cannot be opened fails every file of the run with its reason.
TEST(RunSinks, PairByPairThenTheSetAndNothingForARefusal)
{
    ScriptedServices services;
    std::vector<std::string> log;
    LoggingSink a("a", log), b("b", log);
    SheetSink* const sinks[] = {&a, &b};
    const auto settings = settingsFor(Addition, "1", "10", "3");
    const RunReport report = runSheets({settings, {}, 2, 9}, services, sinks);
    EXPECT_EQ(log, (std::vector<std::string>{
                       "a open", "b open", "a stage 01", "b stage 01", "a 01 prepare", "b 01 prepare", "a 01 commit",
                       "b 01 commit", "a stage 02", "b stage 02", "a 02 prepare", "b 02 prepare", "a 02 commit",
                       "b 02 commit", "a stage set", "b stage set", "a set prepare", "b set prepare", "a set commit",
                       "b set commit", "a close", "b close"}));
    EXPECT_EQ(report.seed, 9u);
    EXPECT_EQ(report.sheetSeeds.size(), 2u);
    EXPECT_TRUE(report.allWritten());

    log.clear();
    EXPECT_TRUE(runSheets({settingsFor(Addition, "5", "x", "3"), {}, 1, std::nullopt}, services, sinks).refusal);
    EXPECT_TRUE(log.empty());

    LoggingSink locked("c", log, "被占用");
    SheetSink* const lockedSinks[] = {&a, &locked};
    log.clear();
    const RunReport failed = runSheets({settings, {}, 2, 9}, services, lockedSinks);
    EXPECT_EQ(log, (std::vector<std::string>{"a open", "c open", "a close"}));
    std::vector<std::string> files;
    for (const FileOutcome& file : failed.files)
        files.push_back(file.path + ":" + file.reason + (file.written ? "+" : "-"));
    EXPECT_EQ(files, (std::vector<std::string>{"a01:被占用-", "c01:被占用-", "a02:被占用-", "c02:被占用-"}));
    EXPECT_FALSE(failed.allWritten());
}

} // namespace
} // namespace sumlark
