#include "GenerateSheets.h"

#include "OperationRules.h"
#include "ProblemSource.h"
#include "RunPlan.h"
#include "SheetLayout.h"

#include <algorithm>
#include <cmath>

namespace sumlark {
namespace {

constexpr std::string_view kDoneTitle = "成功";
constexpr std::string_view kFailedTitle = "保存失败";

void write(SheetFile* file, const std::string& text, SheetReport& report)
{
    if (!file)
        return;
    const FileStatus status = file->write(text);
    report.reason = status.reason;
}

// A sheet replaces the earlier one only when written whole; both are written
// before either is put in place, so that the two move in together. One that
// failed to be written is dropped, and the earlier one stays.
void commit(std::unique_ptr<SheetFile> file, SheetReport& report)
{
    if (!file || !report.reason.empty())
        return;
    const FileStatus status = file->commit();
    report.written = status.ok;
    report.reason = status.reason;
    report.note = status.note;
}

std::string failureText(const SheetReport& report, std::string_view sheetName)
{
    return std::string(sheetName) + "没有保存成功，原来的文件内容保持不变。\n文件：" + report.path +
           "\n原因：" + report.reason;
}

void complete(const WorksheetSettings& settings, const RunResult& result, RunServices& services)
{
    std::string doneText = "文件输出完成，文件保存在： " + result.question.path;
    if (!result.question.note.empty())
        doneText += "\n" + result.question.note;

    std::string failures;
    for (const auto& [report, name] : {std::pair{&result.question, "答题纸"}, std::pair{&result.answer, "答案纸"}}) {
        if (report->written)
            continue;
        failures += failures.empty() ? "" : "\n\n";
        failures += failureText(*report, name);
    }

    bool launched = true;
    if (settings.openWhenDone) {
        if (result.question.written)
            launched = services.startEditor(result.question.path) && launched;
        if (settings.writeAnswers && result.answer.written)
            launched = services.startEditor(result.answer.path) && launched;
    }

    if (!failures.empty()) {
        if (result.question.written)
            failures += "\n\n答题纸已保存在： " + result.question.path;
        services.showMessage(std::string(kFailedTitle), failures);
    } else if (!settings.openWhenDone || !launched) {
        // Without an editor window the user still learns where the sheet is.
        services.showMessage(std::string(kDoneTitle), doneText);
    }
}

} // namespace

// The problems one by one, laid out on both sheets.
MadeSheets makeSheets(const WorksheetSettings& settings, const RunPlan& plan, RandomSource& random, bool keepProblems)
{
    MadeSheets sheets;
    sheets.question = headerLine(SheetKind::Question, settings.countText, settings.typeText);
    sheets.answer = headerLine(SheetKind::Answer, settings.countText, settings.typeText);
    // A cell is at most a prefix and a few short numbers.
    const auto perProblem = static_cast<std::size_t>(40);
    sheets.question.reserve(sheets.question.size() + perProblem * static_cast<std::size_t>(plan.problemCount) + 512);
    if (settings.writeAnswers)
        sheets.answer.reserve(sheets.answer.size() + perProblem * static_cast<std::size_t>(plan.problemCount) + 512);

    ProblemLines questionLines(sheets.question, plan.perLine);
    ProblemLines answerLines(sheets.answer, plan.perLine);
    std::string prefix;
    std::string cell;
    ProblemSource source(settings, plan, random);
    if (keepProblems)
        sheets.problems.reserve(static_cast<std::size_t>(plan.problemCount));
    for (int number = 1; number <= plan.problemCount; ++number) {
        if (settings.numbered)
            prefix = serialPrefix(number, plan.serialWidth);
        const AcceptedProblem problem = source.next();
        if (keepProblems)
            sheets.problems.push_back(problem);

        cell.clear();
        appendQuestionCell(cell, prefix, problem);
        questionLines.add(cell, number);
        if (settings.writeAnswers) {
            cell.clear();
            appendAnswerCell(cell, prefix, problem);
            answerLines.add(cell, number);
        }
        sheets.problemsMade = number;
    }
    const std::string end = footer(sheets.problemsMade, settings.typeText, settings.smallestText, settings.largestText);
    sheets.question += end;
    sheets.answer += end;
    return sheets;
}

RunResult generateSheets(const WorksheetSettings& settings, const std::string& folder, RunServices& services,
                         const RunOptions& options)
{
    RunResult result;
    result.question.path = sheetPath(folder, questionSheetName(options.sheetTag));
    result.answer.path = sheetPath(folder, answerSheetName(options.sheetTag));

    const PlanOrRefusal planned = planRun(settings, options.constraints);
    if (!planned.plan) {
        result.refused = true;
        result.refusalText = planned.refusal.text;
        if (!options.callerReports)
            services.showMessage(planned.refusal.title, planned.refusal.text);
        return result;
    }

    auto question = services.createSheet(result.question.path, result.question.reason);
    auto answer = services.createSheet(result.answer.path, result.answer.reason);

    result.seed = options.seed ? *options.seed : services.clockSeed();
    const auto random = services.randomSource(result.seed);
    MadeSheets sheets = makeSheets(settings, *planned.plan, *random, options.keepProblems);
    result.problemsMade = sheets.problemsMade;
    result.problems = std::move(sheets.problems);

    write(question.get(), sheets.question, result.question);
    write(answer.get(), sheets.answer, result.answer);
    commit(std::move(question), result.question);
    commit(std::move(answer), result.answer);
    if (!options.callerReports)
        complete(settings, result, services);
    return result;
}

} // namespace sumlark
