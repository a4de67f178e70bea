#include "SheetOracle.h"

#include "NumberText.h"
#include "SheetLayout.h"
#include "SheetText.h"

#include <cmath>
#include <cstdlib>
#include <optional>
#include <set>
#include <stdexcept>
#include <tuple>
#include <vector>

namespace sumlark::fuzzing {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr int kZone = 14;
// The regular-expression reader of the test suites is slow; it checks the
// hand-written reader below on the first lines of every sheet only, and only
// on lines of ordinary length.
constexpr std::size_t kLinesCrossChecked = 3;
constexpr std::size_t kCellsCrossChecked = 64;

struct SignText {
    std::string_view text;
    Operation operation;
};
constexpr SignText kSigns[] = {{"＋", Operation::Addition},
                               {"－", Operation::Subtraction},
                               {"×", Operation::Multiplication},
                               {"÷", Operation::Division}};

struct Problem {
    std::string text;
    int column = 1;
    std::string serialDigits; // empty without a prefix
    long long left = 0;
    long long right = 0;
    Operation operation = Operation::Addition;
    bool hasResult = false;
    long long result = 0;
    bool hasRemainder = false;
    long long remainder = 0;
};

// Columns as a printout counts them: every non-ASCII character is double-byte
// in code page 936.
int columnsOf(std::string_view utf8)
{
    int columns = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
        columns += length == 1 ? 1 : 2;
        i += length;
    }
    return columns;
}

class CellReader {
public:
    CellReader(std::string_view line, std::size_t at) : line_(line), at_(at) {}

    std::size_t position() const { return at_; }

    bool literal(std::string_view text)
    {
        if (line_.substr(at_).substr(0, text.size()) != text)
            return false;
        at_ += text.size();
        return true;
    }

    // A plain decimal numeral: optional minus, no plus, no leading zeros,
    // no "-0".
    std::optional<long long> whole(bool allowMinus)
    {
        const std::size_t start = at_;
        const bool negative = allowMinus && literal("-");
        std::size_t digits = 0;
        while (at_ < line_.size() && line_[at_] >= '0' && line_[at_] <= '9' && digits < 13) {
            ++at_;
            ++digits;
        }
        const std::string_view numeral = line_.substr(start + (negative ? 1 : 0), digits);
        if (digits == 0 || (digits > 1 && numeral[0] == '0') || (negative && numeral == "0")) {
            at_ = start;
            return std::nullopt;
        }
        const long long value = std::stoll(std::string(numeral));
        return negative ? -value : value;
    }

    std::string digits()
    {
        const std::size_t start = at_;
        while (at_ < line_.size() && line_[at_] >= '0' && line_[at_] <= '9')
            ++at_;
        return std::string(line_.substr(start, at_ - start));
    }

private:
    std::string_view line_;
    std::size_t at_;
};

// Reads one cell at byte `at`; an empty optional means the text there is not
// a cell of the expected shape.
std::optional<Problem> readCell(std::string_view line, std::size_t& at, bool numbered, bool withResult)
{
    CellReader reader(line, at);
    Problem problem;
    if (numbered) {
        problem.serialDigits = reader.digits();
        if (problem.serialDigits.empty() || !reader.literal(") "))
            return std::nullopt;
    }
    const auto left = reader.whole(true);
    if (!left)
        return std::nullopt;
    bool signFound = false;
    for (const auto& sign : kSigns) {
        if (reader.literal(sign.text)) {
            problem.operation = sign.operation;
            signFound = true;
            break;
        }
    }
    const auto right = signFound ? reader.whole(true) : std::nullopt;
    if (!right || !reader.literal("="))
        return std::nullopt;
    problem.left = *left;
    problem.right = *right;
    if (withResult) {
        const auto result = reader.whole(true);
        if (!result)
            return std::nullopt;
        problem.hasResult = true;
        problem.result = *result;
        if (reader.literal("...")) {
            const auto remainder = reader.whole(false);
            if (!remainder)
                return std::nullopt;
            problem.hasRemainder = true;
            problem.remainder = *remainder;
        }
    }
    problem.text = std::string(line.substr(at, reader.position() - at));
    at = reader.position();
    return problem;
}

struct SheetShape {
    int made = 0;
    int perLine = 0;
    bool numbered = false;
    bool withResult = false;
};

// Walks the problem lines of one sheet by the line rule and collects its
// problems; returns what breaks the rule.
std::string readProblemLines(std::string_view body, const SheetShape& shape, std::vector<Problem>& problems)
{
    std::vector<std::string> lines;
    try {
        lines = testing::sheetLines(body);
    } catch (const std::exception& error) {
        return error.what();
    }
    std::size_t index = 0;
    bool lastEndedItsLine = true;
    for (int n = 0; n < shape.made;) {
        if (index >= lines.size())
            return "the sheet stops after problem " + std::to_string(n) + " of " + std::to_string(shape.made);
        const std::string_view line = lines[index];
        std::size_t at = 0;
        int column = 1;
        std::vector<testing::Cell> seen;
        for (;;) {
            if ((column - 1) % kZone != 0)
                return "problem " + std::to_string(n + 1) + " starts at column " + std::to_string(column);
            auto problem = readCell(line, at, shape.numbered, shape.withResult);
            if (!problem)
                return "no cell for problem " + std::to_string(n + 1) + " in line \"" + std::string(line) + "\"";
            problem->column = column;
            ++n;
            column += columnsOf(problem->text);
            seen.push_back({problem->text, problem->column});
            problems.push_back(std::move(*problem));
            lastEndedItsLine = shape.perLine == 0 || n % shape.perLine == 0;
            if (lastEndedItsLine) {
                if (at != line.size())
                    return "line goes on after problem " + std::to_string(n);
                break;
            }
            const int nextZone = ((column - 1) / kZone + 1) * kZone + 1;
            const auto spaces = static_cast<std::size_t>(nextZone - column);
            if (line.substr(at, spaces) != std::string(spaces, ' ') ||
                (at + spaces < line.size() && line[at + spaces] == ' '))
                return "problem " + std::to_string(n) + " is not followed by " + std::to_string(spaces) + " spaces";
            at += spaces;
            column = nextZone;
            if (n == shape.made) {
                if (at != line.size())
                    return "text after the last problem";
                break;
            }
            if (at == line.size())
                return "line ends early after problem " + std::to_string(n);
        }
        if (index < kLinesCrossChecked && seen.size() <= kCellsCrossChecked) {
            const auto cells = testing::cellsOf(line);
            if (cells.size() != seen.size())
                return "the suites' reader sees " + std::to_string(cells.size()) + " cells in a line of " +
                       std::to_string(seen.size());
            for (std::size_t i = 0; i < cells.size(); ++i) {
                if (cells[i].text != seen[i].text || cells[i].column != seen[i].column)
                    return "the suites' reader disagrees on cell \"" + seen[i].text + "\"";
                const auto parsed = testing::parseCell(cells[i].text);
                const Problem& mine = problems[problems.size() - seen.size() + i];
                if (parsed.left != mine.left || parsed.right != mine.right || parsed.hasResult != mine.hasResult ||
                    parsed.result != mine.result || parsed.remainder != mine.remainder)
                    return "the suites' reader reads cell \"" + mine.text + "\" otherwise";
            }
        }
        ++index;
    }
    // The line end after the last problem closes an open line, or stands on a
    // line of its own when the line rule has already ended it.
    if (lastEndedItsLine) {
        if (index >= lines.size() || !lines[index].empty())
            return "no empty line after the problems";
        ++index;
    }
    if (index != lines.size())
        return "lines after the last problem";
    return {};
}

bool operationBelongs(ProblemType type, Operation operation)
{
    switch (type) {
    case ProblemType::Addition:
        return operation == Operation::Addition;
    case ProblemType::Subtraction:
        return operation == Operation::Subtraction;
    case ProblemType::Multiplication:
        return operation == Operation::Multiplication;
    case ProblemType::Division:
        return operation == Operation::Division;
    case ProblemType::AdditionSubtraction:
        return operation == Operation::Addition || operation == Operation::Subtraction;
    case ProblemType::MultiplicationDivision:
        return operation == Operation::Multiplication || operation == Operation::Division;
    case ProblemType::AdditionSubtractionMultiplication:
        return operation != Operation::Division;
    case ProblemType::AllFour:
        return true;
    }
    return false;
}

// Some column of the two numbers' decimal digits adds up to 10 or more.
bool carries(long long a, long long b)
{
    for (; a > 0 || b > 0; a /= 10, b /= 10) {
        if (a % 10 + b % 10 >= 10)
            return true;
    }
    return false;
}

// Some column has a larger digit below than above.
bool borrows(long long minuend, long long subtrahend)
{
    for (; minuend > 0 || subtrahend > 0; minuend /= 10, subtrahend /= 10) {
        if (subtrahend % 10 > minuend % 10)
            return true;
    }
    return false;
}

std::string checkDigitRules(const Problem& p, const ProblemConstraints& constraints)
{
    if (!constraints.readsDigits())
        return {};
    if (p.left < 0 || p.right < 0)
        return "a negative operand under a rule on digits";
    if (p.operation == Operation::Addition && constraints.carry != CarryRule::Any &&
        carries(p.left, p.right) != (constraints.carry == CarryRule::With))
        return constraints.carry == CarryRule::With ? "an addition without carrying" : "an addition that carries";
    if (p.operation == Operation::Subtraction && constraints.borrow != BorrowRule::Any &&
        borrows(p.left, p.right) != (constraints.borrow == BorrowRule::With))
        return constraints.borrow == BorrowRule::With ? "a subtraction without borrowing" : "a subtraction that borrows";
    return {};
}

// Every operation rule, on a problem with its result.
std::string checkRule(const Problem& p, const WorksheetSettings& settings, const Drawable& drawable)
{
    if (p.left < drawable.low || p.left > drawable.high || p.right < drawable.low || p.right > drawable.high)
        return "an operand outside " + std::to_string(drawable.low) + ".." + std::to_string(drawable.high);
    if (!operationBelongs(settings.problemType, p.operation))
        return "an operation the type does not have";
    if (p.hasRemainder && p.operation != Operation::Division)
        return "a remainder outside division";
    switch (p.operation) {
    case Operation::Addition:
        if (double(p.left + p.right) > leadingNumber(settings.largestText))
            return "the sum exceeds the largest operand";
        if (p.result != p.left + p.right)
            return "a wrong sum";
        break;
    case Operation::Subtraction:
        if (p.left < p.right)
            return "a negative difference";
        if (p.result != p.left - p.right)
            return "a wrong difference";
        break;
    case Operation::Multiplication:
        if (const auto limit = strictNumber(settings.largestText); limit && double(p.left * p.right) >= 10.0 * *limit)
            return "the product reaches ten times the largest operand";
        if (p.result != p.left * p.right)
            return "a wrong product";
        break;
    case Operation::Division:
        if (p.left < p.right || p.left <= 0 || p.right == 0)
            return "a division whose dividend is not the larger, positive operand";
        if (!p.hasRemainder) {
            if (p.result * p.right != p.left)
                return "a quotient that is not whole";
        } else {
            if (!settings.allowRemainder)
                return "a remainder although remainders are off";
            if (p.remainder <= 0 || p.remainder >= std::llabs(p.right))
                return "a remainder outside 0 < r < |divisor|";
            if (p.result * p.right + p.remainder != p.left)
                return "quotient and remainder do not give the dividend";
        }
        break;
    }
    return {};
}

std::string serialDigits(int number, int width)
{
    std::string digits = std::to_string(number);
    while (static_cast<int>(digits.size()) < width)
        digits.insert(digits.begin(), '0');
    return digits;
}

std::string sheetHeader(std::string_view mark, const WorksheetSettings& settings)
{
    return "--------答" + std::string(mark) + "纸-----题数(" + settings.countText + ")----类型(" + settings.typeText +
           ")----" + std::string(kCrLf);
}

// The footer without the line end that closes the problem lines.
std::string footerAfterProblems(int made, const WorksheetSettings& settings)
{
    const std::string dashes(78, '-');
    const std::string end(kCrLf);
    return dashes + end + "Sumlark总共生成：" + std::to_string(made) + " 题，题型：" + settings.typeText +
           " 出数范围：" + settings.smallestText + " 到 " + settings.largestText + end + dashes + end +
           std::string(kCreditLine) + end;
}

std::string problemBody(const std::string& sheet, const std::string& header, const std::string& footer,
                        std::string& body)
{
    if (sheet.size() < header.size() + footer.size() || sheet.compare(0, header.size(), header) != 0)
        return "the header line is not as set";
    if (sheet.compare(sheet.size() - footer.size(), footer.size(), footer) != 0)
        return "the footer is not as set";
    body = sheet.substr(header.size(), sheet.size() - header.size() - footer.size());
    return {};
}

std::string checkRefusal(const WorksheetSettings& settings, const ProblemConstraints& constraints,
                         const RunResult& result, const std::map<std::string, std::string>& files)
{
    const auto count = strictNumber(settings.countText);
    const auto smallest = strictNumber(settings.smallestText);
    const auto largest = strictNumber(settings.largestText);
    const auto in16Bits = [](double v) { return v >= -32768.0 && v <= 32767.0; };
    bool mustRefuse = !count || *count >= 32767.0 || !smallest || !largest || !in16Bits(*smallest) ||
                      !in16Bits(*largest);
    if (!mustRefuse) {
        const auto drawable = drawableValues(*smallest, *largest);
        mustRefuse = drawable.low < -32768 || drawable.high > 32767;
    }
    // Subtraction takes every pair, so a type that has it needs at most four
    // attempts a problem and is never too slow. The rules on digits and
    // repeats have reasons of their own, some of them with no problem at all.
    const bool hasSubtraction = operationBelongs(settings.problemType, Operation::Subtraction);
    const bool mayRefuse = mustRefuse || !constraints.none() || (*count >= 1.0 && !hasSubtraction);

    if (mustRefuse && !result.refused)
        return "settings that cannot run were not refused";
    if (!mayRefuse && result.refused)
        return "refused settings that can run: " + result.refusalText;
    if (result.refused) {
        if (!files.empty())
            return "a refused run touched a sheet";
        if (result.problemsMade != 0)
            return "a refused run made problems";
        if (!mustRefuse && constraints.none() && result.refusalText.find("一道题也出不来") == std::string::npos &&
            result.refusalText.find("平均要抽") == std::string::npos)
            return "refused for no reason the rules give: " + result.refusalText;
    }
    return {};
}

} // namespace

Drawable drawableValues(double smallest, double largest)
{
    // Operands are floor((L - S + 1) * r + S) for r in [0, 1): the half-open
    // interval from S towards L + 1, whichever way round they are.
    const double width = largest - smallest + 1.0;
    if (width > 0.0)
        return {static_cast<long long>(std::floor(smallest)), static_cast<long long>(std::ceil(largest + 1.0)) - 1};
    if (width < 0.0)
        return {static_cast<long long>(std::floor(largest + 1.0)), static_cast<long long>(std::floor(smallest))};
    return {static_cast<long long>(std::floor(smallest)), static_cast<long long>(std::floor(smallest))};
}

int expectedPerLine(double leading)
{
    double rounded = std::round(leading);
    if (std::fabs(leading - std::trunc(leading)) == 0.5)
        rounded = 2.0 * std::round(leading / 2.0);
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        return 0;
    return static_cast<int>(std::fabs(rounded));
}

std::string checkSheets(const WorksheetSettings& settings, const ProblemConstraints& constraints,
                        const RunResult& result, const std::map<std::string, std::string>& files)
{
    if (auto wrong = checkRefusal(settings, constraints, result, files); !wrong.empty() || result.refused)
        return wrong;

    const double count = *strictNumber(settings.countText);
    const int made = count >= 1.0 ? static_cast<int>(std::floor(count)) : 0;
    if (result.problemsMade != made)
        return "made " + std::to_string(result.problemsMade) + " problems of " + std::to_string(made);
    const std::string folder(kSheetFolder);
    const auto question = files.find(folder + kPathSeparator + std::string(kQuestionSheetName));
    const auto answer = files.find(folder + kPathSeparator + std::string(kAnswerSheetName));
    if (question == files.end() || answer == files.end() || !result.question.written || !result.answer.written)
        return "a sheet was not written";

    const std::string footer = footerAfterProblems(made, settings);
    std::string questionBody;
    std::string answerBody;
    if (auto wrong = problemBody(question->second, sheetHeader("*题*", settings), footer, questionBody); !wrong.empty())
        return "question sheet: " + wrong;
    if (auto wrong = problemBody(answer->second, sheetHeader("@案@", settings), footer, answerBody); !wrong.empty())
        return "answer sheet: " + wrong;

    SheetShape shape;
    shape.made = made;
    shape.perLine = expectedPerLine(leadingNumber(settings.perLineText));
    shape.numbered = settings.numbered;
    std::vector<Problem> questions;
    if (auto wrong = readProblemLines(questionBody, shape, questions); !wrong.empty())
        return "question sheet: " + wrong;

    std::vector<Problem> answers;
    if (settings.writeAnswers) {
        shape.withResult = true;
        if (auto wrong = readProblemLines(answerBody, shape, answers); !wrong.empty())
            return "answer sheet: " + wrong;
    } else if (answerBody != kCrLf) {
        return "answer sheet holds problems although answers are off";
    }

    const double leadingCount = leadingNumber(settings.countText);
    const int width = leadingCount < 100.0 ? 2 : leadingCount < 1000.0 ? 3 : 4;
    const auto drawable = drawableValues(*strictNumber(settings.smallestText), *strictNumber(settings.largestText));
    std::set<std::tuple<Operation, long long, long long>> seen;
    for (std::size_t i = 0; i < questions.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        const Problem& q = questions[i];
        const std::string where = "problem " + std::to_string(number) + " \"" + q.text + "\": ";
        if (settings.numbered && q.serialDigits != serialDigits(number, width))
            return where + "numbered " + q.serialDigits;
        if (!seen.insert({q.operation, q.left, q.right}).second && constraints.distinct)
            return where + "a repeat although problems must differ";
        if (auto wrong = checkDigitRules(q, constraints); !wrong.empty())
            return where + wrong;
        if (settings.writeAnswers) {
            const Problem& a = answers[i];
            if (a.text.compare(0, q.text.size(), q.text) != 0)
                return where + "its answer is \"" + a.text + "\"";
            if (auto wrong = checkRule(a, settings, drawable); !wrong.empty())
                return where + wrong;
        } else {
            // Without the answer the rule's bounds can still be checked on the
            // operands; the result is taken as right.
            Problem withResult = q;
            withResult.result = q.operation == Operation::Addition         ? q.left + q.right
                                : q.operation == Operation::Subtraction    ? q.left - q.right
                                : q.operation == Operation::Multiplication ? q.left * q.right
                                : q.right != 0                             ? q.left / q.right
                                                                           : 0;
            withResult.remainder = q.right != 0 && q.operation == Operation::Division ? q.left % q.right : 0;
            withResult.hasRemainder = withResult.remainder != 0;
            if (auto wrong = checkRule(withResult, settings, drawable); !wrong.empty())
                return where + wrong;
        }
    }
    return {};
}

} // namespace sumlark::fuzzing
