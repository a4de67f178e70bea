#pragma once

// What the window hands the printing module: the paper and a way to draw the
// pages on whatever paged device the user prints to. The module is built with
// the program, by the same compiler, so C++ types cross freely.

#include <QPageSize>
#include <QString>

#include <functional>

class QPagedPaintDevice;
class QPainter;
class QWidget;

namespace sumlark::ui {

struct PrintJob {
    QString documentName;
    QPageSize paper; // the paper to start with; the printer keeps its margins
    // Lays the pages out for the device's paper and margins and draws them;
    // returns what the user should know about the layout, or nothing.
    std::function<QString(QPainter&, QPagedPaintDevice&)> drawPages;
};

// The module's one function: shows Qt's print preview of the job, modal over
// parent, from which the user prints to any printer the system has. The
// pages are laid out again whenever the paper or margins change; a note
// from the layout stands in a line above them.
using ShowPrintPreview = void (*)(QWidget* parent, const PrintJob& job);
inline constexpr char kShowPrintPreview[] = "sumlarkShowPrintPreview";

} // namespace sumlark::ui
