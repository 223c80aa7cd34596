#include "sheet/resolution_sheet_pdf.h"

#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>
#include <QStringList>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace quill::sheet {

namespace {

using session::SheetRow;
using session::SheetTitle;

constexpr int kResolution = 144;  // dots per inch of the painter's coordinates
constexpr double kPad = 6;
// Relative widths of the columns, in the order of the headings.
constexpr std::array<double, 12> kColumnWeights = {3, 4, 8, 12, 11, 7, 20, 18, 7, 11, 11, 10};
// The picture column, after "No.", and the proportions of its pictures.
constexpr double kPictureWeight = 16;
constexpr double kPictureAspect = 1.5;
constexpr const char* kPictureHeading = "Area";

QFont SheetFont(double points, bool bold = false) {
    QFont font;
    // Latin text in a Latin face, whose digits stay searchable in the PDF; Korean falls through
    // to the CJK faces, one of which must be installed.
    font.setFamilies({"Liberation Sans", "DejaVu Sans", "Arial", "Noto Sans CJK KR",
                      "Noto Sans Mono CJK KR", "Noto Serif CJK KR", "NanumGothic",
                      "Malgun Gothic"});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QString Text(const std::string& utf8) { return QString::fromUtf8(utf8.data(), utf8.size()); }

// Lines break between words, and inside a word only when it is wider than its cell.
QTextOption CellTextOption() {
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

// The height the text takes wrapped at width, laid out as QPainter::drawText does.
double WrappedHeight(const QFont& font, const QString& text, double width) {
    const QFontMetricsF metrics(font);
    double height = 0;
    const QStringList paragraphs = text.split(QLatin1Char('\n'));
    for (const QString& paragraph : paragraphs) {
        QTextLayout layout(paragraph, font);
        layout.setTextOption(CellTextOption());
        layout.beginLayout();
        int lines = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            ++lines;
        }
        layout.endLayout();
        height += std::max(1, lines) * metrics.lineSpacing();
    }
    return height;
}

// Where everything goes on a page; one instance lays out and draws the same way.
class SheetLayout {
public:
    SheetLayout(QPaintDevice* device, QRectF body, bool pictures)
        : body_(body), pictures_(pictures) {
        std::vector<double> weights(kColumnWeights.begin(), kColumnWeights.end());
        if (pictures_) weights.insert(weights.begin() + 1, kPictureWeight);
        double total = 0;
        for (double w : weights) total += w;
        double x = body_.left();
        for (double weight : weights) {
            const double width = body_.width() * weight / total;
            columns_.emplace_back(x, width);
            x += width;
        }
        cellFont_ = QFont(SheetFont(8), device);
        headFont_ = QFont(SheetFont(8, true), device);
        titleFont_ = QFont(SheetFont(14, true), device);
        smallFont_ = QFont(SheetFont(9), device);
        titleHeight_ = QFontMetricsF(titleFont_).height() + 3 * QFontMetricsF(smallFont_).height();
        headHeight_ = RowHeight(Headings(), headFont_);
        footHeight_ = QFontMetricsF(smallFont_).height() + kPad;
    }

    // The headings and the cells of a row as this sheet shows them: with an empty cell where
    // the picture goes.
    std::vector<std::string> Headings() const {
        return WithPictureCell(session::SheetHeadings(), kPictureHeading);
    }
    std::vector<std::string> Cells(const SheetRow& row) const {
        return WithPictureCell(session::SheetCells(row), "");
    }

    // The picture's box in a row starting at y.
    QRectF PictureBox(double y) const {
        const auto& [x, width] = columns_[1];
        const double w = width - 2 * kPad;
        return QRectF(x + kPad, y + kPad, w, w / kPictureAspect);
    }

    double RowHeight(const std::vector<std::string>& cells, const QFont& font,
                     bool heading = true) const {
        const QFontMetricsF metrics(font);
        double tallest = metrics.height();
        if (pictures_ && !heading) tallest = std::max(tallest, PictureBox(0).height());
        for (size_t i = 0; i < cells.size() && i < columns_.size(); ++i) {
            if (cells[i].empty()) continue;
            tallest = std::max(tallest,
                               WrappedHeight(font, Text(cells[i]), columns_[i].second - 2 * kPad));
        }
        // A row never takes more than one page body: a longer cell is cut at the page end.
        return std::min(tallest + 2 * kPad, RowSpace());
    }

    double RowSpace() const { return body_.height() - titleHeight_ - headHeight_ - footHeight_; }

    // The first row of each page.
    std::vector<size_t> PageStarts(const std::vector<SheetRow>& rows,
                                   std::vector<double>& heights) const {
        std::vector<size_t> starts{0};
        heights.clear();
        double used = 0;
        for (size_t i = 0; i < rows.size(); ++i) {
            const double height = RowHeight(Cells(rows[i]), cellFont_, false);
            heights.push_back(height);
            if (used > 0 && used + height > RowSpace()) {
                starts.push_back(i);
                used = 0;
            }
            used += height;
        }
        return starts;
    }

    void DrawTitle(QPainter& painter, const SheetTitle& title) const {
        double y = body_.top();
        painter.setFont(titleFont_);
        const double titleLine = QFontMetricsF(titleFont_).height();
        painter.drawText(
            QRectF(body_.left(), y, body_.width(), titleLine), Qt::AlignLeft | Qt::AlignVCenter,
            QStringLiteral("Comment Resolution Sheet - ") + Text(title.documentNumber) +
                QStringLiteral("  ") + Text(title.documentName));
        y += titleLine;
        painter.setFont(smallFont_);
        const double line = QFontMetricsF(smallFont_).height();
        const QString facts =
            QStringLiteral("Revision: %1    Review No.: %2    Date: %3")
                .arg(Text(title.revision), Text(title.reviewNumber), Text(title.date));
        painter.drawText(QRectF(body_.left(), y + line * 0.5, body_.width(), line),
                         Qt::AlignLeft | Qt::AlignVCenter, facts);
        painter.drawLine(QPointF(body_.left(), y + line * 2.5),
                         QPointF(body_.right(), y + line * 2.5));
    }

    double DrawRow(QPainter& painter, double y, const std::vector<std::string>& cells,
                   double height, bool heading) const {
        if (heading)
            painter.fillRect(QRectF(body_.left(), y, body_.width(), height),
                             QColor(0xDD, 0xE4, 0xEE));
        painter.setFont(heading ? headFont_ : cellFont_);
        for (size_t i = 0; i < cells.size() && i < columns_.size(); ++i) {
            const QRectF cell(columns_[i].first, y, columns_[i].second, height);
            painter.drawRect(cell);
            painter.save();
            painter.setClipRect(cell);
            if (!cells[i].empty())
                painter.drawText(cell.adjusted(kPad, kPad, -kPad, -kPad), Text(cells[i]),
                                 CellTextOption());
            painter.restore();
        }
        return y + height;
    }

    void DrawFooter(QPainter& painter, int page, int pages) const {
        painter.setFont(smallFont_);
        painter.drawText(QRectF(body_.left(), body_.bottom() - footHeight_ + kPad, body_.width(),
                                footHeight_ - kPad),
                         Qt::AlignRight | Qt::AlignVCenter,
                         QStringLiteral("Page %1 of %2").arg(page).arg(pages));
    }

    void DrawPicture(QPainter& painter, double y, const QImage& picture) const {
        if (picture.isNull()) return;
        const QRectF box = PictureBox(y);
        QSizeF size = picture.size();
        size.scale(box.size(), Qt::KeepAspectRatio);
        const QRectF target(box.left() + (box.width() - size.width()) / 2,
                            box.top() + (box.height() - size.height()) / 2, size.width(),
                            size.height());
        painter.drawImage(target, picture);
        painter.save();
        painter.setPen(QPen(QColor(0x88, 0x99, 0xAA), 0));
        painter.drawRect(target);
        painter.restore();
    }

    double RowsTop() const { return body_.top() + titleHeight_; }
    double HeadHeight() const { return headHeight_; }

private:
    std::vector<std::string> WithPictureCell(std::vector<std::string> cells,
                                             const char* picture) const {
        if (pictures_) cells.insert(cells.begin() + 1, picture);
        return cells;
    }

    QRectF body_;
    bool pictures_ = false;
    std::vector<std::pair<double, double>> columns_;
    QFont cellFont_, headFont_, titleFont_, smallFont_;
    double titleHeight_ = 0, headHeight_ = 0, footHeight_ = 0;
};

void SetUp(QPdfWriter& writer) {
    writer.setResolution(kResolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A3), QPageLayout::Landscape,
                                     QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    writer.setCreator(QStringLiteral("Quillmark"));
}

}  // namespace

bool WriteSheetPdf(const QString& path, const SheetTitle& title, const std::vector<SheetRow>& rows,
                   const SheetPdfOptions& options, QString* error) {
    const bool pictures = static_cast<bool>(options.picture);
    const QString partial = path + QStringLiteral(".part");
    bool written = false;
    bool cancelled = false;
    {
        QPdfWriter writer(partial);
        SetUp(writer);
        writer.setTitle(QStringLiteral("Comment Resolution Sheet ") + Text(title.documentNumber));
        QPainter painter;
        if (painter.begin(&writer)) {
            const QRectF body(writer.pageLayout().paintRectPixels(kResolution));
            SheetLayout layout(&writer, QRectF(0, 0, body.width(), body.height()), pictures);
            std::vector<double> heights;
            const std::vector<size_t> starts = layout.PageStarts(rows, heights);
            const int pages = static_cast<int>(starts.size());
            for (int page = 0; page < pages && !cancelled; ++page) {
                if (page > 0) writer.newPage();
                layout.DrawTitle(painter, title);
                double y = layout.DrawRow(painter, layout.RowsTop(), layout.Headings(),
                                          layout.HeadHeight(), true);
                const size_t end =
                    page + 1 < pages ? starts[static_cast<size_t>(page) + 1] : rows.size();
                for (size_t i = starts[static_cast<size_t>(page)]; i < end; ++i) {
                    if (pictures) layout.DrawPicture(painter, y, options.picture(rows[i]));
                    y = layout.DrawRow(painter, y, layout.Cells(rows[i]), heights[i], false);
                    if (options.progress &&
                        !options.progress(static_cast<int>(i) + 1, static_cast<int>(rows.size()))) {
                        cancelled = true;
                        break;
                    }
                }
                layout.DrawFooter(painter, page + 1, pages);
            }
            written = painter.end();
        }
    }
    if (cancelled || !written) {
        QFile::remove(partial);
        if (error)
            *error =
                cancelled ? QStringLiteral("Cancelled.") : QStringLiteral("Cannot write ") + path;
        return false;
    }
    // Replace an older sheet only once the new one is whole.
    if (QFile::exists(path) && !QFile::remove(path)) {
        QFile::remove(partial);
        if (error) *error = QStringLiteral("Cannot replace ") + path;
        return false;
    }
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        if (error) *error = QStringLiteral("Cannot write ") + path;
        return false;
    }
    return true;
}

int SheetPdfPageCount(const std::vector<SheetRow>& rows, bool withPictures) {
    QPdfWriter writer(QString{});
    SetUp(writer);
    const QRectF body(writer.pageLayout().paintRectPixels(kResolution));
    SheetLayout layout(&writer, QRectF(0, 0, body.width(), body.height()), withPictures);
    std::vector<double> heights;
    return static_cast<int>(layout.PageStarts(rows, heights).size());
}

}  // namespace quill::sheet
