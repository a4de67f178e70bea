#pragma once

// One run, for every front end: a request (the choices), the outputs to fill
// (sinks), and one report of what was made and what was written. The run is
// planned once; a refused request touches no output. Then each sheet is
// made and its files (text pair, PDFs) staged whole by every sink before the
// first of them moves, so that a pair moves in together; files made for the
// whole set come last. The engine names what happened; front ends word it.

#include "GenerateSheets.h"
#include "PageChoices.h"
#include "ProblemConstraints.h"
#include "Refusal.h"
#include "RunServices.h"
#include "Sheet.h"
#include "WorksheetSettings.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace sumlark {

// A section of a sheet after the first: its heading and its own choices,
// down to how its problems stand on paper (the first's is the page's).
struct SheetSection {
    std::string heading;
    WorksheetSettings settings;
    ProblemConstraints constraints{};
    PageLayout layout = PageLayout::Rows;

    friend bool operator==(const SheetSection&, const SheetSection&) = default;
};

struct RunRequest {
    WorksheetSettings settings;
    ProblemConstraints constraints{};
    int sheets = 1;                     // a class set above 1
    std::optional<std::uint64_t> seed;  // none: one from the clock
    // A sheet for each pupil, in order, instead of sheets; each named on
    // its pages and in its file names.
    std::vector<std::string> names{};
    std::string className{}; // printed before the name
    // A sheet of several sections: the first is the choices above, under
    // heading; the rest follow it on the same sheet.
    std::string heading{};
    std::vector<SheetSection> moreSections{};

    int sheetCount() const;

    friend bool operator==(const RunRequest&, const RunRequest&) = default;
};

enum class FileKind { QuestionSheet, AnswerSheet, QuestionPdf, AnswerPdf };

// One file a sink wrote, or tried to.
struct FileOutcome {
    FileKind kind = FileKind::QuestionSheet;
    int sheet = 0; // 1-based; 0 for a file of the whole set
    std::string path;
    bool written = false;
    std::string reason; // why it was not written
    std::string note;   // what the user should know about it
};

// Where the files go failed before any was staged: a folder that is gone or
// cannot be made is told once; one that cannot be opened (locked, refused)
// fails every file of the run with its reason.
enum class PlaceFailure { None, CurrentFolderGone, FolderNotMade, FolderNotOpened };

struct PlaceStatus {
    PlaceFailure failure = PlaceFailure::None;
    std::string path; // the folder
    std::string reason;
};

// Something to be said once, however many sheets it concerns; sheet is the
// first it came with.
struct RunNote {
    int sheet = 0;
    std::string text;
};

struct RunReport {
    std::optional<Refusal> refusal; // nothing was made or written
    std::uint64_t seed = 0;         // of the set; each sheet holds its own
    // Each sheet's seed, in order, for the sheets that were made; a sink
    // that keeps the sheets themselves (MemorySink) holds them.
    std::vector<std::uint64_t> sheetSeeds;
    PlaceStatus place;
    std::vector<FileOutcome> files; // by sheet, each sink's files in order
    std::vector<RunNote> notes;
    bool outOfMemory = false; // the run stopped; what was in place stays

    bool allWritten() const;
    void note(int sheet, std::string text);
};

// Files written whole and synced, not yet in place.
class StagedFiles {
public:
    virtual ~StagedFiles() = default;
    // Flushes and syncs them: every file of a pair reaches the disk before
    // the first of them replaces anything.
    virtual void prepare() {}
    // Moves them in, one after another, and tells how each went.
    virtual void commit(std::vector<FileOutcome>& files) = 0;
};

class SheetSink {
public:
    virtual ~SheetSink() = default;
    // Once the request is accepted, before the first sheet: a sink that
    // writes into a folder makes and locks it here, for the whole run.
    virtual PlaceStatus open() { return {}; }
    virtual void close() {}
    // The files the sink would write for sheet number of count (tag as in
    // the file names), for a run whose place failed.
    virtual void nameFiles(int number, int count, const std::string& tag, bool answers,
                           std::vector<FileOutcome>& files) const
    {
        (void)number, (void)count, (void)tag, (void)answers, (void)files;
    }
    // One sheet's files, staged; null when the sink writes none per sheet.
    virtual std::unique_ptr<StagedFiles> stage(const Sheet& sheet, int number, int count, RunReport& report) = 0;
    // Files made of the whole set (from what stage kept of each sheet),
    // staged after the last sheet's files are in place.
    virtual std::unique_ptr<StagedFiles> stageSet(RunReport& report)
    {
        (void)report;
        return nullptr;
    }
};

RunReport runSheets(const RunRequest& request, RandomServices& random, std::span<SheetSink* const> sinks);

// Whether the column form can print the request's problems, its first
// section standing as layout says and each other as its own: the first
// section that cannot, by its number when there are several.
std::optional<Refusal> columnFormRefusal(const RunRequest& request, PageLayout layout);

} // namespace sumlark
