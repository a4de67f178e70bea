// A whole run from arbitrary list texts, type and switches, into sheets kept
// in memory; every run must end, and its sheets must hold (SheetOracle).
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

#include "GenerateSheets.h"
#include "ProblemCounting.h"
#include "RunPlan.h"
#include "ScriptedServices.h"
#include "SheetOracle.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace {

using namespace sumlark;

// A run the plan expects to need more attempts than this goes through no
// code a shorter one does not; under the sanitizers (about 1.3 million
// attempts a second) it would only slow the search, and its length would
// blur the line between slow and hung that the timeout draws.
constexpr double kLongestRunAttempts = 300'000.0;
// The same for the pairs a run of distinct problems looks at to list them.
constexpr std::int64_t kLongestListing = 300'000;

// Guards against a run that loops in its attempts where the engine's
// refusal check promised it would end. 40 times the expected attempts leaves
// a chance of about e^-40 that an honest run trips it.
class BoundedRandom final : public RandomSource {
public:
    BoundedRandom(std::unique_ptr<RandomSource> inner, double limit, double expected)
        : inner_(std::move(inner)), limit_(limit), expected_(expected)
    {
    }

    double next() override
    {
        if (++draws_ > limit_) {
            std::fprintf(stderr, "run went past %.0f random draws; its plan expected about %.0f\n", limit_,
                         expected_);
            std::abort();
        }
        return inner_->next();
    }

private:
    std::unique_ptr<RandomSource> inner_;
    double limit_;
    double expected_;
    double draws_ = 0.0;
};

class BoundedServices final : public testing::ScriptedServices {
public:
    double drawLimit = 0.0;
    double expectedDraws = 0.0;
    int sourcesTaken = 0;

    std::unique_ptr<RandomSource> randomSource(std::uint64_t seed) override
    {
        ++sourcesTaken;
        return std::make_unique<BoundedRandom>(ScriptedServices::randomSource(seed), drawLimit, expectedDraws);
    }
};

std::uint64_t hashOf(const std::uint8_t* data, std::size_t size)
{
    std::uint64_t hash = 0xcbf29ce484222325ULL; // FNV-1a
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= data[i];
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

ProblemConstraints constraintsFrom(std::uint8_t byte)
{
    ProblemConstraints constraints;
    constexpr CarryRule carries[] = {CarryRule::Any, CarryRule::With, CarryRule::Without, CarryRule::Any};
    constexpr BorrowRule borrows[] = {BorrowRule::Any, BorrowRule::With, BorrowRule::Without, BorrowRule::Any};
    constraints.carry = carries[byte & 3];
    constraints.borrow = borrows[(byte >> 2) & 3];
    constraints.distinct = (byte & 0x10) != 0;
    return constraints;
}

// Attempts the plan expects the run to make at most.
double expectedAttempts(const WorksheetSettings& settings, const RunPlan& plan)
{
    const double count = plan.problemCount;
    if (plan.constraints.none())
        return count / acceptanceChance(settings.problemType, plan.range, plan.bounds);
    const double chance = countProblems(settings.problemType, plan.range, plan.bounds, plan.constraints).chance;
    if (!plan.constraints.distinct)
        return count / chance;
    // Picking from the list of unused problems takes one number a problem;
    // drawing until new loses at most the chance of the problems made.
    if (plan.pickFromList)
        return count / 3.0;
    return count / (chance - count * largestProblemChance(settings.problemType, plan.range));
}

WorksheetSettings settingsFrom(const std::uint8_t* data, std::size_t size)
{
    WorksheetSettings settings;
    settings.problemType = static_cast<ProblemType>(data[0] & 7);
    settings.typeText = std::string(problemTypeText(settings.problemType));
    settings.numbered = (data[1] & 1) != 0;
    settings.writeAnswers = (data[1] & 2) != 0;
    settings.allowRemainder = (data[1] & 4) != 0;
    settings.openWhenDone = (data[1] & 8) != 0;

    std::string_view rest(reinterpret_cast<const char*>(data + 3), size - 3);
    std::string* texts[] = {&settings.countText, &settings.perLineText, &settings.smallestText, &settings.largestText};
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        // The last text takes the rest, separators and all.
        const auto bar = i + 1 < std::size(texts) ? rest.find('|') : std::string_view::npos;
        *texts[i] = std::string(rest.substr(0, bar));
        rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
    }
    return settings;
}

[[noreturn]] void report(const WorksheetSettings& settings, const ProblemConstraints& constraints,
                         const std::string& wrong)
{
    std::fprintf(stderr,
                 "type %d count \"%s\" per line \"%s\" range \"%s\"..\"%s\" switches %d%d%d%d"
                 " carry %d borrow %d distinct %d\n%s\n",
                 static_cast<int>(settings.problemType), settings.countText.c_str(), settings.perLineText.c_str(),
                 settings.smallestText.c_str(), settings.largestText.c_str(), settings.numbered,
                 settings.writeAnswers, settings.allowRemainder, settings.openWhenDone,
                 static_cast<int>(constraints.carry), static_cast<int>(constraints.borrow), constraints.distinct,
                 wrong.c_str());
    std::fflush(stderr);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    const WorksheetSettings settings = settingsFrom(data, size);
    const ProblemConstraints constraints = constraintsFrom(data[2]);

    BoundedServices services;
    services.useSeededRandom = true;
    if (const auto planned = planRun(settings, constraints); planned.plan && planned.plan->problemCount > 0) {
        const auto& plan = *planned.plan;
        if (plan.pickFromList && listingWork(settings.problemType, plan.range, plan.bounds) > kLongestListing)
            return 0;
        const double attempts = expectedAttempts(settings, plan);
        if (attempts > kLongestRunAttempts)
            return 0;
        services.expectedDraws = 3.0 * attempts;
        services.drawLimit = 3.0 * std::max(40.0 * attempts, 1000.0);
    }

    RunOptions options;
    options.seed = hashOf(data, size);
    options.constraints = constraints;
    const RunResult result = generateSheets(settings, std::string(fuzzing::kSheetFolder), services, options);

    if (result.refused && services.sourcesTaken != 0)
        report(settings, constraints, "a refused run drew random numbers");
    if (const auto wrong = fuzzing::checkSheets(settings, constraints, result, services.files); !wrong.empty())
        report(settings, constraints, wrong);
    if (!result.refused) {
        const std::size_t launches = settings.openWhenDone ? (settings.writeAnswers ? 2 : 1) : 0;
        if (services.launches.size() != launches || services.messages.size() != (settings.openWhenDone ? 0u : 1u))
            report(settings, constraints, "the completion step did not follow the switches");
    } else if (services.messages.size() != 1 || !services.launches.empty()) {
        report(settings, constraints, "a refusal was not said exactly once");
    }
    return 0;
}
