// The window program against a signal between the moves of a pair, started
// for real on an X server of its own: the offscreen platform has no threads
// of its own, an X11 session has (the event reader, D-Bus), and a signal
// that finds one of them unheld ends the program half way.

#include "RealFaults.h"

#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <sys/types.h>

#include <gtest/gtest.h>

#include <csignal>

namespace sumlark::testing {
namespace {

const QString kQuestion = "速算答题.txt";
const QString kAnswer = "速算答题-答案.txt";

struct WindowRow {
    const char* name;
    int signal;
};

class WindowSignals : public ::testing::TestWithParam<WindowRow> {};

// 生成 pressed, the signal lands after the question sheet has moved: the
// window waits for the answer sheet, then ends, leaving the new pair whole.
TEST_P(WindowSignals, WaitForTheAnswerSheetThenEndTheWindow)
{
    REQUIRE_FAULT(straceFound() && !QStandardPaths::findExecutable("Xvfb").isEmpty() &&
                      !QStandardPaths::findExecutable("xdotool").isEmpty(),
                  "strace, Xvfb and xdotool run the window and put the signal between the moves");
    // A copy outside /usr writes its sheets beside itself.
    QTemporaryDir folder;
    const QString program = folder.filePath("sumlark");
    ASSERT_TRUE(QFile::copy(SUMLARK_WINDOW_PATH, program));
    ASSERT_TRUE(writeBytes(folder.filePath(kQuestion), "上周的答题纸\r\n") &&
                writeBytes(folder.filePath(kAnswer), "上周的答案纸\r\n"));
    const auto before = contents(folder.path());
    // An X server of the test's own, ended the way that lets it clean up.
    QProcess x;
    x.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp"});
    const auto stopX = qScopeGuard([&x] { x.terminate(), x.waitForFinished(); });
    ASSERT_TRUE(x.waitForReadyRead(10'000));
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", ":" + QString::fromUtf8(x.readLine().trimmed()));
    environment.insert("QT_QPA_PLATFORM", "xcb");
    // The system's X keyboard library reads a string past its end as the
    // strict checks count it; not the program's fault.
    environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS").replace("strict_string_checks=1", ""));

    QProcess window, keys;
    window.setProcessEnvironment(environment);
    window.setWorkingDirectory(folder.path());
    window.start("strace", withSlowMoves(program, {}));
    keys.setProcessEnvironment(environment);
    // Focus starts in the first list; Tab reaches the chosen format, then 生成.
    keys.start("xdotool", {"search", "--sync", "--onlyvisible", "--name", "Sumlark-Tavrel", "key", "Tab", "Tab", "Return"});
    ASSERT_TRUE(keys.waitForFinished(30'000) && keys.exitCode() == 0) << "the window did not show";
    const pid_t run = tracee(window.processId(), program);
    ASSERT_TRUE(run > 0 && waitForMoves(folder.path(), before, 1));
    ASSERT_EQ(::kill(run, GetParam().signal), 0);

    EXPECT_TRUE(window.waitForFinished(30'000));
    EXPECT_TRUE(onePair(folder.path(), kQuestion, kAnswer)) << readBytes(folder.filePath(kAnswer)).toStdString();
    EXPECT_EQ(everything(folder.path()), (QStringList{"sumlark", kAnswer, kQuestion}));
}

INSTANTIATE_TEST_SUITE_P(Signals, WindowSignals,
                         ::testing::Values(WindowRow{"LogOut", SIGTERM}, WindowRow{"TerminalClosed", SIGHUP},
                                           WindowRow{"CtrlC", SIGINT}, WindowRow{"CtrlBackslash", SIGQUIT},
                                           WindowRow{"User1", SIGUSR1}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace sumlark::testing
