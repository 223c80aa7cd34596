#include "sync/fdf/fdf_writer.h"
#include "sync/sync_names.h"

#include <charconv>
#include <cstdio>

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

void WriteObject(std::string& out, int number, const ByteBuffer& raw) {
    char text[16];
    out += Decimal(number, text);
    out += " 0 obj\n";
    out += raw.view();
    out += "\nendobj\n\n";
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
    out += "%FDF-1.2\n";
    int n = 2;
    for (CFDFContent* object : objects) {
        CFDFContent* popup = object->PopupOrNull();
        CFDFContent* file = EmbeddedFileOf(object);
        int number = n;
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
    out += "1 0 obj\n<</FDF<</F(Untitled.pdf)/Annots[ ";
    char text[16];
    for (int k = 2; k < n; ++k) {
        out += Decimal(k, text);
        out += " 0 R ";
    }
    out += "]>>>>\nendobj\n\n";
    out += "trailer\n<</Root 1 0 R>>\n%%EOF\n";
    return out;
}

void _restoreFDFContents(const std::string& filePath, const std::vector<CFDFContent*>& objects) {
    LogStep step("_restoreFDFContents");
    const std::string bytes = RestoredFdfBytes(objects);
    std::FILE* file = std::fopen(filePath.c_str(), "wb");
    if (!file) throw BaseException("Cannot write FDF file.", kFdfFileErrorCode);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        std::remove(filePath.c_str());
        throw BaseException("Cannot write FDF file.", kFdfFileErrorCode);
    }
}

}  // namespace fdf

}  // namespace quill::sync
