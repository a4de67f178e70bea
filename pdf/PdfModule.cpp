// The module sumlark-pdf: the PDF writer behind the table sumlark-cli opens.

#include "PdfPart.h"
#include "PrintingApplication.h"

namespace {

std::unique_ptr<QCoreApplication> startApplication(int& argc, char** argv)
{
    return sumlark::pdf::startPrintingApplication(argc, argv);
}

const sumlark::pdf::PdfPart kPart{sumlark::pdf::kPdfPartVersion, &startApplication, &sumlark::pdf::stageSheetPdfs,
                                  &sumlark::pdf::pdfPathFor, &sumlark::pdf::openSetPdfs};

} // namespace

extern "C" Q_DECL_EXPORT const sumlark::pdf::PdfPart* sumlarkPdfPart()
{
    return &kPart;
}
