// Two reviewers' engines kept in step through the bundled review server.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/comment_index.h"
#include "app/launch_params.h"
#include "app/pending_details.h"
#include "platform/prompter.h"
#include "review/review_client.h"
#include "session/viewer_comment_sync.h"
#include "sync/base_exception.h"
#include "sync/wire/queue_builders.h"
#include "sync_autosave/review_client.h"
#include "viewer/engine/sample_annots.h"

using namespace quill;
using namespace quill::app;
using namespace quill::platform;
using namespace quill::review;
using namespace quill::sync;

namespace autosavetest {
namespace {

using control::AnnotText;
using control::AnnotTool;

class TwoClients : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Start()) << server.error();
        auto prompter = std::make_unique<platform::ScriptedPrompter>();
        prompts = prompter.get();
        platform::InstallPrompter(std::move(prompter));
        drawing = MakeDrawing(dir, 2);
        a = std::make_unique<ReviewClient>(server, drawing, "KIM");
        b = std::make_unique<ReviewClient>(server, drawing, "LEE");
    }
    void TearDown() override {
        a.reset();
        b.reset();
        platform::InstallPrompter(nullptr);
    }

    // A publishes; B takes the new revisions in. The revision B returns.
    int PublishAToB() {
        const int revision = a->Publish();
        EXPECT_GT(revision, 0);
        return b->worker().GetLastestRevisions();
    }

    std::string ContentsOn(ReviewClient& client, int page, const std::string& name) {
        const int index = client.ControlIndexOf(page, name);
        if (index < 0) return "<missing>";
        return client.control().GetPage(page).GetAnnot(index).GetContents();
    }

    testsupport::ReviewServerProcess server;
    testsupport::TempDir dir;
    std::string drawing;
    platform::ScriptedPrompter* prompts = nullptr;
    std::unique_ptr<ReviewClient> a, b;
};

TEST_F(TwoClients, CommentCreatedOnOneAppearsOnTheOtherAndIsTakenInOnce) {
    const int index = a->Draw(AnnotTool::Cloudy, 0);
    const std::string name = a->NameAt(0, index);
    const int revision = PublishAToB();
    EXPECT_EQ(revision, 1);
    EXPECT_EQ(b->worker().Session().LatestRevision(), 1);
    ASSERT_EQ(b->control().GetPage(0).AnnotCount(), 1);
    EXPECT_EQ(b->NameAt(0, 0), name);
    EXPECT_EQ(b->control().GetPage(0).GetAnnot(0).GetToolName(), "Cloudy");
    EXPECT_EQ(b->counts.created, 1);
    EXPECT_EQ(b->MapsAgreeWithControl(), "");

    // Nothing newer than latestRevision: nothing is merged again.
    EXPECT_EQ(b->worker().GetLastestRevisions(), -1);
    EXPECT_EQ(b->counts.created, 1);
    EXPECT_EQ(b->control().GetPage(0).AnnotCount(), 1);
}

TEST_F(TwoClients, UpdatesDeletionsAndRepliesFollow) {
    const int rect = a->Draw(AnnotTool::Rectangle, 0);
    const int note = a->Draw(AnnotTool::Note, 0);
    const int line = a->Draw(AnnotTool::Line, 1);
    const std::string rectName = a->NameAt(0, rect);
    const std::string noteName = a->NameAt(0, note);
    const std::string lineName = a->NameAt(1, line);
    PublishAToB();
    ASSERT_EQ(b->control().GetPage(0).AnnotCount(), 2);
    ASSERT_EQ(b->control().GetPage(1).AnnotCount(), 1);

    // Update.
    auto& ac = a->control();
    ac.SetAnnotText(ac.FindByName(rectName), AnnotText::Contents, "Check the nozzle size");
    ASSERT_EQ(a->worker().AutoSaveAnnot(0, rect, kActionUpdate), 1);
    PublishAToB();
    EXPECT_EQ(ContentsOn(*b, 0, rectName), "Check the nozzle size");
    EXPECT_EQ(b->counts.updated, 1);
    EXPECT_EQ(b->MapsAgreeWithControl(), "");

    // A reply, then its change, then its deletion.
    const control::AnnotId reply = ac.AddReply(ac.FindByName(noteName), "Agreed", "KIM-PIPING");
    ASSERT_EQ(a->worker().AutoSaveReply(0, note, kActionCreate, ""), 1);
    const std::string replyName = ac.GetAnnotText(reply, AnnotText::Name);
    EXPECT_NE(a->worker().PageMaps().Find(0, replyName), nullptr);
    PublishAToB();
    auto replies = [&]() {
        const int at = b->ControlIndexOf(0, noteName);
        return b->control().GetPage(0).GetAnnot(at).GetReplies();
    };
    ASSERT_EQ(replies().ReplyCount(), 1);
    EXPECT_EQ(replies().GetReply(0).GetText(), "Agreed");
    EXPECT_EQ(b->counts.repliesChanged, 1);
    EXPECT_EQ(b->MapsAgreeWithControl(), "");

    ac.EditReply(reply, "Agreed, size 4 inch");
    ASSERT_EQ(a->worker().AutoSaveReply(0, note, kActionUpdate, replyName), 1);
    PublishAToB();
    ASSERT_EQ(replies().ReplyCount(), 1);
    EXPECT_EQ(replies().GetReply(0).GetText(), "Agreed, size 4 inch");

    ac.DeleteReply(reply);
    ASSERT_EQ(a->worker().QueueDeleteReply(0, replyName), 1);
    PublishAToB();
    EXPECT_EQ(replies().ReplyCount(), 0);
    EXPECT_EQ(b->worker().PageMaps().Find(0, replyName), nullptr);
    EXPECT_EQ(b->MapsAgreeWithControl(), "");

    // Deletion of a comment on the second page.
    ac.GetPage(1).RemoveAnnot(ac.GetPage(1).GetAnnot(line));
    ASSERT_EQ(a->worker().QueueDeleteComment(1, line), 1);
    PublishAToB();
    EXPECT_EQ(b->control().GetPage(1).AnnotCount(), 0);
    EXPECT_EQ(b->counts.deleted, 1);
    EXPECT_EQ(b->worker().PageMaps().Find(1, lineName), nullptr);
    EXPECT_EQ(b->MapsAgreeWithControl(), "");
    EXPECT_EQ(a->MapsAgreeWithControl(), "");
}

TEST_F(TwoClients, DeletingIndexTwoOfFiveLeavesZeroToThreeOnBothSides) {
    std::vector<std::string> names;
    const AnnotTool tools[] = {AnnotTool::Cloudy, AnnotTool::Arrow, AnnotTool::Line,
                               AnnotTool::Rectangle, AnnotTool::Circle};
    for (AnnotTool tool : tools) names.push_back(a->NameAt(0, a->Draw(tool, 0)));
    PublishAToB();
    ASSERT_EQ(b->MapsAgreeWithControl(), "");

    auto& ac = a->control();
    ac.GetPage(0).RemoveAnnot(ac.GetPage(0).GetAnnot(2));
    ASSERT_EQ(a->worker().QueueDeleteComment(0, 2), 1);
    auto indices = [&](ReviewClient& client) {
        std::vector<int> out;
        for (size_t i = 0; i < names.size(); ++i) {
            const CNMObject* record = client.worker().PageMaps().Find(0, names[i]);
            out.push_back(record ? record->annotIndex : -9);
        }
        return out;
    };
    EXPECT_EQ(indices(*a), (std::vector<int>{0, 1, -9, 2, 3}));
    EXPECT_EQ(a->MapsAgreeWithControl(), "");
    PublishAToB();
    EXPECT_EQ(indices(*b), (std::vector<int>{0, 1, -9, 2, 3}));
    EXPECT_EQ(b->MapsAgreeWithControl(), "");
}

TEST_F(TwoClients, UpdatesOfSeveralCommentsKeepEveryIndexTrue) {
    std::vector<std::string> names;
    for (int i = 0; i < 6; ++i) names.push_back(a->NameAt(0, a->Draw(AnnotTool::Rectangle, 0)));
    PublishAToB();
    auto& ac = a->control();
    // Updates of the first and fourth, a deletion of the second, a reply on the sixth.
    for (int which : {0, 3}) {
        ac.SetAnnotText(ac.FindByName(names[static_cast<size_t>(which)]), AnnotText::Contents,
                        "new");
        ASSERT_EQ(a->worker().AutoSaveAnnot(0, which, kActionUpdate), 1);
    }
    ac.GetPage(0).RemoveAnnot(ac.GetPage(0).GetAnnot(1));
    ASSERT_EQ(a->worker().QueueDeleteComment(0, 1), 1);
    const int sixth = a->ControlIndexOf(0, names[5]);
    ac.AddReply(ac.FindByName(names[5]), "Why?", "KIM-PIPING");
    ASSERT_EQ(a->worker().AutoSaveReply(0, sixth, kActionCreate, ""), 1);
    PublishAToB();
    EXPECT_EQ(b->MapsAgreeWithControl(), "");
    EXPECT_EQ(b->control().GetPage(0).AnnotCount(), 5);
    EXPECT_EQ(ContentsOn(*b, 0, names[0]), "new");
    EXPECT_EQ(ContentsOn(*b, 0, names[3]), "new");
    EXPECT_EQ(b->ControlIndexOf(0, names[1]), -1);
}

TEST_F(TwoClients, MoveFromAnotherClientIsNotMerged) {
    const std::string name = a->NameAt(0, a->Draw(AnnotTool::Arrow, 0));
    PublishAToB();
    ASSERT_EQ(a->worker().QueueMoveComment(name, 0, 1, kDocId, "KIM"), 1);
    const int revision = PublishAToB();
    EXPECT_EQ(revision, 2);  // taken in, but nothing changes
    EXPECT_EQ(b->ControlIndexOf(0, name), 0);
    EXPECT_EQ(b->control().GetPage(1).AnnotCount(), 0);
    EXPECT_EQ(b->counts.created, 1);
    EXPECT_EQ(b->counts.updated + b->counts.deleted, 0);
}

TEST_F(TwoClients, AttachmentArrivesOnceAndRaisesTheLatestRevision) {
    const std::string name = a->NameAt(0, a->Draw(AnnotTool::FileAttachment, 0));
    const int published = a->Publish();
    ASSERT_GT(published, 0);
    // The newest revision holds the attachment only: nothing for UPDATE, but it is taken in.
    EXPECT_EQ(b->worker().GetLastestRevisions(), -1);
    EXPECT_EQ(b->worker().Session().LatestRevision(), published);
    ASSERT_EQ(b->ControlIndexOf(0, name), 0);
    EXPECT_EQ(b->control().GetPage(0).GetAnnot(0).GetSubtypeName(), "File Attachment");
    EXPECT_EQ(b->worker().GetLastestRevisions(), -1);
    EXPECT_EQ(b->counts.created, 1);
    EXPECT_EQ(b->control().GetPage(0).AnnotCount(), 1);
}

TEST_F(TwoClients, RefusedOutgoingChangesQueueNothing) {
    const int index = a->Draw(AnnotTool::Rectangle, 0);
    ASSERT_TRUE(a->Flush());
    auto message = [&](auto&& call) {
        try {
            call();
        } catch (const BaseException& e) {
            return e.message();
        }
        return std::string("no exception");
    };
    // Nothing new to create, an unknown action, an update of an index without a record.
    EXPECT_EQ(message([&] { a->worker().AutoSaveAnnot(0, index, kActionCreate); }),
              "No CFDFContent!!");
    EXPECT_EQ(message([&] { a->worker().AutoSaveAnnot(0, index, 7); }),
              "Improper action type provided.");
    EXPECT_EQ(message([&] { a->worker().AutoSaveReply(0, index, 2, ""); }),
              "Improper action type provided.");
    EXPECT_EQ(a->worker().AutoSaveAnnot(0, index + 5, kActionUpdate), 0);
    EXPECT_EQ(a->worker().QueueDeleteComment(0, index + 5), 1);
    EXPECT_EQ(a->worker().QueueSize(), 0u);
    EXPECT_EQ(a->worker().PageMaps().Page(0).size(), 1u);
    // No temporary file is left behind.
    EXPECT_TRUE(std::filesystem::is_empty(a->folder()));
}

TEST_F(TwoClients, AttachmentOverTheLimitIsRemovedAndNotQueued) {
    auto& ac = a->control();
    const auto geometry = ac.PageGeometryOf(0);
    engine::AnnotDraft draft;
    draft.tool = AnnotTool::FileAttachment;
    draft.page = 0;
    draft.rect = {100, 100, 120, 120};
    draft.fileName = "big.bin";
    draft.fileBytes.assign(10'000'001, 'x');
    (void)geometry;
    ASSERT_NE(ac.CreateAnnot(draft), 0u);
    EXPECT_EQ(a->worker().AutoSaveAnnot(0, 0, kActionCreate), 0);
    EXPECT_EQ(ac.GetPage(0).AnnotCount(), 0);
    EXPECT_EQ(a->worker().QueueSize(), 0u);
    EXPECT_TRUE(a->worker().PageMaps().Page(0).empty());
}

// The ink of the copy as the control exports it.
std::string InkOf(engine::EngineControl& control, const std::string& folder,
                  const std::string& name) {
    const std::string path = folder + "/ink.fdf";
    control.ExportAnnotsToFDFFile(path);
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string fdf = text.str();
    const size_t at = fdf.find("(" + name + ")");
    if (at == std::string::npos) return "<no object>";
    const size_t start = fdf.rfind("obj", at);
    const size_t ink = fdf.find("/InkList", start);
    const size_t end = fdf.find("]]", ink);
    if (ink == std::string::npos || end == std::string::npos) return "<no ink>";
    return fdf.substr(ink, end + 2 - ink);
}

TEST_F(TwoClients, CopiedPencilKeepsEveryStrokeAndTravels) {
    const int index = a->Draw(AnnotTool::Pencil, 0);
    const std::string source = a->NameAt(0, index);
    const std::string sourceInk = InkOf(a->control(), a->folder(), source);
    ASSERT_NE(sourceInk.find("]["), std::string::npos) << sourceInk;  // two strokes

    const std::string path = a->worker().CopyComment(0, index, true);
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(a->counts.shown, 1);
    ASSERT_EQ(a->worker().AddCommentFromFdf(a->control().CurrentPage(), path), 1);
    EXPECT_EQ(a->counts.registered, 1);
    ASSERT_EQ(a->control().GetPage(0).AnnotCount(), 2);
    const std::string copy = a->NameAt(0, 1);
    EXPECT_NE(copy, source);
    EXPECT_EQ(copy.size(), 36u);
    const std::string copyInk = InkOf(a->control(), a->folder(), copy);
    EXPECT_NE(copyInk.find("]["), std::string::npos) << copyInk;
    EXPECT_NE(copyInk, sourceInk);
    EXPECT_EQ(a->MapsAgreeWithControl(), "");

    PublishAToB();
    EXPECT_EQ(b->ControlIndexOf(0, copy), 1);
    EXPECT_EQ(InkOf(b->control(), b->folder(), copy), copyInk);
}

TEST_F(TwoClients, CopiedAttachmentKeepsItsFile) {
    const int index = a->Draw(AnnotTool::FileAttachment, 0);
    const std::string path = a->worker().CopyComment(0, index, false);
    ASSERT_FALSE(path.empty());
    ASSERT_EQ(a->worker().AddCommentFromFdf(0, path), 1);
    EXPECT_FALSE(std::filesystem::exists(path));  // the import's file is gone
    ASSERT_EQ(a->control().GetPage(0).AnnotCount(), 2);
    EXPECT_EQ(a->control().GetPage(0).GetAnnot(1).GetSubtypeName(), "File Attachment");
    const std::string exported = a->folder() + "/all.fdf";
    a->control().ExportAnnotsToFDFFile(exported);
    std::ifstream in(exported, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string fdf = text.str();
    size_t files = 0;
    for (size_t at = fdf.find("Attached sample file."); at != std::string::npos;
         at = fdf.find("Attached sample file.", at + 1))
        ++files;
    EXPECT_EQ(files, 2u);
    EXPECT_EQ(a->MapsAgreeWithControl(), "");
}

TEST_F(TwoClients, HighlightIsNotCopied) {
    const int index = a->Draw(AnnotTool::Highlight, 0);
    EXPECT_EQ(a->worker().CopyComment(0, index, true), "");
    auto entries = prompts->entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].kind, platform::PromptKind::Info);
    EXPECT_EQ(entries[0].text, "The comment copy is not supported for this tool.");
}

TEST_F(TwoClients, FailedRevisionFetchShowsTheCodeAndKeepsTheLatestRevision) {
    a->Draw(AnnotTool::Circle, 0);
    ASSERT_GT(a->Publish(), 0);
    ASSERT_TRUE(server.AddFault("status:/Comm/update.do:500@1"));
    EXPECT_EQ(b->worker().GetLastestRevisions(), 0);
    EXPECT_EQ(b->worker().Session().LatestRevision(), 0);
    EXPECT_EQ(b->control().GetPage(0).AnnotCount(), 0);
    auto entries = prompts->entries();
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.back().text.rfind("Code:202\n", 0), 0u) << entries.back().text;

    ASSERT_TRUE(server.AddFault("status:/Comm/fileAttachlist.do:404@1"));
    EXPECT_EQ(b->worker().GetLastestRevisions(), -1);
    EXPECT_EQ(prompts->entries().back().text, "FileAttachment check error.");

    // The next check takes everything in.
    const size_t before = prompts->entries().size();
    EXPECT_EQ(b->worker().GetLastestRevisions(), 1)
        << (prompts->entries().size() > before ? prompts->entries().back().text : "no message");
    EXPECT_EQ(b->control().GetPage(0).AnnotCount(), 1);
}

TEST_F(TwoClients, CommentsGoToTheTargetReviewWhilePublishingToTheParent) {
    a->worker().Session().SetPublishToParent(true);
    a->Draw(AnnotTool::Polygon, 0);
    ASSERT_TRUE(a->Flush());
    EXPECT_EQ(server.Get("/Comm/checkautosaved.do?docId=20011&userId=KIM").body, "1");
    EXPECT_EQ(server.Get("/Comm/checkautosaved.do?docId=10011&userId=KIM").body, "0");
}

// The review commands read the state the worker and the merge keep: one session for both.
LaunchParams ParamsOf(const testsupport::ReviewServerProcess& server, const std::string& user) {
    LaunchParams p;
    p.HOST = server.host();
    p.PORT = server.port();
    p.USERID = user;
    p.docId = kDocId;
    p.targetDocId = "20011";
    return p;
}

TEST_F(TwoClients, RevisionPollCarriesTheRevisionTheMergeTookIn) {
    a->Draw(AnnotTool::Cloudy, 0);
    a->Draw(AnnotTool::Line, 0);
    const int revision = PublishAToB();
    ASSERT_GT(revision, 0);
    const LaunchParams params = ParamsOf(server, "LEE");
    const ::ReviewClient commands(params, b->worker().Session());
    EXPECT_NE(commands.CommandUrl("REVISION").find("&rev=" + std::to_string(revision) + "&"),
              std::string::npos)
        << commands.CommandUrl("REVISION");
}

TEST_F(TwoClients, PublishAndQueuedItemsNameTheSameDocumentWhilePublishingToTheParent) {
    const LaunchParams params = ParamsOf(server, "KIM");
    const ::ReviewClient commands(params, a->worker().Session());
    EXPECT_NE(commands.CommandUrl("PUBLISH").find("docid=10011"), std::string::npos);

    a->worker().Session().SetPublishToParent(true);
    EXPECT_NE(commands.CommandUrl("PUBLISH").find("docid=20011"), std::string::npos);
    a->Draw(AnnotTool::Rectangle, 0);
    ASSERT_TRUE(a->Flush());
    // The item went to the document that "PUBLISH" now publishes.
    EXPECT_EQ(server.Get("/Comm/checkautosaved.do?docId=20011&userId=KIM").body, "1");
    EXPECT_EQ(commands.SendReviewCommand("PUBLISH"), "1");
    EXPECT_EQ(server.Get("/Comm/checkautosaved.do?docId=20011&userId=KIM").body, "0");
}

// Adds comments to the control that no autosave took in (an add that failed earlier) until
// one of them sorts before name: the comment that "the first unknown one" would pick. Names are
// random: a name that sorts low (such as "03...") needs many tries before one sorts lower still.
std::string UnknownCommentBefore(ReviewClient& client, const std::string& name) {
    auto& control = client.control();
    const auto geometry = control.PageGeometryOf(0);
    const auto words = control.TextQuadsIn(0, geometry.mediaBox);
    for (int tries = 0; tries < 4096; ++tries) {
        auto drafts = engine::SampleAnnotDrafts(0, geometry, words);
        const control::AnnotId id =
            control.CreateAnnot(drafts.at(static_cast<size_t>(AnnotTool::Circle)));
        const std::string unknown = control.GetAnnotText(id, AnnotText::Name);
        if (unknown < name) return unknown;
    }
    ADD_FAILURE() << "no name sorted before " << name;
    return {};
}

TEST_F(TwoClients, NewCommentGoesOutByItsOwnNameNotAsAnotherUnknownObject) {
    auto& ac = a->control();
    const auto geometry = ac.PageGeometryOf(0);
    const auto words = ac.TextQuadsIn(0, geometry.mediaBox);
    auto drafts = engine::SampleAnnotDrafts(0, geometry, words);
    const control::AnnotId id = ac.CreateAnnot(drafts.at(static_cast<size_t>(AnnotTool::Polygon)));
    const std::string fresh = ac.GetAnnotText(id, AnnotText::Name);
    const std::string earlier = UnknownCommentBefore(*a, fresh);
    // An unsaved reply that sorts first as well.
    const control::AnnotId note = ac.FindByName(a->NameAt(0, a->Draw(AnnotTool::Note, 0)));
    std::string reply;
    for (int tries = 0; tries < 64 && (reply.empty() || reply > fresh); ++tries)
        reply = ac.GetAnnotText(ac.AddReply(note, "unsaved", "KIM-PIPING"), AnnotText::Name);

    const int index = ac.AnnotIndexOf(id);
    ASSERT_EQ(a->worker().AutoSaveAnnot(0, index, kActionCreate), 1);
    const CNMObject* record = a->worker().PageMaps().Find(0, fresh);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->annotIndex, index);
    EXPECT_EQ(a->worker().PageMaps().Find(0, earlier), nullptr);
    EXPECT_EQ(a->worker().PageMaps().Find(0, reply), nullptr);

    PublishAToB();
    ASSERT_GE(b->ControlIndexOf(0, fresh), 0);
    EXPECT_EQ(b->control().GetPage(0).GetAnnot(b->ControlIndexOf(0, fresh)).GetToolName(),
              "Polygon");
    EXPECT_EQ(b->ControlIndexOf(0, earlier), -1);
}

// The viewer dialog's own callbacks on B instead of the test's.
struct SessionCallbacks {
    explicit SessionCallbacks(ReviewClient& client)
        : sync(client.control(), index, pending, client.folder(), session::ReviewerRole{}) {
        client.worker().SetCallbacks(sync.Callbacks());
    }
    CommentIndex index;
    PendingDetails pending;
    session::ViewerCommentSync sync;
};

TEST_F(TwoClients, CommentTheControlRefusedHoldsNoIndexAndDeletionsNameTheRightComment) {
    SessionCallbacks callbacks(*b);
    const std::string first = b->NameAt(0, b->Draw(AnnotTool::Rectangle, 0));
    const std::string second = b->NameAt(0, b->Draw(AnnotTool::Circle, 0));
    ASSERT_EQ(b->control().GetPage(0).AnnotCount(), 2);

    // A comment whose FDF the control does not take in, named to sort before the others.
    const std::string refused = "00000000-0000-0000-0000-000000000000";
    BinaryContent content;
    content.content = std::make_unique<ByteBuffer>(ByteBuffer::Copy("<</NM(" + refused + ")>>"));
    CPtrArrayCustom set;
    set[CPtrArrayCustom::kAnnotsCreated].push_back(
        createDocQueueModel(kDocId, kActionCreate, "A", 0, "", "PARK", refused, &content, -1));
    b->worker()._mergeQueues(set);
    ASSERT_EQ(b->control().GetPage(0).AnnotCount(), 2);
    const CNMObject* record = b->worker().PageMaps().Find(0, refused);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->annotIndex, -1);
    EXPECT_EQ(b->worker().PageMaps().Find(0, second)->annotIndex, 1);

    // The reviewer deletes the comment at index 1: its own name goes out.
    auto& bc = b->control();
    bc.GetPage(0).RemoveAnnot(bc.GetPage(0).GetAnnot(1));
    ASSERT_EQ(b->worker().QueueDeleteComment(0, 1), 1);
    EXPECT_EQ(b->worker().PageMaps().Find(0, second), nullptr);
    EXPECT_NE(b->worker().PageMaps().Find(0, refused), nullptr);
    ASSERT_TRUE(b->Flush());
    ASSERT_GT(b->Publish(), 0);
    ASSERT_GE(a->worker().GetLastestRevisions(), 0);
    EXPECT_EQ(a->ControlIndexOf(0, second), -1);
    EXPECT_EQ(a->ControlIndexOf(0, first), 0);
}

TEST_F(TwoClients, AnIndexOutOfStepWithTheControlSendsNoOtherCommentsName) {
    const std::string first = a->NameAt(0, a->Draw(AnnotTool::Rectangle, 0));
    const std::string second = a->NameAt(0, a->Draw(AnnotTool::Circle, 0));
    ASSERT_TRUE(a->Flush());
    // The record of the first claims index 1 while the control holds it at 0.
    a->worker().PageMaps().Find(0, first)->annotIndex = 1;
    a->worker().PageMaps().Find(0, second)->annotIndex = 2;
    auto& ac = a->control();
    ac.GetPage(0).RemoveAnnot(ac.GetPage(0).GetAnnot(1));
    ASSERT_EQ(a->worker().QueueDeleteComment(0, 1), 1);
    EXPECT_EQ(a->worker().QueueSize(), 0u);
    EXPECT_NE(a->worker().PageMaps().Find(0, first), nullptr);
    // An update at index 0 is the first comment's, found by its name.
    ac.SetAnnotText(ac.FindByName(first), AnnotText::Contents, "by name");
    ASSERT_EQ(a->worker().AutoSaveAnnot(0, 0, kActionUpdate), 1);
    PublishAToB();
    EXPECT_EQ(ContentsOn(*b, 0, first), "by name");
}

// The queue items the server keeps for the review, as another client reads them.
std::string ItemsOnServer(const testsupport::ReviewServerProcess& server) {
    return server.Get(std::string("/Comm/update.do?CMD=UPDATE&docId=") + kDocId + "&rev=0").body;
}

TEST_F(TwoClients, ReplyDeletionAlwaysNamesItsParent) {
    auto& ac = a->control();
    const std::string note = a->NameAt(0, a->Draw(AnnotTool::Note, 0));
    // A reply the client keeps no record of: its parent comes from the control.
    const control::AnnotId reply = ac.AddReply(ac.FindByName(note), "unsaved", "KIM-PIPING");
    const std::string replyName = ac.GetAnnotText(reply, AnnotText::Name);
    ASSERT_EQ(a->worker().PageMaps().Find(0, replyName), nullptr);
    ASSERT_EQ(a->worker().QueueDeleteReply(0, replyName), 1);
    ac.DeleteReply(reply);
    // A comment's name given as a reply's: nothing is queued, the record stays.
    ASSERT_EQ(a->worker().QueueDeleteReply(0, note), 1);
    EXPECT_NE(a->worker().PageMaps().Find(0, note), nullptr);
    // A reply neither recorded nor in the control: no parent to name, nothing queued.
    const size_t queued = a->worker().QueueSize();
    ASSERT_EQ(a->worker().QueueDeleteReply(0, "NO-SUCH-REPLY"), 1);
    EXPECT_EQ(a->worker().QueueSize(), queued);
    ASSERT_GT(a->Publish(), 0);

    const std::string items = ItemsOnServer(server);
    const size_t at = items.find("\"NM\":\"" + replyName + "\"");
    ASSERT_NE(at, std::string::npos) << items;
    const size_t begin = items.rfind('{', at);
    const std::string item = items.substr(begin, items.find('}', at) - begin);
    EXPECT_NE(item.find("\"IRT\":\"" + note + "\""), std::string::npos) << item;
    EXPECT_EQ(items.find("\"NM\":\"NO-SUCH-REPLY\""), std::string::npos);
    // The note itself was never deleted on the other side.
    PublishAToB();
    EXPECT_EQ(b->ControlIndexOf(0, note), 0);
}

// The /Rect of the comment named name, as the control exports it.
std::vector<float> ExportedRect(engine::EngineControl& control, const std::string& name) {
    const engine::AnnotGeometry geometry = control.GeometryOf(control.FindByName(name));
    return {static_cast<float>(geometry.rect.x1), static_cast<float>(geometry.rect.y1),
            static_cast<float>(geometry.rect.x2), static_cast<float>(geometry.rect.y2)};
}

TEST_F(TwoClients, CopyOfAToolDrawnByPointsMovesItsRectWithIt) {
    for (AnnotTool tool : {AnnotTool::Cloudy, AnnotTool::Polygon, AnnotTool::PolyLine,
                           AnnotTool::Arrow, AnnotTool::Line, AnnotTool::Pencil}) {
        const std::string source = a->NameAt(0, a->Draw(tool, 0));
        const std::string path = a->worker().CopyComment(0, source, true);
        ASSERT_FALSE(path.empty()) << control::AnnotToolName(tool);
        ASSERT_EQ(a->worker().AddCommentFromFdf(0, path), 1);
        const int count = a->control().GetPage(0).AnnotCount();
        const std::string copy = a->NameAt(0, count - 1);
        ASSERT_NE(copy, source);
        const std::vector<float> before = ExportedRect(a->control(), source);
        const std::vector<float> after = ExportedRect(a->control(), copy);
        for (size_t i = 0; i < 4; ++i)
            EXPECT_NEAR(after[i], before[i] + 10.0f, 0.01) << control::AnnotToolName(tool) << i;
    }
    EXPECT_EQ(a->MapsAgreeWithControl(), "");
}

TEST_F(TwoClients, CopyFindsItsSourceByNameAfterAMergeMovedIt) {
    // B's comment before A's own: A's comment stands at index 1.
    const std::string theirs = b->NameAt(0, b->Draw(AnnotTool::Rectangle, 0));
    ASSERT_GT(b->Publish(), 0);
    ASSERT_GT(a->worker().GetLastestRevisions(), 0);
    const std::string mine = a->NameAt(0, a->Draw(AnnotTool::Cloudy, 0));
    ASSERT_EQ(a->ControlIndexOf(0, mine), 1);
    // B deletes its comment and draws another: A's moves to 0, B's new one takes 1.
    auto& bc = b->control();
    bc.GetPage(0).RemoveAnnot(bc.GetPage(0).GetAnnot(0));
    ASSERT_EQ(b->worker().QueueDeleteComment(0, 0), 1);
    b->Draw(AnnotTool::Circle, 0);
    ASSERT_GT(b->Publish(), 0);
    ASSERT_GT(a->worker().GetLastestRevisions(), 0);
    ASSERT_EQ(a->ControlIndexOf(0, mine), 0);
    EXPECT_EQ(a->ControlIndexOf(0, theirs), -1);

    const std::string path = a->worker().CopyComment(0, mine, true);
    ASSERT_FALSE(path.empty());
    ASSERT_EQ(a->worker().AddCommentFromFdf(0, path), 1);
    EXPECT_EQ(a->control().GetPage(0).GetAnnot(2).GetToolName(), "Cloudy");
    // A name that is no comment of the page copies nothing.
    EXPECT_EQ(a->worker().CopyComment(1, mine, true), "");
    EXPECT_EQ(a->MapsAgreeWithControl(), "");
}

}  // namespace
}  // namespace autosavetest
