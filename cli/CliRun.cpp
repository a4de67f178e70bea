#include "CliRun.h"

#include "FileRunServices.h"
#include "RunPlan.h"
#include "SeededRandom.h"
#include "SheetLayout.h"

#include <QDir>

#include <algorithm>
#include <cstdio>

namespace sumlark::cli {
namespace {

// The shared file service; a command line starts no editor, and it reports
// from the run's result, so the engine's messages never come here.
class CliRunServices final : public FileRunServices {
public:
    CliRunServices(QByteArray encoding, std::ostream& err) : FileRunServices(std::move(encoding)), err_(err) {}

    bool startEditor(const std::string&) override { return false; }
    void showMessage(const std::string& title, const std::string& text) override
    {
        err_ << title << "：" << text << "\n";
    }

private:
    std::ostream& err_;
};

std::string folderOf(const CliOptions& options)
{
    const QString folder =
        options.folder.empty() ? QDir::currentPath() : QDir::cleanPath(QString::fromStdString(options.folder));
    return QDir::toNativeSeparators(folder).toStdString();
}

std::string failureText(std::string_view sheetName, const std::string& path, const std::string& reason)
{
    return std::string(sheetName) + "没有保存成功，原来的文件内容保持不变。\n文件：" + path + "\n原因：" + reason + "\n";
}

struct PdfCells {
    std::vector<std::string> question;
    std::vector<std::string> answer;
};

PdfCells cellsOf(const RunResult& result, const WorksheetSettings& settings, int serialWidth)
{
    PdfCells cells;
    cells.question.reserve(result.problems.size());
    cells.answer.reserve(result.problems.size());
    std::string prefix;
    int number = 0;
    for (const auto& problem : result.problems) {
        if (settings.numbered)
            prefix = serialPrefix(++number, serialWidth);
        appendQuestionCell(cells.question.emplace_back(), prefix, problem);
        appendAnswerCell(cells.answer.emplace_back(), prefix, problem);
    }
    return cells;
}

// The PDFs of one pair whose text sheets were written. Both share one grid,
// laid out for the answer cells so that the question sheet leaves room for
// the answers and its pages match the answer sheet's.
int writePdfs(const CliOptions& options, const RunPlan& plan, const RunResult& result, std::ostream& out,
              std::ostream& err)
{
    const WorksheetSettings& settings = options.settings;
    PdfCells cells = cellsOf(result, settings, plan.serialWidth);
    const pdf::ProblemGrid grid = pdf::planGrid(options.page, plan.perLine, cells.answer);

    int exit = kDone;
    const auto write = [&](const SheetReport& text, SheetKind kind, std::vector<std::string>& sheetCells,
                           std::string_view name) {
        if (!text.written)
            return;
        pdf::PdfSheet sheet;
        sheet.title = pdf::titleFromHeader(headerLine(kind, settings.countText, settings.typeText));
        sheet.nameLine = kind == SheetKind::Question;
        sheet.cells = std::move(sheetCells);
        const std::string path = pdf::pdfPathFor(text.path);
        const FileStatus status = pdf::writeSheetPdf(path, sheet, options.page, grid);
        if (status.ok) {
            out << "已写入：" << path << "\n";
        } else {
            err << failureText(name, path, status.reason);
            exit = kWriteFailed;
        }
    };
    write(result.question, SheetKind::Question, cells.question, "PDF 答题纸");
    if (settings.writeAnswers)
        write(result.answer, SheetKind::Answer, cells.answer, "PDF 答案纸");
    return exit;
}

} // namespace

std::string sheetTag(int number, int count)
{
    if (count <= 1)
        return {};
    char tag[8];
    std::snprintf(tag, sizeof tag, "%02d", number);
    return tag;
}

std::uint64_t pairSeed(std::uint64_t runSeed, int number, int count)
{
    return count <= 1 ? runSeed : deriveSeed(runSeed, static_cast<std::uint64_t>(number));
}

int runCli(const CliOptions& options, std::ostream& out, std::ostream& err)
{
    // Checked before the folder is made, so that refused settings leave
    // nothing behind; every pair has the same settings and the same verdict.
    const PlanOrRefusal planned = planRun(options.settings, options.constraints);
    if (!planned.plan) {
        err << planned.refusal.text << "\n";
        return kUsageOrRefused;
    }
    const std::string folder = folderOf(options);
    // A folder that cannot be made shows up as sheets that cannot be written.
    QDir().mkpath(QString::fromStdString(folder));

    CliRunServices services(QByteArray::fromStdString(options.encoding), err);
    const std::uint64_t seed = options.seed ? *options.seed : services.clockSeed();
    // A pair that cannot be written leaves the others worth having: every
    // pair is tried, every failure reported, and the exit code tells of any.
    int exit = kDone;
    for (int number = 1; number <= options.sheets; ++number) {
        RunOptions run;
        run.seed = pairSeed(seed, number, options.sheets);
        run.constraints = options.constraints;
        run.sheetTag = sheetTag(number, options.sheets);
        run.callerReports = true;
        run.keepProblems = options.pdf;
        const RunResult result = generateSheets(options.settings, folder, services, run);
        if (result.refused) {
            err << result.refusalText << "\n";
            return kUsageOrRefused;
        }
        for (const auto& [report, name] : {std::pair{&result.question, "答题纸"}, std::pair{&result.answer, "答案纸"}}) {
            if (report->written) {
                out << "已写入：" << report->path << "\n";
            } else {
                err << failureText(name, report->path, report->reason);
                exit = kWriteFailed;
            }
        }
        if (options.pdf)
            exit = std::max(exit, writePdfs(options, *planned.plan, result, out, err));
        if (options.sheets > 1)
            out << "第 " << run.sheetTag << " 份的种子：" << *run.seed << "\n";
    }
    out << "种子：" << seed << "\n";
    return exit;
}

} // namespace sumlark::cli
