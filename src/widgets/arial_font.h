// The client's text face: Arial where installed, else its metric twin Liberation Sans.
#pragma once

#include <QFont>

namespace quill::widgets {

// A font of the Arial family whose size is `pixelHeight` pixels (the client's type sizes are pixel
// heights, not points) with the given weight (400 normal, 600 semi-bold, 700 bold, as in the
// client's painting code). Without Arial the Liberation Sans face stands in, which keeps Arial's
// widths, so texts fit the rectangles they were laid out for.
QFont ArialPixelFont(int pixelHeight, int weight = 400);

}  // namespace quill::widgets
