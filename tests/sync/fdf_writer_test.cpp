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
