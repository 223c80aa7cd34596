// The comment copy buffer: the comment the reviewer copied, pasted with Ctrl+V.
#pragma once

#include <string>

namespace quill::app {

struct CommentCopyBuffer {
    std::string fdfFile;  // the FDF file with the copy, produced at paste time
    std::string name;     // annotation name of the copied comment; empty when nothing is copied
    int page = 0;
    // Where the comment stood when it was copied. A merge may shift it before the paste,
    // so the paste finds the comment by name on its page, never by this index.
    int annotIndex = 0;

    bool HoldsComment() const { return !name.empty(); }
    // Forgets the copied comment (name, page and index), keeping the file name.
    void ClearComment() {
        name.clear();
        page = 0;
        annotIndex = 0;
    }
    void Clear() {
        ClearComment();
        fdfFile.clear();
    }
};

// The process-wide buffer, shared by the comment list and the viewer dialog.
CommentCopyBuffer& AppCommentCopyBuffer();

}  // namespace quill::app
