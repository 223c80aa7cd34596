// Shared set-up of the widget tests: one application, and test pictures of one colour per cell.
#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>

#include <array>

namespace widgetstest {

// Creates the application once for the whole program (offscreen).
void EnsureApp();

// The colours of the four cells of the test strips: normal, hover, pressed, selected.
inline const std::array<QColor, 4> kCellColours = {QColor(200, 0, 0), QColor(0, 200, 0),
                                                   QColor(0, 0, 200), QColor(200, 200, 0)};

// A strip of four solid cells of cellWidth x height, drawn at devicePixelRatio.
QPixmap SolidStrip(int cellWidth, int height, qreal devicePixelRatio = 1.0);
// The colour standing for a picture id in the test picture source.
QColor ColourOfPicture(int id);
// Installs a picture source that gives a 124x28 solid strip for id 1, and for every other id a
// transparent 31x28 picture with one 4x4 square of ColourOfPicture(id) at square().
void InstallTestPictures();
// Where the square of each test picture lies in the picture.
constexpr int kSquareX = 12;
constexpr int kSquareY = 12;

QColor PixelAt(const QImage& image, int x, int y);

}  // namespace widgetstest
