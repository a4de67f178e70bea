#include "PdfSink.h"

namespace sumlark::pdf {
namespace {

class CollectedSetPdfs final : public SetPdfs {
public:
    CollectedSetPdfs(SheetFolder& folder, bool answers, const PageStyle& style)
        : folder_(folder), answers_(answers), style_(style)
    {
    }
    void add(const Sheet& sheet, int, int) override { sheets_.push_back(sheet); }
    SheetPdfs finish() override
    {
        const std::vector<PrintedSheet> printed = printedSet(sheets_, style_);
        SheetPdfs made;
        for (const PrintedSheet& sheet : printed) {
            if (!made.note)
                made.note = columnsNote(sheet.grid);
        }
        const auto add = [&](FileKind kind, SheetKind pages, const std::string& textName) {
            made.pdfs.push_back(
                {kind, stagePdf(folder_, QString::fromStdString(pdfPathFor(textName)), printed, pages, style_)});
        };
        add(FileKind::QuestionPdf, SheetKind::Question, questionSheetName(""));
        if (answers_)
            add(FileKind::AnswerPdf, SheetKind::Answer, answerSheetName(""));
        return made;
    }

private:
    SheetFolder& folder_;
    bool answers_;
    PageStyle style_;
    std::vector<Sheet> sheets_;
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
    return std::make_unique<CollectedSetPdfs>(folder, answers, style);
}

} // namespace sumlark::pdf
