#pragma once

#include "ProblemControls.h"
#include "SheetRun.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace sumlark::ui {

// One section of a sheet after the first: its heading, what the main window
// chooses for a sheet (type, range, count, per line, numbers, remainders)
// and what 更多出题条件 chooses for its problems (carry, borrow, no repeats,
// the problem forms, the layout), with the same controls. 确定 closes it
// only on a section the run can make, else it says why and puts the focus
// where the fix is.
class SectionDialog : public QDialog {
    Q_OBJECT
public:
    SectionDialog(const SheetSection& section, QWidget* parent);

    // The section shown; what the dialog has no control for stays as given.
    SheetSection section() const;

public slots:
    void accept() override;

private:
    QWidget* fieldOf(Choice choice) const;

    SheetSection given_;
    QLineEdit* heading_ = nullptr;
    QComboBox* type_ = nullptr;
    QComboBox* smallest_ = nullptr;
    QComboBox* largest_ = nullptr;
    QComboBox* count_ = nullptr;
    QComboBox* perLine_ = nullptr;
    QCheckBox* numbered_ = nullptr;
    QCheckBox* remainder_ = nullptr;
    ProblemControls problems_;
    QComboBox* layout_ = nullptr;
};

} // namespace sumlark::ui
