#pragma once

#include "MoreConditions.h"

#include <QDialog>

#include <cstdint>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace sumlark::ui {

// 更多出题条件: carry, borrow, no repeats, how many sheets, the seed, and the
// printed size and paper. Shows the choices it is given and, when accepted,
// gives the new ones; whether the engine can meet them is told by the run.
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
    QComboBox* carry_ = nullptr;
    QComboBox* borrow_ = nullptr;
    QCheckBox* distinct_ = nullptr;
    QSpinBox* sheets_ = nullptr;
    QLineEdit* seed_ = nullptr;
    QLabel* lastSeed_ = nullptr;
    QSpinBox* fontSize_ = nullptr;
    QComboBox* paper_ = nullptr;
};

} // namespace sumlark::ui
