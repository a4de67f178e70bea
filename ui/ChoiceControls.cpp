#include "ChoiceControls.h"

#include "ChoiceWords.h"
#include "RefusalWords.h"

#include <QCheckBox>
#include <QComboBox>
#include <QMessageBox>
#include <QSpinBox>

namespace sumlark::ui {

QString shown(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString labelOf(Choice choice)
{
    return shown(wording::wordsOf(choice).label);
}

void nameControl(QWidget* control, const char* name, std::string_view tip)
{
    control->setObjectName(QString::fromLatin1(name));
    control->setToolTip(shown(tip));
}

QComboBox* ruleList(const char* name, Choice choice, int current)
{
    const wording::ChoiceWords& words = wording::wordsOf(choice);
    auto* list = named(new QComboBox, name, words.tip);
    for (const wording::ItemWords& item : words.items)
        list->addItem(shown(item.item));
    list->setCurrentIndex(current);
    return list;
}

QSpinBox* numberBox(const char* name, int lowest, int highest, int value, std::string_view tip)
{
    auto* box = named(new QSpinBox, name, tip);
    box->setRange(lowest, highest);
    box->setValue(value);
    return box;
}

QSpinBox* choiceBox(const char* name, Choice choice, int value)
{
    const ChoiceLimits& limits = limitsOf(choice);
    return numberBox(name, static_cast<int>(limits.lowest), static_cast<int>(limits.highest), value,
                     wording::wordsOf(choice).tip);
}

QCheckBox* choiceCheck(const char* name, Choice choice, bool checked)
{
    const wording::ChoiceWords& words = wording::wordsOf(choice);
    auto* check = named(new QCheckBox(shown(words.label)), name, words.tip);
    check->setChecked(checked);
    return check;
}

void fillTypes(QComboBox* list)
{
    for (int type = 0; type < kProblemTypeCount; ++type)
        list->addItem(shown(problemTypeText(static_cast<ProblemType>(type))));
}

void fillSuggestions(QComboBox* list, Choice choice)
{
    for (const std::string_view item : wording::suggestionsOf(choice))
        list->addItem(shown(item));
    list->setCurrentIndex(list->findText(QString::number(initialOf(choice))));
}

// An editable list shows text as typed, selected when it is one of the list's.
void showText(QComboBox* list, const std::string& text)
{
    const QString typed = QString::fromStdString(text);
    list->setCurrentIndex(list->findText(typed));
    list->setEditText(typed);
}

void takeTypedText(QComboBox* list)
{
    // No completion to a longer item, and Enter adds nothing to the list.
    list->setEditable(true);
    list->setCompleter(nullptr);
    list->setInsertPolicy(QComboBox::NoInsert);
}

QComboBox* typedList(const char* name, Choice choice, const std::string& text)
{
    const wording::ChoiceWords& words = wording::wordsOf(choice);
    auto* list = named(new QComboBox, name, wording::filled(words.help, words));
    takeTypedText(list);
    fillSuggestions(list, choice);
    showText(list, text);
    return list;
}

void refuse(QWidget* dialog, const Refusal& refusal, QWidget* field)
{
    QMessageBox::warning(dialog, dialog->windowTitle(),
                         QString::fromStdString(wording::refusalText(refusal, wording::DialogNaming())));
    field->setFocus();
}

} // namespace sumlark::ui
