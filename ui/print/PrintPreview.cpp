// The printing module: Qt Print Support is loaded with it, on the first use of
// 打印…, and not at start-up.

#include "PrintJob.h"

#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>

extern "C" Q_DECL_EXPORT void sumlarkShowPrintPreview(QWidget* parent, const sumlark::ui::PrintJob& job)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(job.documentName);
    // The whole sheet of paper is the page; the drawing keeps its own margins.
    printer.setFullPage(true);
    printer.setPageLayout(job.layout);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName(QStringLiteral("frmPrintPreview"));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&job](QPrinter* target) {
        QPainter painter;
        if (painter.begin(target))
            job.drawPages(painter, *target);
    });
    preview.exec();
}
