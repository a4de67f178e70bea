#pragma once

// A run's PDFs beside its text sheets: each sheet's question pages, and its
// answer pages when it has answers, staged whole in the text sheets' locked
// folder, so that they move in with their pair.
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

class PdfSink final : public SheetSink {
public:
    using Stage = SheetPdfs (*)(SheetFolder&, const Sheet&, int, int, const PageStyle&);
    using PathFor = std::string (*)(std::string_view textPath);

    PdfSink(const FolderSheetSink& texts, const PageStyle& style, Stage stageWith, PathFor pathFor)
        : texts_(texts), style_(style), stage_(stageWith), pathFor_(pathFor)
    {
    }

    void nameFiles(int number, const std::string& tag, bool answers, std::vector<FileOutcome>& files) const override
    {
        const auto named = [&](FileKind kind, const std::string& textName) {
            files.push_back({kind, number, pathFor_(nativePath(texts_.folder(), textName)), false, {}, {}});
        };
        named(FileKind::QuestionPdf, questionSheetName(tag));
        if (answers)
            named(FileKind::AnswerPdf, answerSheetName(tag));
    }

    std::unique_ptr<StagedFiles> stage(const Sheet& sheet, int number, int count, RunReport& report) override
    {
        auto staged = std::make_unique<Staged>(number, stage_(*texts_.sheetFolder(), sheet, number, count, style_));
        if (staged->made.note)
            report.note(number, *staged->made.note);
        return staged;
    }

private:
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
};

} // namespace sumlark::pdf
