#include "SheetRun.h"

#include "PupilNames.h"
#include "RunPlan.h"
#include "SeededRandom.h"
#include "SheetLayout.h"
#include "SheetSet.h"

#include <algorithm>
#include <new>

namespace sumlark {
namespace {

// Every file of the sinks' staged outputs reaches the disk before the first
// moves; then they move in the sinks' order.
void settle(std::vector<std::unique_ptr<StagedFiles>>& staged, std::vector<FileOutcome>& files)
{
    for (auto& output : staged)
        output->prepare();
    for (auto& output : staged)
        output->commit(files);
    staged.clear();
}

void keep(std::vector<std::unique_ptr<StagedFiles>>& staged, std::unique_ptr<StagedFiles> output)
{
    if (output)
        staged.push_back(std::move(output));
}

// Each opened sink closed once, whichever way the run ends.
class OpenSinks {
public:
    ~OpenSinks()
    {
        for (SheetSink* sink : opened_)
            sink->close();
    }
    PlaceStatus open(std::span<SheetSink* const> sinks)
    {
        for (SheetSink* sink : sinks) {
            PlaceStatus status = sink->open();
            if (status.failure != PlaceFailure::None)
                return status;
            opened_.push_back(sink);
        }
        return {};
    }

private:
    std::vector<SheetSink*> opened_;
};

// A pupil's files carry the name; a set's the number.
std::string fileTag(const RunRequest& request, int number, int count)
{
    return request.names.empty() ? sheetTag(number, count) : pupilTag(number, request.names[number - 1]);
}

// The sheet of a run's one section, or of its sections one after another:
// the first drawn from the sheet's own seed, as a sheet of one section is,
// each other from one derived from it.
Sheet makeSections(const std::vector<SheetSection>& sections, const std::vector<RunPlan>& plans,
                   const std::vector<std::size_t>& planOf, const RunOptions& options, RandomServices& random)
{
    if (sections.size() == 1)
        return makeSheet(sections[0].settings, plans[0], options, random);
    Sheet whole;
    for (std::size_t i = 0; i < sections.size(); ++i) {
        RunOptions own = options;
        own.constraints = sections[i].constraints;
        if (i > 0)
            own.seed = deriveSeed(*options.seed, static_cast<std::uint64_t>(i));
        Sheet section = makeSheet(sections[i].settings, plans[planOf[i]], own, random);
        section.heading = sections[i].heading;
        section.layout = sections[i].layout;
        if (i == 0) {
            whole = section; // its seed, tag and switches are the sheet's
            whole.problems.clear();
        } else if (whole.typeText.find(section.typeText) == std::string::npos)
            whole.typeText += "；" + section.typeText;
        whole.problems.insert(whole.problems.end(), section.problems.begin(), section.problems.end());
        whole.sections.push_back(std::move(section));
    }
    whole.countText = std::to_string(whole.problems.size());
    whole.serialWidth = serialWidth(whole.countText);
    whole.heading.clear();
    return whole;
}

} // namespace

int RunRequest::sheetCount() const
{
    return names.empty() ? std::clamp(sheets, 1, kMaxSetSheets) : static_cast<int>(names.size());
}

bool RunReport::allWritten() const
{
    return !outOfMemory && place.failure == PlaceFailure::None &&
           std::all_of(files.begin(), files.end(), [](const FileOutcome& file) { return file.written; });
}

void RunReport::note(int sheet, std::string text)
{
    const bool said = std::any_of(notes.begin(), notes.end(), [&](const RunNote& n) { return n.text == text; });
    if (!said)
        notes.push_back({sheet, std::move(text)});
}

std::optional<Refusal> columnFormRefusal(const RunRequest& request, PageLayout layout)
{
    std::optional<Refusal> refusal;
    if (layout == PageLayout::Columns)
        refusal = columnFormRefusal(request.constraints);
    for (std::size_t i = 0; i < request.moreSections.size() && !refusal; ++i) {
        const SheetSection& section = request.moreSections[i];
        if (section.layout == PageLayout::Columns && (refusal = columnFormRefusal(section.constraints)))
            refusal->section = static_cast<int>(i) + 2;
    }
    if (refusal && !request.moreSections.empty() && refusal->section == 0)
        refusal->section = 1;
    return refusal;
}

RunReport runSheets(const RunRequest& request, RandomServices& random, std::span<SheetSink* const> sinks)
{
    RunReport report;
    // Every sheet has the same settings and so the same verdict: checked
    // once, before any output is opened or any folder made.
    std::vector<SheetSection> sections{{request.heading, request.settings, request.constraints}};
    sections.insert(sections.end(), request.moreSections.begin(), request.moreSections.end());
    // Each section planned once; a section with the choices of an earlier
    // one shares its plan, which for the largest ranges is most of the work.
    std::vector<RunPlan> plans;
    std::vector<std::size_t> planOf;
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const auto same = std::find_if(sections.begin(), sections.begin() + static_cast<std::ptrdiff_t>(i),
                                       [&](const SheetSection& earlier) {
                                           return earlier.settings == sections[i].settings &&
                                                  earlier.constraints == sections[i].constraints;
                                       });
        if (same != sections.begin() + static_cast<std::ptrdiff_t>(i)) {
            planOf.push_back(planOf[static_cast<std::size_t>(same - sections.begin())]);
            continue;
        }
        PlanOrRefusal planned = planRun(sections[i].settings, sections[i].constraints);
        if (!planned.plan) {
            report.refusal = planned.refusal;
            report.refusal->section = sections.size() > 1 ? static_cast<int>(i) + 1 : 0;
            return report;
        }
        planOf.push_back(plans.size());
        plans.push_back(std::move(*planned.plan));
    }
    if (std::int64_t total = 0; sections.size() > 1) {
        for (const std::size_t plan : planOf)
            total += plans[plan].problemCount;
        if (total > limitsOf(Choice::Count).highest) {
            Refusal tooMany;
            tooMany.code = RefusalCode::CountTooLarge;
            tooMany.choices = {Choice::Count};
            tooMany.settings = request.settings;
            tooMany.count = static_cast<int>(total);
            report.refusal = tooMany;
            return report;
        }
    }
    if ((report.refusal = namesRefusal(request.names, request.className)))
        return report;
    report.seed = request.seed ? *request.seed : random.clockSeed();
    const int count = request.sheetCount();
    try {
        OpenSinks open;
        // Opened for the whole run, so that a second run into the same
        // folder waits instead of mixing its sheets with these.
        report.place = open.open(sinks);
        if (report.place.failure != PlaceFailure::None) {
            if (report.place.failure == PlaceFailure::FolderNotOpened) {
                for (int number = 1; number <= count; ++number) {
                    for (const SheetSink* sink : sinks)
                        sink->nameFiles(number, count, fileTag(request, number, count), request.settings.writeAnswers,
                                    report.files);
                }
                for (FileOutcome& file : report.files)
                    file.reason = report.place.reason;
            }
            return report;
        }
        std::vector<std::unique_ptr<StagedFiles>> staged;
        // A pair that cannot be written leaves the others worth having:
        // every pair is tried and every failure reported.
        for (int number = 1; number <= count; ++number) {
            const RunOptions options{pairSeed(report.seed, number, count), request.constraints,
                                     fileTag(request, number, count)};
            Sheet sheet = makeSections(sections, plans, planOf, options, random);
            sheet.pupil = request.names.empty() ? std::string() : request.names[number - 1];
            sheet.className = request.className;
            for (SheetSink* sink : sinks)
                keep(staged, sink->stage(sheet, number, count, report));
            settle(staged, report.files);
            report.sheetSeeds.push_back(sheet.seed);
        }
        for (SheetSink* sink : sinks)
            keep(staged, sink->stageSet(report));
        settle(staged, report.files);
    } catch (const std::bad_alloc&) {
        // On the way here every staged file was dropped and every sink
        // closed; what was already in place stays.
        report.outOfMemory = true;
    }
    return report;
}

} // namespace sumlark
