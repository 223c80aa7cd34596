#include "sync/fdf_parser.h"

#include <cstring>
#include <fstream>
#include <string_view>
#include <unordered_map>

#include "sync/base_exception.h"
#include "sync/fdf_file_attachment.h"
#include "sync/fdf_name_tokens.h"
#include "sync/log_step.h"

namespace {

[[noreturn]] void Fail() { throw BaseException(kCannotParseFdf, kFdfParseErrorCode); }

bool IsObjectSpace(char c) { return c == ' ' || c == '\r' || c == '\n'; }

std::string_view TrimObjectSpace(std::string_view text) {
    while (!text.empty() && IsObjectSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsObjectSpace(text.back())) text.remove_suffix(1);
    return text;
}

bool BytesAt(std::string_view data, size_t at, std::string_view what) {
    return at <= data.size() && data.size() - at >= what.size() &&
           std::memcmp(data.data() + at, what.data(), what.size()) == 0;
}

// End (one past the ">>") of the dictionary that starts at or after `from`: pairs of "<<"
// and ">>" are counted, and the dictionary ends at the ">>" that evens the counts.
size_t DictionaryEnd(std::string_view data, size_t from) {
    size_t open = 0, close = 0;
    const char* base = data.data();
    size_t q = from;
    const size_t n = data.size();
    while (q + 1 < n) {
        // Skip quickly to the next bracket.
        const char c = base[q];
        if (c != '<' && c != '>') {
            ++q;
            continue;
        }
        if (base[q + 1] != c) {
            ++q;
            continue;
        }
        q += 2;
        if (c == '<') {
            ++open;
        } else if (++close == open) {
            return q;
        }
    }
    Fail();
}

// The end of "stream", its line end, the Length bytes and "endstream" starting at `at`.
size_t StreamEnd(std::string_view data, size_t at, std::string_view dictionary) {
    int length = -1;
    ForEachNameToken(dictionary, [&](std::string_view token) {
        if (token.size() >= 6 && token.compare(0, 6, "Length") == 0) {
            length = AtoiView(token.size() > 7 ? token.substr(7) : std::string_view{});
        }
    });
    if (length < 0) Fail();
    size_t from = at + 6;
    if (BytesAt(data, from, "\r\n")) {
        from += 2;
    } else if (BytesAt(data, from, "\n")) {
        from += 1;
    }
    if (data.size() - from < static_cast<size_t>(length)) Fail();
    size_t end = from + static_cast<size_t>(length);
    while (end < data.size() && IsObjectSpace(data[end])) ++end;
    if (!BytesAt(data, end, "endstream")) Fail();
    return end + 9;
}

// The result of splitting, committed to the document only when the whole file is read.
struct Split {
    std::string rootId;
    std::vector<std::string> annots;
    std::vector<std::unique_ptr<CFDFContent>> objects;
};

Split SplitObjects(std::string_view data) {
    Split split;
    size_t start = 8;
    size_t p = 8;
    const size_t n = data.size();
    while (p < n) {
        const char c = data[p];
        if (c == 't' && BytesAt(data, p, "tra")) break;  // the trailer
        if (c != 'o') {
            ++p;
            continue;
        }
        std::string_view id = TrimObjectSpace(data.substr(start, p - start));
        if (n - p < 3) Fail();
        size_t rawStart = p + 3;
        while (rawStart < n && IsObjectSpace(data[rawStart])) ++rawStart;
        const size_t dictEnd = DictionaryEnd(data, p + 3);
        std::string_view dictionary = data.substr(rawStart, dictEnd - rawStart);
        size_t objectEnd = dictEnd;
        if (id == "1 0") {
            split.rootId = std::string(id);
            split.annots = AnnotsListFromRoot(dictionary);
        } else {
            std::unique_ptr<CFDFContent> object = ContentFromDictionary(dictionary);
            object->objectId = id;
            if (object->kind == kFdfKindEmbeddedFile) {
                // ">>" "stream" CR LF, the stream bytes, CR LF "endstream": the length is
                // trusted only when all of it lies inside the file.
                const size_t gt = dictEnd - 2;
                if (object->length < 0) Fail();
                const size_t streamLength = static_cast<size_t>(object->length);
                if (n - gt < 21 || n - gt - 21 < streamLength) Fail();
                if (!BytesAt(data, gt + 2, "stream") ||
                    !BytesAt(data, gt + 12 + streamLength, "endstream")) {
                    Fail();
                }
                object->streamData = ByteBuffer::Borrow(data.substr(gt + 10, streamLength));
                objectEnd = gt + 21 + streamLength;
                dictionary = data.substr(rawStart, objectEnd - rawStart);
            }
            object->rawText = ByteBuffer::Borrow(dictionary);
            split.objects.push_back(std::move(object));
        }
        size_t next = objectEnd;
        while (next < n && IsObjectSpace(data[next])) ++next;
        if (objectEnd == dictEnd && BytesAt(data, next, "stream")) {
            // A stream of an object the client does not read (an appearance, say): passed
            // over whole by its length rather than scanned for objects.
            next = StreamEnd(data, next, dictionary);
            while (next < n && IsObjectSpace(data[next])) ++next;
        }
        if (!BytesAt(data, next, "endobj")) Fail();
        start = p = next + 6;
    }
    return split;
}

}  // namespace

namespace fdf {

void _generateFDFObject(FdfDocument& doc) {
    LogStep step("_generateFDFObject");
    std::string_view data = doc.fileBytes.view();
    if (data.empty() || data[0] != '%' || data.size() < 8) Fail();
    Split split = SplitObjects(data);
    doc.version = std::string(data.substr(5, 3));
    doc.rootId = std::move(split.rootId);
    doc.annots = std::move(split.annots);
    doc.objects = std::move(split.objects);
    doc.objectsByName.clear();
    std::vector<CFDFContent*> objects;
    objects.reserve(doc.objects.size());
    for (auto& object : doc.objects) objects.push_back(object.get());
    _relateObject(objects, doc);
}

void _relateObject(const std::vector<CFDFContent*>& objects, FdfDocument& owner) {
    LogStep step("_relateObject");
    // First match by object id and by unique name, as a scan of the list would find it.
    std::unordered_map<std::string_view, CFDFContent*> byId;
    std::unordered_map<std::string_view, CFDFContent*> byName;
    byId.reserve(objects.size());
    byName.reserve(objects.size());
    for (CFDFContent* object : objects) {
        byId.emplace(object->objectId, object);
        if (!object->uniqueName.empty()) byName.emplace(object->uniqueName, object);
    }
    auto lookup = [](const auto& map, const std::string& key) -> CFDFContent* {
        auto it = map.find(key);
        return it == map.end() ? nullptr : it->second;
    };
    for (CFDFContent* object : objects) {
        object->document = &owner;
        if (object->subtype == kFdfSubtypeFileAttachment) {
            if (auto* attachment = dynamic_cast<CFDFFileAttachment*>(object)) {
                if (CFDFContent* file = lookup(byId, attachment->embeddedFileId)) {
                    attachment->embeddedFile = file;
                    file->relatedObject = attachment;
                }
            }
        } else if (object->parent.empty() && !object->inReplyTo.empty()) {
            if (CFDFContent* target = lookup(byName, object->inReplyTo)) {
                object->relatedObject = target;
            }
        } else if (!object->parent.empty()) {
            if (CFDFContent* target = lookup(byId, object->parent)) {
                object->relatedObject = target;
                target->popup = object;
            }
        }
        if (!object->uniqueName.empty() && object->subtype != kFdfSubtypePopup) {
            owner.objectsByName[object->uniqueName] = object;
            step.Log("NM: " + object->uniqueName + " ");
        }
    }
}

}  // namespace fdf

bool ParseFdfBytes(std::string_view bytes, FdfDocument& doc) {
    if (bytes.size() > ByteBuffer::kMaxLength) Fail();
    doc.fileBytes = ByteBuffer::Copy(bytes);
    try {
        fdf::_generateFDFObject(doc);
    } catch (...) {
        doc.objectsByName.clear();
        doc.objects.clear();
        doc.annots.clear();
        throw;
    }
    return true;
}

bool OpenAndParse(const std::string& filePath, FdfDocument& doc) {
    LogStep step("OpenAndParse");
    std::ifstream in(filePath, std::ios::binary | std::ios::ate);
    if (!in) throw BaseException(kCannotLocateFdf, kFdfFileErrorCode);
    const std::streamoff size = in.tellg();
    if (size < 0) throw BaseException(kCannotLocateFdf, kFdfFileErrorCode);
    if (static_cast<uint64_t>(size) > ByteBuffer::kMaxLength) Fail();
    ByteBuffer bytes = ByteBuffer::Allocate(static_cast<size_t>(size));
    in.seekg(0);
    if (size > 0 && !in.read(bytes.mutableData(), size)) {
        throw BaseException(kCannotLocateFdf, kFdfFileErrorCode);
    }
    doc.filePath = filePath;
    doc.fileBytes = std::move(bytes);
    try {
        fdf::_generateFDFObject(doc);
    } catch (...) {
        doc.objectsByName.clear();
        doc.objects.clear();
        doc.annots.clear();
        throw;
    }
    return true;
}
