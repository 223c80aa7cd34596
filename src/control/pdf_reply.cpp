#include "control/pdf_reply.h"

#include "control/pdf_reply_list.h"

namespace quill::control {

bool PdfReply::IsValid() const { return backend_ && id_ && backend_->AnnotExists(id_); }

void PdfReply::SetAuthor(const std::string& author) {
    if (backend_) backend_->SetAnnotText(id_, AnnotText::Author, author);
}
std::string PdfReply::GetAuthor() const {
    return backend_ ? backend_->GetAnnotText(id_, AnnotText::Author) : std::string();
}
std::string PdfReply::GetText() const {
    return backend_ ? backend_->GetAnnotText(id_, AnnotText::Contents) : std::string();
}
PdfReplyList PdfReply::GetReplies() const { return PdfReplyList(backend_, id_); }
double PdfReply::GetDate() const { return backend_ ? backend_->GetModDate(id_) : 0.0; }
bool PdfReply::ReadOnly() const { return backend_ && backend_->GetReadOnly(id_); }
void PdfReply::SetReadOnly(bool readOnly) {
    if (backend_) backend_->SetReadOnly(id_, readOnly);
}
std::string PdfReply::GetName() const {
    return backend_ ? backend_->GetAnnotText(id_, AnnotText::Name) : std::string();
}
std::string PdfReply::GetInReplyTo() const {
    return backend_ ? backend_->GetAnnotText(id_, AnnotText::InReplyTo) : std::string();
}

}  // namespace quill::control
