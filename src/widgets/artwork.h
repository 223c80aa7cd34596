// The client's pictures by id: rendered from the packed SVG sources at any pixel density.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <vector>

#include "widgets/art_ids.h"

namespace quill::widgets {

// The picture `id` at its stated size times `devicePixelRatio`, with that ratio set on the pixmap
// so it paints at the stated size in logical pixels. A null pixmap for an id we do not have or a
// ratio that is not positive (or absurdly large). Rendered pixmaps are cached: painting code may
// call this freely. GUI thread only, like every pixmap.
QPixmap Artwork(int id, qreal devicePixelRatio = 1.0);

// The stated size of the picture in logical pixels; an empty size for an unknown id.
QSize ArtworkSize(int id);

// The picture at 1x and 2x (the application icon at 16, 32, 48 and 256 as well); an empty icon
// for an unknown id.
QIcon ArtworkIcon(int id);

// Every id of the table, in ascending order.
std::vector<int> ArtworkIds();

// The resource path of the picture's SVG source; empty for an unknown id.
QString ArtworkSource(int id);

}  // namespace quill::widgets
