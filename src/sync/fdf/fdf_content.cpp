#include "sync/fdf/fdf_content.h"
#include "sync/sync_names.h"

#include "sync/fdf/fdf_file_attachment.h"

namespace quill::sync {

CFDFContent::~CFDFContent() = default;

CFDFContent* CFDFContent::PopupOrNull() const {
    return popup && !popup->rawText.empty() ? popup : nullptr;
}

void CFDFContent::AdoptPopup(std::unique_ptr<CFDFContent> p) {
    ownedPopup_ = std::move(p);
    popup = ownedPopup_.get();
    if (popup) popup->relatedObject = this;
}

std::string_view CFDFContent::Own(std::string text) {
    ownedTexts_.push_front(std::move(text));
    return ownedTexts_.front();
}

std::unique_ptr<BinaryContent> CFDFContent::CreateBinaryContent() const {
    auto result = std::make_unique<BinaryContent>();
    result->content = std::make_unique<ByteBuffer>(ByteBuffer::Copy(rawText.view()));
    if (const CFDFContent* p = PopupOrNull()) {
        result->subContent = std::make_unique<ByteBuffer>(ByteBuffer::Copy(p->rawText.view()));
    }
    return result;
}

CFDFFileAttachment::~CFDFFileAttachment() = default;

void CFDFFileAttachment::AdoptEmbeddedFile(std::unique_ptr<CFDFContent> file) {
    ownedEmbeddedFile_ = std::move(file);
    embeddedFile = ownedEmbeddedFile_.get();
    if (embeddedFile) embeddedFile->relatedObject = this;
}

std::unique_ptr<BinaryContent> CFDFFileAttachment::CreateBinaryContent() const {
    auto result = CFDFContent::CreateBinaryContent();
    if (embeddedFile && !embeddedFile->rawText.empty()) {
        result->fileContent =
            std::make_unique<ByteBuffer>(ByteBuffer::Copy(embeddedFile->rawText.view()));
    }
    return result;
}

}  // namespace quill::sync
