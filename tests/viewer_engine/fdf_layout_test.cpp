// The exported FDF is laid out the way the client's byte scanner reads it.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "control/pdf_page.h"
#include "support/temp_dir.h"
#include "viewer/engine/engine_control.h"
#include "viewer/engine/sample_annots.h"
#include "viewer_engine/engine_fixture.h"

using namespace quill;
using namespace quill::control;
using namespace quill::engine;

namespace {

using engine::EngineControl;

// Name tokens as the client cuts them: from after a "/" to before the next "/", "<" or ">".
std::vector<std::string> ClientTokens(const std::string& raw) {
    std::vector<std::string> tokens;
    size_t i = raw.find('/');
    while (i != std::string::npos && i < raw.size()) {
        size_t end = raw.find_first_of("/<>", i + 1);
        if (end == std::string::npos) end = raw.size();
        tokens.push_back(raw.substr(i + 1, end - i - 1));
        i = raw[end] == '/' ? end : raw.find('/', end);
    }
    return tokens;
}

// The dictionary end as the client finds it: "<<" and ">>" pairs counted.
size_t ClientDictEnd(const std::string& raw) {
    int open = 0, close = 0;
    for (size_t i = 0; i + 1 < raw.size(); ++i) {
        if (raw[i] == '<' && raw[i + 1] == '<') {
            ++open;
            ++i;
        } else if (raw[i] == '>' && raw[i + 1] == '>') {
            ++close;
            ++i;
            if (close == open) return i + 1;
        }
    }
    return std::string::npos;
}

// The client's copy edit of a number array: numbers after the marker up to "]" plus 10,
// written " %03.03f" each, between `prefix` and `suffix`.
void ClientOffsetNumbers(std::string& raw, const std::string& marker, const std::string& prefix,
                         const std::string& suffix) {
    const size_t at = raw.find(marker);
    ASSERT_NE(at, std::string::npos) << marker;
    const size_t end = raw.find(']', at);
    std::istringstream pieces(raw.substr(at, end - at));
    std::string piece, numbers;
    pieces >> piece;  // the marker with its bracket
    while (pieces >> piece) {
        char buf[64];
        std::snprintf(buf, sizeof buf, " %03.03f", std::strtof(piece.c_str(), nullptr) + 10.0f);
        numbers += buf;
    }
    const size_t p = raw.find(prefix);
    const size_t s = raw.find(suffix, p + prefix.size());
    raw.replace(p + prefix.size(), s - p - prefix.size(), numbers);
}

class FdfLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        pdf = enginetest::MakeDrawing(dir, "drawing.pdf");
        ASSERT_TRUE(control.OpenFile(pdf, nullptr));
        ids = enginetest::CreateEveryTool(control, 0);
        // Contents that would fool a careless scanner.
        control::PdfAnnot(&control, ids[3])
            .SetContents("Popup 9 0 R /Page 7 >> << NM(x) Rect[ 1 2] \\ )");
        const std::string path = (dir / "all.fdf").string();
        ASSERT_TRUE(control.ExportAnnotsToFDFFile(path));
        fdf = testsupport::ReadFileBytes(path);
        objects = enginetest::SplitFdfObjects(fdf);
    }
    std::string ObjectOf(control::AnnotTool tool) {
        const std::string nm =
            "/NM(" + control.GetPage(0).GetAnnot(static_cast<int>(tool)).GetName() + ")";
        for (const auto& [n, text] : objects) {
            if (text.find(nm) != std::string::npos) return text;
        }
        return {};
    }

    testsupport::TempDir dir;
    std::string pdf, fdf;
    EngineControl control;
    std::vector<control::AnnotId> ids;
    std::map<int, std::string> objects;
};

TEST_F(FdfLayoutTest, FileFrameRootAndObjectsAreWhereTheClientLooks) {
    ASSERT_EQ(fdf.rfind("%FDF-1.2\n1 0 obj\n<</FDF<<", 0), 0u);
    const std::string trailer = "\nendobj\ntrailer\n<</Root 1 0 R>>\n%%EOF\n";
    EXPECT_EQ(fdf.substr(fdf.size() - trailer.size()), trailer);
    // The root's Annots token lists every annotation and popup, each "n 0 R".
    std::string annots;
    for (const std::string& t : ClientTokens(objects.at(1))) {
        if (t.rfind("Annots", 0) == 0) annots = t;
    }
    ASSERT_EQ(annots.substr(0, 8), "Annots[ ");
    int listed = 0;
    for (size_t at = annots.find(" 0 R"); at != std::string::npos; at = annots.find(" 0 R", at + 1))
        ++listed;
    EXPECT_EQ(listed, 17 + 17 + 2);  // annotations, their popups, two replies
    for (const auto& [num, text] : objects) {
        if (num == 1) continue;
        if (text.find("/Type/EmbeddedFile") != std::string::npos) {
            // ">>stream\r\n", the bytes, "\r\nendstream"; the length where the client reads it.
            const size_t end = ClientDictEnd(text);
            ASSERT_NE(end, std::string::npos);
            ASSERT_EQ(text.substr(end, 8), "stream\r\n");
            int length = -1;
            for (const std::string& t : ClientTokens(text.substr(0, end))) {
                if (t.rfind("Length", 0) == 0) length = std::atoi(t.c_str() + 7);
            }
            ASSERT_GT(length, 0);
            EXPECT_EQ(text.substr(end + 8, length), "Attached sample file.\r\nSecond line.\n");
            EXPECT_EQ(text.substr(end + 8 + length), "\r\nendstream");
            continue;
        }
        // One dictionary per object, closed where the client's counting closes it, /Page last.
        EXPECT_EQ(ClientDictEnd(text), text.size()) << text;
        const size_t page = text.rfind("/Page ");
        ASSERT_NE(page, std::string::npos);
        EXPECT_EQ(text.substr(page + 6, text.size() - page - 8), "0") << text;
    }
}

TEST_F(FdfLayoutTest, KeysReadByTheClientKeepTheirShape) {
    const std::string rect = ObjectOf(control::AnnotTool::Rectangle);
    const std::string note = ObjectOf(control::AnnotTool::Note);
    const std::string attach = ObjectOf(control::AnnotTool::FileAttachment);
    for (const std::string& text : {rect, note, attach}) {
        // The first "NM(", "Popup " and "/Page" are the real ones, not the contents.
        const size_t popup = text.find("Popup ");
        ASSERT_NE(popup, std::string::npos);
        const int popupNum = std::atoi(text.c_str() + popup + 6);
        EXPECT_EQ(text.substr(popup + 6 + std::to_string(popupNum).size(), 5), " 0 R ");
        EXPECT_EQ(text.find("/Page"), text.rfind("/Page "));
        const std::string nm = text.substr(text.find("NM(") + 3, 36);
        EXPECT_EQ(nm.find(')'), std::string::npos);
        // The popup's parent: "two characters after the first t, less the last three".
        std::string parent;
        for (const std::string& t : ClientTokens(objects.at(popupNum))) {
            if (t.rfind("Parent", 0) == 0) parent = t;
        }
        const std::string id = parent.substr(parent.find('t') + 2);
        EXPECT_EQ(id.substr(0, id.size() - 3), std::to_string(popupNum - 1) + " 0");
    }
    EXPECT_NE(rect.find("/BS<</W 2/S/S>>/BE<</S/S>>"), std::string::npos) << rect;
    EXPECT_NE(ObjectOf(control::AnnotTool::Cloudy).find("/BE<</S/C/I 2>>"), std::string::npos);
    EXPECT_NE(attach.find("/EF<</F "), std::string::npos);
    // Whole-token subtypes: the note is Text, the attachment FileAttachment, the cloud Polygon.
    auto subtype = [](const std::string& text) {
        int code = 0;
        for (const std::string& t : ClientTokens(text)) {
            if (t == "Popup") code = 2;
            if (t == "Polygon") code = 3;
            if (t == "Text") code = 1;
            if (t == "FileAttachment") code = 4;
        }
        return code;
    };
    EXPECT_EQ(subtype(note), 1);
    EXPECT_EQ(subtype(attach), 4);
    EXPECT_EQ(subtype(ObjectOf(control::AnnotTool::Cloudy)), 3);
    EXPECT_EQ(subtype(rect), 0);
    // The reply answers the note by its unique name.
    const std::string noteName = control.GetPage(0).GetAnnot(12).GetName();
    int replies = 0;
    for (const auto& [n, text] : objects) {
        if (text.find("/IRT(" + noteName + ")") != std::string::npos) ++replies;
    }
    EXPECT_EQ(replies, 1);
}

TEST_F(FdfLayoutTest, TheClientsCopyEditMovesEveryCopyableToolByTen) {
    struct Case {
        control::AnnotTool tool;
        std::vector<std::tuple<std::string, std::string, std::string>> arrays;
    };
    const std::vector<Case> cases = {
        {control::AnnotTool::Cloudy, {{"Vertices", "Vertices[", "]"}}},
        {control::AnnotTool::Polygon, {{"Vertices", "Vertices[", "]"}}},
        {control::AnnotTool::PolyLine, {{"Vertices", "Vertices[", "]"}}},
        {control::AnnotTool::Arrow, {{"L[", "L[", "]"}}},
        {control::AnnotTool::Line, {{"L[", "L[", "]"}}},
        {control::AnnotTool::Callout, {{"Rect", "Rect[", "]"}, {"L[", "L[", "]"}}},
        {control::AnnotTool::Rectangle, {{"Rect", "Rect[", "]"}}},
        {control::AnnotTool::Circle, {{"Rect", "Rect[", "]"}}},
        {control::AnnotTool::Note, {{"Rect", "Rect[", "]"}}},
        {control::AnnotTool::Pencil, {{"InkList", "InkList[[", "]]"}}},
    };
    for (const Case& c : cases) {
        control::PdfAnnot original = control.GetPage(0).GetAnnot(static_cast<int>(c.tool));
        const auto before = control.GeometryOf(original.Id());
        std::string text = ObjectOf(c.tool);
        for (const auto& [marker, prefix, suffix] : c.arrays)
            ClientOffsetNumbers(text, marker, prefix, suffix);
        // Without its popup reference the copy stands alone; a fresh name as the client gives.
        text.replace(text.find("NM(") + 3, 36,
                     "COPY-" + std::string(control::AnnotToolName(c.tool)));
        text.replace(text.find("/Popup "), text.find("/Page") - text.find("/Popup "), "");
        const std::string file = "%FDF-1.2\n2 0 obj\n" + text +
                                 "\nendobj\n\n1 0 obj\n<</FDF<</Annots[ 2 0 R "
                                 "]>>>>\nendobj\n\ntrailer\n<</Root 1 0 R>>\n%%EOF\n";
        testsupport::WriteFileBytes(dir / "copy.fdf", file);
        const int count = control.GetPage(0).AnnotCount();
        ASSERT_TRUE(control.ImportAnnotsFromFDFFile((dir / "copy.fdf").string())) << file;
        ASSERT_EQ(control.GetPage(0).AnnotCount(), count + 1);
        const auto after = control.GeometryOf(control.GetPage(0).GetAnnot(count).Id());
        EXPECT_EQ(control.GetPage(0).GetAnnot(count).GetToolName(), control::AnnotToolName(c.tool));
        if (c.tool == control::AnnotTool::Pencil) {
            // The client rewrites the first stroke only.
            ASSERT_FALSE(after.strokes.empty());
            EXPECT_NEAR(after.strokes[0][0].x, before.strokes[0][0].x + 10, 0.01);
        } else if (!before.points.empty() && c.tool != control::AnnotTool::Callout) {
            ASSERT_EQ(after.points.size(), before.points.size());
            for (size_t i = 0; i < before.points.size(); ++i) {
                EXPECT_NEAR(after.points[i].x, before.points[i].x + 10, 0.01)
                    << control::AnnotToolName(c.tool);
                EXPECT_NEAR(after.points[i].y, before.points[i].y + 10, 0.01);
            }
        } else {
            EXPECT_NEAR(after.rect.x1, before.rect.x1 + 10, 0.01) << control::AnnotToolName(c.tool);
            EXPECT_NEAR(after.rect.y2, before.rect.y2 + 10, 0.01);
        }
    }
}

}  // namespace
