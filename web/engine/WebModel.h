#pragma once

// What the engine's entry hands the page: as JSON, the table of choices with
// their words, and a run's sheets (what each holds, without its problems and
// texts) or its refusal in the window's words; each sheet's problems as plain
// numbers, which the page reads straight from memory, its texts apart. Keys are
// the command line's option names without "--"; values their spellings.

#include "OptionReading.h"
#include "Refusal.h"
#include "Sheet.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace sumlark::web {

// Every choice, in the table's order: kind, limits, first value, words.
std::string choiceTableJson();

// {seed, model: {page, sheets}}: the set's seed, the page's choices and each
// sheet's number, seed, tag, settings' texts and switches, and its number of
// problems.
std::string sheetsJson(std::span<const Sheet> sheets, const wording::OptionChoices& chosen, std::uint64_t seed);

// Each problem as kProblemNumbers numbers, in this order: operation (its
// place: + - x /), left, right, result, remainder, terms, the third number's
// operation, third, blank (result, first, second); then of a comparison its
// form (none, number, expression), the other side's first number (the number
// alone), operation and second number, and the relation (less, equal,
// greater); last, of three numbers, its brackets: none (0), around the first
// two (1) or the last two (2).
inline constexpr std::size_t kProblemNumbers = 15;
std::vector<double> problemNumbers(const Sheet& sheet);

// {refusal: {code, choices, text}}; code names the engine's refusal, or is
// WrongValue for a value no option takes.
std::string refusalJson(const Refusal& refusal);
std::string wrongValueJson(Choice choice, const std::string& text);

} // namespace sumlark::web
