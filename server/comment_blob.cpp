#include "server/comment_blob.h"

namespace quillserver {

namespace {

std::uint32_t ReadLength(std::string_view bytes, size_t offset) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[offset + i]);
    return v;
}

void AppendLength(std::string& out, size_t n) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
}

}  // namespace

bool SplitCommentBlob(std::string_view blob, CommentBlobParts& parts) {
    if (blob.size() < 12) return false;
    std::uint64_t l1 = ReadLength(blob, 0);
    std::uint64_t l2 = ReadLength(blob, 4);
    std::uint64_t l3 = ReadLength(blob, 8);
    if (l1 == 0 || 12 + l1 + l2 + l3 != blob.size()) return false;
    parts.content = blob.substr(12, l1);
    parts.subContent = blob.substr(12 + l1, l2);
    parts.fileContent = blob.substr(12 + l1 + l2, l3);
    return true;
}

std::string MakeCommentBlob(std::string_view content, std::string_view subContent,
                            std::string_view fileContent) {
    std::string out;
    out.reserve(12 + content.size() + subContent.size() + fileContent.size());
    AppendLength(out, content.size());
    AppendLength(out, subContent.size());
    AppendLength(out, fileContent.size());
    out.append(content);
    out.append(subContent);
    out.append(fileContent);
    return out;
}

}  // namespace quillserver
