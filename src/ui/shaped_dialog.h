// The role dialogs' common frame: a caption-less tool window shaped by its background picture,
// dragged by any point, with a close button and an OK button.
#pragma once
#include "ui/ui_names.h"

#include <QDialog>
#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QRegion>

namespace quill::widgets {
class CHoverButton;
}

namespace quill::ui {

class ShapedDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr QPoint kClosePos{260, 0};

    // backgroundId: the picture the dialog takes its size and shape from; okPos: where the OK
    // button goes.
    ShapedDialog(int backgroundId, QPoint okPos, QWidget* parent = nullptr);

    // The picture without its pure red (#FF0000) pixels, built row by row from runs of kept
    // pixels.
    static QRegion RegionWithoutRed(const QImage& image);

    // The rectangle from (left, top) to (right, bottom), the right and bottom edges outside.
    static QRect Box(int left, int top, int right, int bottom) {
        return QRect(left, top, right - left, bottom - top);
    }
    // Text from the top left of the rectangle; its line breaks are its own, and a line longer
    // than the rectangle runs on rather than wrap.
    static void DrawTextIn(QPainter& painter, const QRect& rect, const QString& text,
                           const QFont& font, const QColor& colour);

    const QRegion& Shape() const { return shape_; }
    widgets::CHoverButton* CloseButton() const { return close_; }
    widgets::CHoverButton* OkButton() const { return ok_; }

protected:
    // The OK button's action.
    virtual void RunOk() = 0;
    // Draws texts and icons over the background (transparent background).
    virtual void PaintOver(QPainter& painter) = 0;

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap background_;
    QRegion shape_;
    widgets::CHoverButton* close_ = nullptr;
    widgets::CHoverButton* ok_ = nullptr;
    bool dragging_ = false;
    QPoint dragOffset_;  // from the window's corner to the grab point
};

// The fonts and colours of the role dialogs.
namespace role_style {
QFont TitleFont();  // Arial 17 bold
QFont BodyFont();   // Arial 14
inline const QColor kTitleColour{0x3C, 0x3C, 0x3C};
inline const QColor kNoticeColour{0xFF, 0x33, 0x00};
inline const QColor kLabelColour{0x18, 0x4B, 0x79};
}  // namespace role_style

}  // namespace quill::ui
