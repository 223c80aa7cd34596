#include <gtest/gtest.h>

#include <regex>

#include "sync/base_exception.h"
#include "sync/fdf/fdf_builders.h"
#include "sync/page_annot_map.h"

using namespace quill;
using namespace quill::sync;

TEST(CommentRecords, AnnotObjectTakesTheControlsNamesAndDate) {
    auto annot = CreateAnnotObject(LiveAnnotValues{46000.5, "Annot", "File Attachment"}, 3);
    EXPECT_EQ(annot->page, 3);
    EXPECT_EQ(annot->objectKind, 1);
    EXPECT_EQ(annot->subtypeCode, 4);
    EXPECT_DOUBLE_EQ(annot->date, 46000.5);
    EXPECT_EQ(CreateAnnotObject(LiveAnnotValues{0, "EmbeddedFile", "Line"}, 0)->subtypeCode, 5);
    EXPECT_EQ(CreateAnnotObject(LiveAnnotValues{0, "Other", "FileAttachment"}, 0)->subtypeCode, 0);
    auto reply = CreateAnnotObject(1);
    EXPECT_EQ(reply->page, 1);
    EXPECT_EQ(reply->content, nullptr);
}

TEST(CommentRecords, NewCommentNameIsAnUpperCaseGuid) {
    const std::string a = NewCommentName(), b = NewCommentName();
    EXPECT_TRUE(std::regex_match(
        a, std::regex("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}")))
        << a;
    EXPECT_NE(a, b);
}

TEST(CommentRecords, CreateFdfContentNeedsContent) {
    CAnnot empty;
    EXPECT_THROW(CreateFDFContent(empty), BaseException);
}

TEST(CommentRecords, PageMapListsRepliesUnderTheirParent) {
    PageAnnotMap map(2);
    auto annot = std::make_unique<CAnnot>();
    annot->uniqueName = "A";
    annot->page = 1;
    CNMObject* parent = map.Insert(std::move(annot));
    auto reply = CreateAnnotObject(1);
    reply->uniqueName = "R";
    reply->inReplyTo = "A";
    CNMObject* child = map.Insert(std::move(reply));
    EXPECT_EQ(child->parent, parent);
    EXPECT_EQ(parent->replies, std::vector<CNMObject*>{child});
    EXPECT_EQ(map.Find(1, "R"), child);
    auto outside = std::make_unique<CAnnot>();
    outside->page = 2;
    EXPECT_EQ(map.Insert(std::move(outside)), nullptr);
    map.Erase(1, "A");
    EXPECT_EQ(child->parent, nullptr);
    EXPECT_EQ(map.Page(1).size(), 1u);
}
