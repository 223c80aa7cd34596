// A page's annotation list keeps index order, indexes and iteration exactly as a plain list
// would through appends, removals anywhere, and the clean-ups that follow many removals; the
// engine's handles (count, index of, annotation at, hit order, move to another page) agree.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "control/pdf_page.h"
#include "viewer/engine/annot_store.h"
#include "viewer/engine/engine_control.h"
#include "viewer/engine/page_annot_list.h"
#include "viewer_engine/engine_fixture.h"

using namespace quill;
using namespace quill::engine;

namespace {

std::unique_ptr<AnnotRecord> Record(AnnotId id) {
    auto r = std::make_unique<AnnotRecord>();
    r->id = id;
    return r;
}

// Compares every way of reading the list with the plain list it should equal.
void ExpectSame(const PageAnnotList& list, const std::vector<AnnotId>& model) {
    ASSERT_EQ(list.size(), model.size());
    EXPECT_EQ(list.empty(), model.empty());
    std::vector<AnnotId> forward, backward;
    for (const auto& r : list) forward.push_back(r->id);
    for (auto it = list.rbegin(); it != list.rend(); ++it) backward.push_back((*it)->id);
    EXPECT_EQ(forward, model);
    std::reverse(backward.begin(), backward.end());
    EXPECT_EQ(backward, model);
    for (size_t i = 0; i < model.size(); ++i) {
        const AnnotRecord* r = list.At(i);
        ASSERT_NE(r, nullptr) << "index " << i;
        EXPECT_EQ(r->id, model[i]) << "index " << i;
        EXPECT_EQ(list.IndexOf(r), static_cast<int>(i));
    }
    EXPECT_EQ(list.At(model.size()), nullptr);
}

TEST(PageAnnotListTest, RemovalsAnywhereKeepOrderAndIndexes) {
    PageAnnotList list;
    std::vector<AnnotId> model;
    std::vector<std::unique_ptr<AnnotRecord>> takenBack;
    std::mt19937 random(7);
    AnnotId next = 1;
    // Phases of growth and shrinking, so that the list cleans up its removed places several
    // times, from the front, the back and the middle.
    for (int phase = 0; phase < 6; ++phase) {
        const int appends = phase % 2 == 0 ? 400 : 30;
        for (int i = 0; i < appends; ++i) {
            list.PushBack(Record(next));
            model.push_back(next++);
        }
        const int removals = phase % 2 == 0 ? 150 : 300;
        for (int i = 0; i < removals && !model.empty(); ++i) {
            size_t at = random() % model.size();
            if (i % 5 == 0) at = 0;
            if (i % 5 == 1) at = model.size() - 1;
            AnnotRecord* victim = list.At(at);
            ASSERT_NE(victim, nullptr);
            ASSERT_EQ(victim->id, model[at]);
            auto taken = list.Take(victim);
            ASSERT_EQ(taken.get(), victim);
            EXPECT_EQ(list.IndexOf(victim), -1);
            EXPECT_EQ(list.Take(victim), nullptr) << "taken twice";
            model.erase(model.begin() + static_cast<long>(at));
            if (i % 7 == 0) takenBack.push_back(std::move(taken));
        }
        ExpectSame(list, model);
    }
    // A record taken out and appended again goes to the end.
    for (auto& r : takenBack) {
        model.push_back(r->id);
        list.PushBack(std::move(r));
    }
    ExpectSame(list, model);
}

TEST(PageAnnotListTest, EmptiedAndForeignRecords) {
    PageAnnotList list, other;
    for (AnnotId id = 1; id <= 200; ++id) list.PushBack(Record(id));
    other.PushBack(Record(1000));
    AnnotRecord* foreign = other.At(0);
    EXPECT_EQ(list.IndexOf(foreign), -1);
    EXPECT_EQ(list.Take(foreign), nullptr);
    EXPECT_EQ(list.Take(nullptr), nullptr);
    EXPECT_EQ(list.IndexOf(nullptr), -1);
    while (!list.empty()) ASSERT_NE(list.Take(list.At(list.size() / 2)), nullptr);
    ExpectSame(list, {});
    EXPECT_EQ(list.begin(), list.end());
    list.PushBack(Record(5));
    ExpectSame(list, {5});
    EXPECT_EQ(other.IndexOf(foreign), 0);
}

TEST(PageAnnotListTest, StoreRemovalKeepsIndexesOfTheRest) {
    AnnotStore store;
    store.Reset(2);
    std::vector<AnnotId> model;
    for (int i = 0; i < 300; ++i) model.push_back(store.Append(0, std::make_unique<AnnotRecord>()));
    // Remove every third, then check the indexes the callers' bookkeeping relies on.
    std::vector<AnnotId> kept;
    for (size_t i = 0; i < model.size(); ++i) {
        if (i % 3 == 0)
            ASSERT_NE(store.Take(model[i]), nullptr);
        else
            kept.push_back(model[i]);
    }
    ASSERT_EQ(store.Count(0), static_cast<int>(kept.size()));
    for (size_t i = 0; i < kept.size(); ++i) {
        EXPECT_EQ(store.At(0, static_cast<int>(i))->id, kept[i]);
        EXPECT_EQ(store.IndexOf(store.Find(kept[i])), static_cast<int>(i));
    }
    EXPECT_EQ(store.At(0, -1), nullptr);
    EXPECT_EQ(store.At(0, static_cast<int>(kept.size())), nullptr);
    EXPECT_EQ(store.Find(model[0]), nullptr);
}

TEST(PageAnnotListTest, EngineHandlesFollowRemovalsAndMoves) {
    testsupport::TempDir dir;
    engine::SamplePdfOptions o;
    o.pageCount = 2;
    const std::string pdf = enginetest::MakeDrawing(dir, "drawing.pdf", o);
    EngineControl control;
    ASSERT_TRUE(control.OpenFile(pdf, nullptr));
    std::vector<AnnotId> model;
    for (int i = 0; i < 200; ++i) {
        engine::AnnotDraft draft;
        draft.tool = control::AnnotTool::Rectangle;
        draft.page = 0;
        draft.rect = {100, 100, 160, 140};  // all overlap: the hit goes to the last one
        draft.contents = "Comment " + std::to_string(i);
        const AnnotId id = control.CreateAnnot(draft);
        ASSERT_NE(id, 0);
        model.push_back(id);
    }
    std::mt19937 random(3);
    for (int i = 0; i < 150; ++i) {
        const size_t at = random() % model.size();
        if (i % 10 == 0) {
            // Moving to another page takes it out here as well.
            ASSERT_TRUE(control.MoveAnnotToPage(model[at], 1, 0, 0));
            EXPECT_EQ(control.AnnotPageOf(model[at]), 1);
        } else {
            ASSERT_EQ(control.PageAnnotAt(0, static_cast<int32_t>(at)), model[at]);
            ASSERT_TRUE(control.PageRemoveAnnot(0, model[at]));
            EXPECT_FALSE(control.AnnotExists(model[at]));
        }
        model.erase(model.begin() + static_cast<long>(at));
    }
    EXPECT_EQ(control.PageAnnotCount(0), static_cast<int32_t>(model.size()));
    EXPECT_EQ(control.AnnotsOnPage(0), model);
    for (size_t i = 0; i < model.size(); ++i) {
        EXPECT_EQ(control.PageAnnotAt(0, static_cast<int32_t>(i)), model[i]);
        EXPECT_EQ(control.AnnotIndexOf(model[i]), static_cast<int32_t>(i));
    }
    EXPECT_EQ(control.AnnotAt(0, {130, 120}), model.back());
    EXPECT_EQ(control.PageAnnotCount(1), 15);
}

}  // namespace
