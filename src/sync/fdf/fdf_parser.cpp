#include "sync/fdf/fdf_parser.h"
#include "sync/sync_names.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <string_view>

#include "sync/base_exception.h"
#include "sync/fdf/byte_scan.h"
#include "sync/fdf/fdf_file_attachment.h"
#include "sync/fdf/fdf_name_tokens.h"
#include "sync/log_step.h"

namespace quill::sync {

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
    const size_t n = data.size();
    size_t q = from;
    while (true) {
        q = bytescan::FindBracket(base, q, n);
        if (q + 1 >= n) break;
        const char c = base[q];
        if (base[q + 1] != c) {  // a lone "<" or ">"
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

uint64_t HashOf(std::string_view key) { return std::hash<std::string_view>{}(key); }

// An open-addressing table from a text to the first object entered under it. Slots are
// small (part of the hash and an index into the object list) so that the table of a large
// export stays in cache; the text itself is compared only when the hashes agree. Callers
// hash the keys in one pass over the objects and prefetch slots ahead of use.
class FirstMatchIndex {
public:
    using KeyOf = std::string_view (*)(const CFDFContent&);

    FirstMatchIndex(const std::vector<CFDFContent*>& objects, KeyOf keyOf)
        : objects_(objects), keyOf_(keyOf) {
        size_t size = 16;
        while (size < objects.size() * 2) size *= 2;
        slots_.assign(size, Slot{});
        mask_ = size - 1;
    }

    void Prefetch(uint64_t hash) const { __builtin_prefetch(&slots_[hash & mask_]); }

    // Keeps the first object of a key: a later one with the same key is not entered.
    void Insert(uint32_t index, uint64_t hash) {
        const std::string_view key = keyOf_(*objects_[index]);
        const auto tag = static_cast<uint32_t>(hash >> 32);
        for (size_t i = hash & mask_;; i = (i + 1) & mask_) {
            Slot& slot = slots_[i];
            if (slot.index == kEmpty) {
                slot = {tag, index};
                return;
            }
            if (slot.tag == tag && keyOf_(*objects_[slot.index]) == key) return;
        }
    }

    CFDFContent* Find(std::string_view key, uint64_t hash) const {
        const auto tag = static_cast<uint32_t>(hash >> 32);
        for (size_t i = hash & mask_;; i = (i + 1) & mask_) {
            const Slot& slot = slots_[i];
            if (slot.index == kEmpty) return nullptr;
            if (slot.tag == tag && keyOf_(*objects_[slot.index]) == key) {
                return objects_[slot.index];
            }
        }
    }

private:
    static constexpr uint32_t kEmpty = UINT32_MAX;
    struct Slot {
        uint32_t tag = 0;
        uint32_t index = kEmpty;
    };
    const std::vector<CFDFContent*>& objects_;
    KeyOf keyOf_;
    std::vector<Slot> slots_;
    size_t mask_ = 0;
};

// What relating looks an object up by: the embedded file id, the replied-to name or the
// parent id, as the steps below choose.
enum class Lookup : uint8_t { None, EmbeddedFile, Reply, Parent };

Lookup LookupOf(const CFDFContent& object) {
    if (object.subtype == kFdfSubtypeFileAttachment) return Lookup::EmbeddedFile;
    if (object.parent.empty() && !object.inReplyTo.empty()) return Lookup::Reply;
    if (!object.parent.empty()) return Lookup::Parent;
    return Lookup::None;
}

std::string_view LookupKey(const CFDFContent& object, Lookup lookup) {
    switch (lookup) {
        case Lookup::EmbeddedFile: {
            auto* attachment = dynamic_cast<const CFDFFileAttachment*>(&object);
            return attachment ? attachment->embeddedFileId : std::string_view{};
        }
        case Lookup::Reply:
            return object.inReplyTo;
        case Lookup::Parent:
            return object.parent;
        case Lookup::None:
            break;
    }
    return {};
}

// An object to be entered in the unique-name map, with the first eight bytes of its name
// as a big-endian number so that most comparisons need not touch the name itself.
struct NamedObject {
    uint64_t prefix;
    std::string_view name;
    CFDFContent* object;
};

uint64_t NamePrefix(std::string_view name) {
    uint64_t prefix = 0;
    for (size_t i = 0; i < 8; ++i) {
        prefix = (prefix << 8) | (i < name.size() ? static_cast<unsigned char>(name[i]) : 0u);
    }
    return prefix;
}

// Enters the objects as one after the other in file order would (a later object with the
// same name replaces the entry), but in name order with a hint, so that a large map is
// built without a search through it per object.
void EnterInNameOrder(std::vector<NamedObject>& named,
                      std::map<std::string_view, CFDFContent*>& map) {
    std::stable_sort(named.begin(), named.end(), [](const NamedObject& a, const NamedObject& b) {
        if (a.prefix != b.prefix) return a.prefix < b.prefix;
        return a.name < b.name;
    });
    for (size_t i = 0; i < named.size(); ++i) {
        if (i + 4 < named.size()) __builtin_prefetch(named[i + 4].name.data());
        if (i + 1 < named.size() && named[i + 1].prefix == named[i].prefix &&
            named[i + 1].name == named[i].name) {
            continue;  // a later object of the same name follows
        }
        map.insert_or_assign(map.end(), named[i].name, named[i].object);
    }
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
    const size_t n = objects.size();
    if (n >= UINT32_MAX) throw BaseException(kCannotParseFdf, kFdfParseErrorCode);
    // One pass in file order hashes every key; the tables are then filled and probed with
    // their slots prefetched a few objects ahead.
    // Objects entered in the unique-name map are known here already, so their names are
    // logged and collected while their bytes are at hand.
    std::vector<uint64_t> idHash(n), nameHash(n), lookupHash(n);
    std::vector<Lookup> lookups(n);
    std::vector<NamedObject> named;
    named.reserve(n);
    std::string line;
    for (size_t i = 0; i < n; ++i) {
        CFDFContent& object = *objects[i];
        idHash[i] = HashOf(object.objectId);
        nameHash[i] = HashOf(object.uniqueName);
        lookups[i] = LookupOf(object);
        lookupHash[i] = HashOf(LookupKey(object, lookups[i]));
        if (!object.uniqueName.empty() && object.subtype != kFdfSubtypePopup) {
            named.push_back({NamePrefix(object.uniqueName), object.uniqueName, &object});
            line.assign("NM: ").append(object.uniqueName).append(" ");
            step.Log(line);
        }
    }
    constexpr size_t kAhead = 8;
    // First match by object id and by unique name, as a scan of the list would find it.
    FirstMatchIndex byId(objects, [](const CFDFContent& o) { return o.objectId; });
    FirstMatchIndex byName(objects, [](const CFDFContent& o) { return o.uniqueName; });
    for (size_t i = 0; i < n; ++i) {
        if (i + kAhead < n) {
            byId.Prefetch(idHash[i + kAhead]);
            byName.Prefetch(nameHash[i + kAhead]);
        }
        byId.Insert(static_cast<uint32_t>(i), idHash[i]);
        if (!objects[i]->uniqueName.empty()) byName.Insert(static_cast<uint32_t>(i), nameHash[i]);
    }

    for (size_t i = 0; i < n; ++i) {
        if (i + kAhead < n) {
            const Lookup ahead = lookups[i + kAhead];
            if (ahead == Lookup::Reply) {
                byName.Prefetch(lookupHash[i + kAhead]);
            } else if (ahead != Lookup::None) {
                byId.Prefetch(lookupHash[i + kAhead]);
            }
        }
        CFDFContent* object = objects[i];
        object->document = &owner;
        const std::string_view key = LookupKey(*object, lookups[i]);
        switch (lookups[i]) {
            case Lookup::EmbeddedFile:
                if (auto* attachment = dynamic_cast<CFDFFileAttachment*>(object)) {
                    if (CFDFContent* file = byId.Find(key, lookupHash[i])) {
                        attachment->embeddedFile = file;
                        file->relatedObject = attachment;
                    }
                }
                break;
            case Lookup::Reply:
                if (CFDFContent* target = byName.Find(key, lookupHash[i])) {
                    object->relatedObject = target;
                }
                break;
            case Lookup::Parent:
                if (CFDFContent* target = byId.Find(key, lookupHash[i])) {
                    object->relatedObject = target;
                    target->popup = object;
                }
                break;
            case Lookup::None:
                break;
        }
    }
    EnterInNameOrder(named, owner.objectsByName);
}

}  // namespace fdf

namespace {
// Splits the document's bytes; on failure the document holds no objects at all.
void GenerateOrClear(FdfDocument& doc) {
    try {
        fdf::_generateFDFObject(doc);
    } catch (...) {
        doc.objectsByName.clear();
        doc.objects.clear();
        doc.annots.clear();
        throw;
    }
}
}  // namespace

bool ParseFdfBytes(std::string_view bytes, FdfDocument& doc) {
    if (bytes.size() > ByteBuffer::kMaxLength) Fail();
    doc.fileBytes = ByteBuffer::Copy(bytes);
    GenerateOrClear(doc);
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
    GenerateOrClear(doc);
    return true;
}

}  // namespace quill::sync
