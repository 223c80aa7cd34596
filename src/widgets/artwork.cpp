#include "widgets/artwork.h"

#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <mutex>

// The resources live in this static library; nothing else references them, so the linker would
// drop their registration unless we ask for it.
static void InitArtResources() { Q_INIT_RESOURCE(art); }

namespace quill::widgets {

namespace {

struct ArtEntry {
    int id;
    const char* file;  // under :/art/
    int width;
    int height;
    // Pure red marks what the shaped windows drop: it must never blend into its neighbours.
    bool cut = false;
};

// The one table from id to source and stated size, ascending by id.
constexpr ArtEntry kArt[] = {
    {128, "128_application_icon.svg", 32, 32},
    {130, "130_left_panel_tile.svg", 246, 8},
    {146, "146_tool_strip_tile.svg", 48, 8},
    {149, "149_workflow_panel.svg", 48, 153},
    {150, "150_new_comment_badge.svg", 48, 46},
    {156, "156_text_tool_strip.svg", 124, 28},
    {157, "157_attachment_tool_strip.svg", 124, 28},
    {158, "158_fit_to_page_strip.svg", 124, 28},
    {159, "159_drop_down_tool_strip.svg", 124, 28},
    {160, "160_hand_tool_strip.svg", 124, 28},
    {161, "161_highlight_tool_strip.svg", 124, 28},
    {162, "162_image_tool_strip.svg", 124, 28},
    {163, "163_note_tool_strip.svg", 124, 28},
    {164, "164_printer_strip.svg", 124, 28},
    {165, "165_rotation_strip.svg", 124, 28},
    {166, "166_zoom_in_strip.svg", 124, 28},
    {167, "167_zoom_out_strip.svg", 124, 28},
    {168, "168_more_strip.svg", 124, 28},
    {169, "169_check_new_comments_strip.svg", 140, 34},
    {170, "170_finish_review_strip.svg", 140, 34},
    {171, "171_publish_strip.svg", 140, 34},
    {183, "183_area_sub_tool.svg", 31, 28},
    {184, "184_arrow_sub_tool.svg", 31, 28},
    {185, "185_ellipse_sub_tool.svg", 31, 28},
    {186, "186_cloudy_sub_tool.svg", 31, 28},
    {187, "187_distance_sub_tool.svg", 31, 28},
    {188, "188_line_sub_tool.svg", 31, 28},
    {189, "189_pencil_sub_tool.svg", 31, 28},
    {190, "190_perimeter_sub_tool.svg", 31, 28},
    {191, "191_polyline_sub_tool.svg", 31, 28},
    {192, "192_polygon_sub_tool.svg", 31, 28},
    {193, "193_rectangle_sub_tool.svg", 31, 28},
    {198, "198_strikeout_tool_strip.svg", 124, 28},
    {224, "224_overlay_turn_0.svg", 31, 26},
    {225, "225_overlay_turn_1.svg", 31, 26},
    {226, "226_overlay_turn_2.svg", 31, 26},
    {235, "235_find_text_menu_icon.svg", 16, 16},
    {236, "236_fit_to_page_menu_icon.svg", 16, 16},
    {237, "237_all_comments_menu_icon.svg", 16, 16},
    {239, "239_printer_menu_icon.svg", 16, 16},
    {240, "240_rotation_menu_icon.svg", 16, 16},
    {241, "241_zoom_in_menu_icon.svg", 16, 16},
    {242, "242_zoom_out_menu_icon.svg", 16, 16},
    {262, "262_all_comments_strip.svg", 124, 28},
    {277, "277_find_text_strip.svg", 124, 28},
    {282, "282_overlay_turn_3.svg", 31, 26},
    {288, "288_publish_to_original_strip.svg", 140, 34},
    {400, "400_sort_button_strip.svg", 100, 20},
    {401, "401_spinner_wheel_strip.svg", 500, 25},
    {410, "410_blue_card.svg", 203, 82},
    {411, "411_green_card.svg", 203, 82},
    {412, "412_grey_card.svg", 203, 82},
    {413, "413_blue_card_selected.svg", 203, 82},
    {414, "414_green_card_selected.svg", 203, 82},
    {415, "415_grey_card_selected.svg", 203, 82},
    {420, "420_pin_card_icon.svg", 17, 17},
    {421, "421_reply_card_icon.svg", 17, 17},
    {422, "422_link_card_icon.svg", 16, 16},
    {430, "430_cloud_type_icon.svg", 16, 16},
    {431, "431_arrow_type_icon.svg", 16, 16},
    {432, "432_line_type_icon.svg", 16, 16},
    {433, "433_rectangle_type_icon.svg", 16, 16},
    {434, "434_ellipse_type_icon.svg", 16, 16},
    {435, "435_polygon_type_icon.svg", 16, 16},
    {436, "436_polyline_type_icon.svg", 16, 16},
    {437, "437_pencil_type_icon.svg", 16, 16},
    {438, "438_distance_type_icon.svg", 16, 16},
    {439, "439_perimeter_type_icon.svg", 16, 16},
    {440, "440_area_type_icon.svg", 16, 16},
    {441, "441_callout_type_icon.svg", 16, 16},
    {442, "442_note_type_icon.svg", 16, 16},
    {443, "443_attachment_type_icon.svg", 16, 16},
    {444, "444_highlight_type_icon.svg", 16, 16},
    {445, "445_strikeout_type_icon.svg", 16, 16},
    {446, "446_image_type_icon.svg", 16, 16},
    {450, "450_agree_menu_icon.svg", 16, 16},
    {451, "451_disagree_menu_icon.svg", 16, 16},
    {460, "460_review_dialog_background.svg", 314, 196, true},
    {461, "461_participant_finish_background.svg", 314, 275, true},
    {462, "462_initiator_finish_background.svg", 314, 310, true},
    {463, "463_finish_dialog_icon.svg", 24, 24},
    {470, "470_close_button_strip.svg", 188, 20},
    {471, "471_ok_button_strip.svg", 264, 29},
};

// The application icon's sizes for window decorations, task bars and the desktop file.
constexpr int kAppIconSizes[] = {16, 32, 48, 256};

// Rendered pixmaps larger than this are not worth keeping (a bad ratio would fill the cache).
constexpr qreal kMaxRatio = 8.0;

const ArtEntry* Find(int id) {
    const auto* end = std::end(kArt);
    const auto* it = std::lower_bound(std::begin(kArt), end, id,
                                      [](const ArtEntry& e, int value) { return e.id < value; });
    return (it != end && it->id == id) ? it : nullptr;
}

void EnsureResources() {
    static std::once_flag once;
    std::call_once(once, [] { InitArtResources(); });
}

QString SourcePath(const ArtEntry& e) { return QStringLiteral(":/art/") + QLatin1String(e.file); }

// Renders the source into a transparent image of exactly `pixels`. The renderer always smooths
// edges, which at a fractional ratio would blend a cut-out's pure red into its neighbours; those
// pictures are rendered at the next whole ratio, where every edge sits on a pixel boundary, and
// reduced by picking pixels, not averaging them.
QPixmap Render(const ArtEntry& e, QSize pixels, qreal ratio) {
    EnsureResources();
    QSvgRenderer renderer(SourcePath(e));
    if (!renderer.isValid()) return {};
    const bool pick = e.cut && ratio != std::floor(ratio);
    const QSize drawn =
        pick ? QSize(e.width, e.height) * static_cast<int>(std::ceil(ratio)) : pixels;
    QImage image(drawn, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return {};
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(drawn)));
    painter.end();
    if (pick) image = image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return QPixmap::fromImage(std::move(image));
}

// The pixmap is cached with its ratio set, so a hit costs no copy of the pixels.
QPixmap Cached(const ArtEntry& e, QSize pixels, qreal ratio) {
    const QString key = QStringLiteral("quill-art:%1:%2x%3@%4")
                            .arg(e.id)
                            .arg(pixels.width())
                            .arg(pixels.height())
                            .arg(ratio);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap)) return pixmap;
    pixmap = Render(e, pixels, ratio);
    if (pixmap.isNull()) return {};
    pixmap.setDevicePixelRatio(ratio);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

}  // namespace

QPixmap Artwork(int id, qreal devicePixelRatio) {
    const ArtEntry* e = Find(id);
    if (!e || !(devicePixelRatio > 0) || devicePixelRatio > kMaxRatio) return {};
    const QSize pixels(static_cast<int>(std::ceil(e->width * devicePixelRatio - 1e-6)),
                       static_cast<int>(std::ceil(e->height * devicePixelRatio - 1e-6)));
    return Cached(*e, pixels, devicePixelRatio);
}

QSize ArtworkSize(int id) {
    const ArtEntry* e = Find(id);
    return e ? QSize(e->width, e->height) : QSize();
}

QIcon ArtworkIcon(int id) {
    const ArtEntry* e = Find(id);
    if (!e) return {};
    QIcon icon;
    icon.addPixmap(Artwork(id, 1.0));
    icon.addPixmap(Artwork(id, 2.0));
    if (id == ArtId::AppIcon) {
        for (int side : kAppIconSizes) icon.addPixmap(Cached(*e, QSize(side, side), 1.0));
    }
    return icon;
}

std::vector<int> ArtworkIds() {
    std::vector<int> ids;
    ids.reserve(std::size(kArt));
    for (const ArtEntry& e : kArt) ids.push_back(e.id);
    return ids;
}

QString ArtworkSource(int id) {
    const ArtEntry* e = Find(id);
    return e ? SourcePath(*e) : QString();
}

}  // namespace quill::widgets
