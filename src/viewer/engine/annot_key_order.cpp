#include "viewer/engine/annot_key_order.h"

#include <algorithm>
#include <string_view>

namespace quill::engine {
namespace {

void Reorder(PdfObject& dict, std::initializer_list<std::string_view> first,
             std::initializer_list<std::string_view> last) {
    if (!dict.IsDict()) return;
    auto rank = [&](const std::string& key) {
        int i = 0;
        for (std::string_view k : first) {
            if (key == k) return i;
            ++i;
        }
        int j = 1000;
        for (std::string_view k : last) {
            if (key == k) return j;
            ++j;
        }
        return 500;  // everything else in between, in its order
    };
    std::stable_sort(
        dict.dict.begin(), dict.dict.end(),
        [&](const PdfDictEntry& a, const PdfDictEntry& b) { return rank(a.key) < rank(b.key); });
}

}  // namespace

void NormalizeAnnotKeyOrder(PdfObject& dict) {
    Reorder(dict, {"Type",     "Subtype",      "Rect",    "L",         "LE",  "Vertices",
                   "InkList",  "QuadPoints",   "CL",      "NM",        "T",   "Subj",
                   "Contents", "CreationDate", "M",       "F",         "C",   "CA",
                   "IT",       "IC",           "Measure", "DA",        "DS",  "Q",
                   "Name",     "Open",         "FS",      "ImageData", "IRT", "RT"},
            {"RD", "BS", "BE"});
    if (PdfObject* bs = dict.Get("BS")) Reorder(*bs, {"W", "S", "D"}, {});
    if (PdfObject* be = dict.Get("BE")) Reorder(*be, {"S", "I"}, {});
}

}  // namespace quill::engine
