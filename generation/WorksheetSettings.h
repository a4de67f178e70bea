#pragma once

// The user's choices for one run, as the window shows them: the list texts
// exactly as typed or picked, and the four switches.

#include "ProblemTypes.h"

#include <string>

namespace sumlark {

struct WorksheetSettings {
    ProblemType problemType = ProblemType::Addition;
    std::string typeText = "加法(＋)";
    std::string countText = "10";
    std::string perLineText = "5";
    std::string smallestText = "1";
    std::string largestText = "10";
    bool numbered = false;
    bool writeAnswers = true;
    bool allowRemainder = false;
    bool openWhenDone = true;

    friend bool operator==(const WorksheetSettings&, const WorksheetSettings&) = default;
};

} // namespace sumlark
