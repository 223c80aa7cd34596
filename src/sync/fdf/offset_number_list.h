// Re-writing the numbers of one array of an object's raw text (copying a comment).
#pragma once
#include "sync/sync_names.h"

#include <string_view>
#include <vector>

#include "sync/fdf/byte_buffer.h"

namespace quill::sync {

enum class NumberListKey { Vertices, Rect, L, InkList };

// Reads the numbers of the key's array ("Vertices[", "Rect[", "L[", "InkList[["), adds 10.0
// to each when offset is set, and writes them back as " %03.03f" does in the system's own
// format: a blank, at least three digits before the point and three after ("011.000").
// Every stroke of an InkList is re-written. Returns false, text unchanged, when the array
// is not found.
bool OffsetNumberList(ByteBuffer& text, NumberListKey key, bool offset);

// The numbers of the key's array as OffsetNumberList reads them (every stroke of an
// InkList, one after the other). False, numbers empty, when the array is not found.
bool ReadNumberList(std::string_view text, NumberListKey key, std::vector<float>& numbers);

// Replaces the numbers of the key's array with numbers, each written as OffsetNumberList
// writes them. Not for InkList. False, text unchanged, when the array is not found.
bool WriteNumberList(ByteBuffer& text, NumberListKey key, const std::vector<float>& numbers);

}  // namespace quill::sync
