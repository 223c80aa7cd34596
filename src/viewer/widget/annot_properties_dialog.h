// AnnotPropertiesDialog: a comment's colour, line width and border style (solid, the dash
// patterns, cloudy 1 and 2), applied as one change of the comment.
#pragma once
#include "viewer/widget/widget_names.h"

#include <QColor>
#include <QDialog>

#include "viewer/engine/engine_control.h"

class QComboBox;
class QPushButton;
class QSpinBox;

namespace quill::widget {

class AnnotPropertiesDialog : public QDialog {
    Q_OBJECT
public:
    AnnotPropertiesDialog(engine::EngineControl& engine, AnnotId annot, QWidget* parent);

    QColor Color() const { return color_; }
    void SetColor(const QColor& color);
    QSpinBox* WidthBox() const { return width_; }
    QComboBox* StyleBox() const { return style_; }
    // Applies what differs from the comment: one AnnotModified when anything changed.
    bool Apply();

private:
    void ChooseColor();

    engine::EngineControl& engine_;
    AnnotId annot_;
    QColor color_;
    QPushButton* colorButton_ = nullptr;
    QSpinBox* width_ = nullptr;
    QComboBox* style_ = nullptr;
};

}  // namespace quill::widget
