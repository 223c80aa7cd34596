// Opening a document's own comments: popups, replies and pages stay links, never copies, so
// that opening grows with the comments; cycles and shared objects cannot make it explode.
#include <gtest/gtest.h>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <functional>

#include "control/pdf_page.h"
#include "support/temp_dir.h"
#include "viewer/engine/engine_control.h"
#include "viewer/engine/pdf_annot_loader.h"
#include "viewer/engine/qpdf_copier.h"
#include "viewer/engine/sample_annots.h"
#include "viewer_engine/engine_fixture.h"

using namespace quill;
using namespace quill::control;
using namespace quill::engine;

namespace {

using engine::EngineControl;

constexpr int kPages = 3;

// `comments` comments, every tool in turn, a page after 17; every fourth one is answered, and
// every eighth answered again. Saved with SaveAs; returns the saved file.
std::string SaveCommented(const testsupport::TempDir& dir, int comments, EngineControl& c) {
    engine::SamplePdfOptions o;
    o.pageCount = kPages;
    const std::string drawing =
        enginetest::MakeDrawing(dir, "drawing-" + std::to_string(comments) + ".pdf", o);
    EXPECT_TRUE(c.OpenFile(drawing, nullptr));
    for (int i = 0; i < comments; ++i) {
        const int page = (i / 17) % kPages;
        const auto drafts = engine::SampleAnnotDrafts(page, c.PageGeometryOf(page));
        const AnnotId id = c.CreateAnnot(drafts[static_cast<size_t>(i % 17)]);
        EXPECT_NE(id, 0u);
        if (i % 4 != 3) continue;
        const AnnotId reply = c.AddReply(id, "answer " + std::to_string(i), "KIM-PIPING");
        EXPECT_NE(reply, 0u);
        if (i % 8 == 7) {
            EXPECT_NE(c.AddReply(reply, "and again", "LEE-CIVIL"), 0u);
        }
    }
    const std::string saved = (dir / ("saved-" + std::to_string(comments) + ".pdf")).string();
    EXPECT_TRUE(c.SaveAs(saved));
    return saved;
}

LoadedAnnots Load(const std::string& path) {
    LoadedAnnots loaded;
    std::string error;
    EXPECT_TRUE(LoadPdfAnnots(path, "", &loaded, &error)) << error;
    return loaded;
}

// No key that ties an annotation into its file survives in a record.
void ExpectNoFileLinks(const PdfObject& dict, const std::string& what) {
    for (const char* k : {"P", "Page", "Parent", "Popup", "AP"})
        EXPECT_FALSE(dict.Has(k)) << what << " keeps /" << k;
}

TEST(PdfCommentLinksTest, ManySavedCommentsReopenLinkedAndGrowLinearly) {
    testsupport::TempDir dir;
    EngineControl small, large;
    const std::string smallPdf = SaveCommented(dir, 34, small);
    const std::string largePdf = SaveCommented(dir, 136, large);

    const LoadedAnnots loaded = Load(largePdf);
    EXPECT_TRUE(loaded.orphans.empty());
    ASSERT_EQ(loaded.pages.size(), static_cast<size_t>(kPages));
    // The replies as the saving engine has them, at every depth.
    int replies = 0;
    std::function<void(const AnnotRecord&, const control::PdfReplyList&)> checkReplies =
        [&](const AnnotRecord& r, const control::PdfReplyList& original) {
            ASSERT_EQ(static_cast<int>(r.replies.size()), original.ReplyCount()) << r.Name();
            for (size_t i = 0; i < r.replies.size(); ++i) {
                const AnnotRecord& reply = *r.replies[i];
                const control::PdfReply theirs = original.GetReply(static_cast<int>(i));
                ++replies;
                EXPECT_EQ(reply.parent, &r);
                EXPECT_EQ(reply.page, r.page);
                EXPECT_EQ(reply.InReplyTo(), r.Name());
                EXPECT_EQ(reply.Name(), theirs.GetName());
                EXPECT_FALSE(reply.popup.has_value());  // replies were saved without one
                ExpectNoFileLinks(reply.dict, "reply " + reply.Name());
                checkReplies(reply, theirs.GetReplies());
            }
        };
    for (int p = 0; p < kPages; ++p) {
        const auto& records = loaded.pages[static_cast<size_t>(p)];
        ASSERT_EQ(static_cast<int>(records.size()), large.GetPage(p).AnnotCount());
        for (size_t i = 0; i < records.size(); ++i) {
            const AnnotRecord& r = *records[i];
            const control::PdfAnnot original = large.GetPage(p).GetAnnot(static_cast<int>(i));
            EXPECT_EQ(r.Name(), original.GetName());
            EXPECT_EQ(r.page, p);
            EXPECT_EQ(r.parent, nullptr);
            ExpectNoFileLinks(r.dict, r.Name());
            // Each comment has its own popup, as a dictionary of its own.
            ASSERT_TRUE(r.popup.has_value()) << r.Name();
            EXPECT_TRUE(r.popup->Get("Subtype") && r.popup->Get("Subtype")->IsName("Popup"));
            EXPECT_TRUE(r.popup->Has("Rect"));
            ExpectNoFileLinks(*r.popup, "popup of " + r.Name());
            checkReplies(r, original.GetReplies());
        }
    }
    EXPECT_EQ(replies, 34 + 17);

    // The engine that opens the file has the same comments and replies.
    EngineControl reopened;
    ASSERT_TRUE(reopened.OpenFile(largePdf, nullptr));
    for (int p = 0; p < kPages; ++p) {
        ASSERT_EQ(reopened.GetPage(p).AnnotCount(), large.GetPage(p).AnnotCount());
        for (int i = 0; i < reopened.GetPage(p).AnnotCount(); ++i) {
            const AnnotId a = reopened.AnnotsOnPage(p)[static_cast<size_t>(i)];
            const AnnotId b = large.AnnotsOnPage(p)[static_cast<size_t>(i)];
            ASSERT_EQ(reopened.ReplyCount(a), large.ReplyCount(b));
            for (int k = 0; k < reopened.ReplyCount(a); ++k) {
                const AnnotId ra = reopened.ReplyAt(a, k), rb = large.ReplyAt(b, k);
                EXPECT_EQ(reopened.ReplyCount(ra), large.ReplyCount(rb));
            }
        }
    }
    // Saved again, every popup and its comment still point at each other.
    const std::string again = (dir / "again.pdf").string();
    ASSERT_TRUE(reopened.SaveAs(again));
    QPDF q;
    q.processFile(again.c_str());
    int popups = 0;
    for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(q).getAllPages()) {
        QPDFObjectHandle annots = page.getObjectHandle().getKey("/Annots");
        for (int i = 0; i < annots.getArrayNItems(); ++i) {
            QPDFObjectHandle a = annots.getArrayItem(i);
            if (a.getKey("/Subtype").getName() != "/Popup") continue;
            ++popups;
            EXPECT_EQ(a.getKey("/Parent").getKey("/Popup").getObjGen(), a.getObjGen());
            EXPECT_EQ(a.getKey("/P").getObjGen(), page.getObjectHandle().getObjGen());
        }
    }
    EXPECT_EQ(popups, 136);

    // Four times the comments, four times the objects copied: a comment's popup, page and
    // parent are not copied along with it. A comment takes a few dozen.
    const size_t smallCopied = Load(smallPdf).copiedObjects;
    const size_t largeCopied = loaded.copiedObjects;
    EXPECT_GT(smallCopied, 0u);
    EXPECT_LE(largeCopied, smallCopied * 4 + smallCopied / 4);
    EXPECT_LE(largeCopied, 100u * (136 + 51));
}

// A page with comments that refer to each other, to the page, round cycles and into a chain
// of objects each referring twice to the next.
std::string WriteTangledPdf(const testsupport::TempDir& dir, int chain) {
    const std::string path = (dir / "tangled.pdf").string();
    QPDF pdf;
    pdf.emptyPDF();
    QPDFObjectHandle page = pdf.makeIndirectObject(
        QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 600 400] /Resources << >> >>"));
    pdf.addPage(page, false);
    auto annot = [&](const std::string& text) {
        QPDFObjectHandle a = pdf.makeIndirectObject(QPDFObjectHandle::parse(text));
        a.replaceKey("/P", page);
        return a;
    };
    // No /Type: known as an annotation only by being on the page.
    QPDFObjectHandle square =
        annot("<< /Subtype /Square /Rect [100 100 200 180] /NM (SQUARE-1) /Contents (tangled) >>");
    QPDFObjectHandle circle = annot(
        "<< /Type /Annot /Subtype /Circle /Rect [300 100 400 180] /NM (CIRCLE-1) "
        "/Contents (deep) >>");
    // One popup shared by both.
    QPDFObjectHandle popup =
        annot("<< /Type /Annot /Subtype /Popup /Rect [200 100 350 180] /Open true >>");
    popup.replaceKey("/Parent", square);
    square.replaceKey("/Popup", popup);
    circle.replaceKey("/Popup", popup);
    // A dictionary both comments and two of the square's keys share.
    QPDFObjectHandle shared =
        pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Kind (shared) /Sizes [1 2 3] >>"));
    square.replaceKey("/QmShared", shared);
    square.replaceKey("/QmAgain", shared);
    circle.replaceKey("/QmShared", shared);
    // A cycle that also reaches the other comment, the page and the page tree.
    QPDFObjectHandle first = pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /N 1 >>"));
    QPDFObjectHandle second = pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /N 2 >>"));
    first.replaceKey("/Next", second);
    second.replaceKey("/Next", first);
    second.replaceKey("/Comment", circle);
    second.replaceKey("/Page", page);
    second.replaceKey("/Root", pdf.getRoot());
    square.replaceKey("/QmLoop", first);
    // The other comment itself, as a value.
    square.replaceKey("/QmCircle", circle);
    // chain[0] = [chain[1] chain[1]], ...: 2^chain leaves behind one key.
    QPDFObjectHandle link = QPDFObjectHandle::newInteger(7);
    for (int i = 0; i < chain; ++i) {
        QPDFObjectHandle pair = QPDFObjectHandle::newArray();
        pair.appendItem(link);
        pair.appendItem(link);
        link = pdf.makeIndirectObject(pair);
    }
    circle.replaceKey("/QmDeep", link);
    // Replies: to the square, to themselves, and round in a circle.
    QPDFObjectHandle reply =
        annot("<< /Type /Annot /Subtype /Text /Rect [0 0 20 20] /NM (REPLY-1) /Contents (ok) >>");
    reply.replaceKey("/IRT", square);
    QPDFObjectHandle self =
        annot("<< /Type /Annot /Subtype /Text /Rect [0 0 20 20] /NM (SELF-1) /IRT (SELF-1) >>");
    QPDFObjectHandle ringA =
        annot("<< /Type /Annot /Subtype /Text /Rect [0 0 20 20] /NM (RING-A) /IRT (RING-B) >>");
    QPDFObjectHandle ringB =
        annot("<< /Type /Annot /Subtype /Text /Rect [0 0 20 20] /NM (RING-B) /IRT (RING-A) >>");
    QPDFObjectHandle annots = QPDFObjectHandle::newArray();
    // The square is listed twice, the list itself shared by a second page.
    for (QPDFObjectHandle a :
         std::vector<QPDFObjectHandle>{square, popup, circle, square, reply, self, ringA, ringB})
        annots.appendItem(a);
    annots = pdf.makeIndirectObject(annots);
    page.replaceKey("/Annots", annots);
    QPDFObjectHandle other = pdf.makeIndirectObject(
        QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 600 400] /Resources << >> >>"));
    other.replaceKey("/Annots", annots);
    pdf.addPage(other, false);
    QPDFWriter w(pdf, path.c_str());
    w.write();
    return path;
}

TEST(PdfCommentLinksTest, CyclesAndSharedObjectsAreCopiedBoundedOrLeftOut) {
    testsupport::TempDir dir;
    const std::string pdf = WriteTangledPdf(dir, 18);
    const LoadedAnnots loaded = Load(pdf);
    ASSERT_EQ(loaded.pages.size(), 2u);
    EXPECT_TRUE(loaded.pages[1].empty());  // the shared list is taken with the first page
    const auto& records = loaded.pages[0];
    ASSERT_GE(records.size(), 2u);
    EXPECT_EQ(records.size(), 2u);  // the square once, the circle
    const AnnotRecord& square = *records[0];
    const AnnotRecord& circle = *records[1];
    ASSERT_EQ(square.Name(), "SQUARE-1");
    ASSERT_EQ(circle.Name(), "CIRCLE-1");

    // Shared plain data is copied wherever it is referred to.
    const PdfObject* shared = square.dict.Get("QmShared");
    ASSERT_TRUE(shared && shared->Get("Kind"));
    EXPECT_EQ(shared->Get("Kind")->text, "shared");
    ASSERT_TRUE(square.dict.Get("QmAgain"));
    EXPECT_EQ(*square.dict.Get("QmAgain"), *shared);
    ASSERT_TRUE(circle.dict.Get("QmShared"));
    EXPECT_EQ(*circle.dict.Get("QmShared"), *shared);
    // The cycle is cut where it closes; the comment, page and catalog it reaches are left out.
    const PdfObject* loop = square.dict.Get("QmLoop");
    ASSERT_TRUE(loop && loop->Get("Next"));
    const PdfObject& second = *loop->Get("Next");
    EXPECT_EQ(second.Get("N")->number, 2);
    for (const char* k : {"Next", "Comment", "Page", "Root"}) EXPECT_FALSE(second.Has(k)) << k;
    EXPECT_FALSE(square.dict.Has("QmCircle"));
    // The chain of 2^18 leaves is more than any comment holds: left out whole.
    EXPECT_FALSE(circle.dict.Has("QmDeep"));
    // Both comments have a popup of their own, without the annotation it points back to.
    ASSERT_TRUE(square.popup && circle.popup);
    EXPECT_FALSE(square.popup->Has("Parent"));
    EXPECT_EQ(*square.popup, *circle.popup);

    // The reply joins the square; the self-answer and the ring lead to no comment.
    ASSERT_EQ(square.replies.size(), 1u);
    EXPECT_EQ(square.replies[0]->Name(), "REPLY-1");
    EXPECT_EQ(square.replies[0]->InReplyTo(), "SQUARE-1");
    ASSERT_EQ(loaded.orphans.size(), 3u);
    EXPECT_EQ(loaded.orphans[0]->Name(), "SELF-1");
    EXPECT_EQ(loaded.orphans[1]->Name(), "RING-A");
    EXPECT_EQ(loaded.orphans[2]->Name(), "RING-B");

    // All of it in a few hundred objects; the chain alone stops at its share.
    EXPECT_LE(loaded.copiedObjects, QpdfCopier::kValueShare + 1000);

    // The engine opens it, and the chain costs the same however long it is.
    EngineControl control;
    ASSERT_TRUE(control.OpenFile(pdf, nullptr));
    EXPECT_EQ(control.GetPage(0).AnnotCount(), 2);
    const size_t shorter = loaded.copiedObjects;
    EXPECT_EQ(Load(WriteTangledPdf(dir, 20)).copiedObjects, shorter);
}

// Many values that share one object each get their copy until the document's share is spent;
// after that only values without references are copied.
TEST(PdfCommentLinksTest, SharedObjectsStopAtTheDocumentsShare) {
    QPDF pdf;
    pdf.emptyPDF();
    // 1 + 2 + 4 + 8 + 16 + 32 arrays and integers: 63 objects behind the reference.
    QPDFObjectHandle chain = QPDFObjectHandle::newInteger(7);
    for (int i = 0; i < 5; ++i) {
        QPDFObjectHandle pair = QPDFObjectHandle::newArray();
        pair.appendItem(chain);
        pair.appendItem(chain);
        chain = pdf.makeIndirectObject(pair);
    }
    QPDFObjectHandle value = QPDFObjectHandle::newDictionary();
    value.replaceKey("/Chain", chain);
    value.replaceKey("/Own", QPDFObjectHandle::newInteger(3));

    QpdfCopier copier(100, 300);
    for (int i = 0; i < 4; ++i) {
        const PdfObject copy = copier.Copy(value);
        ASSERT_TRUE(copy.Has("Chain")) << i;
        EXPECT_EQ(copy.Get("Chain")->array.size(), 2u);
    }
    // The fifth copy would pass 300: left out whole, and so is every later one.
    EXPECT_TRUE(copier.Copy(value).IsNull());
    EXPECT_TRUE(copier.Copy(chain).IsNull());
    const PdfObject plain = copier.Copy(QPDFObjectHandle::parse("<< /A [1 2] /B (x) >>"));
    ASSERT_TRUE(plain.Has("A") && plain.Has("B"));
    EXPECT_LT(copier.Copied(), 4u * 65 + 100);

    // One value past its own share is left out; the next gets a fresh share.
    QpdfCopier small(50, 1000);
    EXPECT_TRUE(small.Copy(value).IsNull());
    const PdfObject half = small.Copy(chain.getArrayItem(0));
    ASSERT_TRUE(half.IsArray());
    EXPECT_EQ(half.array.size(), 2u);
}

// A name the comment carries in its own dictionary is kept even when the dictionary is not an
// object of its own.
TEST(PdfCommentLinksTest, DirectCommentKeepsItsName) {
    testsupport::TempDir dir;
    const std::string path = (dir / "direct.pdf").string();
    {
        QPDF pdf;
        pdf.emptyPDF();
        QPDFObjectHandle page = pdf.makeIndirectObject(QPDFObjectHandle::parse(
            "<< /Type /Page /MediaBox [0 0 600 400] /Resources << >> /Annots [ << /Type /Annot "
            "/Subtype /Square /Rect [1 1 50 50] /NM (DIRECT-1) >> ] >>"));
        pdf.addPage(page, false);
        QPDFWriter w(pdf, path.c_str());
        w.write();
    }
    const LoadedAnnots loaded = Load(path);
    ASSERT_EQ(loaded.pages.size(), 1u);
    ASSERT_EQ(loaded.pages[0].size(), 1u);
    EXPECT_EQ(loaded.pages[0][0]->Name(), "DIRECT-1");
}

}  // namespace
