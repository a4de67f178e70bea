#pragma once

// A run kept in memory: every sheet, and its two texts when asked for, for
// printing the sheets again, tests, benchmarks and fuzzing.

#include "SheetRun.h"

#include <string>
#include <vector>

namespace sumlark {

class MemorySink : public SheetSink {
public:
    explicit MemorySink(bool keepTexts = false) : keepTexts_(keepTexts) {}

    struct Texts {
        std::string question;
        std::string answer;
    };
    std::vector<Sheet> sheets;
    std::vector<Texts> texts; // one for each sheet when texts are kept

    std::unique_ptr<StagedFiles> stage(const Sheet& sheet, int number, int count, RunReport& report) override;

private:
    bool keepTexts_;
};

} // namespace sumlark
