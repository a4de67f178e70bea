// The printing module: Qt Print Support is loaded with it, on the first use of
// 打印…, and not at start-up.

#include "PrintJob.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>

extern "C" Q_DECL_EXPORT void sumlarkShowPrintPreview(QWidget* parent, const sumlark::ui::PrintJob& job)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(job.documentName);
    // The printer's own margins stay: the pages are laid out inside them.
    printer.setPageSize(job.paper);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName(QStringLiteral("frmPrintPreview"));
    auto* note = new QLabel(&preview);
    note->setObjectName(QStringLiteral("lblPrintNote"));
    note->setContentsMargins(8, 4, 8, 4);
    note->hide();
    if (auto* box = qobject_cast<QBoxLayout*>(preview.layout()))
        box->insertWidget(0, note);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&job, note](QPrinter* target) {
        QPainter painter;
        if (!painter.begin(target))
            return;
        const QString said = job.drawPages(painter, *target);
        note->setText(said);
        note->setVisible(!said.isEmpty());
    });
    preview.exec();
}
