// The sheets a seed makes are the same bytes wherever the engine runs: the
// Linux build and the Windows build compare the engine's text (UTF-8, before
// any encoding) with the same golden files. The files were made once by the
// engine and read through by eye; remaking them is a change of the sheets
// every seed promises, not a test fix:
//   SUMLARK_WRITE_GOLDEN=1 <build>/tests/engine/engine_tests --gtest_filter='Seeds/GoldenSheets.*'

#include "ScriptedServices.h"
#include "SheetLayout.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace sumlark {
namespace {

using enum ProblemType;

// Opened in binary mode: a text-mode stream on Windows would turn the sheets'
// CR LF into LF and hide the very difference this suite looks for. A
// mismatch shows as gtest's line diff, with a CR written out as \r.
std::string readGolden(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return file ? std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>())
                : "<no golden file " + path + ">";
}

#ifdef _WIN32
const std::string kFolder = "C:\\三年级", kQuestion = kFolder + "\\速算答题.txt", kAnswer = kFolder + "\\速算答题-答案.txt";
#else
const std::string kFolder = "/home/三年级", kQuestion = kFolder + "/速算答题.txt", kAnswer = kFolder + "/速算答题-答案.txt";
#endif

struct GoldenRow {
    const char *name;
    ProblemType type;
    const char *smallest, *largest, *count, *perLine;
    bool numbered, writeAnswers, allowRemainder;
    std::uint64_t seed;
    ProblemConstraints constraints = {};
    std::vector<SheetSection> more = {}; // sections after the first, "一、口算"
};

class GoldenSheets : public ::testing::TestWithParam<GoldenRow> {};

TEST_P(GoldenSheets, SeedMakesTheSameBytesOnEveryPlatform)
{
    const auto& row = GetParam();
    auto settings = testing::settingsFor(row.type, row.smallest, row.largest, row.count, row.perLine);
    settings.numbered = row.numbered;
    settings.writeAnswers = row.writeAnswers;
    settings.allowRemainder = row.allowRemainder;
    testing::ScriptedServices services;
    const testing::OneRun result = testing::runOne(settings, kFolder, services, row.seed, row.constraints, row.more);

    ASSERT_FALSE(result.report.refusal) << static_cast<int>(result.report.refusal->code);
    ASSERT_TRUE(result.question.written && result.answer.written);
    EXPECT_EQ(result.sheet->seed, row.seed);
    // Sheet paths are the only text a run makes differently on Windows: the
    // engine leaves the join to its services, which join as the system does.
    EXPECT_EQ(services.created, (std::vector<std::string>{kQuestion, kAnswer}));
    EXPECT_TRUE(result.question.path == kQuestion && result.answer.path == kAnswer);
    const std::string base = std::string(SUMLARK_ENGINE_GOLDEN_DIR) + "/" + row.name;
    for (const auto& [report, suffix] : {std::pair{result.question, ".question.txt"}, std::pair{result.answer, ".answer.txt"}}) {
        const std::string& made = services.files.at(report.path);
        if (std::getenv("SUMLARK_WRITE_GOLDEN"))
            ASSERT_TRUE((std::ofstream(base + suffix, std::ios::binary) << made).good()) << base << suffix;
        else
            EXPECT_EQ(made, readGolden(base + suffix)) << base << suffix;
    }
    if (std::getenv("SUMLARK_WRITE_GOLDEN"))
        GTEST_SKIP() << "wrote " << base << ".*.txt; compare nothing until they have been read through";
}

WorksheetSettings numbered(WorksheetSettings settings)
{
    settings.numbered = true;
    return settings;
}

// Every type, with seeds, ranges and list texts that reach the engine's
// number reading, rounding, rules and constraints.
const GoldenRow kRows[] = {
    {"AdditionWithinTwenty", Addition, "1", "20", "30", "5", true, true, false, 20240901},
    {"SubtractionWithinHundred", Subtraction, "1", "100", "25", "4", false, true, false, 1},
    // Line breaks typed into the lists stay on the header's and footer's line.
    {"SubtractionTextsWithLineBreaks", Subtraction, "1\r\n", "10", "2\n", "5", false, true, false, 7},
    {"MultiplicationTables", Multiplication, "1", "10", "20", "5", true, true, false, 2},
    {"DivisionExact", Division, "1", "50", "20", "4", false, true, false, 3},
    {"DivisionRemaindersAndNegatives", Division, "-5", "10", "20", "3", true, true, true, 4},
    {"AddSubtractThreeDigitSerials", AdditionSubtraction, "0", "1000", "120", "8", true, true, false, 5},
    {"MultiplyDivideHalfRoundsToEven", MultiplicationDivision, "1", "12", "24", "2.5", false, true, true, 6},
    {"ThreeOperationsAroundZero", AdditionSubtractionMultiplication, "-20", "20", "30", "6", true, true, false, 7},
    {"AllFourWithoutAnswers", AllFour, "1", "99", "40", "5", true, false, true, 8},
    {"AllFourFromDecimalAndExponentTexts", AllFour, "0.5", "2.5e1", "15.7", "-4", true, true, false,
     0xFFFFFFFFFFFFFFFFull},
    {"AllFourWholeSixteenBitRange", AllFour, "0", "32767", "16", "4", false, true, true, 9},
    {"AdditionWithCarryDistinct", Addition, "1", "99", "30", "5", true, true, false, 10,
     {.distinct = true, .carry = CarryRule::With}},
    {"SubtractionWithoutBorrow", Subtraction, "1", "100", "30", "5", true, true, false, 11,
     {.borrow = BorrowRule::Without}},
    // Rarely accepted attempts, so drawn directly from the acceptable problems.
    {"DivisionDrawnDirectly", Division, "1", "32767", "24", "4", true, true, false, 12},
    {"SumsWithoutCarryDrawnDirectly", Addition, "4700", "9999", "20", "4", true, true, false, 13,
     {.distinct = true, .carry = CarryRule::Without}},
    // Problem forms: blanks, chains, ranges of their own.
    {"ChainsWithMixedBlanks", AdditionSubtraction, "1", "20", "30", "4", true, true, false, 14,
     {.blank = BlankChoice::Mixed, .terms = 3}},
    {"AllFourBlanksNothingTrivialDistinct", AllFour, "1", "12", "24", "3", true, true, true, 15,
     {.distinct = true, .blank = BlankChoice::Mixed, .noTrivial = true}},
    {"TwoDigitPlusOneDigitWithCarry", Addition, "1", "10", "20", "5", false, true, false, 16,
     {.carry = CarryRule::With, .blank = BlankChoice::Second, .first = WholeRange{10, 99}, .second = WholeRange{1, 9},
      .result = WholeRange{0, 99}}},
    // 整十数加减: whole tens on both sides, results within 100 and none twice.
    {"WholeTensAddAndSubtract", AdditionSubtraction, "1", "10", "30", "5", true, true, false, 20,
     {.distinct = true, .first = WholeRange{10, 90, 10}, .second = WholeRange{10, 95, 10}, .result = WholeRange{0, 100}}},
    // Two steps of all four signs, × and ÷ first; then with brackets.
    {"TwoStepsOfAllFour", AllFour, "1", "12", "24", "3", true, true, false, 20,
     {.terms = 3, .result = WholeRange{0, 100}}},
    {"TwoStepsWithBracketsAndBlanks", AllFour, "1", "20", "24", "3", true, true, false, 21,
     {.blank = BlankChoice::Mixed, .terms = 3, .result = WholeRange{0, 100}, .brackets = true}},
    // Comparisons: a sum against a number, any two of the four operations against each other.
    {"CompareSumsWithNumbers", Addition, "1", "20", "20", "4", true, true, false, 18,
     {.compare = CompareForm::Number}},
    {"CompareAllFourExpressionsDistinct", AllFour, "1", "12", "20", "3", true, true, false, 19,
     {.distinct = true, .noTrivial = true, .compare = CompareForm::Expression}},
    // A sheet of sections, numbered through: mental sums, a table under its
    // heading, then blanks with no heading.
    {"ThreeSectionsNumberedThrough", Addition, "1", "20", "12", "4", true, true, false, 17, {},
     {{"二、乘法口诀", numbered(testing::settingsFor(Multiplication, "1", "9", "6", "3")), {}},
      {"", numbered(testing::settingsFor(AdditionSubtraction, "0", "50", "5", "5")), {.blank = BlankChoice::Mixed}}}}};

INSTANTIATE_TEST_SUITE_P(Seeds, GoldenSheets, ::testing::ValuesIn(kRows),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace sumlark
