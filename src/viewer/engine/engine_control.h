// EngineControl: the viewer control without Qt: the client's PdfViewerControl on top of
// the engine's document, annotation store, FDF export/import and saving, plus the
// operations the widget needs to draw and edit comments.
//
// Every call is made on the GUI thread. The widget attaches itself with SetViewHost, draws
// AnnotsOnPage with DrawingOf (paths in page space; build them again after PageChanged,
// not on every paint) and PageTextDrawings, and applies the user's edits with the User*
// calls, which fire the client's events. The client sees only PdfViewerControl.
#pragma once
#include "viewer/engine/engine_names.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "control/pdf_object_backend.h"
#include "control/pdf_viewer_control.h"
#include "viewer/engine/annot_draft.h"
#include "viewer/engine/annot_drawing.h"
#include "viewer/engine/annot_geometry.h"
#include "viewer/engine/page_geometry.h"
#include "viewer/engine/view_host.h"

namespace quill::engine {

class AnnotStore;
class SourceDocument;
struct PageText;

class EngineControl final : public PdfViewerControl, public PdfObjectBackend {
public:
    EngineControl();
    ~EngineControl() override;
    EngineControl(const EngineControl&) = delete;
    EngineControl& operator=(const EngineControl&) = delete;

    // ---- PdfViewerControl ----
    int32_t PageCount() const override;
    int32_t CurrentPage() const override;
    int16_t Rotation() const override;
    void SetRotation(int16_t quarterTurns) override;
    int32_t FitMode() const override;
    void SetFitMode(int32_t mode) override;
    PdfPrinter Printer() override;
    void SetCurrentTool(const std::string& toolName) override;
    std::string CurrentTool() const override;
    void ShowToolbar(bool show) override;
    void ShowMenuBar(bool show) override;
    void ShowStatusBar(bool show) override;
    void ShowNavigationPane(bool show) override;
    void ShowScrollBars(bool show) override;
    bool OpenFile(const std::string& path, const char* password) override;
    void CloseFile() override;
    bool SaveAs(const std::string& path) override;
    bool ExportAnnotsToFDFFile(const std::string& path) override;
    bool ImportAnnotsFromFDFFile(const std::string& path) override;
    float GetPageHeight(int16_t page) const override;
    float GetPageWidth(int16_t page) const override;
    void GoToPagePosition(int32_t page, float x, float y) override;
    PdfPage GetPage(int32_t page) override;
    PdfTextFont GetTextFont() override;
    void SetCJKResourcePath(const std::string& path) override;
    bool AddPageText(int16_t page, const std::string& text, float x, float y,
                     const std::string& fontName, int16_t fontStyle, int16_t fontSize,
                     int32_t color, int16_t flags, int16_t opacity, int16_t rotation) override;
    void SetEventListener(PdfViewerEvents* listener) override;
    void SelectAnnot(int32_t page, int32_t index) override;

    // ---- PdfObjectBackend (reached through the handles) ----
    int32_t PageAnnotCount(int32_t page) const override;
    AnnotId PageAnnotAt(int32_t page, int32_t index) const override;
    bool PageRemoveAnnot(int32_t page, AnnotId id) override;
    bool AnnotExists(AnnotId id) const override;
    int32_t AnnotPageOf(AnnotId id) const override;
    int32_t AnnotIndexOf(AnnotId id) const override;
    std::string GetAnnotText(AnnotId id, AnnotText field) const override;
    void SetAnnotText(AnnotId id, AnnotText field, const std::string& value) override;
    int16_t GetThickness(AnnotId id) const override;
    void SetThickness(AnnotId id, int16_t width) override;
    int16_t GetBorderStyle(AnnotId id) const override;
    void SetBorderStyle(AnnotId id, int16_t code) override;
    int32_t GetColor(AnnotId id) const override;
    void SetColor(AnnotId id, int32_t bgr) override;
    double GetModDate(AnnotId id) const override;
    void SetModDate(AnnotId id, double automationDate) override;
    bool GetReadOnly(AnnotId id) const override;
    void SetReadOnly(AnnotId id, bool readOnly) override;
    bool GetShown(AnnotId id) const override;
    void SetShown(AnnotId id, bool shown) override;
    int32_t ReplyCount(AnnotId parent) const override;
    AnnotId ReplyAt(AnnotId parent, int32_t index) const override;
    void SetTextFontFace(const std::string& face) override;
    void SetTextFontSize(float size) override;
    void SetTextFontColor(int32_t bgr) override;
    bool PrintDocument() override;

    // ---- for the widget: document and view ----
    // Not owned; nullptr detaches.
    void SetViewHost(ViewHost* host);
    const std::string& FilePath() const;
    bool IsOpen() const;
    PageGeometry PageGeometryOf(int32_t page) const;
    // The widget reports the page it shows; no event, no host call.
    void NoteCurrentPage(int32_t page);
    const TextStyle& TextFont() const;
    // Author given to comments and replies the user creates (the reviewer's name).
    void SetDefaultAuthor(const std::string& author);
    // Words of the page text inside (or touching) the rectangle, one quad per word.
    std::vector<Quad> TextQuadsIn(int32_t page, const RectF& area) const;

    // ---- for the widget: reading annotations ----
    std::vector<AnnotId> AnnotsOnPage(int32_t page) const;  // top-level, index order
    AnnotGeometry GeometryOf(AnnotId id) const;
    // The topmost shown comment whose /Rect (grown by `tolerance`) holds the point; 0 when
    // none does.
    AnnotId AnnotAt(int32_t page, PointF at, double tolerance = 2) const;
    AnnotDrawing DrawingOf(AnnotId id) const;
    std::vector<AnnotDrawing> PageTextDrawings(int32_t page) const;
    // The top-level annotation a reply (or reply of a reply) belongs to; the id itself for
    // a top-level annotation; 0 when unknown.
    AnnotId TopLevelOf(AnnotId id) const;
    AnnotId FindByName(const std::string& uniqueName) const;

    // ---- changes without events (the client's own calls, tools, tests) ----
    AnnotId CreateAnnot(const AnnotDraft& draft);  // 0 when the draft is unusable
    bool MoveAnnot(AnnotId id, double dx, double dy);
    bool ResizeAnnot(AnnotId id, const RectF& rect);
    bool SetVertex(AnnotId id, int vertex, PointF at);
    // Takes the annotation (with popup and replies) off its page and appends it to
    // `page`, moved by (dx, dy).
    bool MoveAnnotToPage(AnnotId id, int32_t page, double dx, double dy);
    AnnotId AddReply(AnnotId parent, const std::string& text, const std::string& author);
    bool EditReply(AnnotId reply, const std::string& text);
    bool DeleteReply(AnnotId reply);  // with its own replies

    // ---- the user's changes: refused on a ReadOnly annotation (or reply), fire the event
    // after the change ----
    AnnotId UserCreateAnnot(const AnnotDraft& draft);       // AnnotAdded
    bool UserMoveAnnot(AnnotId id, double dx, double dy);   // AnnotModified
    bool UserResizeAnnot(AnnotId id, const RectF& rect);    // AnnotModified
    bool UserSetVertex(AnnotId id, int vertex, PointF at);  // AnnotModified
    // Any other change (contents, colour, width, style ...) made by `change` through the
    // annotation's handle; AnnotModified.
    bool UserChangeAnnot(AnnotId id, const std::function<void(PdfAnnot&)>& change);
    bool UserDeleteAnnot(AnnotId id);  // AnnotDeleted
    // AnnotDeleted at the old place, then AnnotModified at the new one.
    bool UserMoveAnnotToPage(AnnotId id, int32_t page, double dx, double dy);
    AnnotId UserAddReply(AnnotId parent, const std::string& text);  // ReplyAdded
    bool UserEditReply(AnnotId reply, const std::string& text);     // ReplyModified
    bool UserDeleteReply(AnnotId reply);                            // ReplyDeleted

private:
    // Applies a change of the user's to a top-level annotation that is not read-only, then
    // stamps /M and fires AnnotModified.
    bool UserModify(AnnotId id, const std::function<bool()>& change);

    struct State;
    std::unique_ptr<State> s_;
};

}  // namespace quill::engine
