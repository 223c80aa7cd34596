// Sorting incoming items and the record bookkeeping of a merge, without a server.
#include <gtest/gtest.h>

#include <random>

#include "sync/annot_index_tracker.h"
#include "sync/autosave_worker.h"
#include "sync/page_map_upkeep.h"
#include "sync/wire/queue_builders.h"
#include "sync/wire/uri_codec.h"

using namespace quill;
using namespace quill::sync;

namespace {

ParamMap ItemMap(const std::string& nm, int action, int revision, const std::string& irt = "",
                 int page = 0) {
    ParamMap m;
    m["NM"] = nm;
    m["ACTION_TYPE"] = static_cast<int32_t>(action);
    m["REVISION_NO"] = static_cast<int32_t>(revision);
    m["PAGE_NO"] = static_cast<int32_t>(page);
    m["IRT"] = irt;
    return m;
}

TEST(BuildQueues, SortsByReplyAndActionDropsMovesAndRaisesTheHighestRevision) {
    std::vector<ParamMap> list = {
        ItemMap("a", 0, 3),      ItemMap("b", 1, 4),      ItemMap("c", 2, 2),
        ItemMap("r", 0, 5, "a"), ItemMap("s", 1, 5, "a"), ItemMap("t", 2, 6, "a"),
        ItemMap("m", 3, 9),      ItemMap("x", 7, 1),      ItemMap("a2", 0, 4),
    };
    int highest = 0;
    auto set = BuildQueues(list, highest);
    EXPECT_EQ(highest, 9);  // a move counts for the revision though it is not merged
    auto names = [&](CPtrArrayCustom::Group g) {
        std::string out;
        for (auto& item : (*set)[g]) out += item->NM + " ";
        return out;
    };
    EXPECT_EQ(names(CPtrArrayCustom::kAnnotsCreated), "a a2 ");
    EXPECT_EQ(names(CPtrArrayCustom::kAnnotsUpdated), "b ");
    EXPECT_EQ(names(CPtrArrayCustom::kAnnotsDeleted), "c ");
    EXPECT_EQ(names(CPtrArrayCustom::kRepliesCreated), "r ");
    EXPECT_EQ(names(CPtrArrayCustom::kRepliesUpdated), "s ");
    EXPECT_EQ(names(CPtrArrayCustom::kRepliesDeleted), "t ");
    EXPECT_EQ(set->TotalSize(), 7u);

    int unchanged = 20;
    BuildQueues(list, unchanged);
    EXPECT_EQ(unchanged, 20);
}

std::unique_ptr<CNMObject> Record(const std::string& name, int page, int index,
                                  const std::string& irt = "") {
    std::unique_ptr<CNMObject> r = irt.empty()
                                       ? std::unique_ptr<CNMObject>(std::make_unique<CAnnot>())
                                       : std::make_unique<CReply>();
    r->uniqueName = name;
    r->page = page;
    r->annotIndex = irt.empty() ? index : -1;
    r->inReplyTo = irt;
    return r;
}

TEST(PageMaps, RemovingACommentRemovesItsWholeThreadAndLowersOnlyLaterIndices) {
    PageAnnotMap maps(1);
    for (int i = 0; i < 5; ++i) pagemaps::Enter(maps, Record("c" + std::to_string(i), 0, i));
    pagemaps::Enter(maps, Record("r1", 0, -1, "c2"));
    pagemaps::Enter(maps, Record("r2", 0, -1, "r1"));
    pagemaps::Enter(maps, Record("r3", 0, -1, "c3"));
    EXPECT_EQ(pagemaps::TopLevelOf(maps.Find(0, "r2"))->uniqueName, "c2");
    EXPECT_EQ(pagemaps::FindCommentAt(maps, 0, 2)->uniqueName, "c2");

    pagemaps::Remove(maps, 0, "c2");
    pagemaps::LowerIndicesAbove(maps, 0, 2);
    EXPECT_EQ(maps.Find(0, "r1"), nullptr);
    EXPECT_EQ(maps.Find(0, "r2"), nullptr);
    ASSERT_NE(maps.Find(0, "r3"), nullptr);
    EXPECT_EQ(maps.Find(0, "r3")->parent, maps.Find(0, "c3"));
    std::vector<int> indices;
    for (const auto& [name, r] : maps.Page(0)) {
        if (r->inReplyTo.empty()) indices.push_back(r->annotIndex);
    }
    EXPECT_EQ(indices, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(pagemaps::FindCommentAt(maps, 0, 9), nullptr);
    EXPECT_EQ(pagemaps::FindCommentAt(maps, 7, 0), nullptr);
}

// The tracker against the plain rule: a removal lowers every index above it by one, an
// entered record takes the index it carries.
TEST(AnnotIndexTracker, AgreesWithLoweringEveryIndexAboveARemoval) {
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        PageAnnotMap maps(1);
        PageAnnotMap model(1);
        int count = static_cast<int>(random() % 40);
        // A gap stands for an annotation the client keeps no record of.
        int next = 0;
        for (int i = 0; i < count; ++i) {
            if (random() % 5 == 0) ++next;
            pagemaps::Enter(maps, Record("n" + std::to_string(i), 0, next));
            pagemaps::Enter(model, Record("n" + std::to_string(i), 0, next));
            ++next;
        }
        int controlCount = next;
        AnnotIndexTracker tracker(maps);
        int fresh = 0;
        for (int step = 0; step < 200; ++step) {
            auto& page = maps.Page(0);
            if (page.empty() || random() % 3 == 0) {
                const std::string name = "f" + std::to_string(fresh++);
                auto r = Record(name, 0, controlCount);
                CNMObject* entered = pagemaps::Enter(maps, std::move(r));
                tracker.Enter(0, entered);
                pagemaps::Enter(model, Record(name, 0, controlCount));
                ++controlCount;
                continue;
            }
            auto it = page.begin();
            std::advance(it, static_cast<long>(random() % page.size()));
            const std::string name = it->first;
            const int index = tracker.IndexOf(0, it->second.get());
            ASSERT_EQ(index, model.Find(0, name)->annotIndex);
            tracker.Remove(0, it->second.get());
            maps.Erase(0, name);
            model.Erase(0, name);
            pagemaps::LowerIndicesAbove(model, 0, index);
            --controlCount;
        }
        tracker.Flush();
        for (const auto& [name, r] : model.Page(0)) {
            ASSERT_NE(maps.Find(0, name), nullptr);
            EXPECT_EQ(maps.Find(0, name)->annotIndex, r->annotIndex) << name;
        }
    }
}

std::unique_ptr<CDocQueueModel> Incoming(const std::string& nm, int action,
                                         const std::string& irt = "",
                                         const std::string& object = "<</NM(x)>>") {
    BinaryContent content;
    content.content = std::make_unique<ByteBuffer>(ByteBuffer::Copy(object));
    auto item = createDocQueueModel("10011", action, "A", 0, "", "LEE", nm,
                                    action == kActionDelete ? nullptr : &content, irt);
    item->revision = 1;
    return item;
}

class MergeTest : public ::testing::Test {
protected:
    MergeTest() : worker(nullptr, 2, AutosaveSettings{}) {
        AutosaveCallbacks callbacks;
        // A control of one page as a list of names: what the viewer dialog's callbacks do.
        callbacks.onRemoteAnnotCreated = [this](CNMObject& r) { return Append(r); };
        callbacks.onRemoteAnnotUpdated = [this](CNMObject& r) {
            Take(r);
            return Append(r);
        };
        callbacks.onRemoteAnnotDeleted = [this](CNMObject& r) {
            Take(r);
            return 0;
        };
        callbacks.onRemoteRepliesChanged = [this](CNMObject& r) {
            replyCalls.push_back(r.uniqueName + ":" + std::to_string(r.replies.size()));
            Take(r);
            return Append(r);
        };
        worker.SetCallbacks(std::move(callbacks));
        worker.SetState(kWorkerStop);
    }
    int Append(CNMObject& r) {
        control.push_back(r.uniqueName);
        r.annotIndex = static_cast<int>(control.size()) - 1;
        return 0;
    }
    void Take(CNMObject& r) {
        ASSERT_GE(r.annotIndex, 0);
        ASSERT_LT(r.annotIndex, static_cast<int>(control.size()));
        EXPECT_EQ(control[static_cast<size_t>(r.annotIndex)], r.uniqueName);
        control.erase(control.begin() + r.annotIndex);
    }
    void Merge(std::vector<std::unique_ptr<CDocQueueModel>> items) {
        CPtrArrayCustom set;
        for (auto& item : items) {
            const bool reply = !item->IRT.empty();
            const int group = item->actionType + (reply ? 3 : 0);
            set.groups[static_cast<size_t>(group)].push_back(std::move(item));
        }
        worker._mergeQueues(set);
    }
    void ExpectRecordsMatchControl() {
        for (size_t i = 0; i < control.size(); ++i) {
            const CNMObject* r = worker.PageMaps().Find(0, control[i]);
            ASSERT_NE(r, nullptr) << control[i];
            EXPECT_EQ(r->annotIndex, static_cast<int>(i)) << control[i];
        }
    }

    AutosaveWorker worker;
    std::vector<std::string> control;
    std::vector<std::string> replyCalls;
};

std::vector<std::unique_ptr<CDocQueueModel>> Items(std::initializer_list<CDocQueueModel*> raw) {
    std::vector<std::unique_ptr<CDocQueueModel>> out;
    for (CDocQueueModel* item : raw) out.emplace_back(item);
    return out;
}

TEST_F(MergeTest, EachGroupChangesRecordsAndTheControlInStep) {
    Merge(Items({Incoming("A", 0).release(), Incoming("B", 0).release(), Incoming("C", 0).release(),
                 Incoming("D", 0).release()}));
    EXPECT_EQ(control, (std::vector<std::string>{"A", "B", "C", "D"}));
    ExpectRecordsMatchControl();

    // Known creates and unknown updates and deletes change nothing.
    Merge(Items({Incoming("A", 0).release(), Incoming("Q", 1).release(), Incoming("Q", 2).release(),
                 Incoming("rq", 1, "A").release()}));
    EXPECT_EQ(control, (std::vector<std::string>{"A", "B", "C", "D"}));

    Merge(Items({Incoming("B", 1, "", "<</NM(B)/Contents(new)>>").release(),
                 Incoming("C", 2).release(), Incoming("r1", 0, "A").release(),
                 Incoming("r2", 0, "r1").release(), Incoming("r3", 0, "D").release()}));
    EXPECT_EQ(control, (std::vector<std::string>{"B", "A", "D"}));
    EXPECT_EQ(worker.PageMaps().Find(0, "B")->content->content->view(), "<</NM(B)/Contents(new)>>");
    EXPECT_EQ(worker.PageMaps().Find(0, "C"), nullptr);
    // Each comment whose replies changed is shown again once, in name order.
    EXPECT_EQ(replyCalls, (std::vector<std::string>{"A:1", "D:1"}));
    ExpectRecordsMatchControl();

    // A reply update keeps its place among its parent's replies; a deletion takes its own
    // replies with it.
    Merge(Items({Incoming("r0", 0, "A").release()}));
    const CNMObject* a = worker.PageMaps().Find(0, "A");
    ASSERT_EQ(a->replies.size(), 2u);
    EXPECT_EQ(a->replies[0]->uniqueName, "r1");
    Merge(Items({Incoming("r1", 1, "A", "<</NM(r1)/Contents(v2)>>").release()}));
    a = worker.PageMaps().Find(0, "A");
    ASSERT_EQ(a->replies.size(), 2u);
    EXPECT_EQ(a->replies[0]->uniqueName, "r1");
    ASSERT_EQ(a->replies[0]->replies.size(), 1u);
    EXPECT_EQ(a->replies[0]->replies[0]->uniqueName, "r2");
    Merge(Items({Incoming("r1", 2, "A").release()}));
    EXPECT_EQ(worker.PageMaps().Find(0, "r2"), nullptr);
    ASSERT_EQ(worker.PageMaps().Find(0, "A")->replies.size(), 1u);
    ExpectRecordsMatchControl();
}

TEST_F(MergeTest, DamagedItemIsPassedOverAndTheRestMerged) {
    auto bad = Incoming("BAD", 0);
    bad->object = UriEncodeForByteArray(std::string("\x50\0\0\0", 4));  // a blob that lies
    Merge(Items({Incoming("A", 0).release(), bad.release(), Incoming("B", 0).release()}));
    EXPECT_EQ(control, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(worker.PageMaps().Find(0, "BAD"), nullptr);
    ExpectRecordsMatchControl();
}

TEST_F(MergeTest, ItemsThatDoNotMatchWhatTheyNameArePassedOver) {
    Merge(Items({Incoming("A", 0).release(), Incoming("B", 0).release()}));
    Merge(Items({Incoming("r1", 0, "A").release()}));
    ASSERT_EQ(control, (std::vector<std::string>{"B", "A"}));
    replyCalls.clear();

    // A reply deletion naming a comment, a reply update naming a comment, a comment update
    // and a comment deletion naming a reply, a reply deletion naming the wrong parent.
    Merge(Items({Incoming("B", 2, "A").release(),
                 Incoming("B", 1, "A", "<</NM(B)/IRT(A)>>").release(),
                 Incoming("r1", 1, "", "<</NM(r1)>>").release(), Incoming("r1", 2).release(),
                 Incoming("r1", 2, "B").release()}));
    EXPECT_EQ(control, (std::vector<std::string>{"B", "A"}));
    ASSERT_NE(worker.PageMaps().Find(0, "B"), nullptr);
    EXPECT_TRUE(worker.PageMaps().Find(0, "B")->inReplyTo.empty());
    EXPECT_EQ(worker.PageMaps().Find(0, "B")->content->content->view(), "<</NM(x)>>");
    const CNMObject* r1 = worker.PageMaps().Find(0, "r1");
    ASSERT_NE(r1, nullptr);
    EXPECT_EQ(r1->inReplyTo, "A");
    EXPECT_EQ(r1->parent, worker.PageMaps().Find(0, "A"));
    EXPECT_EQ(r1->content->content->view(), "<</NM(x)>>");
    EXPECT_TRUE(replyCalls.empty());
    ExpectRecordsMatchControl();

    // The matching reply deletion still goes through.
    Merge(Items({Incoming("r1", 2, "A").release()}));
    EXPECT_EQ(worker.PageMaps().Find(0, "r1"), nullptr);
    EXPECT_EQ(replyCalls, (std::vector<std::string>{"A:0"}));
    ExpectRecordsMatchControl();
}

TEST_F(MergeTest, RepliesThatCameBeforeTheirCommentStayWithItThroughItsUpdates) {
    Merge(Items({Incoming("early1", 0, "A").release()}));
    Merge(Items({Incoming("early2", 0, "early1").release()}));
    ASSERT_NE(worker.PageMaps().Find(0, "early1"), nullptr);
    EXPECT_EQ(worker.PageMaps().Find(0, "early2")->parent, worker.PageMaps().Find(0, "early1"));

    std::vector<size_t> repliesWhenShown;
    AutosaveCallbacks callbacks = worker.Callbacks();
    auto created = callbacks.onRemoteAnnotCreated;
    auto updated = callbacks.onRemoteAnnotUpdated;
    callbacks.onRemoteAnnotCreated = [&, created](CNMObject& r) {
        repliesWhenShown.push_back(r.replies.size());
        return created(r);
    };
    callbacks.onRemoteAnnotUpdated = [&, updated](CNMObject& r) {
        repliesWhenShown.push_back(r.replies.size());
        return updated(r);
    };
    worker.SetCallbacks(std::move(callbacks));

    Merge(Items({Incoming("A", 0).release()}));
    Merge(Items({Incoming("late", 0, "A").release()}));
    Merge(Items({Incoming("A", 1, "", "<</NM(A)/Contents(v2)>>").release()}));
    const CNMObject* a = worker.PageMaps().Find(0, "A");
    ASSERT_NE(a, nullptr);
    std::vector<std::string> names;
    for (const CNMObject* reply : a->replies) names.push_back(reply->uniqueName);
    EXPECT_EQ(names, (std::vector<std::string>{"early1", "late"}));
    EXPECT_EQ(worker.PageMaps().Find(0, "early1")->parent, a);
    ASSERT_EQ(worker.PageMaps().Find(0, "early1")->replies.size(), 1u);
    // Shown with the early reply when created, with both when updated.
    EXPECT_EQ(repliesWhenShown, (std::vector<size_t>{1, 2}));
    ExpectRecordsMatchControl();
}

}  // namespace
