#include "OperandRange.h"
#include "OperationRules.h"
#include "ProblemCounting.h"
#include "ScriptedServices.h"
#include "SheetLayout.h"
#include "SheetText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace sumlark {
namespace {

using testing::ScriptedServices;
using testing::settingsFor;
using enum ProblemType;

struct RuleRow {
    const char* name;
    Operation operation;
    const char* largest;
    bool allowRemainder;
    double left, right; // as drawn
    const char* answer; // the answer cell; "" where the rule draws again
};

class OperationRule : public ::testing::TestWithParam<RuleRow> {};

// Each operation's rule at its edges: what it keeps, how it writes it, and
// what it throws away to be drawn again.
TEST_P(OperationRule, KeepsOrDrawsAgain)
{
    const auto& row = GetParam();
    auto settings = settingsFor(AllFour, "1", row.largest, "1");
    settings.allowRemainder = row.allowRemainder;
    const auto problem = applyRule(row.operation, {1, row.left, row.right}, RuleBounds::from(settings));
    std::string cell;
    if (problem)
        appendAnswerCell(cell, "", SheetProblem::of(*problem));
    EXPECT_EQ(cell, row.answer);
}

using Op = Operation;

INSTANTIATE_TEST_SUITE_P(
    Edges, OperationRule,
    ::testing::Values(RuleRow{"AdditionWithinLimit", Op::Addition, "100", false, 35, 48, "35＋48=83"},
                      RuleRow{"AdditionEqualToLimit", Op::Addition, "100", false, 60, 40, "60＋40=100"},
                      RuleRow{"AdditionOverLimit", Op::Addition, "50", false, 35, 48, ""},
                      RuleRow{"AdditionOneOver", Op::Addition, "100", false, 51, 50, ""},
                      RuleRow{"SubtractionLargerFirst", Op::Subtraction, "30", false, 12, 30, "30－12=18"},
                      RuleRow{"SubtractionEqualOperands", Op::Subtraction, "30", false, 7, 7, "7－7=0"},
                      RuleRow{"MultiplicationBelowTenTimes", Op::Multiplication, "10", false, 9, 10, "9×10=90"},
                      RuleRow{"MultiplicationAtTenTimes", Op::Multiplication, "10", false, 10, 10, ""},
                      RuleRow{"ProductWhenTheLargestIsNoNumber", Op::Multiplication, "abc", false, 500, 500, "500×500=250000"},
                      RuleRow{"DivisionUneven", Op::Division, "50", false, 6, 47, ""},
                      RuleRow{"DivisionLargerFirst", Op::Division, "50", false, 48, 6, "48÷6=8"},
                      RuleRow{"DivisionWithRemainder", Op::Division, "50", true, 6, 47, "47÷6=7...5"},
                      RuleRow{"DivisionEvenWithRemainderAllowed", Op::Division, "50", true, 6, 48, "48÷6=8"},
                      RuleRow{"DivisionOfZero", Op::Division, "10", true, 0, 5, ""},
                      RuleRow{"DivisionOfANegative", Op::Division, "10", true, -4, 2, ""},
                      RuleRow{"DivisionByZero", Op::Division, "10", true, 5, 0, ""},
                      RuleRow{"DivisionByANegative", Op::Division, "10", true, 7, -2, "7÷-2=-3...1"}),
    [](const auto& info) { return std::string(info.param.name); });

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
        std::vector<std::string>& log;
        Staged(std::string w, std::vector<std::string>& l) : what(std::move(w)), log(l) {}
        void prepare() override { log.push_back(what + " prepare"); }
        void commit(std::vector<FileOutcome>&) override { log.push_back(what + " commit"); }
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
    void nameFiles(int number, int, const std::string& tag, bool, std::vector<FileOutcome>& files) const override
    {
        files.push_back({FileKind::QuestionPdf, number, name + tag, false, {}, {}});
    }
    std::unique_ptr<StagedFiles> stage(const Sheet& sheet, int, int, RunReport&) override
    {
        log.push_back(name + " stage " + sheet.tag);
        return std::make_unique<Staged>(name + " " + sheet.tag, log);
    }
    std::unique_ptr<StagedFiles> stageSet(RunReport&) override
    {
        log.push_back(name + " stage set");
        return std::make_unique<Staged>(name + " set", log);
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
    EXPECT_TRUE(report.seed == 9u && report.sheetSeeds.size() == 2u && report.allWritten());

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

struct ShareRow {
    const char* name;
    ProblemType type;
    const char *smallest, *largest, *count;
    bool allowRemainder;
    double tolerance;
};

class MixedTypes : public ::testing::TestWithParam<ShareRow> {};

// A rejection throws the drawn operation away too, so an operation whose rule
// rejects less takes a larger share of what is written: its selectors' share
// times its acceptance, out of the type's. The questions are numbered once
// each, in order, and without answers the answer sheet holds no problem.
TEST_P(MixedTypes, WrittenSharesFollowEachRulesAcceptance)
{
    const auto& row = GetParam();
    auto settings = testing::settingsFor(row.type, row.smallest, row.largest, row.count, "8");
    settings.allowRemainder = row.allowRemainder;
    settings.writeAnswers = false;
    settings.numbered = true;
    testing::ScriptedServices services;
    const auto result = testing::runOne(settings, "/m", services, 11);
    ASSERT_FALSE(result.report.refusal) << static_cast<int>(result.report.refusal->code);
    const auto cells = testing::allCells(services.files.at(result.question.path));
    std::map<std::string, double> shares, expected;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        EXPECT_TRUE(cells[i].text.starts_with(result.sheet->serialPrefix(i))) << cells[i].text;
        for (int operation = 0; operation < 4; ++operation)
            if (cells[i].text.find(signOf(Operation(operation))) != std::string::npos)
                shares[std::string(signOf(Operation(operation)))] += 1.0 / static_cast<double>(cells.size());
    }
    EXPECT_EQ(testing::problemLines(services.files.at(result.answer.path)).size(), 0u);
    const auto range = OperandRange::from(std::stod(row.smallest), std::stod(row.largest));
    const auto bounds = RuleBounds::from(settings);
    const double all = acceptanceChance(row.type, range, bounds);
    for (const Operation operation : operationsOf(row.type)) {
        const double share = operationShare(row.type, operation) * acceptanceChance(operation, range, bounds) / all;
        EXPECT_NEAR(shares[std::string(signOf(operation))], share, row.tolerance) << signOf(operation);
    }
    EXPECT_EQ(shares.size(), operationsOf(row.type).size()) << "a sign the type does not have";
}


INSTANTIATE_TEST_SUITE_P(
    Ranges, MixedTypes,
    ::testing::Values(ShareRow{"AddSubAt500OnlySubtracts", AdditionSubtraction, "500", "500", "50", false, 1e-9},
                      ShareRow{"MulDivAt10OnlyDivides", MultiplicationDivision, "10", "10", "40", false, 1e-9},
                      ShareRow{"MulDivAt10WithRemainders", MultiplicationDivision, "10", "10", "40", true, 1e-9},
                      ShareRow{"ThreeAt12OnlySubtracts", AdditionSubtractionMultiplication, "12", "12", "60", false, 1e-9},
                      ShareRow{"AllFourAt12HalvesSubtractAndDivide", AllFour, "12", "12", "4000", false, 0.04},
                      ShareRow{"AddSub", AdditionSubtraction, "1", "10", "30000", false, 0.012},
                      ShareRow{"MulDiv", MultiplicationDivision, "1", "10", "30000", false, 0.012},
                      ShareRow{"MulDivWithRemainders", MultiplicationDivision, "1", "10", "30000", true, 0.012},
                      ShareRow{"ThreeOperations", AdditionSubtractionMultiplication, "1", "10", "30000", false, 0.012},
                      ShareRow{"AllFour", AllFour, "1", "10", "30000", false, 0.012},
                      ShareRow{"AllFourWithRemainders", AllFour, "1", "10", "30000", true, 0.012}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MixedTypes, RemainderSwitchChangesNothingWithoutDivision)
{
    for (const auto type : {AdditionSubtraction, AdditionSubtractionMultiplication}) {
        std::string sheets[2];
        for (const bool remainder : {false, true}) {
            auto settings = testing::settingsFor(type, "1", "50", "300");
            settings.allowRemainder = remainder;
            testing::ScriptedServices services;
            sheets[remainder] = services.files[testing::runOne(settings, "/m", services, 5).answer.path];
        }
        EXPECT_EQ(sheets[0], sheets[1]);
    }
}

} // namespace
} // namespace sumlark
