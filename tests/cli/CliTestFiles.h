#pragma once

// Files and processes for the command-line suites: sheet bytes, the golden
// sheets, and the built sumlark-cli run as a user runs it.

#include <QByteArray>
#include <QProcessEnvironment>
#include <QStringList>

#include <string>
#include <string_view>

namespace sumlark::testing {

QByteArray readBytes(const std::string& path);
std::string goldenPath(std::string_view name);

struct Finished {
    int exit = -1;
    QString out;
    QString err;
};

// Runs the built sumlark-cli in folder, without a display or a platform set.
Finished runCliProcess(const QStringList& arguments, const QString& folder);

// Runs a helper program such as pdftotext; its standard output, or a failure
// of the test when it cannot run.
QString runTool(const QString& program, const QStringList& arguments);

} // namespace sumlark::testing
