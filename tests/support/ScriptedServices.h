#pragma once

// Run services for tests: the engine's seeded generator, sheets kept in
// memory, and a record of every editor launch and message.

#include "NativePath.h"
#include "RunServices.h"
#include "SheetRun.h"
#include "WorksheetSettings.h"

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace sumlark::testing {

// Settings as the window would hand them over, with the type's own text and
// no editor at the end.
WorksheetSettings settingsFor(ProblemType type, const char* smallest, const char* largest, const char* count,
                              const char* perLine = "5");

// One sheet pair of settings into folder through the services' files, as a
// front end runs it, with the sheet kept.
struct OneRun {
    RunReport report;
    std::optional<Sheet> sheet;
    FileOutcome question;
    FileOutcome answer;
};
OneRun runOne(const WorksheetSettings& settings, const std::string& folder, RunServices& services,
              std::optional<std::uint64_t> seed = std::nullopt, const ProblemConstraints& constraints = {},
              const std::vector<SheetSection>& moreSections = {});

class ScriptedServices : public RunServices {
public:
    // The clock's seed: the number of the call.
    std::uint64_t clockSeed() override { return ++clockCalls; }
    std::unique_ptr<RandomSource> randomSource(std::uint64_t seed) override;
    std::string sheetPath(const std::string& folder, std::string_view fileName) const override
    {
        return nativePath(folder, fileName);
    }
    std::unique_ptr<SheetFile> createSheet(const std::string& path, std::string& reason) override;
    bool startEditor(const std::string& path) override { return launches.push_back(path), editorStarts; }
    bool showFolder(const std::string& folder) override { return foldersShown.push_back(folder), true; }
    void showMessage(const std::string& title, const std::string& text) override { messages.push_back({title, text}); }

    // Files as the run left them, by path; a sheet keeps its old text unless
    // it was committed.
    std::map<std::string, std::string> files;
    // Paths whose creation, write or commit fails.
    std::set<std::string> failCreate, failWrite, failCommit;
    bool editorStarts = true;

    struct Message {
        std::string title, text;
    };
    std::vector<std::string> launches, foldersShown, created;
    std::vector<Message> messages;
    std::uint64_t clockCalls = 0, randomSources = 0; // random sources asked for
};

} // namespace sumlark::testing
