// The client's type: Arial (or its metric twin) at a height in pixels, whatever the screen's dpi.
#pragma once

#include <QFont>

namespace quill::widgets {

// pixelHeight is the character height the drawings were laid out for; weight runs from 100 to
// 900 (400 normal, 600 semi-bold, 700 bold).
inline QFont PixelFont(int pixelHeight, int weight) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelHeight);
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

}  // namespace quill::widgets
