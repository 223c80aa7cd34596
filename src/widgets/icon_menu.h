// The client's pop-up menu: pictures beside the items on a background colour of its own.
#pragma once

#include <QColor>
#include <QMenu>

namespace quill::widgets {

class CIconMenu : public QMenu {
    Q_OBJECT
public:
    // The dark blue of the main window's more-menu, with white text.
    static const QColor kDefaultBackground;

    explicit CIconMenu(QWidget* parent = nullptr);

    // Colours of the items (and of the highlight, a lighter shade of the background).
    void SetColours(const QColor& background, const QColor& text);
    QColor Background() const { return background_; }
    QColor Text() const { return text_; }

    // Adds an item with the picture pictureId from the picture source beside it (none for 0)
    // and commandId as its data: triggered(action) and CommandOf(action) tell which was chosen.
    QAction* AddItem(const QString& text, int pictureId, int commandId);
    static int CommandOf(const QAction* action);
    // The command of the item the user chose, or 0 when the menu was dismissed.
    int Run(const QPoint& globalPos);

private:
    void ApplyStyle();

    QColor background_ = kDefaultBackground;
    QColor text_ = Qt::white;
};

}  // namespace quill::widgets
