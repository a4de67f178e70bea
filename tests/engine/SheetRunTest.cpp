#include "NativePath.h"
#include "OperandRange.h"
#include "OperationRules.h"
#include "ScriptedServices.h"
#include "SheetLayout.h"
#include "SheetRun.h"
#include "SheetText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace sumlark {
namespace {

using testing::Attempt;
using testing::ScriptedServices;
using testing::settingsFor;
using enum ProblemType;

const std::string kFolder = "/sheets";
const std::string kQuestionPath = kFolder + kNativeSeparator + "速算答题.txt";
const std::string kAnswerPath = kFolder + kNativeSeparator + "速算答题-答案.txt";

// A sheet as written: its header, its problem lines, an empty line where the
// last of them was already closed (or there is none), and the footer.
std::string sheetText(bool answers, const std::string& count, ProblemType type, std::vector<std::string> rows,
                      int made, const std::string& smallest, const std::string& largest, bool lastClosed = true)
{
    const std::string dashes(78, '-'), typeText(problemTypeText(type));
    rows.insert(rows.begin(), std::string("--------答") + (answers ? "@案@纸" : "*题*纸") + "-----题数(" + count +
                                  ")----类型(" + typeText + ")----");
    if (lastClosed)
        rows.emplace_back();
    for (const std::string& line : {dashes,
                                    "Sumlark总共生成：" + std::to_string(made) + " 题，题型：" + typeText + " 出数范围：" +
                                        smallest + " 到 " + largest,
                                    dashes, std::string(kCreditLine)})
        rows.push_back(line);
    std::string text;
    for (const auto& line : rows)
        text += line + "\r\n";
    return text;
}

testing::OneRun seededRun(const WorksheetSettings& settings, ScriptedServices& services)
{
    services.useSeededRandom = true;
    return testing::runOne(settings, kFolder, services, 7);
}

// 15 + 9 exceeds 20 and is drawn again for the same number; the cells stand
// in print zones of 14 columns.
TEST(SheetLayout, AdditionOneToTwentyFiveProblemsThreeALine)
{
    auto settings = settingsFor(Addition, "1", "20", "5", "3");
    settings.numbered = true;
    ScriptedServices services;
    services.scriptAll({{1, 3, 12}, {5, 15, 9}, {2, 7, 5}, {12, 10, 9}, {3, 2, 6}, {9, 11, 8}}, 1, 20);
    EXPECT_EQ(testing::runOne(settings, kFolder, services).sheet->problems.size(), 5u);
    EXPECT_EQ(services.files.at(kQuestionPath),
              sheetText(false, "5", Addition, {"01) 3＋12=    02) 7＋5=     03) 10＋9=", "04) 2＋6=     05) 11＋8=    "},
                        5, "1", "20", false));
    EXPECT_EQ(services.files.at(kAnswerPath),
              sheetText(true, "5", Addition, {"01) 3＋12=15  02) 7＋5=12   03) 10＋9=19", "04) 2＋6=8    05) 11＋8=19  "},
                        5, "1", "20", false));
    std::vector<int> columns;
    for (const auto& cell : testing::allCells(services.files.at(kAnswerPath)))
        columns.push_back(cell.column);
    EXPECT_EQ(columns, (std::vector<int>{1, 15, 29, 1, 15}));
}

TEST(SheetLayout, LineBreaksInTypedTextsStayOnTheirLine)
{
    ScriptedServices services;
    seededRun(settingsFor(Subtraction, "1\r\n", "10", "2\n"), services);
    const auto sheet = testing::sheetLines(services.files.at(kQuestionPath));
    ASSERT_EQ(sheet.size(), 6u);
    EXPECT_EQ(sheet[0], "--------答*题*纸-----题数(2 )----类型(减法(－))----");
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
    const std::string smallest = std::to_string(row.smallest), answer = row.answer;
    auto settings = settingsFor(row.type, smallest.c_str(), row.largest, "1", "1");
    settings.allowRemainder = row.allowRemainder;
    ScriptedServices services;
    services.scriptAll(row.attempts, row.smallest, std::stod(row.largest));
    testing::runOne(settings, kFolder, services);
    EXPECT_EQ(services.randomsTaken, 3 * row.attempts.size());
    EXPECT_EQ(services.files.at(kQuestionPath),
              sheetText(false, "1", row.type, {answer.substr(0, answer.find('=') + 1)}, 1, smallest, row.largest));
    EXPECT_EQ(services.files.at(kAnswerPath), sheetText(true, "1", row.type, {answer}, 1, smallest, row.largest));
}

const ExampleRow kExamples[] = {
    {"AdditionWithinLimit", Addition, 1, "100", false, {{1, 35, 48}}, "35＋48=83"},
    {"AdditionEqualToLimit", Addition, 1, "100", false, {{1, 60, 40}}, "60＋40=100"},
    {"AdditionOverLimitRedrawn", Addition, 1, "50", false, {{1, 35, 48}, {1, 20, 5}}, "20＋5=25"},
    {"AdditionOneOverRedrawn", Addition, 1, "100", false, {{1, 51, 50}, {1, 1, 1}}, "1＋1=2"},
    {"SubtractionLargerFirst", Subtraction, 1, "30", false, {{1, 12, 30}}, "30－12=18"},
    {"SubtractionEqualOperands", Subtraction, 1, "30", false, {{1, 7, 7}}, "7－7=0"},
    {"MultiplicationBelowTenTimes", Multiplication, 1, "10", false, {{1, 9, 10}}, "9×10=90"},
    {"MultiplicationAtTenTimesRedrawn", Multiplication, 1, "10", false, {{1, 10, 10}, {1, 3, 4}}, "3×4=12"},
    {"DivisionUnevenRedrawn", Division, 1, "50", false, {{1, 6, 47}, {1, 48, 6}}, "48÷6=8"},
    {"DivisionWithRemainder", Division, 1, "50", true, {{1, 6, 47}}, "47÷6=7...5"},
    {"DivisionEvenWithRemainderAllowed", Division, 1, "50", true, {{1, 6, 48}}, "48÷6=8"},
    {"DivisionGuardsThenNegativeDivisor", Division, -5, "10", true, {{1, 0, 5}, {1, -4, 2}, {1, 5, 0}, {1, 7, -2}},
     "7÷-2=-3...1"}};

INSTANTIATE_TEST_SUITE_P(Rules, WorkedExamples, ::testing::ValuesIn(kExamples),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Rules, ProductTestPassesWhenTheLargestIsNoNumber)
{
    const auto problem =
        applyRule(Operation::Multiplication, {1, 500, 500}, RuleBounds::from(settingsFor(Multiplication, "1", "abc", "1")));
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
    for (const auto& [count, smallest, largest] : {std::tuple{"0", "1", "10"}, std::tuple{"-3", "1", "10"},
                                                   std::tuple{"0.5", "1", "10"}, std::tuple{"0", "abc", "10"},
                                                   std::tuple{"-1", "1", "十"}}) {
        ScriptedServices services;
        testing::runOne(settingsFor(Addition, smallest, largest, count), kFolder, services);
        EXPECT_EQ(services.files.at(kQuestionPath), sheetText(false, count, Addition, {}, 0, smallest, largest));
        EXPECT_EQ(services.files.at(kAnswerPath), sheetText(true, count, Addition, {}, 0, smallest, largest));
    }
}

// The count and per-line texts as the sheets read them (whole sheets with
// them are golden): the serial digits from the count's leading number,
// problems a line from the per-line text's, rounded half to even; 0, one a
// line, for no number or one beyond 16 bits.
TEST(LayoutTexts, SerialWidthAndProblemsALine)
{
    for (const auto& [count, width] : {std::pair{"99", 2}, {"99.9", 2}, {"100", 3}, {"999", 3}, {"1000", 4}, {"0", 2}})
        EXPECT_EQ(serialWidth(count), width) << count;
    for (const auto& [text, perLine] : {std::pair{"8", 8}, {"abc", 0}, {"0", 0}, {"32768", 0}, {"2.5", 2}, {"3.5", 4},
                                        {"-3", 3}, {"12abc", 12}, {"-32768", 32768}})
        EXPECT_EQ(perLineCount(text), perLine) << text;
}

// Operands are floor((L - S + 1) * r + S) for r in [0, 1): from the smallest
// towards one past the largest, which is never reached, whichever way round.
TEST(OperandRange, DrawsFromTheSmallestToTheLargest)
{
    for (const auto& [smallest, largest, low, high] :
         {std::tuple{1.0, 10.0, 1, 10}, std::tuple{50.0, 10.0, 11, 50}, std::tuple{-5.0, 6.0, -5, 6}}) {
        const auto range = OperandRange::from(smallest, largest);
        const double ends[] = {range.draw(0.0), range.draw(std::nextafter(1.0, 0.0))};
        EXPECT_EQ(std::min(ends[0], ends[1]), low) << smallest << ".." << largest;
        EXPECT_EQ(std::max(ends[0], ends[1]), high) << smallest << ".." << largest;
        EXPECT_TRUE(range.low == low && range.high == high);
    }
}

// A sink that logs what the run asks of it; it fails to open when given a reason.
struct LoggingSink final : SheetSink {
    std::string name;
    std::vector<std::string>& log;
    std::string openFails;

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
    LoggingSink(std::string n, std::vector<std::string>& l, std::string fails = {})
        : name(std::move(n)), log(l), openFails(std::move(fails))
    {
    }
    PlaceStatus open() override
    {
        log.push_back(name + " open");
        return {openFails.empty() ? PlaceFailure::None : PlaceFailure::FolderNotOpened, "/f", openFails};
    }
    void close() override { log.push_back(name + " close"); }
    void nameFiles(int number, const std::string& tag, bool, std::vector<FileOutcome>& files) const override
    {
        files.push_back({FileKind::QuestionPdf, number, name + tag, false, {}, {}});
    }
    std::unique_ptr<StagedFiles> stage(const Sheet& sheet, int number, int, RunReport&) override
    {
        log.push_back(name + " stage " + sheet.tag);
        return std::make_unique<Staged>(name + " " + sheet.tag, number, log);
    }
    std::unique_ptr<StagedFiles> stageSet(RunReport&) override
    {
        log.push_back(name + " stage set");
        return std::make_unique<Staged>(name + " set", 0, log);
    }
};

// Every sink stages a sheet and syncs it before the first of its files
// moves; the set's own files come last; a refused run opens nothing, and a
// place that cannot be opened fails every file of the run with its reason.
TEST(RunSinks, PairByPairThenTheSetAndNothingForARefusal)
{
    ScriptedServices services;
    std::vector<std::string> log;
    LoggingSink a("a", log), b("b", log), locked("c", log, "被占用");
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

    SheetSink* const lockedSinks[] = {&a, &locked};
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
