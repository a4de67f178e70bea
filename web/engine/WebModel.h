#pragma once

// What the engine's entry hands the page, as JSON: the table of choices with
// their words, and a run's sheets (texts and problems as data) or its refusal
// in the window's words. Keys are the command line's option names without
// "--"; values their spellings.

#include "OptionReading.h"
#include "Refusal.h"
#include "Sheet.h"

#include <cstdint>
#include <span>
#include <string>

namespace sumlark::web {

// Every choice, in the table's order: kind, limits, first value, words.
std::string choiceTableJson();

// {question, answer, seed, model}: the first sheet's two texts, the set's
// seed and every sheet as data, with the page's choices.
std::string sheetsJson(std::span<const Sheet> sheets, const wording::OptionChoices& chosen, std::uint64_t seed);

// {refusal: {code, choices, text}}; code names the engine's refusal, or is
// WrongValue for a value no option takes.
std::string refusalJson(const Refusal& refusal);
std::string wrongValueJson(Choice choice, const std::string& text);

} // namespace sumlark::web
