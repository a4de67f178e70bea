#include "ChoiceWords.h"

#include <array>

namespace sumlark::wording {
namespace {

constexpr ItemWords kTypes[] = {{"add"}, {"sub"}, {"mul"}, {"div"}, {"add-sub"}, {"mul-div"}, {"add-sub-mul"}, {"all"}};
// In the order of CarryRule, BorrowRule, BlankChoice, CompareForm, the papers and the layouts.
constexpr ItemWords kCarries[] = {
    {"", "", "不限"}, {"with", "加法都要进位", "必须进位"}, {"without", "加法都不进位", "不能进位"}};
constexpr ItemWords kBorrows[] = {
    {"", "", "不限"}, {"with", "减法都要退位", "必须退位"}, {"without", "减法都不退位", "不能退位"}};
constexpr ItemWords kBlanks[] = {{"result", "填得数", "不填空（填得数）"},
                                 {"first", "填第一个数", "填第一个数"},
                                 {"second", "填第二个数", "填第二个数"},
                                 {"mixed", "每题三种选一种", "混合"}};
constexpr ItemWords kTerms[] = {{"2", "两个数", "两个数"},
                                {"3", "三个数：两步计算，先乘除后加减", "三个数（两步计算）"}};
constexpr ItemWords kCompares[] = {{"none", "不比大小", "不比大小"},
                                   {"number", "算式和数比", "算式和数比"},
                                   {"expression", "算式和算式比", "算式和算式比"}};
constexpr ItemWords kEncodings[] = {{"GBK"}, {"GB18030"}, {"UTF-8"}}; // examples: any the system has
constexpr ItemWords kPapers[] = {
    {"a4", "", "A4"}, {"b5", "", "B5"}, {"16k", "", "16开"}, {"a5", "", "A5"}, {"letter", "", "Letter（信纸）"}};
constexpr ItemWords kLayouts[] = {{"rows", "横排", "横排"}, {"vertical", "竖式", "竖式"}};

using S = OptionSection;
constexpr std::string_view kBetween = " {lowest} 到 {highest} 之间的整数";

constexpr std::array<ChoiceWords, kChoiceCount> kWords = {{
    {Choice::Type, "题目类型", "--type", "", "类型", S::Problems,
     "题目类型：{lowest} 到 {highest}，或者 add（加法）、sub（减法）、\n"
     "mul（乘法）、div（除法）、add-sub（加减混合）、\n"
     "mul-div（乘除混合）、add-sub-mul（加减乘混合）、\n"
     "all（加减乘除混合）；默认 {initial}，加法",
     " {lowest} 到 {highest}，或者 {spellings}", true, "", "", "", kTypes},
    {Choice::Smallest, "出题最小数", "--smallest", "", "数", S::Problems, "出题最小数，默认 {initial}"},
    {Choice::Largest, "出题最大数", "--largest", "", "数", S::Problems,
     "出题最大数（同时也是结果的最大值，乘法除外），默认 {initial}"},
    {Choice::Count, "生成题数", "--count", "", "数", S::Problems, "生成题数，默认 {initial}，一次最多 {highest}"},
    {Choice::PerLine, "每行题数", "--per-line", "", "数", S::Problems, "每行题数，默认 {initial}"},
    {Choice::Numbered, "打印题目序号", "--numbered", "", "", S::Problems, "给题目加编号"},
    {Choice::WriteAnswers, "同时生成答案文件", "--no-answers", "", "", S::Problems,
     "不写答案（答案纸只留表头和表尾）"},
    {Choice::Remainder, "允许除法有余数", "--remainder", "", "", S::Problems, "除法可以有余数"},
    {Choice::Distinct, "题目不重复", "--distinct", "", "", S::Problems, "同一张练习纸上没有重复的题", "", false,
     "题目不重复", "同一张纸上没有两道一样的题"},
    {Choice::Carry, "进位", "--carry", "", "", S::Problems, "加法都要进位（with）或都不进位（without）",
     " {meanings}", false, "进位：", "加法题要不要进位：必须进位的题个位相加满十", "", kCarries},
    {Choice::Borrow, "退位", "--borrow", "", "", S::Problems,
     "减法都要退位（with）或都不退位（without）\n"
     "进位和退位只用于 0 和正数，题型里要有加法或减法",
     " {meanings}", false, "退位：", "减法题要不要退位：必须退位的题个位不够减", "", kBorrows},
    {Choice::Blank, "填空", "--blank", "", "哪个数", S::Problems,
     "学生填哪个数：result 得数（默认）；first 第一个数、\n"
     "second 第二个数，题里这个数印成“（  ）”，写出得数；\n"
     "mixed 每题从这三种里选一种",
     " {meanings}", false, "填空：", "学生要填的数：得数，或者算式里的一个数，题里写出得数", "", kBlanks},
    {Choice::Terms, "几个数", "--terms", "", "", S::Problems,
     "每题几个数，默认 {initial}；3 是两步计算的题，符号取自\n"
     "题型，先乘除后加减（3＋4×5＝、36÷4－2＝）",
     " {meanings}", false, "几个数：", "每道题几个数；三个数的题两步算完，符号取自题型，先乘除后加减", "", kTerms},
    {Choice::First, "第一个数", "--first", "", "小..大", S::Problems,
     "第一个数（被减数、被除数）的范围，例如 10..99，\n"
     "可以有负数（-5..5），在 {lowest} 到 {highest} 之间；\n"
     "后面加 /步长 是隔几个取一个：10..90/10 是 10、20……90，\n"
     "10..95/10 也一样",
     "", false, "第一个数："},
    {Choice::Second, "第二个数", "--second", "", "小..大", S::Problems,
     "第二个数的范围，写法同上，也可以带步长；给了 --first\n"
     "或 --second 而没给 --result 时，和不超过两个范围里\n"
     "最大的数，积小于它的 10 倍",
     "", false, "第二个数："},
    {Choice::Result, "得数", "--result", "", "小..大", S::Problems,
     "得数的范围，例如 0..20，在 {lowest} 到\n"
     "{highest} 之间；带步长（0..100/10）时得数都在步长上，\n"
     "题型里有除法时不能带步长",
     "", false, "得数："},
    {Choice::NoTrivial, "不出＋0、×1 这类题", "--no-trivial", "", "", S::Problems,
     "不出 ＋0、×1、÷1、a－a、a÷a 这样的题，0 不作运算数", "", false,
     "不出 ＋0、×1、÷1、a－a、a÷a 这样的题", "不出一眼就能看出得数的题，0 不作运算数"},
    {Choice::Compare, "比大小", "--compare", "", "", S::Problems,
     "比大小：none 不比（默认）；number 算式和数比\n"
     "（3＋5○9）；expression 算式和算式比（7－2○3＋1）。\n"
     "学生在○里填 ＞、＜ 或 ＝，三种答案一样多；和算式比\n"
     "的数在 --result 的范围里取，没给时在算式最小和最大\n"
     "的得数之间；不能和填空、三个数、有余数的除法同时用",
     " {meanings}", false, "比大小：",
     "学生在○里填 ＞、＜ 或 ＝，三种答案一样多；和算式比的数在得数的范围里取，"
     "没限定得数时在这些算式最小和最大的得数之间",
     "", kCompares},
    {Choice::Brackets, "括号", "--brackets", "", "", S::Problems,
     "三个数的题带括号：两个符号之间加括号能改变运算顺序\n"
     "的，每道都加，如 (12＋8)÷4、36÷(9－5)、20－(3＋5)；\n"
     "连加、连乘、a＋b－c、a×b÷c 这样的不加",
     "", false, "括号",
     "三个数的题，加括号能改变运算顺序的每道都加，如 (12＋8)÷4、20－(3＋5)；连加、连乘这样加了也一样的不加"},
    {Choice::Folder, "文件夹", "--out", "-o", "文件夹", S::Output, "写到这个文件夹，没有就新建；默认当前文件夹",
     "一个文件夹的路径"},
    {Choice::Encoding, "编码", "--encoding", "", "编码", S::Output,
     "文本文件的编码，例如 GBK、GB18030；默认 UTF-8\n"
     "（Windows 上默认用系统的编码，它写不出汉字时用带\n"
     "字节顺序标记的 UTF-8）",
     "能写出练习纸上汉字和符号的编码，例如 {spellings}", false, "", "", "", kEncodings},
    {Choice::Seed, "种子", "--seed", "", "种子", S::Output,
     "随机数种子，{lowest} 到 {highest}。同样的种子和\n"
     "选项在任何电脑上都得到一模一样的练习纸；不给时按\n"
     "时钟取，完成后会显示出来",
     kBetween, false, "种子：",
     "种子决定出哪些题：同样的种子和选项总是出一模一样的练习纸，换一个种子就是另一份。空着就每次出新题"},
    {Choice::Sheets, "份数", "--sheets", "", "份数", S::Output,
     "一次做 {lowest} 到 {highest} 份各不相同的练习，文件名带编号：\n"
     "速算答题-01.txt、速算答题-01-答案.txt……每份的种子\n"
     "由这次的种子推出，整批都能再做一次",
     kBetween, false, "份数：", "一次做几份题目各不相同的练习，例如给全班每人一份；多于 1 份时文件名带编号"},
    {Choice::Names, "名单", "--names", "", "文件", S::Output,
     "全班名单，一行一个名字（UTF-8 或 GBK），\n"
     "最多 99 个，每个不超过 20 个字；每人一份，文件名\n"
     "带编号和名字：速算答题-01-张三.txt……第 k 份和\n"
     "--sheets 的第 k 份一模一样。不能和 --sheets 同时用",
     "一个名单文件的路径", false, "名单：",
     "每行一个名字，每人一份；份数跟着名单走，文件名和题目纸上印着名字"},
    {Choice::ClassName, "班级", "--class", "", "班级", S::Output,
     "印在题目纸姓名前面的班级，例如 三年级二班", "不超过 20 个字的班级名", false, "班级：",
     "印在题目纸上姓名的前面，例如 三年级二班"},
    {Choice::Pdf, "PDF", "--pdf", "", "", S::Output,
     "另外写可以直接打印的 PDF，文件名同上，以 .pdf 结尾；\n"
     "多份时全班的题目在一个 速算答题.pdf 里，每人从新\n"
     "的一页开始，答案在 速算答题-答案.pdf 里"},
    {Choice::Paper, "纸张", "--paper", "", "", S::Output,
     "PDF 的纸张，默认 a4；b5 是 176×250 毫米，16k 是\n"
     "16开（185×260 毫米），letter 是信纸",
     " {spellings} 之一", false, "纸张：", "导出 PDF 用的纸张；打印时用打印对话框里选的纸张和页边距", "", kPapers},
    {Choice::FontSize, "PDF 字号", "--font-size", "", "磅数", S::Output,
     "PDF 里题目的字号，{lowest} 到 {highest}，默认 {initial}（四号）",
     " {lowest} 到 {highest} 之间的整数（{unit}）", false, "PDF 字号：",
     "打印和 PDF 里题目的字号；纸小放不下时每行少放几道，字号不变", "磅"},
    {Choice::Layout, "版式", "--layout", "", "", S::Output,
     "PDF 和打印的版式：rows 横排（默认），vertical 竖式；\n"
     "竖式只排两个数、填得数的题，文本练习纸总是横排",
     " {meanings}", false, "版式（PDF 与打印）：",
     "打印和 PDF 的排法；竖式只排两个数、填得数的题，文本练习纸总是横排", "", kLayouts},
    {Choice::Duplex, "双面打印", "--duplex", "", "", S::Output,
     "双面打印：整套 PDF 里每人的题目从单数页开始，\n"
     "不和别人的题印在同一张纸的两面",
     "", false, "双面打印", "多份一起打印时，每人的题目从新的一张纸开始（单数页），不和别人的题印在同一张纸上"},
}};

static_assert([] {
    for (std::size_t i = 0; i < kChoiceCount; ++i)
        if (kWords[i].choice != static_cast<Choice>(i))
            return false;
    return true;
}(), "each choice's words stand in the row of its number");

// The values a list spells on the command line, joined as a sentence joins them.
std::string joinedSpellings(const ChoiceWords& words, bool withMeanings)
{
    std::string text;
    std::size_t left = 0;
    for (const ItemWords& item : words.items)
        left += item.spelling.empty() ? 0 : 1;
    for (const ItemWords& item : words.items) {
        if (item.spelling.empty())
            continue;
        if (!text.empty())
            text += withMeanings && left == 1 ? "或 " : "、";
        text += item.spelling;
        if (withMeanings)
            text += "（" + std::string(item.meaning) + "）";
        --left;
    }
    return text;
}

} // namespace

std::span<const std::string_view> suggestionsOf(Choice choice)
{
    static constexpr std::string_view kSmallest[] = {"1", "10", "20", "50", "100", "200", "500"};
    static constexpr std::string_view kLargest[] = {"10", "20", "50", "100", "200", "500", "1000"};
    static constexpr std::string_view kCount[] = {"10", "50", "100", "200", "300", "400", "500", "1000"};
    static constexpr std::string_view kPerLine[] = {"3", "4", "5", "6", "7", "8"};
    switch (choice) {
    case Choice::Smallest:
        return kSmallest;
    case Choice::Largest:
        return kLargest;
    case Choice::Count:
        return kCount;
    case Choice::PerLine:
        return kPerLine;
    default:
        return {};
    }
}

std::span<const ChoiceWords> choiceWords()
{
    return kWords;
}

const ChoiceWords& wordsOf(Choice choice)
{
    return kWords[static_cast<std::size_t>(choice)];
}

std::string filled(std::string_view text, const ChoiceWords& words)
{
    const ChoiceLimits& limits = limitsOf(words.choice);
    const std::pair<std::string_view, std::string> fields[] = {
        {"{lowest}", std::to_string(limits.lowest)},
        {"{highest}", std::to_string(limits.highest)},
        {"{initial}", limits.initial ? std::to_string(*limits.initial) : std::string()},
        {"{unit}", std::string(words.unit)},
        {"{spellings}", joinedSpellings(words, false)},
        {"{meanings}", joinedSpellings(words, true)},
    };
    std::string made;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t open = text.find('{', at);
        made += text.substr(at, open - at);
        if (open == std::string_view::npos)
            break;
        at = open + 1;
        for (const auto& [field, value] : fields) {
            if (text.substr(open).starts_with(field)) {
                made += value;
                at = open + field.size();
                break;
            }
        }
        if (at == open + 1)
            made += '{';
    }
    return made;
}

std::string usage(const ChoiceWords& words)
{
    std::string shown(words.option);
    if (limitsOf(words.choice).kind == ChoiceKind::Switch)
        return shown;
    std::string value(words.valueName);
    if (value.empty()) {
        for (const ItemWords& item : words.items)
            if (!item.spelling.empty())
                value += (value.empty() ? "" : "|") + std::string(item.spelling);
    }
    shown += " " + value;
    if (!words.shortOption.empty())
        shown += ", " + std::string(words.shortOption) + " " + value;
    return shown;
}

} // namespace sumlark::wording
