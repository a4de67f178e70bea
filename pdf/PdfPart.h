#pragma once

// The PDF functions as one table, for a program that opens them at run time
// from the module sumlark-pdf: a run without PDFs then never loads Qt Gui
// and the libraries it brings, which take most of a short run's start.

#include "PdfFiles.h"
#include "SheetPdf.h"

#include <QCoreApplication>

#include <memory>

namespace sumlark::pdf {

// Changes whenever the table does, so that a module from another build is
// turned away instead of called with the wrong layout.
inline constexpr int kPdfPartVersion = 4;

struct PdfPart {
    int version = kPdfPartVersion;
    // The application object drawing with system fonts needs (a QGuiApplication).
    std::unique_ptr<QCoreApplication> (*startApplication)(int& argc, char** argv);
    PageGrid (*planPages)(const PageStyle& style, const Sheet& sheet);
    std::optional<std::string> (*columnsNote)(const PageGrid& grid);
    StagedPdf (*stagePdf)(SheetFolder& folder, const QString& fileName, std::span<const PrintedSheet> sheets,
                          SheetKind kind, const PageStyle& style);
    std::string (*pdfPathFor)(std::string_view textPath);
};

// The module's one export: a function that returns the table.
inline constexpr char kPdfPartEntry[] = "sumlarkPdfPart";
using PdfPartEntry = const PdfPart* (*)();

} // namespace sumlark::pdf
