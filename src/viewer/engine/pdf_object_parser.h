// PdfObjectParser: reads PDF objects (and the indirect objects of an FDF file) from bytes,
// with every read checked against the end of the data.
#pragma once
#include "viewer/engine/engine_names.h"

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "viewer/engine/pdf_object.h"

namespace quill::engine {

class PdfObjectParser {
public:
    explicit PdfObjectParser(std::string_view data, size_t pos = 0) : data_(data), pos_(pos) {}

    // Parses one object at the current position ("n g R" becomes a Ref). nullopt on bad
    // or truncated input; error() says why.
    std::optional<PdfObject> ParseObject();

    size_t pos() const { return pos_; }
    void set_pos(size_t pos) { pos_ = pos; }
    const std::string& error() const { return error_; }

    void SkipWhitespaceAndComments();
    // Reads a keyword or number token without consuming it.
    std::string_view PeekWord();
    bool ConsumeWord(std::string_view word);
    bool AtEnd();

private:
    std::optional<PdfObject> ParseValue(int depth);
    std::optional<PdfObject> ParseLiteralString();
    std::optional<PdfObject> ParseHexString();
    std::optional<PdfObject> ParseName();
    std::optional<PdfObject> ParseNumberOrRef();
    bool Fail(const std::string& why);

    std::string_view data_;
    size_t pos_;
    std::string error_;
};

// One indirect object of a file: its value and, for a stream, the stream bytes (as stored,
// without decoding).
struct IndirectObject {
    PdfObject value;
    bool isStream = false;
    std::string streamBytes;
};

// The indirect objects and the trailer of an FDF (or simple PDF) file.
struct ParsedObjectFile {
    std::string header;  // the first line, e.g. "%FDF-1.2"
    std::map<int, IndirectObject> objects;
    std::optional<PdfObject> trailer;
};

// nullopt with a message when the bytes are no such file or break off inside an object.
std::optional<ParsedObjectFile> ParseObjectFile(std::string_view bytes, std::string* error);

}  // namespace quill::engine
