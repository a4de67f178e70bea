#include "SheetLayout.h"
#include "SheetPdf.h"

#include <gtest/gtest.h>

namespace sumlark::pdf {
namespace {

struct GridRow {
    const char* name;
    Paper paper;
    double fontSize;
    int perLine;
    const char* cell;
    int columns;
    int rows;
    bool shrunk;
};

class Grids : public ::testing::TestWithParam<GridRow> {};

TEST_P(Grids, FitTheCellsOnThePage)
{
    const auto& row = GetParam();
    const auto grid = planGrid({row.paper, row.fontSize}, row.perLine, {"1＋1=2", row.cell, "3＋4=7"});
    EXPECT_EQ(grid.columns, row.columns);
    EXPECT_EQ(grid.rowsPerPage, row.rows);
    if (row.shrunk) {
        EXPECT_LT(grid.fontSize, row.fontSize);
        EXPECT_GE(grid.fontSize, 6.0);
    } else {
        EXPECT_EQ(grid.fontSize, row.fontSize);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pages, Grids,
    ::testing::Values(GridRow{"A4HoldsFiveTimesTwentyTwoAt14", Paper::A4, 14, 5, "110) 9＋1=10", 5, 22, false},
                      GridRow{"LetterIsShorter", Paper::Letter, 14, 5, "110) 9＋1=10", 5, 20, false},
                      GridRow{"SmallerFontMoreRows", Paper::A4, 12, 5, "110) 9＋1=10", 5, 26, false},
                      GridRow{"LargerFontFewerRows", Paper::A4, 20, 3, "10＋10=20", 3, 15, false},
                      GridRow{"NoPerLineCountOneColumn", Paper::A4, 14, 0, "10＋10=20", 1, 22, false},
                      GridRow{"WideCellsShrinkTheFont", Paper::A4, 14, 5, "110) 10＋10=20", 5, 22, true},
                      GridRow{"TooManyColumnsGiveWay", Paper::A4, 14, 8, "0001) 32767＋32767=65534", 6, 22, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Pages, NoProblemSplitAcrossThem)
{
    const ProblemGrid grid{5, 22, 14};
    EXPECT_EQ(pageCount(grid, 0), 1);
    EXPECT_EQ(pageCount(grid, 110), 1);
    EXPECT_EQ(pageCount(grid, 111), 2);
    EXPECT_EQ(pageCount(grid, 32766), 298);
}

TEST(SheetPdf, NamesAndTitlesFromTheTextSheet)
{
    EXPECT_EQ(pdfPathFor("/a/速算答题.txt"), "/a/速算答题.pdf");
    EXPECT_EQ(pdfPathFor("/a/速算答题-07-答案.txt"), "/a/速算答题-07-答案.pdf");
    EXPECT_EQ(pdfPathFor("sheet"), "sheet.pdf");
    EXPECT_EQ(titleFromHeader(headerLine(SheetKind::Question, "110", "加法(＋)")), "答*题*纸　题数(110)　类型(加法(＋))");
    EXPECT_EQ(titleFromHeader(headerLine(SheetKind::Answer, "-3", "减法(－)")), "答@案@纸　题数(-3)　类型(减法(－))");
    EXPECT_EQ(titleFromHeader("------\r\n"), "");
    EXPECT_FALSE(sheetFontFamily().empty()) << "the test machine has a Chinese font";
}

} // namespace
} // namespace sumlark::pdf
