#pragma once

// The text of a sheet around its problems: file names, header and footer
// lines, the serial prefix, and the line rule that puts cells into 14-column
// print zones.

#include <string>
#include <string_view>

namespace sumlark {

inline constexpr std::string_view kQuestionSheetName = "速算答题.txt";
inline constexpr std::string_view kAnswerSheetName = "速算答题-答案.txt";
inline constexpr std::string_view kLineEnd = "\r\n";
inline constexpr int kPrintZoneWidth = 14;

// The names of one pair among several that a run makes: the tag "01" gives
// "速算答题-01.txt" and "速算答题-01-答案.txt"; no tag gives the names above.
std::string questionSheetName(std::string_view tag);
std::string answerSheetName(std::string_view tag);

enum class SheetKind { Question, Answer };

// A typed text as the header and summary lines print it: a line break or
// other control character in it becomes a space, so it cannot split the line.
std::string oneLineText(std::string_view text);

std::string headerLine(SheetKind kind, std::string_view countText, std::string_view typeText);

// Line end after the last problem, dash line, summary line, dash line, credit
// line, each ending its line.
std::string footer(int problemsMade, std::string_view typeText, std::string_view smallestText,
                   std::string_view largestText);
// The same around summary lines of its own, each ending its line.
std::string footerAround(std::string_view summaryLines);

extern const std::string_view kCreditLine;

// Columns a text takes when printed: two for every character that is
// double-byte in code page 936 (in a cell, every non-ASCII one: the four
// signs), one for the rest.
int printColumns(std::string_view utf8);

// Digits the serial prefix pads to, from the leading number of the count text.
int serialWidth(std::string_view countText);
std::string serialPrefix(int problemNumber, int width);

// The problems-per-line count from its text: leading number, rounded half to
// even; 0 when it leaves the 16-bit range; a negative count acts as its
// absolute value. 0 means one problem per line.
int perLineCount(std::string_view perLineText);

// The problem lines of one sheet: appends cells and applies the line rule.
class ProblemLines {
public:
    explicit ProblemLines(std::string& sheet, int perLine) : sheet_(sheet), perLine_(perLine) {}

    // Appends the cell of problem number n, which starts at the current column.
    void add(std::string_view cell, int problemNumber);
    // The same for a cell whose print columns are known.
    void add(std::string_view cell, int columns, int problemNumber);

private:
    std::string& sheet_;
    int perLine_;
    int column_ = 1;
};

} // namespace sumlark
