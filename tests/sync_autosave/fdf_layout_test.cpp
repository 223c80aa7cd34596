// The engine's exported FDF read by the client's own scanner: every object, key and array
// the client relies on comes out where it looks, and its copy edit moves every copyable tool.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "control/pdf_page.h"
#include "support/temp_dir.h"
#include "sync/fdf/byte_buffer.h"
#include "sync/fdf/fdf_document.h"
#include "sync/fdf/fdf_file_attachment.h"
#include "sync/fdf/fdf_parser.h"
#include "sync/fdf/offset_number_list.h"
#include "sync_autosave/review_client.h"
#include "viewer/engine/engine_control.h"
#include "viewer/engine/sample_annots.h"

using namespace quill;
using namespace quill::sync;
using namespace quill::engine;

namespace {

using engine::EngineControl;

class FdfLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        pdf = autosavetest::MakeDrawing(dir, 1);
        ASSERT_TRUE(control.OpenFile(pdf, nullptr));
        // One comment of every tool, a reply on the note and a reply to that reply.
        const auto geometry = control.PageGeometryOf(0);
        const auto words = control.TextQuadsIn(0, geometry.mediaBox);
        for (const auto& draft : engine::SampleAnnotDrafts(0, geometry, words)) {
            const control::AnnotId id = control.CreateAnnot(draft);
            ASSERT_NE(id, 0u) << control::AnnotToolName(draft.tool);
            ids.push_back(id);
        }
        const control::AnnotId note = ids[static_cast<size_t>(control::AnnotTool::Note)];
        const control::AnnotId reply = control.AddReply(note, "First answer", "KIM-PIPING");
        ASSERT_NE(reply, 0u);
        ASSERT_NE(control.AddReply(reply, "Answer to the answer", "LEE-CIVIL"), 0u);
        // Contents that would fool a careless scanner.
        control::PdfAnnot(&control, ids[3])
            .SetContents("Popup 9 0 R /Page 7 >> << NM(x) Rect[ 1 2] \\ )");
        const std::string path = (dir / "all.fdf").string();
        ASSERT_TRUE(control.ExportAnnotsToFDFFile(path));
        fdf = testsupport::ReadFileBytes(path);
        ASSERT_TRUE(ParseFdfBytes(fdf, doc));
    }
    std::string NameOf(control::AnnotTool tool) {
        return control.GetPage(0).GetAnnot(static_cast<int>(tool)).GetName();
    }
    CFDFContent* ObjectOf(control::AnnotTool tool) { return doc.Find(NameOf(tool)); }

    testsupport::TempDir dir;
    std::string pdf, fdf;
    EngineControl control;
    std::vector<control::AnnotId> ids;
    FdfDocument doc;
};

TEST_F(FdfLayoutTest, FileFrameRootAndObjectsAreWhereTheClientLooks) {
    ASSERT_EQ(fdf.rfind("%FDF-1.2\n1 0 obj\n<</FDF<<", 0), 0u);
    const std::string trailer = "\nendobj\ntrailer\n<</Root 1 0 R>>\n%%EOF\n";
    EXPECT_EQ(fdf.substr(fdf.size() - trailer.size()), trailer);
    EXPECT_EQ(doc.version, "1.2");
    EXPECT_EQ(doc.rootId, "1 0");
    // The root lists every annotation and popup: 17 comments, their popups, two replies.
    EXPECT_EQ(doc.annots.size(), 17u + 17u + 2u);

    int files = 0;
    for (const auto& object : doc.objects) {
        // Every raw text is the file's own bytes, found where the scanner cut it.
        ASSERT_NE(fdf.find(object->rawText.view()), std::string::npos) << object->objectId;
        if (object->kind == kFdfKindEmbeddedFile) {
            ++files;
            const std::string bytes = "Attached sample file.\r\nSecond line.\n";
            EXPECT_EQ(object->length, static_cast<int>(bytes.size()));
            EXPECT_EQ(object->streamData.view(), bytes);
            const std::string_view raw = object->rawText.view();
            EXPECT_EQ(raw.substr(raw.size() - 11), "\r\nendstream");
            continue;
        }
        // One dictionary per object, closed where the client's counting closes it, /Page last.
        const std::string_view raw = object->rawText.view();
        EXPECT_EQ(raw.substr(raw.size() - 2), ">>") << object->objectId;
        EXPECT_EQ(object->page, 0) << raw;
    }
    EXPECT_EQ(files, 1);
}

TEST_F(FdfLayoutTest, KeysReadByTheClientKeepTheirShape) {
    for (control::AnnotTool tool : {control::AnnotTool::Rectangle, control::AnnotTool::Note,
                                    control::AnnotTool::FileAttachment}) {
        const CFDFContent* object = ObjectOf(tool);
        ASSERT_NE(object, nullptr) << control::AnnotToolName(tool);
        // The real name and page, not those of the contents; the popup related both ways.
        EXPECT_EQ(object->uniqueName, NameOf(tool));
        EXPECT_EQ(object->page, 0);
        EXPECT_EQ(object->kind, kFdfKindAnnot);
        ASSERT_NE(object->popup, nullptr) << control::AnnotToolName(tool);
        EXPECT_EQ(object->popup->subtype, kFdfSubtypePopup);
        EXPECT_EQ(object->popup->parent, object->objectId);
        EXPECT_EQ(object->popup->relatedObject, object);
    }
    const CFDFContent* rect = ObjectOf(control::AnnotTool::Rectangle);
    EXPECT_NE(rect->rawText.view().find("/BS<</W 2/S/S>>/BE<</S/S>>"), std::string::npos);
    EXPECT_NE(ObjectOf(control::AnnotTool::Cloudy)->rawText.view().find("/BE<</S/C/I 2>>"),
              std::string::npos);

    // Whole-token subtypes: the note is Text, the attachment FileAttachment, the cloud Polygon.
    EXPECT_EQ(ObjectOf(control::AnnotTool::Note)->subtype, kFdfSubtypeText);
    EXPECT_EQ(ObjectOf(control::AnnotTool::Cloudy)->subtype, kFdfSubtypePolygon);
    EXPECT_EQ(rect->subtype, kFdfSubtypeOther);
    const auto* attach =
        dynamic_cast<const CFDFFileAttachment*>(ObjectOf(control::AnnotTool::FileAttachment));
    ASSERT_NE(attach, nullptr);
    ASSERT_NE(attach->embeddedFile, nullptr);
    EXPECT_EQ(attach->embeddedFile->kind, kFdfKindEmbeddedFile);
    EXPECT_EQ(attach->embeddedFile->relatedObject, attach);
    EXPECT_EQ(attach->CreateBinaryContent()->fileContent->view(),
              attach->embeddedFile->rawText.view());

    // The reply answers the note by its unique name, the reply to it answers the reply.
    const CFDFContent* note = ObjectOf(control::AnnotTool::Note);
    std::vector<const CFDFContent*> replies;
    for (const auto& [name, object] : doc.objectsByName) {
        if (object->inReplyTo == note->uniqueName) replies.push_back(object);
    }
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0]->relatedObject, note);
    int answers = 0;
    for (const auto& [name, object] : doc.objectsByName) {
        if (object->inReplyTo == replies[0]->uniqueName) {
            ++answers;
            EXPECT_EQ(object->relatedObject, replies[0]);
        }
    }
    EXPECT_EQ(answers, 1);
    // Every id of the root's Annots array names an object the scanner split out.
    std::set<std::string_view> ids;
    for (const auto& object : doc.objects) ids.insert(object->objectId);
    for (const std::string& id : doc.annots) EXPECT_EQ(ids.count(id), 1u) << id;
}

TEST_F(FdfLayoutTest, TheClientsCopyEditMovesEveryCopyableToolByTen) {
    struct Case {
        control::AnnotTool tool;
        std::vector<NumberListKey> arrays;
    };
    const std::vector<Case> cases = {
        {control::AnnotTool::Cloudy, {NumberListKey::Vertices}},
        {control::AnnotTool::Polygon, {NumberListKey::Vertices}},
        {control::AnnotTool::PolyLine, {NumberListKey::Vertices}},
        {control::AnnotTool::Arrow, {NumberListKey::L}},
        {control::AnnotTool::Line, {NumberListKey::L}},
        {control::AnnotTool::Callout, {NumberListKey::Rect, NumberListKey::L}},
        {control::AnnotTool::Rectangle, {NumberListKey::Rect}},
        {control::AnnotTool::Circle, {NumberListKey::Rect}},
        {control::AnnotTool::Note, {NumberListKey::Rect}},
        {control::AnnotTool::Pencil, {NumberListKey::InkList}},
    };
    for (const Case& c : cases) {
        const char* tool = control::AnnotToolName(c.tool);
        control::PdfAnnot original = control.GetPage(0).GetAnnot(static_cast<int>(c.tool));
        const auto before = control.GeometryOf(original.Id());
        const CFDFContent* object = ObjectOf(c.tool);
        ASSERT_NE(object, nullptr) << tool;
        ByteBuffer edited = ByteBuffer::Copy(object->rawText.view());
        for (NumberListKey key : c.arrays) ASSERT_TRUE(OffsetNumberList(edited, key, true)) << tool;
        std::string text = edited.str();
        // Without its popup reference the copy stands alone; a fresh name as the client gives.
        text.replace(text.find("NM(") + 3, 36, "COPY-" + std::string(tool));
        text.replace(text.find("/Popup "), text.find("/Page") - text.find("/Popup "), "");
        const std::string file = "%FDF-1.2\n2 0 obj\n" + text +
                                 "\nendobj\n\n1 0 obj\n<</FDF<</Annots[ 2 0 R "
                                 "]>>>>\nendobj\n\ntrailer\n<</Root 1 0 R>>\n%%EOF\n";
        testsupport::WriteFileBytes(dir / "copy.fdf", file);
        const int count = control.GetPage(0).AnnotCount();
        ASSERT_TRUE(control.ImportAnnotsFromFDFFile((dir / "copy.fdf").string())) << file;
        ASSERT_EQ(control.GetPage(0).AnnotCount(), count + 1);
        const auto after = control.GeometryOf(control.GetPage(0).GetAnnot(count).Id());
        EXPECT_EQ(control.GetPage(0).GetAnnot(count).GetToolName(), tool);
        if (c.tool == control::AnnotTool::Pencil) {
            ASSERT_EQ(after.strokes.size(), before.strokes.size());
            for (size_t s = 0; s < before.strokes.size(); ++s) {
                ASSERT_EQ(after.strokes[s].size(), before.strokes[s].size());
                for (size_t i = 0; i < before.strokes[s].size(); ++i) {
                    EXPECT_NEAR(after.strokes[s][i].x, before.strokes[s][i].x + 10, 0.01);
                    EXPECT_NEAR(after.strokes[s][i].y, before.strokes[s][i].y + 10, 0.01);
                }
            }
        } else if (!before.points.empty() && c.tool != control::AnnotTool::Callout) {
            ASSERT_EQ(after.points.size(), before.points.size());
            for (size_t i = 0; i < before.points.size(); ++i) {
                EXPECT_NEAR(after.points[i].x, before.points[i].x + 10, 0.01) << tool;
                EXPECT_NEAR(after.points[i].y, before.points[i].y + 10, 0.01);
            }
        } else {
            EXPECT_NEAR(after.rect.x1, before.rect.x1 + 10, 0.01) << tool;
            EXPECT_NEAR(after.rect.y2, before.rect.y2 + 10, 0.01);
        }
    }
}

}  // namespace
