#include "NativePath.h"
#include "ScriptedServices.h"
#include "WindowRun.h"

#include <gtest/gtest.h>

namespace sumlark {
namespace {

const std::string kFolder = "/work/我的 练习";
const std::string kQuestion = kFolder + kNativeSeparator + "速算答题.txt";
const std::string kAnswer = kFolder + kNativeSeparator + "速算答题-答案.txt";

enum class Fault { None, Create, Write, Commit };

struct CompletionRow {
    const char* name;
    bool openWhenDone, writeAnswers, editorStarts;
    Fault questionFault, answerFault;
    std::vector<std::string> launches;
    const char* title; // "成功" for the completion box, "保存失败" for the failure box, "" for none
};

class CompletionStep : public ::testing::TestWithParam<CompletionRow> {};

TEST_P(CompletionStep, OpensWrittenSheetsOrSaysWhereTheyAreOrWhatFailed)
{
    const auto& row = GetParam();
    testing::ScriptedServices services;
    services.editorStarts = row.editorStarts;
    for (const auto& [path, fault] : {std::pair{kQuestion, row.questionFault}, std::pair{kAnswer, row.answerFault}}) {
        services.files[path] = "earlier " + path;
        if (fault != Fault::None)
            (fault == Fault::Create ? services.failCreate : fault == Fault::Write ? services.failWrite : services.failCommit)
                .insert(path);
    }
    auto settings = testing::settingsFor(ProblemType::Subtraction, "1", "10", "10");
    settings.openWhenDone = row.openWhenDone;
    settings.writeAnswers = row.writeAnswers;

    ui::runFromWindow({settings, {}, 1, 3}, kFolder, services, ui::Completion::Take);

    EXPECT_EQ(services.created, (std::vector<std::string>{kQuestion, kAnswer}));
    EXPECT_EQ(services.launches, row.launches);
    ASSERT_EQ(services.messages.size(), *row.title ? 1u : 0u);
    if (!*row.title)
        return;
    const auto& text = services.messages[0].text;
    EXPECT_EQ(services.messages[0].title, row.title);
    for (const auto& [path, fault, name] : {std::tuple{kQuestion, row.questionFault, "答题纸"},
                                            std::tuple{kAnswer, row.answerFault, "答案纸"}}) {
        const bool failed = fault != Fault::None;
        EXPECT_EQ(services.files.at(path) == "earlier " + path, failed) << path;
        EXPECT_EQ(text.find(std::string(name) + "没有保存成功") != std::string::npos, failed) << text;
        EXPECT_TRUE(!failed || text.find(path) != std::string::npos) << text;
    }
    // A failure box names the question sheet too when it was saved.
    if (std::string(row.title) == "成功")
        EXPECT_EQ(text, "文件输出完成，文件保存在： " + kQuestion);
    else if (row.questionFault == Fault::None)
        EXPECT_NE(text.find("答题纸已保存在： " + kQuestion), std::string::npos) << text;
}

using enum Fault;

INSTANTIATE_TEST_SUITE_P(
    Switches, CompletionStep,
    ::testing::Values(CompletionRow{"MessageWhenEditorFails", true, true, false, None, None, {kQuestion, kAnswer}, "成功"},
                      CompletionRow{"AnswerNotCreatedOpensQuestion", true, true, true, None, Create, {kQuestion},
                                    "保存失败"},
                      CompletionRow{"QuestionWriteFails", false, true, true, Write, None, {}, "保存失败"},
                      CompletionRow{"QuestionCommitFails", true, true, true, Commit, None, {kAnswer}, "保存失败"},
                      CompletionRow{"BothFailOpenNothing", true, true, true, Create, Create, {}, "保存失败"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace sumlark
