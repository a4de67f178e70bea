#include "PdfSink.h"

namespace sumlark::pdf {
namespace {

// A set's two PDFs, each drawn sheet by sheet into its staged file as the
// run makes the sheets, so that no sheet is kept once it is drawn.
class DrawnSetPdfs final : public SetPdfs {
public:
    DrawnSetPdfs(SheetFolder& folder, bool answers, const PageStyle& style) : style_(style)
    {
        files_.reserve(2);
        open(folder, FileKind::QuestionPdf, SheetKind::Question, questionSheetName(""));
        if (answers)
            open(folder, FileKind::AnswerPdf, SheetKind::Answer, answerSheetName(""));
    }

    void add(const Sheet& sheet, int number, int count) override
    {
        const PrintedSheet printed{&sheet, {number, count}, planPages(style_, sheet)};
        if (!note_)
            note_ = columnsNote(printed.grid);
        for (File& file : files_) {
            if (file.pdf)
                file.pdf->add(printed);
        }
    }

    SheetPdfs finish() override
    {
        SheetPdfs made{{}, note_};
        for (File& file : files_) {
            if (file.pdf) {
                if (const FileStatus drawn = file.pdf->finish(); !drawn.ok)
                    file.staged.file->fail(drawn.reason);
                file.pdf.reset();
            }
            made.pdfs.push_back({file.kind, std::move(file.staged)});
        }
        files_.clear();
        return made;
    }

private:
    struct File {
        FileKind kind;
        StagedPdf staged;
        std::unique_ptr<SetPdf> pdf; // drawing into staged's file; after it, so ended first
    };

    void open(SheetFolder& folder, FileKind kind, SheetKind pages, const std::string& textName)
    {
        File& file = files_.emplace_back(File{kind, stageNewPdf(folder, QString::fromStdString(pdfPathFor(textName))), nullptr});
        if (file.staged.file)
            file.pdf = std::make_unique<SetPdf>(*file.staged.file, pages, style_);
    }

    PageStyle style_;
    std::vector<File> files_;
    std::optional<std::string> note_;
};

} // namespace

SheetPdfs stageSheetPdfs(SheetFolder& folder, const Sheet& sheet, int number, int count, const PageStyle& style)
{
    // The question and answer pages share one grid, so that an answer sits
    // where its problem sits.
    const PrintedSheet printed{&sheet, {number, count}, planPages(style, sheet)};
    SheetPdfs made{{}, columnsNote(printed.grid)};
    const auto add = [&](FileKind kind, SheetKind pages, const std::string& textName) {
        made.pdfs.push_back({kind, stagePdf(folder, QString::fromStdString(pdfPathFor(textName)), {&printed, 1},
                                            pages, style)});
    };
    add(FileKind::QuestionPdf, SheetKind::Question, questionSheetName(sheet.tag));
    if (sheet.writeAnswers)
        add(FileKind::AnswerPdf, SheetKind::Answer, answerSheetName(sheet.tag));
    return made;
}
std::unique_ptr<SetPdfs> openSetPdfs(SheetFolder& folder, bool answers, const PageStyle& style)
{
    return std::make_unique<DrawnSetPdfs>(folder, answers, style);
}

} // namespace sumlark::pdf
