// Page number labels: the reader of page boxes and where each page's label goes.
#include <gtest/gtest.h>

#include "session/page_labels.h"
#include "viewer/engine/engine_control.h"
#include "viewer/engine/quire_page_rotate.h"
#include "viewer/engine/sample_pdf.h"
#include "viewer_dialog/dialog_fixture.h"

using namespace quill;
using namespace quill::session;
using namespace quill::engine;

namespace dialogtest {
namespace {

using engine::QuirePageBox;

TEST(PageLabels, HundredTwentyPagesAreNumberedWithOffsetsByDigitCount) {
    testsupport::TempDir dir;
    const std::string file = MakeDrawing(dir, 120);
    std::vector<QuirePageBox> pages;
    ASSERT_EQ(engine::QuireGetPageRotate(file, pages), engine::kQuireOk);
    ASSERT_EQ(pages.size(), 120u);

    engine::EngineControl control;
    ASSERT_TRUE(control.OpenFile(file, nullptr));
    for (int i = 0; i < 120; ++i) {
        const float h = control.GetPageHeight(static_cast<int16_t>(i));
        const auto label = PageLabelFor(i, pages[static_cast<size_t>(i)], h);
        ASSERT_TRUE(label) << i;
        EXPECT_EQ(label->text, std::to_string(i + 1));
        const float d = i < 9 ? 28 : i < 99 ? 32 : 36;
        EXPECT_FLOAT_EQ(label->x, static_cast<float>(pages[static_cast<size_t>(i)].x2) - d) << i;
        EXPECT_FLOAT_EQ(label->y,
                        2 * h - static_cast<float>(pages[static_cast<size_t>(i)].y2) - 30);
        EXPECT_EQ(label->rotation, 0);
    }

    ASSERT_EQ(DrawPageLabels(control, file), engine::kQuireOk);
    for (int i = 0; i < 120; ++i) EXPECT_EQ(control.PageTextDrawings(i).size(), 1u) << i;
}

TEST(PageLabels, TurnedPagesSwapTheAxesAndOddTurnsGetNoLabel) {
    QuirePageBox box{0, 0, 842, 595, 90};
    auto label = PageLabelFor(11, box, 842);  // "12": two digits
    ASSERT_TRUE(label);
    EXPECT_FLOAT_EQ(label->x, 2 * 842 - 842 - 30);  // Y - 30 with Y = 2h - x2
    EXPECT_FLOAT_EQ(label->y, 595 - 32);            // X - d with X = y2
    EXPECT_EQ(label->rotation, 90);

    box.rotate = 270;
    label = PageLabelFor(0, box, 842);
    ASSERT_TRUE(label);
    EXPECT_FLOAT_EQ(label->x, 595 - 30);
    EXPECT_FLOAT_EQ(label->y, 2 * 842 - 842 - 28);

    box.rotate = 180;
    label = PageLabelFor(0, box, 595);
    ASSERT_TRUE(label);
    EXPECT_FLOAT_EQ(label->x, 842 - 28);
    EXPECT_FLOAT_EQ(label->y, 595 - 30);

    box.rotate = 45;
    EXPECT_FALSE(PageLabelFor(0, box, 595));
}

TEST(PageLabels, PageRotatedFortyFiveDegreesIsLeftUnlabelled) {
    testsupport::TempDir dir;
    const std::string file = MakeDrawing(dir, 3, {0, 45, 90});
    std::vector<QuirePageBox> pages;
    ASSERT_EQ(engine::QuireGetPageRotate(file, pages), engine::kQuireOk);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[1].rotate, 45);
    EXPECT_EQ(pages[2].rotate, 90);

    engine::EngineControl control;
    ASSERT_TRUE(control.OpenFile(file, nullptr));
    ASSERT_EQ(DrawPageLabels(control, file), engine::kQuireOk);
    EXPECT_EQ(control.PageTextDrawings(0).size(), 1u);
    EXPECT_EQ(control.PageTextDrawings(1).size(), 0u);
    EXPECT_EQ(control.PageTextDrawings(2).size(), 1u);
}

TEST(PageLabels, UnreadableDocumentsGiveTheirCodesAndNoLabels) {
    testsupport::TempDir dir;
    std::vector<QuirePageBox> pages;
    EXPECT_EQ(engine::QuireGetPageRotate((dir / "missing.pdf").string(), pages),
              engine::kQuireCannotOpen);

    testsupport::WriteFileBytes(dir / "page.pdf", "<html>Not found</html>");
    EXPECT_EQ(engine::QuireGetPageRotate((dir / "page.pdf").string(), pages),
              engine::kQuireNoDocument);
    EXPECT_TRUE(pages.empty());

    engine::SamplePdfOptions locked;
    locked.userPassword = "secret";
    std::string error;
    const std::string lockedFile = (dir / "locked.pdf").string();
    ASSERT_TRUE(engine::WriteSamplePdf(locked, lockedFile, &error)) << error;
    EXPECT_EQ(engine::QuireGetPageRotate(lockedFile, pages), engine::kQuireEncrypted);

    // The control has the document open, yet the reader cannot: no labels.
    const std::string file = MakeDrawing(dir, 1);
    engine::EngineControl control;
    ASSERT_TRUE(control.OpenFile(file, nullptr));
    EXPECT_EQ(DrawPageLabels(control, (dir / "missing.pdf").string()), engine::kQuireCannotOpen);
    EXPECT_EQ(control.PageTextDrawings(0).size(), 0u);
}

}  // namespace
}  // namespace dialogtest
