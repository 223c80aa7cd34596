#include "viewer/engine/fdf_reader.h"

#include <algorithm>
#include <map>
#include <set>

#include "viewer/engine/annot_name.h"
#include "viewer/engine/pdf_object_parser.h"

namespace quill::engine {
namespace {

constexpr int kMaxResolveDepth = 32;

bool IsAnnotDict(const PdfObject& o) {
    if (!o.IsDict()) return false;
    const PdfObject* type = o.Get("Type");
    const PdfObject* sub = o.Get("Subtype");
    if (type && type->IsName("Annot")) return true;
    return sub && sub->IsName() && !type;
}

bool IsPopup(const PdfObject& o) {
    const PdfObject* sub = o.Get("Subtype");
    return sub && sub->IsName("Popup");
}

class Reader {
public:
    Reader(const ParsedObjectFile& file, int pageCount) : file_(file), pageCount_(pageCount) {}

    std::optional<FdfAnnots> Run(std::string* error) {
        const std::vector<int> order = AnnotOrder();
        // Every annotation needs a name before /IRT references can be turned into names.
        for (int num : order) {
            const PdfObject& o = file_.objects.at(num).value;
            const PdfObject* nm = o.Get("NM");
            names_[num] = (nm && nm->IsString() && !nm->text.empty()) ? nm->text : NewAnnotName();
        }
        FdfAnnots out;
        for (int num : order) {
            const PdfObject& src = file_.objects.at(num).value;
            if (IsPopup(src)) continue;
            auto rec = Convert(num, src, error);
            if (!rec) return std::nullopt;
            (rec->InReplyTo().empty() ? out.topLevel : out.replies).push_back(std::move(rec));
        }
        return out;
    }

private:
    // The annotations in the order of the root's /Annots, else in object order.
    std::vector<int> AnnotOrder() const {
        std::vector<int> order;
        std::set<int> seen;
        const PdfObject* root = nullptr;
        if (file_.trailer) {
            const PdfObject* r = file_.trailer->Get("Root");
            if (r && r->IsRef()) root = Object(r->refNum);
        }
        if (!root) root = Object(1);
        const PdfObject* fdf = root ? root->Get("FDF") : nullptr;
        if (fdf && fdf->IsRef()) fdf = Object(fdf->refNum);
        const PdfObject* annots = fdf ? fdf->Get("Annots") : nullptr;
        if (annots && annots->IsRef()) annots = Object(annots->refNum);
        if (annots && annots->IsArray()) {
            for (const PdfObject& a : annots->array) {
                if (!a.IsRef() || seen.count(a.refNum)) continue;
                const auto it = file_.objects.find(a.refNum);
                if (it == file_.objects.end() || it->second.isStream) continue;
                if (!IsAnnotDict(it->second.value)) continue;
                seen.insert(a.refNum);
                order.push_back(a.refNum);
            }
            return order;
        }
        for (const auto& [num, obj] : file_.objects) {
            if (!obj.isStream && IsAnnotDict(obj.value)) order.push_back(num);
        }
        return order;
    }

    const PdfObject* Object(int num) const {
        const auto it = file_.objects.find(num);
        return it == file_.objects.end() ? nullptr : &it->second.value;
    }

    // The value with its references replaced by what they point to; references to streams
    // and cycles become null.
    PdfObject Inline(const PdfObject& v, int depth, std::set<int>& path) const {
        if (depth > kMaxResolveDepth) return PdfObject::Null();
        if (v.IsRef()) {
            const auto it = file_.objects.find(v.refNum);
            if (it == file_.objects.end() || it->second.isStream || path.count(v.refNum))
                return PdfObject::Null();
            path.insert(v.refNum);
            PdfObject r = Inline(it->second.value, depth + 1, path);
            path.erase(v.refNum);
            return r;
        }
        PdfObject out = v;
        if (v.IsArray()) {
            for (PdfObject& item : out.array) item = Inline(item, depth + 1, path);
        } else if (v.IsDict()) {
            for (PdfDictEntry& e : out.dict) e.value = Inline(e.value, depth + 1, path);
            out.dict.erase(std::remove_if(out.dict.begin(), out.dict.end(),
                                          [](const PdfDictEntry& e) { return e.value.IsNull(); }),
                           out.dict.end());
        }
        return out;
    }

    std::unique_ptr<AnnotRecord> Convert(int num, const PdfObject& src, std::string* error) {
        auto rec = std::make_unique<AnnotRecord>();
        int page = -1;
        if (const PdfObject* p = src.Get("Page"); p && p->IsNumber())
            page = static_cast<int>(p->number);
        if (page < 0 || page >= pageCount_) {
            if (error)
                *error =
                    "annotation object " + std::to_string(num) + " names no page of the document";
            return nullptr;
        }
        rec->page = page;
        std::set<int> path{num};
        for (const PdfDictEntry& e : src.dict) {
            const std::string& k = e.key;
            if (k == "Popup" || k == "Page" || k == "P" || k == "Parent" || k == "AP") continue;
            if (k == "IRT") {
                if (e.value.IsString()) {
                    rec->dict.Set("IRT", e.value);
                } else if (e.value.IsRef() && names_.count(e.value.refNum)) {
                    rec->dict.Set("IRT", PdfObject::String(names_.at(e.value.refNum)));
                }
                continue;
            }
            if (k == "FS") {
                PdfObject fs = ConvertFileDescription(e.value, *rec);
                if (!fs.IsNull()) rec->dict.Set("FS", std::move(fs));
                continue;
            }
            PdfObject v = Inline(e.value, 0, path);
            if (!v.IsNull() || e.value.IsNull()) rec->dict.Set(k, std::move(v));
        }
        if (!rec->dict.Has("NM")) rec->dict.Set("NM", PdfObject::String(names_.at(num)));
        if (const PdfObject* pr = src.Get("Popup"); pr && pr->IsRef()) {
            const PdfObject* popup = Object(pr->refNum);
            // Only a popup can be one: a /Popup pointing at another annotation (or at the
            // annotation itself) is left out rather than duplicated.
            if (popup && popup->IsDict() && IsPopup(*popup) && pr->refNum != num) {
                PdfObject p = PdfObject::Dict();
                std::set<int> ppath{pr->refNum};
                for (const PdfDictEntry& e : popup->dict) {
                    if (e.key == "Parent" || e.key == "Page" || e.key == "P" || e.key == "AP")
                        continue;
                    PdfObject v = Inline(e.value, 0, ppath);
                    if (!v.IsNull()) p.Set(e.key, std::move(v));
                }
                rec->popup = std::move(p);
            }
        }
        return rec;
    }

    // The file description with its embedded file taken into the record.
    PdfObject ConvertFileDescription(const PdfObject& value, AnnotRecord& rec) const {
        const PdfObject* fs = &value;
        if (fs->IsRef()) fs = Object(fs->refNum);
        if (!fs) return PdfObject::Null();
        if (fs->IsString()) return *fs;
        if (!fs->IsDict()) return PdfObject::Null();
        PdfObject out = PdfObject::Dict();
        std::set<int> path;
        for (const PdfDictEntry& e : fs->dict) {
            if (e.key != "EF") {
                PdfObject v = Inline(e.value, 0, path);
                if (!v.IsNull()) out.Set(e.key, std::move(v));
                continue;
            }
            const PdfObject* ef = &e.value;
            if (ef->IsRef()) ef = Object(ef->refNum);
            if (!ef || !ef->IsDict()) continue;
            const PdfObject* f = ef->Get("F");
            if (!f) f = ef->Get("UF");
            if (!f || !f->IsRef()) continue;
            const auto it = file_.objects.find(f->refNum);
            if (it == file_.objects.end() || !it->second.isStream) continue;
            EmbeddedFile file;
            file.streamDict = PdfObject::Dict();
            for (const PdfDictEntry& se : it->second.value.dict) {
                if (se.key == "Length") continue;
                PdfObject v = Inline(se.value, 0, path);
                if (!v.IsNull()) file.streamDict.Set(se.key, std::move(v));
            }
            file.bytes = it->second.streamBytes;
            rec.file = std::move(file);
            PdfObject newEf = PdfObject::Dict();
            newEf.Set("F", PdfObject::Ref(kEmbeddedFileRef));
            out.Set("EF", std::move(newEf));
        }
        return out;
    }

    const ParsedObjectFile& file_;
    int pageCount_;
    std::map<int, std::string> names_;
};

}  // namespace

std::optional<FdfAnnots> ReadFdf(std::string_view bytes, int pageCount, std::string* error) {
    std::string why;
    auto file = ParseObjectFile(bytes, &why);
    if (!file) {
        if (error) *error = why;
        return std::nullopt;
    }
    return Reader(*file, pageCount).Run(error);
}

}  // namespace quill::engine
