// The busy cover of the main window's client area: a turning wheel and a short text.
#pragma once
#include "ui/ui_names.h"

#include <QPixmap>
#include <QString>
#include <QTimer>
#include <QWidget>

namespace quill::ui {

// A child window without controls, created hidden; the main window shows it over its client
// area while a long step runs. On Windows it was a tool window; as a Qt child widget it has no
// taskbar entry of its own anyway.
class CSpinnerDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFrames = 20;
    static constexpr int kFrameSize = 25;
    static constexpr int kFrameMs = 30;

    explicit CSpinnerDlg(QWidget* parent = nullptr);

    // A non-empty text shows and (re)starts the wheel from frame 0; an empty text stops it.
    void SetText(const QString& text);
    QString Text() const { return text_; }

    // Replaces the wheel: 20 frames of 25 x 25 side by side. A strip of another size is refused.
    bool LoadWheel(const QPixmap& strip);
    // Our own wheel: twelve spokes whose bright end walks round once in 20 frames.
    static QPixmap DrawWheelStrip(qreal devicePixelRatio = 1.0);

    bool Running() const { return running_; }
    bool Painted() const { return painted_; }
    // The frame drawn now, and the frame the next step draws.
    int ShownFrame() const { return shownFrame_; }
    int NextFrame() const { return nextFrame_; }
    const QTimer& AnimationTimer() const { return timer_; }
    // Where the wheel goes for a client area of this size.
    static QPoint WheelOrigin(QSize client);

    // One step of the animation (the timer's): once painted, draws frame n and advances n.
    void Step();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    QPixmap wheel_;
    // running: the timer keeps going; painted: a full paint has happened since the wheel
    // started, so drawing a frame over it makes sense.
    bool running_ = false;
    bool painted_ = false;
    int shownFrame_ = 0;
    int nextFrame_ = 0;
    QTimer timer_;
};

}  // namespace quill::ui
