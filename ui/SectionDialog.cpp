#include "SectionDialog.h"

#include "ChoiceControls.h"
#include "ChoiceWords.h"
#include "OperationRules.h"
#include "RunPlan.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

namespace sumlark::ui {
namespace {

// The main window's choices have no dialog label: their name says it.
QString nameOf(Choice choice)
{
    return shown(wording::wordsOf(choice).name) + QStringLiteral("：");
}

QCheckBox* switchOf(const char* name, Choice choice, bool checked)
{
    const wording::ChoiceWords& words = wording::wordsOf(choice);
    auto* check = named(new QCheckBox(shown(words.name)), name, wording::filled(words.help, words));
    check->setChecked(checked);
    return check;
}

} // namespace

SectionDialog::SectionDialog(const SheetSection& section, QWidget* parent)
    : QDialog(parent), given_(section), problems_(section.constraints)
{
    setObjectName(QStringLiteral("frmSection"));
    setWindowTitle(QStringLiteral("一段"));
    const WorksheetSettings& settings = section.settings;

    heading_ = named(new QLineEdit(QString::fromStdString(section.heading)), "txtHeading",
                     "印在这一段前面的一行，例如“二、乘法口诀”；可以不填");
    heading_->setPlaceholderText(QStringLiteral("可以不填"));
    type_ = named(new QComboBox, "cmbType", wording::wordsOf(Choice::Type).name);
    fillTypes(type_);
    type_->setCurrentIndex(static_cast<int>(settings.problemType));
    smallest_ = typedList("cmbSmallest", Choice::Smallest, settings.smallestText);
    largest_ = typedList("cmbLargest", Choice::Largest, settings.largestText);
    count_ = typedList("cmbCount", Choice::Count, settings.countText);
    perLine_ = typedList("cmbPerLine", Choice::PerLine, settings.perLineText);
    numbered_ = switchOf("ckNumbered", Choice::Numbered, settings.numbered);
    remainder_ = switchOf("ckRemainder", Choice::Remainder, settings.allowRemainder);
    // As in the main window, a tick set stays while the type has no division.
    const auto followType = [this](int type) {
        remainder_->setEnabled(typeHasOperation(static_cast<ProblemType>(type), Operation::Division));
    };
    followType(type_->currentIndex());
    connect(type_, &QComboBox::currentIndexChanged, this, followType);

    layout_ = ruleList("cmbLayout", Choice::Layout, static_cast<int>(section.layout));

    auto* range = new QHBoxLayout;
    range->addWidget(smallest_, 1);
    range->addWidget(new QLabel(QStringLiteral("到")));
    range->addWidget(largest_, 1);
    auto* counts = new QHBoxLayout;
    counts->addWidget(count_, 1);
    counts->addWidget(new QLabel(QStringLiteral("题，每行")));
    counts->addWidget(perLine_, 1);
    counts->addWidget(new QLabel(QStringLiteral("题")));
    auto* switches = new QHBoxLayout;
    switches->addWidget(numbered_);
    switches->addWidget(remainder_);
    switches->addWidget(problems_.distinct);

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("标题："), heading_);
    form->addRow(nameOf(Choice::Type), type_);
    form->addRow(QStringLiteral("出数范围："), range);
    form->addRow(nameOf(Choice::Count), counts);
    form->addRow(QString(), switches);
    form->addRow(labelOf(Choice::Carry), problems_.carry);
    form->addRow(labelOf(Choice::Borrow), problems_.borrow);
    form->addRow(problems_.forms);
    form->addRow(labelOf(Choice::Layout), layout_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

SheetSection SectionDialog::section() const
{
    SheetSection chosen = given_;
    chosen.heading = heading_->text().trimmed().toStdString();
    WorksheetSettings& settings = chosen.settings;
    settings.problemType = static_cast<ProblemType>(type_->currentIndex());
    settings.typeText = type_->currentText().toStdString();
    settings.smallestText = smallest_->currentText().toStdString();
    settings.largestText = largest_->currentText().toStdString();
    settings.countText = count_->currentText().toStdString();
    settings.perLineText = perLine_->currentText().toStdString();
    settings.numbered = numbered_->isChecked();
    settings.allowRemainder = remainder_->isChecked();
    problems_.readInto(chosen.constraints);
    chosen.layout = static_cast<PageLayout>(layout_->currentIndex());
    return chosen;
}

QWidget* SectionDialog::fieldOf(Choice choice) const
{
    if (QWidget* field = problems_.fieldOf(choice))
        return field;
    switch (choice) {
    case Choice::Smallest: return smallest_;
    case Choice::Largest: return largest_;
    case Choice::Count: return count_;
    case Choice::PerLine: return perLine_;
    case Choice::Numbered: return numbered_;
    case Choice::Remainder: return remainder_;
    case Choice::Layout: return layout_;
    default: return type_;
    }
}

void SectionDialog::accept()
{
    // The checks of 更多出题条件, then the run's own, so that the list
    // never holds a section the run would refuse.
    std::optional<Refusal> refusal = problems_.reversedRange();
    const SheetSection chosen = section();
    if (!refusal && chosen.layout == PageLayout::Columns)
        refusal = columnFormRefusal(chosen.constraints);
    if (!refusal) {
        if (PlanOrRefusal planned = planRun(chosen.settings, chosen.constraints); !planned.plan)
            refusal = std::move(planned.refusal);
    }
    if (refusal)
        return refuse(this, *refusal, fieldOf(refusal->choices.empty() ? Choice::Type : refusal->choices.front()));
    QDialog::accept();
}

} // namespace sumlark::ui
