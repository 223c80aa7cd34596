// PdfViewerControl: the PDF viewer control as the client calls it (document, pages, view,
// annotations as FDF, saving).
#pragma once

#include <cstdint>
#include <string>

#include "control/pdf_page.h"
#include "control/pdf_printer.h"
#include "control/pdf_text_font.h"
#include "control/pdf_viewer_events.h"

namespace quill::control {

// FitMode values.
enum FitModeValue : int32_t {
    kFitPage = 0,
    kFitWidth = 1,
    kFitActualSize = 2,
};

// Indexes start at 0. Text is in the system code page. Every call is made on the GUI thread.
// Handles returned here (PdfPage, PdfAnnot, ...) are views into the control and must not
// outlive it. Calls on a control without an open document answer 0, false or an invalid
// handle.
class PdfViewerControl {
public:
    virtual ~PdfViewerControl() = default;

    // --- view state ---
    virtual int32_t PageCount() const = 0;
    virtual int32_t CurrentPage() const = 0;
    virtual int16_t Rotation() const = 0;  // quarter turns clockwise, 0-3
    virtual void SetRotation(int16_t quarterTurns) = 0;
    virtual int32_t FitMode() const = 0;  // FitModeValue
    virtual void SetFitMode(int32_t mode) = 0;
    virtual PdfPrinter Printer() = 0;
    // one of the viewer tool names (viewer_tool.h); an unknown name selects the hand tool.
    virtual void SetCurrentTool(const std::string& toolName) = 0;
    virtual std::string CurrentTool() const = 0;

    // --- set-up: each called once with false, in this order, after creation ---
    virtual void ShowToolbar(bool show) = 0;
    virtual void ShowMenuBar(bool show) = 0;
    virtual void ShowStatusBar(bool show) = 0;
    virtual void ShowNavigationPane(bool show) = 0;
    virtual void ShowScrollBars(bool show) = 0;

    // --- document ---
    // password null: none. false when the file is missing, broken or encrypted with a
    // password that does not open it; the previous document is closed either way.
    virtual bool OpenFile(const std::string& path, const char* password) = 0;
    virtual void CloseFile() = 0;
    // the document with its annotations and page texts, with an appearance for every
    // annotation. false when nothing is open or the file cannot be written.
    virtual bool SaveAs(const std::string& path) = 0;
    // every annotation, popup, reply and embedded file as FDF.
    virtual bool ExportAnnotsToFDFFile(const std::string& path) = 0;
    // appends the file's annotations (each top-level one takes the last index of its
    // page; replies join their parent by unique name). Fires no event. false when the file
    // cannot be read or parsed; nothing is added then.
    virtual bool ImportAnnotsFromFDFFile(const std::string& path) = 0;
    // the page's size in points as shown (after its own /Rotate); 0 when unknown.
    virtual float GetPageHeight(int16_t page) const = 0;
    virtual float GetPageWidth(int16_t page) const = 0;
    // scrolls to (x, y), in page space (points, origin at the bottom left of the crop
    // box, y up), and makes the page current.
    virtual void GoToPagePosition(int32_t page, float x, float y) = 0;
    virtual PdfPage GetPage(int32_t page) = 0;
    virtual PdfTextFont GetTextFont() = 0;
    // the font file used for Korean (and all other) text in appearances; when it is
    // missing or unreadable an installed CJK font is used.
    virtual void SetCJKResourcePath(const std::string& path) = 0;
    // a text shown over the page and saved with it (never an annotation, never in
    // FDF). (x, y) is the text's start in page space; fontStyle 0 regular, 1 bold;
    // fontSize in points; color 0x00BBGGRR; flags reserved, 0; opacity 0-255;
    // rotation in degrees counter-clockwise. false for an unknown page.
    virtual bool AddPageText(int16_t page, const std::string& text, float x, float y,
                             const std::string& fontName, int16_t fontStyle, int16_t fontSize,
                             int32_t color, int16_t flags, int16_t opacity, int16_t rotation) = 0;

    // --- events and selection ---
    // The listener is not owned; nullptr detaches it.
    virtual void SetEventListener(PdfViewerEvents* listener) = 0;
    // Selects the annotation in the viewer (the comment list's "go to comment").
    virtual void SelectAnnot(int32_t page, int32_t index) = 0;
};

}  // namespace quill::control
