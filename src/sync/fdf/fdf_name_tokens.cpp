#include "sync/fdf/fdf_name_tokens.h"
#include "sync/sync_names.h"

#include <cstring>

#include "sync/fdf/fdf_file_attachment.h"

namespace quill::sync {

namespace {

// Comparisons against literals, with the length known to the compiler so that they inline.
template <size_t N>
bool StartsWith(std::string_view text, const char (&prefix)[N]) {
    return text.size() >= N - 1 && std::memcmp(text.data(), prefix, N - 1) == 0;
}

template <size_t N>
bool Is(std::string_view text, const char (&word)[N]) {
    return text.size() == N - 1 && std::memcmp(text.data(), word, N - 1) == 0;
}

bool IsLineSpace(char c) { return c == ' ' || c == '\r' || c == '\n' || c == '\t'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsLineSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsLineSpace(text.back())) text.remove_suffix(1);
    return text;
}

// The text after the first `open` up to the first `close` behind it; empty when either
// is missing.
std::string_view Between(std::string_view token, char open, char close) {
    size_t from = token.find(open);
    if (from == std::string_view::npos) return {};
    size_t to = token.find(close, from + 1);
    if (to == std::string_view::npos) return {};
    return token.substr(from + 1, to - from - 1);
}

// "Parent 4 0 R " -> "4 0": from two characters after the first "t", without the last three.
std::string_view ParentId(std::string_view token) {
    size_t t = token.find('t');
    if (t == std::string_view::npos || token.size() < t + 2 + 3) return {};
    return token.substr(t + 2, token.size() - 3 - (t + 2));
}

// "F 4 0 R" -> "4 0"; false (id untouched) when the markers are missing.
bool EmbeddedFileIdFrom(std::string_view token, std::string_view& id) {
    size_t f = token.find("F ");
    if (f == std::string_view::npos) return false;
    size_t r = token.find(" R", f + 2);
    if (r == std::string_view::npos) return false;
    id = Trim(token.substr(f + 2, r - f - 2));
    return true;
}

std::string_view From(std::string_view token, size_t index) {
    return index < token.size() ? token.substr(index) : std::string_view{};
}

}  // namespace

int AtoiView(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10u + static_cast<uint32_t>(text[i] - '0');
    }
    return static_cast<int>(negative ? 0u - value : value);
}

std::vector<std::string_view> SplitNameTokens(std::string_view text) {
    std::vector<std::string_view> tokens;
    ForEachNameToken(text, [&](std::string_view token) { tokens.push_back(token); });
    return tokens;
}

std::unique_ptr<CFDFContent> ContentFromDictionary(std::string_view dictionary) {
    int kind = kFdfKindOther, subtype = kFdfSubtypeOther, page = -1, length = 0;
    std::string_view date, author, name, irt, parent, efId;
    bool efPending = false;
    ForEachNameToken(dictionary, [&](std::string_view token) {
        if (efPending) {
            efPending = false;
            EmbeddedFileIdFrom(token, efId);
        }
        if (token.empty()) return;
        switch (token[0]) {
            case 'A':
                if (Is(token, "Annot")) kind = kFdfKindAnnot;
                return;
            case 'E':
                if (Is(token, "EmbeddedFile")) {
                    kind = kFdfKindEmbeddedFile;
                } else if (StartsWith(token, "EF")) {
                    efPending = true;
                }
                return;
            case 'P':
                if (Is(token, "Popup")) {
                    subtype = kFdfSubtypePopup;
                } else if (Is(token, "Polygon")) {
                    subtype = kFdfSubtypePolygon;
                } else if (StartsWith(token, "Page")) {
                    page = AtoiView(From(token, 5));
                } else if (StartsWith(token, "Parent")) {
                    parent = token;
                }
                return;
            case 'T':
                if (Is(token, "Text")) {
                    subtype = kFdfSubtypeText;
                } else if (StartsWith(token, "T(")) {
                    author = token;
                }
                return;
            case 'F':
                if (Is(token, "FileAttachment")) subtype = kFdfSubtypeFileAttachment;
                return;
            case 'L':
                if (StartsWith(token, "Length")) length = AtoiView(From(token, 7));
                return;
            case 'C':
                if (StartsWith(token, "Cr")) date = token;
                return;
            case 'N':
                if (StartsWith(token, "NM")) name = token;
                return;
            case 'I':
                if (StartsWith(token, "IR")) irt = token;
                return;
            default:
                return;
        }
    });

    std::unique_ptr<CFDFContent> object;
    if (subtype == kFdfSubtypeFileAttachment) {
        auto attachment = std::make_unique<CFDFFileAttachment>();
        attachment->embeddedFileId = efId;
        object = std::move(attachment);
    } else {
        object = std::make_unique<CFDFContent>();
    }
    object->kind = kind;
    object->subtype = subtype;
    object->page = page;
    object->length = length;
    object->author = Between(author, '(', ')');
    object->creationDate = Between(date, ':', ')');
    object->inReplyTo = Between(irt, '(', ')');
    object->uniqueName = Between(name, '(', ')');
    object->parent = ParentId(parent);
    return object;
}

std::vector<std::string> AnnotsListFromRoot(std::string_view rootDictionary) {
    std::vector<std::string> ids;
    std::string_view annots;
    bool found = false;
    ForEachNameToken(rootDictionary, [&](std::string_view token) {
        if (!found && StartsWith(token, "Annots")) {
            annots = token;
            found = true;
        }
    });
    std::string_view rest = From(annots, 7);
    while (true) {
        size_t r = rest.find('R');
        if (r == std::string_view::npos) break;
        ids.emplace_back(Trim(rest.substr(0, r)));
        rest.remove_prefix(r + 1);
    }
    return ids;
}

}  // namespace quill::sync
