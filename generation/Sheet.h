#pragma once

// A worksheet as data: everything one run made, in the order the sheets
// print it. The text sheets and the printed pages are all drawn from it, so
// none of them has to read another's output.

#include "PageChoices.h"
#include "ProblemTypes.h"
#include "SheetProblem.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sumlark {

struct Sheet {
    // The settings' texts as the header and summary lines print them.
    std::string countText;
    std::string typeText;
    std::string smallestText;
    std::string largestText;
    ProblemType type = ProblemType::Addition;
    bool numbered = false;
    bool writeAnswers = true;
    int serialWidth = 2; // digits of the serial prefix
    int perLine = 0;     // problems per line; 0: one a line
    std::vector<SheetProblem> problems; // in sheet order
    std::uint64_t seed = 0;
    std::string tag; // of one pair among several, "01", "01-张三"; empty for a single pair
    // Printed on the pages' name line; the text sheets do not hold them.
    std::string pupil;
    std::string className;
    // A sheet of several sections holds each as a sheet of its own, in
    // order, with its heading; problems then holds all of theirs in order,
    // and the texts above speak of the whole. Empty for a sheet of one.
    std::vector<Sheet> sections;
    std::string heading; // of a section: "一、口算"; may be empty
    // Of a section after the first, how it stands on paper; the first, and
    // a sheet of one section, stand as the page's choices say.
    PageLayout layout = PageLayout::Rows;

    // The serial prefix of the problem at index (0-based): "07) ", or
    // nothing when the problems are not numbered.
    std::string serialPrefix(std::size_t index) const;
};

// A question cell (prefix, operands, sign, "=") and an answer cell, which
// adds the result, "q...r" for a division with a remainder. A blank operand
// is "（  ）" on the question and filled on the answer, "7＋（5）=12"; a
// blank operand's question shows the result.
void appendQuestionCell(std::string& out, std::string_view serialPrefix, const SheetProblem& problem);
void appendAnswerCell(std::string& out, std::string_view serialPrefix, const SheetProblem& problem);

// Operands and results as the cells write them: whole numbers, no "-0".
void appendWhole(std::string& out, double value);

} // namespace sumlark
