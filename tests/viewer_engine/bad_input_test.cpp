// Encrypted, broken and hostile input is refused with nothing lost and no crash.
#include <gtest/gtest.h>

#include "control/pdf_page.h"
#include "support/temp_dir.h"
#include "viewer/engine/engine_control.h"
#include "viewer/engine/fdf_reader.h"
#include "viewer_engine/engine_fixture.h"

using namespace quill;
using namespace quill::control;
using namespace quill::engine;

namespace {

using engine::EngineControl;
using testsupport::WriteFileBytes;

TEST(BadInputTest, EncryptedAndBrokenDocumentsAreRefused) {
    testsupport::TempDir dir;
    engine::SamplePdfOptions o;
    o.userPassword = "secret";
    const std::string encrypted = enginetest::MakeDrawing(dir, "encrypted.pdf", o);
    EngineControl control;
    EXPECT_FALSE(control.OpenFile(encrypted, nullptr));
    EXPECT_EQ(control.PageCount(), 0);
    EXPECT_FALSE(control.GetPage(0).IsValid());
    EXPECT_FALSE(control.SaveAs((dir / "out.pdf").string()));
    EXPECT_FALSE(control.ExportAnnotsToFDFFile((dir / "out.fdf").string()));
    EXPECT_TRUE(control.OpenFile(encrypted, "secret"));
    EXPECT_EQ(control.PageCount(), 1);

    const std::string good = testsupport::ReadFileBytes(enginetest::MakeDrawing(dir, "good.pdf"));
    for (const std::string& bytes :
         {std::string(), std::string("not a pdf at all"), good.substr(0, good.size() / 3),
          std::string("%PDF-1.7\n%%EOF\n")}) {
        const std::string path = (dir / "broken.pdf").string();
        WriteFileBytes(path, bytes);
        EngineControl c;
        EXPECT_FALSE(c.OpenFile(path, nullptr));
        EXPECT_EQ(c.PageCount(), 0);
    }
    EXPECT_FALSE(control.OpenFile((dir / "missing.pdf").string(), nullptr));
}

TEST(BadInputTest, BrokenFdfAddsNothing) {
    testsupport::TempDir dir;
    const std::string pdf = enginetest::MakeDrawing(dir, "drawing.pdf");
    EngineControl source;
    ASSERT_TRUE(source.OpenFile(pdf, nullptr));
    enginetest::CreateEveryTool(source, 0);
    const std::string fdfPath = (dir / "good.fdf").string();
    ASSERT_TRUE(source.ExportAnnotsToFDFFile(fdfPath));
    const std::string fdf = testsupport::ReadFileBytes(fdfPath);

    EngineControl control;
    ASSERT_TRUE(control.OpenFile(pdf, nullptr));
    const std::string path = (dir / "bad.fdf").string();
    std::vector<std::string> bad = {
        "",
        "garbage",
        "%FDF-1.2\n1 0 obj\n<</FDF<</Annots[ 2 0 R]>>",  // breaks off
        "%FDF-1.2\n2 0 obj\n<</Type/Annot/Subtype/Square/Rect[ 0 0 1 1]/Page 7>>\nendobj\n",
        "%FDF-1.2\n2 0 obj\n<</Type/Annot/Subtype/Square/Rect[ 0 0 1 1]>>\nendobj\n",  // no page
        "%FDF-1.2\n2 0 obj\n" + std::string(10000, '[') + "\nendobj\n",                // deep
        "%FDF-1.2\n2 0 obj\n<</Type/EmbeddedFile/Length 999999>>stream\r\nabc",  // short stream
        "%FDF-1.2\n2 0 obj\n<</T(unclosed string>>\nendobj\n",
    };
    // Every cut of a real export: none may crash, and a failed one adds nothing.
    for (size_t cut = 0; cut < fdf.size(); cut += 97) bad.push_back(fdf.substr(0, cut));
    for (const std::string& bytes : bad) {
        WriteFileBytes(path, bytes);
        const int before = control.GetPage(0).AnnotCount();
        const bool ok = control.ImportAnnotsFromFDFFile(path);
        if (!ok) {
            EXPECT_EQ(control.GetPage(0).AnnotCount(), before);
        }
    }
    EXPECT_FALSE(control.ImportAnnotsFromFDFFile((dir / "missing.fdf").string()));
}

TEST(BadInputTest, ReplyWhoseParentIsMissingIsKeptAndJoinsItLater) {
    testsupport::TempDir dir;
    const std::string pdf = enginetest::MakeDrawing(dir, "drawing.pdf");
    EngineControl control;
    ASSERT_TRUE(control.OpenFile(pdf, nullptr));
    const std::string reply =
        "%FDF-1.2\n2 0 obj\n<</Type/Annot/Subtype/Text/Rect[ 0 0 20 20]/NM(R1)/IRT(P1)"
        "/Contents(late answer)/Page 0>>\nendobj\ntrailer\n<</Root 1 0 R>>\n%%EOF\n";
    const std::string parent =
        "%FDF-1.2\n2 0 obj\n<</Type/Annot/Subtype/Square/Rect[ 10 10 50 50]/NM(P1)/Page "
        "0>>\nendobj\n"
        "trailer\n<</Root 1 0 R>>\n%%EOF\n";
    WriteFileBytes(dir / "reply.fdf", reply);
    WriteFileBytes(dir / "parent.fdf", parent);
    ASSERT_TRUE(control.ImportAnnotsFromFDFFile((dir / "reply.fdf").string()));
    EXPECT_EQ(control.GetPage(0).AnnotCount(), 0);
    // Still exported: nothing is lost.
    ASSERT_TRUE(control.ExportAnnotsToFDFFile((dir / "out.fdf").string()));
    EXPECT_NE(testsupport::ReadFileBytes(dir / "out.fdf").find("/NM(R1)"), std::string::npos);
    ASSERT_TRUE(control.ImportAnnotsFromFDFFile((dir / "parent.fdf").string()));
    ASSERT_EQ(control.GetPage(0).AnnotCount(), 1);
    ASSERT_EQ(control.GetPage(0).GetAnnot(0).GetReplies().ReplyCount(), 1);
    EXPECT_EQ(control.GetPage(0).GetAnnot(0).GetReplies().GetReply(0).GetText(), "late answer");
}

}  // namespace
