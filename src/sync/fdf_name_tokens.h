// The name tokens of an FDF object's text and the fields the client reads from them.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "sync/fdf_content.h"

// Every "/" starts a token that ends before the next "/", "<" or ">" (or at the end).
// Calls visit(token) for each, in order.
template <typename Visit>
void ForEachNameToken(std::string_view text, Visit&& visit) {
    size_t at = 0;
    while (true) {
        at = text.find('/', at);
        if (at == std::string_view::npos) return;
        size_t end = ++at;
        while (end < text.size() && text[end] != '/' && text[end] != '<' && text[end] != '>') {
            ++end;
        }
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
