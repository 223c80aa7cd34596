// Korean comment text between two reviewers on a UTF-8 desktop, through the bundled server.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/code_page.h"
#include "platform/prompter.h"
#include "sync_autosave/review_client.h"

using namespace quill;
using namespace quill::platform;
using namespace quill::sync;

namespace autosavetest {
namespace {

using control::AnnotText;
using control::AnnotTool;

// The environment of a Linux desktop with a UTF-8 locale and no code page chosen.
class Utf8Desktop : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("LC_ALL", "C.UTF-8", 1);
        setenv("LANG", "C.UTF-8", 1);
        unsetenv("QUILLMARK_CODEPAGE");
        const char* root = std::getenv("QUILLMARK_REGISTRY_ROOT");
        savedRoot_ = root ? root : "";
        hadRoot_ = root != nullptr;
        setenv("QUILLMARK_REGISTRY_ROOT", registry.str().c_str(), 1);
        platform::SetSystemCodePageForTesting("");
        ASSERT_TRUE(server.Start()) << server.error();
        platform::InstallPrompter(std::make_unique<platform::ScriptedPrompter>());
        drawing = MakeDrawing(dir, 1);
        a = std::make_unique<ReviewClient>(server, drawing, "KIM");
        b = std::make_unique<ReviewClient>(server, drawing, "LEE");
    }
    void TearDown() override {
        a.reset();
        b.reset();
        platform::InstallPrompter(nullptr);
        if (hadRoot_)
            setenv("QUILLMARK_REGISTRY_ROOT", savedRoot_.c_str(), 1);
        else
            unsetenv("QUILLMARK_REGISTRY_ROOT");
        platform::SetSystemCodePageForTesting("");
    }

    testsupport::TempDir registry;
    testsupport::ReviewServerProcess server;
    testsupport::TempDir dir;
    std::string drawing;
    std::unique_ptr<ReviewClient> a, b;

private:
    std::string savedRoot_;
    bool hadRoot_ = false;
};

TEST_F(Utf8Desktop, KoreanCommentTextTravelsInCp949AndComesBackWhole) {
    // Windows clients of the same review write CP949; so does this one, whatever the locale.
    ASSERT_EQ(platform::SystemCodePage(), "CP949");
    const std::string typed =
        "\xeb\xb0\xb0\xea\xb4\x80 \xeb\x85\xb8\xec\xa6\x90 OK";  // 배관 노즐 OK
    const std::string wire = "\xb9\xe8\xb0\xfc \xb3\xeb\xc1\xf1 OK";
    ASSERT_EQ(platform::Utf8ToAnsi(typed), wire);

    const int rect = a->Draw(AnnotTool::Rectangle, 0);
    const std::string name = a->NameAt(0, rect);
    ASSERT_GT(a->Publish(), 0);
    ASSERT_GT(b->worker().GetLastestRevisions(), 0);

    auto& ac = a->control();
    ac.SetAnnotText(ac.FindByName(name), AnnotText::Contents, platform::Utf8ToAnsi(typed));
    ASSERT_EQ(a->worker().AutoSaveAnnot(0, rect, kActionUpdate), 1);
    ASSERT_GT(a->Publish(), 0);
    ASSERT_GT(b->worker().GetLastestRevisions(), 0);

    const int at = b->ControlIndexOf(0, name);
    ASSERT_GE(at, 0);
    const std::string received = b->control().GetPage(0).GetAnnot(at).GetContents();
    EXPECT_EQ(received, wire);
    EXPECT_EQ(platform::AnsiToUtf8(received), typed);
}

}  // namespace
}  // namespace autosavetest
