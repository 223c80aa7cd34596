// A file attachment annotation of an FDF file, with the embedded-file object it names.
#pragma once
#include "sync/sync_names.h"

#include "sync/fdf/fdf_content.h"

namespace quill::sync {

class CFDFFileAttachment : public CFDFContent {
public:
    CFDFFileAttachment() { subtype = kFdfSubtypeFileAttachment; }
    ~CFDFFileAttachment() override;

    std::unique_ptr<BinaryContent> CreateBinaryContent() const override;

    // Takes ownership of the embedded-file object (objects built for writing).
    void AdoptEmbeddedFile(std::unique_ptr<CFDFContent> file);

    std::string_view embeddedFileId;  // object id named by the EF dictionary's F entry
    CFDFContent* embeddedFile = nullptr;

private:
    std::unique_ptr<CFDFContent> ownedEmbeddedFile_;
};

}  // namespace quill::sync
