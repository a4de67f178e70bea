#include "CliOptions.h"
#include "CliRun.h"
#include "HeldSignals.h"
#include "PdfModule.h"
#include "PlanFiles.h"

#include <QCoreApplication>
#include <QString>

#include <cstdio>
#include <iostream>
#include <memory>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

namespace {

// The arguments after the program name. Qt never sees them, so that none
// is taken for one of Qt's own options (-platform, -style…).
std::vector<std::string> userArguments(int argc, char** argv)
{
#ifdef _WIN32
    // As UTF-8 from the wide command line, which holds characters outside
    // the ANSI code page.
    (void)argc;
    (void)argv;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> texts;
    for (int i = 1; wide && i < count; ++i)
        texts.push_back(QString::fromWCharArray(wide[i]).toStdString());
    LocalFree(wide);
    return texts;
#else
    // The bytes as given: a folder name that is not UTF-8 names its folder.
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
#endif
}

} // namespace

int main(int argc, char** argv)
{
#ifdef _WIN32
    // Paths and messages are printed as UTF-8.
    SetConsoleOutputCP(CP_UTF8);
#endif
    using namespace sumlark;
    // Before anything can start a thread (the PDF module's fonts, Qt), so
    // that every thread holds the signals that would split a pair.
    routeSignals();
    // Only the options tell which application object the run needs: fonts
    // for a PDF need a QGuiApplication.
    const cli::CommandLine line = cli::parseCommandLine(userArguments(argc, argv));
    const pdf::PdfPart* pdfPart = nullptr;
    if (line.action == cli::CommandLine::Action::Run && line.options.pdf) {
        std::string error;
        pdfPart = cli::openPdfModule(error);
        if (!pdfPart) {
            std::cerr << error;
            return cli::kWriteFailed;
        }
    }
    // Qt is given the program's name alone; it keeps both for its lifetime.
    char programName[] = "sumlark-cli";
    int qtArgc = 1;
    char* qtArgv[] = {argc > 0 && argv[0] ? argv[0] : programName, nullptr};
    const std::unique_ptr<QCoreApplication> application =
        pdfPart ? pdfPart->startApplication(qtArgc, qtArgv) : std::make_unique<QCoreApplication>(qtArgc, qtArgv);

    switch (line.action) {
    case cli::CommandLine::Action::Help:
        std::cout << cli::helpText();
        return cli::kDone;
    case cli::CommandLine::Action::Version:
        std::cout << cli::versionText();
        return cli::kDone;
    case cli::CommandLine::Action::ListPlans:
        for (const NamedPlan& plan : listPlans())
            std::cout << plan.name.toStdString() << "\n";
        return cli::kDone;
    case cli::CommandLine::Action::Error:
        std::cerr << line.error;
        return cli::kUsageOrRefused;
    case cli::CommandLine::Action::Run:
        break;
    }
    int code = cli::runCli(line.options, pdfPart, std::cout, std::cerr);
    // Saved once the options have made their sheets: a plan that cannot
    // make any is never kept.
    if (code == cli::kDone && !line.planName.empty()) {
        if (const FileStatus saved = savePlan(line.planName, line.plan); saved.ok) {
            std::cout << "已保存方案：" << line.planName << "\n";
        } else {
            std::cerr << "方案“" << line.planName << "”没有保存：" << saved.reason << "\n";
            code = cli::kWriteFailed;
        }
    }
    // A closed pipe (a reader such as head that has read enough) or a full
    // disk behind standard output does not stop the run, which writes every
    // sheet and tells by its exit code; but the report it printed is not
    // whole, and that is said where it can still be read.
    if (!std::cout.flush() || std::fflush(stdout) != 0 || std::ferror(stdout))
        std::cerr << "报告没能全部写到标准输出（管道已经关闭，或者磁盘满了）；练习纸照常写好了，看退出码就知道有没有写成。\n";
    return code;
}
