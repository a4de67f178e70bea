// The slowest setting a user can choose: a sweep over the smallest and
// largest values where the rules change their minds (the 16-bit ends, 0 and
// 1, the edges of one, two and five digits, half the range, and a range of
// rare carry-free sums), every type,
// both remainder modes, every carry and borrow rule, distinct or not, one
// problem and the most a run makes. Each accepted setting makes its sheet in
// memory once; the benchmark reports the slowest and its time (target under
// 100 ms), and how many settings were accepted and refused. Plans of ten
// sections and 32766 problems in all, built of the slowest kinds of section,
// are timed as whole runs with the same target.

#include "GenerateSheets.h"
#include "MemorySink.h"
#include "SheetRun.h"
#include "ScriptedServices.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace sumlark {
namespace {

// The last two make the longest listing of unused carry-free sums.
constexpr const char* kEdges[] = {"-32768", "-1", "0",    "1",     "2",    "9",    "10",
                                  "99",     "100", "16381", "32767", "4770", "15260"};
constexpr const char* kCounts[] = {"1", "32766"};

// Every setting of a sweep made once: the slowest, and how many ran.
struct Sweep {
    testing::ScriptedServices services;
    double slowestSeconds = 0.0;
    std::string slowest;
    int accepted = 0;
    int refused = 0;


    void run(const WorksheetSettings& settings, const ProblemConstraints& rules, const std::string& name);
    void report(benchmark::State& state) const
    {
        state.counters["slowest_ms"] = slowestSeconds * 1e3;
        state.counters["accepted"] = accepted;
        state.counters["refused"] = refused;
        state.SetLabel("slowest: " + slowest);
    }
};

std::string describe(const WorksheetSettings& settings, const ProblemConstraints& rules)
{
    const char* rule[] = {"any", "with", "without"};
    return "type " + std::to_string(int(settings.problemType)) + " " + settings.smallestText + ".." +
           settings.largestText + " count " + settings.countText + (settings.allowRemainder ? " remainders" : "") +
           " carry " + rule[int(rules.carry)] + " borrow " + rule[int(rules.borrow)] +
           (rules.distinct ? " distinct" : "");
}

void Sweep::run(const WorksheetSettings& settings, const ProblemConstraints& rules, const std::string& name)
{
    const auto start = std::chrono::steady_clock::now();
    const auto made = makeSheet(settings, RunOptions{1, rules}, services);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ++(made.sheet ? accepted : refused);
    if (made.sheet && seconds > slowestSeconds) {
        slowestSeconds = seconds;
        slowest = describe(settings, rules) + name;
    }
}

// Every type in both remainder modes where it has divisions.
template <typename Visit>
void forEachTypeAndRemainder(Visit visit)
{
    for (int t = 0; t < kProblemTypeCount; ++t) {
        const auto type = static_cast<ProblemType>(t);
        for (const bool remainder : {false, true}) {
            if (!remainder || typeHasOperation(type, Operation::Division))
                visit(type, remainder);
        }
    }
}

// One set of rules over every pair of edges and both counts.
template <std::size_t N>
void sweepEdges(Sweep& sweep, ProblemType type, bool remainder, const ProblemConstraints& rules,
                const char* const (&edges)[N], const std::string& name)
{
    for (const char* smallest : edges) {
        for (const char* largest : edges) {
            for (const char* count : kCounts) {
                auto settings = testing::settingsFor(type, smallest, largest, count);
                settings.allowRemainder = remainder;
                sweep.run(settings, rules, name);
            }
        }
    }
}

void BM_WorstSettingSweep(benchmark::State& state)
{
    for (auto _ : state) {
        Sweep sweep;
        forEachTypeAndRemainder([&sweep](ProblemType type, bool remainder) {
            for (int carry = 0; carry < 3; ++carry) {
                for (int borrow = 0; borrow < 3; ++borrow) {
                    for (const bool distinct : {false, true}) {
                        ProblemConstraints rules;
                        rules.distinct = distinct;
                        rules.carry = CarryRule(carry);
                        rules.borrow = BorrowRule(borrow);
                        sweepEdges(sweep, type, remainder, rules, kEdges, "");
                    }
                }
            }
        });
        sweep.report(state);
    }
}

BENCHMARK(BM_WorstSettingSweep)->Iterations(1)->Unit(benchmark::kSecond);

// The problem forms over the same kind of edges: blanks, chains, ranges of
// their own at the 16-bit ends, results narrow and wide, nothing trivial,
// and distinct runs that must use up most of what a setting allows.
constexpr const char* kFormEdges[] = {"-32768", "-1", "0", "1", "9", "10", "99", "100", "16381", "32767"};

std::vector<std::pair<std::string, ProblemConstraints>> formVariants()
{
    using R = WholeRange;
    std::vector<std::pair<std::string, ProblemConstraints>> variants;
    const auto add = [&variants](std::string name, auto change) {
        ProblemConstraints rules;
        change(rules);
        variants.emplace_back(std::move(name), rules);
    };
    add("no-trivial", [](auto& c) { c.noTrivial = true; });
    add("mixed blanks distinct", [](auto& c) { c.blank = BlankChoice::Mixed, c.distinct = true; });
    add("first blanks distinct no-trivial", [](auto& c) { c.blank = BlankChoice::First, c.distinct = c.noTrivial = true; });
    add("results 0..100", [](auto& c) { c.result = R{0, 100}; });
    add("results all of 32 bits distinct", [](auto& c) { c.result = R{INT32_MIN, INT32_MAX}, c.distinct = true; });
    add("results 1..1 distinct", [](auto& c) { c.result = R{1, 1}, c.distinct = true; });
    add("first 0..32767 second 1..9", [](auto& c) { c.first = R{0, 32767}, c.second = R{1, 9}; });
    add("both 16 bits distinct", [](auto& c) { c.first = c.second = R{-32768, 32767}, c.distinct = true; });
    add("first 16381..32767 distinct mixed", [](auto& c) {
        c.first = R{16381, 32767}, c.distinct = true, c.blank = BlankChoice::Mixed;
    });
    add("chains", [](auto& c) { c.terms = 3; });
    add("chains distinct mixed no-trivial", [](auto& c) {
        c.terms = 3, c.distinct = c.noTrivial = true, c.blank = BlankChoice::Mixed;
    });
    add("chains results up to 65535", [](auto& c) { c.terms = 3, c.result = R{0, 65535}; });
    add("chains first 0..32767 distinct", [](auto& c) { c.terms = 3, c.first = R{0, 32767}, c.distinct = true; });
    add("two steps brackets", [](auto& c) { c.terms = 3, c.brackets = true; });
    add("two steps distinct mixed no-trivial", [](auto& c) {
        c.terms = 3, c.distinct = c.noTrivial = true, c.blank = BlankChoice::Mixed;
    });
    add("two steps brackets results up to 65536 distinct", [](auto& c) {
        c.terms = 3, c.brackets = c.distinct = true, c.result = R{0, 65536};
    });
    add("two steps both 16 bits results 0..65536", [](auto& c) {
        c.terms = 3, c.first = c.second = R{-32768, 32767}, c.result = R{0, 65536};
    });
    add("compare numbers", [](auto& c) { c.compare = CompareForm::Number; });
    add("compare expressions distinct", [](auto& c) { c.compare = CompareForm::Expression, c.distinct = true; });
    add("compare numbers both 16 bits distinct", [](auto& c) {
        c.compare = CompareForm::Number, c.first = c.second = R{-32768, 32767}, c.distinct = true;
    });
    add("compare expressions results all of 32 bits", [](auto& c) {
        c.compare = CompareForm::Expression, c.result = R{INT32_MIN, INT32_MAX};
    });
    add("compare numbers results 1..1 distinct", [](auto& c) {
        c.compare = CompareForm::Number, c.result = R{1, 1}, c.distinct = true;
    });
    // Steps at the 16-bit ends: tens against a third of everything, a step
    // of the result the operands' steps must meet, a step that leaves one value.
    add("step first 0..32767/10 second 1..9", [](auto& c) { c.first = R{0, 32767, 10}, c.second = R{1, 9}; });
    add("step both 16 bits /10000 /3 distinct", [](auto& c) {
        c.first = R{-32768, 32767, 10000}, c.second = R{-32768, 32767, 3}, c.distinct = true;
    });
    add("step both 16 bits /10 results /1000 mixed", [](auto& c) {
        c.first = c.second = R{-32768, 32767, 10}, c.result = R{INT32_MIN, INT32_MAX, 1000}, c.blank = BlankChoice::Mixed;
    });
    add("step results all of 32 bits /7", [](auto& c) { c.result = R{INT32_MIN, INT32_MAX, 7}; });
    add("step first one value /65535", [](auto& c) { c.first = R{-32768, 32767, 65535}, c.distinct = true; });
    add("step chains /100 results 0..65535/10", [](auto& c) {
        c.terms = 3, c.first = R{0, 32767, 100}, c.second = R{0, 32767, 10}, c.result = R{0, 65535, 10};
    });
    add("step compare numbers results 0..65535/10", [](auto& c) {
        c.compare = CompareForm::Number, c.second = R{0, 32767, 100}, c.result = R{0, 65535, 10};
    });
    add("step two steps brackets both /10 results 0..65530/10", [](auto& c) {
        c.terms = 3, c.brackets = true, c.first = c.second = R{0, 32767, 10}, c.result = R{0, 65530, 10};
    });
    add("step two steps first /7 distinct mixed", [](auto& c) {
        c.terms = 3, c.first = R{0, 32767, 7}, c.result = R{0, 65536}, c.distinct = true, c.blank = BlankChoice::Mixed;
    });
    // SUMLARK_SWEEP_VARIANTS=compare sweeps only the variants so named: the
    // whole sweep takes minutes, one kind of problem a fraction of it.
    if (const char* only = std::getenv("SUMLARK_SWEEP_VARIANTS"))
        std::erase_if(variants, [only](const auto& variant) { return variant.first.find(only) == std::string::npos; });
    return variants;
}

void BM_FormSweep(benchmark::State& state)
{
    const auto variants = formVariants();
    for (auto _ : state) {
        Sweep sweep;
        forEachTypeAndRemainder([&](ProblemType type, bool remainder) {
            for (int digits = 0; digits < 3; ++digits) {
                for (const auto& [name, variant] : variants) {
                    ProblemConstraints rules = variant;
                    rules.carry = CarryRule(digits);
                    rules.borrow = BorrowRule(digits);
                    sweepEdges(sweep, type, remainder, rules, kFormEdges, " " + name);
                }
            }
        });
        sweep.report(state);
    }
}

BENCHMARK(BM_FormSweep)->Iterations(1)->Unit(benchmark::kSecond);

// Ten sections of one slow kind each, and the ten kinds one after another:
// 3276 problems a section, 6 more in the last, 32766 in all.
void BM_PlanSweep(benchmark::State& state)
{
    using R = WholeRange;
    struct Kind {
        ProblemType type;
        const char *smallest, *largest;
        ProblemConstraints rules;
    };
    const std::vector<Kind> kinds = {
        {ProblemType::Addition, "4770", "15260", {.distinct = true, .carry = CarryRule::Without}},
        {ProblemType::Subtraction, "0", "32767", {.distinct = true, .borrow = BorrowRule::With}},
        {ProblemType::Division, "1", "32767", {.distinct = true}},
        {ProblemType::AllFour, "-32768", "32767", {.distinct = true, .blank = BlankChoice::Mixed, .noTrivial = true}},
        {ProblemType::AdditionSubtraction, "0", "32767", {.distinct = true, .terms = 3}},
        {ProblemType::Multiplication, "0", "32767", {.result = R{1, 1}}},
        {ProblemType::AllFour, "1", "10", {.distinct = false, .noTrivial = true}},
        {ProblemType::Addition, "0", "32767", {.distinct = true, .first = R{16381, 32767}}},
        {ProblemType::MultiplicationDivision, "-32768", "32767", {.distinct = true, .result = R{INT32_MIN, INT32_MAX}}},
        {ProblemType::AdditionSubtraction, "1", "20", {.blank = BlankChoice::Mixed, .terms = 3}},
    };
    const auto section = [&](std::size_t kind, bool last) {
        SheetSection made{"", testing::settingsFor(kinds[kind].type, kinds[kind].smallest, kinds[kind].largest,
                                                   last ? "3282" : "3276"),
                          kinds[kind].rules};
        return made;
    };
    for (auto _ : state) {
        double slowest = 0.0;
        std::string which;
        int accepted = 0;
        for (std::size_t plan = 0; plan <= kinds.size(); ++plan) {
            RunRequest request;
            for (std::size_t i = 0; i < 10; ++i) {
                SheetSection part = section(plan < kinds.size() ? plan : i, i == 9);
                if (i == 0)
                    request.settings = part.settings, request.constraints = part.constraints;
                else
                    request.moreSections.push_back(part);
            }
            request.seed = 1;
            testing::ScriptedServices random;
            MemorySink sheets;
            SheetSink* const sinks[] = {&sheets};
            const auto start = std::chrono::steady_clock::now();
            const RunReport report = runSheets(request, random, sinks);
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            accepted += report.refusal ? 0 : 1;
            if (!report.refusal && seconds > slowest) {
                slowest = seconds;
                which = plan < kinds.size() ? "ten sections of kind " + std::to_string(plan) : "the ten kinds in turn";
            }
        }
        state.counters["slowest_ms"] = slowest * 1e3;
        state.counters["accepted"] = accepted;
        state.SetLabel("slowest: " + which);
    }
}

BENCHMARK(BM_PlanSweep)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
} // namespace sumlark
