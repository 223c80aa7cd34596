#include "sync/wire/comment_blob.h"
#include "sync/sync_names.h"

#include <cstdio>
#include <cstring>

#include "sync/base_exception.h"
#include "sync/log_step.h"

namespace quill::sync {

namespace {

uint32_t LengthOf(const std::unique_ptr<ByteBuffer>& b) {
    return b ? static_cast<uint32_t>(b->length()) : 0u;
}

void PutLength(char* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

uint32_t GetLength(const char* at) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(static_cast<uint8_t>(at[i])) << (8 * i);
    return value;
}

}  // namespace

ByteBuffer MakeCommentBlob(const BinaryContent& content) {
    LogStep step("CommentBlob");
    const uint32_t l1 = LengthOf(content.content);
    const uint32_t l2 = LengthOf(content.subContent);
    const uint32_t l3 = LengthOf(content.fileContent);
    const uint64_t total = kCommentBlobHeaderSize + uint64_t{l1} + l2 + l3;
    if (total > ByteBuffer::kMaxLength) {
        throw BaseException("The comment is too large to send.", kBlobErrorCode);
    }
    ByteBuffer blob = ByteBuffer::Allocate(static_cast<size_t>(total));
    char* out = blob.mutableData();
    PutLength(out, l1);
    PutLength(out + 4, l2);
    PutLength(out + 8, l3);
    size_t at = kCommentBlobHeaderSize;
    for (const auto* part : {&content.content, &content.subContent, &content.fileContent}) {
        if (*part && !(*part)->empty()) {
            std::memcpy(out + at, (*part)->data(), (*part)->size());
            at += (*part)->size();
        }
    }
    return blob;
}

std::unique_ptr<BinaryContent> BinaryContentFromBlob(std::string_view blob) {
    LogStep step("BinaryContent");
    if (blob.size() < kCommentBlobHeaderSize) {
        throw BaseException("Damaged comment data: " + std::to_string(blob.size()) +
                                " bytes are too few for the comment header.",
                            kBlobErrorCode);
    }
    const uint32_t l1 = GetLength(blob.data());
    const uint32_t l2 = GetLength(blob.data() + 4);
    const uint32_t l3 = GetLength(blob.data() + 8);
    const uint64_t expected = kCommentBlobHeaderSize + uint64_t{l1} + l2 + l3;
    // Bytes behind the three parts are ignored, as every client has always done: a peer or
    // a server that pads the blob must not cost the reviewers a comment. Lengths that reach
    // past the blob are refused.
    if (expected > blob.size()) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "Damaged comment data: lengths %u, %u and %u reach past the %zu bytes "
                      "received.",
                      l1, l2, l3, blob.size());
        throw BaseException(text, kBlobErrorCode);
    }
    if (expected < blob.size())
        step.Log("Ignored " + std::to_string(blob.size() - expected) +
                 " bytes behind the comment.");
    auto result = std::make_unique<BinaryContent>();
    size_t at = kCommentBlobHeaderSize;
    result->content = std::make_unique<ByteBuffer>(ByteBuffer::Copy(blob.substr(at, l1)));
    at += l1;
    step.Log("CREATE content");
    step.Log(result->content->str());
    if (l2 != 0) {
        result->subContent = std::make_unique<ByteBuffer>(ByteBuffer::Copy(blob.substr(at, l2)));
        step.Log("CREATE subContent");
    }
    at += l2;
    if (l3 != 0) {
        result->fileContent = std::make_unique<ByteBuffer>(ByteBuffer::Copy(blob.substr(at, l3)));
        step.Log("CREATE fileContent");
        step.Log(result->fileContent->str());
    }
    return result;
}

}  // namespace quill::sync
