// Which comments and replies the reviewer may change.
#include <gtest/gtest.h>

#include "session/read_only_rules.h"
#include "sync/page_annot_map.h"
#include "viewer/engine/engine_control.h"
#include "viewer/engine/sample_annots.h"
#include "viewer_dialog/dialog_fixture.h"

using namespace quill;
using namespace quill::session;
using namespace quill::sync;
using namespace quill::engine;

namespace dialogtest {
namespace {

class ReadOnlyRules : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string file = MakeDrawing(dir, 1);
        ASSERT_TRUE(control.OpenFile(file, nullptr));
        auto drafts = engine::SampleAnnotDrafts(0, control.PageGeometryOf(0));
        const char* authors[] = {"KIM-PIPING", "LEE-piping", "PARK-ELECTRICAL", "CHOI"};
        for (int i = 0; i < 4; ++i) {
            engine::AnnotDraft draft = drafts.at(static_cast<size_t>(i + 1));
            draft.author = authors[i];
            const control::AnnotId id = control.CreateAnnot(draft);
            ASSERT_NE(id, 0u);
            auto record = std::make_unique<CAnnot>();
            record->uniqueName = control.GetPage(0).GetAnnot(i).GetName();
            record->page = 0;
            record->annotIndex = i;
            maps.Insert(std::move(record));
        }
        // On the reviewer's own comment: another discipline's reply, answered by the reviewer.
        const control::AnnotId own = control.AnnotsOnPage(0).at(0);
        const control::AnnotId theirs = control.AddReply(own, "Why here?", "PARK-ELECTRICAL");
        ASSERT_NE(control.AddReply(theirs, "Clash with the tray.", "KIM-PIPING"), 0u);
        ASSERT_NE(control.AddReply(own, "Moved.", "KIM-PIPING"), 0u);
        role.authorName = "KIM-PIPING";
        role.siteUseNm = "Piping";
    }

    control::PdfAnnot Annot(int i) { return control.GetPage(0).GetAnnot(i); }
    std::vector<bool> Comments() {
        std::vector<bool> flags;
        for (int i = 0; i < 4; ++i) flags.push_back(Annot(i).ReadOnly());
        return flags;
    }
    // The reviewer's comment's replies: [other's reply, its answer, own reply].
    std::vector<bool> Replies() {
        auto list = Annot(0).GetReplies();
        auto first = list.GetReply(0);
        return {first.ReadOnly(), first.GetReplies().GetReply(0).ReadOnly(),
                list.GetReply(1).ReadOnly()};
    }
    void LockAll() {
        for (int i = 0; i < 4; ++i) Annot(i).SetReadOnly(true);
    }

    testsupport::TempDir dir;
    engine::EngineControl control;
    PageAnnotMap maps{1};
    ReviewerRole role;
};

TEST_F(ReadOnlyRules, OtherDisciplinesAreLockedOwnDisciplineInAnyCaseStaysOpen) {
    ApplyReadOnlyRules(control, maps, role, true);
    EXPECT_EQ(Comments(), (std::vector<bool>{false, false, true, true}));
    EXPECT_EQ(Replies(), (std::vector<bool>{true, false, false}));

    // An author without "-" is compared whole with the discipline.
    ReviewerRole choi = role;
    choi.authorName = "YOON-Choi";
    choi.siteUseNm = "choi";
    ApplyReadOnlyRules(control, maps, choi, false);
    ApplyReadOnlyRules(control, maps, choi, true);
    EXPECT_EQ(Comments(), (std::vector<bool>{true, true, true, false}));
    EXPECT_EQ(Replies(), (std::vector<bool>{true, true, true}));

    // Unlocking opens every comment again.
    ApplyReadOnlyRules(control, maps, role, false);
    EXPECT_EQ(Comments(), (std::vector<bool>{false, false, false, false}));
}

TEST_F(ReadOnlyRules, ClassThreeMayChangeNothingNotEvenOwnComments) {
    role.patcpClass03 = true;
    ApplyReadOnlyRules(control, maps, role, true);
    EXPECT_EQ(Comments(), (std::vector<bool>{true, true, true, true}));
    EXPECT_EQ(Replies(), (std::vector<bool>{true, true, true}));
}

TEST_F(ReadOnlyRules, InitiatorIsNeverLockedAndTheRulesLeaveTheFlagsAlone) {
    role.isOpener = true;
    ApplyReadOnlyRules(control, maps, role, true);
    EXPECT_EQ(Comments(), (std::vector<bool>{false, false, false, false}));
    EXPECT_EQ(Replies(), (std::vector<bool>{false, false, false}));
    LockAll();
    ApplyReadOnlyRules(control, maps, role, false);
    EXPECT_EQ(Comments(), (std::vector<bool>{true, true, true, true}));

    // Replies merged later go through the reply rule alone: still nothing is locked.
    SetReplyReadOnly(Annot(0).GetReplies(), role);
    EXPECT_EQ(Replies(), (std::vector<bool>{false, false, false}));
}

TEST(ReviewerRoleTest, DisciplineIsThePartBehindTheLastDash) {
    EXPECT_EQ(DisciplineOf("KIM-CIVIL-STRUCT"), "STRUCT");
    EXPECT_EQ(DisciplineOf("KIM"), "KIM");
    EXPECT_EQ(DisciplineOf("KIM-"), "");
    ReviewerRole role;
    role.authorName = "KIM-PIPING";
    role.siteUseNm = "piping";
    EXPECT_FALSE(IsOtherDiscipline("KIM-PIPING", role));
    EXPECT_FALSE(IsOtherDiscipline("LEE-Piping", role));
    EXPECT_TRUE(IsOtherDiscipline("LEE-PIPING-X", role));
    EXPECT_TRUE(IsOtherDiscipline("", role));
}

}  // namespace
}  // namespace dialogtest
