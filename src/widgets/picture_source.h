// Where the owner-drawn widgets take their pictures from: one replaceable lookup by picture id.
#pragma once

#include <QPixmap>

#include <functional>

namespace quill::widgets {

// Gives the picture of an id, or a null pixmap when there is none.
using PictureSource = std::function<QPixmap(int id)>;

// Replaces the process-wide source (GUI thread only); an empty function restores the default,
// which knows no pictures. The application points it at its artwork; tests at their own strips.
void SetPictureSource(PictureSource source);
// The picture of id from the installed source (a null pixmap when it has none).
QPixmap Picture(int id);

}  // namespace quill::widgets
