#include "viewer/engine/pdf_annot_loader.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <map>

#include "viewer/engine/annot_key_order.h"
#include "viewer/engine/annot_name.h"
#include "viewer/engine/annot_properties.h"
#include "viewer/engine/qpdf_convert.h"

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

bool LoadPdfAnnots(const std::string& path, const std::string& password, LoadedAnnots* out,
                   std::string* error) {
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processFile(path.c_str(), password.empty() ? nullptr : password.c_str());
        std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(pdf).getAllPages();
        out->pages.clear();
        out->pages.resize(pages.size());
        // Names first: replies name their parent through /IRT.
        std::map<QPDFObjGen, std::string> names;
        struct Pending {
            int page;
            QPDFObjectHandle h;
        };
        std::vector<Pending> found;
        for (size_t p = 0; p < pages.size(); ++p) {
            QPDFObjectHandle annots = pages[p].getObjectHandle().getKey("/Annots");
            if (!annots.isArray()) continue;
            for (int i = 0; i < annots.getArrayNItems(); ++i) {
                QPDFObjectHandle a = annots.getArrayItem(i);
                if (!IsCommentSubtype(SubtypeOf(a))) continue;
                QPDFObjectHandle nm = a.getKey("/NM");
                const std::string name = nm.isString() && !nm.getStringValue().empty()
                                             ? nm.getStringValue()
                                             : NewAnnotName();
                if (a.isIndirect()) names[a.getObjGen()] = name;
                found.push_back({static_cast<int>(p), a});
            }
        }
        std::map<std::string, AnnotRecord*> byName;
        std::vector<std::unique_ptr<AnnotRecord>> replies;
        for (const Pending& f : found) {
            auto rec = std::make_unique<AnnotRecord>();
            rec->page = f.page;
            QPDFObjectHandle a = f.h;
            for (const std::string& key : a.getKeys()) {
                const std::string k = key.substr(1);
                if (k == "Popup" || k == "Page" || k == "P" || k == "Parent" || k == "AP") continue;
                QPDFObjectHandle v = a.getKey(key);
                if (k == "IRT") {
                    if (v.isIndirect() && names.count(v.getObjGen())) {
                        rec->dict.Set("IRT", PdfObject::String(names[v.getObjGen()]));
                    } else if (v.isString()) {
                        rec->dict.Set("IRT", PdfObject::String(v.getStringValue()));
                    }
                    continue;
                }
                if (k == "FS") {
                    PdfObject fs = FromQpdf(v);
                    QPDFObjectHandle ef =
                        v.isDictionary() ? v.getKey("/EF") : QPDFObjectHandle::newNull();
                    QPDFObjectHandle file =
                        ef.isDictionary() ? ef.getKey("/F") : QPDFObjectHandle::newNull();
                    if (file.isStream()) {
                        EmbeddedFile e;
                        e.streamDict = FromQpdf(file.getDict());
                        e.streamDict.Remove("Length");
                        std::shared_ptr<Buffer> data = file.getRawStreamData();
                        e.bytes.assign(reinterpret_cast<const char*>(data->getBuffer()),
                                       data->getSize());
                        rec->file = std::move(e);
                        PdfObject efDict = PdfObject::Dict();
                        efDict.Set("F", PdfObject::Ref(kEmbeddedFileRef));
                        if (fs.IsDict()) fs.Set("EF", std::move(efDict));
                    }
                    if (!fs.IsNull()) rec->dict.Set("FS", std::move(fs));
                    continue;
                }
                PdfObject value = FromQpdf(v);
                if (!value.IsNull()) rec->dict.Set(k, std::move(value));
            }
            const std::string name = a.isIndirect() ? names[a.getObjGen()] : NewAnnotName();
            rec->dict.Set("NM", PdfObject::String(name));
            // A border without an effect is a solid effect; written out, so that the style
            // code reads the same in the control and in the client's scan of the FDF.
            if (HasBorder(rec->dict) && rec->dict.Has("BS") && !rec->dict.Has("BE")) {
                PdfObject solid = PdfObject::Dict();
                solid.Set("S", PdfObject::Name("S"));
                rec->dict.Set("BE", std::move(solid));
            }
            NormalizeAnnotKeyOrder(rec->dict);
            QPDFObjectHandle popup = a.getKey("/Popup");
            if (popup.isDictionary() && SubtypeOf(popup) == "Popup") {
                PdfObject pd = FromQpdf(popup);
                for (const char* k : {"Parent", "Page", "P", "AP"}) pd.Remove(k);
                NormalizeAnnotKeyOrder(pd);
                rec->popup = std::move(pd);
            }
            byName[name] = rec.get();
            if (rec->InReplyTo().empty()) {
                out->pages[static_cast<size_t>(f.page)].push_back(std::move(rec));
            } else {
                replies.push_back(std::move(rec));
            }
        }
        // Replies join their parents; several passes for replies to replies.
        bool progress = true;
        while (progress && !replies.empty()) {
            progress = false;
            for (auto it = replies.begin(); it != replies.end();) {
                auto parent = byName.find((*it)->InReplyTo());
                if (parent != byName.end() && parent->second != it->get()) {
                    // Only attach to a parent that is already placed (top-level or attached).
                    AnnotRecord* p = parent->second;
                    if (p->InReplyTo().empty() || p->parent) {
                        (*it)->parent = p;
                        (*it)->page = p->page;
                        p->replies.push_back(std::move(*it));
                        it = replies.erase(it);
                        progress = true;
                        continue;
                    }
                }
                ++it;
            }
        }
        for (auto& r : replies) out->orphans.push_back(std::move(r));
        return true;
    } catch (const std::exception& e) {
        if (error) *error = e.what();
        return false;
    }
}

}  // namespace quill::engine
