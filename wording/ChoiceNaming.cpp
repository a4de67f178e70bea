#include "ChoiceNaming.h"

#include "ShownText.h"

#include <string_view>

namespace sumlark::wording {
namespace {

// A blank choice as the 填空 list of the dialog names it.
std::string_view blankItem(BlankChoice blank)
{
    switch (blank) {
    case BlankChoice::Result:
        return "不填空（填得数）";
    case BlankChoice::First:
        return "填第一个数";
    case BlankChoice::Second:
        return "填第二个数";
    case BlankChoice::Mixed:
        return "混合";
    }
    return {};
}

} // namespace

std::string DialogNaming::chosen(Choice choice, const ProblemConstraints& constraints) const
{
    if (choice == Choice::Blank)
        return "填空选的是" + quotedValue(blankItem(constraints.blank)) + "，竖式里没有留空填数的地方";
    return "几个数选的是" + quotedValue("三个数") + "，竖式只能排两个数";
}

std::string DialogNaming::undo(Choice choice) const
{
    switch (choice) {
    case Choice::Blank:
        return "把填空改为" + quotedValue(blankItem(BlankChoice::Result));
    case Choice::Terms:
        return "把几个数改为" + quotedValue("两个数");
    default:
        return "把版式改为" + quotedValue("横排");
    }
}

std::string OptionNaming::chosen(Choice choice, const ProblemConstraints&) const
{
    if (choice == Choice::Blank)
        return "--blank 要学生填数，竖式里没有留空填数的地方";
    return "--terms 3 是三个数的题，竖式只能排两个数";
}

std::string OptionNaming::undo(Choice choice) const
{
    switch (choice) {
    case Choice::Blank:
        return "去掉 --blank";
    case Choice::Terms:
        return "去掉 --terms 3";
    default:
        return "去掉 --layout vertical";
    }
}

} // namespace sumlark::wording
