// Quillmark: the review client.
#include <QApplication>
#include <QCoreApplication>
#include <QScreen>

#include <memory>
#include <string>

#include "app/launch_params.h"
#include "app/startup.h"
#include "platform/prompter.h"
#include "session/main_window_layout.h"
#include "shell/screenshot.h"
#include "shell/shell_names.h"
#include "ui/quillmark_dlg.h"
#include "widgets/artwork.h"
#include "widgets/picture_source.h"
#include "widgets/qt_prompter.h"

// The shell's names (and through them those of the layers below) without qualification.
using namespace quill;
using namespace quill::shell;
using namespace quill::widgets;
int main(int argc, char** argv) {
    // The launcher hands the whole parameter string as one argument; arguments split by a
    // shell are joined back with blanks, since values may hold blanks.
    std::string tail;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) tail += ' ';
        tail += argv[i];
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PDF Lumaro"));
    if (auto scripted = platform::PrompterFromEnvironment())
        platform::InstallPrompter(std::move(scripted));
    else
        platform::InstallPrompter(std::make_unique<widgets::QtPrompter>());

    // The owner-drawn widgets draw our artwork.
    widgets::SetPictureSource([](int id) { return widgets::Artwork(id); });
    QApplication::setWindowIcon(widgets::ArtworkIcon(128));

    StartupHooks hooks;
    hooks.setProfileKey = [] {
        QCoreApplication::setOrganizationName(QString::fromUtf8(kProfileKey));
    };
    hooks.runMainWindow = [&app, &tail] {
        ui::CQuillmarkDlg window(ui::CQuillmarkDlg::Context::FromApp(tail));
        if (ScreenshotAsked()) {
            // The picture shows the comments: "All" is pressed once, as a reviewer would.
            QObject::connect(&window, &ui::CQuillmarkDlg::Ready, &window,
                             [&window] { window.PressButton(session::kButtonAll); });
            QObject::connect(&window, &ui::CQuillmarkDlg::CommentsOnScreen, &window,
                             [&window] { TakeScreenshotNowIfAsked(&window); });
        }
        // Without a window manager (a bare X server) maximising does nothing: start at the
        // screen's size.
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            window.resize(screen->availableSize());
        window.show();
        return app.exec();
    };
    return RunStartup(tail, hooks);
}
