#include "CliOptions.h"
#include "CliRun.h"
#include "PrintingApplication.h"

#include <QString>

#include <iostream>
#include <memory>

#ifdef _WIN32
#include <windows.h>
#endif

int main(int argc, char** argv)
{
#ifdef _WIN32
    // Paths and messages are printed as UTF-8.
    SetConsoleOutputCP(CP_UTF8);
#endif
    using namespace sumlark;
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(QString::fromLocal8Bit(argv[i]).toStdString());

    const cli::CommandLine line = cli::parseCommandLine(arguments);
    switch (line.action) {
    case cli::CommandLine::Action::Help:
        std::cout << cli::helpText();
        return cli::kDone;
    case cli::CommandLine::Action::Version:
        std::cout << cli::versionText();
        return cli::kDone;
    case cli::CommandLine::Action::Error:
        std::cerr << line.error;
        return cli::kUsageOrRefused;
    case cli::CommandLine::Action::Run:
        break;
    }

    // Text sheets need no application object; fonts for the PDF do.
    std::unique_ptr<QGuiApplication> printing;
    if (line.options.pdf)
        printing = pdf::startPrintingApplication(argc, argv);
    return cli::runCli(line.options, std::cout, std::cerr);
}
