#include "session/page_labels.h"
#include "session/session_names.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/logs.h"
#include "control/pdf_viewer_control.h"

namespace quill::session {

namespace {
// How far the label starts left of the edge: wider numbers start further in.
float DigitOffset(int number) {
    if (number < 10) return 28;
    if (number < 100) return 32;
    return 36;
}
}  // namespace

std::optional<PageLabel> PageLabelFor(int pageIndex, const engine::QuirePageBox& box,
                                      float pageHeight) {
    const int number = pageIndex + 1;
    const float d = DigitOffset(number);
    const float h = pageHeight;
    const int r = box.rotate;
    PageLabel label;
    label.text = std::to_string(number);
    label.rotation = static_cast<int16_t>(r);
    if (r == 0 || r == 180) {
        const float X = static_cast<float>(box.x2);
        const float Y = 2 * h - static_cast<float>(box.y2);
        label.x = X - d;
        label.y = Y - 30;
    } else if (r == 90 || r == 270) {
        const float X = static_cast<float>(box.y2);
        const float Y = 2 * h - static_cast<float>(box.x2);
        if (r == 90) {
            label.x = Y - 30;
            label.y = X - d;
        } else {
            label.x = X - 30;
            label.y = Y - d;
        }
    } else {
        return std::nullopt;
    }
    return label;
}

int DrawPageLabels(control::PdfViewerControl& control, const std::string& documentFile) {
    std::vector<engine::QuirePageBox> pages;
    const int result = engine::QuireGetPageRotate(documentFile, pages);
    if (result != engine::kQuireOk) {
        WriteLog("DrawPageLabels", "QuireGetPageRotate: " + std::to_string(result));
        return result;
    }
    // The control numbers pages with 16 bits.
    const size_t count = std::min<size_t>(pages.size(), INT16_MAX + 1u);
    for (size_t i = 0; i < count; ++i) {
        const int16_t page = static_cast<int16_t>(i);
        const auto label = PageLabelFor(static_cast<int>(i), pages[i], control.GetPageHeight(page));
        if (!label) continue;
        control.AddPageText(page, label->text, label->x, label->y, "Arial", 0, 15, 0x005EFF, 0, 200,
                            label->rotation);
    }
    return result;
}

}  // namespace quill::session
