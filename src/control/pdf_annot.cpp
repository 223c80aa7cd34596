#include "control/pdf_annot.h"

namespace quill::control {

bool PdfAnnot::IsValid() const { return backend_ && id_ && backend_->AnnotExists(id_); }

int16_t PdfAnnot::Thickness() const { return backend_ ? backend_->GetThickness(id_) : 0; }
void PdfAnnot::SetThickness(int16_t width) {
    if (backend_) backend_->SetThickness(id_, width);
}
int16_t PdfAnnot::BorderStyle() const { return backend_ ? backend_->GetBorderStyle(id_) : 0; }
void PdfAnnot::SetBorderStyle(int16_t code) {
    if (backend_) backend_->SetBorderStyle(id_, code);
}
int32_t PdfAnnot::Color() const { return backend_ ? backend_->GetColor(id_) : 0; }
void PdfAnnot::SetColor(int32_t bgr) {
    if (backend_) backend_->SetColor(id_, bgr);
}

static std::string Text(const PdfObjectBackend* b, AnnotId id, AnnotText f) {
    return b ? b->GetAnnotText(id, f) : std::string();
}

std::string PdfAnnot::Author() const { return Text(backend_, id_, AnnotText::Author); }
void PdfAnnot::SetAuthor(const std::string& author) {
    if (backend_) backend_->SetAnnotText(id_, AnnotText::Author, author);
}
std::string PdfAnnot::Subject() const { return Text(backend_, id_, AnnotText::Subject); }
void PdfAnnot::SetSubject(const std::string& subject) {
    if (backend_) backend_->SetAnnotText(id_, AnnotText::Subject, subject);
}
double PdfAnnot::ModDate() const { return backend_ ? backend_->GetModDate(id_) : 0.0; }
void PdfAnnot::SetModDate(double date) {
    if (backend_) backend_->SetModDate(id_, date);
}
bool PdfAnnot::ReadOnly() const { return backend_ && backend_->GetReadOnly(id_); }
void PdfAnnot::SetReadOnly(bool readOnly) {
    if (backend_) backend_->SetReadOnly(id_, readOnly);
}
std::string PdfAnnot::GetTypeName() const { return Text(backend_, id_, AnnotText::TypeName); }
std::string PdfAnnot::GetSubtypeName() const { return Text(backend_, id_, AnnotText::SubtypeName); }
std::string PdfAnnot::GetContents() const { return Text(backend_, id_, AnnotText::Contents); }
void PdfAnnot::SetContents(const std::string& contents) {
    if (backend_) backend_->SetAnnotText(id_, AnnotText::Contents, contents);
}
void PdfAnnot::SetShown(bool shown) {
    if (backend_) backend_->SetShown(id_, shown);
}
bool PdfAnnot::IsShown() const { return backend_ && backend_->GetShown(id_); }
PdfReplyList PdfAnnot::GetReplies() const { return PdfReplyList(backend_, id_); }

void PdfAnnot::SetReplies(const PdfReplyList& list) {
    // The list is live: changes made through its replies are already in the control.
    // Nothing is copied from a list that belongs to another annotation.
    (void)list;
}

std::string PdfAnnot::GetName() const { return Text(backend_, id_, AnnotText::Name); }
std::string PdfAnnot::GetToolName() const { return Text(backend_, id_, AnnotText::ToolName); }
int32_t PdfAnnot::PageIndex() const { return backend_ ? backend_->AnnotPageOf(id_) : -1; }
int32_t PdfAnnot::Index() const { return backend_ ? backend_->AnnotIndexOf(id_) : -1; }

}  // namespace quill::control
