#include "ChoiceControls.h"

#include "ChoiceWords.h"
#include "RefusalWords.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
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

QLayout* rangeRow(RangeFields& fields, const char* name, Choice choice, const std::optional<WholeRange>& range,
                  const WholeRange& unset)
{
    const WholeRange values = range.value_or(unset);
    const int lowest = static_cast<int>(limitsOf(choice).lowest), highest = static_cast<int>(limitsOf(choice).highest);
    const std::string limitTip =
        "勾上后，" + std::string(wording::wordsOf(choice).name) + "只在下面的范围里出；不勾就由出数范围决定";
    fields.limited = named(new QCheckBox(QStringLiteral("限定")), ("ck" + std::string(name) + "Range").c_str(),
                           limitTip);
    fields.limited->setChecked(range.has_value());
    fields.low = numberBox(("spn" + std::string(name) + "Low").c_str(), lowest, highest, static_cast<int>(values.low),
                           "范围里最小的数（包括它）");
    fields.high = numberBox(("spn" + std::string(name) + "High").c_str(), lowest, highest,
                            static_cast<int>(values.high), "范围里最大的数（包括它）");
    for (QSpinBox* box : {fields.low, fields.high}) {
        box->setEnabled(range.has_value());
        QObject::connect(fields.limited, &QCheckBox::toggled, box, &QWidget::setEnabled);
    }
    auto* row = new QHBoxLayout;
    row->addWidget(fields.limited);
    row->addWidget(fields.low, 1);
    row->addWidget(new QLabel(QStringLiteral("到")));
    row->addWidget(fields.high, 1);
    return row;
}

QLabel* secondRangeLabel(QComboBox* terms)
{
    // With three numbers the second's range holds for the third as well;
    // the label says so, and is as wide either way.
    auto* label = new QLabel(QStringLiteral("第二、三个数："));
    label->setObjectName(QStringLiteral("lblSecond"));
    label->setMinimumWidth(label->sizeHint().width());
    const auto nameSecond = [label](int shown) {
        label->setText(shown == 1 ? QStringLiteral("第二、三个数：") : labelOf(Choice::Second));
    };
    nameSecond(terms->currentIndex());
    QObject::connect(terms, &QComboBox::currentIndexChanged, label, nameSecond);
    return label;
}

std::optional<WholeRange> rangeFrom(const RangeFields& fields)
{
    if (!fields.limited->isChecked())
        return std::nullopt;
    return WholeRange{fields.low->value(), fields.high->value()};
}

std::optional<Refusal> reversedRange(const RangeFields& first, const RangeFields& second, const RangeFields& result)
{
    const std::pair<const RangeFields*, Choice> ranges[] = {
        {&first, Choice::First}, {&second, Choice::Second}, {&result, Choice::Result}};
    for (const auto& [range, which] : ranges) {
        if (range->limited->isChecked() && range->low->value() > range->high->value()) {
            Refusal reversed;
            reversed.code = RefusalCode::RangeReversed;
            reversed.choices = {which};
            reversed.range = *rangeFrom(*range);
            return reversed;
        }
    }
    return std::nullopt;
}

void refuse(QWidget* dialog, const Refusal& refusal, QWidget* field)
{
    QMessageBox::warning(dialog, dialog->windowTitle(),
                         QString::fromStdString(wording::refusalText(refusal, wording::DialogNaming())));
    field->setFocus();
}

} // namespace sumlark::ui
