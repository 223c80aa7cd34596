// Comments survive export, transfer and import byte for byte.
#include <gtest/gtest.h>

#include <functional>

#include "control/pdf_page.h"
#include "platform/code_page.h"
#include "support/temp_dir.h"
#include "viewer/engine/engine_control.h"
#include "viewer_engine/engine_fixture.h"

using namespace quill;
using namespace quill::control;
using namespace quill::platform;
using namespace quill::engine;

namespace {

using engine::EngineControl;
using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;

// What happens to an exported FDF text on its way to another client. The client's own
// split/blob/restore leg (src/sync) joins this list once it is there.
using Leg = std::function<std::vector<std::string>(const std::string& exported)>;

// The whole file as it is.
std::vector<std::string> WholeFile(const std::string& fdf) { return {fdf}; }

// The client's restore layout, rebuilt from the exported objects for each top-level
// comment: popup as n+1 with its parent re-pointed, the annotation as n, the embedded file
// as n+2, replies after, the root listing every number at the end.
std::vector<std::string> RestoredPerComment(const std::string& fdf) {
    const auto objects = enginetest::SplitFdfObjects(fdf);
    std::vector<std::string> files;
    std::string body;
    int n = 2;
    std::vector<int> listed;
    auto numberOf = [](const std::string& text, const std::string& key) {
        const size_t at = text.find(key);
        return at == std::string::npos ? 0 : std::atoi(text.c_str() + at + key.size());
    };
    auto replace = [](std::string& text, const std::string& prefix, int value) {
        const size_t at = text.find(prefix);
        if (at == std::string::npos) return;
        const size_t end = text.find(" 0 R", at + prefix.size());
        text.replace(at + prefix.size(), end - at - prefix.size(), std::to_string(value));
    };
    auto flush = [&]() {
        if (body.empty()) return;
        std::string out = "%FDF-1.2\n" + body + "1 0 obj\n<</FDF<</F(Untitled.pdf)/Annots[ ";
        for (int k : listed) out += std::to_string(k) + " 0 R ";
        out += "]>>>>\nendobj\n\ntrailer\n<</Root 1 0 R>>\n%%EOF\n";
        files.push_back(out);
        body.clear();
        listed.clear();
        n = 2;
    };
    for (const auto& [num, text] : objects) {
        if (num == 1 || text.find("/Subtype/Popup") != std::string::npos ||
            text.find("/Type/EmbeddedFile") != std::string::npos)
            continue;
        if (text.find("/IRT(") == std::string::npos) flush();  // a new comment starts a file
        std::string annot = text;
        const int popupNum = numberOf(text, "/Popup ");
        const int fileNum = numberOf(text, "/EF<</F ");
        if (popupNum) {
            std::string popup = objects.at(popupNum);
            replace(popup, "Parent ", n);
            body += std::to_string(n + 1) + " 0 obj\n" + popup + "\nendobj\n\n";
            replace(annot, "Popup ", n + 1);
            if (fileNum) replace(annot, "EF<</F ", n + 2);
        }
        body += std::to_string(n) + " 0 obj\n" + annot + "\nendobj\n\n";
        listed.push_back(n);
        if (popupNum) listed.push_back(n + 1);
        if (popupNum && fileNum) {
            body += std::to_string(n + 2) + " 0 obj\n" + objects.at(fileNum) + "\nendobj\n\n";
            listed.push_back(n + 2);
        }
        n += popupNum ? (fileNum ? 3 : 2) : 1;
    }
    flush();
    return files;
}

class FdfRoundTripTest : public ::testing::TestWithParam<std::pair<const char*, Leg>> {
protected:
    void TearDown() override { platform::SetSystemCodePageForTesting(""); }
    testsupport::TempDir dir;
};

TEST_P(FdfRoundTripTest, EveryToolSurvivesExportTransferAndImportByteForByte) {
    platform::SetSystemCodePageForTesting("CP949");
    engine::SamplePdfOptions o;
    o.pageCount = 2;
    o.rotations = {0, 90};
    const std::string pdf = enginetest::MakeDrawing(dir, "drawing.pdf", o);

    EngineControl first;
    ASSERT_TRUE(first.OpenFile(pdf, nullptr));
    const auto ids = enginetest::CreateEveryTool(first, 0);
    enginetest::CreateEveryTool(first, 1);
    // Korean author and contents in the system code page (CP949).
    control::PdfAnnot cloud = first.GetPage(0).GetAnnot(0);
    cloud.SetAuthor("\xC8\xAB\xB1\xE6\xB5\xBF-\xB9\xE8\xB0\xFC");  // 홍길동-배관
    cloud.SetContents("\xB1\xB8\xB8\xA7 (check) / <a> P");         // 구름 (check) / <a> P
    const std::string exported1 = (dir / "first.fdf").string();
    ASSERT_TRUE(first.ExportAnnotsToFDFFile(exported1));
    const std::string fdf1 = ReadFileBytes(exported1);

    EngineControl second;
    ASSERT_TRUE(second.OpenFile(pdf, nullptr));
    int fileIndex = 0;
    for (const std::string& piece : GetParam().second(fdf1)) {
        const std::string path = (dir / ("piece" + std::to_string(fileIndex++) + ".fdf")).string();
        WriteFileBytes(path, piece);
        ASSERT_TRUE(second.ImportAnnotsFromFDFFile(path)) << piece;
    }
    ASSERT_EQ(second.GetPage(0).AnnotCount(), 17);
    ASSERT_EQ(second.GetPage(1).AnnotCount(), 17);
    const std::string exported2 = (dir / "second.fdf").string();
    ASSERT_TRUE(second.ExportAnnotsToFDFFile(exported2));
    const std::string fdf2 = ReadFileBytes(exported2);

    const auto a = enginetest::SplitFdfObjects(fdf1);
    const auto b = enginetest::SplitFdfObjects(fdf2);
    ASSERT_EQ(a.size(), b.size());
    for (auto ia = a.begin(), ib = b.begin(); ia != a.end(); ++ia, ++ib) {
        EXPECT_EQ(enginetest::WithoutObjectNumbers(ia->second),
                  enginetest::WithoutObjectNumbers(ib->second));
    }
    control::PdfAnnot back = second.GetPage(0).GetAnnot(0);
    EXPECT_EQ(back.Author(), "\xC8\xAB\xB1\xE6\xB5\xBF-\xB9\xE8\xB0\xFC");
    EXPECT_EQ(back.GetContents(), "\xB1\xB8\xB8\xA7 (check) / <a> P");
    EXPECT_EQ(back.GetName(), cloud.GetName());
    // The note's replies came back under it, nested as they were.
    control::PdfAnnot note = second.GetPage(0).GetAnnot(static_cast<int>(control::AnnotTool::Note));
    ASSERT_EQ(note.GetReplies().ReplyCount(), 1);
    EXPECT_EQ(note.GetReplies().GetReply(0).GetText(), "First answer");
    ASSERT_EQ(note.GetReplies().GetReply(0).GetReplies().ReplyCount(), 1);
    EXPECT_EQ(note.GetReplies().GetReply(0).GetReplies().GetReply(0).GetAuthor(), "LEE-CIVIL");
    // The attachment's file came back whole.
    control::PdfAnnot attachment =
        second.GetPage(0).GetAnnot(static_cast<int>(control::AnnotTool::FileAttachment));
    EXPECT_EQ(attachment.GetSubtypeName(), "File Attachment");
    (void)ids;
}

INSTANTIATE_TEST_SUITE_P(Legs, FdfRoundTripTest,
                         ::testing::Values(std::make_pair("WholeFile", Leg(WholeFile)),
                                           std::make_pair("RestoredPerComment",
                                                          Leg(RestoredPerComment))),
                         [](const auto& info) { return std::string(info.param.first); });

}  // namespace
