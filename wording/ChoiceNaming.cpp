#include "ChoiceNaming.h"

#include "ChoiceWords.h"
#include "ShownText.h"

#include <string_view>

namespace sumlark::wording {
namespace {

std::string nameOf(Choice choice)
{
    return std::string(wordsOf(choice).name);
}

std::string optionOf(Choice choice)
{
    return std::string(wordsOf(choice).option);
}

// A value of a list: its place is its enumerator's number.
const ItemWords& itemOf(Choice choice, std::size_t place)
{
    return wordsOf(choice).items[place];
}

constexpr std::size_t kThreeTerms = 1, kColumnForm = 1;

// What a refusal of the column form asks to change: the blank, the terms or the layout.
Choice undone(Choice choice)
{
    return choice == Choice::Blank || choice == Choice::Terms || choice == Choice::Compare ? choice : Choice::Layout;
}

} // namespace

std::string DialogNaming::chosen(Choice choice, const ProblemConstraints& constraints) const
{
    if (choice == Choice::Blank)
        return nameOf(choice) + "选的是" + quotedValue(itemOf(choice, static_cast<std::size_t>(constraints.blank)).item) +
               "，竖式里没有留空填数的地方";
    if (choice == Choice::Compare)
        return nameOf(choice) + "选的是" +
               quotedValue(itemOf(choice, static_cast<std::size_t>(constraints.compare)).item) +
               "，竖式只排一道算式";
    return nameOf(Choice::Terms) + "选的是" + quotedValue("三个数") + "，竖式只能排两个数";
}

std::string DialogNaming::undo(Choice choice) const
{
    return "把" + nameOf(undone(choice)) + "改为" + quotedValue(itemOf(undone(choice), 0).item);
}

std::string OptionNaming::chosen(Choice choice, const ProblemConstraints& constraints) const
{
    if (choice == Choice::Blank)
        return optionOf(choice) + " 要学生填数，竖式里没有留空填数的地方";
    if (choice == Choice::Compare)
        return optionOf(choice) + " " +
               std::string(itemOf(choice, static_cast<std::size_t>(constraints.compare)).spelling) +
               " 是比大小的题，竖式只排一道算式";
    return optionOf(Choice::Terms) + " " + std::string(itemOf(Choice::Terms, kThreeTerms).spelling) +
           " 是三个数的题，竖式只能排两个数";
}

std::string OptionNaming::undo(Choice choice) const
{
    const Choice which = undone(choice);
    if (which == Choice::Blank || which == Choice::Compare)
        return "去掉 " + optionOf(which);
    return "去掉 " + optionOf(which) + " " +
           std::string(itemOf(which, which == Choice::Terms ? kThreeTerms : kColumnForm).spelling);
}

} // namespace sumlark::wording
