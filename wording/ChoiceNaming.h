#pragma once

// How a front end names its choices where a refusal speaks of them: the
// 更多出题条件 dialog by its labels and list items, the command line by its
// options. A later front end adds its own.

#include "ProblemConstraints.h"
#include "Refusal.h"

#include <string>

namespace sumlark::wording {

class ChoiceNaming {
public:
    virtual ~ChoiceNaming() = default;
    // What was chosen, as a reason names it: 填空选的是“填第一个数”.
    virtual std::string chosen(Choice choice, const ProblemConstraints& constraints) const = 0;
    // How to take it back: 把填空改为“不填空（填得数）”.
    virtual std::string undo(Choice choice) const = 0;
};

// The dialog's labels and list items: 填空, 几个数, 版式.
class DialogNaming final : public ChoiceNaming {
public:
    std::string chosen(Choice choice, const ProblemConstraints& constraints) const override;
    std::string undo(Choice choice) const override;
};

// The command line's options: --blank, --terms, --layout.
class OptionNaming final : public ChoiceNaming {
public:
    std::string chosen(Choice choice, const ProblemConstraints& constraints) const override;
    std::string undo(Choice choice) const override;
};

} // namespace sumlark::wording
