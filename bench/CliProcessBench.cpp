// Whole sumlark-cli processes as a user starts them, and the engine's own
// share of the carry, borrow and distinct rules.
//
// Targets: 32766 problems (8 a line, numbered, answers) under 50 ms a
// process, and for all four types within 3 times of cat copying the same
// bytes into the same folder; --pdf for 1000 problems under a second; a
// class of 40 with both PDFs within 15 times of one sheet with its PDFs;
// counting the problems of a 16-bit range under 5 ms; any accepted distinct
// run well under a second.

#include "GenerateSheets.h"
#include "RunPlan.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include "ScriptedServices.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <map>

namespace sumlark {
namespace {

void runProcess(benchmark::State& state, const QStringList& arguments)
{
    QTemporaryDir folder;
    QStringList all = arguments;
    all << "--out" << folder.path();
    for (auto _ : state) {
        QProcess process;
        process.start(QString::fromUtf8(SUMLARK_CLI_PATH), all);
        if (!process.waitForFinished(60'000) || process.exitCode() != 0) {
            state.SkipWithError("sumlark-cli failed");
            return;
        }
    }
}

void CliProcess32766Problems(benchmark::State& state)
{
    runProcess(state, {"--seed", "1", "--count", "32766", "--per-line", "8", "--numbered"});
}
BENCHMARK(CliProcess32766Problems)->Unit(benchmark::kMillisecond)->UseRealTime();

double secondsOf(QProcess& process, const QString& program, const QStringList& arguments)
{
    const auto start = std::chrono::steady_clock::now();
    process.start(program, arguments);
    const bool finished = process.waitForFinished(60'000) && process.exitCode() == 0;
    return finished ? std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() : -1.0;
}

// A run of all four types beside one cat that copies its two sheets, as
// bytes, into a file in the same folder; the time is the run's, cli/cat
// compares the two.
void CliProcessBesideCat(benchmark::State& state)
{
    QTemporaryDir folder;
    const QStringList run = {"--seed", "1", "--type", "7", "--count", "32766", "--per-line", "8", "--numbered",
                             "--out", folder.path()};
    QProcess first;
    if (secondsOf(first, QString::fromUtf8(SUMLARK_CLI_PATH), run) < 0.0) {
        state.SkipWithError("sumlark-cli failed");
        return;
    }
    const QStringList sheets = {folder.filePath("速算答题.txt"), folder.filePath("速算答题-答案.txt")};
    double cliSeconds = 0.0;
    double catSeconds = 0.0;
    for (auto _ : state) {
        QProcess cli;
        const double cliTime = secondsOf(cli, QString::fromUtf8(SUMLARK_CLI_PATH), run);
        QProcess cat;
        cat.setStandardOutputFile(folder.filePath("copy.txt"), QIODevice::Truncate);
        const double catTime = secondsOf(cat, "cat", sheets);
        if (cliTime < 0.0 || catTime < 0.0) {
            state.SkipWithError("a process failed");
            return;
        }
        state.SetIterationTime(cliTime);
        cliSeconds += cliTime;
        catSeconds += catTime;
    }
    const double n = double(state.iterations());
    state.counters["cli_ms"] = 1e3 * cliSeconds / n;
    state.counters["cat_ms"] = 1e3 * catSeconds / n;
    state.counters["cli/cat"] = cliSeconds / catSeconds;
}
BENCHMARK(CliProcessBesideCat)->Unit(benchmark::kMillisecond)->UseManualTime();

void CliVersionProcess(benchmark::State& state)
{
    for (auto _ : state) {
        QProcess process;
        if (secondsOf(process, QString::fromUtf8(SUMLARK_CLI_PATH), {"--version"}) < 0.0) {
            state.SkipWithError("sumlark-cli failed");
            return;
        }
    }
}
BENCHMARK(CliVersionProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

void CliProcessPdf1000Problems(benchmark::State& state)
{
    runProcess(state, {"--seed", "1", "--count", "1000", "--numbered", "--pdf"});
}
BENCHMARK(CliProcessPdf1000Problems)->Unit(benchmark::kMillisecond)->UseRealTime();

// 110 problems a sheet: one sheet, and a class of 40 drawn into one pair.
void CliProcessPdfSheets(benchmark::State& state)
{
    runProcess(state, {"--seed", "1", "--count", "110", "--sheets", QString::number(state.range(0)), "--pdf"});
}
BENCHMARK(CliProcessPdfSheets)->Arg(1)->Arg(40)->Unit(benchmark::kMillisecond)->UseRealTime();

WorksheetSettings settingsFor(ProblemType type, const char* smallest, const char* largest, const char* count)
{
    return testing::settingsFor(type, smallest, largest, count, "8");
}

// Planning with every rule on the whole 16-bit range of 0 and up: the digit
// counting, the distinct count and the listing estimate.
void PlanDigitRules16Bit(benchmark::State& state)
{
    const auto settings = settingsFor(static_cast<ProblemType>(state.range(0)), "0", "32767", "32766");
    const ProblemConstraints constraints{true, static_cast<CarryRule>(state.range(1)),
                                         static_cast<BorrowRule>(state.range(2))};
    for (auto _ : state)
        benchmark::DoNotOptimize(planRun(settings, constraints));
}
BENCHMARK(PlanDigitRules16Bit)
    ->Args({int(ProblemType::Addition), int(CarryRule::Without), int(BorrowRule::Any)})
    ->Args({int(ProblemType::Subtraction), int(CarryRule::Any), int(BorrowRule::With)})
    ->Args({int(ProblemType::AllFour), int(CarryRule::With), int(BorrowRule::Without)})
    ->Unit(benchmark::kMillisecond);

// Sheets kept in memory: the run itself, not the disk.
using MemoryServices = testing::ScriptedServices;

struct DistinctCase {
    ProblemType type;
    const char* smallest;
    const char* largest;
    const char* count;
    ProblemConstraints constraints;
};

// Runs that use up most or all of what their settings allow, by picking from
// the list, and the hardest ones still made by drawing again.
const std::map<int, DistinctCase> kDistinctCases = {
    {0, {ProblemType::Addition, "0", "255", "32766", {true, CarryRule::Any, BorrowRule::Any}}},
    {1, {ProblemType::Addition, "0", "400", "30255", {true, CarryRule::Without, BorrowRule::Any}}},
    {2, {ProblemType::Subtraction, "0", "360", "32766", {true, CarryRule::Any, BorrowRule::With}}},
    {3, {ProblemType::AllFour, "0", "1000", "32766", {true, CarryRule::With, BorrowRule::With}}},
    {4, {ProblemType::Addition, "4700", "9999", "32766", {true, CarryRule::Without, BorrowRule::Any}}},
    // Just below the share at which a run turns to the list.
    {5, {ProblemType::Subtraction, "0", "362", "32766", {true, CarryRule::Any, BorrowRule::Any}}},
    // Not distinct, and so rarely accepted that the problems are drawn directly.
    {6, {ProblemType::Addition, "4700", "9999", "25000", {false, CarryRule::Without, BorrowRule::Any}}},
};

void DistinctRun(benchmark::State& state)
{
    const auto& c = kDistinctCases.at(static_cast<int>(state.range(0)));
    const auto settings = settingsFor(c.type, c.smallest, c.largest, c.count);
    const auto plan = planRun(settings, c.constraints);
    if (!plan.plan) {
        state.SkipWithError("refused");
        return;
    }
    const char* how[] = {"attempts", "drawn directly", "picked from the list", "the problem forms"};
    state.SetLabel(how[plan.plan->drawing.index()]);
    MemoryServices services;
    RunOptions options;
    options.seed = 9;
    options.constraints = c.constraints;
    for (auto _ : state)
        benchmark::DoNotOptimize(makeSheet(settings, options, services));
}
BENCHMARK(DistinctRun)->DenseRange(0, 6)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace sumlark

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
