#pragma once

// PDF files put into a folder the way the text sheets are: each written
// whole before it replaces anything, under the folder's lock.

#include "GenerateSheets.h"
#include "SetPages.h"
#include "SheetFolder.h"

#include <QString>

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace sumlark::pdf {

// A PDF written in full beside its target, not yet in place.
struct StagedPdf {
    std::string path;
    std::unique_ptr<StagedFile> file; // null when it failed
    std::string reason;               // why it failed before its commit

    // Flushes and syncs it, before any file it moves with is put in place.
    FileStatus prepare() { return file ? file->prepare() : FileStatus::failure(reason); }
    // Puts it in place; the earlier file stays unless this succeeds. Inline,
    // for a program that opens the PDF writer as a module (PdfPart.h).
    FileStatus commit()
    {
        if (!file)
            return FileStatus::failure(reason);
        const FileStatus status = file->commit();
        file.reset();
        return status;
    }
};

// One to be written: its file, or why it could not be made.
StagedPdf stageNewPdf(SheetFolder& folder, const QString& fileName);
StagedPdf stagePdf(SheetFolder& folder, const QString& fileName, std::span<const PrintedSheet> sheets, SheetKind kind,
                   const PageStyle& style);

// The two files a chosen name stands for: "名.pdf" and "名-答案.pdf", beside
// each other; a name given without ".pdf" gets it.
struct PdfPairPaths {
    QString question;
    QString answer;
};
PdfPairPaths pdfPairPaths(const QString& chosenPath);

struct PdfPairReport {
    SheetReport question;
    SheetReport answer; // not asked for when the sheets have no answers: no path
    std::optional<std::string> note; // a row that took fewer problems than asked
};

// The question pages of every sheet in one PDF, their answer pages in the
// other (when the sheets have answers), each sheet from a new page. Both are
// written whole and synced before either replaces a file.
PdfPairReport writePdfPair(const QString& chosenPath, const std::vector<Sheet>& sheets, const PageStyle& style);

} // namespace sumlark::pdf
