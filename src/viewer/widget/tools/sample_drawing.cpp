#include "viewer/widget/tools/sample_drawing.h"

#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QRandomGenerator>
#include <cmath>

namespace quill::widget {
namespace {

void DrawPage(QPainter& p, const QRectF& page, int index, int pages, int extraPaths) {
    // Everything in points (the writer's resolution is 72 dpi).
    const QRectF frame = page.adjusted(20, 20, -20, -20);
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRect(frame);
    // Grid references along the frame.
    QFont small("DejaVu Sans");
    small.setPointSizeF(8);
    p.setFont(small);
    p.setPen(QPen(QColor(90, 90, 90), 0.5));
    for (int i = 0; i < 8; ++i) {
        const double x = frame.left() + frame.width() * (i + 0.5) / 8;
        p.drawText(QPointF(x - 3, frame.top() - 6), QString::number(i + 1));
    }
    // A plan: walls, doors and a column grid.
    p.setPen(QPen(QColor(30, 30, 30), 2));
    const QRectF plan(frame.left() + 40, frame.top() + 40, frame.width() * 0.62,
                      frame.height() * 0.7);
    p.drawRect(plan);
    p.setPen(QPen(QColor(30, 30, 30), 1));
    for (int i = 1; i < 4; ++i) {
        const double x = plan.left() + plan.width() * i / 4;
        p.drawLine(QPointF(x, plan.top()), QPointF(x, plan.bottom() - 60));
    }
    p.drawLine(QPointF(plan.left(), plan.center().y()),
               QPointF(plan.right() - 80, plan.center().y()));
    p.setPen(QPen(QColor(0, 80, 160), 0.7, Qt::DashDotLine));
    for (int i = 0; i <= 6; ++i) {
        const double x = plan.left() + plan.width() * i / 6;
        p.drawLine(QPointF(x, plan.top() - 15), QPointF(x, plan.bottom() + 15));
        p.drawEllipse(QPointF(x, plan.top() - 24), 8, 8);
    }
    p.setPen(QPen(Qt::black, 0.8));
    for (int i = 0; i <= 6; ++i) {
        const double x = plan.left() + plan.width() * i / 6;
        p.drawText(QRectF(x - 8, plan.top() - 32, 16, 16), Qt::AlignCenter,
                   QString(QChar('A' + i)));
    }
    // A distinctive mark the tests look for: a filled black square.
    p.fillRect(QRectF(plan.left() + 60, plan.top() + 60, 24, 24), Qt::black);
    // Notes with real text.
    QFont body("DejaVu Sans");
    body.setPointSizeF(10);
    p.setFont(body);
    p.setPen(Qt::black);
    const QRectF notes(plan.right() + 30, frame.top() + 40, frame.right() - plan.right() - 50,
                       plan.height());
    const QStringList lines = {"GENERAL NOTES",
                               "1. All dimensions are in millimetres.",
                               "2. Verify levels on site before fabrication.",
                               "3. Concrete grade C30/37 unless noted.",
                               "4. Steel reinforcement to BS 4449 grade B500B.",
                               "5. Cover to reinforcement 40 mm.",
                               "6. Do not scale from this drawing.",
                               "7. Pipe supports at 1500 centres.",
                               "8. Fire stopping at every wall penetration."};
    double y = notes.top();
    for (const QString& line : lines) {
        p.drawText(QPointF(notes.left(), y), line);
        y += 16;
    }
    // Title block.
    const QRectF title(frame.right() - 260, frame.bottom() - 80, 260, 80);
    p.setPen(QPen(Qt::black, 1.2));
    p.drawRect(title);
    p.drawLine(QPointF(title.left(), title.top() + 30), QPointF(title.right(), title.top() + 30));
    QFont big("DejaVu Sans");
    big.setPointSizeF(13);
    big.setBold(true);
    p.setFont(big);
    p.drawText(QPointF(title.left() + 8, title.top() + 21), "QUILLMARK SAMPLE PLANT");
    p.setFont(body);
    p.drawText(QPointF(title.left() + 8, title.top() + 48),
               QString("Drawing QM-100-%1   Sheet %2 of %3")
                   .arg(index + 1, 2, 10, QChar('0'))
                   .arg(index + 1)
                   .arg(pages));
    p.drawText(QPointF(title.left() + 8, title.top() + 66), "Revision C   Scale 1:100");
    // A heavy drawing: many small paths (pipes, hatch, symbols).
    if (extraPaths > 0) {
        QRandomGenerator rng(1234 + index);
        p.setPen(QPen(QColor(60, 60, 60), 0.3));
        for (int i = 0; i < extraPaths; ++i) {
            const double x = frame.left() + rng.bounded(frame.width());
            const double yy = frame.top() + rng.bounded(frame.height());
            QPainterPath path(QPointF(x, yy));
            const int kind = i % 3;
            if (kind == 0) {
                path.lineTo(x + 4 + rng.bounded(20.0), yy);
                path.lineTo(x + 4 + rng.bounded(20.0), yy + 4 + rng.bounded(20.0));
            } else if (kind == 1) {
                path.cubicTo(x + 5, yy - 8, x + 12, yy + 8, x + 18, yy);
            } else {
                path.addEllipse(QPointF(x, yy), 1.5 + rng.bounded(3.0), 1.5 + rng.bounded(3.0));
            }
            p.drawPath(path);
        }
    }
}

}  // namespace

bool WriteSampleDrawing(const QString& path, const SampleDrawingOptions& options) {
    QPdfWriter writer(path);
    writer.setResolution(72);
    writer.setPageSize(QPageSize(options.pageSizeMm, QPageSize::Millimeter));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setCreator("Quillmark sample drawing");
    QPainter p;
    if (!p.begin(&writer)) return false;
    const QRectF page(QPointF(0, 0), writer.pageLayout().fullRectPoints().size());
    for (int i = 0; i < options.pages; ++i) {
        if (i > 0) writer.newPage();
        DrawPage(p, page, i, options.pages, options.extraPaths);
    }
    return p.end();
}

}  // namespace quill::widget
