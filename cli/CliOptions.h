#pragma once

// The command line of sumlark-cli: the table of choices as options, each
// starting where the window does, with what only the command line offers.

#include "Choices.h"
#include "GenerateSheets.h"
#include "ProblemConstraints.h"
#include "SheetPdf.h"
#include "SheetSet.h"
#include "WorksheetSettings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sumlark::cli {

struct CliOptions {
    // The list texts go to the engine as typed, so they are read exactly as
    // the window's lists are; the editor is never started.
    WorksheetSettings settings = [] {
        WorksheetSettings s;
        s.openWhenDone = false;
        return s;
    }();
    ProblemConstraints constraints{};
    std::optional<std::uint64_t> seed;
    int sheets = static_cast<int>(initialOf(Choice::Sheets));
    std::string encoding;   // empty: the system's
    std::string folder;     // empty: the current folder
    bool pdf = initialOf(Choice::Pdf) != 0;
    pdf::PageStyle page{};
};

struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    CliOptions options;
    std::string error; // what was wrong and what is allowed
};

// The arguments after the program name, as UTF-8.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

std::string helpText();
std::string versionText();

} // namespace sumlark::cli
