#pragma once

// The command line of sumlark-cli: the table of choices as options, each
// starting where the window does, with what only the command line offers.

#include "OptionReading.h"
#include "PlanOptions.h"

#include <string>
#include <vector>

namespace sumlark::cli {

// What the options chose, read as every front end that takes options reads them.
using CliOptions = wording::OptionChoices;

struct CommandLine {
    enum class Action { Run, Help, Version, ListPlans, Error };
    Action action = Action::Run;
    CliOptions options;
    std::string error; // what was wrong and what is allowed
    // --save-plan: the name to save the options as, and the plan to save:
    // --plan's with the options given beside it.
    std::string planName;
    wording::PlanText plan;
};

// The arguments after the program name, as UTF-8.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

std::string helpText();
std::string versionText();

} // namespace sumlark::cli
