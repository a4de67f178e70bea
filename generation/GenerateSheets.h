#pragma once

// One generation run: settings in, question sheet and answer sheet out, then
// the editor or a message. The module's entry point.

#include "RunServices.h"
#include "WorksheetSettings.h"

#include <cstdint>
#include <optional>
#include <string>

namespace sumlark {

struct RunOptions {
    // The seed of the run's random source; none takes one from the clock.
    std::optional<std::uint64_t> seed;
};

struct SheetReport {
    std::string path;
    bool written = false;
    std::string reason; // why it was not written
};

struct RunResult {
    bool refused = false;
    std::string refusalText;
    std::uint64_t seed = 0;
    int problemsMade = 0;
    SheetReport question;
    SheetReport answer;
};

// Checks the settings, writes both sheets into folder, and takes the
// completion step: starts the editor on the written sheets or shows where
// they went, or shows why the settings were refused or a sheet failed.
RunResult generateSheets(const WorksheetSettings& settings, const std::string& folder, RunServices& services,
                         const RunOptions& options = {});

} // namespace sumlark
