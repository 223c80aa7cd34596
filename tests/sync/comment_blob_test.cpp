#include "sync/wire/comment_blob.h"

#include <gtest/gtest.h>

#include "sync/base_exception.h"

using namespace quill;
using namespace quill::sync;

namespace {

std::string Header(uint32_t a, uint32_t b, uint32_t c) {
    std::string h;
    for (uint32_t v : {a, b, c}) {
        for (int i = 0; i < 4; ++i) h += static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    return h;
}

}  // namespace

TEST(CommentBlob, WritesLittleEndianLengthsThenTheThreeTexts) {
    BinaryContent content;
    content.content = std::make_unique<ByteBuffer>(ByteBuffer::Copy("<<A>>"));
    content.fileContent = std::make_unique<ByteBuffer>(ByteBuffer::Copy(std::string("x\0y", 3)));
    ByteBuffer blob = MakeCommentBlob(content);
    EXPECT_EQ(blob.str(), Header(5, 0, 3) + "<<A>>" + std::string("x\0y", 3));

    auto back = BinaryContentFromBlob(blob.view());
    EXPECT_EQ(back->content->view(), "<<A>>");
    EXPECT_EQ(back->subContent, nullptr);  // length 0: absent
    EXPECT_EQ(back->fileContent->view(), std::string_view("x\0y", 3));
    EXPECT_EQ(back->fileContent->data()[3], '\0');
}

TEST(CommentBlob, HostileLengthsAreRefusedWithoutReadingPastTheBlob) {
    const std::string body = "abcdef";
    for (const std::string& blob : {
             std::string(),
             std::string("\x01\x00\x00", 3),
             Header(7, 0, 0) + body,            // one byte short
             Header(3, 2, 2) + body,            // the last part one byte short
             Header(2, 2, 0xFFFFFFFFu) + body,  // sums past 32 bits
             Header(0xFFFFFFFFu, 0xFFFFFFFFu, 8) + body,
         }) {
        try {
            BinaryContentFromBlob(blob);
            FAIL() << blob.size();
        } catch (const BaseException& e) {
            EXPECT_EQ(e.code(), kBlobErrorCode);
            EXPECT_NE(std::string(e.what()).find("Damaged comment data"), std::string::npos);
        }
    }
    auto ok = BinaryContentFromBlob(Header(2, 4, 0) + body);
    EXPECT_EQ(ok->content->view(), "ab");
    EXPECT_EQ(ok->subContent->view(), "cdef");
}

// Peers read the three parts by their lengths and ignore what follows; so does the client,
// so that a padded blob still brings the comment.
TEST(CommentBlob, BytesBehindTheThreePartsAreIgnored) {
    const std::string body = "abcdef";
    auto one = BinaryContentFromBlob(Header(5, 0, 0) + body);
    EXPECT_EQ(one->content->view(), "abcde");
    EXPECT_EQ(one->subContent, nullptr);
    EXPECT_EQ(one->fileContent, nullptr);

    auto three = BinaryContentFromBlob(Header(2, 1, 1) + body + std::string(1, '\0'));
    EXPECT_EQ(three->content->view(), "ab");
    EXPECT_EQ(three->subContent->view(), "c");
    EXPECT_EQ(three->fileContent->view(), "d");
    EXPECT_EQ(three->fileContent->size(), 1u);
}
