#include "widgets/icon_menu.h"

#include <QAction>
#include <QIcon>

#include "widgets/arial_font.h"
#include "widgets/picture_source.h"

namespace quill::widgets {

const QColor CIconMenu::kDefaultBackground(0, 51, 102);

CIconMenu::CIconMenu(QWidget* parent) : QMenu(parent) {
    setFont(ArialPixelFont(13, 400));
    ApplyStyle();
}

void CIconMenu::SetColours(const QColor& background, const QColor& text) {
    background_ = background;
    text_ = text;
    ApplyStyle();
}

void CIconMenu::ApplyStyle() {
    // A style sheet rather than a palette: several platform styles paint menus with their own
    // colours and ignore the palette's window role.
    const QColor highlight = background_.lighter(150);
    setStyleSheet(
        QStringLiteral("QMenu { background-color: %1; color: %2; border: 1px solid %3; }"
                       "QMenu::item { padding: 4px 16px 4px 8px; background: transparent; }"
                       "QMenu::item:selected { background-color: %3; }"
                       "QMenu::icon { padding-left: 4px; }"
                       "QMenu::separator { height: 1px; background: %3; margin: 3px 4px; }")
            .arg(background_.name(), text_.name(), highlight.name()));
}

QAction* CIconMenu::AddItem(const QString& text, int pictureId, int commandId) {
    QAction* action = addAction(text);
    if (pictureId != 0) {
        const QPixmap picture = Picture(pictureId);
        if (!picture.isNull()) action->setIcon(QIcon(picture));
    }
    action->setIconVisibleInMenu(true);
    action->setData(commandId);
    return action;
}

int CIconMenu::CommandOf(const QAction* action) { return action ? action->data().toInt() : 0; }

int CIconMenu::Run(const QPoint& globalPos) { return CommandOf(exec(globalPos)); }

}  // namespace quill::widgets
