#pragma once

// The choices read by the command line's option names and value spellings,
// for every front end that takes them that way: the command line, and the
// web page, whose options and addresses use the same names. A wrong value is
// answered with what is wrong and what is allowed; the front end says who
// answers.

#include "ChoiceWords.h"
#include "PageChoices.h"
#include "SheetRun.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sumlark::wording {

struct OptionChoices {
    // The list texts go to the engine as typed, so they are read exactly as
    // the window's lists are; nothing opens an editor.
    WorksheetSettings settings = [] {
        WorksheetSettings s;
        s.openWhenDone = false;
        return s;
    }();
    ProblemConstraints constraints{};
    std::optional<std::uint64_t> seed;
    int sheets = static_cast<int>(initialOf(Choice::Sheets));
    std::string encoding; // empty: the system's
    std::string folder;   // empty: the current folder
    std::string namesFile; // the list of names; empty: none
    std::string className;
    // A sheet of several sections: the first is the choices above.
    std::string heading;
    std::vector<SheetSection> moreSections;
    bool pdf = initialOf(Choice::Pdf) != 0;
    PageChoices page{};

    // names are the front end's to read from namesFile.
    RunRequest request(std::vector<std::string> names = {}) const
    {
        return {settings, constraints, sheets, seed, std::move(names), className, heading, moreSections};
    }
};

// Names and spellings are read without regard to ASCII case.
std::string lowercaseAscii(std::string_view text);

// The choice whose long option is name ("--type"); null when there is none.
const ChoiceWords* optionNamed(std::string_view name);

// Reads value (ignored for a switch, which turns the other way from where it
// starts) into chosen. The reply when it is no value of the option, naming
// the option as named ("--carry", or "进位" where no option is typed), else
// empty. An encoding is taken as it is: only the front end's services know
// which they have.
std::string readOption(OptionChoices& chosen, const ChoiceWords& words, std::string_view value, std::string_view named);

// The reply to a value that is none of the option's, with what it can be.
std::string wrongValueText(const ChoiceWords& words, std::string_view value, std::string_view named);

} // namespace sumlark::wording
