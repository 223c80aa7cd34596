// Renders the application icon's SVG into square PNGs for the package's icon theme folders.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>
#include <cstdlib>

// usage: quill_render_icon SOURCE.svg SIZE OUT.png
int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: quill_render_icon SOURCE.svg SIZE OUT.png\n");
        return 2;
    }
    // The build machine may have no display: nothing here needs one.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "quill_render_icon: cannot read %s\n", argv[1]);
        return 1;
    }
    const int size = std::atoi(argv[2]);
    if (size < 1 || size > 1024) {
        std::fprintf(stderr, "quill_render_icon: size must be 1 to 1024\n");
        return 2;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        svg.render(&painter);
    }
    if (!image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "quill_render_icon: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
