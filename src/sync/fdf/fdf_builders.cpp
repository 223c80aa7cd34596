#include "sync/fdf/fdf_builders.h"
#include "sync/sync_names.h"

#include <cstdio>

#include "platform/guid.h"
#include "sync/base_exception.h"
#include "sync/fdf/fdf_file_attachment.h"
#include "sync/log_step.h"

namespace quill::sync {

std::unique_ptr<CAnnot> CreateAnnotObject(const LiveAnnotValues& annot, int page) {
    LogStep step("CreateAnnotObject");
    auto record = std::make_unique<CAnnot>();
    record->page = page;
    record->objectKind = AnnotKindFromTypeName(annot.typeName);
    record->subtypeCode = AnnotSubtypeFromControlName(annot.subtypeName);
    record->date = annot.modDate;
    return record;
}

std::unique_ptr<CReply> CreateAnnotObject(int page) {
    LogStep step("CreateAnnotObject");
    auto record = std::make_unique<CReply>();
    record->page = page;
    return record;
}

std::unique_ptr<CFDFContent> CreateFDFContent(const CNMObject& stored) {
    LogStep step("CreateFDFContent");
    const BinaryContent* content = stored.content.get();
    if (!content || !content->content) {
        throw BaseException("The comment " + stored.uniqueName + " has no content.");
    }
    std::unique_ptr<CFDFContent> object;
    if (content->fileContent) {
        auto attachment = std::make_unique<CFDFFileAttachment>();
        auto file = std::make_unique<CFDFContent>();
        file->kind = kFdfKindEmbeddedFile;
        file->rawText = ByteBuffer::Copy(content->fileContent->view());
        attachment->AdoptEmbeddedFile(std::move(file));
        object = std::move(attachment);
    } else {
        object = std::make_unique<CFDFContent>();
    }
    step.Log("CREATE CFDFContent");
    object->uniqueName = object->Own(stored.uniqueName);
    object->inReplyTo = object->Own(stored.inReplyTo);
    {
        LogStep getContent("GetContent");
        object->rawText = ByteBuffer::Copy(content->content->view());
        getContent.Log(std::to_string(object->rawText.length()));
    }
    auto popup = std::make_unique<CFDFContent>();
    if (content->subContent) {
        LogStep getSubContent("GetSubContent");
        popup->rawText = ByteBuffer::Copy(content->subContent->view());
        getSubContent.Log(std::to_string(popup->rawText.length()));
    }
    object->AdoptPopup(std::move(popup));
    return object;
}

std::string NewCommentName() {
    LogStep step("NewCommentName");
    const platform::Guid g = platform::NewGuid();
    char text[40];
    std::snprintf(text, sizeof text, "%.8X-%.4X-%.4X-%.2X%.2X-%.2X%.2X%.2X%.2X%.2X%.2X",
                  static_cast<unsigned>(g.data1), static_cast<unsigned>(g.data2),
                  static_cast<unsigned>(g.data3), g.data4[0], g.data4[1], g.data4[2], g.data4[3],
                  g.data4[4], g.data4[5], g.data4[6], g.data4[7]);
    return text;
}

size_t EmbeddedFileSize(const CFDFContent& object) {
    if (object.subtype != kFdfSubtypeFileAttachment) return 0;
    const auto* attachment = dynamic_cast<const CFDFFileAttachment*>(&object);
    if (!attachment || !attachment->embeddedFile) return 0;
    const CFDFContent& file = *attachment->embeddedFile;
    if (!file.streamData.empty()) return file.streamData.size();
    return file.length > 0 ? static_cast<size_t>(file.length) : 0;
}

bool ExceedsEmbeddedFileLimit(const CFDFContent& object) {
    return EmbeddedFileSize(object) > kMaxEmbeddedFileBytes;
}

}  // namespace quill::sync
