#pragma once

// The user's choices for one run, as the window shows them: the list texts
// exactly as typed or picked, and the four switches; at first what the
// table of choices starts with.

#include "Choices.h"
#include "ProblemTypes.h"

#include <string>

namespace sumlark {

struct WorksheetSettings {
    ProblemType problemType = static_cast<ProblemType>(initialOf(Choice::Type));
    std::string typeText{problemTypeText(problemType)};
    std::string countText = std::to_string(initialOf(Choice::Count));
    std::string perLineText = std::to_string(initialOf(Choice::PerLine));
    std::string smallestText = std::to_string(initialOf(Choice::Smallest));
    std::string largestText = std::to_string(initialOf(Choice::Largest));
    bool numbered = initialOf(Choice::Numbered) != 0;
    bool writeAnswers = initialOf(Choice::WriteAnswers) != 0;
    bool allowRemainder = initialOf(Choice::Remainder) != 0;
    bool openWhenDone = true; // the window's own: the command line never opens an editor

    friend bool operator==(const WorksheetSettings&, const WorksheetSettings&) = default;
};

} // namespace sumlark
