#pragma once

// The text sheets of a run: each sheet's question and answer sheet written
// whole through a file service into one folder, then put in place together.
// The service owns the folder, its lock and the separator; the engine only
// names the files.

#include "RunServices.h"
#include "SheetRun.h"

#include <string>

namespace sumlark {

class TextSheetSink : public SheetSink {
public:
    TextSheetSink(SheetFileServices& files, std::string folder) : files_(files), folder_(std::move(folder)) {}

    PlaceStatus open() override;
    void close() override;
    void nameFiles(int number, int count, const std::string& tag, bool answers, std::vector<FileOutcome>& files) const override;
    std::unique_ptr<StagedFiles> stage(const Sheet& sheet, int number, int count, RunReport& report) override;

    const std::string& folder() const { return folder_; }

protected:
    // For a sink that settles the folder itself when it opens.
    void setFolder(std::string folder) { folder_ = std::move(folder); }
    SheetFileServices& files() const { return files_; }

private:
    SheetFileServices& files_;
    std::string folder_;
};

} // namespace sumlark
