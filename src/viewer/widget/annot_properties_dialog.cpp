#include "viewer/widget/annot_properties_dialog.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>

#include "viewer/widget/annot_painter.h"

namespace quill::widget {

AnnotPropertiesDialog::AnnotPropertiesDialog(engine::EngineControl& engine, AnnotId annot,
                                             QWidget* parent)
    : QDialog(parent), engine_(engine), annot_(annot) {
    setObjectName("AnnotProperties");
    setWindowTitle(tr("Comment Properties"));
    auto* form = new QFormLayout(this);
    colorButton_ = new QPushButton(this);
    colorButton_->setObjectName("ColorButton");
    colorButton_->setMinimumWidth(90);
    form->addRow(tr("Colour:"), colorButton_);
    width_ = new QSpinBox(this);
    width_->setObjectName("LineWidth");
    width_->setRange(0, 12);
    width_->setSuffix(" pt");
    form->addRow(tr("Line width:"), width_);
    style_ = new QComboBox(this);
    style_->setObjectName("BorderStyle");
    const char* names[] = {"Solid",        "Dashed [2 2]",       "Dashed [3 3]",
                           "Dashed [4 4]", "Dash dot [4 3 2 3]", "Long dash [4 3 16 3]",
                           "Other",        "Cloudy 1",           "Cloudy 2"};
    for (int code = 1; code <= 9; ++code) style_->addItem(tr(names[code - 1]), code);
    form->addRow(tr("Border style:"), style_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);

    SetColor(FromBgr(engine_.GetColor(annot_)));
    width_->setValue(engine_.GetThickness(annot_));
    const int idx = style_->findData(static_cast<int>(engine_.GetBorderStyle(annot_)));
    style_->setCurrentIndex(idx >= 0 ? idx : 0);
    const bool locked = engine_.GetReadOnly(annot_);
    colorButton_->setEnabled(!locked);
    width_->setEnabled(!locked);
    style_->setEnabled(!locked);

    connect(colorButton_, &QPushButton::clicked, this, &AnnotPropertiesDialog::ChooseColor);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        Apply();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void AnnotPropertiesDialog::SetColor(const QColor& color) {
    color_ = color;
    colorButton_->setText(color.name());
    colorButton_->setStyleSheet(
        QString("background:%1; color:%2")
            .arg(color.name(), color.lightness() > 128 ? "black" : "white"));
}

void AnnotPropertiesDialog::ChooseColor() {
    const QColor c = QColorDialog::getColor(color_, this, tr("Comment Colour"));
    if (c.isValid()) SetColor(c);
}

bool AnnotPropertiesDialog::Apply() {
    if (!engine_.AnnotExists(annot_) || engine_.GetReadOnly(annot_)) return false;
    const int32_t bgr = ToBgr(color_);
    const int16_t width = static_cast<int16_t>(width_->value());
    const int16_t style = static_cast<int16_t>(style_->currentData().toInt());
    const bool colorChanged = bgr != engine_.GetColor(annot_);
    const bool widthChanged = width != engine_.GetThickness(annot_);
    const bool styleChanged = style != engine_.GetBorderStyle(annot_);
    if (!colorChanged && !widthChanged && !styleChanged) return false;
    return engine_.UserChangeAnnot(annot_, [&](PdfAnnot& a) {
        if (colorChanged) a.SetColor(bgr);
        if (widthChanged) a.SetThickness(width);
        if (styleChanged) a.SetBorderStyle(style);
    });
}

}  // namespace quill::widget
