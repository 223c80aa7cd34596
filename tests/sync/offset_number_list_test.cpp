#include "sync/fdf/offset_number_list.h"

#include <gtest/gtest.h>

using namespace quill;
using namespace quill::sync;

TEST(OffsetNumberList, WritesThreeDigitsAPointAndThreeDecimalsBehindABlank) {
    ByteBuffer on = ByteBuffer::Copy("/Rect[ 1 2.5]/NM(x)");
    EXPECT_TRUE(OffsetNumberList(on, NumberListKey::Rect, true));
    EXPECT_EQ(on.view(), "/Rect[ 011.000 012.500]/NM(x)");
    ByteBuffer off = ByteBuffer::Copy("/Rect[ 1 2.5]/NM(x)");
    EXPECT_TRUE(OffsetNumberList(off, NumberListKey::Rect, false));
    EXPECT_EQ(off.view(), "/Rect[ 001.000 002.500]/NM(x)");
    ByteBuffer wide = ByteBuffer::Copy("/L[ -5 1234.5678]");
    EXPECT_TRUE(OffsetNumberList(wide, NumberListKey::L, false));
    EXPECT_EQ(wide.view(), "/L[ -005.000 1234.568]");
}

TEST(OffsetNumberList, ReadsItsOwnOutputBackInFull) {
    ByteBuffer text = ByteBuffer::Copy("/Vertices[ 1 2 3.25 4]/Page 0");
    ASSERT_TRUE(OffsetNumberList(text, NumberListKey::Vertices, true));
    const std::string once = text.str();
    ASSERT_TRUE(OffsetNumberList(text, NumberListKey::Vertices, false));
    EXPECT_EQ(text.str(), once);
    ASSERT_TRUE(OffsetNumberList(text, NumberListKey::Vertices, true));
    EXPECT_EQ(text.view(), "/Vertices[ 021.000 022.000 023.250 024.000]/Page 0");
}

TEST(OffsetNumberList, RewritesEveryInkStrokeAndLeavesMissingArraysAlone) {
    ByteBuffer ink = ByteBuffer::Copy("/InkList[[ 1 2 3 4][ 5 6]]/Page 0");
    EXPECT_TRUE(OffsetNumberList(ink, NumberListKey::InkList, true));
    EXPECT_EQ(ink.view(), "/InkList[[ 011.000 012.000 013.000 014.000][ 015.000 016.000]]/Page 0");
    ByteBuffer one = ByteBuffer::Copy("/InkList[[ 1 2]]");
    EXPECT_TRUE(OffsetNumberList(one, NumberListKey::InkList, false));
    EXPECT_EQ(one.view(), "/InkList[[ 001.000 002.000]]");
    ByteBuffer none = ByteBuffer::Copy("/Rect[ 1 2");
    EXPECT_FALSE(OffsetNumberList(none, NumberListKey::Rect, true));
    EXPECT_FALSE(OffsetNumberList(none, NumberListKey::Vertices, true));
    EXPECT_EQ(none.view(), "/Rect[ 1 2");
}
