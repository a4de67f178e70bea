#include "ScriptedServices.h"

#include "MemorySink.h"
#include "SeededRandom.h"
#include "TextSheetSink.h"

#include <stdexcept>

namespace sumlark::testing {
namespace {

// The middle of the slice of [0, 1) that floor(width * r + smallest) maps to v.
double randomFor(int value, double smallest, double largest)
{
    return (value - smallest + 0.5) / (largest - smallest + 1.0);
}

class QueueRandom final : public RandomSource {
public:
    QueueRandom(std::deque<double>& queue, std::size_t& taken) : queue_(queue), taken_(taken) {}

    double next() override
    {
        // A run that wants more numbers than the test scripted would loop
        // on the test's mistake; fail loudly instead.
        if (queue_.empty())
            throw std::runtime_error("the scripted random sequence ran out");
        const double value = queue_.front();
        queue_.pop_front();
        ++taken_;
        return value;
    }

private:
    std::deque<double>& queue_;
    std::size_t& taken_;
};

class MemorySheet final : public SheetFile {
public:
    MemorySheet(ScriptedServices& owner, std::string path) : owner_(owner), path_(std::move(path)) {}

    FileStatus write(std::string_view text) override
    {
        if (owner_.failWrite.count(path_))
            return FileStatus::failure("磁盘已满");
        pending_ += text;
        return FileStatus::success();
    }

    FileStatus commit() override
    {
        if (owner_.failCommit.count(path_))
            return FileStatus::failure("无法替换原来的文件");
        owner_.files[path_] = pending_;
        return FileStatus::success();
    }

private:
    ScriptedServices& owner_;
    std::string path_;
    std::string pending_;
};

} // namespace

OneRun runOne(const WorksheetSettings& settings, const std::string& folder, RunServices& services,
              std::optional<std::uint64_t> seed, const ProblemConstraints& constraints)
{
    TextSheetSink texts(services, folder);
    MemorySink kept;
    SheetSink* const sinks[] = {&texts, &kept};
    OneRun run{runSheets({settings, constraints, 1, seed}, services, sinks), {}, {}, {}};
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

void ScriptedServices::script(const Attempt& attempt, double smallest, double largest)
{
    queue_.push_back((attempt.selector - 0.5) / 12.0);
    queue_.push_back(randomFor(attempt.first, smallest, largest));
    queue_.push_back(randomFor(attempt.second, smallest, largest));
}

void ScriptedServices::scriptAll(const std::vector<Attempt>& attempts, double smallest, double largest)
{
    for (const auto& attempt : attempts)
        script(attempt, smallest, largest);
}

void ScriptedServices::scriptRaw(std::initializer_list<double> values)
{
    queue_.insert(queue_.end(), values);
}

std::unique_ptr<RandomSource> ScriptedServices::randomSource(std::uint64_t seed)
{
    if (useSeededRandom || queue_.empty())
        return RandomServices::randomSource(seed);
    return std::make_unique<QueueRandom>(queue_, randomsTaken);
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

bool ScriptedServices::startEditor(const std::string& path)
{
    launches.push_back(path);
    return editorStarts;
}

bool ScriptedServices::showFolder(const std::string& folder)
{
    foldersShown.push_back(folder);
    return folderShows;
}

void ScriptedServices::showMessage(const std::string& title, const std::string& text)
{
    messages.push_back({title, text});
}

} // namespace sumlark::testing
