#pragma once

#include <QDialog>
#include <QString>

#include <array>

class QListWidget;
class QPushButton;

namespace sumlark::ui {

class MainWindow;

// 管理方案: the user's saved plans, to rename, delete, import from a file
// and export to one. Made only when it is asked for.
class PlanManager : public QDialog {
    Q_OBJECT
public:
    explicit PlanManager(MainWindow* window);

private:
    // The saved plans again, the one named selected if it is among them.
    void fill(const QString& selected = {});
    // Only a selected plan can be renamed, deleted or exported.
    void followSelection();
    QString chosenPath() const;
    void renamePlan();
    void deletePlan();
    void importPlan();
    void exportPlan();

    MainWindow* window_;
    QListWidget* list_ = nullptr;
    std::array<QPushButton*, 3> forSelected_{};
};

// Whether a plan may be saved as name: a name planNameProblem passes, and
// one of the user's plans of that name replaced only if the user agrees. A
// refusal is told; a name nobody has saved is taken without asking.
bool mayTakePlanName(QWidget* parent, MainWindow* window, const QString& name);

} // namespace sumlark::ui
