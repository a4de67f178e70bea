#include "CliRun.h"

#include "FileRunServices.h"
#include "RunPlan.h"
#include "SeededRandom.h"
#include "SheetLayout.h"
#include "ShownText.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>

namespace sumlark::cli {
namespace {

// The shared file service; a command line starts no editor and shows no
// message box: it reports from the run's result itself.
class CliRunServices final : public FileRunServices {
public:
    explicit CliRunServices(QByteArray encoding) : FileRunServices(std::move(encoding)) {}

    bool startEditor(const std::string&) override { return false; }
    void showMessage(const std::string&, const std::string&) override {}
};

std::string failureText(std::string_view sheetName, const std::string& path, const std::string& reason)
{
    return std::string(sheetName) + "没有保存成功，原来的文件内容保持不变。\n文件：" + shownPath(path) + "\n原因：" +
           reason + "\n";
}

// The folder the run writes to, resolved once as an absolute path: a
// current folder that has been deleted is no folder, and "" would be the root.
std::optional<QString> runFolder(const CliOptions& options, std::ostream& err)
{
    const QString current = QDir::currentPath();
    const bool currentExists = !current.isEmpty() && QFileInfo(current).isDir();
    const QString given = QString::fromStdString(options.folder);
    if (options.folder.empty() || QDir::isRelativePath(given)) {
        if (!currentExists) {
            err << "当前文件夹已经不存在了，练习纸没有写到别处。请换到一个存在的文件夹，或者用 --out 给出完整的路径。\n";
            return std::nullopt;
        }
    }
    const QString folder = QDir::cleanPath(options.folder.empty() ? current : QDir(current).absoluteFilePath(given));
    if (!QDir().mkpath(folder)) {
        err << "无法建立文件夹：" << shownPath(QDir::toNativeSeparators(folder).toStdString()) << "\n";
        return std::nullopt;
    }
    return folder;
}

struct PdfCells {
    std::vector<std::string> question;
    std::vector<std::string> answer;
};

PdfCells cellsOf(const MadeSheets& sheets, const WorksheetSettings& settings, int serialWidth)
{
    PdfCells cells;
    cells.question.reserve(sheets.problems.size());
    cells.answer.reserve(sheets.problems.size());
    std::string prefix;
    int number = 0;
    for (const auto& problem : sheets.problems) {
        if (settings.numbered)
            prefix = serialPrefix(++number, serialWidth);
        appendQuestionCell(cells.question.emplace_back(), prefix, problem);
        appendAnswerCell(cells.answer.emplace_back(), prefix, problem);
    }
    return cells;
}

// One file of a pair on its way into the folder.
struct PendingFile {
    std::string name; // as the report names it
    std::string path;
    std::unique_ptr<SheetFile> text;
    std::unique_ptr<StagedFile> pdf;
    std::string reason; // why it failed before its commit

    // A file that failed before is dropped, and its target keeps what it held.
    FileStatus commit()
    {
        if (!reason.empty())
            return FileStatus::failure(reason);
        return text ? text->commit() : pdf->commit();
    }
};

PendingFile stageText(CliRunServices& services, const std::string& path, std::string_view name,
                      const std::string& text)
{
    PendingFile file{std::string(name), path, nullptr, nullptr, {}};
    file.text = services.createSheet(path, file.reason);
    if (file.text) {
        if (const FileStatus status = file.text->write(text); !status.ok)
            file.reason = status.reason;
    }
    return file;
}

// The PDFs beside the text sheets share one grid, laid out for the answer
// cells, so that the question sheet leaves room for the answers and its
// pages match the answer sheet's.
void stagePdfs(const CliOptions& options, const RunPlan& plan, const MadeSheets& sheets, SheetFolder& folder,
               std::string questionPath, std::string answerPath, std::vector<PendingFile>& files)
{
    const WorksheetSettings& settings = options.settings;
    PdfCells cells = cellsOf(sheets, settings, plan.serialWidth);
    const pdf::ProblemGrid grid = pdf::planGrid(options.page, plan.perLine, cells.answer);
    const auto stage = [&](SheetKind kind, std::vector<std::string>& sheetCells, const std::string& textPath,
                           std::string_view name) {
        const std::string path = pdf::pdfPathFor(textPath);
        PendingFile file{std::string(name), path, nullptr, nullptr, {}};
        file.pdf = folder.stage(QFileInfo(QString::fromStdString(path)).fileName(), file.reason);
        if (file.pdf) {
            pdf::PdfSheet sheet;
            sheet.title = pdf::titleFromHeader(headerLine(kind, settings.countText, settings.typeText));
            sheet.nameLine = kind == SheetKind::Question;
            sheet.cells = std::move(sheetCells);
            if (const FileStatus status = pdf::writeSheetPdf(*file.pdf, sheet, options.page, grid); !status.ok) {
                file.reason = status.reason;
                file.pdf->fail(status.reason);
            }
        }
        files.push_back(std::move(file));
    };
    stage(SheetKind::Question, cells.question, questionPath, "PDF 答题纸");
    if (settings.writeAnswers)
        stage(SheetKind::Answer, cells.answer, answerPath, "PDF 答案纸");
}

// The files of one pair, as reports name them, with their paths.
std::vector<std::pair<std::string, std::string>> filesOfPair(const CliOptions& options, const std::string& folder,
                                                             const std::string& tag)
{
    const std::string question = sheetPath(folder, questionSheetName(tag));
    const std::string answer = sheetPath(folder, answerSheetName(tag));
    std::vector<std::pair<std::string, std::string>> files = {{"答题纸", question}, {"答案纸", answer}};
    if (options.pdf)
        files.emplace_back("PDF 答题纸", pdf::pdfPathFor(question));
    if (options.pdf && options.settings.writeAnswers)
        files.emplace_back("PDF 答案纸", pdf::pdfPathFor(answer));
    return files;
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
    const std::optional<QString> folderPath = runFolder(options, err);
    if (!folderPath)
        return kWriteFailed;
    // Locked for the whole run, so that a second run into the same folder
    // waits instead of mixing its sheets with these.
    std::string reason;
    const std::shared_ptr<SheetFolder> folder = SheetFolder::open(*folderPath, reason);
    if (!folder) {
        // Every file the run would have written is named, as when each fails on its own.
        const std::string folderText = QDir::toNativeSeparators(*folderPath).toStdString();
        for (int number = 1; number <= options.sheets; ++number) {
            const std::string tag = sheetTag(number, options.sheets);
            for (const auto& [name, path] : filesOfPair(options, folderText, tag))
                err << failureText(name, path, reason);
        }
        return kWriteFailed;
    }
    const std::string folderText = QDir::toNativeSeparators(folder->path()).toStdString();

    CliRunServices services(QByteArray::fromStdString(options.encoding));
    services.useFolder(folder);
    const std::uint64_t seed = options.seed ? *options.seed : services.clockSeed();
    // A pair that cannot be written leaves the others worth having: every
    // pair is tried, every failure reported, and the exit code tells of any.
    int exit = kDone;
    for (int number = 1; number <= options.sheets; ++number) {
        const std::string tag = sheetTag(number, options.sheets);
        const std::uint64_t pairSeedValue = pairSeed(seed, number, options.sheets);
        const auto random = services.randomSource(pairSeedValue);
        const MadeSheets sheets = makeSheets(options.settings, *planned.plan, *random, options.pdf);

        // Every file of the pair is written whole before the first of them
        // replaces anything; then they move in one after another.
        std::vector<PendingFile> files;
        files.push_back(stageText(services, sheetPath(folderText, questionSheetName(tag)), "答题纸", sheets.question));
        files.push_back(stageText(services, sheetPath(folderText, answerSheetName(tag)), "答案纸", sheets.answer));
        if (options.pdf)
            stagePdfs(options, *planned.plan, sheets, *folder, files[0].path, files[1].path, files);
        for (auto& file : files) {
            const FileStatus status = file.commit();
            if (status.ok) {
                out << "已写入：" << shownPath(file.path) << "\n";
                if (!status.note.empty())
                    out << status.note << "\n";
            } else {
                err << failureText(file.name, file.path, status.reason);
                exit = kWriteFailed;
            }
        }
        if (options.sheets > 1)
            out << "第 " << tag << " 份的种子：" << pairSeedValue << "\n";
    }
    out << "种子：" << seed << "\n";
    return exit;
}

} // namespace sumlark::cli
