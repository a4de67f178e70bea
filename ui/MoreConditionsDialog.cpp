#include "MoreConditionsDialog.h"

#include "SheetSet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpressionValidator>
#include <QSpinBox>

#include <cmath>

namespace sumlark::ui {
namespace {

// The items are in the order of the rules' enumerators, so an index is a rule.
QComboBox* ruleList(const char* name, std::initializer_list<const char*> items, int current)
{
    auto* list = new QComboBox;
    list->setObjectName(QString::fromLatin1(name));
    for (const char* item : items)
        list->addItem(QString::fromUtf8(item));
    list->setCurrentIndex(current);
    return list;
}

QSpinBox* numberBox(const char* name, int lowest, int highest, int value)
{
    auto* box = new QSpinBox;
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(lowest, highest);
    box->setValue(value);
    return box;
}

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
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmMoreConditions"));
    setWindowTitle(QStringLiteral("更多出题条件"));

    carry_ = ruleList("cmbCarry", {"不限", "必须进位", "不能进位"}, static_cast<int>(conditions.constraints.carry));
    borrow_ = ruleList("cmbBorrow", {"不限", "必须退位", "不能退位"}, static_cast<int>(conditions.constraints.borrow));
    distinct_ = new QCheckBox(QStringLiteral("题目不重复"));
    distinct_->setObjectName(QStringLiteral("ckDistinct"));
    distinct_->setChecked(conditions.constraints.distinct);
    sheets_ = numberBox("spnSheets", 1, kMaxSetSheets, conditions.sheets);

    seed_ = new QLineEdit(conditions.seed ? QString::number(*conditions.seed) : QString());
    seed_->setObjectName(QStringLiteral("txtSeed"));
    seed_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,20}")), seed_));
    seed_->setPlaceholderText(QStringLiteral("每次新的种子"));
    lastSeed_ = new QLabel(lastSeed ? QStringLiteral("上次：%1").arg(*lastSeed) : QString());
    lastSeed_->setObjectName(QStringLiteral("lblLastSeed"));
    // Selectable, so the seed can be copied into the field.
    lastSeed_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* seedRow = new QHBoxLayout;
    seedRow->addWidget(seed_, 1);
    seedRow->addWidget(lastSeed_);

    fontSize_ = numberBox("spnFontSize", pdf::kSmallestFontSize, pdf::kLargestFontSize,
                          static_cast<int>(std::lround(conditions.page.fontSize)));
    fontSize_->setSuffix(QStringLiteral(" 磅"));
    paper_ = ruleList("cmbPaper", {"A4", "Letter"}, static_cast<int>(conditions.page.paper));

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("进位："), carry_);
    form->addRow(QStringLiteral("退位："), borrow_);
    form->addRow(QString(), distinct_);
    form->addRow(QStringLiteral("份数："), sheets_);
    form->addRow(QStringLiteral("种子："), seedRow);
    form->addRow(QStringLiteral("PDF 字号："), fontSize_);
    form->addRow(QStringLiteral("纸张："), paper_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

MoreConditions MoreConditionsDialog::conditions() const
{
    MoreConditions chosen;
    chosen.constraints.carry = static_cast<CarryRule>(carry_->currentIndex());
    chosen.constraints.borrow = static_cast<BorrowRule>(borrow_->currentIndex());
    chosen.constraints.distinct = distinct_->isChecked();
    chosen.sheets = sheets_->value();
    bool ok = false;
    chosen.seed = seedFrom(seed_->text(), ok);
    chosen.page.fontSize = fontSize_->value();
    chosen.page.paper = static_cast<pdf::Paper>(paper_->currentIndex());
    return chosen;
}

void MoreConditionsDialog::accept()
{
    // Twenty digits can still be more than a seed holds.
    bool ok = false;
    seedFrom(seed_->text(), ok);
    if (!ok) {
        QMessageBox::warning(this, windowTitle(), QStringLiteral("种子要是 0 到 18446744073709551615 之间的整数。"));
        seed_->setFocus();
        return;
    }
    QDialog::accept();
}

} // namespace sumlark::ui
