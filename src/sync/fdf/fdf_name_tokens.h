// The name tokens of an FDF object's text and the fields the client reads from them.
#pragma once
#include "sync/sync_names.h"

#include <memory>
#include <string_view>
#include <vector>

#include "sync/fdf/byte_scan.h"
#include "sync/fdf/fdf_content.h"

namespace quill::sync {

// Every "/" starts a token that ends before the next "/", "<" or ">" (or at the end).
// Calls visit(token) for each, in order.
template <typename Visit>
void ForEachNameToken(std::string_view text, Visit&& visit) {
    const char* base = text.data();
    const size_t n = text.size();
    size_t at = 0;
    while (true) {
        if (at < n && base[at] != '/') at = bytescan::FindByte(base, at, n, '/');
        if (at >= n) return;
        ++at;
        const size_t end = bytescan::FindTokenEnd(base, at, n);
        visit(text.substr(at, end - at));
        at = end;
    }
}

std::vector<std::string_view> SplitNameTokens(std::string_view text);

// Builds an object from its dictionary text (a CFDFFileAttachment when the subtype is 4)
// with the recognised fields filled; the raw text is left for the caller to set.
std::unique_ptr<CFDFContent> ContentFromDictionary(std::string_view dictionary);

// The object ids of the root's Annots token ("Annots[2 0 R 3 0 R]").
std::vector<std::string> AnnotsListFromRoot(std::string_view rootDictionary);

// Like atoi on a byte range, wrapping instead of overflowing.
int AtoiView(std::string_view text);

}  // namespace quill::sync
