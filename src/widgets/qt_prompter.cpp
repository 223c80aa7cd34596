#include "widgets/qt_prompter.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QThread>

#include "platform/code_page.h"

namespace quill::widgets {

namespace {

PromptAnswer ShowOnGuiThread(PromptKind kind, const QString& text, bool withCancel) {
    QMessageBox box;
    box.setWindowTitle(QString::fromUtf8(kAppTitle));
    box.setText(text);
    switch (kind) {
        case PromptKind::Error:
            box.setIcon(QMessageBox::Critical);
            break;
        case PromptKind::Info:
            box.setIcon(QMessageBox::Information);
            break;
        case PromptKind::Plain:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case PromptKind::Question:
            box.setIcon(QMessageBox::Question);
            box.setStandardButtons(withCancel
                                       ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                                       : QMessageBox::Yes | QMessageBox::No);
            break;
    }
    int result = box.exec();
    if (kind != PromptKind::Question) return PromptAnswer::Ok;
    if (result == QMessageBox::Yes) return PromptAnswer::Yes;
    if (result == QMessageBox::Cancel) return PromptAnswer::Cancel;
    return PromptAnswer::No;
}

}  // namespace

PromptAnswer QtPrompter::Show(PromptKind kind, const std::string& text, bool withCancel) {
    const QString qtext = QString::fromStdString(AnsiToUtf8(text));
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread())
        return ShowOnGuiThread(kind, qtext, withCancel);
    if (kind != PromptKind::Question) {
        // A worker never waits for the GUI thread to dismiss a notice.
        QMetaObject::invokeMethod(
            app, [kind, qtext] { ShowOnGuiThread(kind, qtext, false); }, Qt::QueuedConnection);
        return PromptAnswer::Ok;
    }
    PromptAnswer answer = PromptAnswer::No;
    QMetaObject::invokeMethod(
        app, [&] { answer = ShowOnGuiThread(kind, qtext, withCancel); },
        Qt::BlockingQueuedConnection);
    return answer;
}

}  // namespace quill::widgets
