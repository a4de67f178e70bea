#include "CliTestFiles.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace sumlark::testing {

QByteArray readBytes(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return "<missing " + QByteArray::fromStdString(path) + ">";
    return file.readAll();
}

std::string goldenPath(std::string_view name)
{
    return std::string(SUMLARK_GOLDEN_DIR) + "/" + std::string(name);
}

Finished runCliProcess(const QStringList& arguments, const QString& folder)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // As on a server: no display, and no platform chosen for Qt.
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("QT_QPA_PLATFORM");
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder);
    process.start(QString::fromUtf8(SUMLARK_CLI_PATH), arguments);
    Finished finished;
    if (!process.waitForFinished(60'000)) {
        ADD_FAILURE() << "sumlark-cli did not finish: " << process.errorString().toStdString();
        return finished;
    }
    finished.exit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    finished.out = QString::fromUtf8(process.readAllStandardOutput());
    finished.err = QString::fromUtf8(process.readAllStandardError());
    return finished;
}

QString runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60'000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " failed (poppler-utils comes with scripts/install-deps.sh): "
                      << process.errorString().toStdString() << process.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace sumlark::testing
