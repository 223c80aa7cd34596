#include "sync/fdf/fdf_writer.h"
#include "sync/sync_names.h"

#include <charconv>
#include <cstdio>
#include <string_view>

#include "sync/base_exception.h"
#include "sync/fdf/byte_mass.h"
#include "sync/fdf/fdf_file_attachment.h"
#include "sync/log_step.h"

namespace quill::sync {

namespace {

std::string_view Decimal(int value, char (&text)[16]) {
    auto result = std::to_chars(text, text + sizeof text, value);
    return {text, static_cast<size_t>(result.ptr - text)};
}

template <typename Out>
void WriteObject(Out& out, int number, const ByteBuffer& raw) {
    char text[16];
    out(Decimal(number, text));
    out(" 0 obj\n");
    out(raw.view());
    out("\nendobj\n\n");
}

void Repoint(ByteBuffer& raw, std::string_view prefix, int number) {
    char text[16];
    fdf::_replaceByteMass(raw, prefix, " 0 R", Decimal(number, text));
}

CFDFContent* EmbeddedFileOf(CFDFContent* object) {
    if (object->subtype != kFdfSubtypeFileAttachment) return nullptr;
    auto* attachment = dynamic_cast<CFDFFileAttachment*>(object);
    if (!attachment || !attachment->embeddedFile || attachment->embeddedFile->rawText.empty()) {
        return nullptr;
    }
    return attachment->embeddedFile;
}

// Emits "%FDF-1.2", the objects numbered from 2 (a popup before its annotation, an embedded
// file behind it, their references re-pointed in the raw texts as they go), the root and the
// trailer, in pieces, to `out`.
template <typename Out>
void Emit(const std::vector<CFDFContent*>& objects, Out& out) {
    out("%FDF-1.2\n");
    int n = 2;
    for (CFDFContent* object : objects) {
        CFDFContent* popup = object->PopupOrNull();
        CFDFContent* file = EmbeddedFileOf(object);
        const int number = n;
        if (popup) {
            Repoint(popup->rawText, "Parent ", number);
            WriteObject(out, number + 1, popup->rawText);
            Repoint(object->rawText, "Popup ", number + 1);
        }
        const int fileNumber = number + (popup ? 2 : 1);
        if (file) Repoint(object->rawText, "EF<</F ", fileNumber);
        WriteObject(out, number, object->rawText);
        if (file) WriteObject(out, fileNumber, file->rawText);
        n = file ? fileNumber + 1 : (popup ? number + 2 : number + 1);
    }
    out("1 0 obj\n<</FDF<</F(Untitled.pdf)/Annots[ ");
    char text[16];
    for (int k = 2; k < n; ++k) {
        out(Decimal(k, text));
        out(" 0 R ");
    }
    out("]>>>>\nendobj\n\n");
    out("trailer\n<</Root 1 0 R>>\n%%EOF\n");
}

// Gathers pieces into a buffer of fixed size and writes it out when full, so that writing a
// large review neither holds the whole file in memory nor touches fresh pages for all of it.
class ChunkedFileOut {
public:
    static constexpr size_t kChunk = 256 * 1024;

    explicit ChunkedFileOut(std::FILE* file) : file_(file) { buffer_.reserve(kChunk); }

    void operator()(std::string_view piece) {
        if (buffer_.size() + piece.size() <= kChunk) {
            buffer_ += piece;
            return;
        }
        Flush();
        if (piece.size() >= kChunk) {
            Write(piece);
        } else {
            buffer_ += piece;
        }
    }
    void Flush() {
        Write(buffer_);
        buffer_.clear();
    }
    bool ok() const { return ok_; }

private:
    void Write(std::string_view bytes) {
        if (ok_ && !bytes.empty())
            ok_ = std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
    }
    std::FILE* file_;
    std::string buffer_;
    bool ok_ = true;
};

}  // namespace

namespace fdf {

std::string RestoredFdfBytes(const std::vector<CFDFContent*>& objects) {
    size_t total = 256;
    for (CFDFContent* object : objects) {
        total += object->rawText.size() + 64;
        if (CFDFContent* popup = object->PopupOrNull()) total += popup->rawText.size() + 64;
        if (CFDFContent* file = EmbeddedFileOf(object)) total += file->rawText.size() + 64;
    }
    std::string out;
    out.reserve(total);
    auto append = [&out](std::string_view piece) { out += piece; };
    Emit(objects, append);
    return out;
}

void _restoreFDFContents(const std::string& filePath, const std::vector<CFDFContent*>& objects) {
    LogStep step("_restoreFDFContents");
    std::FILE* file = std::fopen(filePath.c_str(), "wb");
    if (!file) {
        // The raw texts are re-pointed all the same, as callers have always found them.
        auto discard = [](std::string_view) {};
        Emit(objects, discard);
        throw BaseException("Cannot write FDF file.", kFdfFileErrorCode);
    }
    ChunkedFileOut out(file);
    try {
        Emit(objects, out);
        out.Flush();
    } catch (...) {
        // A half-written file must not be imported later.
        std::fclose(file);
        std::remove(filePath.c_str());
        throw;
    }
    const bool written = out.ok();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        std::remove(filePath.c_str());
        throw BaseException("Cannot write FDF file.", kFdfFileErrorCode);
    }
}

}  // namespace fdf

}  // namespace quill::sync
