#include "MainMenu.h"

#include "MainWindow.h"
#include "MoreConditions.h"
#include "PlanMenu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace sumlark::ui {
namespace {

constexpr char kMoreConditions[] = "更多出题条件…";

template <class Slot>
QAction* addAction(QMenu* menu, const char* name, const QString& text, MainWindow* window, Slot slot)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    QObject::connect(action, &QAction::triggered, window, slot);
    return action;
}

} // namespace

void addMainMenu(MainWindow* window)
{
    QMenuBar* bar = window->menuBar();

    QMenu* file = bar->addMenu(QStringLiteral("文件"));
    file->setObjectName(QStringLiteral("mnuFile"));
    addAction(file, "mnuPrint", QStringLiteral("打印…"), window, &MainWindow::printSheets)
        ->setShortcut(QKeySequence::Print);
    addAction(file, "mnuExportPdf", QStringLiteral("导出 PDF…"), window, &MainWindow::exportPdf);
    addAction(file, "mnuOpenFolder", QStringLiteral("打开练习纸所在文件夹"), window, &MainWindow::openSheetFolder);
    file->addSeparator();
    addAction(file, "mnuExit", QStringLiteral("退出"), window, &MainWindow::cmdExit_Click);

    QMenu* options = bar->addMenu(QStringLiteral("选项"));
    options->setObjectName(QStringLiteral("mnuOptions"));
    addAction(options, "mnuMoreConditions", QString::fromUtf8(kMoreConditions), window, &MainWindow::showMoreConditions);

    addPlanMenu(window);

    QMenu* help = bar->addMenu(QStringLiteral("帮助"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    addAction(help, "mnuAbout", QStringLiteral("关于"), window, &MainWindow::cmdHelp_Click);
}

void markMoreConditions(MainWindow* window, const MoreConditions& conditions)
{
    auto* action = window->findChild<QAction*>(QStringLiteral("mnuMoreConditions"));
    if (!action)
        return;
    QString text = QString::fromUtf8(kMoreConditions);
    if (!conditions.moreSections.empty())
        text += QStringLiteral("（已设置，分 %1 段）").arg(conditions.moreSections.size() + 1);
    else if (anyChosen(conditions))
        text += QStringLiteral("（已设置）");
    action->setText(text);
}

} // namespace sumlark::ui
