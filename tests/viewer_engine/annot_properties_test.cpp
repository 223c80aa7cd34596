// The control's properties as the client reads and writes them.
#include <gtest/gtest.h>

#include "control/pdf_page.h"
#include "support/temp_dir.h"
#include "viewer/engine/annot_properties.h"
#include "viewer/engine/engine_control.h"
#include "viewer/engine/fdf_writer.h"
#include "viewer/engine/pdf_date.h"
#include "viewer/engine/sample_annots.h"
#include "viewer_engine/engine_fixture.h"

using namespace quill;
using namespace quill::control;
using namespace quill::engine;

namespace {

using control::PdfAnnot;
using engine::EngineControl;

class AnnotPropertiesTest : public ::testing::Test {
protected:
    void SetUp() override {
        pdf = enginetest::MakeDrawing(dir, "drawing.pdf");
        ASSERT_TRUE(control.OpenFile(pdf, nullptr));
        ids = enginetest::CreateEveryTool(control, 0);
    }
    PdfAnnot Annot(control::AnnotTool tool) {
        return control.GetPage(0).GetAnnot(static_cast<int>(tool));
    }
    // The exported FDF text of the annotation, as the client's BorderStyleCode sees it.
    std::string FdfTextOf(const PdfAnnot& a) {
        const std::string path = (dir / "out.fdf").string();
        EXPECT_TRUE(control.ExportAnnotsToFDFFile(path));
        for (const auto& [num, text] :
             enginetest::SplitFdfObjects(testsupport::ReadFileBytes(path))) {
            if (text.find("/NM(" + a.GetName() + ")") != std::string::npos) return text;
        }
        return {};
    }

    testsupport::TempDir dir;
    std::string pdf;
    EngineControl control;
    std::vector<control::AnnotId> ids;
};

TEST_F(AnnotPropertiesTest, BorderStyleCodesAreWrittenAsTheClientReadsThemBack) {
    for (control::AnnotTool tool : {control::AnnotTool::Rectangle, control::AnnotTool::Cloudy,
                                    control::AnnotTool::Pencil, control::AnnotTool::Callout}) {
        PdfAnnot a = Annot(tool);
        for (int16_t code = 1; code <= 9; ++code) {
            a.SetBorderStyle(code);
            EXPECT_EQ(a.BorderStyle(), code) << control::AnnotToolName(tool);
            EXPECT_EQ(engine::BorderStyleCodeOfText(FdfTextOf(a)), code)
                << control::AnnotToolName(tool) << " " << FdfTextOf(a);
        }
        // A width change keeps the style, and codes outside 1-9 change nothing.
        a.SetBorderStyle(6);
        a.SetThickness(5);
        EXPECT_EQ(a.Thickness(), 5);
        EXPECT_EQ(a.BorderStyle(), 6);
        a.SetBorderStyle(0);
        a.SetBorderStyle(10);
        EXPECT_EQ(a.BorderStyle(), 6);
    }
    const std::string text = FdfTextOf(Annot(control::AnnotTool::Rectangle));
    EXPECT_NE(text.find("/BS<</W 5/S/D/D[ 4 3 16 3]>>/BE<</S/S>>"), std::string::npos) << text;
}

TEST_F(AnnotPropertiesTest, BorderStyleCodeFollowsTheClientsRules) {
    using engine::BorderStyleCodeOfText;
    EXPECT_EQ(BorderStyleCodeOfText("<</Type/Annot>>"), 1);  // no border entry at all
    EXPECT_EQ(BorderStyleCodeOfText("/BS<</W 1/S/D/D[ 4 3 16 3]>>/BE<</S/S>>"), 6);
    EXPECT_EQ(BorderStyleCodeOfText("/BS<</W 1/S/D/D[ 4 3 16 3]>>/BE<</S/C/I 1>>"), 8);
    EXPECT_EQ(BorderStyleCodeOfText("/BS<</W 1/S/D/D[ 5 5]>>/BE<</S/S>>"), 7);
    EXPECT_EQ(BorderStyleCodeOfText("/BS<</W 1/S/S>>/BE<</S/C/I 2>>"), 9);
}

TEST_F(AnnotPropertiesTest, ColourIsBgrAndWidthIsTheBorderWidth) {
    PdfAnnot a = Annot(control::AnnotTool::Line);
    a.SetColor(0x00336699);  // R 0x99, G 0x66, B 0x33
    EXPECT_EQ(a.Color(), 0x00336699);
    EXPECT_NE(FdfTextOf(a).find("/C[ 0.6 0.4 0.2]"), std::string::npos) << FdfTextOf(a);
    a.SetThickness(3);
    EXPECT_EQ(a.Thickness(), 3);
    EXPECT_NE(FdfTextOf(a).find("/BS<</W 3/S/S>>"), std::string::npos);
    // A note has no border: width and style read 0 and are not written.
    PdfAnnot note = Annot(control::AnnotTool::Note);
    note.SetThickness(4);
    note.SetBorderStyle(3);
    EXPECT_EQ(note.Thickness(), 0);
    EXPECT_EQ(note.BorderStyle(), 0);
    EXPECT_EQ(FdfTextOf(note).find("/BS"), std::string::npos);
}

TEST_F(AnnotPropertiesTest, NamesTypesSubjectsAndTools) {
    static const char* kSubtypes[] = {
        "Polygon",   "Line",      "Line",     "Square",  "Circle",   "Polygon", "PolyLine",
        "Ink",       "Line",      "PolyLine", "Polygon", "FreeText", "Text",    "File Attachment",
        "Highlight", "StrikeOut", "Stamp"};
    for (int code = 0; code < control::kAnnotToolCount; ++code) {
        const auto tool = static_cast<control::AnnotTool>(code);
        PdfAnnot a = Annot(tool);
        EXPECT_EQ(a.GetToolName(), control::AnnotToolName(tool));
        EXPECT_EQ(a.Subject(), control::AnnotToolSubject(tool));
        EXPECT_EQ(a.GetSubtypeName(), kSubtypes[code]);
        EXPECT_EQ(a.GetTypeName(), tool == control::AnnotTool::Image ? "Stamp" : "Annot");
        // The client's 36-character unique name, upper-case hexadecimal.
        const std::string nm = a.GetName();
        ASSERT_EQ(nm.size(), 36u);
        for (size_t i = 0; i < nm.size(); ++i) {
            if (i == 8 || i == 13 || i == 18 || i == 23) {
                EXPECT_EQ(nm[i], '-');
            } else {
                EXPECT_TRUE(std::isdigit(nm[i]) || (nm[i] >= 'A' && nm[i] <= 'F')) << nm;
            }
        }
    }
}

TEST_F(AnnotPropertiesTest, ModDateIsAnAutomationDate) {
    PdfAnnot a = Annot(control::AnnotTool::Circle);
    // 2026-12-07 09:30:15 local time.
    const platform::LocalTime t{2026, 12, 7, 9, 30, 15, 0};
    const double date = engine::AutomationDateFromLocal(t);
    EXPECT_NEAR(date, 46363.0 + (9 * 3600 + 30 * 60 + 15) / 86400.0, 1e-9);
    a.SetModDate(date);
    EXPECT_NEAR(a.ModDate(), date, 1.0 / 86400);
    EXPECT_NEAR(engine::AutomationDateFromLocal(engine::LocalFromAutomationDate(date)), date, 1e-9);
    EXPECT_EQ(engine::AutomationDateFromLocal({1899, 12, 30, 0, 0, 0, 0}), 0.0);
}

TEST_F(AnnotPropertiesTest, CountsTopLevelAnnotationsOnlyAndImportsTakeTheLastIndex) {
    control::PdfPage page = control.GetPage(0);
    EXPECT_EQ(page.AnnotCount(), 17);  // popups and the two replies are not counted
    ASSERT_TRUE(page.RemoveAnnot(page.GetAnnot(3)));
    EXPECT_EQ(page.AnnotCount(), 16);
    // A comment from another client, with a reply, arrives as FDF: it takes the last index.
    EngineControl other;
    ASSERT_TRUE(other.OpenFile(pdf, nullptr));
    const auto draft = engine::SampleAnnotDrafts(0, other.PageGeometryOf(0))[12];
    const control::AnnotId note = other.CreateAnnot(draft);
    other.AddReply(note, "answer", "LEE-CIVIL");
    const std::string path = (dir / "note.fdf").string();
    ASSERT_TRUE(other.ExportAnnotsToFDFFile(path));
    ASSERT_TRUE(control.ImportAnnotsFromFDFFile(path));
    ASSERT_EQ(page.AnnotCount(), 17);
    EXPECT_EQ(page.GetAnnot(16).GetName(), PdfAnnot(&other, note).GetName());
    EXPECT_EQ(page.GetAnnot(16).GetReplies().ReplyCount(), 1);
    EXPECT_FALSE(page.GetAnnot(17).IsValid());
    EXPECT_FALSE(page.GetAnnot(-1).IsValid());
    // A handle to a removed annotation stays harmless.
    PdfAnnot gone(&control, ids[3]);
    EXPECT_FALSE(gone.IsValid());
    gone.SetColor(5);
    EXPECT_EQ(gone.Author(), "");
    EXPECT_EQ(gone.Index(), -1);
}

TEST_F(AnnotPropertiesTest, ReadOnlyAndShownStayOutOfFdf) {
    const std::string before = testsupport::ReadFileBytes([&] {
        const std::string p = (dir / "a.fdf").string();
        control.ExportAnnotsToFDFFile(p);
        return p;
    }());
    for (int i = 0; i < control.GetPage(0).AnnotCount(); ++i) {
        PdfAnnot a = control.GetPage(0).GetAnnot(i);
        a.SetReadOnly(true);
        a.SetShown(false);
        EXPECT_TRUE(a.ReadOnly());
        EXPECT_FALSE(a.IsShown());
        control::PdfReplyList replies = a.GetReplies();
        for (int r = 0; r < replies.ReplyCount(); ++r) replies.GetReply(r).SetReadOnly(true);
    }
    const std::string p = (dir / "b.fdf").string();
    ASSERT_TRUE(control.ExportAnnotsToFDFFile(p));
    EXPECT_EQ(testsupport::ReadFileBytes(p), before);
}

}  // namespace
