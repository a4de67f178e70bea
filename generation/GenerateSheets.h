#pragma once

// One generation run in three plain steps, each usable alone: make the sheet
// (settings checked, problems drawn, no file touched), write its two text
// files, complete (the editor, or a message saying where the sheet went).
// generateSheets takes all three.

#include "ProblemConstraints.h"
#include "RunPlan.h"
#include "RunServices.h"
#include "Sheet.h"
#include "WorksheetSettings.h"

#include <cstdint>
#include <optional>
#include <string>

namespace sumlark {

struct RunOptions {
    // The seed of the run's random source; none takes one from the clock.
    std::optional<std::uint64_t> seed;
    // What the problems must be beyond the operation rules; the window asks
    // for nothing.
    ProblemConstraints constraints{};
    // Marks the file names of one pair among several: "01" writes
    // 速算答题-01.txt and 速算答题-01-答案.txt.
    std::string sheetTag{};
};

struct SheetOrRefusal {
    std::optional<Sheet> sheet;
    Refusal refusal; // meaningful when sheet is empty
};

// Step 1: checks the settings and draws the problems.
SheetOrRefusal makeSheet(const WorksheetSettings& settings, const RunOptions& options, RandomServices& services);
// The drawing alone, for settings planned already with options.constraints:
// every sheet of a set shares one plan.
Sheet makeSheet(const WorksheetSettings& settings, const RunPlan& plan, const RunOptions& options,
                RandomServices& services);

struct SheetReport {
    std::string path;
    bool written = false;
    std::string reason; // why it was not written
    std::string note;   // what the user should know about a written sheet
};

struct SheetFilesReport {
    SheetReport question;
    SheetReport answer;
};

// Step 2, in two halves for a caller that writes more files with the pair:
// both text files written in full but not yet in place, then put in place.
// Each replaces its earlier file only when it was written whole.
struct StagedSheets {
    std::unique_ptr<SheetFile> question;
    std::unique_ptr<SheetFile> answer;
    SheetFilesReport report;
    SheetFileServices* services = nullptr; // whose folder to close
};
StagedSheets stageSheetFiles(const Sheet& sheet, const std::string& folder, SheetFileServices& services);
void commitSheetFiles(StagedSheets& staged);
SheetFilesReport writeSheetFiles(const Sheet& sheet, const std::string& folder, SheetFileServices& services);

// What a user is told of a file that was not written: which, where and why.
std::string failureText(std::string_view sheetName, std::string_view path, std::string_view reason);

// Step 3: starts the editor on the written sheets or says where they went,
// or tells which sheet failed and why.
void completeRun(const WorksheetSettings& settings, const SheetFilesReport& files, CompletionServices& services);

struct RunResult {
    std::optional<Refusal> refusal; // the run was refused; nothing was made or written
    std::optional<Sheet> sheet;
    SheetReport question;
    SheetReport answer;
};

// The three steps, or the refusal, which the caller words and shows.
RunResult generateSheets(const WorksheetSettings& settings, const std::string& folder, RunServices& services,
                         const RunOptions& options = {});

} // namespace sumlark
