// The slowest setting a user can choose: a sweep over the smallest and
// largest values where the rules change their minds (the 16-bit ends, 0 and
// 1, the edges of one, two and five digits, half the range, and a range of
// rare carry-free sums), every type,
// both remainder modes, every carry and borrow rule, distinct or not, one
// problem and the most a run makes. Each accepted setting makes its sheet in
// memory once; the benchmark reports the slowest and its time (target under
// 100 ms), and how many settings were accepted and refused.

#include "GenerateSheets.h"
#include "ScriptedServices.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace sumlark {
namespace {

// The last two make the longest listing of unused carry-free sums.
constexpr const char* kEdges[] = {"-32768", "-1", "0",    "1",     "2",    "9",    "10",
                                  "99",     "100", "16381", "32767", "4770", "15260"};
constexpr const char* kCounts[] = {"1", "32766"};

struct Slowest {
    double seconds = 0.0;
    std::string setting;
};

std::string describe(const WorksheetSettings& settings, const ProblemConstraints& rules)
{
    const char* rule[] = {"any", "with", "without"};
    return "type " + std::to_string(int(settings.problemType)) + " " + settings.smallestText + ".." +
           settings.largestText + " count " + settings.countText + (settings.allowRemainder ? " remainders" : "") +
           " carry " + rule[int(rules.carry)] + " borrow " + rule[int(rules.borrow)] +
           (rules.distinct ? " distinct" : "");
}

void BM_WorstSettingSweep(benchmark::State& state)
{
    testing::ScriptedServices services;
    services.useSeededRandom = true;
    for (auto _ : state) {
        Slowest slowest;
        int accepted = 0;
        int refused = 0;
        for (int t = 0; t < kProblemTypeCount; ++t) {
            const auto type = static_cast<ProblemType>(t);
            for (const bool remainder : {false, true}) {
                if (remainder && !typeHasOperation(type, Operation::Division))
                    continue;
                for (int carry = 0; carry < 3; ++carry) {
                    for (int borrow = 0; borrow < 3; ++borrow) {
                        for (const bool distinct : {false, true}) {
                            const ProblemConstraints rules{distinct, CarryRule(carry), BorrowRule(borrow)};
                            for (const char* smallest : kEdges) {
                                for (const char* largest : kEdges) {
                                    for (const char* count : kCounts) {
                                        auto settings = testing::settingsFor(type, smallest, largest, count);
                                        settings.allowRemainder = remainder;
                                        const auto start = std::chrono::steady_clock::now();
                                        const auto made = makeSheet(settings, RunOptions{1, rules}, services);
                                        const double seconds = std::chrono::duration<double>(
                                                                   std::chrono::steady_clock::now() - start)
                                                                   .count();
                                        ++(made.sheet ? accepted : refused);
                                        if (made.sheet && seconds > slowest.seconds)
                                            slowest = {seconds, describe(settings, rules)};
                                    }
                                }
                            }
                        }
                    }
                }
            }
        }
        state.counters["slowest_ms"] = slowest.seconds * 1e3;
        state.counters["accepted"] = accepted;
        state.counters["refused"] = refused;
        state.SetLabel("slowest: " + slowest.setting);
    }
}

BENCHMARK(BM_WorstSettingSweep)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
} // namespace sumlark
