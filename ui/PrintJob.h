#pragma once

// What the window hands the printing module: the paper and a way to draw the
// pages on whatever paged device the user prints to. The module is built with
// the program, by the same compiler, so C++ types cross freely.

#include <QPageLayout>
#include <QString>

#include <functional>

class QPagedPaintDevice;
class QPainter;
class QWidget;

namespace sumlark::ui {

struct PrintJob {
    QString documentName;
    QPageLayout layout; // the paper, with no margins: the pages draw their own
    std::function<void(QPainter&, QPagedPaintDevice&)> drawPages;
};

// The module's one function: shows Qt's print preview of the job, modal over
// parent, from which the user prints to any printer the system has.
using ShowPrintPreview = void (*)(QWidget* parent, const PrintJob& job);
inline constexpr char kShowPrintPreview[] = "sumlarkShowPrintPreview";

} // namespace sumlark::ui
