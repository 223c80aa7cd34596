#include "viewer/widget/draft_media.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <cstring>

#include "viewer/widget/ansi_text.h"

namespace quill::widget {

bool DraftMedia::Load(engine::AnnotDraft& draft, const ViewerDialogs& dialogs, QWidget* parent) {
    if (draft.tool == AnnotTool::Image) {
        const QString file = dialogs.openFile
                                 ? dialogs.openFile(parent, tr("Image"),
                                                    tr("Images (*.png *.jpg *.jpeg *.bmp *.gif)"))
                                 : QString();
        return !file.isEmpty() && LoadImage(draft, file);
    }
    if (draft.tool == AnnotTool::FileAttachment) {
        const QString file =
            dialogs.openFile ? dialogs.openFile(parent, tr("File Attachment"), tr("All files (*)"))
                             : QString();
        return !file.isEmpty() && LoadAttachment(draft, file);
    }
    return true;
}

bool DraftMedia::LoadImage(engine::AnnotDraft& draft, const QString& file) {
    QImageReader reader(file);
    reader.setAutoTransform(true);
    QImage img = reader.read();
    if (img.isNull()) return false;
    // Keep comment images a sensible size.
    if (img.width() > 2048 || img.height() > 2048) {
        img = img.scaled(2048, 2048, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    // The comment's pixels carry no transparency: what the image leaves see-through must show
    // the white paper, not the black that dropping the alpha channel gives.
    if (img.hasAlphaChannel()) {
        QImage flat(img.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        QPainter painter(&flat);
        painter.drawImage(0, 0, img);
        painter.end();
        img = flat;
    }
    img = img.convertToFormat(QImage::Format_RGB888);
    draft.imageWidth = img.width();
    draft.imageHeight = img.height();
    draft.imageRgb.resize(size_t(img.width()) * img.height() * 3);
    for (int y = 0; y < img.height(); ++y) {
        std::memcpy(draft.imageRgb.data() + size_t(y) * img.width() * 3, img.constScanLine(y),
                    size_t(img.width()) * 3);
    }
    // A click places the image at its own shape; a drag fits it into the rectangle.
    engine::RectF r = draft.rect;
    const double aspect = double(img.height()) / img.width();
    if (r.Width() >= 4 && r.Height() >= 4) {
        if (r.Height() / r.Width() > aspect) {
            r.y1 = r.y2 - r.Width() * aspect;
        } else {
            r.x2 = r.x1 + r.Height() / aspect;
        }
    } else {
        const double w = std::min(200.0, double(img.width()));
        r = {r.x1, r.y2 - w * aspect, r.x1 + w, r.y2};
    }
    draft.rect = r;
    return true;
}

bool DraftMedia::LoadAttachment(engine::AnnotDraft& draft, const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = f.readAll();
    draft.fileName = ToAnsi(QFileInfo(file).fileName());
    draft.fileBytes.assign(bytes.constData(), size_t(bytes.size()));
    return true;
}

}  // namespace quill::widget
