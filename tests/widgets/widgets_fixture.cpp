#include "widgets/widgets_fixture.h"

#include <QApplication>
#include <QPainter>

#include "widgets/picture_source.h"

namespace widgetstest {

void EnsureApp() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "test_widgets";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives as long as the test program
}

QPixmap SolidStrip(int cellWidth, int height, qreal devicePixelRatio) {
    QImage image(QSize(cellWidth * 4, height) * devicePixelRatio, QImage::Format_ARGB32);
    QPainter painter(&image);
    for (int cell = 0; cell < 4; ++cell)
        painter.fillRect(QRectF(cell * cellWidth * devicePixelRatio, 0,
                                cellWidth * devicePixelRatio, height * devicePixelRatio),
                         kCellColours[cell]);
    painter.end();
    QPixmap strip = QPixmap::fromImage(image);
    strip.setDevicePixelRatio(devicePixelRatio);
    return strip;
}

QColor ColourOfPicture(int id) { return QColor(id % 256, (id * 7) % 256, 255 - id % 256); }

void InstallTestPictures() {
    quill::widgets::SetPictureSource([](int id) {
        if (id == 1) return SolidStrip(31, 28);
        QPixmap picture(31, 28);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.fillRect(kSquareX, kSquareY, 4, 4, ColourOfPicture(id));
        return picture;
    });
}

QColor PixelAt(const QImage& image, int x, int y) { return QColor(image.pixel(x, y)); }

}  // namespace widgetstest
