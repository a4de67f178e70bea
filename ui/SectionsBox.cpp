#include "SectionsBox.h"

#include "ChoiceControls.h"
#include "ChoiceWords.h"
#include "SectionDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace sumlark::ui {
namespace {

// The sections the list shows without scrolling: enough to read, few
// enough that the dialog keeps a sensible height.
constexpr int kShownLines = 3;

} // namespace

QString sectionLine(const SheetSection& section, int number)
{
    const WorksheetSettings& settings = section.settings;
    QStringList parts{section.heading.empty() ? QStringLiteral("第 %1 段").arg(number) : QString::fromStdString(section.heading).simplified(),
                      QString::fromStdString(settings.typeText + " " + settings.smallestText + "–" + settings.largestText),
                      QString::fromStdString(settings.countText) + QStringLiteral(" 题")};
    const auto item = [](Choice choice, auto value) {
        return shown(wording::wordsOf(choice).items[static_cast<std::size_t>(value)].item);
    };
    if (section.constraints.blank != BlankChoice::Result)
        parts << labelOf(Choice::Blank) + item(Choice::Blank, section.constraints.blank);
    // "三个数", without what its item goes on to explain.
    if (section.constraints.terms != initialOf(Choice::Terms))
        parts << item(Choice::Terms, section.constraints.terms - limitsOf(Choice::Terms).lowest).section(QChar(u'（'), 0, 0);
    if (section.constraints.brackets)
        parts << shown(wording::wordsOf(Choice::Brackets).name);
    parts << item(Choice::Layout, section.layout);
    return parts.join(QStringLiteral(" · "));
}

SectionsBox::SectionsBox(const std::string& heading, std::vector<SheetSection> sections, QWidget* parent)
    : QGroupBox(QStringLiteral("分段"), parent), sections_(std::move(sections))
{
    setObjectName(QStringLiteral("grpSections"));
    heading_ = named(new QLineEdit(QString::fromStdString(heading)), "txtFirstHeading",
                     "印在第 1 段前面的一行，例如“一、口算”；可以不填");
    heading_->setPlaceholderText(QStringLiteral("可以不填"));
    list_ = named(new QListWidget, "lstSections",
                  "第 1 段是主窗口和上面选的题；这里是接在它后面的各段，题号一直往下排");
    list_->setFixedHeight(list_->fontMetrics().lineSpacing() * kShownLines + 2 * list_->frameWidth() + 4);
    auto* add = named(new QPushButton(QStringLiteral("添加…")), "cmdAddSection", "在最后添加一段");
    edit_ = named(new QPushButton(QStringLiteral("编辑…")), "cmdEditSection", "修改选中的一段");
    remove_ = named(new QPushButton(QStringLiteral("删除")), "cmdRemoveSection", "删除选中的一段");
    up_ = named(new QPushButton(QStringLiteral("上移")), "cmdSectionUp", "把选中的一段往前移");
    down_ = named(new QPushButton(QStringLiteral("下移")), "cmdSectionDown", "把选中的一段往后移");
    connect(add, &QPushButton::clicked, this, [this] { edit(static_cast<int>(sections_.size())); });
    connect(edit_, &QPushButton::clicked, this, [this] { edit(list_->currentRow()); });
    // Not on Enter, which the list passes on to the dialog's 确定 as well.
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { edit(list_->currentRow()); });
    connect(remove_, &QPushButton::clicked, this, &SectionsBox::remove);
    connect(up_, &QPushButton::clicked, this, [this] { move(-1); });
    connect(down_, &QPushButton::clicked, this, [this] { move(1); });
    connect(list_, &QListWidget::currentRowChanged, this, &SectionsBox::follow);

    auto* headingRow = new QHBoxLayout;
    headingRow->addWidget(new QLabel(QStringLiteral("第 1 段标题：")));
    headingRow->addWidget(heading_, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* each : {add, edit_, remove_, up_, down_})
        buttons->addWidget(each);
    buttons->addStretch(1);
    auto* box = new QVBoxLayout(this);
    box->addLayout(headingRow);
    box->addWidget(list_);
    box->addLayout(buttons);
    fill(-1);
}

std::string SectionsBox::heading() const
{
    return heading_->text().trimmed().toStdString();
}

void SectionsBox::edit(int row)
{
    const bool added = row >= static_cast<int>(sections_.size());
    SectionDialog dialog(added ? SheetSection{} : sections_[static_cast<std::size_t>(row)], this);
    dialog.setWindowTitle(added ? QStringLiteral("添加一段") : QStringLiteral("编辑一段"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (added)
        sections_.push_back(dialog.section());
    else
        sections_[static_cast<std::size_t>(row)] = dialog.section();
    fill(row);
}

void SectionsBox::remove()
{
    const int row = list_->currentRow();
    sections_.erase(sections_.begin() + row);
    fill(std::min(row, static_cast<int>(sections_.size()) - 1));
}

void SectionsBox::move(int by)
{
    const int row = list_->currentRow();
    std::swap(sections_[static_cast<std::size_t>(row)], sections_[static_cast<std::size_t>(row + by)]);
    fill(row + by);
}

void SectionsBox::fill(int row)
{
    list_->clear();
    // The first in the list is the sheet's second section.
    for (std::size_t i = 0; i < sections_.size(); ++i)
        list_->addItem(sectionLine(sections_[i], static_cast<int>(i) + 2));
    list_->setCurrentRow(row);
    follow(list_->currentRow());
}

void SectionsBox::follow(int row)
{
    const int last = static_cast<int>(sections_.size()) - 1;
    edit_->setEnabled(row >= 0);
    remove_->setEnabled(row >= 0);
    up_->setEnabled(row > 0);
    down_->setEnabled(row >= 0 && row < last);
}

} // namespace sumlark::ui
