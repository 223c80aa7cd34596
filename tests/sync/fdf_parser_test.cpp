#include "sync/fdf/fdf_parser.h"

#include <gtest/gtest.h>

#include "app/logs.h"
#include "support/temp_dir.h"
#include "sync/base_exception.h"
#include "sync/fdf/fdf_builders.h"
#include "sync/fdf/fdf_file_attachment.h"
#include "sync/fdf/fdf_name_tokens.h"
#include "sync/fdf_samples.h"

using namespace quill;
using namespace quill::sync;
using namespace quill::app;

using fdfsamples::File;
using fdfsamples::Object;

namespace {

CFDFContent* ById(FdfDocument& doc, const std::string& id) {
    for (auto& o : doc.objects) {
        if (o->objectId == id) return o.get();
    }
    return nullptr;
}

void ExpectParseFailure(const std::string& bytes) {
    FdfDocument doc;
    try {
        ParseFdfBytes(bytes, doc);
        FAIL() << "parsed: " << bytes;
    } catch (const BaseException& e) {
        EXPECT_STREQ(e.what(), "Cannot parse FDF file.");
        EXPECT_EQ(e.code(), kFdfParseErrorCode);
        EXPECT_TRUE(doc.objects.empty());
        EXPECT_TRUE(doc.objectsByName.empty());
    }
}

}  // namespace

TEST(FdfParser, SplitsObjectsAndReadsTheirFields) {
    testsupport::TempDir dir;
    testsupport::WriteFileBytes(dir / "a.fdf", fdfsamples::AttachmentWithPopup());
    FdfDocument doc;
    ASSERT_TRUE(OpenAndParse((dir / "a.fdf").string(), doc));
    EXPECT_EQ(doc.version, "1.2");
    EXPECT_EQ(doc.rootId, "1 0");
    EXPECT_EQ(doc.annots, (std::vector<std::string>{"7 0", "9 0", "14 0", "15 0"}));
    ASSERT_EQ(doc.objects.size(), 5u);

    auto* annot = dynamic_cast<CFDFFileAttachment*>(ById(doc, "7 0"));
    ASSERT_NE(annot, nullptr);
    EXPECT_EQ(annot->kind, kFdfKindAnnot);
    EXPECT_EQ(annot->subtype, kFdfSubtypeFileAttachment);
    EXPECT_EQ(annot->page, 2);
    EXPECT_EQ(annot->author, "Kim");
    EXPECT_EQ(annot->creationDate, "20261207093000+09'00'");
    EXPECT_EQ(annot->uniqueName, "ANNOT-1");
    EXPECT_EQ(annot->embeddedFileId, "12 0");
    EXPECT_EQ(annot->rawText.view().substr(0, 13), "<</Type/Annot");
    EXPECT_EQ(annot->rawText.view().substr(annot->rawText.size() - 9), "/Page 2>>");

    CFDFContent* popup = ById(doc, "9 0");
    EXPECT_EQ(popup->subtype, kFdfSubtypePopup);
    EXPECT_EQ(popup->parent, "7 0");
    CFDFContent* file = ById(doc, "12 0");
    EXPECT_EQ(file->kind, kFdfKindEmbeddedFile);
    EXPECT_EQ(file->length, 5);
    EXPECT_EQ(file->streamData.view(), "hello");
    EXPECT_EQ(file->rawText.view(), "<</Type/EmbeddedFile/Length 5>>stream\r\nhello\r\nendstream");
    EXPECT_EQ(ById(doc, "14 0")->inReplyTo, "ANNOT-1");
    EXPECT_EQ(ById(doc, "15 0")->page, 0);
}

TEST(FdfParser, RelatesPopupsRepliesAndEmbeddedFiles) {
    FdfDocument doc;
    ParseFdfBytes(fdfsamples::AttachmentWithPopup(), doc);
    auto* annot = dynamic_cast<CFDFFileAttachment*>(ById(doc, "7 0"));
    CFDFContent* popup = ById(doc, "9 0");
    CFDFContent* file = ById(doc, "12 0");
    CFDFContent* reply = ById(doc, "14 0");
    EXPECT_EQ(annot->popup, popup);
    EXPECT_EQ(popup->relatedObject, annot);
    EXPECT_EQ(annot->embeddedFile, file);
    EXPECT_EQ(file->relatedObject, annot);
    EXPECT_EQ(reply->relatedObject, annot);
    for (auto& o : doc.objects) EXPECT_EQ(o->document, &doc);
    // Popups never enter the unique-name map, even with a name of their own.
    EXPECT_EQ(doc.Find("POPUP-1"), nullptr);
    EXPECT_EQ(doc.Find("ANNOT-1"), annot);
    EXPECT_EQ(doc.objectsByName.size(), 3u);
}

TEST(FdfParser, FirstMatchRelatesAndLastNameWinsTheMap) {
    const std::string text =
        File(Object("2 0", "<</Type/Annot/Subtype/Text/NM(SAME)/Page 0>>") +
             Object("3 0", "<</Type/Annot/Subtype/Text/NM(SAME)/Page 1>>") +
             Object("4 0", "<</Type/Annot/Subtype/Text/NM(R)/IRT(SAME)/Page 0>>") +
             Object("5 0", "<</Type/Annot/Subtype/Popup/Parent 2 0 R /NM(P)>>") +
             Object("2 0", "<</Type/Annot/Subtype/Square/NM(DUP-ID)/Page 3>>"));
    FdfDocument doc;
    ParseFdfBytes(text, doc);
    ASSERT_EQ(doc.objects.size(), 5u);
    EXPECT_EQ(doc.objects[2]->relatedObject, doc.objects[0].get());  // the first "SAME"
    EXPECT_EQ(doc.objects[3]->relatedObject, doc.objects[0].get());  // the first "2 0"
    EXPECT_EQ(doc.objects[0]->popup, doc.objects[3].get());
    EXPECT_EQ(doc.objects[4]->popup, nullptr);
    EXPECT_EQ(doc.Find("SAME"), doc.objects[1].get());  // the later one replaces
}

TEST(FdfParser, ComparesNameTokensWhole) {
    FdfDocument doc;
    ParseFdfBytes(File(Object("2 0", "<</Type/Annot/Subtype/Text/NM(A)>>") +
                       Object("3 0", "<</Type/Annots/Subtype/Texts/NM(B)>>") +
                       Object("4 0", "<</Type/Annot/Subtype/Polygon/Subtype/Popup/NM(C)>>")),
                  doc);
    EXPECT_EQ(doc.objects[0]->subtype, kFdfSubtypeText);
    EXPECT_EQ(doc.objects[0]->kind, kFdfKindAnnot);
    EXPECT_EQ(doc.objects[1]->subtype, kFdfSubtypeOther);
    EXPECT_EQ(doc.objects[1]->kind, kFdfKindOther);
    EXPECT_EQ(doc.objects[2]->subtype, kFdfSubtypePopup);  // the last matching token wins
    EXPECT_EQ(SplitNameTokens("<</A 1/B<</C(x)>>/D>>"),
              (std::vector<std::string_view>{"A 1", "B", "C(x)", "D"}));
}

TEST(FdfParser, MissingValuesStayEmpty) {
    FdfDocument doc;
    ParseFdfBytes(File(Object("2 0", "<</Type/Annot/T(unclosed/NM/IRT 5 0 R/Parent/Page>>")), doc);
    const CFDFContent& o = *doc.objects[0];
    EXPECT_EQ(o.author, "");
    EXPECT_EQ(o.uniqueName, "");
    EXPECT_EQ(o.inReplyTo, "");
    EXPECT_EQ(o.parent, "");
    EXPECT_EQ(o.page, 0);
}

TEST(FdfParser, RejectsWhatIsNoFdf) {
    FdfDocument doc;
    try {
        ParseFdfBytes("PDF-1.2\n", doc);
        FAIL();
    } catch (const BaseException& e) {
        EXPECT_EQ(e.code(), -999);
    }
    ExpectParseFailure("");
    ExpectParseFailure("%FDF");
}

TEST(FdfParser, TruncatedFileFailsCleanlyOrYieldsWholeObjects) {
    const std::string full = fdfsamples::AttachmentWithPopup();
    for (size_t cut = 0; cut < full.size(); ++cut) {
        FdfDocument doc;
        try {
            ParseFdfBytes(full.substr(0, cut), doc);
        } catch (const BaseException& e) {
            EXPECT_STREQ(e.what(), "Cannot parse FDF file.") << cut;
            EXPECT_TRUE(doc.objects.empty());
            continue;
        }
        for (auto& o : doc.objects) {
            EXPECT_EQ(o->rawText.view().substr(0, 2), "<<") << cut;
        }
    }
}

TEST(FdfParser, LyingStreamLengthFailsCleanly) {
    auto withLength = [](const std::string& length) {
        return File(Object(
            "2 0", "<</Type/EmbeddedFile/Length " + length + ">>stream\r\nhello\r\nendstream"));
    };
    FdfDocument ok;
    ParseFdfBytes(withLength("5"), ok);
    EXPECT_EQ(ok.objects[0]->streamData.view(), "hello");
    ExpectParseFailure(withLength("4"));
    ExpectParseFailure(withLength("6"));
    ExpectParseFailure(withLength("-3"));
    ExpectParseFailure(withLength("99999999"));
    ExpectParseFailure(File(Object("2 0", "<</Type/Annot<</A 1>>")));  // unbalanced
    ExpectParseFailure("%FDF-1.2\n2 0 obj\n<</Type/Annot>>\nendob");   // cut before endobj
}

TEST(FdfParser, PassesOverStreamsOfOtherObjects) {
    FdfDocument doc;
    ParseFdfBytes(File(Object("2 0", "<</Type/XObject/Length 9>>stream\r\n2 0 obj<<\r\nendstream") +
                       Object("3 0", "<</Type/Annot/Subtype/Text/NM(N)>>")),
                  doc);
    ASSERT_EQ(doc.objects.size(), 2u);
    EXPECT_EQ(doc.objects[1]->uniqueName, "N");
}

TEST(FdfParser, EmbeddedFileLimitAcceptsTenMillionBytesExactly) {
    for (size_t size : {kMaxEmbeddedFileBytes, kMaxEmbeddedFileBytes + 1}) {
        FdfDocument doc;
        ParseFdfBytes(fdfsamples::AttachmentWithPopup(std::string(size, 'x')), doc);
        CFDFContent* annot = doc.Find("ANNOT-1");
        ASSERT_NE(annot, nullptr);
        EXPECT_EQ(EmbeddedFileSize(*annot), size);
        EXPECT_EQ(ExceedsEmbeddedFileLimit(*annot), size > kMaxEmbeddedFileBytes);
    }
}

TEST(FdfParser, UnreadableFileIsReportedAsMissing) {
    FdfDocument doc;
    try {
        OpenAndParse("/nonexistent/quill/none.fdf", doc);
        FAIL();
    } catch (const BaseException& e) {
        EXPECT_STREQ(e.what(), "Cannot loacate exported FDF file.");
    }
}

TEST(FdfParser, StepsWriteBeginEndAndNameLines) {
    testsupport::TempDir dir;
    ConfigureLogs((dir / "diag.log").string(), (dir / "req.log").string());
    FdfDocument doc;
    ParseFdfBytes(fdfsamples::AttachmentWithPopup(), doc);
    ConfigureLogs("", "");
    const std::string log = testsupport::ReadFileBytes(dir / "diag.log");
    for (const char* line : {"[_generateFDFObject] BEGIN\r\n", "[_relateObject] BEGIN\r\n",
                             "[_relateObject] NM: ANNOT-1 \r\n", "[_relateObject] END\r\n",
                             "[_generateFDFObject] END\r\n"}) {
        EXPECT_NE(log.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(log.find("NM: POPUP-1"), std::string::npos);
    EXPECT_LT(log.find("NM: ANNOT-1"), log.find("NM: REPLY-1"));
}
