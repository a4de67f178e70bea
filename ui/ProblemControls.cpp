#include "ProblemControls.h"

#include "ChoiceControls.h"
#include "ChoiceWords.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <utility>

namespace sumlark::ui {
namespace {

// What a new range shows before it is checked: the window's first range.
constexpr WholeRange kShownOperands{1, 10};
constexpr WholeRange kShownResult{0, 10};

// The row of a range within the choice's limits: 限定, low 到 high; unchecked it shows unset.
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
    // A step as wide as the limits still leaves the low end; a result's is
    // held to what the box can show.
    const auto widest = static_cast<int>(std::min<std::uint64_t>(limitsOf(choice).highest - limitsOf(choice).lowest, INT_MAX));
    fields.step = numberBox(("spn" + std::string(name) + "Step").c_str(), 1, widest, static_cast<int>(values.step),
                            "隔几个数取一个：10 到 90、步长 10 是 10、20……90；1 是每个数都取");
    // As wide for a result as for an operand, so that the rows line up.
    const QFontMetrics digits = fields.step->fontMetrics();
    fields.step->setFixedWidth(fields.step->sizeHint().width() - digits.horizontalAdvance(QString::number(widest)) +
                               digits.horizontalAdvance(QStringLiteral("65535")));
    for (QSpinBox* box : {fields.low, fields.high, fields.step}) {
        box->setEnabled(range.has_value());
        QObject::connect(fields.limited, &QCheckBox::toggled, box, &QWidget::setEnabled);
    }
    auto* row = new QHBoxLayout;
    row->addWidget(fields.limited);
    row->addWidget(fields.low, 1);
    row->addWidget(new QLabel(QStringLiteral("到")));
    row->addWidget(fields.high, 1);
    row->addWidget(new QLabel(QStringLiteral("步长")));
    row->addWidget(fields.step);
    return row;
}

std::optional<WholeRange> rangeFrom(const RangeFields& fields)
{
    if (!fields.limited->isChecked())
        return std::nullopt;
    return WholeRange{fields.low->value(), fields.high->value(), fields.step->value()};
}

// The label of the second number's range, which names the third too while
// terms shows three numbers, and is as wide either way.
QLabel* secondRangeLabel(QComboBox* terms)
{
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

} // namespace

ProblemControls::ProblemControls(const ProblemConstraints& asked)
{
    // Lists hold their items in the order of the enumerators, so that an
    // index is a choice.
    carry = ruleList("cmbCarry", Choice::Carry, static_cast<int>(asked.carry));
    borrow = ruleList("cmbBorrow", Choice::Borrow, static_cast<int>(asked.borrow));
    distinct = choiceCheck("ckDistinct", Choice::Distinct, asked.distinct);
    blank_ = ruleList("cmbBlank", Choice::Blank, static_cast<int>(asked.blank));
    terms_ = ruleList("cmbTerms", Choice::Terms, asked.terms - static_cast<int>(limitsOf(Choice::Terms).lowest));
    noTrivial_ = choiceCheck("ckNoTrivial", Choice::NoTrivial, asked.noTrivial);
    compare_ = ruleList("cmbCompare", Choice::Compare, static_cast<int>(asked.compare));
    brackets_ = choiceCheck("ckBrackets", Choice::Brackets, asked.brackets);

    // The forms have a box of their own, so that a dialog still reads as
    // the familiar conditions with one group added.
    forms = new QGroupBox(QStringLiteral("题目形式"));
    forms->setObjectName(QStringLiteral("grpForms"));
    auto* form = new QFormLayout(forms);
    form->addRow(labelOf(Choice::Blank), blank_);
    form->addRow(labelOf(Choice::Terms), terms_);
    form->addRow(labelOf(Choice::First), rangeRow(first_, "First", Choice::First, asked.first, kShownOperands));
    form->addRow(secondRangeLabel(terms_), rangeRow(second_, "Second", Choice::Second, asked.second, kShownOperands));
    form->addRow(labelOf(Choice::Result), rangeRow(result_, "Result", Choice::Result, asked.result, kShownResult));
    form->addRow(noTrivial_);
    form->addRow(labelOf(Choice::Compare), compare_);
    form->addRow(brackets_);
}

void ProblemControls::readInto(ProblemConstraints& constraints) const
{
    constraints.carry = static_cast<CarryRule>(carry->currentIndex());
    constraints.borrow = static_cast<BorrowRule>(borrow->currentIndex());
    constraints.distinct = distinct->isChecked();
    constraints.blank = static_cast<BlankChoice>(blank_->currentIndex());
    constraints.terms = static_cast<int>(limitsOf(Choice::Terms).lowest) + terms_->currentIndex();
    constraints.first = rangeFrom(first_);
    constraints.second = rangeFrom(second_);
    constraints.result = rangeFrom(result_);
    constraints.noTrivial = noTrivial_->isChecked();
    constraints.compare = static_cast<CompareForm>(compare_->currentIndex());
    constraints.brackets = brackets_->isChecked();
}

QWidget* ProblemControls::fieldOf(Choice choice) const
{
    switch (choice) {
    case Choice::Carry: return carry;
    case Choice::Borrow: return borrow;
    case Choice::Distinct: return distinct;
    case Choice::Blank: return blank_;
    case Choice::Terms: return terms_;
    case Choice::First: return first_.low;
    case Choice::Second: return second_.low;
    case Choice::Result: return result_.low;
    case Choice::NoTrivial: return noTrivial_;
    case Choice::Compare: return compare_;
    case Choice::Brackets: return brackets_;
    default: return nullptr;
    }
}

std::optional<Refusal> ProblemControls::rangeRefusal() const
{
    const std::pair<const RangeFields*, Choice> ranges[] = {
        {&first_, Choice::First}, {&second_, Choice::Second}, {&result_, Choice::Result}};
    for (const auto& [range, which] : ranges) {
        if (range->limited->isChecked() && range->low->value() > range->high->value()) {
            Refusal reversed;
            reversed.code = RefusalCode::RangeReversed;
            reversed.choices = {which};
            reversed.range = *rangeFrom(*range);
            return reversed;
        }
    }
    ProblemConstraints asked;
    readInto(asked);
    return digitStepRefusal(asked);
}

QWidget* ProblemControls::focusOf(const Refusal& refusal) const
{
    const Choice which = refusal.choices.empty() ? Choice::Type : refusal.choices.front();
    const bool ofStep = refusal.code == RefusalCode::RangeStepBelowOne || refusal.code == RefusalCode::StepAcrossDigits ||
                        refusal.code == RefusalCode::QuotientStep || refusal.code == RefusalCode::StepInTwoSteps;
    if (ofStep && (which == Choice::First || which == Choice::Second || which == Choice::Result))
        return (which == Choice::First ? first_ : which == Choice::Second ? second_ : result_).step;
    return nullptr;
}

} // namespace sumlark::ui
