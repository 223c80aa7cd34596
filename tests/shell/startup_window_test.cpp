#include "shell/startup_window.h"

#include <gtest/gtest.h>
#include <QApplication>

#include "app/launch_params.h"
#include "app/pending_details.h"
#include "platform/code_page.h"

using namespace quill;
using namespace quill::shell;
using namespace quill::app;
using namespace quill::platform;

namespace {

TEST(StartupWindowTest, TitleNamesDisciplineUserAndIdInTheSystemCodePage) {
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    platform::SetSystemCodePageForTesting("CP949");
    LaunchParams p;
    ParseLaunchParams("SITEUSENM=\xb9\xe8\xb0\xfc&USERKNM=Kim&USERID=k1", p);  // "배관"
    StartupWindow window(p);
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("Ostrel Lumaro  배관 - Kim(k1)"));
    platform::SetSystemCodePageForTesting("");
}

TEST(StartupWindowTest, ADeletedCommentIsMarkedForTheNextPublishUntilTheMainWindowExists) {
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    LaunchParams p;
    StartupWindow window(p);
    ViewerDialogHost& host = window;
    AppPendingDetails().SetDelete("C-1", 0);
    host.CommentDeleted("C-1");
    host.CommentDeleted("C-2");
    EXPECT_EQ(AppPendingDetails().deletes.at("C-1"), 1);
    EXPECT_EQ(AppPendingDetails().deletes.at("C-2"), 1);
}

}  // namespace
