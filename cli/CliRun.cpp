#include "CliRun.h"

#include "FolderSheetSink.h"
#include "NamesFile.h"
#include "PathBytes.h"
#include "PupilNames.h"
#include "RefusalWords.h"
#include "RunWords.h"
#include "SheetRun.h"
#include "SheetSet.h"
#include "ShownText.h"

#include <algorithm>
#include <new>

namespace sumlark::cli {
namespace {

// Whether any section of the sheet asks for the column form.
bool asksColumnForm(const CliOptions& options)
{
    return options.page.layout == PageLayout::Columns ||
           std::any_of(options.moreSections.begin(), options.moreSections.end(),
                       [](const SheetSection& section) { return section.layout == PageLayout::Columns; });
}

// The page's choices that only the PDF uses, given without it, named: the
// text sheets have no paper size, no font size and no sides.
std::string pdfOnlyGiven(const CliOptions& options)
{
    const PageChoices unchanged;
    std::string given;
    const auto name = [&](bool changed, Choice choice) {
        if (changed && !options.pdf)
            given += (given.empty() ? "" : "、") + std::string(wording::wordsOf(choice).option);
    };
    name(options.page.paper != unchanged.paper, Choice::Paper);
    name(options.page.fontSize != unchanged.fontSize, Choice::FontSize);
    name(options.page.duplex != unchanged.duplex, Choice::Duplex);
    return given;
}

// A file's line: where it went on standard output, what failed and why on
// standard error, the path escaped for a terminal.
bool printFile(const FileOutcome& file, std::ostream& out, std::ostream& err)
{
    if (file.written) {
        out << "已写入：" << shownPath(file.path) << "\n";
        if (!file.note.empty())
            out << file.note << "\n";
        return true;
    }
    err << wording::failureText(wording::fileName(file.kind), shownPath(file.path), file.reason) << "\n";
    return false;
}

// The report in the order the run went: each sheet's notes, its files and
// its seed, then the set's seed. Returns the exit code.
int printReport(const RunReport& report, const CliOptions& options, const RunRequest& request, std::ostream& out,
                std::ostream& err)
{
    if (report.refusal) {
        err << wording::refusalText(*report.refusal, wording::OptionNaming()) << "\n";
        return kUsageOrRefused;
    }
    // Text sheets have no column form; whoever asked for it learns where
    // it is, once, and that the text sheets keep their rows.
    if (asksColumnForm(options))
        err << (options.pdf ? "竖式只用于 PDF 和打印，文本练习纸照常横排。"
                            : "竖式只用于 PDF 和打印：这次写出的文本练习纸是横排的，要竖式请加 --pdf。")
            << "\n";
    if (const std::string given = pdfOnlyGiven(options); !given.empty())
        err << given << " 只用于 PDF：这次没有写 PDF，要用它们请加 --pdf。\n";
    if (const std::string place = wording::placeText(report.place); !place.empty()) {
        err << place << "\n";
        return kWriteFailed;
    }
    bool allWritten = true;
    for (int number = 0, count = request.sheetCount(); number <= count; ++number) {
        // Files of the whole set, numbered 0, come after the last sheet's.
        const int sheet = number == count ? 0 : number + 1;
        for (const RunNote& note : report.notes) {
            if (note.sheet == sheet)
                err << note.text << "\n";
        }
        for (const FileOutcome& file : report.files) {
            if (file.sheet == sheet)
                allWritten = printFile(file, out, err) && allWritten;
        }
        if (count > 1 && sheet > 0 && static_cast<std::size_t>(sheet) <= report.sheetSeeds.size())
            out << "第 " << sheetTag(sheet, count) << " 份" << (request.names.empty() ? "" : "（" + shownValue(request.names[sheet - 1]) + "）")
                << "的种子：" << report.sheetSeeds[sheet - 1] << "\n";
    }
    if (report.outOfMemory) {
        err << wording::outOfMemoryText() << "\n";
        return kWriteFailed;
    }
    if (report.place.failure != PlaceFailure::None)
        return kWriteFailed;
    out << "种子：" << report.seed << "\n";
    return allWritten ? kDone : kWriteFailed;
}

} // namespace

int runCli(const CliOptions& options, const pdf::PdfPart* pdf, std::ostream& out, std::ostream& err)
{
    if (options.pdf && !pdf) {
        err << "没有打开写 PDF 的组件，没有写任何文件。\n";
        return kWriteFailed;
    }
    if (const auto refusal = columnFormRefusal(options.request(), options.page.layout)) {
        err << wording::refusalText(*refusal, wording::OptionNaming()) << "\n";
        return kUsageOrRefused;
    }
    try {
        std::vector<std::string> names;
        if (!options.namesFile.empty()) {
            const std::string shown = quotedValue(shownPath(options.namesFile));
            std::string reason;
            const std::optional<std::string> list = readNamesFile(pathFromBytes(options.namesFile), reason);
            if (list)
                names = namesOfText(*list);
            if (!list || names.empty()) {
                err << "sumlark-cli：名单" << shown << (list ? "里没有名字" : "读不出来：" + reason) << "，没有写任何文件。\n";
                return kUsageOrRefused;
            }
        }
        const RunRequest request = options.request(std::move(names));
        FileRunServices services(QByteArray::fromStdString(options.encoding));
        FolderSheetSink texts(services, options.folder);
        const std::unique_ptr<SheetSink> pdfs = options.pdf ? pdf::makePdfSink(*pdf, texts, pdf::PageStyle::of(options.page)) : nullptr;
        std::vector<SheetSink*> sinks{&texts};
        if (pdfs)
            sinks.push_back(pdfs.get());
        return printReport(runSheets(request, services, sinks), options, request, out, err);
    } catch (const std::bad_alloc&) {
        // Before the run or while telling it; the run itself reports its own.
        err << wording::outOfMemoryText() << "\n";
        return kWriteFailed;
    }
}

} // namespace sumlark::cli
