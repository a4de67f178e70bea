#pragma once

// A run's PDFs beside its text sheets, staged whole in the text sheets'
// locked folder. A single sheet has its question pages and its answer pages
// (when it has answers) beside its pair, and they move in with it. A set (a
// class's names, or several sheets) has one PDF to print for the whole class
// and one of the answers, made sheet by sheet and moved in after the last.
//
// The sink itself is inline and draws through two functions it is given:
// sumlark-cli takes them from the module sumlark-pdf (PdfPart.h), yet the
// files move in the program's own code, where its held signals are known.
// A module has its own copy of the services it links, so a move made there
// would open a held window the program never learns of.

#include "FolderSheetSink.h"
#include "NativePath.h"
#include "PdfFiles.h"
#include "SheetPdf.h"
#include "SheetRun.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace sumlark::pdf {

// One sheet's PDFs, written whole, not yet in place.
struct SheetPdfs {
    struct Named {
        FileKind kind;
        StagedPdf staged;
    };
    std::vector<Named> pdfs;
    std::optional<std::string> note; // a row that takes fewer problems than asked
};
SheetPdfs stageSheetPdfs(SheetFolder& folder, const Sheet& sheet, int number, int count, const PageStyle& style);

// A set's two PDFs, 速算答题.pdf and 速算答题-答案.pdf: every sheet's question
// pages, each from a new page (an odd one when printed on both sides), and
// the answers of several sheets a page, each headed by its number, name and
// seed.
class SetPdfs {
public:
    virtual ~SetPdfs() = default;
    // The sheets in order, as the run makes them.
    virtual void add(const Sheet& sheet, int number, int count) = 0;
    // Both written whole, not yet in place.
    virtual SheetPdfs finish() = 0;
};
std::unique_ptr<SetPdfs> openSetPdfs(SheetFolder& folder, bool answers, const PageStyle& style);

class PdfSink final : public SheetSink {
public:
    using Stage = SheetPdfs (*)(SheetFolder&, const Sheet&, int, int, const PageStyle&);
    using PathFor = std::string (*)(std::string_view textPath);
    using OpenSet = std::unique_ptr<SetPdfs> (*)(SheetFolder&, bool, const PageStyle&);

    PdfSink(const FolderSheetSink& texts, const PageStyle& style, Stage stageWith, PathFor pathFor, OpenSet openSet)
        : texts_(texts), style_(style), stage_(stageWith), pathFor_(pathFor), openSet_(openSet)
    {
    }

    // A sheet of a set has a tag in its file names; a single sheet has none.
    void nameFiles(int number, int count, const std::string& tag, bool answers,
                   std::vector<FileOutcome>& files) const override
    {
        (void)count;
        const bool ofSet = !tag.empty();
        if (ofSet && number > 1)
            return;
        const auto named = [&](FileKind kind, const std::string& textName) {
            files.push_back({kind, ofSet ? 0 : number, pathFor_(nativePath(texts_.folder(), textName)), false, {}, {}});
        };
        named(FileKind::QuestionPdf, questionSheetName(ofSet ? "" : tag));
        if (answers)
            named(FileKind::AnswerPdf, answerSheetName(ofSet ? "" : tag));
    }

    std::unique_ptr<StagedFiles> stage(const Sheet& sheet, int number, int count, RunReport& report) override
    {
        if (!sheet.tag.empty()) {
            if (!set_)
                set_ = openSet_(*texts_.sheetFolder(), sheet.writeAnswers, style_);
            set_->add(sheet, number, count);
            return nullptr;
        }
        return staged(number, stage_(*texts_.sheetFolder(), sheet, number, count, style_), report);
    }

    std::unique_ptr<StagedFiles> stageSet(RunReport& report) override
    {
        return set_ ? staged(0, std::exchange(set_, nullptr)->finish(), report) : nullptr;
    }

private:
    struct Staged;
    std::unique_ptr<StagedFiles> staged(int number, SheetPdfs made, RunReport& report)
    {
        if (made.note)
            report.note(number, *made.note);
        return std::make_unique<Staged>(number, std::move(made));
    }

    struct Staged final : StagedFiles {
        Staged(int n, SheetPdfs m) : number(n), made(std::move(m)) {}
        int number;
        SheetPdfs made;

        void prepare() override
        {
            for (SheetPdfs::Named& pdf : made.pdfs)
                pdf.staged.prepare();
        }
        void commit(std::vector<FileOutcome>& files) override
        {
            for (SheetPdfs::Named& pdf : made.pdfs) {
                const FileStatus status = pdf.staged.commit();
                files.push_back({pdf.kind, number, pdf.staged.path, status.ok, status.reason, status.note});
            }
        }
    };

    const FolderSheetSink& texts_;
    PageStyle style_;
    Stage stage_;
    PathFor pathFor_;
    OpenSet openSet_;
    std::unique_ptr<SetPdfs> set_;
};

} // namespace sumlark::pdf
