// The byte form of one comment as clients send it: three little-endian 32-bit lengths, then the
// annotation's raw text, its popup's raw text and its embedded file's raw text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillserver {

struct CommentBlobParts {
    std::string_view content;
    std::string_view subContent;
    std::string_view fileContent;
};

// Splits a blob, checking every length against the size; false for a blob that is too short,
// whose lengths do not add up to its size, or whose content is empty.
bool SplitCommentBlob(std::string_view blob, CommentBlobParts& parts);

// Builds a blob from its three parts (an empty part has length 0).
std::string MakeCommentBlob(std::string_view content, std::string_view subContent,
                            std::string_view fileContent);

}  // namespace quillserver
