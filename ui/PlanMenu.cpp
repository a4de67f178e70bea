#include "PlanMenu.h"

#include "MainWindow.h"
#include "OptionReading.h"
#include "PlanFiles.h"
#include "PlanManager.h"

#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>

#include <string>

namespace sumlark::ui {
namespace {

constexpr char kCannotUse[] = "无法使用方案";

std::string quoted(const QString& name)
{
    return "“" + name.toStdString() + "”";
}

void savePlanAs(MainWindow* window)
{
    bool ok = false;
    const QString name = QInputDialog::getText(window, QStringLiteral("保存为方案"),
                                               QStringLiteral("方案的名字（例如“周一口算”）："), QLineEdit::Normal,
                                               QString(), &ok)
                             .trimmed();
    if (!ok || !mayTakePlanName(window, window, name))
        return;
    const FileStatus saved = savePlan(name.toStdString(), wording::planTextOf(window->choicesShown()));
    if (!saved.ok)
        window->tell("保存失败", "方案" + quoted(name) + "没有保存：" + saved.reason);
}

// The options of a plan that only the command line takes, by their names.
std::string commandLineOnly(const wording::OptionChoices& chosen)
{
    std::string names;
    const auto note = [&names](Choice choice, bool given) {
        if (given)
            names += (names.empty() ? "" : "、") + std::string(wording::wordsOf(choice).option);
    };
    note(Choice::Names, !chosen.namesFile.empty());
    note(Choice::Folder, !chosen.folder.empty());
    note(Choice::Encoding, !chosen.encoding.empty());
    note(Choice::Pdf, chosen.pdf != (initialOf(Choice::Pdf) != 0));
    return names;
}

// Sets the window's choices from the plan, all of them: what the plan does
// not say goes back to where it starts, as on the command line.
void usePlan(MainWindow* window, const NamedPlan& plan)
{
    std::string reason;
    const std::optional<wording::PlanText> text = readPlanFile(plan.path, reason);
    if (!text)
        return window->tell(kCannotUse, "方案" + quoted(plan.name) + "读不出来：" + reason + "。");
    wording::OptionChoices chosen;
    if (const std::string complaint = wording::applyPlan(chosen, *text); !complaint.empty())
        return window->tell(kCannotUse, complaint);
    window->showChoices(chosen);
    if (const std::string left = commandLineOnly(chosen); !left.empty())
        window->tell("方案", "已按方案" + quoted(plan.name) + "设置。方案里的 " + left +
                                 " 只在命令行上用，主窗口没有用上；名单请在“更多出题条件”里选。");
}

void addPlans(QMenu* menu, MainWindow* window, const std::vector<NamedPlan>& plans, bool shipped)
{
    for (const NamedPlan& plan : plans) {
        if (plan.shipped != shipped)
            continue;
        QString text = plan.name;
        QAction* action = menu->addAction(text.replace(QLatin1Char('&'), QStringLiteral("&&")));
        action->setToolTip(plan.path);
        QObject::connect(action, &QAction::triggered, window, [window, plan] { usePlan(window, plan); });
    }
}

void fillPlanMenu(QMenu* menu, MainWindow* window)
{
    menu->clear();
    QAction* save = menu->addAction(QStringLiteral("保存为方案…"));
    save->setObjectName(QStringLiteral("mnuSavePlan"));
    QObject::connect(save, &QAction::triggered, window, [window] { savePlanAs(window); });
    const std::vector<NamedPlan> plans = listPlans();
    menu->addSeparator();
    addPlans(menu, window, plans, false);
    menu->addSeparator();
    addPlans(menu, window, plans, true);
    menu->addSeparator();
    QAction* manage = menu->addAction(QStringLiteral("管理方案…"));
    manage->setObjectName(QStringLiteral("mnuManagePlans"));
    QObject::connect(manage, &QAction::triggered, window, [window] { PlanManager(window).exec(); });
}

} // namespace

void addPlanMenu(MainWindow* window)
{
    QMenu* menu = new QMenu(QStringLiteral("方案"), window);
    menu->setObjectName(QStringLiteral("mnuPlans"));
    menu->setToolTipsVisible(true);
    QObject::connect(menu, &QMenu::aboutToShow, window, [menu, window] { fillPlanMenu(menu, window); });
    window->menuBar()->addMenu(menu);
}

} // namespace sumlark::ui
