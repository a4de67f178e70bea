#include "MoreConditionsDialog.h"

#include "ChoiceControls.h"
#include "ChoiceWords.h"
#include "NamesDialog.h"
#include "PupilNames.h"
#include "SectionsBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>

#include <algorithm>
#include <cmath>
#include <string>

namespace sumlark::ui {
namespace {

std::optional<std::uint64_t> seedFrom(const QString& text, bool& ok)
{
    ok = true;
    if (text.isEmpty())
        return std::nullopt;
    const qulonglong seed = text.toULongLong(&ok);
    return ok ? std::optional<std::uint64_t>(seed) : std::nullopt;
}

} // namespace

MoreConditionsDialog::MoreConditionsDialog(const MoreConditions& conditions, std::optional<std::uint64_t> lastSeed,
                                           QWidget* parent)
    : QDialog(parent), problems_(conditions.constraints)
{
    setObjectName(QStringLiteral("frmMoreConditions"));
    setWindowTitle(QStringLiteral("更多出题条件"));

    sheets_ = choiceBox("spnSheets", Choice::Sheets, conditions.sheets);
    // The list's button beside 份数, which follows it: its own label and
    // "…", as a button that opens a dialog says.
    namesButton_ = named(new QPushButton, "cmdNames", wording::wordsOf(Choice::Names).tip);
    namesButton_->setAutoDefault(false);
    connect(namesButton_, &QPushButton::clicked, this, &MoreConditionsDialog::editNames);
    takeNames(conditions.names);
    auto* sheetsRow = new QHBoxLayout;
    sheetsRow->addWidget(sheets_, 1);
    sheetsRow->addWidget(namesButton_);
    className_ = named(new QLineEdit(QString::fromStdString(conditions.className)), "txtClass",
                       wording::wordsOf(Choice::ClassName).tip);
    className_->setPlaceholderText(QStringLiteral("可以不填"));

    seed_ = named(new QLineEdit(conditions.seed ? QString::number(*conditions.seed) : QString()), "txtSeed",
                  wording::wordsOf(Choice::Seed).tip);
    seed_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,20}")), seed_));
    seed_->setPlaceholderText(QStringLiteral("每次新的种子"));
    // The last seed in a field of its own, so that it can be selected and
    // copied like any text, and a button that puts it into 种子.
    lastSeed_ = named(new QLineEdit(lastSeed ? QString::number(*lastSeed) : QString()), "txtLastSeed",
                      "上一次生成用的种子；用它可以把同一份练习再出一次");
    lastSeed_->setReadOnly(true);
    lastSeed_->setPlaceholderText(QStringLiteral("还没有生成过"));
    auto* useLast = named(new QPushButton(QStringLiteral("用上次的种子")), "cmdUseLastSeed",
                          "把上次的种子填进“种子”，再生成就得到同一份练习");
    useLast->setEnabled(lastSeed.has_value());
    useLast->setAutoDefault(false);
    connect(useLast, &QPushButton::clicked, this, [this] { seed_->setText(lastSeed_->text()); });
    // Wide enough for the longest seed, so the dialog keeps one width.
    const int seedWidth = seed_->fontMetrics().horizontalAdvance(QString(21, QLatin1Char('0')));
    seed_->setMinimumWidth(seedWidth);
    lastSeed_->setMinimumWidth(seedWidth);
    auto* seedRow = new QHBoxLayout;
    seedRow->addWidget(seed_, 1);
    seedRow->addWidget(new QLabel(QStringLiteral("上次：")));
    seedRow->addWidget(lastSeed_, 1);
    seedRow->addWidget(useLast);

    fontSize_ = choiceBox("spnFontSize", Choice::FontSize, static_cast<int>(std::lround(conditions.page.fontSize)));
    fontSize_->setSuffix(" " + shown(wording::wordsOf(Choice::FontSize).unit));
    paper_ = ruleList("cmbPaper", Choice::Paper, static_cast<int>(conditions.page.paper));

    layout_ = ruleList("cmbLayout", Choice::Layout, static_cast<int>(conditions.page.layout));
    duplex_ = choiceCheck("ckDuplex", Choice::Duplex, conditions.page.duplex);

    auto* form = new QFormLayout(this);
    form->addRow(labelOf(Choice::Carry), problems_.carry);
    form->addRow(labelOf(Choice::Borrow), problems_.borrow);
    form->addRow(QString(), problems_.distinct);
    form->addRow(problems_.forms);
    form->addRow(labelOf(Choice::Sheets), sheetsRow);
    form->addRow(labelOf(Choice::ClassName), className_);
    form->addRow(labelOf(Choice::Seed), seedRow);
    form->addRow(labelOf(Choice::FontSize), fontSize_);
    form->addRow(labelOf(Choice::Paper), paper_);
    form->addRow(labelOf(Choice::Layout), layout_);
    form->addRow(QString(), duplex_);
    addSections(form, conditions);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

MoreConditions MoreConditionsDialog::conditions() const
{
    MoreConditions chosen;
    problems_.readInto(chosen.constraints);
    chosen.sheets = names_.empty() ? sheets_->value() : ownSheets_;
    chosen.names = names_;
    chosen.className = className_->text().trimmed().toStdString();
    bool ok = false;
    chosen.seed = seedFrom(seed_->text(), ok);
    chosen.page.fontSize = fontSize_->value();
    chosen.page.paper = static_cast<pdf::Paper>(paper_->currentIndex());
    chosen.page.layout = static_cast<pdf::PageLayout>(layout_->currentIndex());
    chosen.page.duplex = duplex_->isChecked();
    chosen.heading = sections_->heading();
    chosen.moreSections = sections_->sections();
    return chosen;
}

void MoreConditionsDialog::addSections(QFormLayout* form, const MoreConditions& conditions)
{
    sections_ = new SectionsBox(conditions.heading, conditions.moreSections);
    form->addRow(sections_);
}

void MoreConditionsDialog::takeNames(std::vector<std::string> names)
{
    if (names_.empty())
        ownSheets_ = sheets_->value();
    names_ = std::move(names);
    const bool listed = !names_.empty();
    // A list longer than a set holds is shown as it is; accept() refuses it.
    const int most = static_cast<int>(limitsOf(Choice::Sheets).highest);
    sheets_->setMaximum(listed ? std::max(most, static_cast<int>(names_.size())) : most);
    sheets_->setValue(listed ? static_cast<int>(names_.size()) : ownSheets_);
    sheets_->setEnabled(!listed);
    QString label = labelOf(Choice::Names);
    label.chop(1); // its colon
    namesButton_->setText(listed ? QStringLiteral("%1…（%2 人）").arg(label).arg(names_.size()) : label + "…");
}

void MoreConditionsDialog::editNames()
{
    NamesDialog dialog(names_, this);
    if (dialog.exec() == QDialog::Accepted)
        takeNames(dialog.names());
}

QWidget* MoreConditionsDialog::fieldOf(Choice choice) const
{
    if (QWidget* field = problems_.fieldOf(choice))
        return field;
    switch (choice) {
    case Choice::Names:
        return namesButton_;
    case Choice::ClassName:
        return className_;
    default:
        return layout_;
    }
}

void MoreConditionsDialog::accept()
{
    // Twenty digits can still be more than a seed holds.
    bool ok = false;
    seedFrom(seed_->text(), ok);
    if (!ok) {
        const auto& seed = limitsOf(Choice::Seed);
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("种子要是 %1 到 %2 之间的整数。").arg(seed.lowest).arg(seed.highest));
        seed_->setFocus();
        return;
    }
    if (const std::optional<Refusal> reversed = problems_.reversedRange())
        return refuse(this, *reversed, fieldOf(reversed->choices.front()));
    // Told here rather than by the run, so that the choices never hold a
    // layout that could not print them, or a list no run can take.
    const MoreConditions chosen = conditions();
    std::optional<Refusal> refusal = namesRefusal(chosen.names, chosen.className);
    if (!refusal && chosen.page.layout == pdf::PageLayout::Columns)
        refusal = columnFormRefusal(chosen.constraints);
    if (refusal)
        return refuse(this, *refusal, fieldOf(refusal->choices.front()));
    QDialog::accept();
}

} // namespace sumlark::ui
