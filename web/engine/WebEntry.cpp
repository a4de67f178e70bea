#include "WebEntry.h"

#include "MemorySink.h"
#include "OptionReading.h"
#include "PlanOptions.h"
#include "SheetRun.h"
#include "TextSheets.h"
#include "WebModel.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sumlark::web {
namespace {

// A seed only when the caller gave none; the page passes one of its own.
class ClockRandom final : public RandomServices {
public:
    std::uint64_t clockSeed() override
    {
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
    }
};

// A length before each text, so that a value may hold any character.
std::vector<std::string_view> textsOf(const unsigned char* request, std::size_t size)
{
    std::vector<std::string_view> texts;
    for (std::size_t at = 0; at + 4 <= size;) {
        const std::size_t length = std::size_t(request[at]) | std::size_t(request[at + 1]) << 8 |
                                   std::size_t(request[at + 2]) << 16 | std::size_t(request[at + 3]) << 24;
        at += 4;
        if (length > size - at)
            break;
        texts.emplace_back(reinterpret_cast<const char*>(request + at), length);
        at += length;
    }
    return texts;
}

// Where the files go means nothing in a browser; a class's names and
// two-sided printing belong to the printed set, which the page leaves to
// the other front ends.
bool ignored(Choice choice)
{
    return choice == Choice::Folder || choice == Choice::Encoding || choice == Choice::Pdf || choice == Choice::Names ||
           choice == Choice::ClassName || choice == Choice::Duplex;
}

// The last run's sheets, for the caller to read their texts and problems.
std::vector<Sheet> made;

std::string makeSheets(const unsigned char* request, std::size_t size)
{
    made.clear();
    wording::OptionChoices chosen;
    wording::PlanText sections;
    const std::vector<std::string_view> texts = textsOf(request, size);
    for (std::size_t i = 0; i + 1 < texts.size(); i += 2) {
        if (texts[i] == "section") {
            sections.sections.push_back({std::string(texts[i + 1]), {}});
            continue;
        }
        const wording::ChoiceWords* words = wording::optionNamed("--" + std::string(texts[i]));
        if (!words || ignored(words->choice))
            continue;
        if (!sections.sections.empty()) {
            sections.sections.back().options.push_back({std::string(texts[i]), std::string(texts[i + 1])});
            continue;
        }
        if (std::string complaint = wording::readOption(chosen, *words, texts[i + 1], words->name); !complaint.empty())
            return wrongValueJson(words->choice, complaint);
    }
    if (std::string complaint = wording::applyPlan(chosen, sections); !complaint.empty())
        return wrongValueJson(Choice::Type, complaint);
    if (const auto refusal = columnFormRefusal(chosen.request(), chosen.page.layout))
        return refusalJson(*refusal);
    ClockRandom random;
    MemorySink sheets;
    SheetSink* const sinks[] = {&sheets};
    const RunReport report = runSheets(chosen.request(), random, sinks);
    if (report.refusal)
        return refusalJson(*report.refusal);
    made = std::move(sheets.sheets);
    return sheetsJson(made, chosen, report.seed);
}

std::string reply;            // read by the caller before its next call
std::vector<double> numbers;  // the same

} // namespace
} // namespace sumlark::web

extern "C" {

const char* sumlark_choices()
{
    sumlark::web::reply = sumlark::web::choiceTableJson();
    return sumlark::web::reply.c_str();
}

const char* sumlark_make(const unsigned char* request, std::size_t size)
{
    sumlark::web::reply = sumlark::web::makeSheets(request, size);
    return sumlark::web::reply.c_str();
}

const char* sumlark_text(int number, int answer)
{
    using namespace sumlark;
    const auto kind = answer ? SheetKind::Answer : SheetKind::Question;
    web::reply = number >= 1 && std::size_t(number) <= web::made.size() ? sheetText(web::made[std::size_t(number) - 1], kind)
                                                                       : std::string();
    return web::reply.c_str();
}

std::size_t sumlark_size()
{
    return sumlark::web::reply.size();
}

const double* sumlark_problems(int number)
{
    using namespace sumlark;
    web::numbers = number >= 1 && std::size_t(number) <= web::made.size()
                       ? web::problemNumbers(web::made[std::size_t(number) - 1])
                       : std::vector<double>();
    return web::numbers.data();
}

} // extern "C"
