#include "sync/fdf/fdf_writer.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "sync/base_exception.h"
#include "sync/fdf/byte_mass.h"
#include "sync/fdf/fdf_builders.h"
#include "sync/fdf/fdf_file_attachment.h"
#include "sync/fdf/fdf_parser.h"
#include "sync/fdf_samples.h"

using namespace quill;
using namespace quill::sync;

namespace {

const char* kRootAndTrailerOf234 =
    "1 0 obj\n<</FDF<</F(Untitled.pdf)/Annots[ 2 0 R 3 0 R 4 0 R ]>>>>\nendobj\n\n"
    "trailer\n<</Root 1 0 R>>\n%%EOF\n";

}  // namespace

TEST(FdfWriter, WritesPopupFirstThenAnnotationThenEmbeddedFileRenumbered) {
    FdfDocument doc;
    ParseFdfBytes(fdfsamples::AttachmentWithPopup(), doc);
    testsupport::TempDir dir;
    const std::string path = (dir / "out.fdf").string();
    fdf::_restoreFDFContents(path, {doc.Find("ANNOT-1")});
    const std::string expected =
        "%FDF-1.2\n"
        "3 0 obj\n<</Type/Annot/Subtype/Popup/Parent 2 0 R /Rect[ 0 0 5 5]/NM(POPUP-1)/Page 2>>"
        "\nendobj\n\n"
        "2 0 obj\n<</Type/Annot/Subtype/FileAttachment/Rect[ 10 20 30 40]/T(Kim)"
        "/CreationDate(D:20261207093000+09'00')/NM(ANNOT-1)/FS<</Type/Filespec/F(a.txt)"
        "/EF<</F 4 0 R >>>>/Popup 3 0 R/Page 2>>\nendobj\n\n"
        "4 0 obj\n<</Type/EmbeddedFile/Length 5>>stream\r\nhello\r\nendstream\nendobj\n\n" +
        std::string(kRootAndTrailerOf234);
    EXPECT_EQ(testsupport::ReadFileBytes(path), expected);
}

TEST(FdfWriter, EmptyListWritesHeaderRootAndTrailer) {
    EXPECT_EQ(fdf::RestoredFdfBytes({}),
              "%FDF-1.2\n1 0 obj\n<</FDF<</F(Untitled.pdf)/Annots[ ]>>>>\nendobj\n\n"
              "trailer\n<</Root 1 0 R>>\n%%EOF\n");
}

TEST(FdfWriter, StoredCommentsRoundTripThroughTheirBlobsAndTheFile) {
    FdfDocument source;
    ParseFdfBytes(fdfsamples::AttachmentWithPopup(), source);
    // The attachment keeps its popup and embedded file; the note had no popup, and the empty
    // popup CreateFDFContent makes for it is never written.
    CAnnot attachment, note;
    attachment.uniqueName = "ANNOT-1";
    attachment.content = source.Find("ANNOT-1")->CreateBinaryContent();
    note.uniqueName = "NOTE-1";
    note.content = source.Find("NOTE-1")->CreateBinaryContent();
    EXPECT_EQ(note.content->subContent, nullptr);
    auto first = CreateFDFContent(note);
    auto second = CreateFDFContent(attachment);
    ASSERT_NE(first->popup, nullptr);
    EXPECT_EQ(first->PopupOrNull(), nullptr);
    const std::string bytes = fdf::RestoredFdfBytes({first.get(), second.get()});

    FdfDocument back;
    ParseFdfBytes(bytes, back);
    ASSERT_EQ(back.objects.size(), 4u);  // note 2, popup 4, attachment 3, file 5
    EXPECT_EQ(back.objects[0]->objectId, "2 0");
    EXPECT_EQ(back.objects[1]->objectId, "4 0");
    EXPECT_EQ(back.objects[2]->objectId, "3 0");
    EXPECT_EQ(back.objects[3]->objectId, "5 0");
    EXPECT_EQ(back.annots, (std::vector<std::string>{"2 0", "3 0", "4 0", "5 0"}));
    auto* restored = dynamic_cast<CFDFFileAttachment*>(back.Find("ANNOT-1"));
    ASSERT_NE(restored, nullptr);
    EXPECT_EQ(restored->popup, back.objects[1].get());
    ASSERT_NE(restored->embeddedFile, nullptr);
    EXPECT_EQ(restored->embeddedFile->streamData.view(), "hello");
    EXPECT_EQ(back.Find("NOTE-1")->rawText.view(), source.Find("NOTE-1")->rawText.view());
}

TEST(FdfWriter, AttachmentWithoutPopupStillWritesItsEmbeddedFile) {
    CAnnot stored;
    stored.uniqueName = "A";
    stored.content = std::make_unique<BinaryContent>();
    stored.content->content = std::make_unique<ByteBuffer>(
        ByteBuffer::Copy("<</Type/Annot/Subtype/FileAttachment/FS<</EF<</F 9 0 R>>>>/NM(A)>>"));
    stored.content->fileContent = std::make_unique<ByteBuffer>(
        ByteBuffer::Copy("<</Type/EmbeddedFile/Length 2>>stream\r\nab\r\nendstream"));
    auto object = CreateFDFContent(stored);
    EXPECT_EQ(object->subtype, kFdfSubtypeFileAttachment);
    EXPECT_EQ(fdf::RestoredFdfBytes({object.get()}),
              "%FDF-1.2\n"
              "2 0 obj\n<</Type/Annot/Subtype/FileAttachment/FS<</EF<</F 3 0 R>>>>/NM(A)>>\n"
              "endobj\n\n"
              "3 0 obj\n<</Type/EmbeddedFile/Length 2>>stream\r\nab\r\nendstream\nendobj\n\n"
              "1 0 obj\n<</FDF<</F(Untitled.pdf)/Annots[ 2 0 R 3 0 R ]>>>>\nendobj\n\n"
              "trailer\n<</Root 1 0 R>>\n%%EOF\n");
}

TEST(FdfWriter, LargeReviewWrittenInPiecesEqualsTheBytesInOne) {
    // Several hundred kilobytes of comments with popups and an embedded file larger than any
    // piece the writer gathers, so that the file is written in many pieces and one alone.
    std::string text = "%FDF-1.2\n";
    std::string annots;
    int next = 2;
    for (int i = 0; i < 3000; ++i) {
        const int annot = next++, popup = next++;
        const bool attachment = i == 1500;
        const int file = attachment ? next++ : 0;
        annots += std::to_string(annot) + " 0 R " + std::to_string(popup) + " 0 R ";
        text += std::to_string(annot) + " 0 obj\n<</Type/Annot/Subtype/" +
                (attachment ? "FileAttachment/FS<</Type/Filespec/F(a.bin)/EF<</F " +
                                  std::to_string(file) + " 0 R >>>>"
                            : std::string("Square")) +
                "/Rect[ 1 2 3 4]/Contents(Check nozzle " + std::to_string(i) + ")/NM(C-" +
                std::to_string(i) + ")/Popup " + std::to_string(popup) + " 0 R/Page 0>>\nendobj\n";
        text += std::to_string(popup) + " 0 obj\n<</Type/Annot/Subtype/Popup/Parent " +
                std::to_string(annot) + " 0 R /Rect[ 0 0 1 1]/NM(P-" + std::to_string(i) +
                ")/Page 0>>\nendobj\n";
        if (attachment) {
            const std::string bytes(600 * 1024, 'q');
            text += std::to_string(file) + " 0 obj\n<</Type/EmbeddedFile/Length " +
                    std::to_string(bytes.size()) + ">>stream\r\n" + bytes +
                    "\r\nendstream\nendobj\n";
        }
    }
    text +=
        "1 0 obj\n<</FDF<</Annots[" + annots + "]>>>>\nendobj\ntrailer\n<</Root 1 0 R>>\n%%EOF\n";
    FdfDocument doc;
    ParseFdfBytes(text, doc);
    std::vector<CFDFContent*> list;
    // Every other comment, so that every reference is re-pointed to a new number.
    for (int i = 1; i < 3000; i += 2) list.push_back(doc.Find("C-" + std::to_string(i)));
    list.push_back(doc.Find("C-1500"));
    for (CFDFContent* object : list) ASSERT_NE(object, nullptr);
    testsupport::TempDir dir;
    const std::string path = (dir / "big.fdf").string();
    fdf::_restoreFDFContents(path, list);
    const std::string written = testsupport::ReadFileBytes(path);
    EXPECT_GT(written.size(), 700u * 1024u);
    EXPECT_EQ(written, fdf::RestoredFdfBytes(list));
    FdfDocument back;
    ParseFdfBytes(written, back);
    auto* attachment = dynamic_cast<CFDFFileAttachment*>(back.Find("C-1500"));
    ASSERT_NE(attachment, nullptr);
    ASSERT_NE(attachment->embeddedFile, nullptr);
    EXPECT_EQ(attachment->embeddedFile->streamData.size(), 600u * 1024u);
    EXPECT_EQ(back.objectsByName.size(), list.size());
    EXPECT_EQ(back.objects.size(), 2 * list.size() + 1);  // each with its popup, and the file
}

TEST(FdfWriter, UnwritablePathThrows) {
    EXPECT_THROW(fdf::_restoreFDFContents("/nonexistent/quill/x.fdf", {}), BaseException);
}

TEST(ReplaceByteMass, ReplacesBetweenFirstPrefixAndNextSuffix) {
    ByteBuffer b = ByteBuffer::Copy("/Popup 12 0 R/Parent 5 0 R/Popup 7 0 R");
    EXPECT_TRUE(fdf::_replaceByteMass(b, "Popup ", " 0 R", "3"));
    EXPECT_EQ(b.view(), "/Popup 3 0 R/Parent 5 0 R/Popup 7 0 R");
    EXPECT_EQ(b.data()[b.length()], '\0');
    EXPECT_FALSE(fdf::_replaceByteMass(b, "Missing", " 0 R", "3"));
    EXPECT_FALSE(fdf::_replaceByteMass(b, "Popup ", "]]", "3"));
    EXPECT_EQ(b.view(), "/Popup 3 0 R/Parent 5 0 R/Popup 7 0 R");
    // A partial match right before the real one does not hide it.
    ByteBuffer c = ByteBuffer::Copy("(PoPopup 1 0 R");
    EXPECT_TRUE(fdf::_replaceByteMass(c, "Popup ", " 0 R", "22"));
    EXPECT_EQ(c.view(), "(PoPopup 22 0 R");
}
