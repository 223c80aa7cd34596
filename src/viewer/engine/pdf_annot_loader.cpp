#include "viewer/engine/pdf_annot_loader.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <map>
#include <set>
#include <unordered_map>

#include "viewer/engine/annot_key_order.h"
#include "viewer/engine/annot_name.h"
#include "viewer/engine/annot_properties.h"
#include "viewer/engine/qpdf_convert.h"
#include "viewer/engine/qpdf_copier.h"

namespace quill::engine {

bool IsCommentSubtype(std::string_view s) {
    static const char* kSubtypes[] = {
        "Text",     "FreeText",  "Line",           "Square",   "Circle",    "Polygon",
        "PolyLine", "Highlight", "Underline",      "Squiggly", "StrikeOut", "Stamp",
        "Caret",    "Ink",       "FileAttachment", "Sound",    "Redact"};
    for (const char* k : kSubtypes) {
        if (s == k) return true;
    }
    return false;
}

namespace {

struct Found {
    int page;
    QPDFObjectHandle h;
    std::string name;
};

// The annotation dictionary's own keys as a record, without the keys that tie it into the
// file; /IRT becomes the parent's name.
std::unique_ptr<AnnotRecord> RecordOf(const Found& f, QpdfCopier& copier,
                                      const std::map<QPDFObjGen, std::string>& names) {
    auto rec = std::make_unique<AnnotRecord>();
    rec->page = f.page;
    QPDFObjectHandle a = f.h;
    for (const std::string& key : a.getKeys()) {
        const std::string k = key.substr(1);
        if (k == "Popup" || k == "Page" || k == "P" || k == "Parent" || k == "AP") continue;
        QPDFObjectHandle v = a.getKey(key);
        if (k == "IRT") {
            auto parent = v.isIndirect() ? names.find(v.getObjGen()) : names.end();
            if (parent != names.end()) {
                rec->dict.Set("IRT", PdfObject::String(parent->second));
            } else if (v.isString()) {
                rec->dict.Set("IRT", PdfObject::String(v.getStringValue()));
            }
            continue;
        }
        if (k == "FS") {
            PdfObject fs = copier.Copy(v);
            QPDFObjectHandle ef = v.isDictionary() ? v.getKey("/EF") : QPDFObjectHandle::newNull();
            QPDFObjectHandle file =
                ef.isDictionary() ? ef.getKey("/F") : QPDFObjectHandle::newNull();
            if (file.isStream()) {
                EmbeddedFile e;
                e.streamDict = copier.Copy(file.getDict());
                e.streamDict.Remove("Length");
                std::shared_ptr<Buffer> data = file.getRawStreamData();
                e.bytes.assign(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
                rec->file = std::move(e);
                PdfObject efDict = PdfObject::Dict();
                efDict.Set("F", PdfObject::Ref(kEmbeddedFileRef));
                if (fs.IsDict()) fs.Set("EF", std::move(efDict));
            }
            if (!fs.IsNull()) rec->dict.Set("FS", std::move(fs));
            continue;
        }
        PdfObject value = copier.Copy(v);
        if (!value.IsNull()) rec->dict.Set(k, std::move(value));
    }
    rec->dict.Set("NM", PdfObject::String(f.name));
    // A border without an effect is a solid effect; written out, so that the style code reads
    // the same in the control and in the client's scan of the FDF.
    if (HasBorder(rec->dict) && rec->dict.Has("BS") && !rec->dict.Has("BE")) {
        PdfObject solid = PdfObject::Dict();
        solid.Set("S", PdfObject::Name("S"));
        rec->dict.Set("BE", std::move(solid));
    }
    NormalizeAnnotKeyOrder(rec->dict);
    QPDFObjectHandle popup = a.getKey("/Popup");
    if (popup.isDictionary() && SubtypeOf(popup) == "Popup") {
        // Its /Parent and /P are an annotation and a page, which the copier leaves out.
        PdfObject pd = copier.CopyObject(popup);
        for (const char* k : {"Parent", "Page", "P", "AP"}) pd.Remove(k);
        NormalizeAnnotKeyOrder(pd);
        rec->popup = std::move(pd);
    }
    return rec;
}

}  // namespace

bool LoadPdfAnnots(const std::string& path, const std::string& password, LoadedAnnots* out,
                   std::string* error) {
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processFile(path.c_str(), password.empty() ? nullptr : password.c_str());
        std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(pdf).getAllPages();
        out->pages.clear();
        out->pages.resize(pages.size());
        out->orphans.clear();
        // Pages and annotations are referred to, never copied: known before anything is.
        QpdfCopier copier;
        for (QPDFPageObjectHelper& page : pages) copier.KeepOut(page.getObjectHandle().getObjGen());
        // Names first: replies name their parent through /IRT. An annotation listed twice (or
        // on two pages, or through one list shared by pages) is one comment, taken once.
        std::map<QPDFObjGen, std::string> names;
        std::set<QPDFObjGen> listed;
        std::vector<Found> found;
        for (size_t p = 0; p < pages.size(); ++p) {
            QPDFObjectHandle annots = pages[p].getObjectHandle().getKey("/Annots");
            if (!annots.isArray()) continue;
            if (annots.isIndirect() && !listed.insert(annots.getObjGen()).second) continue;
            for (int i = 0; i < annots.getArrayNItems(); ++i) {
                QPDFObjectHandle a = annots.getArrayItem(i);
                if (a.isIndirect()) {
                    if (!listed.insert(a.getObjGen()).second) continue;
                    copier.KeepOut(a.getObjGen());
                }
                if (!IsCommentSubtype(SubtypeOf(a))) continue;
                QPDFObjectHandle nm = a.getKey("/NM");
                const std::string name = nm.isString() && !nm.getStringValue().empty()
                                             ? nm.getStringValue()
                                             : NewAnnotName();
                if (a.isIndirect()) names[a.getObjGen()] = name;
                found.push_back({static_cast<int>(p), a, name});
            }
        }
        std::unordered_map<std::string, AnnotRecord*> byName;  // the latest of a name
        std::vector<AnnotRecord*> placed;                      // top-level, then replies
        std::vector<std::unique_ptr<AnnotRecord>> replies;
        for (const Found& f : found) {
            std::unique_ptr<AnnotRecord> rec = RecordOf(f, copier, names);
            byName[f.name] = rec.get();
            if (rec->InReplyTo().empty()) {
                placed.push_back(rec.get());
                out->pages[static_cast<size_t>(f.page)].push_back(std::move(rec));
            } else {
                replies.push_back(std::move(rec));
            }
        }
        // Replies join their parents from the top-level comments down, in document order
        // among siblings; replies that no top-level comment leads to (a missing parent, a
        // cycle of replies) stay orphans.
        std::unordered_map<AnnotRecord*, std::vector<size_t>> answers;
        for (size_t i = 0; i < replies.size(); ++i) {
            auto parent = byName.find(replies[i]->InReplyTo());
            if (parent != byName.end() && parent->second != replies[i].get())
                answers[parent->second].push_back(i);
        }
        for (size_t q = 0; q < placed.size(); ++q) {
            AnnotRecord* p = placed[q];
            auto it = answers.find(p);
            if (it == answers.end()) continue;
            for (size_t i : it->second) {
                std::unique_ptr<AnnotRecord>& r = replies[i];
                r->parent = p;
                r->page = p->page;
                placed.push_back(r.get());
                p->replies.push_back(std::move(r));
            }
        }
        for (auto& r : replies) {
            if (r) out->orphans.push_back(std::move(r));
        }
        out->copiedObjects = copier.Copied();
        return true;
    } catch (const std::exception& e) {
        if (error) *error = e.what();
        return false;
    }
}

}  // namespace quill::engine
