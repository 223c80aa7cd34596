#include "viewer/engine/engine_control.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "control/annot_tool.h"
#include "control/viewer_tool.h"
#include "viewer/engine/annot_drawing_builder.h"
#include "viewer/engine/annot_factory.h"
#include "viewer/engine/annot_properties.h"
#include "viewer/engine/annot_shape.h"
#include "viewer/engine/annot_store.h"
#include "viewer/engine/fdf_reader.h"
#include "viewer/engine/fdf_writer.h"
#include "viewer/engine/glyph_font.h"
#include "viewer/engine/measure.h"
#include "viewer/engine/page_text.h"
#include "viewer/engine/pdf_annot_loader.h"
#include "viewer/engine/pdf_date.h"
#include "viewer/engine/pdf_saver.h"
#include "viewer/engine/pdf_text_string.h"
#include "viewer/engine/source_document.h"

namespace quill::engine {
namespace {

constexpr const char* kHandTool = "Hand Tool";
// An FDF file larger than this is refused rather than read into memory.
constexpr std::uintmax_t kMaxFdfBytes = 1ull << 30;

std::string StringOf(const PdfObject& dict, const char* key) {
    const PdfObject* o = dict.Get(key);
    return (o && o->IsString()) ? o->text : std::string();
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

bool ReadFile(const std::string& path, std::string* bytes) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxFdfBytes) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes->resize(static_cast<size_t>(size));
    in.read(bytes->data(), static_cast<std::streamsize>(size));
    return in.gcount() == static_cast<std::streamsize>(size);
}

}  // namespace

struct EngineControl::State {
    std::unique_ptr<SourceDocument> doc;
    AnnotStore store;
    std::vector<PageText> pageTexts;
    FontProvider fonts;
    TextStyle textFont;
    std::string defaultAuthor;
    PdfViewerEvents* listener = nullptr;
    ViewHost* host = nullptr;
    int32_t currentPage = 0;
    int16_t rotation = 0;
    int32_t fitMode = kFitPage;
    std::string tool = kHandTool;
    bool toolbar = true, menuBar = true, statusBar = true, navigationPane = true, scrollBars = true;

    DrawingContext Context(int page) {
        return DrawingContext{&fonts, doc ? doc->Geometry(page).rotate : 0};
    }
    void Changed(int page) {
        if (host) host->PageChanged(page);
    }
    AnnotRecord* Record(AnnotId id) const { return store.Find(id); }
    AnnotRecord* TopLevel(AnnotId id) const {
        AnnotRecord* r = store.Find(id);
        return (r && !r->parent && r->InReplyTo().empty()) ? r : nullptr;
    }
    void Refresh(AnnotRecord& r) {
        DrawingContext ctx = Context(r.page);
        RefreshRect(r, ctx);
    }
    void Touch(AnnotRecord& r) { r.dict.Set("M", PdfObject::String(PdfDateNow())); }
};

EngineControl::EngineControl() : s_(std::make_unique<State>()) {}
EngineControl::~EngineControl() = default;

// ---------------- view state ----------------

int32_t EngineControl::PageCount() const { return s_->doc ? s_->doc->PageCount() : 0; }
int32_t EngineControl::CurrentPage() const { return s_->currentPage; }
int16_t EngineControl::Rotation() const { return s_->rotation; }

void EngineControl::SetRotation(int16_t quarterTurns) {
    if (quarterTurns < 0 || quarterTurns > 3) return;
    s_->rotation = quarterTurns;
    if (s_->host) s_->host->ViewStateChanged();
}

int32_t EngineControl::FitMode() const { return s_->fitMode; }

void EngineControl::SetFitMode(int32_t mode) {
    if (mode < kFitPage || mode > kFitActualSize) return;
    s_->fitMode = mode;
    if (s_->host) s_->host->ViewStateChanged();
}

PdfPrinter EngineControl::Printer() { return PdfPrinter(this); }

void EngineControl::SetCurrentTool(const std::string& toolName) {
    s_->tool = ViewerToolFromName(toolName) ? toolName : kHandTool;
    if (s_->host) s_->host->ViewStateChanged();
}

std::string EngineControl::CurrentTool() const { return s_->tool; }

void EngineControl::ShowToolbar(bool show) { s_->toolbar = show; }
void EngineControl::ShowMenuBar(bool show) { s_->menuBar = show; }
void EngineControl::ShowStatusBar(bool show) { s_->statusBar = show; }
void EngineControl::ShowNavigationPane(bool show) { s_->navigationPane = show; }
void EngineControl::ShowScrollBars(bool show) { s_->scrollBars = show; }

// ---------------- document ----------------

bool EngineControl::OpenFile(const std::string& path, const char* password) {
    CloseFile();
    OpenResult result = OpenResult::CannotOpen;
    auto doc = SourceDocument::Open(path, password, &result);
    if (!doc) return false;
    LoadedAnnots loaded;
    std::string error;
    const bool haveAnnots = LoadPdfAnnots(path, doc->Password(), &loaded, &error);
    s_->store.Reset(doc->PageCount());
    if (haveAnnots) {
        for (size_t p = 0; p < loaded.pages.size() && static_cast<int>(p) < doc->PageCount(); ++p) {
            for (auto& r : loaded.pages[p]) s_->store.Append(static_cast<int>(p), std::move(r));
        }
        for (auto& r : loaded.orphans) s_->store.AddOrphan(std::move(r));
    }
    s_->doc = std::move(doc);
    s_->currentPage = 0;
    if (s_->host) s_->host->DocumentChanged();
    return true;
}

void EngineControl::CloseFile() {
    const bool hadDoc = s_->doc != nullptr;
    s_->doc.reset();
    s_->store.Reset(0);
    s_->pageTexts.clear();
    s_->currentPage = 0;
    if (hadDoc && s_->host) s_->host->DocumentChanged();
}

bool EngineControl::SaveAs(const std::string& path) {
    if (!s_->doc || path.empty()) return false;
    SaveInput in;
    in.sourcePath = s_->doc->Path();
    in.password = s_->doc->Password();
    in.store = &s_->store;
    in.pageTexts = &s_->pageTexts;
    in.drawAnnot = [this](const AnnotRecord& r) {
        DrawingContext ctx = s_->Context(r.page);
        return BuildAnnotDrawing(r, ctx);
    };
    in.drawText = [this](const PageText& t) {
        DrawingContext ctx = s_->Context(t.page);
        return BuildPageTextDrawing(t, ctx);
    };
    std::string error;
    return SavePdfWithAnnots(in, path, &error);
}

bool EngineControl::ExportAnnotsToFDFFile(const std::string& path) {
    if (!s_->doc || path.empty()) return false;
    const std::string name = std::filesystem::path(s_->doc->Path()).filename().string();
    return WriteFile(path, WriteFdf(s_->store, name));
}

bool EngineControl::ImportAnnotsFromFDFFile(const std::string& path) {
    if (!s_->doc) return false;
    std::string bytes;
    if (!ReadFile(path, &bytes)) return false;
    std::string error;
    auto annots = ReadFdf(bytes, PageCount(), &error);
    if (!annots) return false;
    std::vector<int> pages;
    for (auto& r : annots->topLevel) {
        pages.push_back(r->page);
        const int page = r->page;
        s_->store.Append(page, std::move(r));
    }
    // Replies join their parent by its unique name; a reply to a reply of the same file may
    // come before it, so go round until nothing more joins.
    std::vector<std::unique_ptr<AnnotRecord>> waiting = std::move(annots->replies);
    bool progress = true;
    while (progress && !waiting.empty()) {
        progress = false;
        for (auto it = waiting.begin(); it != waiting.end();) {
            AnnotRecord* parent = s_->store.FindByName((*it)->InReplyTo());
            if (parent) {
                pages.push_back(parent->page);
                s_->store.AddReply(parent, std::move(*it));
                it = waiting.erase(it);
                progress = true;
            } else {
                ++it;
            }
        }
    }
    for (auto& r : waiting) s_->store.AddOrphan(std::move(r));
    for (int p : pages) s_->Changed(p);
    return true;
}

float EngineControl::GetPageHeight(int16_t page) const {
    if (!s_->doc || page < 0 || page >= PageCount()) return 0;
    return static_cast<float>(s_->doc->Geometry(page).ShownHeight());
}

float EngineControl::GetPageWidth(int16_t page) const {
    if (!s_->doc || page < 0 || page >= PageCount()) return 0;
    return static_cast<float>(s_->doc->Geometry(page).ShownWidth());
}

void EngineControl::GoToPagePosition(int32_t page, float x, float y) {
    if (page < 0 || page >= PageCount()) return;
    s_->currentPage = page;
    if (s_->host) s_->host->GoToPagePosition(page, x, y);
}

PdfPage EngineControl::GetPage(int32_t page) {
    if (page < 0 || page >= PageCount()) return PdfPage();
    return PdfPage(this, page);
}

PdfTextFont EngineControl::GetTextFont() { return PdfTextFont(this); }

void EngineControl::SetCJKResourcePath(const std::string& path) {
    s_->fonts.SetPreferredPath(path);
}

bool EngineControl::AddPageText(int16_t page, const std::string& text, float x, float y,
                                const std::string& fontName, int16_t fontStyle, int16_t fontSize,
                                int32_t color, int16_t flags, int16_t opacity, int16_t rotation) {
    if (page < 0 || page >= PageCount() || !std::isfinite(x) || !std::isfinite(y)) return false;
    PageText t;
    t.page = page;
    t.text = text;
    t.x = x;
    t.y = y;
    t.fontName = fontName;
    t.fontStyle = fontStyle;
    t.fontSize = fontSize > 0 ? fontSize : 12;
    t.color = color;
    t.opacity = std::clamp(opacity, int16_t{0}, int16_t{255}) / 255.0;
    t.rotation = rotation;
    (void)flags;
    s_->pageTexts.push_back(std::move(t));
    s_->Changed(page);
    return true;
}

void EngineControl::SetEventListener(PdfViewerEvents* listener) { s_->listener = listener; }

void EngineControl::SelectAnnot(int32_t page, int32_t index) {
    if (s_->store.At(page, index) && s_->host) s_->host->SelectAnnot(page, index);
}

// ---------------- handles ----------------

int32_t EngineControl::PageAnnotCount(int32_t page) const { return s_->store.Count(page); }

AnnotId EngineControl::PageAnnotAt(int32_t page, int32_t index) const {
    const AnnotRecord* r = s_->store.At(page, index);
    return r ? r->id : 0;
}

bool EngineControl::PageRemoveAnnot(int32_t page, AnnotId id) {
    AnnotRecord* r = s_->TopLevel(id);
    if (!r || r->page != page) return false;
    s_->store.Take(id);
    s_->Changed(page);
    return true;
}

bool EngineControl::AnnotExists(AnnotId id) const { return s_->Record(id) != nullptr; }

int32_t EngineControl::AnnotPageOf(AnnotId id) const {
    const AnnotRecord* r = s_->Record(id);
    return r ? r->page : -1;
}

int32_t EngineControl::AnnotIndexOf(AnnotId id) const {
    const AnnotRecord* r = s_->Record(id);
    return r ? s_->store.IndexOf(s_->store.TopLevelOf(r)) : -1;
}

std::string EngineControl::GetAnnotText(AnnotId id, AnnotText field) const {
    const AnnotRecord* r = s_->Record(id);
    if (!r) return {};
    switch (field) {
        case AnnotText::Author:
            return PdfTextToAnsi(StringOf(r->dict, "T"));
        case AnnotText::Subject:
            return PdfTextToAnsi(StringOf(r->dict, "Subj"));
        case AnnotText::Contents:
            return PdfTextToAnsi(StringOf(r->dict, "Contents"));
        case AnnotText::Name:
            return r->Name();
        case AnnotText::InReplyTo:
            return r->InReplyTo();
        case AnnotText::TypeName:
            return TypeNameOf(r->dict);
        case AnnotText::SubtypeName:
            return SubtypeNameOf(r->dict);
        case AnnotText::ToolName: {
            const auto tool = ToolOf(r->dict);
            return tool ? AnnotToolName(*tool) : std::string();
        }
    }
    return {};
}

void EngineControl::SetAnnotText(AnnotId id, AnnotText field, const std::string& value) {
    AnnotRecord* r = s_->Record(id);
    if (!r) return;
    const char* key = field == AnnotText::Author     ? "T"
                      : field == AnnotText::Subject  ? "Subj"
                      : field == AnnotText::Contents ? "Contents"
                                                     : nullptr;
    if (!key) return;  // names, types and tools are not changed from outside
    r->dict.Set(key, PdfObject::String(AnsiToPdfText(value)));
    s_->Changed(r->page);
}

int16_t EngineControl::GetThickness(AnnotId id) const {
    const AnnotRecord* r = s_->Record(id);
    if (!r || !HasBorder(r->dict)) return 0;
    return static_cast<int16_t>(std::lround(std::clamp(BorderWidthOf(r->dict), 0.0, 32767.0)));
}

void EngineControl::SetThickness(AnnotId id, int16_t width) {
    AnnotRecord* r = s_->Record(id);
    if (!r || !HasBorder(r->dict) || width < 0) return;
    SetBorderWidth(r->dict, width);
    s_->Refresh(*r);
    s_->Changed(r->page);
}

int16_t EngineControl::GetBorderStyle(AnnotId id) const {
    const AnnotRecord* r = s_->Record(id);
    if (!r || !HasBorder(r->dict)) return 0;
    return static_cast<int16_t>(BorderStyleCodeOf(r->dict));
}

void EngineControl::SetBorderStyle(AnnotId id, int16_t code) {
    AnnotRecord* r = s_->Record(id);
    if (!r || !HasBorder(r->dict)) return;
    if (!SetBorderStyleCode(r->dict, code)) return;
    s_->Refresh(*r);
    s_->Changed(r->page);
}

int32_t EngineControl::GetColor(AnnotId id) const {
    const AnnotRecord* r = s_->Record(id);
    return r ? ColorOf(r->dict) : 0;
}

void EngineControl::SetColor(AnnotId id, int32_t bgr) {
    AnnotRecord* r = s_->Record(id);
    if (!r) return;
    engine::SetColor(r->dict, bgr & 0x00FFFFFF);
    s_->Changed(r->page);
}

double EngineControl::GetModDate(AnnotId id) const {
    const AnnotRecord* r = s_->Record(id);
    if (!r) return 0;
    std::string text = StringOf(r->dict, "M");
    if (text.empty()) text = StringOf(r->dict, "CreationDate");
    const auto t = ParsePdfDate(text);
    return t ? AutomationDateFromLocal(*t) : 0;
}

void EngineControl::SetModDate(AnnotId id, double automationDate) {
    AnnotRecord* r = s_->Record(id);
    if (!r || !std::isfinite(automationDate)) return;
    r->dict.Set("M", PdfObject::String(PdfDateFromLocal(LocalFromAutomationDate(automationDate))));
}

bool EngineControl::GetReadOnly(AnnotId id) const {
    const AnnotRecord* r = s_->Record(id);
    return r && r->readOnly;
}

void EngineControl::SetReadOnly(AnnotId id, bool readOnly) {
    if (AnnotRecord* r = s_->Record(id)) r->readOnly = readOnly;
}

bool EngineControl::GetShown(AnnotId id) const {
    const AnnotRecord* r = s_->Record(id);
    return r && r->shown;
}

void EngineControl::SetShown(AnnotId id, bool shown) {
    AnnotRecord* r = s_->Record(id);
    if (!r || r->shown == shown) return;
    r->shown = shown;
    s_->Changed(r->page);
}

int32_t EngineControl::ReplyCount(AnnotId parent) const {
    const AnnotRecord* r = s_->Record(parent);
    return r ? static_cast<int32_t>(r->replies.size()) : 0;
}

AnnotId EngineControl::ReplyAt(AnnotId parent, int32_t index) const {
    const AnnotRecord* r = s_->Record(parent);
    if (!r || index < 0 || static_cast<size_t>(index) >= r->replies.size()) return 0;
    return r->replies[static_cast<size_t>(index)]->id;
}

void EngineControl::SetTextFontFace(const std::string& face) {
    if (!face.empty()) s_->textFont.face = face;
}

void EngineControl::SetTextFontSize(float size) {
    if (std::isfinite(size) && size > 0 && size <= 1000) s_->textFont.size = size;
}

void EngineControl::SetTextFontColor(int32_t bgr) { s_->textFont.color = bgr & 0x00FFFFFF; }

bool EngineControl::PrintDocument() { return s_->doc && s_->host && s_->host->Print(); }

// ---------------- widget: document and reading ----------------

void EngineControl::SetViewHost(ViewHost* host) { s_->host = host; }

const std::string& EngineControl::FilePath() const {
    static const std::string kNone;
    return s_->doc ? s_->doc->Path() : kNone;
}

bool EngineControl::IsOpen() const { return s_->doc != nullptr; }

PageGeometry EngineControl::PageGeometryOf(int32_t page) const {
    return s_->doc ? s_->doc->Geometry(page) : PageGeometry{};
}

void EngineControl::NoteCurrentPage(int32_t page) {
    if (page >= 0 && page < PageCount()) s_->currentPage = page;
}

const TextStyle& EngineControl::TextFont() const { return s_->textFont; }

void EngineControl::SetDefaultAuthor(const std::string& author) { s_->defaultAuthor = author; }

std::vector<Quad> EngineControl::TextQuadsIn(int32_t page, const RectF& area) const {
    return s_->doc ? s_->doc->WordQuadsIn(page, area) : std::vector<Quad>{};
}

std::vector<AnnotId> EngineControl::AnnotsOnPage(int32_t page) const {
    std::vector<AnnotId> ids;
    for (const auto& r : s_->store.Page(page)) ids.push_back(r->id);
    return ids;
}

AnnotGeometry EngineControl::GeometryOf(AnnotId id) const {
    const AnnotRecord* r = s_->Record(id);
    if (!r) return {};
    AnnotGeometry g = GeometryOfDict(r->dict, r->page);
    g.tool = ToolOf(r->dict);
    return g;
}

AnnotId EngineControl::AnnotAt(int32_t page, PointF at, double tolerance) const {
    const auto& records = s_->store.Page(page);
    for (auto it = records.rbegin(); it != records.rend(); ++it) {
        const AnnotRecord& r = **it;
        if (r.shown && RectOf(r.dict).Inflated(tolerance).Contains(at)) return r.id;
    }
    return 0;
}

AnnotDrawing EngineControl::DrawingOf(AnnotId id) const {
    const AnnotRecord* r = s_->Record(id);
    if (!r || !r->InReplyTo().empty()) return {};
    DrawingContext ctx = s_->Context(r->page);
    return BuildAnnotDrawing(*r, ctx);
}

std::vector<AnnotDrawing> EngineControl::PageTextDrawings(int32_t page) const {
    std::vector<AnnotDrawing> out;
    for (const PageText& t : s_->pageTexts) {
        if (t.page != page) continue;
        DrawingContext ctx = s_->Context(page);
        out.push_back(BuildPageTextDrawing(t, ctx));
    }
    return out;
}

AnnotId EngineControl::TopLevelOf(AnnotId id) const {
    const AnnotRecord* r = s_->store.TopLevelOf(s_->Record(id));
    return (r && s_->store.IndexOf(r) >= 0) ? r->id : 0;
}

AnnotId EngineControl::FindByName(const std::string& uniqueName) const {
    const AnnotRecord* r = s_->store.FindByName(uniqueName);
    return r ? r->id : 0;
}

// ---------------- changes without events ----------------

AnnotId EngineControl::CreateAnnot(const AnnotDraft& draft) {
    if (!s_->doc || draft.page < 0 || draft.page >= PageCount()) return 0;
    DrawingContext ctx = s_->Context(draft.page);
    std::string error;
    auto rec = BuildAnnotRecord(draft, s_->defaultAuthor, s_->textFont, ctx, &error);
    if (!rec) return 0;
    const AnnotId id = s_->store.Append(draft.page, std::move(rec));
    s_->Changed(draft.page);
    return id;
}

namespace {

// A measurement whose contents are its own label follows the geometry.
void KeepMeasureLabel(AnnotRecord& r, const std::optional<std::string>& before) {
    if (!before) return;
    const std::string contents = PdfTextToAnsi(StringOf(r.dict, "Contents"));
    if (contents != *before) return;
    if (auto after = MeasureLabel(r.dict))
        r.dict.Set("Contents", PdfObject::String(AnsiToPdfText(*after)));
}

}  // namespace

bool EngineControl::MoveAnnot(AnnotId id, double dx, double dy) {
    AnnotRecord* r = s_->TopLevel(id);
    if (!r || !std::isfinite(dx) || !std::isfinite(dy)) return false;
    TranslateDict(r->dict, dx, dy);
    if (r->popup) TranslateDict(*r->popup, dx, dy);
    s_->Changed(r->page);
    return true;
}

bool EngineControl::ResizeAnnot(AnnotId id, const RectF& rect) {
    AnnotRecord* r = s_->TopLevel(id);
    if (!r) return false;
    const auto label = MeasureLabel(r->dict);
    if (!ResizeDict(r->dict, rect)) return false;
    s_->Refresh(*r);
    KeepMeasureLabel(*r, label);
    s_->Changed(r->page);
    return true;
}

bool EngineControl::SetVertex(AnnotId id, int vertex, PointF at) {
    AnnotRecord* r = s_->TopLevel(id);
    if (!r) return false;
    const auto label = MeasureLabel(r->dict);
    if (!SetVertexDict(r->dict, vertex, at)) return false;
    s_->Refresh(*r);
    KeepMeasureLabel(*r, label);
    s_->Changed(r->page);
    return true;
}

bool EngineControl::MoveAnnotToPage(AnnotId id, int32_t page, double dx, double dy) {
    AnnotRecord* r = s_->TopLevel(id);
    if (!r || page < 0 || page >= PageCount() || !std::isfinite(dx) || !std::isfinite(dy))
        return false;
    const int oldPage = r->page;
    auto taken = s_->store.Take(id);
    TranslateDict(taken->dict, dx, dy);
    if (taken->popup) TranslateDict(*taken->popup, dx, dy);
    s_->store.Append(page, std::move(taken));
    s_->Changed(oldPage);
    s_->Changed(page);
    return true;
}

AnnotId EngineControl::AddReply(AnnotId parent, const std::string& text,
                                const std::string& author) {
    AnnotRecord* p = s_->Record(parent);
    if (!p || (p->parent == nullptr && s_->store.IndexOf(p) < 0)) return 0;  // orphans take none
    return s_->store.AddReply(p, BuildReplyRecord(*p, text, author));
}

bool EngineControl::EditReply(AnnotId reply, const std::string& text) {
    AnnotRecord* r = s_->Record(reply);
    if (!r || !r->parent) return false;
    r->dict.Set("Contents", PdfObject::String(AnsiToPdfText(text)));
    s_->Touch(*r);
    return true;
}

bool EngineControl::DeleteReply(AnnotId reply) {
    AnnotRecord* r = s_->Record(reply);
    if (!r || !r->parent) return false;
    return s_->store.Take(reply) != nullptr;
}

// ---------------- the user's changes ----------------

AnnotId EngineControl::UserCreateAnnot(const AnnotDraft& draft) {
    const AnnotId id = CreateAnnot(draft);
    if (!id) return 0;
    const AnnotRecord* r = s_->Record(id);
    const int page = r->page, index = s_->store.IndexOf(r);
    if (s_->listener) s_->listener->AnnotAdded(page, index);
    return id;
}

bool EngineControl::UserModify(AnnotId id, const std::function<bool()>& change) {
    AnnotRecord* r = s_->TopLevel(id);
    if (!r || r->readOnly) return false;
    if (!change()) return false;
    r = s_->TopLevel(id);
    if (!r) return false;
    s_->Touch(*r);
    const int page = r->page, index = s_->store.IndexOf(r);
    if (s_->listener) s_->listener->AnnotModified(page, index);
    return true;
}

bool EngineControl::UserMoveAnnot(AnnotId id, double dx, double dy) {
    return UserModify(id, [&] { return MoveAnnot(id, dx, dy); });
}

bool EngineControl::UserResizeAnnot(AnnotId id, const RectF& rect) {
    return UserModify(id, [&] { return ResizeAnnot(id, rect); });
}

bool EngineControl::UserSetVertex(AnnotId id, int vertex, PointF at) {
    return UserModify(id, [&] { return SetVertex(id, vertex, at); });
}

bool EngineControl::UserChangeAnnot(AnnotId id, const std::function<void(PdfAnnot&)>& change) {
    return UserModify(id, [&] {
        PdfAnnot annot(this, id);
        if (change) change(annot);
        return true;
    });
}

bool EngineControl::UserDeleteAnnot(AnnotId id) {
    AnnotRecord* r = s_->TopLevel(id);
    if (!r || r->readOnly) return false;
    const int page = r->page, index = s_->store.IndexOf(r);
    s_->store.Take(id);
    s_->Changed(page);
    if (s_->listener) s_->listener->AnnotDeleted(page, index);
    return true;
}

bool EngineControl::UserMoveAnnotToPage(AnnotId id, int32_t page, double dx, double dy) {
    AnnotRecord* r = s_->TopLevel(id);
    if (!r || r->readOnly) return false;
    const int oldPage = r->page, oldIndex = s_->store.IndexOf(r);
    if (!MoveAnnotToPage(id, page, dx, dy)) return false;
    AnnotRecord* moved = s_->TopLevel(id);
    s_->Touch(*moved);
    const int newIndex = s_->store.IndexOf(moved);
    if (s_->listener) {
        s_->listener->AnnotDeleted(oldPage, oldIndex);
        s_->listener->AnnotModified(page, newIndex);
    }
    return true;
}

AnnotId EngineControl::UserAddReply(AnnotId parent, const std::string& text) {
    const AnnotId id = AddReply(parent, text, s_->defaultAuthor);
    if (!id) return 0;
    const AnnotRecord* r = s_->Record(id);
    const AnnotRecord* top = s_->store.TopLevelOf(r);
    const int page = r->page, index = s_->store.IndexOf(top);
    const std::string name = r->Name();
    if (s_->listener) s_->listener->ReplyAdded(page, index, name);
    return id;
}

bool EngineControl::UserEditReply(AnnotId reply, const std::string& text) {
    AnnotRecord* r = s_->Record(reply);
    if (!r || r->readOnly || !EditReply(reply, text)) return false;
    const int page = r->page, index = s_->store.IndexOf(s_->store.TopLevelOf(r));
    const std::string name = r->Name();
    if (s_->listener) s_->listener->ReplyModified(page, index, name);
    return true;
}

bool EngineControl::UserDeleteReply(AnnotId reply) {
    AnnotRecord* r = s_->Record(reply);
    if (!r || r->readOnly || !r->parent) return false;
    const int page = r->page, index = s_->store.IndexOf(s_->store.TopLevelOf(r));
    const std::string name = r->Name();
    if (!DeleteReply(reply)) return false;
    if (s_->listener) s_->listener->ReplyDeleted(page, index, name);
    return true;
}

}  // namespace quill::engine
