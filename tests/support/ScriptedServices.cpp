#include "ScriptedServices.h"

#include "MemorySink.h"
#include "TextSheetSink.h"

namespace sumlark::testing {
namespace {

struct MemorySheet final : SheetFile {
    ScriptedServices& owner;
    std::string path, pending;
    MemorySheet(ScriptedServices& o, std::string p) : owner(o), path(std::move(p)) {}
    FileStatus write(std::string_view text) override
    {
        if (owner.failWrite.count(path))
            return FileStatus::failure("磁盘已满");
        pending += text;
        return FileStatus::success();
    }
    FileStatus commit() override
    {
        if (owner.failCommit.count(path))
            return FileStatus::failure("无法替换原来的文件");
        owner.files[path] = pending;
        return FileStatus::success();
    }
};

} // namespace

OneRun runOne(const WorksheetSettings& settings, const std::string& folder, RunServices& services,
              std::optional<std::uint64_t> seed, const ProblemConstraints& constraints,
              const std::vector<SheetSection>& moreSections)
{
    TextSheetSink texts(services, folder);
    MemorySink kept;
    SheetSink* const sinks[] = {&texts, &kept};
    const std::string heading = moreSections.empty() ? "" : "一、口算";
    OneRun run{runSheets({settings, constraints, 1, seed, {}, {}, heading, moreSections}, services, sinks), {}, {}, {}};
    if (!kept.sheets.empty())
        run.sheet = std::move(kept.sheets.front());
    for (const FileOutcome& file : run.report.files)
        (file.kind == FileKind::QuestionSheet ? run.question : run.answer) = file;
    return run;
}

WorksheetSettings settingsFor(ProblemType type, const char* smallest, const char* largest, const char* count,
                              const char* perLine)
{
    WorksheetSettings settings;
    settings.problemType = type;
    settings.typeText = std::string(problemTypeText(type));
    settings.smallestText = smallest;
    settings.largestText = largest;
    settings.countText = count;
    settings.perLineText = perLine;
    settings.openWhenDone = false;
    return settings;
}

std::unique_ptr<RandomSource> ScriptedServices::randomSource(std::uint64_t seed)
{
    ++randomSources;
    return RandomServices::randomSource(seed);
}

std::unique_ptr<SheetFile> ScriptedServices::createSheet(const std::string& path, std::string& reason)
{
    created.push_back(path);
    if (failCreate.count(path)) {
        reason = "文件夹不可写";
        return nullptr;
    }
    return std::make_unique<MemorySheet>(*this, path);
}

} // namespace sumlark::testing
