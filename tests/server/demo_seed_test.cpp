// The demo review: what a client started with the built-in debug string finds on the server.
#include <gtest/gtest.h>

#include <qpdf/QPDF.hh>

#include "queue_requests.h"

using namespace servertest;
using testsupport::ReviewServerProcess;

namespace {

ReviewServerProcess::Options DemoOptions() {
    ReviewServerProcess::Options options;
    options.seedDemo = true;
    return options;
}

}  // namespace

TEST(DemoSeed, ServesTheSampleDrawingWithRotatedSheets) {
    ReviewServerProcess server;
    ASSERT_TRUE(server.Start(DemoOptions())) << server.error();
    auto pdf = server.Get("/Comm/download.do?file=sample-drawing.pdf");
    ASSERT_EQ(pdf.status, 200);
    ASSERT_EQ(pdf.body.rfind("%PDF-", 0), 0u);
    QPDF doc;
    doc.processMemoryFile("sample", pdf.body.data(), pdf.body.size());
    auto pages = doc.getAllPages();
    ASSERT_GE(pages.size(), 3u);
    std::set<long long> rotations;
    for (auto& page : pages) {
        auto rotate = page.getKey("/Rotate");
        rotations.insert(rotate.isInteger() ? rotate.getIntValue() : 0);
        EXPECT_TRUE(page.getKey("/Contents").isStream());
    }
    EXPECT_EQ(rotations, (std::set<long long>{0, 90, 270}));
    EXPECT_TRUE(doc.getWarnings().empty());
}

TEST(DemoSeed, HoldsPublishedCommentsOfOtherDisciplines) {
    ReviewServerProcess server;
    ASSERT_TRUE(server.Start(DemoOptions())) << server.error();
    auto items =
        ParseJson(server.Get("/Comm/update.do?CMD=UPDATE&docId=10011&rev=0&").body)["docQ"];
    ASSERT_GE(items.size(), 3u);
    std::set<std::string> authors;
    for (const auto& item : items) {
        std::string blob = Unescape(item["OBJECT"].asString());
        quillserver::CommentBlobParts parts;
        ASSERT_TRUE(quillserver::SplitCommentBlob(blob, parts));
        std::string content(parts.content);
        EXPECT_EQ(content.rfind("<</Type/Annot/Subtype/", 0), 0u);
        // The page is the annotation's last key, and matches the item's page.
        std::string tail = "/Page " + std::to_string(item["PAGE_NO"].asInt()) + ">>";
        EXPECT_EQ(content.substr(content.size() - tail.size()), tail);
        EXPECT_NE(content.find("/NM(" + item["NM"].asString() + ")"), std::string::npos);
        auto t = content.find("/T(");
        authors.insert(content.substr(t + 3, content.find(')', t) - t - 3));
        if (!parts.subContent.empty()) {
            EXPECT_NE(std::string(parts.subContent).find("/Parent 2 0 R /Page"), std::string::npos);
            EXPECT_NE(content.find("/Popup 3 0 R"), std::string::npos);
        }
        if (!item["IRT"].asString().empty()) {
            EXPECT_NE(content.find("/IRT(" + item["IRT"].asString() + ")"), std::string::npos);
        }
    }
    EXPECT_EQ(authors, (std::set<std::string>{"Lee Jihoon-Electrical", "Park Seojun-Structural"}));

    // The attachment comes through its own list, with its embedded file stream intact.
    EXPECT_EQ(server.Get("/Comm/fileAttachlist.do?docId=10011&rev=0").body, "{\"rev\":[\"1\"]}");
    auto files =
        ParseJson(server.Get("/Comm/updateFileAttach.do?CMD=UPDATE_FILE_ATTACH&docId=10011&rev=1&")
                      .body)["docQ"];
    ASSERT_EQ(files.size(), 1u);
    quillserver::CommentBlobParts parts;
    std::string blob = Unescape(files[0]["OBJECT"].asString());
    ASSERT_TRUE(quillserver::SplitCommentBlob(blob, parts));
    std::string file(parts.fileContent);
    auto close = file.find(">>stream\r\n");
    ASSERT_NE(close, std::string::npos);
    int length = std::atoi(file.c_str() + file.find("/Length ") + 8);
    EXPECT_EQ(file.size(), close + static_cast<size_t>(length) + 21);
    EXPECT_EQ(file.substr(file.size() - 11), "\r\nendstream");
    EXPECT_NE(std::string(parts.content).find("/EF<</F 4 0 R>>"), std::string::npos);

    auto users = ParseJson(
        server.Get("/Comm/cmntuser.do?squrvwmno=1001&rvwfileseq=1&sitecd=S01").body)["cmnt"];
    ASSERT_EQ(users.size(), 4u);
    EXPECT_EQ(users[1]["FST_REG_USER_ID"].asString(), "reviewer1");
    EXPECT_EQ(users[1]["USER_KNM"].asString(), "Kim Minsu");
    EXPECT_EQ(users[1]["SITE_USE_NM"].asString(), "Piping");
    EXPECT_NE(
        server.Get("/Comm/revcmnt.do?squrvwmno=1001&rvwfileseq=1").body.find("\"RVW_YN\":\"Y\""),
        std::string::npos);

    // Seeding again on restart adds nothing.
    ASSERT_TRUE(server.Restart()) << server.error();
    EXPECT_EQ(ParseJson(server.Get("/Comm/update.do?docId=10011&rev=0").body)["docQ"].size(),
              items.size());
}
