#include "CliRun.h"

#include "FileReasons.h"
#include "FileRunServices.h"
#include "GenerateSheets.h"
#include "NativePath.h"
#include "PathBytes.h"
#include "RefusalWords.h"
#include "SheetLayout.h"
#include "SheetSet.h"
#include "ShownText.h"

#include <QDir>
#include <QFileInfo>

#include <new>
#include <set>

namespace sumlark::cli {
namespace {

// The engine's wording, with the path escaped for a terminal.
std::string failureLine(std::string_view sheetName, const std::string& path, const std::string& reason)
{
    return failureText(sheetName, shownPath(path), reason) + "\n";
}

// A folder's path as the report shows it: the bytes the user gave, escaped.
std::string folderText(const QString& folder)
{
    return bytesOfPath(QDir::toNativeSeparators(folder));
}

// The folder the run writes to, resolved once as an absolute path and kept
// as the bytes the user typed: a current folder that has been deleted is no
// folder, and "" would be the root.
std::optional<QString> runFolder(const CliOptions& options, std::ostream& err)
{
    const std::optional<QString> current = currentFolder();
    const QString given = pathFromBytes(options.folder);
    if ((options.folder.empty() || QDir::isRelativePath(given)) && !current) {
        err << "当前文件夹已经不存在了，练习纸没有写到别处。请换到一个存在的文件夹，或者用 --out 给出完整的路径。\n";
        return std::nullopt;
    }
    const QString folder = QDir::cleanPath(options.folder.empty()        ? *current
                                           : QDir::isAbsolutePath(given) ? given
                                                                         : *current + QLatin1Char('/') + given);
    if (const int error = makeFolders(folder)) {
        err << "无法建立文件夹：" << shownPath(folderText(folder)) << "\n原因：" << reasonFor(error) << "\n";
        return std::nullopt;
    }
    return folder;
}

// A PDF of the pair, written in full before any file of the pair is put in
// place, with the name the report gives it.
struct NamedPdf {
    std::string name;
    pdf::StagedPdf staged;
};

NamedPdf stagePdf(const Sheet& sheet, SheetKind kind, const CliOptions& options, const pdf::PdfPart& part,
                  const pdf::PageGrid& grid, const pdf::SetPosition& set, SheetFolder& folder,
                  const std::string& textPath)
{
    const pdf::PrintedSheet printed{&sheet, set, grid};
    const QString fileName = QFileInfo(pathFromBytes(part.pdfPathFor(textPath))).fileName();
    return {kind == SheetKind::Question ? "PDF 答题纸" : "PDF 答案纸",
            part.stagePdf(folder, fileName, {&printed, 1}, kind, options.page)};
}

class Reporter {
public:
    Reporter(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    void report(std::string_view name, const std::string& path, const FileStatus& status)
    {
        if (status.ok) {
            out_ << "已写入：" << shownPath(path) << "\n";
            if (!status.note.empty())
                out_ << status.note << "\n";
        } else {
            err_ << failureLine(name, path, status.reason);
            failed_ = true;
        }
    }
    // Said once however many pairs it concerns.
    void note(const std::string& text)
    {
        if (notes_.insert(text).second)
            err_ << text << "\n";
    }
    void report(std::string_view name, const SheetReport& sheet)
    {
        report(name, sheet.path, sheet.written ? FileStatus{true, {}, sheet.note} : FileStatus::failure(sheet.reason));
    }
    bool failed() const { return failed_; }

private:
    std::ostream& out_;
    std::ostream& err_;
    bool failed_ = false;
    std::set<std::string> notes_;
};

// Every file of the pair (its PDFs too) is written whole and synced before
// the first of them replaces anything; then they move in one after another
// in one held window, and only then is anything printed.
void writePair(const Sheet& sheet, const CliOptions& options, const pdf::PdfPart* pdf, const pdf::SetPosition& set,
               SheetFolder& folder, FileRunServices& services, Reporter& reporter)
{
    StagedSheets texts = stageSheetFiles(sheet, folderText(folder.path()), services);
    std::vector<NamedPdf> pdfs;
    if (pdf) {
        // The question and answer pages share one grid, so that an answer
        // sits where its problem sits.
        const pdf::PageGrid grid = pdf->planPages(options.page, sheet);
        if (const auto note = pdf->columnsNote(grid))
            reporter.note(*note);
        pdfs.push_back(
            stagePdf(sheet, SheetKind::Question, options, *pdf, grid, set, folder, texts.report.question.path));
        if (sheet.writeAnswers)
            pdfs.push_back(
                stagePdf(sheet, SheetKind::Answer, options, *pdf, grid, set, folder, texts.report.answer.path));
    }
    for (NamedPdf& named : pdfs)
        named.staged.prepare();
    commitSheetFiles(texts);
    std::vector<FileStatus> moved;
    for (NamedPdf& named : pdfs)
        moved.push_back(named.staged.commit());
    reporter.report("答题纸", texts.report.question);
    reporter.report("答案纸", texts.report.answer);
    for (std::size_t i = 0; i < pdfs.size(); ++i)
        reporter.report(pdfs[i].name, pdfs[i].staged.path, moved[i]);
}

// The files of one pair, as reports name them, with their paths.
std::vector<std::pair<std::string, std::string>> filesOfPair(const CliOptions& options, const pdf::PdfPart* pdf,
                                                             const std::string& folder, const std::string& tag)
{
    const std::string question = nativePath(folder, questionSheetName(tag));
    const std::string answer = nativePath(folder, answerSheetName(tag));
    std::vector<std::pair<std::string, std::string>> files = {{"答题纸", question}, {"答案纸", answer}};
    if (pdf)
        files.emplace_back("PDF 答题纸", pdf->pdfPathFor(question));
    if (pdf && options.settings.writeAnswers)
        files.emplace_back("PDF 答案纸", pdf->pdfPathFor(answer));
    return files;
}

int runSheets(const CliOptions& options, const pdf::PdfPart* pdf, std::ostream& out, std::ostream& err)
{
    if (options.pdf && !pdf) {
        err << "没有打开写 PDF 的组件，没有写任何文件。\n";
        return kWriteFailed;
    }
    if (!options.pdf)
        pdf = nullptr;
    const bool columnForm = options.page.layout == pdf::PageLayout::Columns;
    if (const auto refusal = columnForm ? columnFormRefusal(options.constraints) : std::nullopt) {
        err << wording::refusalText(*refusal, wording::OptionNaming()) << "\n";
        return kUsageOrRefused;
    }
    FileRunServices services(QByteArray::fromStdString(options.encoding));
    const std::uint64_t seed = options.seed ? *options.seed : services.clockSeed();
    std::optional<QString> folderPath;
    std::shared_ptr<SheetFolder> folder;
    Reporter reporter(out, err);
    // A pair that cannot be written leaves the others worth having: every
    // pair is tried, every failure reported, and the exit code tells of any.
    // Every pair has the same settings and the same verdict: refused
    // settings are told before any folder is made, and the plan is made once.
    const PlanOrRefusal planned = planRun(options.settings, options.constraints);
    if (!planned.plan) {
        err << wording::refusalText(planned.refusal, wording::OptionNaming()) << "\n";
        return kUsageOrRefused;
    }
    for (int number = 1; number <= options.sheets; ++number) {
        const RunOptions run = setSheetOptions(seed, options.constraints, number, options.sheets);
        const Sheet sheet = makeSheet(options.settings, *planned.plan, run, services);
        if (number == 1) {
            // Text sheets have no column form; whoever asked for it learns
            // where it is, once, and that the text sheets keep their rows.
            if (columnForm)
                reporter.note(options.pdf ? "竖式只用于 PDF 和打印，文本练习纸照常横排。"
                                          : "竖式只用于 PDF 和打印：这次写出的文本练习纸是横排的，要竖式请加 --pdf。");
            folderPath = runFolder(options, err);
            if (!folderPath)
                return kWriteFailed;
            // Locked for the whole run, so that a second run into the same
            // folder waits instead of mixing its sheets with these.
            std::string reason;
            folder = SheetFolder::open(*folderPath, reason);
            if (!folder) {
                // Every file the run would have written is named, as when each fails on its own.
                for (int pair = 1; pair <= options.sheets; ++pair)
                    for (const auto& [name, path] :
                         filesOfPair(options, pdf, folderText(*folderPath), sheetTag(pair, options.sheets)))
                        err << failureLine(name, path, reason);
                return kWriteFailed;
            }
            services.useFolder(folder);
        }
        writePair(sheet, options, pdf, {number, options.sheets}, *folder, services, reporter);
        if (options.sheets > 1)
            out << "第 " << run.sheetTag << " 份的种子：" << *run.seed << "\n";
    }
    out << "种子：" << seed << "\n";
    return reporter.failed() ? kWriteFailed : kDone;
}

} // namespace

int runCli(const CliOptions& options, const pdf::PdfPart* pdf, std::ostream& out, std::ostream& err)
{
    try {
        return runSheets(options, pdf, out, err);
    } catch (const std::bad_alloc&) {
        // On the way here every staged file was dropped and the folder's
        // lock removed; what was already in place stays.
        err << "内存不够，没能写完练习纸。请关掉一些程序，或者少出一些题，再试一次。\n";
        return kWriteFailed;
    }
}

} // namespace sumlark::cli
