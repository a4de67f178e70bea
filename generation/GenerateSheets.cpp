#include "GenerateSheets.h"

#include "OperationRules.h"
#include "RunPlan.h"
#include "SheetLayout.h"

#include <algorithm>
#include <cmath>

namespace sumlark {
namespace {

constexpr std::string_view kDoneTitle = "成功";
constexpr std::string_view kFailedTitle = "保存失败";

struct Sheets {
    std::string question;
    std::string answer;
    int problemsMade = 0;
};

// The attempt loop: draws until a rule accepts, then lays the cells out.
Sheets makeProblems(const WorksheetSettings& settings, const RunPlan& plan, RandomSource& random)
{
    Sheets sheets;
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
    for (int number = 1; number <= plan.problemCount; ++number) {
        if (settings.numbered)
            prefix = serialPrefix(number, plan.serialWidth);
        std::optional<AcceptedProblem> problem;
        do {
            ProblemDraw draw;
            draw.selector = static_cast<std::int16_t>(std::clamp(std::floor(12.0 * random.next() + 1.0), 1.0, 12.0));
            draw.first = plan.range.draw(random.next());
            draw.second = plan.range.draw(random.next());
            problem = applyRule(operationForSelector(settings.problemType, draw.selector), draw, plan.bounds);
        } while (!problem);

        cell.clear();
        appendQuestionCell(cell, prefix, *problem);
        questionLines.add(cell, number);
        if (settings.writeAnswers) {
            cell.clear();
            appendAnswerCell(cell, prefix, *problem);
            answerLines.add(cell, number);
        }
        sheets.problemsMade = number;
    }
    const std::string end = footer(sheets.problemsMade, settings.typeText, settings.smallestText, settings.largestText);
    sheets.question += end;
    sheets.answer += end;
    return sheets;
}

// Writes and commits an opened sheet; a sheet that could not be opened keeps
// the reason it got then.
void finish(std::unique_ptr<SheetFile> file, const std::string& text, SheetReport& report)
{
    if (!file)
        return;
    FileStatus status = file->write(text);
    if (status.ok)
        status = file->commit();
    report.written = status.ok;
    report.reason = status.reason;
}

std::string failureText(const SheetReport& report, std::string_view sheetName)
{
    return std::string(sheetName) + "没有保存成功，原来的文件内容保持不变。\n文件：" + report.path +
           "\n原因：" + report.reason;
}

void complete(const WorksheetSettings& settings, const RunResult& result, RunServices& services)
{
    const std::string doneText = "文件输出完成，文件保存在： " + result.question.path;

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

RunResult generateSheets(const WorksheetSettings& settings, const std::string& folder, RunServices& services,
                         const RunOptions& options)
{
    RunResult result;
    result.question.path = sheetPath(folder, kQuestionSheetName);
    result.answer.path = sheetPath(folder, kAnswerSheetName);

    const PlanOrRefusal planned = planRun(settings);
    if (!planned.plan) {
        result.refused = true;
        result.refusalText = planned.refusal.text;
        services.showMessage(planned.refusal.title, planned.refusal.text);
        return result;
    }

    auto question = services.createSheet(result.question.path, result.question.reason);
    auto answer = services.createSheet(result.answer.path, result.answer.reason);

    result.seed = options.seed ? *options.seed : services.clockSeed();
    const auto random = services.randomSource(result.seed);
    const Sheets sheets = makeProblems(settings, *planned.plan, *random);
    result.problemsMade = sheets.problemsMade;

    finish(std::move(question), sheets.question, result.question);
    finish(std::move(answer), sheets.answer, result.answer);
    complete(settings, result, services);
    return result;
}

} // namespace sumlark
