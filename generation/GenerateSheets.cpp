#include "GenerateSheets.h"

#include "ProblemStream.h"
#include "SheetLayout.h"
#include "TextSheets.h"

#include <algorithm>

namespace sumlark {
namespace {

constexpr std::string_view kDoneTitle = "成功";
constexpr std::string_view kFailedTitle = "保存失败";

std::unique_ptr<SheetFile> stage(SheetFileServices& services, const std::string& text, SheetReport& report)
{
    auto file = services.createSheet(report.path, report.reason);
    if (!file)
        return file;
    // Written whole, to the disk and not only to a buffer, before anything
    // else of the run takes the room it needs.
    FileStatus status = file->write(text);
    if (status.ok)
        status = file->finish();
    if (!status.ok) {
        report.reason = status.reason;
        file.reset(); // dropped: the earlier sheet stays
    }
    return file;
}

void finish(std::unique_ptr<SheetFile>& file, SheetReport& report)
{
    if (!file)
        return;
    if (const FileStatus status = file->finish(); !status.ok) {
        report.reason = status.reason;
        file.reset();
    }
}

void commit(std::unique_ptr<SheetFile> file, SheetReport& report)
{
    if (!file)
        return;
    const FileStatus status = file->commit();
    report.written = status.ok;
    report.reason = status.reason;
    report.note = status.note;
}

} // namespace

std::string failureText(std::string_view sheetName, std::string_view path, std::string_view reason)
{
    return std::string(sheetName) + "没有保存成功，原来的文件内容保持不变。\n文件：" + std::string(path) + "\n原因：" +
           std::string(reason);
}

SheetOrRefusal makeSheet(const WorksheetSettings& settings, const RunOptions& options, RandomServices& services)
{
    const PlanOrRefusal planned = planRun(settings, options.constraints);
    if (!planned.plan)
        return {std::nullopt, planned.refusal};
    return {makeSheet(settings, *planned.plan, options, services), {}};
}

Sheet makeSheet(const WorksheetSettings& settings, const RunPlan& plan, const RunOptions& options,
                RandomServices& services)
{
    Sheet sheet;
    sheet.countText = settings.countText;
    sheet.typeText = settings.typeText;
    sheet.smallestText = settings.smallestText;
    sheet.largestText = settings.largestText;
    if (const FormedProblems* formed = plan.formed(); formed && (plan.constraints.first || plan.constraints.second)) {
        // The operands' own ranges stand in for the window's: the sheet
        // names the numbers its operands actually lie between.
        const FormRules& rules = formed->rules;
        sheet.smallestText = std::to_string(std::min(rules.first.low, rules.second.low));
        sheet.largestText = std::to_string(std::max(rules.first.high, rules.second.high));
    }
    sheet.type = settings.problemType;
    sheet.numbered = settings.numbered;
    sheet.writeAnswers = settings.writeAnswers;
    sheet.serialWidth = plan.serialWidth;
    sheet.perLine = plan.perLine;
    sheet.seed = options.seed ? *options.seed : services.clockSeed();
    sheet.tag = options.sheetTag;

    const auto random = services.randomSource(sheet.seed);
    sheet.problems.reserve(static_cast<std::size_t>(plan.problemCount));
    const auto stream = openProblemStream(plan, settings.problemType, *random);
    for (int number = 1; number <= plan.problemCount; ++number)
        sheet.problems.push_back(stream->next());
    return sheet;
}

StagedSheets stageSheetFiles(const Sheet& sheet, const std::string& folder, SheetFileServices& services)
{
    StagedSheets staged;
    staged.report.question.path = services.sheetPath(folder, questionSheetName(sheet.tag));
    staged.report.answer.path = services.sheetPath(folder, answerSheetName(sheet.tag));
    staged.services = &services;
    if (const FileStatus opened = services.openFolder(folder); !opened.ok) {
        staged.report.question.reason = staged.report.answer.reason = opened.reason;
        return staged;
    }
    // Both are written before either is put in place, so that the two move
    // in together.
    staged.question = stage(services, sheetText(sheet, SheetKind::Question), staged.report.question);
    staged.answer = stage(services, sheetText(sheet, SheetKind::Answer), staged.report.answer);
    return staged;
}

void commitSheetFiles(StagedSheets& staged)
{
    // A sheet that did not reach the disk whole is dropped before anything moves.
    finish(staged.question, staged.report.question);
    finish(staged.answer, staged.report.answer);
    commit(std::move(staged.question), staged.report.question);
    commit(std::move(staged.answer), staged.report.answer);
    if (staged.services)
        staged.services->closeFolder();
}

SheetFilesReport writeSheetFiles(const Sheet& sheet, const std::string& folder, SheetFileServices& services)
{
    StagedSheets staged = stageSheetFiles(sheet, folder, services);
    commitSheetFiles(staged);
    return staged.report;
}

void completeRun(const WorksheetSettings& settings, const SheetFilesReport& files, CompletionServices& services)
{
    std::string doneText = "文件输出完成，文件保存在： " + files.question.path;
    if (!files.question.note.empty())
        doneText += "\n" + files.question.note;

    std::string failures;
    for (const auto& [report, name] : {std::pair{&files.question, "答题纸"}, std::pair{&files.answer, "答案纸"}}) {
        if (report->written)
            continue;
        failures += failures.empty() ? "" : "\n\n";
        failures += failureText(name, report->path, report->reason);
    }

    bool launched = true;
    if (settings.openWhenDone) {
        if (files.question.written)
            launched = services.startEditor(files.question.path) && launched;
        if (settings.writeAnswers && files.answer.written)
            launched = services.startEditor(files.answer.path) && launched;
    }

    if (!failures.empty()) {
        if (files.question.written)
            failures += "\n\n答题纸已保存在： " + files.question.path;
        services.showMessage(std::string(kFailedTitle), failures);
    } else if (!settings.openWhenDone || !launched) {
        // Without an editor window the user still learns where the sheet is.
        services.showMessage(std::string(kDoneTitle), doneText);
    }
}

RunResult generateSheets(const WorksheetSettings& settings, const std::string& folder, RunServices& services,
                         const RunOptions& options)
{
    RunResult result;
    SheetOrRefusal made = makeSheet(settings, options, services);
    if (!made.sheet) {
        result.refusal = std::move(made.refusal);
        return result;
    }
    const SheetFilesReport files = writeSheetFiles(*made.sheet, folder, services);
    result.sheet = std::move(made.sheet);
    result.question = files.question;
    result.answer = files.answer;
    completeRun(settings, files, services);
    return result;
}

} // namespace sumlark
