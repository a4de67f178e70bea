#pragma once

// The words of each choice of the table (generation/Choices.h), once: how a
// sentence names it, its command-line option with the spellings of its
// values, --help's lines, and the 更多出题条件 dialog's label, tooltip and
// list items. Every front end reads them from here; plain data, so that it
// can be written out as it is.

#include "Choices.h"

#include <span>
#include <string>
#include <string_view>

namespace sumlark::wording {

// The parts of --help that list options.
enum class OptionSection { None, Problems, Output };

// One value of a list, in the order of the list's places.
struct ItemWords {
    std::string_view spelling = {}; // on the command line: with; empty where none is spelt
    std::string_view meaning = {};  // what a wrong value's reply says it is: 加法都要进位
    std::string_view item = {};     // the dialog's list item: 必须进位
};

// In help and allowed, {lowest}, {highest}, {initial} and {unit} stand for
// the choice's limits and unit; allowed may also hold {spellings} (a、b、c)
// and {meanings} (a（…）、b（…）或 c（…）).
struct ChoiceWords {
    Choice choice;
    std::string_view name = {};        // how a sentence names it: 第一个数
    std::string_view option = {};      // --first; empty: not on the command line
    std::string_view shortOption = {}; // -o
    std::string_view valueName = {};   // --type 类型; empty: its spellings joined by |
    OptionSection section = {};
    std::string_view help = {};        // --help's lines, joined by \n
    std::string_view allowed = {};     // what a wrong value's reply offers instead
    bool byPlace = {};                 // a list's values may be given by their place too
    std::string_view label = {};       // the dialog's label or check box text
    std::string_view tip = {};         // the dialog's tooltip
    std::string_view unit = {};        // 磅
    std::span<const ItemWords> items = {};
};

// Every choice, in the order of the table.
std::span<const ChoiceWords> choiceWords();
const ChoiceWords& wordsOf(Choice choice);

// The values the main window's list offers for a number typed into it
// (smallest, largest, count, per line), the choice's first value among them.
std::span<const std::string_view> suggestionsOf(Choice choice);

// A text of the choice with its limits, unit and values in place.
std::string filled(std::string_view text, const ChoiceWords& words);
// How --help shows the option: "--carry with|without", "--out 文件夹, -o 文件夹".
std::string usage(const ChoiceWords& words);

} // namespace sumlark::wording
