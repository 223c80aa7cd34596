#include "viewer/engine/fdf_writer.h"

#include "viewer/engine/pdf_object_writer.h"
#include "viewer/engine/pdf_text_string.h"

namespace quill::engine {
namespace {

class FdfBuilder {
public:
    explicit FdfBuilder(std::string& body) : body_(body) {}

    void Write(const AnnotRecord& r) {
        const int num = next_++;
        const int popupNum = r.popup ? next_++ : 0;
        const int fileNum = r.file ? next_++ : 0;
        annots_.push_back(num);
        if (popupNum) annots_.push_back(popupNum);
        Object(num, AnnotObjectText(r, popupNum, fileNum));
        if (r.popup) {
            PdfObject popup = *r.popup;
            popup.Set("Parent", PdfObject::Ref(num));
            popup.Set("Page", PdfObject::Int(r.page));
            Object(popupNum, WritePdfObject(popup));
        }
        if (r.file) {
            PdfObject dict = r.file->streamDict;
            dict.Set("Length", PdfObject::Int(static_cast<int64_t>(r.file->bytes.size())));
            std::string text = WritePdfObject(dict);
            text += "stream\r\n";
            text += r.file->bytes;
            text += "\r\nendstream";
            Object(fileNum, text);
        }
        for (const auto& reply : r.replies) Write(*reply);
    }

    const std::vector<int>& Annots() const { return annots_; }

private:
    void Object(int num, const std::string& text) {
        body_ += std::to_string(num);
        body_ += " 0 obj\n";
        body_ += text;
        body_ += "\nendobj\n";
    }

    std::string& body_;
    int next_ = 2;
    std::vector<int> annots_;
};

}  // namespace

std::string AnnotObjectText(const AnnotRecord& record, int popupNum, int fileNum) {
    PdfObject dict = record.dict;
    if (popupNum) dict.Set("Popup", PdfObject::Ref(popupNum));
    dict.Set("Page", PdfObject::Int(record.page));
    return WritePdfObject(dict, [fileNum](int n) { return n == kEmbeddedFileRef ? fileNum : n; });
}

std::string WriteFdf(const AnnotStore& store, const std::string& pdfFileName) {
    std::string body;
    FdfBuilder builder(body);
    for (int page = 0; page < store.PageCount(); ++page) {
        for (const auto& r : store.Page(page)) builder.Write(*r);
    }
    for (const auto& r : store.Orphans()) builder.Write(*r);

    std::string out = "%FDF-1.2\n1 0 obj\n<</FDF<<";
    PdfObject f = PdfObject::String(AnsiToPdfText(pdfFileName));
    out += "/F";
    out += WritePdfObject(f);
    out += "/Annots[";
    for (int n : builder.Annots()) {
        out += ' ';
        out += std::to_string(n);
        out += " 0 R";
    }
    out += "]>>>>\nendobj\n";
    out += body;
    out += "trailer\n<</Root 1 0 R>>\n%%EOF\n";
    return out;
}

}  // namespace quill::engine
