#pragma once

#include "ProblemControls.h"
#include "MoreConditions.h"
#include "Refusal.h"

#include <QDialog>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace sumlark::ui {

class SectionsBox;

// 更多出题条件: carry, borrow, no repeats, the problem forms (a blank
// operand, three numbers, ranges for each number, no problems that answer
// themselves), how many sheets or a class's names and its class, the seed,
// the printed size, paper, layout and two-sided printing, and the sheet's
// sections (分段). Shows the choices it is given and, when accepted, gives
// the new ones; whether the engine can meet them is told by the run.
class MoreConditionsDialog : public QDialog {
    Q_OBJECT
public:
    // lastSeed: the seed of the window's last run, shown beside the field so
    // that a sheet can be made again.
    MoreConditionsDialog(const MoreConditions& conditions, std::optional<std::uint64_t> lastSeed, QWidget* parent);

    MoreConditions conditions() const;

public slots:
    void accept() override;

private:
    // Where a refusal that concerns choice puts the focus.
    QWidget* fieldOf(Choice choice) const;
    // The list in force: 份数 follows it while it holds names.
    void takeNames(std::vector<std::string> names);
    void editNames();
    // 分段: the first section's heading and the sections after it.
    void addSections(QFormLayout* form, const MoreConditions& conditions);

    ProblemControls problems_;
    QSpinBox* sheets_ = nullptr;
    int ownSheets_ = 0; // 份数 as set, shown again when the list is cleared
    QPushButton* namesButton_ = nullptr;
    std::vector<std::string> names_;
    QLineEdit* className_ = nullptr;
    QLineEdit* seed_ = nullptr;
    QLineEdit* lastSeed_ = nullptr; // read-only
    QSpinBox* fontSize_ = nullptr;
    QComboBox* paper_ = nullptr;
    QComboBox* layout_ = nullptr;
    QCheckBox* duplex_ = nullptr;
    SectionsBox* sections_ = nullptr;
};

} // namespace sumlark::ui
