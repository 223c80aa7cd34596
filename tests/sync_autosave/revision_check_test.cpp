// The revision check against replies no server of ours sends: the client answers with the check's
// failure message and goes on, whatever the reply holds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/prompter.h"
#include "sync/autosave_worker.h"
#include "sync/wire/revision_list.h"

using namespace quill;
using namespace quill::platform;
using namespace quill::sync;

namespace {

// A connection whose revision list is a fixed text and whose UPDATE replies are empty lists.
class ScriptedConnection : public AutosaveConnection {
public:
    explicit ScriptedConnection(std::string list) : list_(std::move(list)) {}
    std::unique_ptr<ParamMap> Send(const ParamMap&) override {
        return std::make_unique<ParamMap>();
    }
    bool GetText(const std::string&, std::string& reply) override {
        reply = list_;
        return true;
    }
    bool LastSendUnanswered() const override { return false; }
    void SetShowTransferErrors(bool) override {}

private:
    std::string list_;
};

TEST(ReadRevisionList, ReadsNumbersAndDigitTextsInOrder) {
    std::vector<int32_t> revisions;
    ASSERT_TRUE(ReadRevisionList(R"({"rev":[3,"7",2147483647]})", revisions));
    EXPECT_EQ(revisions, (std::vector<int32_t>{3, 7, 2147483647}));
    ASSERT_TRUE(ReadRevisionList(R"({"rev":[]})", revisions));
    EXPECT_TRUE(revisions.empty());
}

TEST(ReadRevisionList, RefusesMembersOfOtherTypesOrOutOfRangeAsAWhole) {
    for (const char* text :
         {R"({"rev":[3000000000]})", R"({"rev":[1,-2]})", R"({"rev":[1,true]})", R"({"rev":[1.5]})",
          R"({"rev":["12a"]})", R"({"rev":[""]})", R"({"rev":["99999999999"]})", R"({"rev":[[1]]})",
          R"({"rev":{}})", R"({"rev":null})", R"({"rev":[1,)", R"([{"rev":[1]}])", "", "0"}) {
        std::vector<int32_t> revisions{42};
        EXPECT_FALSE(ReadRevisionList(text, revisions)) << text;
        EXPECT_TRUE(revisions.empty()) << text;
    }
}

TEST(ReadRevisionList, DeepNestingIsAFailedReplyNotACrash) {
    std::string deep = "{\"rev\":[";
    for (int i = 0; i < 100000; ++i) deep += "[";
    std::vector<int32_t> revisions;
    EXPECT_FALSE(ReadRevisionList(deep, revisions));
    std::string deepObject = "{\"rev\":[1],\"x\":";
    for (int i = 0; i < 100000; ++i) deepObject += "{\"a\":";
    EXPECT_FALSE(ReadRevisionList(deepObject, revisions));
}

TEST(RevisionCheck, AHostileListIsTheCheckErrorAndTheClientGoesOn) {
    auto prompter = std::make_unique<platform::ScriptedPrompter>();
    platform::ScriptedPrompter* prompts = prompter.get();
    platform::InstallPrompter(std::move(prompter));
    for (const char* text : {R"({"rev":[3000000000]})", R"({"rev":[{"a":1}]})", R"({"rev":"x"})"}) {
        AutosaveWorker worker(nullptr, 1, AutosaveSettings{},
                              [text] { return std::make_unique<ScriptedConnection>(text); });
        worker.SetState(kWorkerStop);
        EXPECT_EQ(worker.GetLastestRevisions(), -1) << text;
        ASSERT_FALSE(prompts->entries().empty());
        EXPECT_EQ(prompts->entries().back().text, "FileAttachment check error.");
        EXPECT_EQ(worker.Session().LatestRevision(), 0);
    }
    platform::InstallPrompter(nullptr);
}

}  // namespace
