#include "control/pdf_reply_list.h"

namespace quill::control {

int32_t PdfReplyList::ReplyCount() const { return backend_ ? backend_->ReplyCount(owner_) : 0; }

PdfReply PdfReplyList::GetReply(int32_t index) const {
    if (!backend_) return PdfReply();
    const AnnotId id = backend_->ReplyAt(owner_, index);
    return id ? PdfReply(backend_, id) : PdfReply();
}

}  // namespace quill::control
