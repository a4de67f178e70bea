// How fast the engine is where a user could wait for it:
// - a full run of 32766 problems (8 a line, numbered, answers) into memory
//   and through the real file service, beside writing the same bytes once
//   through that service; the counter run/write is the ratio (target <= 1.5);
// - the settings check on the worst 16-bit ranges (target < 5 ms);
// - every setting of the worst-case sweep in memory (WorstCaseBench.cpp).
//
//   build/release/bench/sumlark_bench

#include "NativePath.h"
#include "RecordingFileServices.h"
#include "MemorySink.h"
#include "ProblemCounting.h"
#include "RunPlan.h"
#include "SeededRandom.h"
#include "SheetLayout.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <stdexcept>

namespace sumlark {
namespace {

constexpr std::uint64_t kSeed = 20240601;

WorksheetSettings fullRun(ProblemType type)
{
    return WorksheetSettings{.problemType = type,
                             .typeText = std::string(problemTypeText(type)),
                             .countText = "32766",
                             .perLineText = "8",
                             .smallestText = "1",
                             .largestText = "100",
                             .numbered = true,
                             .writeAnswers = true,
                             .allowRemainder = false,
                             .openWhenDone = false};
}

// The seeded random source; and the file service the window program writes
// its sheets with, in the encoding of the Chinese systems they are made for.
using SeededServices = testing::ScriptedServices;
using QuietFileServices = testing::RecordingFileServices;

// The sheets of one run, as UTF-8 text, kept in memory.
MemorySink intoMemory(const WorksheetSettings& settings, benchmark::State& state)
{
    SeededServices services;
    MemorySink memory(true);
    SheetSink* const sinks[] = {&memory};
    if (runSheets({settings, {}, 1, kSeed}, services, sinks).refusal)
        state.SkipWithError("the run was refused");
    return memory;
}

void BM_RunIntoMemory(benchmark::State& state)
{
    const auto settings = fullRun(static_cast<ProblemType>(state.range(0)));
    std::size_t bytes = 0;
    for (auto _ : state) {
        const MemorySink memory = intoMemory(settings, state);
        for (const auto& [question, answer] : memory.texts)
            bytes += question.size() + answer.size();
        benchmark::DoNotOptimize(memory.texts);
    }
    state.counters["problems"] = benchmark::Counter(32766.0 * double(state.iterations()), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}


bool writeThrough(FileRunServices& services, const std::string& path, const std::string& text)
{
    std::string reason;
    const auto sheet = services.createSheet(path, reason);
    return sheet && sheet->write(text).ok && sheet->commit().ok;
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Each iteration makes the run into real files, then writes the same two
// texts once more through the same service; the reported time is the run's,
// and run/write compares the two.
void BM_RunToFilesBesidePlainWrite(benchmark::State& state)
{
    const auto settings = fullRun(static_cast<ProblemType>(state.range(0)));
    const MemorySink::Texts texts = intoMemory(settings, state).texts.at(0);
    QTemporaryDir folder;
    const std::string runFolder = folder.filePath("run").toStdString();
    const std::string writeFolder = folder.filePath("write").toStdString();
    if (!QDir().mkpath(QString::fromStdString(runFolder)) || !QDir().mkpath(QString::fromStdString(writeFolder))) {
        state.SkipWithError("no scratch folder");
        return;
    }
    QuietFileServices services("GBK");
    double runSeconds = 0.0;
    double writeSeconds = 0.0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        const auto result = testing::runOne(settings, runFolder, services, kSeed);
        const double run = secondsSince(start);
        if (!result.report.allWritten())
            state.SkipWithError("the run did not write both sheets");

        start = std::chrono::steady_clock::now();
        const bool written = writeThrough(services, nativePath(writeFolder, kQuestionSheetName), texts.question) &&
                             writeThrough(services, nativePath(writeFolder, kAnswerSheetName), texts.answer);
        const double write = secondsSince(start);
        if (!written)
            state.SkipWithError("the plain write failed");

        state.SetIterationTime(run);
        runSeconds += run;
        writeSeconds += write;
    }
    const double n = double(state.iterations());
    state.counters["run_ms"] = 1e3 * runSeconds / n;
    state.counters["write_ms"] = 1e3 * writeSeconds / n;
    state.counters["run/write"] = runSeconds / writeSeconds;
    state.SetBytesProcessed(static_cast<std::int64_t>(n * double(texts.question.size() + texts.answer.size())));
}

struct RefusalCase {
    ProblemType type;
    const char* smallest;
    const char* largest;
    bool allowRemainder;
};

// The settings whose check has the most values to weigh: the widest ranges,
// and division, whose chance counts the multiples of every divisor.
constexpr RefusalCase kRefusalCases[] = {
    {ProblemType::Division, "1", "32767", false},
    {ProblemType::AllFour, "-32768", "32767", false},
    {ProblemType::MultiplicationDivision, "-32768", "32767", true},
    {ProblemType::Addition, "-32768", "32767", false},
    {ProblemType::Multiplication, "-32768", "32767", false},
};

void BM_RefusalCheck(benchmark::State& state)
{
    const auto& c = kRefusalCases[state.range(0)];
    WorksheetSettings settings = fullRun(c.type);
    settings.smallestText = c.smallest;
    settings.largestText = c.largest;
    settings.allowRemainder = c.allowRemainder;
    state.SetLabel(std::string(problemTypeText(c.type)) + " " + c.smallest + ".." + c.largest);
    for (auto _ : state)
        benchmark::DoNotOptimize(planRun(settings));
}

const auto typeName = [](benchmark::internal::Benchmark* b) { b->ArgName("type"); };

BENCHMARK(BM_RunIntoMemory)->Apply(typeName)->Arg(0)->Arg(3)->Arg(7)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RunToFilesBesidePlainWrite)
    ->Apply(typeName)
    ->Arg(0)
    ->Arg(3)
    ->Arg(7)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefusalCheck)->DenseRange(0, std::size(kRefusalCases) - 1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace sumlark

BENCHMARK_MAIN();
