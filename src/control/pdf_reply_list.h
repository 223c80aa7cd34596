// PdfReplyList: the live list of direct replies of one annotation or reply.
#pragma once

#include <cstdint>

#include "control/pdf_object_backend.h"
#include "control/pdf_reply.h"

namespace quill::control {

// Live: the count and the replies are read from the control at each call, so a change made
// through a PdfReply of the list is in the control at once.
class PdfReplyList {
public:
    PdfReplyList() = default;
    PdfReplyList(PdfObjectBackend* backend, AnnotId owner) : backend_(backend), owner_(owner) {}

    int32_t ReplyCount() const;
    PdfReply GetReply(int32_t index) const;  // an invalid handle when out of range

    AnnotId Owner() const { return owner_; }

private:
    PdfObjectBackend* backend_ = nullptr;
    AnnotId owner_ = 0;
};

}  // namespace quill::control
