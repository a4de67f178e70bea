#include "MoreConditionsDialog.h"

#include "RefusalWords.h"
#include "SheetSet.h"

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

#include <cmath>
#include <limits>
#include <string>

namespace sumlark::ui {
namespace {

// A control's name for the tests and its tooltip, which says what it does.
template <class Control> Control* named(Control* control, const char* name, const char* tip)
{
    control->setObjectName(QString::fromLatin1(name));
    control->setToolTip(QString::fromUtf8(tip));
    return control;
}

// The items are in the order of the rules' enumerators, so an index is a rule.
QComboBox* ruleList(const char* name, std::initializer_list<const char*> items, int current, const char* tip)
{
    auto* list = named(new QComboBox, name, tip);
    for (const char* item : items)
        list->addItem(QString::fromUtf8(item));
    list->setCurrentIndex(current);
    return list;
}

QSpinBox* numberBox(const char* name, int lowest, int highest, int value, const char* tip)
{
    auto* box = named(new QSpinBox, name, tip);
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

// What a new range shows before it is checked: the window's first range.
constexpr WholeRange kShownOperands{1, 10};
constexpr WholeRange kShownResult{0, 10};

// Operands are 16-bit like the run's range; a result of two of them can need 32 bits.
constexpr int kLowestOperand = -32768;
constexpr int kHighestOperand = 32767;

} // namespace

QLayout* MoreConditionsDialog::rangeRow(RangeFields& fields, const char* name, std::string_view what,
                                        const std::optional<WholeRange>& range, const WholeRange& shown, int lowest,
                                        int highest)
{
    const WholeRange values = range.value_or(shown);
    const std::string limitTip = "勾上后，" + std::string(what) + "只在下面的范围里出；不勾就由出数范围决定";
    fields.limited = named(new QCheckBox(QStringLiteral("限定")), ("ck" + std::string(name) + "Range").c_str(),
                           limitTip.c_str());
    fields.limited->setChecked(range.has_value());
    fields.low = numberBox(("spn" + std::string(name) + "Low").c_str(), lowest, highest, static_cast<int>(values.low),
                           "范围里最小的数（包括它）");
    fields.high = numberBox(("spn" + std::string(name) + "High").c_str(), lowest, highest,
                            static_cast<int>(values.high), "范围里最大的数（包括它）");
    for (QSpinBox* box : {fields.low, fields.high}) {
        box->setEnabled(range.has_value());
        connect(fields.limited, &QCheckBox::toggled, box, &QWidget::setEnabled);
    }
    auto* row = new QHBoxLayout;
    row->addWidget(fields.limited);
    row->addWidget(fields.low, 1);
    row->addWidget(new QLabel(QStringLiteral("到")));
    row->addWidget(fields.high, 1);
    return row;
}

std::optional<WholeRange> MoreConditionsDialog::rangeFrom(const RangeFields& fields)
{
    if (!fields.limited->isChecked())
        return std::nullopt;
    return WholeRange{fields.low->value(), fields.high->value()};
}

MoreConditionsDialog::MoreConditionsDialog(const MoreConditions& conditions, std::optional<std::uint64_t> lastSeed,
                                           QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmMoreConditions"));
    setWindowTitle(QStringLiteral("更多出题条件"));

    carry_ = ruleList("cmbCarry", {"不限", "必须进位", "不能进位"}, static_cast<int>(conditions.constraints.carry),
                      "加法题要不要进位：必须进位的题个位相加满十");
    borrow_ = ruleList("cmbBorrow", {"不限", "必须退位", "不能退位"}, static_cast<int>(conditions.constraints.borrow),
                       "减法题要不要退位：必须退位的题个位不够减");
    distinct_ = named(new QCheckBox(QStringLiteral("题目不重复")), "ckDistinct", "同一张纸上没有两道一样的题");
    distinct_->setChecked(conditions.constraints.distinct);
    sheets_ = numberBox("spnSheets", 1, kMaxSetSheets, conditions.sheets,
                        "一次做几份题目各不相同的练习，例如给全班每人一份；多于 1 份时文件名带编号");

    seed_ = named(new QLineEdit(conditions.seed ? QString::number(*conditions.seed) : QString()), "txtSeed",
                  "种子决定出哪些题：同样的种子和选项总是出一模一样的练习纸，"
                  "换一个种子就是另一份。空着就每次出新题");
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

    fontSize_ = numberBox("spnFontSize", pdf::kSmallestFontSize, pdf::kLargestFontSize,
                          static_cast<int>(std::lround(conditions.page.fontSize)),
                          "打印和 PDF 里题目的字号；纸小放不下时每行少放几道，字号不变");
    fontSize_->setSuffix(QStringLiteral(" 磅"));
    paper_ = named(new QComboBox, "cmbPaper", "导出 PDF 用的纸张；打印时用打印对话框里选的纸张和页边距");
    for (const pdf::PaperName& name : pdf::kPaperNames)
        paper_->addItem(QString::fromUtf8(name.shown), static_cast<int>(name.paper));
    paper_->setCurrentIndex(paper_->findData(static_cast<int>(conditions.page.paper)));

    const ProblemConstraints& asked = conditions.constraints;
    // In the order of the enumerators, so that an index is a choice.
    blank_ = ruleList("cmbBlank", {"不填空（填得数）", "填第一个数", "填第二个数", "混合"}, static_cast<int>(asked.blank),
                      "学生要填的数：得数，或者算式里的一个数，题里写出得数");
    terms_ = ruleList("cmbTerms", {"两个数", "三个数（连加、连减、加减混合）"}, asked.terms == 3 ? 1 : 0,
                      "每道题几个数；三个数只用于加法、减法和加减混合");
    noTrivial_ = named(new QCheckBox(QStringLiteral("不出 ＋0、×1、÷1、a－a、a÷a 这样的题")), "ckNoTrivial",
                       "不出一眼就能看出得数的题，0 不作运算数");
    noTrivial_->setChecked(asked.noTrivial);
    layout_ = ruleList("cmbLayout", {"横排", "竖式"}, static_cast<int>(conditions.page.layout),
                       "打印和 PDF 的排法；竖式只排两个数、填得数的题，文本练习纸总是横排");

    // The problem forms have a box of their own, so that the dialog still
    // reads as the familiar conditions with one group added.
    auto* forms = new QGroupBox(QStringLiteral("题目形式"));
    forms->setObjectName(QStringLiteral("grpForms"));
    auto* formsForm = new QFormLayout(forms);
    formsForm->addRow(QStringLiteral("填空："), blank_);
    formsForm->addRow(QStringLiteral("几个数："), terms_);
    formsForm->addRow(QStringLiteral("第一个数："), rangeRow(first_, "First", "第一个数", asked.first,
                                                       kShownOperands, kLowestOperand, kHighestOperand));
    // With three numbers the second's range holds for the third as well;
    // the label says so, and is as wide either way.
    auto* secondLabel = new QLabel(QStringLiteral("第二、三个数："));
    secondLabel->setObjectName(QStringLiteral("lblSecond"));
    secondLabel->setMinimumWidth(secondLabel->sizeHint().width());
    const auto nameSecond = [secondLabel](int terms) {
        secondLabel->setText(terms == 1 ? QStringLiteral("第二、三个数：") : QStringLiteral("第二个数："));
    };
    nameSecond(terms_->currentIndex());
    connect(terms_, &QComboBox::currentIndexChanged, secondLabel, nameSecond);
    formsForm->addRow(secondLabel, rangeRow(second_, "Second", "第二个数", asked.second, kShownOperands,
                                            kLowestOperand, kHighestOperand));
    formsForm->addRow(QStringLiteral("得数："),
                      rangeRow(result_, "Result", "得数", asked.result, kShownResult,
                               std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    formsForm->addRow(noTrivial_);

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("进位："), carry_);
    form->addRow(QStringLiteral("退位："), borrow_);
    form->addRow(QString(), distinct_);
    form->addRow(forms);
    form->addRow(QStringLiteral("份数："), sheets_);
    form->addRow(QStringLiteral("种子："), seedRow);
    form->addRow(QStringLiteral("PDF 字号："), fontSize_);
    form->addRow(QStringLiteral("纸张："), paper_);
    form->addRow(QStringLiteral("版式（PDF 与打印）："), layout_);
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
    chosen.page.paper = static_cast<pdf::Paper>(paper_->currentData().toInt());
    chosen.constraints.blank = static_cast<BlankChoice>(blank_->currentIndex());
    chosen.constraints.terms = terms_->currentIndex() == 1 ? 3 : 2;
    chosen.constraints.first = rangeFrom(first_);
    chosen.constraints.second = rangeFrom(second_);
    chosen.constraints.result = rangeFrom(result_);
    chosen.constraints.noTrivial = noTrivial_->isChecked();
    chosen.page.layout = static_cast<pdf::PageLayout>(layout_->currentIndex());
    return chosen;
}

QWidget* MoreConditionsDialog::fieldOf(Choice choice) const
{
    switch (choice) {
    case Choice::First:
        return first_.low;
    case Choice::Second:
        return second_.low;
    case Choice::Result:
        return result_.low;
    case Choice::Blank:
        return blank_;
    case Choice::Terms:
        return terms_;
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
        QMessageBox::warning(this, windowTitle(), QStringLiteral("种子要是 0 到 18446744073709551615 之间的整数。"));
        seed_->setFocus();
        return;
    }
    const std::pair<const RangeFields*, Choice> ranges[] = {
        {&first_, Choice::First}, {&second_, Choice::Second}, {&result_, Choice::Result}};
    for (const auto& [range, which] : ranges) {
        if (range->limited->isChecked() && range->low->value() > range->high->value()) {
            Refusal reversed;
            reversed.code = RefusalCode::RangeReversed;
            reversed.choices = {which};
            reversed.range = *rangeFrom(*range);
            const std::string reason = wording::refusalText(reversed, wording::DialogNaming());
            QMessageBox::warning(this, windowTitle(), QString::fromStdString(reason));
            fieldOf(which)->setFocus();
            return;
        }
    }
    // Told here rather than by the run, so that the choices never hold a
    // layout that could not print them.
    const MoreConditions chosen = conditions();
    if (chosen.page.layout == pdf::PageLayout::Columns) {
        if (const auto refusal = columnFormRefusal(chosen.constraints)) {
            QMessageBox::warning(this, windowTitle(),
                                 QString::fromStdString(wording::refusalText(*refusal, wording::DialogNaming())));
            fieldOf(refusal->choices.front())->setFocus();
            return;
        }
    }
    QDialog::accept();
}

} // namespace sumlark::ui
