#include "widgets/colour_picker.h"

#include <QColorDialog>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPixmap>

namespace quill::widgets {

namespace {

QIcon Swatch(const QColor& colour, QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.fillRect(pixmap.rect(), QColor(0x5A, 0x5A, 0x5A));
    painter.fillRect(pixmap.rect().adjusted(1, 1, -1, -1), colour);
    return QIcon(pixmap);
}

}  // namespace

const std::vector<NamedColour>& NamedColours() {
    static const std::vector<NamedColour> colours = {
        {"Black", qRgb(0, 0, 0)},       {"Dark Gray", qRgb(64, 64, 64)},
        {"Gray", qRgb(128, 128, 128)},  {"Silver", qRgb(192, 192, 192)},
        {"White", qRgb(255, 255, 255)}, {"Red", qRgb(255, 0, 0)},
        {"Dark Red", qRgb(128, 0, 0)},  {"Orange", qRgb(255, 128, 0)},
        {"Yellow", qRgb(255, 255, 0)},  {"Olive", qRgb(128, 128, 0)},
        {"Green", qRgb(0, 128, 0)},     {"Lime", qRgb(0, 255, 0)},
        {"Teal", qRgb(0, 128, 128)},    {"Cyan", qRgb(0, 255, 255)},
        {"Blue", qRgb(0, 0, 255)},      {"Navy", qRgb(0, 0, 128)},
        {"Purple", qRgb(128, 0, 128)},  {"Magenta", qRgb(255, 0, 255)},
        {"Brown", qRgb(128, 64, 0)},    {"Pink", qRgb(255, 128, 192)},
    };
    return colours;
}

CColourPicker::CColourPicker(CustomColours customColours, QWidget* parent)
    : QToolButton(parent), customColours_(std::move(customColours)) {
    setPopupMode(QToolButton::InstantPopup);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setIconSize(QSize(16, 16));
    menu_ = new QMenu(this);
    for (const NamedColour& named : NamedColours()) {
        const QColor colour = QColor::fromRgb(named.rgb);
        QAction* action = menu_->addAction(Swatch(colour, QSize(16, 16)), tr(named.name));
        connect(action, &QAction::triggered, this, [this, colour] { Choose(colour); });
    }
    menu_->addSeparator();
    connect(menu_->addAction(tr("More Colors...")), &QAction::triggered, this,
            [this] { ChooseMoreColours(); });
    setMenu(menu_);
    UpdateSwatch();
}

void CColourPicker::SetColour(const QColor& colour) {
    if (!colour.isValid()) return;
    colour_ = colour;
    UpdateSwatch();
}

void CColourPicker::Choose(const QColor& colour) {
    SetColour(colour);
    emit ColourChosen(colour_);
}

void CColourPicker::UpdateSwatch() {
    setIcon(Swatch(colour_, iconSize()));
    setToolTip(colour_.name(QColor::HexRgb).toUpper());
}

bool CColourPicker::ChooseMoreColours() {
    const QList<QColor> stored = customColours_.Load();
    for (int slot = 0; slot < CustomColours::kCount && slot < QColorDialog::customCount(); ++slot)
        QColorDialog::setCustomColor(slot, stored[slot].isValid() ? stored[slot] : Qt::white);
    const QColor chosen = QColorDialog::getColor(colour_, this);
    QList<QColor> now;
    for (int slot = 0; slot < CustomColours::kCount && slot < QColorDialog::customCount(); ++slot)
        now << QColorDialog::customColor(slot);
    customColours_.Save(now);
    if (!chosen.isValid()) return false;
    Choose(chosen);
    return true;
}

}  // namespace quill::widgets
