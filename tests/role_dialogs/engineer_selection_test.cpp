#include "session/engineer_selection.h"

#include <gtest/gtest.h>

using namespace quill::session;

namespace {

EngineerIndex Engineers() {
    EngineerIndex index;
    index["Kim Minsu-Piping"].participantSeq = 2;
    index["Lee Jihoon-Electrical"].participantSeq = 3;
    index["Lee Jihoon-Electrical"].consolidationFinished = true;
    index["Park Seojun-Structural"].participantSeq = 4;
    return index;
}

std::vector<EngineerListRow> Rows(std::vector<bool> selected) {
    const char* texts[] = {"Kim Minsu-Piping", "Lee Jihoon-Electrical", " Park Seojun-Structural ",
                           "Nobody-Unknown"};
    std::vector<EngineerListRow> rows;
    for (size_t i = 0; i < selected.size(); ++i)
        rows.push_back({texts[i], static_cast<std::intptr_t>(10 + i), selected[i]});
    return rows;
}

TEST(EngineerIndexTest, SuffixAndFinishedStateNeverAddEngineers) {
    const EngineerIndex index = Engineers();
    EXPECT_STREQ(EngineerSuffix(index, "Lee Jihoon-Electrical"), " (Consolidation Finish) ");
    EXPECT_STREQ(EngineerSuffix(index, "Kim Minsu-Piping"), " (Consolidation Waiting) ");
    EXPECT_STREQ(EngineerSuffix(index, "Nobody-Unknown"), " (Consolidation Waiting) ");
    EXPECT_EQ(index.size(), 3u);
    EngineerIndex fresh;
    const EngineerEntry& made = fresh["x"];  // a plain lookup makes an empty entry
    EXPECT_EQ(made.participantSeq, 0);
    EXPECT_TRUE(made.summary.empty());
    EXPECT_FALSE(made.consolidationFinished);
}

TEST(EngineerSelectionTest, UpdateDataKeepsWaitingEngineersAndTheCaretWhenSingle) {
    const EngineerIndex index = Engineers();
    EngineerSelection selection;
    auto rows = Rows({true, true, true, false});
    selection.UpdateData(rows, 0, index);
    ASSERT_EQ(selection.Items().size(), 2u);  // the finished engineer is left out
    EXPECT_EQ(selection.Items()[0].index, 0);
    EXPECT_EQ(selection.Items()[1].index, 2);
    EXPECT_EQ(selection.Items()[1].text, "Park Seojun-Structural");
    EXPECT_EQ(selection.Items()[1].itemData, 12);
    EXPECT_FALSE(selection.SingleSelection());

    selection.SetSingleSelection(true);
    selection.UpdateData(rows, 2, index);
    EXPECT_FALSE(rows[0].selected);
    EXPECT_FALSE(rows[1].selected);
    EXPECT_TRUE(rows[2].selected);
    ASSERT_EQ(selection.Items().size(), 1u);
    EXPECT_EQ(selection.Items()[0].index, 2);

    // Nothing selected: empty array, and the flag is set again.
    selection.SetSingleSelection(false);
    auto none = Rows({false, false, false, false});
    selection.UpdateData(none, -1, index);
    EXPECT_TRUE(selection.Items().empty());
    EXPECT_TRUE(selection.SingleSelection());
}

TEST(EngineerSelectionTest, SummaryGoesToHeldWaitingEngineersOnly) {
    EngineerIndex index = Engineers();
    EngineerSelection selection;
    EXPECT_FALSE(selection.StoreSummary("lost", index));  // nobody selected

    auto rows = Rows({true, true, false, true});
    selection.UpdateData(rows, 0, index);
    EXPECT_TRUE(selection.StoreSummary("checked", index));
    EXPECT_EQ(index["Kim Minsu-Piping"].summary, "checked");
    EXPECT_TRUE(index["Lee Jihoon-Electrical"].summary.empty());
    // A listed name the index lacks must not become an engineer who is finished at the end.
    EXPECT_EQ(index.count("Nobody-Unknown"), 0u);
    EXPECT_EQ(index.size(), 3u);
}

}  // namespace
