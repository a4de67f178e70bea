// A whole run from arbitrary list texts, type and switches, into sheets kept
// in memory. Every run must end, refused only for a reason its settings give,
// and its sheets must hold the problems made, in order, each within its
// operation's rule and the rules asked for, as the suites' own reading of
// the rules states them. (The text around them, and where each stands on its
// line: the golden sheets.)
//
// Input: byte 0 gives the type (its low three bits, so '0'..'7' read as
// themselves), byte 1 the switches (low four bits: numbered, answers,
// remainders, open when done, so '@' is none and 'O' all four), byte 2 the
// rules the command line adds (low two bits carry, next two borrow, each
// 1 with and 2 without; bit 4 no repeats: '@' is none, 'P' no repeats, 'A'
// carrying, 'H' no borrowing), then the count, per-line, smallest and
// largest texts separated by '|'. The seed is a hash of the whole input, so
// a finding replays exactly.
//   "7O@100|8|1|20" is a numbered all-four run of 100 problems, 8 a line.
// The problem forms take the bits those letters leave clear: in byte 1, bit
// 4 three numbers, bit 5 results 0..20, bit 7 a first operand of 10..99 and
// a second of 1..9, bit 6 clear nothing trivial; in byte 2, bits 5 and 7
// the blank (result, first, second, mixed).

#include "FormedProblems.h"
#include "MemorySink.h"
#include "NumberText.h"
#include "ProblemRules.h"
#include "ProblemCounting.h"
#include "RefusalWords.h"
#include "ScriptedServices.h"
#include "SheetLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <stdexcept>

namespace {

using namespace sumlark;

// A run the plan expects to need more attempts than this goes through no
// code a shorter one does not; under the sanitizers (about 1.3 million
// attempts a second) it would only slow the search, and its length would
// blur the line between slow and hung that the timeout draws.
constexpr double kLongestRunAttempts = 300'000.0;
// The same for the pairs a run of distinct problems looks at to list them,
// and for the problems of one run: past four serial digits a longer run only
// takes the suites' regular-expression reader longer to read back.
constexpr std::int64_t kLongestListing = 300'000;
constexpr int kLargestRun = 2000;

void require(bool holds, const std::string& wrong)
{
    if (!holds)
        throw std::runtime_error(wrong);
}

// The engine's own seeded generator, bounded against a run that loops in its
// attempts where the engine's refusal check promised it would end; sheets
// stay in memory. 40 times the expected attempts leaves a chance of about
// e^-40 that an honest run trips it.
struct BoundedServices final : testing::ScriptedServices {
    struct Bounded final : RandomSource {
        std::unique_ptr<RandomSource> inner;
        double drawsLeft;
        Bounded(std::unique_ptr<RandomSource> source, double limit) : inner(std::move(source)), drawsLeft(limit) {}
        double next() override
        {
            require(--drawsLeft >= 0.0, "the run drew 40 times the random numbers its plan expected");
            return inner->next();
        }
    };
    double drawLimit = 3000.0;
    std::unique_ptr<RandomSource> randomSource(std::uint64_t seed) override
    {
        return std::make_unique<Bounded>(RandomServices::randomSource(seed), drawLimit);
    }
};

// Attempts the plan expects the run to make at most.
double expectedAttempts(ProblemType type, const RunPlan& plan)
{
    const double count = plan.problemCount;
    // A direct draw takes three numbers, like an attempt; a repeat under
    // distinct draws again, at most one time in two on average.
    if (std::holds_alternative<DrawDirectly>(plan.drawing))
        return plan.constraints.distinct ? 2.0 * count : count;
    if (plan.constraints.none())
        return count / acceptanceChance(type, plan.range, plan.bounds);
    const double chance = countProblems(type, plan.range, plan.bounds, plan.constraints).chance;
    // Picking from the list of unused problems takes one number a problem;
    // drawing until new loses at most the chance of the problems made.
    if (std::holds_alternative<DrawFromUnused>(plan.drawing))
        return count / 3.0;
    if (!plan.constraints.distinct)
        return count / chance;
    return count / (chance - count * largestProblemChance(type, plan.range));
}

WorksheetSettings settingsFrom(const std::uint8_t* data, std::size_t size)
{
    WorksheetSettings in;
    in.problemType = static_cast<ProblemType>(data[0] & 7);
    in.typeText = std::string(problemTypeText(in.problemType));
    for (int bit = 0; bool* on : {&in.numbered, &in.writeAnswers, &in.allowRemainder, &in.openWhenDone})
        *on = (data[1] >> bit++ & 1) != 0;
    std::string_view rest(reinterpret_cast<const char*>(data + 3), size - 3);
    for (std::string* text : {&in.countText, &in.perLineText, &in.smallestText}) {
        const auto bar = std::min(rest.find('|'), rest.size());
        *text = std::string(rest.substr(0, bar));
        rest.remove_prefix(std::min(bar + 1, rest.size()));
    }
    in.largestText = std::string(rest); // the rest, separators and all
    return in;
}

void checkRun(const WorksheetSettings& in, const ProblemConstraints& rules, const RunReport& report,
              const MemorySink& memory)
{
    const auto number = [](const std::string& text) { return strictNumber(text).value_or(NAN); };
    const double count = number(in.countText), smallest = number(in.smallestText), largest = number(in.largestText);
    // Operands are floor((L - S + 1) * r + S) for r in [0, 1): from S towards
    // L + 1, which is never reached, whichever way round they lie. In doubles,
    // so that texts far outside 16 bits give no overflow.
    const double to = largest + 1.0;
    const std::pair range(std::floor(std::min(smallest, to)), smallest < to ? std::ceil(to) - 1.0 : std::floor(smallest));
    const auto in16Bits = [](double v) { return v >= -32768.0 && v <= 32767.0; };
    // A count below 1 draws nothing, so its range need not be one.
    const bool runnable = count < 32767.0 && (count < 1.0 || (in16Bits(smallest) && in16Bits(largest) &&
                                                              in16Bits(range.first) && in16Bits(range.second)));
    // Subtraction takes every pair, so a type that has it needs at most four
    // attempts a problem and is never too slow. The rules on digits and
    // repeats have reasons of their own, some of them with no problem at all.
    const bool mayRefuse =
        !runnable || !rules.none() || (count >= 1.0 && !typeHasOperation(in.problemType, Operation::Subtraction));
    if (report.refusal) {
        require(mayRefuse && memory.sheets.empty() && memory.texts.empty() &&
                    !wording::refusalText(*report.refusal, wording::OptionNaming()).empty(),
                "refused for no reason the rules give, or made a sheet, or had no words for why");
        return;
    }
    require(runnable, "ran settings that cannot run");

    const int made = count >= 1.0 ? static_cast<int>(std::floor(count)) : 0;
    // Only a run that draws has a range within 16 bits.
    const testing::ProblemRules problemRules{in.problemType, in.allowRemainder, rules, largest,
                                             made ? WholeRange{std::int64_t(range.first), std::int64_t(range.second)}
                                                  : WholeRange{}};
    // A sheet not made throws from at().
    const Sheet& sheet = memory.sheets.at(0);
    const auto& problems = sheet.problems;
    require(static_cast<int>(problems.size()) == made, "made " + std::to_string(problems.size()) + " problems");
    const std::string &questions = memory.texts.at(0).question, &answers = memory.texts.at(0).answer;
    std::size_t answerAt = 0, questionAt = 0;
    std::set<std::uint64_t> seen;
    for (std::size_t i = 0; i < problems.size(); ++i) {
        std::string question, answer;
        appendQuestionCell(question, sheet.serialPrefix(i), problems[i]);
        appendAnswerCell(answer, sheet.serialPrefix(i), problems[i]);
        const std::string where = "problem \"" + answer + "\": ";
        require(problemRules.broken(problems[i]).empty(), where + problemRules.broken(problems[i]));
        require(seen.insert(problemKey(problems[i])).second || !rules.distinct, where + "a repeat although problems must differ");
        // The cells stand on the sheets in order.
        questionAt = questions.find(question, questionAt);
        require(questionAt != std::string::npos, where + "not on the question sheet in its place");
        questionAt += question.size();
        if (in.writeAnswers) {
            answerAt = answers.find(answer, answerAt);
            require(answerAt != std::string::npos, where + "not on the answer sheet in its place");
            answerAt += answer.size();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    const WorksheetSettings in = settingsFrom(data, size);
    // Any, With, Without, and Any again for the fourth value of two bits.
    ProblemConstraints rules{(data[2] & 0x10) != 0, CarryRule((data[2] & 3) % 3), BorrowRule((data[2] >> 2 & 3) % 3)};
    rules.terms = (data[1] & 0x10) != 0 ? 3 : 2;
    if ((data[1] & 0x20) != 0)
        rules.result = WholeRange{0, 20};
    if ((data[1] & 0x80) != 0) {
        rules.first = WholeRange{10, 99};
        rules.second = WholeRange{1, 9};
    }
    rules.noTrivial = (data[1] & 0x40) == 0;
    rules.blank = BlankChoice((data[2] >> 5 & 1) | (data[2] >> 6 & 2));
    BoundedServices services;
    if (const auto planned = planRun(in, rules); planned.plan && planned.plan->problemCount > 0) {
        const auto& plan = *planned.plan;
        // A form draw takes about three numbers, twice that with repeats.
        const double attempts = plan.formed() ? 2.0 * plan.problemCount : expectedAttempts(in.problemType, plan);
        if (attempts > kLongestRunAttempts || plan.problemCount > kLargestRun ||
            (std::holds_alternative<DrawFromUnused>(plan.drawing) && listingWork(in.problemType, plan.range, plan.bounds) > kLongestListing))
            return 0;
        services.drawLimit = 3.0 * std::max(40.0 * attempts, 1000.0);
    }
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        // The seed comes from the input, so that a finding replays.
        MemorySink memory(true);
        SheetSink* const sinks[] = {&memory};
        const RunReport report = runSheets({in, rules, 1, std::hash<std::string_view>{}(bytes)}, services, sinks);
        checkRun(in, rules, report, memory);
    } catch (const std::exception& wrong) {
        std::fprintf(stderr, "input \"%.*s\": %s\n", static_cast<int>(size), bytes.data(), wrong.what());
        std::abort();
    }
    return 0;
}
