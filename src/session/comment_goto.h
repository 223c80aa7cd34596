// Where the viewer goes to show a comment: a point of its rectangle, by the page's rotation.
#pragma once
#include "session/session_names.h"

namespace quill::sync {
class CNMObject;
}

namespace quill::session {

struct GoToPoint {
    int x = 0;
    int y = 0;
    bool operator==(const GoToPoint&) const = default;
};

// rect: x1, y1, x2, y2 in page units; width and height: the page's; rotation 0 to 3 (quarter
// turns). Each coordinate is truncated towards zero; a page without size or a rotation
// outside 0-3 goes to the rectangle's corner as if unrotated.
GoToPoint GoToCommentPoint(double x1, double y1, double x2, double y2, double width, double height,
                           int rotation);

// The comment's rectangle (x1, y1, x2, y2) as its record holds it; false when the record has
// no readable rectangle.
bool CommentRect(const CNMObject& record, double (&rect)[4]);

}  // namespace quill::session
