#include "widgets/picture_source.h"

namespace quill::widgets {

namespace {

PictureSource& Installed() {
    static PictureSource source;
    return source;
}

}  // namespace

void SetPictureSource(PictureSource source) { Installed() = std::move(source); }

QPixmap Picture(int id) {
    const PictureSource& source = Installed();
    return source ? source(id) : QPixmap();
}

}  // namespace quill::widgets
