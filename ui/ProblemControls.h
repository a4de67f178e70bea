#pragma once

// The controls of what a run asks of its problems, built, read back and
// checked one way for every dialog that offers them (更多出题条件 and a
// section's dialog): carry, borrow, no repeats, and the problem forms'
// group (题目形式). A form added to the run is added here, once.

#include "ProblemConstraints.h"
#include "Refusal.h"

#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QSpinBox;
class QWidget;

namespace sumlark::ui {

// A range that is used only when its box is checked, every step-th number
// from its low end.
struct RangeFields {
    QCheckBox* limited = nullptr;
    QSpinBox* low = nullptr;
    QSpinBox* high = nullptr;
    QSpinBox* step = nullptr;
};

class ProblemControls {
public:
    // Shows asked; the dialog places carry, borrow and distinct itself and
    // the forms as one group.
    explicit ProblemControls(const ProblemConstraints& asked);

    QComboBox* carry = nullptr;
    QComboBox* borrow = nullptr;
    QCheckBox* distinct = nullptr;
    QGroupBox* forms = nullptr;

    // What the controls show, over constraints' other fields.
    void readInto(ProblemConstraints& constraints) const;
    // The control of one of these choices, else nullptr.
    QWidget* fieldOf(Choice choice) const;
    // The first checked range whose low end is above its high end, or
    // whose step the carry or borrow rule cannot read, refused.
    std::optional<Refusal> rangeRefusal() const;
    // The step's box that a refusal of a step puts the focus in, else nullptr.
    QWidget* focusOf(const Refusal& refusal) const;

private:
    QComboBox* blank_ = nullptr;
    QComboBox* terms_ = nullptr;
    RangeFields first_, second_, result_;
    QCheckBox* noTrivial_ = nullptr;
    QComboBox* compare_ = nullptr;
    QCheckBox* brackets_ = nullptr;
};

} // namespace sumlark::ui
