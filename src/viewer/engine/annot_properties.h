// The control's annotation properties on top of the PDF dictionary: colour, border width,
// border style codes 1-9, tool, type and subtype names.
#pragma once
#include "viewer/engine/engine_names.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "control/annot_tool.h"
#include "viewer/engine/pdf_object.h"

namespace quill::engine {

// The tool that drew the annotation, from its /Subtype and /IT.
std::optional<AnnotTool> ToolOf(const PdfObject& dict);
std::string TypeNameOf(const PdfObject& dict);     // "Annot", "Stamp" for an image
std::string SubtypeNameOf(const PdfObject& dict);  // "File Attachment" with its blank

// /C as 0x00BBGGRR; 0 when absent.
int32_t ColorOf(const PdfObject& dict);
PdfObject ColorArray(int32_t bgr);
void SetColor(PdfObject& dict, int32_t bgr);
// RGB components 0..1 of a colour array (1, 3 or 4 numbers); nullopt when absent or empty.
std::optional<std::vector<double>> RgbOf(const PdfObject* colorArray);

// Whether the annotation has a border that width and style apply to.
bool HasBorder(const PdfObject& dict);
double BorderWidthOf(const PdfObject& dict);  // /BS /W, else /Border, else 1
void SetBorderWidth(PdfObject& dict, double width);

// The border style code the client reads from the annotation's FDF text: the text from the
// last "BS<" on; a solid border effect selects 1-7 from the dash pattern, else a cloudy
// effect of intensity 1 or 2 gives 8 or 9; 1 when nothing matches.
int BorderStyleCodeOfText(std::string_view text);
int BorderStyleCodeOf(const PdfObject& dict);
// Writes /BS and /BE for a code 1-9, /BS before /BE at the end of the dictionary; other
// codes change nothing. Returns whether the code was applied.
bool SetBorderStyleCode(PdfObject& dict, int code);
// The dash pattern of /BS (empty: solid) and the cloud intensity of /BE (0: none).
std::vector<double> DashOf(const PdfObject& dict);
double CloudIntensityOf(const PdfObject& dict);

}  // namespace quill::engine
