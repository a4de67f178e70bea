#include "PlanManager.h"

#include "MainWindow.h"
#include "OptionReading.h"
#include "PathBytes.h"
#include "PlanFiles.h"
#include "ShownText.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

#include <algorithm>

namespace sumlark::ui {
namespace {

const QString kSuffix = QStringLiteral(".json");

QString quoted(const QString& name)
{
    return QStringLiteral("“%1”").arg(name);
}

QString shown(const QString& path)
{
    return QString::fromStdString(shownPath(bytesOfPath(QDir::toNativeSeparators(path))));
}

// The user's plans alone: the ready-made ones are the program's.
std::vector<NamedPlan> savedPlans()
{
    std::vector<NamedPlan> plans = listPlans();
    std::erase_if(plans, [](const NamedPlan& plan) { return plan.shipped; });
    return plans;
}

QPushButton* addButton(QVBoxLayout* column, const char* name, const QString& text, const QString& tip)
{
    auto* button = new QPushButton(text);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(tip);
    button->setAutoDefault(false);
    column->addWidget(button);
    return button;
}

} // namespace

bool mayTakePlanName(QWidget* parent, MainWindow* window, const QString& name)
{
    if (const std::string problem = planNameProblem(name.toStdString()); !problem.empty()) {
        window->tell("无法保存方案", "方案的名字" + quoted(name).toStdString() + "不能用：" + problem + "。");
        return false;
    }
    const std::vector<NamedPlan> plans = savedPlans();
    if (std::none_of(plans.begin(), plans.end(), [&name](const NamedPlan& plan) { return plan.name == name; }))
        return true;
    return QMessageBox::question(parent, QStringLiteral("替换方案"),
                                 QStringLiteral("已经有叫%1的方案了。要用新的替换它吗？").arg(quoted(name)),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

PlanManager::PlanManager(MainWindow* window)
    : QDialog(window), window_(window)
{
    setObjectName(QStringLiteral("frmPlans"));
    setWindowTitle(QStringLiteral("管理方案"));

    list_ = new QListWidget;
    list_->setObjectName(QStringLiteral("lstPlans"));
    list_->setToolTip(QStringLiteral("保存过的方案；程序自带的方案不在这里，也不会被改动"));
    list_->setMinimumSize(list_->fontMetrics().horizontalAdvance(QString(16, QChar(0x4E2D))),
                          list_->fontMetrics().lineSpacing() * 10);

    auto* buttons = new QVBoxLayout;
    QPushButton* const rename = addButton(buttons, "cmdRenamePlan", QStringLiteral("重命名…"), QStringLiteral("给选中的方案换个名字"));
    QPushButton* const remove = addButton(buttons, "cmdDeletePlan", QStringLiteral("删除"), QStringLiteral("删除选中的方案（先问一下）"));
    QPushButton* const exportTo =
        addButton(buttons, "cmdExportPlan", QStringLiteral("导出…"), QStringLiteral("把选中的方案另存一份，例如发给同事"));
    QPushButton* const importFrom =
        addButton(buttons, "cmdImportPlan", QStringLiteral("导入…"), QStringLiteral("把一个方案文件（.json）加到保存的方案里"));
    buttons->addStretch(1);
    connect(rename, &QPushButton::clicked, this, &PlanManager::renamePlan);
    connect(remove, &QPushButton::clicked, this, &PlanManager::deletePlan);
    connect(exportTo, &QPushButton::clicked, this, &PlanManager::exportPlan);
    connect(importFrom, &QPushButton::clicked, this, &PlanManager::importPlan);
    forSelected_ = {rename, remove, exportTo};
    connect(list_, &QListWidget::currentRowChanged, this, &PlanManager::followSelection);

    auto* close = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* row = new QHBoxLayout;
    row->addWidget(list_, 1);
    row->addLayout(buttons);
    auto* column = new QVBoxLayout(this);
    column->addLayout(row);
    column->addWidget(close);
    fill();
}

void PlanManager::fill(const QString& selected)
{
    list_->clear();
    for (const NamedPlan& plan : savedPlans()) {
        auto* item = new QListWidgetItem(plan.name, list_);
        item->setData(Qt::UserRole, plan.path);
        if (plan.name == selected)
            list_->setCurrentItem(item);
    }
    if (!list_->currentItem())
        list_->setCurrentRow(list_->count() > 0 ? 0 : -1);
    // An empty list sends no change of row.
    followSelection();
}

void PlanManager::followSelection()
{
    for (QPushButton* button : forSelected_)
        button->setEnabled(list_->currentRow() >= 0);
}

QString PlanManager::chosenPath() const
{
    const QListWidgetItem* item = list_->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

void PlanManager::renamePlan()
{
    const QString old = list_->currentItem()->text();
    bool ok = false;
    const QString name = QInputDialog::getText(this, QStringLiteral("重命名方案"), QStringLiteral("新的名字："),
                                               QLineEdit::Normal, old, &ok)
                             .trimmed();
    if (!ok || name == old || !mayTakePlanName(this, window_, name))
        return;
    // Saved whole under the new name before the old one goes, so that a
    // failure leaves the plan where it was.
    std::string reason;
    const std::optional<wording::PlanText> plan = readPlanFile(chosenPath(), reason);
    const FileStatus saved = plan ? savePlan(name.toStdString(), *plan) : FileStatus::failure(reason);
    if (!saved.ok)
        return window_->tell("重命名失败", "方案" + quoted(old).toStdString() + "没有改名：" + saved.reason + "。");
    // Where file names ignore case, "abc" saved as "ABC" replaced itself:
    // the old one goes only while both are there.
    const std::vector<NamedPlan> plans = savedPlans();
    const auto listed = [&plans](const QString& n) {
        return std::any_of(plans.begin(), plans.end(), [&n](const NamedPlan& plan) { return plan.name == n; });
    };
    if (listed(old) && listed(name) && !QFile::remove(chosenPath()))
        window_->tell("重命名失败", "已另存为" + quoted(name).toStdString() + "，但原来的方案删不掉：" +
                                        shown(chosenPath()).toStdString());
    fill(name);
}

void PlanManager::deletePlan()
{
    const QString name = list_->currentItem()->text();
    if (QMessageBox::question(this, QStringLiteral("删除方案"), QStringLiteral("删除方案%1吗？删除后不能恢复。").arg(quoted(name)),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    QFile file(chosenPath());
    if (!file.remove())
        window_->tell("删除失败", "方案" + quoted(name).toStdString() + "没有删除：" + file.errorString().toStdString());
    fill();
}

void PlanManager::importPlan()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("导入方案"), QString(),
                                                      QStringLiteral("方案文件 (*.json);;所有文件 (*)"));
    if (path.isEmpty())
        return;
    // Read as it will be used, so that a plan that would only be refused
    // later is refused now.
    std::string reason;
    std::optional<wording::PlanText> plan = readPlanFile(path, reason);
    wording::OptionChoices chosen;
    if (plan)
        reason = wording::applyPlan(chosen, *plan);
    if (!reason.empty())
        return window_->tell("无法导入方案", shown(path).toStdString() + " 不是能用的方案：" + reason);
    const QFileInfo file(path);
    const QString name = file.suffix().compare(kSuffix.mid(1), Qt::CaseInsensitive) == 0 ? file.completeBaseName() : file.fileName();
    if (!mayTakePlanName(this, window_, name))
        return;
    if (const FileStatus saved = savePlan(name.toStdString(), *plan); !saved.ok)
        return window_->tell("导入失败", "方案" + quoted(name).toStdString() + "没有保存：" + saved.reason);
    fill(name);
}

void PlanManager::exportPlan()
{
    const QString name = list_->currentItem()->text();
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("导出方案"), QDir::home().filePath(name + kSuffix),
                                                QStringLiteral("方案文件 (*.json)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(kSuffix))
        path += kSuffix;
    // The plan's own bytes, written whole or not at all.
    QFile from(chosenPath());
    QSaveFile to(path);
    const bool copied = from.open(QIODevice::ReadOnly) && to.open(QIODevice::WriteOnly) &&
                        to.write(from.read(kMaxPlanFileBytes)) >= 0 && to.commit();
    if (!copied)
        window_->tell("导出失败", "方案" + quoted(name).toStdString() + "没有导出到 " + shown(path).toStdString() + "：" +
                                      (from.error() != QFile::NoError ? from : static_cast<QFileDevice&>(to)).errorString().toStdString());
}

} // namespace sumlark::ui
