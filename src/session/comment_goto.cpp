#include "session/comment_goto.h"
#include "session/session_names.h"

#include <cmath>
#include <limits>
#include <vector>

#include "sync/fdf/offset_number_list.h"
#include "sync/nm_object.h"

namespace quill::session {

namespace {
int Truncate(double value) {
    if (!std::isfinite(value)) return 0;
    constexpr double kMax = std::numeric_limits<int>::max();
    constexpr double kMin = std::numeric_limits<int>::min();
    if (value >= kMax) return std::numeric_limits<int>::max();
    if (value <= kMin) return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}
}  // namespace

GoToPoint GoToCommentPoint(double x1, double y1, double x2, double y2, double width, double height,
                           int rotation) {
    const bool sized = width > 0 && height > 0;
    switch (sized ? rotation : 0) {
        case 1:
            return {Truncate(x1 * width / height), Truncate(y1 * height / width)};
        case 2:
            return {Truncate(x2), Truncate(y1)};
        case 3:
            return {Truncate(x2 + (width - x2) * 0.3), Truncate(y2 - (height - y2) * 0.41)};
        default:
            return {Truncate(x1), Truncate(y2)};
    }
}

bool CommentRect(const CNMObject& record, double (&rect)[4]) {
    if (!record.content || !record.content->content) return false;
    std::vector<float> numbers;
    if (!ReadNumberList(record.content->content->view(), NumberListKey::Rect, numbers) ||
        numbers.size() < 4)
        return false;
    for (int i = 0; i < 4; ++i) rect[i] = numbers[static_cast<size_t>(i)];
    return true;
}

}  // namespace quill::session
