#include "CliTestFiles.h"
#include "SheetText.h"

#include <QDir>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace sumlark::testing {
namespace {

class CliProcess : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    QString file(const QString& name) const { return QDir(folder.path()).filePath(name); }

    QTemporaryDir folder;
};

struct ExitRow {
    const char* name;
    QStringList arguments;
    int exit;
    bool onError; // the text is looked for on standard error, else on standard output
    const char* says;
};

class ExitCodes : public CliProcess, public ::testing::WithParamInterface<ExitRow> {};

TEST_P(ExitCodes, AndWhatTheProgramSays)
{
    const auto& row = GetParam();
    const auto finished = runCliProcess(row.arguments, folder.path());
    EXPECT_EQ(finished.exit, row.exit);
    const QString& text = row.onError ? finished.err : finished.out;
    EXPECT_TRUE(text.contains(QString::fromUtf8(row.says))) << text.toStdString();
    if (row.exit != 0) {
        EXPECT_TRUE(QDir(folder.path()).isEmpty()) << "nothing is written";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ExitCodes,
    ::testing::Values(ExitRow{"Help", {"--help"}, 0, false, "--font-size 磅数"},
                      ExitRow{"Version", {"--version"}, 0, false, "2.0.0"},
                      ExitRow{"UnknownOption", {"--bogus"}, 2, true, "没有“--bogus”这个选项"},
                      ExitRow{"BadValue", {"--paper", "a3"}, 2, true, "可以用 a4 或 letter"},
                      ExitRow{"RefusedSettings", {"--largest", "0", "--smallest", "5"}, 2, true, "一道题也出不来"},
                      ExitRow{"TooFewDistinct", {"--distinct", "--count", "50"}, 2, true, "一共只有 45 道"}),
    [](const auto& info) { return std::string(info.param.name); });

std::vector<std::string> cellTexts(const std::string& text, bool fromPdf)
{
    std::vector<std::string> cells;
    if (fromPdf) {
        // pdftotext -layout keeps each row of the page on one line.
        std::size_t start = 0;
        while (start < text.size()) {
            const auto end = std::min(text.find('\n', start), text.size());
            for (const auto& cell : cellsOf(std::string_view(text).substr(start, end - start)))
                cells.push_back(cell.text);
            start = end + 1;
        }
    } else {
        for (const auto& cell : allCells(text))
            cells.push_back(cell.text);
    }
    return cells;
}

int pages(const QString& pdf)
{
    const QString info = runTool("pdfinfo", {pdf});
    const auto at = info.indexOf("Pages:");
    return at < 0 ? -1 : info.mid(at + 6, info.indexOf('\n', at) - at - 6).trimmed().toInt();
}

struct PdfRow {
    const char* name;
    QStringList arguments;
    int pages;
    const char* pageSize; // as pdfinfo gives it
};

class PdfSheets : public CliProcess, public ::testing::WithParamInterface<PdfRow> {};

// Both PDFs hold exactly the problems of their text sheets, in order, on the
// pages the layout promises, and the program needs no display for them.
TEST_P(PdfSheets, HoldTheProblemsOfTheTextSheets)
{
    const auto& row = GetParam();
    const auto finished = runCliProcess(row.arguments, folder.path());
    ASSERT_EQ(finished.exit, 0) << finished.err.toStdString();
    EXPECT_EQ(finished.err, "");
    for (const auto& [text, pdf] : {std::pair{"速算答题.txt", "速算答题.pdf"}, std::pair{"速算答题-答案.txt", "速算答题-答案.pdf"}}) {
        const QString pdfPath = file(QString::fromUtf8(pdf));
        EXPECT_TRUE(finished.out.contains("已写入：" + QDir::toNativeSeparators(pdfPath))) << finished.out.toStdString();
        EXPECT_EQ(pages(pdfPath), row.pages) << pdf;
        EXPECT_TRUE(runTool("pdfinfo", {pdfPath}).contains(QString::fromUtf8(row.pageSize)));

        QStringDecoder system(QStringConverter::System);
        const QString sheet = system.decode(readBytes(file(QString::fromUtf8(text)).toStdString()));
        const QString printed = runTool("pdftotext", {"-layout", pdfPath, "-"});
        const auto expected = cellTexts(sheet.toStdString(), false);
        EXPECT_EQ(cellTexts(printed.toStdString(), true), expected) << pdf;
        EXPECT_FALSE(expected.empty());
        EXPECT_EQ(printed.contains("姓名："), QString::fromUtf8(pdf) == "速算答题.pdf");
        EXPECT_TRUE(printed.contains(QString("第 %1 页，共 %1 页").arg(row.pages)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, PdfSheets,
    ::testing::Values(
        PdfRow{"AFullA4Page", {"--seed", "1", "--count", "110", "--per-line", "5", "--numbered", "--pdf"}, 1, "(A4)"},
        PdfRow{"OneMoreStartsAPage", {"--seed", "2", "--count", "111", "--per-line", "5", "--numbered", "--pdf"}, 2,
               "(A4)"},
        PdfRow{"LetterMixWithRemainders",
               {"--seed", "3", "--type", "all", "--remainder", "--largest", "1000", "--count", "300", "--per-line", "4",
                "--pdf", "--paper", "letter"},
               4, "(letter)"},
        PdfRow{"LargeFontOneALine",
               {"--seed", "4", "--type", "sub", "--count", "40", "--per-line", "0", "--pdf", "--font-size", "20"}, 3,
               "(A4)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliProcess, NoAnswerPdfWithoutAnswers)
{
    const auto finished = runCliProcess({"--seed", "1", "--no-answers", "--pdf"}, folder.path());
    ASSERT_EQ(finished.exit, 0);
    EXPECT_TRUE(QFile::exists(file("速算答题.pdf")));
    EXPECT_TRUE(QFile::exists(file("速算答题-答案.txt")));
    EXPECT_FALSE(QFile::exists(file("速算答题-答案.pdf")));
}

#ifdef __linux__
TEST(CliProgram, LinksNoWidgets)
{
    const QString libraries = runTool("ldd", {QString::fromUtf8(SUMLARK_CLI_PATH)});
    EXPECT_TRUE(libraries.contains("Qt6Gui"));
    EXPECT_FALSE(libraries.contains("Qt6Widgets")) << libraries.toStdString();
}
#endif

} // namespace
} // namespace sumlark::testing
