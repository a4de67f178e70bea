#include "WindowRun.h"

#include "MemorySink.h"
#include "RefusalWords.h"
#include "RunWords.h"
#include "TextSheetSink.h"

namespace sumlark::ui {
namespace {

const FileOutcome* fileOf(const RunReport& report, FileKind kind)
{
    for (const FileOutcome& file : report.files) {
        if (file.kind == kind)
            return &file;
    }
    return nullptr;
}

// One sheet: its two editors, or a box saying where it went, or what failed.
void completeSheet(const RunRequest& request, const RunReport& report, CompletionServices& services)
{
    const FileOutcome* question = fileOf(report, FileKind::QuestionSheet);
    const FileOutcome* answer = fileOf(report, FileKind::AnswerSheet);
    const bool questionWritten = question && question->written;
    bool launched = true;
    if (request.settings.openWhenDone) {
        if (questionWritten)
            launched = services.startEditor(question->path) && launched;
        if (request.settings.writeAnswers && answer && answer->written)
            launched = services.startEditor(answer->path) && launched;
    }
    if (std::string failures = wording::failuresText(report); !failures.empty()) {
        if (questionWritten)
            failures += "\n\n" + wording::questionSavedText(question->path);
        services.showMessage(std::string(wording::kFailedTitle), failures);
    } else if (!request.settings.openWhenDone || !launched) {
        // Without an editor window the user still learns where the sheet is.
        services.showMessage(std::string(wording::kDoneTitle), wording::doneText(question->path, question->note));
    }
}

// A set: where one sheet opens two editors, a set opens its folder.
void completeSet(const RunRequest& request, const RunReport& report, const std::string& folder,
                 CompletionServices& services)
{
    if (const std::string failures = wording::failuresText(report); !failures.empty()) {
        services.showMessage(std::string(wording::kFailedTitle), failures);
        return;
    }
    // Two editors for every sheet of a class would bury the desktop; the
    // folder shows them all.
    if (request.settings.openWhenDone && services.showFolder(folder))
        return;
    const FileOutcome* question = fileOf(report, FileKind::QuestionSheet);
    services.showMessage(std::string(wording::kDoneTitle),
                         wording::setDoneText(static_cast<int>(report.sheetSeeds.size()), folder,
                                              question ? question->note : std::string()));
}

} // namespace

RunRequest windowRequest(const WorksheetSettings& settings, const MoreConditions& conditions)
{
    RunRequest request{settings, conditions.constraints, conditions.sheets, conditions.seed, conditions.names,
                       conditions.className, conditions.heading, conditions.moreSections};
    // Answers are the whole sheet's, and only the run ends by opening it.
    for (SheetSection& section : request.moreSections) {
        section.settings.writeAnswers = settings.writeAnswers;
        section.settings.openWhenDone = false;
    }
    return request;
}

bool WindowRun::madeFrom(const RunRequest& now) const
{
    // Every choice of the request counts but opening the sheets when done,
    // which only changes what happens after they are made; how they are
    // printed is no part of it.
    RunRequest made = request;
    made.settings.openWhenDone = now.settings.openWhenDone;
    return made == now;
}

std::optional<WindowRun> runFromWindow(const RunRequest& request, const std::string& folder, RunServices& services,
                                       Completion completion)
{
    TextSheetSink texts(services, folder);
    MemorySink kept;
    SheetSink* const sinks[] = {&texts, &kept};
    WindowRun run{request, runSheets(request, services, sinks), {}};
    if (run.report.refusal) {
        services.showMessage(std::string(wording::kRefusalTitle),
                             wording::refusalText(*run.report.refusal, wording::DialogNaming()));
        return std::nullopt;
    }
    run.sheets = std::move(kept.sheets);
    if (completion == Completion::Skip) {
        // No editor and no box saying where the sheets went, but a text
        // sheet that was not written is never passed over in silence.
        if (const std::string failures = wording::failuresText(run.report); !failures.empty())
            services.showMessage(std::string(wording::kFailedTitle), failures);
    } else if (request.sheetCount() <= 1) {
        completeSheet(request, run.report, services);
    } else {
        completeSet(request, run.report, folder, services);
    }
    return run;
}

} // namespace sumlark::ui
