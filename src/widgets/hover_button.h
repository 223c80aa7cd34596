// The client's owner-drawn push button: one cell of a four-cell strip by state, hover look,
// tooltip, overlays, a count badge and a press-and-hold drop-down.
#pragma once

#include <QAbstractButton>
#include <QPixmap>
#include <QTimer>

namespace quill::widgets {

// How the Windows mechanics of this button map to Qt:
// - The mouse tracking flag and the 1 ms hover time become enterEvent/leaveEvent, which Qt
//   delivers without being asked again after each leave.
// - The system's 3-D colour mapping of the strip is not needed: our strips carry their final
//   colours, and cells are copied unchanged.
// - The tooltip control becomes QToolTip, shown on the ToolTip event with text that we wrap at
//   200 pixels ourselves (QToolTip has no maximum width).
// - PNG resources read through a memory stream become pixmaps from the picture source.
// - The drop-down's timer 2203 is a single-shot QTimer; the message to the main window is the
//   ToolMenuRequested signal.
// - The keyboard pre-translation is the key press handler of the focused button.
class CHoverButton : public QAbstractButton {
    Q_OBJECT
public:
    // Cells of the strip, left to right.
    enum Cell { kNormal = 0, kHover = 1, kPressed = 2, kSelected = 3 };
    // Rightmost pixels of the button that count as its drop-down arrow.
    static constexpr int kArrowWidth = 18;
    static constexpr int kMaxTipWidth = 200;
    static constexpr int kDefaultHoldMs = 200;

    explicit CHoverButton(QWidget* parent = nullptr);

    // Takes a strip of four cells side by side: the cell is a quarter of its width and its full
    // height, and the button becomes one cell big, keeping its place and stacking order.
    void LoadStrip(const QPixmap& strip);
    // The same with the picture of bitmapId from the picture source.
    void LoadStrip(int bitmapId);
    QSize CellSize() const { return cellSize_; }

    void SetToolTipText(const QString& text);
    QString ToolTipText() const { return tipText_; }
    // The tooltip as shown: line breaks put in so that no line is wider than 200 pixels.
    QString WrappedToolTip() const;

    void SetGroup(int group) { group_ = group; }
    int Group() const { return group_; }
    // Picture index 0..3 and the sub-tools come from a settings file: anything outside a
    // table reads as 0.
    void SetPictureIndex(int index);
    int PictureIndex() const { return pictureIndex_; }
    void SetDrawingSubTool(int subTool);
    int DrawingSubTool() const { return drawingSubTool_; }
    void SetMeasuringSubTool(int subTool);
    int MeasuringSubTool() const { return measuringSubTool_; }

    void SetToggleMode(bool on) { toggleMode_ = on; }
    bool ToggleMode() const { return toggleMode_; }
    void SetToggleState(bool on) { toggleState_ = on; }
    bool ToggleState() const { return toggleState_; }
    void SetHandCursor(bool on);
    bool HandCursor() const { return handCursor_; }
    void SetLabel(bool on, const QString& text = QString(), bool centred = false);
    bool HasLabel() const { return label_; }
    QString LabelText() const { return labelText_; }
    void SetSwallowButtonUp(bool on) { swallowButtonUp_ = on; }
    void SetFlat(bool on) { flat_ = on; }
    bool Flat() const { return flat_; }
    void SetSelected(bool on) { selected_ = on; }
    bool Selected() const { return selected_; }
    // Picture id drawn at (0,0) over the cell; 0 for none.
    void SetOverlay(int pictureId) { overlayId_ = pictureId; }
    int Overlay() const { return overlayId_; }
    void SetDropDown(bool on) { dropDown_ = on; }
    bool DropDown() const { return dropDown_; }
    void SetCount(int count) { count_ = count; }
    int Count() const { return count_; }
    void SetSecondOverlay(bool on) { secondOverlay_ = on; }
    bool SecondOverlay() const { return secondOverlay_; }

    bool Hover() const { return hover_; }
    // The last left press fell on the drop-down arrow.
    bool ArrowHit() const { return arrowHit_; }
    // How long a press must be held on a drop-down button to ask for the tool menu.
    void SetHoldInterval(int ms) { holdTimer_.setInterval(ms); }
    bool HoldTimerActive() const { return holdTimer_.isActive(); }

    // The cell the background shows in the current state (-1 for the flat box).
    int BackgroundCell() const;
    // The pictures drawn over the cell: the sub-tool picture of a drop-down button and the
    // second overlay, 0 when none applies.
    int SubToolPicture() const;
    int SecondOverlayPicture() const;
    // "9+" above 9, else the number.
    static QString CountText(int count);

    QSize sizeHint() const override;

signals:
    // A press held on a drop-down button: the main window opens the drawing (0) or measuring
    // (1) tool menu.
    void ToolMenuRequested(int group);
    // Esc on the button: the main window goes back to the hand tool.
    void HandToolRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnHoldTimer();
    void DrawCell(QPainter& painter, int cell) const;

    int group_ = 0;
    int pictureIndex_ = 0;
    int drawingSubTool_ = 0;
    int measuringSubTool_ = 0;
    bool hover_ = false;
    QSize cellSize_;
    QPixmap strip_;
    QString tipText_;
    bool toggleMode_ = false;
    bool toggleState_ = false;
    bool handCursor_ = false;
    bool label_ = false;
    QString labelText_;
    bool labelCentred_ = false;
    bool swallowButtonUp_ = false;
    bool flat_ = false;
    bool arrowHit_ = false;
    bool selected_ = false;
    int overlayId_ = 0;
    bool dropDown_ = false;
    int count_ = 0;
    bool secondOverlay_ = false;
    // The hold opened the tool menu: the press ends without a click.
    bool menuOpened_ = false;
    QTimer holdTimer_;
};

}  // namespace quill::widgets
