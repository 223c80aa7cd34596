// Shared set-up of the sheet's tests: one application, and the tools they read PDFs with.
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

namespace sheettest {

// Creates the application once (offscreen under ctest).
void EnsureApp();

// Runs a program to its end (at most two minutes); its standard output, or a null string when
// it could not run or failed.
QString RunTool(const QString& program, const QStringList& args, int* exitCode = nullptr);

// The text of a PDF as pdftotext reads it; empty when the tool is missing.
QString PdfText(const QString& path);

// Pixels of the image close to the colour (each channel within tolerance).
int CountNear(const QImage& image, QColor colour, int tolerance = 40);

}  // namespace sheettest
