#include "CliOptions.h"
#include "CliRun.h"
#include "HeldSignals.h"
#include "PdfModule.h"

#include <QCoreApplication>
#include <QString>

#include <iostream>
#include <memory>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

std::vector<std::string> argumentsAfterTheProgram(const QStringList& arguments)
{
    std::vector<std::string> texts;
    for (qsizetype i = 1; i < arguments.size(); ++i)
        texts.push_back(arguments[i].toStdString());
    return texts;
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
    // for a PDF need a QGuiApplication. The arguments are then read again
    // through it, which on Windows takes them from the wide command line so
    // that characters outside the ANSI code page survive.
    QStringList local;
    for (int i = 0; i < argc; ++i)
        local.append(QString::fromLocal8Bit(argv[i]));
    const bool pdf = [&] {
        const cli::CommandLine line = cli::parseCommandLine(argumentsAfterTheProgram(local));
        return line.action == cli::CommandLine::Action::Run && line.options.pdf;
    }();
    const pdf::PdfPart* pdfPart = nullptr;
    if (pdf) {
        std::string error;
        pdfPart = cli::openPdfModule(error);
        if (!pdfPart) {
            std::cerr << error;
            return cli::kWriteFailed;
        }
    }
    const std::unique_ptr<QCoreApplication> application =
        pdfPart ? pdfPart->startApplication(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);

    const cli::CommandLine line = cli::parseCommandLine(argumentsAfterTheProgram(QCoreApplication::arguments()));
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
    return cli::runCli(line.options, pdfPart, std::cout, std::cerr);
}
