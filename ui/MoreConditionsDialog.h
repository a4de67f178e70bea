#pragma once

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
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace sumlark::ui {

// 更多出题条件: carry, borrow, no repeats, the problem forms (a blank
// operand, three numbers, ranges for each number, no problems that answer
// themselves), how many sheets or a class's names and its class, the seed,
// and the printed size, paper, layout and two-sided printing. Shows the
// choices it is given and, when accepted, gives the new ones; whether the
// engine can meet them is told by the run.
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
    // A range that is used only when its box is checked.
    struct RangeFields {
        QCheckBox* limited = nullptr;
        QSpinBox* low = nullptr;
        QSpinBox* high = nullptr;
    };
    // The row of a range within the choice's limits: 限定, low 到 high; unchecked it shows unset.
    static QLayout* rangeRow(RangeFields& fields, const char* name, Choice choice,
                             const std::optional<WholeRange>& range, const WholeRange& unset);
    static std::optional<WholeRange> rangeFrom(const RangeFields& fields);
    // Where a refusal that concerns choice puts the focus.
    QWidget* fieldOf(Choice choice) const;
    // The list in force: 份数 follows it while it holds names.
    void takeNames(std::vector<std::string> names);
    void editNames();

    QComboBox* carry_ = nullptr;
    QComboBox* borrow_ = nullptr;
    QCheckBox* distinct_ = nullptr;
    QSpinBox* sheets_ = nullptr;
    int ownSheets_ = 0; // 份数 as set, shown again when the list is cleared
    QPushButton* namesButton_ = nullptr;
    std::vector<std::string> names_;
    QLineEdit* className_ = nullptr;
    QLineEdit* seed_ = nullptr;
    QLineEdit* lastSeed_ = nullptr; // read-only
    QSpinBox* fontSize_ = nullptr;
    QComboBox* paper_ = nullptr;
    QComboBox* blank_ = nullptr;
    QComboBox* terms_ = nullptr;
    RangeFields first_, second_, result_;
    QCheckBox* noTrivial_ = nullptr;
    QComboBox* compare_ = nullptr;
    QComboBox* layout_ = nullptr;
    QCheckBox* duplex_ = nullptr;
};

} // namespace sumlark::ui
