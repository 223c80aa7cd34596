#include "widgets/font_list.h"

namespace quill::widgets {

CFontList::CFontList(QWidget* parent) : QFontComboBox(parent) {
    setEditable(false);
    setFontFilters(QFontComboBox::AllFonts);
    setMaxVisibleItems(20);
}

bool CFontList::SelectFace(const QString& faceName) {
    const int index = findText(faceName, Qt::MatchFixedString);
    if (index < 0) return false;
    setCurrentIndex(index);
    return true;
}

QStringList CFontList::FaceNames() const {
    QStringList names;
    for (int i = 0; i < count(); ++i) names << itemText(i);
    return names;
}

}  // namespace quill::widgets
