#pragma once

// The application object that drawing text with system fonts needs, made so
// that it also works on a machine without a display.

#include <QGuiApplication>

#include <memory>

namespace sumlark::pdf {

// Uses the offscreen platform whatever QT_QPA_PLATFORM names; on Windows and
// macOS the native platform needs no display server and stays.
std::unique_ptr<QGuiApplication> startPrintingApplication(int& argc, char** argv);

} // namespace sumlark::pdf
