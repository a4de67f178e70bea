#include "GenerateSheets.h"
#include "ScriptedServices.h"
#include "SheetLayout.h"

#include <gtest/gtest.h>

namespace sumlark {
namespace {

using testing::ScriptedServices;

const std::string kFolder = "/work/我的 练习";
const std::string kQuestionPath = kFolder + kPathSeparator + "速算答题.txt";
const std::string kAnswerPath = kFolder + kPathSeparator + "速算答题-答案.txt";

WorksheetSettings quickSettings(bool openWhenDone, bool writeAnswers)
{
    WorksheetSettings settings;
    settings.problemType = ProblemType::Subtraction;
    settings.typeText = "减法(－)";
    settings.openWhenDone = openWhenDone;
    settings.writeAnswers = writeAnswers;
    return settings;
}

RunResult run(const WorksheetSettings& settings, ScriptedServices& services)
{
    services.useSeededRandom = true;
    return generateSheets(settings, kFolder, services, RunOptions{3});
}

struct CompletionRow {
    const char* name;
    bool openWhenDone;
    bool writeAnswers;
    bool editorStarts;
    std::vector<std::string> launches;
    bool completionBox;
};

class CompletionStep : public ::testing::TestWithParam<CompletionRow> {};

TEST_P(CompletionStep, OpensTheSheetsOrSaysWhereTheyAre)
{
    const auto& row = GetParam();
    ScriptedServices services;
    services.editorStarts = row.editorStarts;
    run(quickSettings(row.openWhenDone, row.writeAnswers), services);
    EXPECT_EQ(services.launches, row.launches);
    if (row.completionBox) {
        ASSERT_EQ(services.messages.size(), 1u);
        EXPECT_EQ(services.messages[0].title, "成功");
        EXPECT_EQ(services.messages[0].text, "文件输出完成，文件保存在： " + kQuestionPath);
    } else {
        EXPECT_TRUE(services.messages.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Switches, CompletionStep,
    ::testing::Values(
        CompletionRow{"OpenBothSheets", true, true, true, {kQuestionPath, kAnswerPath}, false},
        CompletionRow{"OpenQuestionSheetOnly", true, false, true, {kQuestionPath}, false},
        CompletionRow{"MessageWhenNotOpening", false, true, true, {}, true},
        CompletionRow{"MessageWithoutAnswers", false, false, true, {}, true},
        CompletionRow{"MessageWhenEditorFails", true, true, false, {kQuestionPath, kAnswerPath}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SheetFailures, AnswerSheetThatCannotBeCreatedLeavesTheQuestionSheetWritten)
{
    ScriptedServices services;
    services.files[kAnswerPath] = "old answers";
    services.failCreate.insert(kAnswerPath);
    const auto result = run(quickSettings(true, true), services);

    EXPECT_TRUE(result.question.written);
    EXPECT_FALSE(result.answer.written);
    EXPECT_EQ(services.files.at(kAnswerPath), "old answers");
    EXPECT_EQ(services.launches, std::vector<std::string>{kQuestionPath});
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].title, "保存失败");
    const auto& text = services.messages[0].text;
    EXPECT_NE(text.find("答案纸"), std::string::npos);
    EXPECT_NE(text.find(kAnswerPath), std::string::npos);
    EXPECT_NE(text.find("文件夹不可写"), std::string::npos);
    EXPECT_NE(text.find("答题纸已保存在： " + kQuestionPath), std::string::npos);
    EXPECT_EQ(text.find("文件输出完成"), std::string::npos);
}

TEST(SheetFailures, FailedWriteOrCommitKeepsTheOldContents)
{
    for (const bool failOnWrite : {true, false}) {
        ScriptedServices services;
        services.files[kQuestionPath] = "old questions";
        (failOnWrite ? services.failWrite : services.failCommit).insert(kQuestionPath);
        const auto result = run(quickSettings(false, true), services);

        EXPECT_FALSE(result.question.written);
        EXPECT_TRUE(result.answer.written);
        EXPECT_EQ(services.files.at(kQuestionPath), "old questions");
        EXPECT_NE(services.files.at(kAnswerPath).find("答@案@纸"), std::string::npos);
        ASSERT_EQ(services.messages.size(), 1u);
        EXPECT_NE(services.messages[0].text.find("答题纸没有保存成功"), std::string::npos);
        EXPECT_NE(services.messages[0].text.find(kQuestionPath), std::string::npos);
        EXPECT_EQ(services.messages[0].text.find("已保存在"), std::string::npos);
    }
}

TEST(SheetFailures, BothSheetsFailingNameBothAndOpenNothing)
{
    ScriptedServices services;
    services.failCreate = {kQuestionPath, kAnswerPath};
    run(quickSettings(true, true), services);
    EXPECT_TRUE(services.launches.empty());
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_NE(services.messages[0].text.find(kQuestionPath), std::string::npos);
    EXPECT_NE(services.messages[0].text.find(kAnswerPath), std::string::npos);
}

TEST(SheetFiles, BothSheetsAreCreatedQuestionFirstEvenWithoutAnswers)
{
    ScriptedServices services;
    run(quickSettings(false, false), services);
    EXPECT_EQ(services.created, (std::vector<std::string>{kQuestionPath, kAnswerPath}));
}

} // namespace
} // namespace sumlark
