#include "main_window/demo_window_fixture.h"

#include <QSignalSpy>

#include "app/logs.h"
#include "main_window/test_window_context.h"

namespace windowtest {

using namespace quill;

void DemoWindowFixture::SetUp() {
    dialogtest::EnsureApp();
    testsupport::ReviewServerProcess::Options options;
    options.seedDemo = true;
    ASSERT_TRUE(server.Start(options)) << server.error();
    params = dialogtest::ReviewerParams(server, "reviewer1", "PIPING", "sample-drawing");
    params.PATCPSEQ = 2;
    params.OPENERID = "opener1";
    app::ConfigureLogs((folder / "diagnostic.log").string(), (folder / "request.log").string());
}

void DemoWindowFixture::TearDown() {
    window.reset();
    app::ConfigureLogs("", "");
}

ui::CQuillmarkDlg& DemoWindowFixture::Open(std::function<bool(bool, QWidget*)> finish) {
    ui::CQuillmarkDlg::Context context =
        TestWindowContext(params, folder.str(), index, pending, copy, session, terminated);
    context.finishDialog = std::move(finish);
    window = std::make_unique<ui::CQuillmarkDlg>(std::move(context));
    window->resize(1280, 800);
    return *window;
}

bool DemoWindowFixture::Start() {
    QSignalSpy ready(window.get(), &ui::CQuillmarkDlg::Ready);
    window->show();
    return ready.wait(20000);
}

}  // namespace windowtest
