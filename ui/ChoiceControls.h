#pragma once

// The controls of the table's choices, made one way wherever a dialog offers
// them: named for the tests, with the choice's tooltip, its list items in
// the order of its values, its limits; and the checks a dialog makes of them
// before it closes.

#include "Choices.h"
#include "Refusal.h"

#include <QString>

#include <string>
#include <string_view>

class QCheckBox;
class QComboBox;
class QSpinBox;
class QWidget;

namespace sumlark::ui {

QString shown(std::string_view text);
// A choice's label, as the table of choices words it.
QString labelOf(Choice choice);

// A control's name for the tests and its tooltip, which says what it does.
void nameControl(QWidget* control, const char* name, std::string_view tip);
template <class Control> Control* named(Control* control, const char* name, std::string_view tip)
{
    nameControl(control, name, tip);
    return control;
}

// The items are in the order of the choice's values, so an index is a value.
QComboBox* ruleList(const char* name, Choice choice, int current);
QSpinBox* numberBox(const char* name, int lowest, int highest, int value, std::string_view tip);
// A box for a whole number within the choice's limits.
QSpinBox* choiceBox(const char* name, Choice choice, int value);
// A check box with the choice's text.
QCheckBox* choiceCheck(const char* name, Choice choice, bool checked);

// The window's lists of the problem types, and of a typed choice (smallest,
// largest, count, per line): its suggestions, the text shown as typed.
void fillTypes(QComboBox* list);
void fillSuggestions(QComboBox* list, Choice choice);
void showText(QComboBox* list, const std::string& text);
// An editable list whose text goes to the run exactly as typed.
void takeTypedText(QComboBox* list);
// Such a list of a typed choice, showing text; its tooltip is the choice's help.
QComboBox* typedList(const char* name, Choice choice, const std::string& text);

// Says why in a box over dialog and puts the focus where the fix is.
void refuse(QWidget* dialog, const Refusal& refusal, QWidget* field);

} // namespace sumlark::ui
