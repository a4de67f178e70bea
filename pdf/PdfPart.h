#pragma once

// The PDF functions as one table, for a program that opens them at run time
// from the module sumlark-pdf: a run without PDFs then never loads Qt Gui
// and the libraries it brings, which take most of a short run's start.

#include "PdfSink.h"

#include <QCoreApplication>

#include <memory>

namespace sumlark::pdf {

// Changes whenever the table does, so that a module from another build is
// turned away instead of called with the wrong layout.
inline constexpr int kPdfPartVersion = 6;

struct PdfPart {
    int version = kPdfPartVersion;
    // The application object drawing with system fonts needs (a QGuiApplication).
    std::unique_ptr<QCoreApplication> (*startApplication)(int& argc, char** argv);
    PdfSink::Stage stageSheetPdfs;
    PdfSink::PathFor pdfPathFor;
    PdfSink::OpenSet openSetPdfs;
};

// A run's PDFs, beside its text sheets, drawn by the module.
inline std::unique_ptr<SheetSink> makePdfSink(const PdfPart& part, const FolderSheetSink& texts,
                                              const PageStyle& style)
{
    return std::make_unique<PdfSink>(texts, style, part.stageSheetPdfs, part.pdfPathFor, part.openSetPdfs);
}

// The module's one export: a function that returns the table.
inline constexpr char kPdfPartEntry[] = "sumlarkPdfPart";
using PdfPartEntry = const PdfPart* (*)();

} // namespace sumlark::pdf
