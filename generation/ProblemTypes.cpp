#include "ProblemTypes.h"

#include <array>

namespace sumlark {

std::string_view signOf(Operation operation)
{
    switch (operation) {
    case Operation::Addition:
        return "＋";
    case Operation::Subtraction:
        return "－";
    case Operation::Multiplication:
        return "×";
    case Operation::Division:
        return "÷";
    }
    return "＋";
}

std::string_view problemTypeText(ProblemType type)
{
    static constexpr std::array<std::string_view, kProblemTypeCount> texts = {
        "加法(＋)",
        "减法(－)",
        "乘法(×)",
        "除法(÷)",
        "加法、减法 混合",
        "乘法、除法 混合",
        "加法、减法、乘法 混合",
        "加法、减法、乘法、除法 混合",
    };
    const auto index = static_cast<int>(type);
    return index >= 0 && index < kProblemTypeCount ? texts[static_cast<std::size_t>(index)] : texts[0];
}

} // namespace sumlark
