#pragma once

// How the sheets stand on paper, as chosen: the paper, the problems' size
// and their layout. Plain values, so that every front end can hold them;
// pdf/ draws them, the web page lays them out on screen.

#include "Choices.h"

namespace sumlark {

// In the order of the table of choices (Choice::Paper), which names them.
enum class Paper { A4, B5, Kai16, A5, Letter };

// How the problems stand on the page: in rows as on the text sheets, or in
// the column form, operands right-aligned above a rule with room beneath; in
// the order of the table of choices (Choice::Layout).
enum class PageLayout { Rows, Columns };

struct PageChoices {
    Paper paper = static_cast<Paper>(initialOf(Choice::Paper));
    // Points, within the choice's limits; the problems are never printed smaller.
    double fontSize = static_cast<double>(initialOf(Choice::FontSize));
    PageLayout layout = static_cast<PageLayout>(initialOf(Choice::Layout));
    // Printed on both sides: each pupil of a set starts on a sheet of paper
    // of its own, an odd page.
    bool duplex = initialOf(Choice::Duplex) != 0;

    friend bool operator==(const PageChoices&, const PageChoices&) = default;
};

} // namespace sumlark
