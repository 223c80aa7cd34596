// Comments a PDF already carries are taken in, and saving writes them back beside the
// document's other annotations, each with an appearance whose /BBox is its /Rect.
#include <gtest/gtest.h>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include "control/pdf_page.h"
#include "support/temp_dir.h"
#include "viewer/engine/engine_control.h"
#include "viewer_engine/engine_fixture.h"

using namespace quill;
using namespace quill::control;
using namespace quill::engine;

namespace {

using engine::EngineControl;

const char kAttached[] = "line one\nline two\nline three\n";

// A page with a rectangle comment (popup, a reply pointing at it by reference), a file
// attachment with a compressed embedded file, and a link.
std::string WriteCommentedPdf(const testsupport::TempDir& dir) {
    const std::string path = (dir / "commented.pdf").string();
    QPDF pdf;
    pdf.emptyPDF();
    QPDFObjectHandle page = pdf.makeIndirectObject(
        QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 600 400] /Resources << >> >>"));
    page.replaceKey("/Contents", pdf.newStream(std::string("0 0 1 RG 50 50 m 550 350 l S\n")));
    pdf.addPage(page, false);
    QPDFObjectHandle square = pdf.makeIndirectObject(QPDFObjectHandle::parse(
        "<< /Type /Annot /Subtype /Square /Rect [100 100 200 180] /T (PARK-ELEC) "
        "/Contents (existing comment) /C [0 0 1] /BS << /S /D /W 2 /D [3 3] >> /M "
        "(D:20250101120000Z) >>"));
    QPDFObjectHandle popup = pdf.makeIndirectObject(QPDFObjectHandle::parse(
        "<< /Type /Annot /Subtype /Popup /Rect [200 100 350 180] /Open false >>"));
    popup.replaceKey("/Parent", square);
    square.replaceKey("/Popup", popup);
    QPDFObjectHandle reply = pdf.makeIndirectObject(QPDFObjectHandle::parse(
        "<< /Type /Annot /Subtype /Text /Rect [100 180 120 200] /T (CHOI-MECH) /Contents (agreed) "
        "/NM (REPLY-1) >>"));
    reply.replaceKey("/IRT", square);
    QPDFObjectHandle file = pdf.newStream(std::string(kAttached));
    file.getDict().replaceKey("/Type", QPDFObjectHandle::newName("/EmbeddedFile"));
    QPDFObjectHandle attachment = pdf.makeIndirectObject(QPDFObjectHandle::parse(
        "<< /Type /Annot /Subtype /FileAttachment /Rect [300 300 320 320] /NM (ATTACH-1) "
        "/FS << /Type /Filespec /F (notes.txt) /EF << >> >> >>"));
    attachment.getKey("/FS").getKey("/EF").replaceKey("/F", file);
    QPDFObjectHandle link = pdf.makeIndirectObject(
        QPDFObjectHandle::parse("<< /Type /Annot /Subtype /Link /Rect [10 10 40 40] /A << /S /URI "
                                "/URI (http://example.com) >> >>"));
    QPDFObjectHandle annots = QPDFObjectHandle::newArray();
    for (QPDFObjectHandle a :
         std::vector<QPDFObjectHandle>{square, popup, reply, attachment, link}) {
        a.replaceKey("/P", page);
        annots.appendItem(a);
    }
    page.replaceKey("/Annots", annots);
    QPDFWriter w(pdf, path.c_str());
    w.setCompressStreams(true);
    w.write();
    return path;
}

TEST(PdfCommentsTest, ExistingCommentsAreTakenInWithRepliesAndFiles) {
    testsupport::TempDir dir;
    const std::string pdf = WriteCommentedPdf(dir);
    EngineControl control;
    ASSERT_TRUE(control.OpenFile(pdf, nullptr));
    control::PdfPage page = control.GetPage(0);
    ASSERT_EQ(page.AnnotCount(), 2);  // the link and the popup are not comments
    control::PdfAnnot square = page.GetAnnot(0);
    EXPECT_EQ(square.GetToolName(), "Rectangle");
    EXPECT_EQ(square.Author(), "PARK-ELEC");
    EXPECT_EQ(square.Color(), 0xFF0000);
    EXPECT_EQ(square.Thickness(), 2);
    EXPECT_EQ(square.GetName().size(), 36u);  // a name was given
    ASSERT_EQ(square.GetReplies().ReplyCount(), 1);
    EXPECT_EQ(square.GetReplies().GetReply(0).GetInReplyTo(), square.GetName());
    EXPECT_EQ(square.GetReplies().GetReply(0).GetAuthor(), "CHOI-MECH");
    // The dashed border reads as code 3, in the control and in the client's scan alike.
    EXPECT_EQ(square.BorderStyle(), 3);

    // Through FDF into a second engine, then saved: the attached file is intact.
    const std::string fdf = (dir / "all.fdf").string();
    ASSERT_TRUE(control.ExportAnnotsToFDFFile(fdf));
    EngineControl second;
    ASSERT_TRUE(second.OpenFile((dir / "commented.pdf").string(), nullptr));
    for (int i = second.GetPage(0).AnnotCount() - 1; i >= 0; --i)
        second.GetPage(0).RemoveAnnot(second.GetPage(0).GetAnnot(i));
    ASSERT_TRUE(second.ImportAnnotsFromFDFFile(fdf));
    const std::string saved = (dir / "saved.pdf").string();
    ASSERT_TRUE(second.SaveAs(saved));

    QPDF q;
    q.processFile(saved.c_str());
    QPDFObjectHandle annots =
        QPDFPageDocumentHelper(q).getAllPages()[0].getObjectHandle().getKey("/Annots");
    std::map<std::string, int> subtypes;
    for (int i = 0; i < annots.getArrayNItems(); ++i) {
        QPDFObjectHandle a = annots.getArrayItem(i);
        const std::string sub = a.getKey("/Subtype").getName();
        ++subtypes[sub];
        if (sub == "/Link") continue;
        if (sub == "/FileAttachment") {
            QPDFObjectHandle f = a.getKey("/FS").getKey("/EF").getKey("/F");
            ASSERT_TRUE(f.isStream());
            std::shared_ptr<Buffer> data = f.getStreamData();
            EXPECT_EQ(
                std::string(reinterpret_cast<const char*>(data->getBuffer()), data->getSize()),
                kAttached);
        }
        if (sub == "/Text") {
            EXPECT_TRUE(a.getKey("/IRT").isDictionary());  // a reference in the PDF
            EXPECT_EQ(a.getKey("/IRT").getKey("/Subtype").getName(), "/Square");
        }
        if (sub == "/Popup") {
            EXPECT_EQ(a.getKey("/Parent").getKey("/Popup").getObjGen(), a.getObjGen());
            continue;
        }
        QPDFObjectHandle ap = a.getKey("/AP").getKey("/N");
        ASSERT_TRUE(ap.isStream()) << sub;
        auto rect = a.getKey("/Rect").getArrayAsVector();
        auto bbox = ap.getDict().getKey("/BBox").getArrayAsVector();
        ASSERT_EQ(rect.size(), 4u);
        ASSERT_EQ(bbox.size(), 4u);
        for (size_t k = 0; k < 4; ++k)
            EXPECT_NEAR(rect[k].getNumericValue(), bbox[k].getNumericValue(), 1e-3) << sub;
        EXPECT_EQ(a.getKey("/P").getObjGen(),
                  QPDFPageDocumentHelper(q).getAllPages()[0].getObjectHandle().getObjGen());
    }
    EXPECT_EQ(subtypes["/Link"], 1);
    EXPECT_EQ(subtypes["/Square"], 1);
    EXPECT_EQ(subtypes["/Text"], 1);
    EXPECT_EQ(subtypes["/FileAttachment"], 1);
}

}  // namespace
