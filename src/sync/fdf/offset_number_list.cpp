#include "sync/fdf/offset_number_list.h"
#include "sync/sync_names.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

#include "sync/fdf/byte_mass.h"
#include "sync/log_step.h"

namespace quill::sync {

namespace {

struct Marker {
    std::string_view find;   // where the array text starts
    std::string_view open;   // the marker with its bracket(s)
    std::string_view close;  // the closing bracket(s)
};

Marker MarkerOf(NumberListKey key) {
    switch (key) {
        case NumberListKey::Vertices:
            return {"Vertices", "Vertices[", "]"};
        case NumberListKey::Rect:
            return {"Rect", "Rect[", "]"};
        case NumberListKey::L:
            return {"L[", "L[", "]"};
        case NumberListKey::InkList:
            return {"InkList", "InkList[[", "]]"};
    }
    return {"Rect", "Rect[", "]"};
}

bool IsBlank(char c) { return c == ' ' || c == '\r' || c == '\n' || c == '\t'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// A single-precision number as scanf's "%f" reads it in the C locale; 0 when there is none.
float ReadFloat(std::string_view piece) {
    if (!piece.empty() && piece.front() == '+') piece.remove_prefix(1);
    float value = 0.0f;
    std::from_chars(piece.data(), piece.data() + piece.size(), value);
    return value;
}

// " 011.000": a blank, the sign, at least three integer digits, a point and three decimals.
void AppendNumber(std::string& out, float value) {
    char digits[64];
    int length = std::snprintf(digits, sizeof digits, "%.3f", static_cast<double>(value));
    if (length <= 0 || static_cast<size_t>(length) >= sizeof digits) return;
    std::string_view text(digits, static_cast<size_t>(length));
    out += ' ';
    if (text.front() == '-') {
        out += '-';
        text.remove_prefix(1);
    }
    const size_t point = text.find('.');
    const size_t integerDigits = point == std::string_view::npos ? text.size() : point;
    for (size_t i = integerDigits; i < 3; ++i) out += '0';
    out += text;
}

// Calls visit(number) for each number of one run of blank-separated pieces; the first
// piece (the marker) skipped.
template <typename Visit>
void ForEachNumber(std::string_view run, bool skipFirst, Visit&& visit) {
    bool first = skipFirst;
    size_t at = 0;
    while (at <= run.size()) {
        size_t blank = run.find(' ', at);
        if (blank == std::string_view::npos) blank = run.size();
        std::string_view piece = run.substr(at, blank - at);
        at = blank + 1;
        if (first) {
            first = false;
            continue;
        }
        piece = Trim(piece);
        if (piece.empty()) continue;
        visit(ReadFloat(piece));
    }
}

void AppendNumbers(std::string& out, std::string_view run, bool skipFirst, bool offset) {
    ForEachNumber(run, skipFirst, [&](float value) {
        if (offset) value += 10.0f;
        AppendNumber(out, value);
    });
}

// Calls visit(run, isFirstStroke) for the array text of the key: the text from the marker
// to the closing bracket, or each stroke of an InkList (the first with its marker). False
// when the array is not found.
template <typename Visit>
bool ForEachRun(std::string_view view, NumberListKey key, Visit&& visit) {
    const Marker marker = MarkerOf(key);
    const size_t start = view.find(marker.find);
    if (start == std::string_view::npos) return false;
    if (key != NumberListKey::InkList) {
        const size_t end = view.find(']', start);
        if (end == std::string_view::npos) return false;
        visit(view.substr(start, end - start), true);
        return true;
    }
    // "InkList[[ 1 2 3 4][ 5 6]]": every stroke.
    const size_t end = view.find("]]", start);
    if (end == std::string_view::npos) return false;
    std::string_view strokes = view.substr(start, end - start);
    bool firstStroke = true;
    while (true) {
        const size_t close = strokes.find(']');
        std::string_view stroke = strokes.substr(0, close);
        if (firstStroke) {
            visit(stroke, true);
        } else {
            const size_t open = stroke.find('[');
            visit(stroke.substr(open == std::string_view::npos ? 0 : open + 1), false);
        }
        firstStroke = false;
        if (close == std::string_view::npos) break;
        strokes.remove_prefix(close + 1);
    }
    return true;
}

}  // namespace

bool OffsetNumberList(ByteBuffer& text, NumberListKey key, bool offset) {
    LogStep step("OffsetNumberList");
    std::string numbers;
    const bool found = ForEachRun(text.view(), key, [&](std::string_view run, bool first) {
        if (!first) numbers += "][";
        AppendNumbers(numbers, run, first, offset);
    });
    if (!found) return false;
    const Marker marker = MarkerOf(key);
    return fdf::_replaceByteMass(text, marker.open, marker.close, numbers);
}

bool ReadNumberList(std::string_view text, NumberListKey key, std::vector<float>& numbers) {
    numbers.clear();
    return ForEachRun(text, key, [&](std::string_view run, bool first) {
        ForEachNumber(run, first, [&](float value) { numbers.push_back(value); });
    });
}

bool WriteNumberList(ByteBuffer& text, NumberListKey key, const std::vector<float>& numbers) {
    if (key == NumberListKey::InkList) return false;
    const Marker marker = MarkerOf(key);
    if (text.view().find(marker.find) == std::string_view::npos) return false;
    std::string written;
    for (const float value : numbers) AppendNumber(written, value);
    return fdf::_replaceByteMass(text, marker.open, marker.close, written);
}

}  // namespace quill::sync
