#include "viewer/engine/pdf_saver.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <cstdio>
#include <filesystem>
#include <map>

#include "viewer/engine/annot_shape.h"
#include "viewer/engine/appearance_stream.h"
#include "viewer/engine/pdf_annot_loader.h"
#include "viewer/engine/pdf_object_writer.h"
#include "viewer/engine/qpdf_convert.h"

namespace quill::engine {
namespace {

// Resources and stream of an appearance (or of page texts).
QPDFObjectHandle ResourcesFor(QPDF& pdf, const AppearanceContent& a, const std::string& prefix) {
    QPDFObjectHandle res = QPDFObjectHandle::newDictionary();
    if (!a.states.empty()) {
        QPDFObjectHandle gs = QPDFObjectHandle::newDictionary();
        for (size_t i = 0; i < a.states.size(); ++i) {
            QPDFObjectHandle s = QPDFObjectHandle::newDictionary();
            s.replaceKey("/Type", QPDFObjectHandle::newName("/ExtGState"));
            s.replaceKey("/CA", QPDFObjectHandle::newReal(a.states[i].opacity, 4));
            s.replaceKey("/ca", QPDFObjectHandle::newReal(a.states[i].opacity, 4));
            if (a.states[i].multiply) s.replaceKey("/BM", QPDFObjectHandle::newName("/Multiply"));
            gs.replaceKey("/" + prefix + "GS" + std::to_string(i), s);
        }
        res.replaceKey("/ExtGState", gs);
    }
    if (!a.images.empty()) {
        QPDFObjectHandle xo = QPDFObjectHandle::newDictionary();
        for (size_t i = 0; i < a.images.size(); ++i) {
            const DrawImage& im = a.images[i];
            QPDFObjectHandle s = pdf.newStream(*im.rgb);
            QPDFObjectHandle d = s.getDict();
            d.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
            d.replaceKey("/Subtype", QPDFObjectHandle::newName("/Image"));
            d.replaceKey("/Width", QPDFObjectHandle::newInteger(im.width));
            d.replaceKey("/Height", QPDFObjectHandle::newInteger(im.height));
            d.replaceKey("/ColorSpace", QPDFObjectHandle::newName("/DeviceRGB"));
            d.replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(8));
            xo.replaceKey("/" + prefix + "Im" + std::to_string(i), s);
        }
        res.replaceKey("/XObject", xo);
    }
    return res;
}

QPDFObjectHandle AppearanceStream(QPDF& pdf, const AnnotDrawing& drawing) {
    const AppearanceContent a = BuildAppearanceContent(drawing);
    QPDFObjectHandle s = pdf.newStream(a.content);
    QPDFObjectHandle d = s.getDict();
    d.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
    d.replaceKey("/Subtype", QPDFObjectHandle::newName("/Form"));
    d.replaceKey("/FormType", QPDFObjectHandle::newInteger(1));
    d.replaceKey("/BBox", ToQpdf(pdf, RectArray(drawing.bbox)));
    d.replaceKey("/Matrix", QPDFObjectHandle::parse("[1 0 0 1 0 0]"));
    d.replaceKey("/Resources", ResourcesFor(pdf, a, ""));
    return s;
}

class PageWriter {
public:
    PageWriter(QPDF& pdf, const SaveInput& in, QPDFObjectHandle page)
        : pdf_(pdf), in_(in), page_(page) {}

    void Write(const AnnotRecord& r, QPDFObjectHandle annots) {
        // The embedded file first: the annotation refers to it.
        int fileNum = 0;
        if (r.file) {
            QPDFObjectHandle s = pdf_.newStream(r.file->bytes);
            QPDFObjectHandle sd = s.getDict();
            const PdfObject stripped = [&] {
                PdfObject d = r.file->streamDict;
                d.Remove("Length");
                return d;
            }();
            QPDFObjectHandle extra = ToQpdf(pdf_, stripped);
            for (const std::string& k : extra.getKeys()) sd.replaceKey(k, extra.getKey(k));
            s = pdf_.makeIndirectObject(s);
            fileNum = s.getObjGen().getObj();
        }
        AnnotDrawing drawing = in_.drawAnnot(r);
        PdfObject dict = r.dict;
        const bool isReply = !r.InReplyTo().empty();
        if (isReply) {
            // Replies are listed, not drawn.
            const RectF rect = RectOf(dict);
            drawing = AnnotDrawing{};
            drawing.bbox = rect;
        }
        if (drawing.bbox.Width() > 0 || drawing.bbox.Height() > 0) {
            dict.Set("Rect", RectArray(drawing.bbox));
        }
        if (isReply) dict.Remove("IRT");
        QPDFObjectHandle annot =
            ToQpdf(pdf_, dict, [fileNum](int n) { return n == kEmbeddedFileRef ? fileNum : n; });
        annot = pdf_.makeIndirectObject(annot);
        annot.replaceKey("/P", page_);
        if (isReply) {
            auto parent = byName_.find(r.InReplyTo());
            if (parent != byName_.end()) annot.replaceKey("/IRT", parent->second);
        }
        QPDFObjectHandle ap = QPDFObjectHandle::newDictionary();
        ap.replaceKey("/N", pdf_.makeIndirectObject(AppearanceStream(pdf_, drawing)));
        annot.replaceKey("/AP", ap);
        annots.appendItem(annot);
        byName_[r.Name()] = annot;
        if (r.popup) {
            QPDFObjectHandle popup = pdf_.makeIndirectObject(ToQpdf(pdf_, *r.popup));
            popup.replaceKey("/Parent", annot);
            popup.replaceKey("/P", page_);
            annot.replaceKey("/Popup", popup);
            annots.appendItem(popup);
        }
        for (const auto& reply : r.replies) Write(*reply, annots);
    }

private:
    QPDF& pdf_;
    const SaveInput& in_;
    QPDFObjectHandle page_;
    std::map<std::string, QPDFObjectHandle> byName_;
};

void AddPageTexts(QPDF& pdf, QPDFPageObjectHelper& page, const std::vector<const PageText*>& texts,
                  const SaveInput& in) {
    if (texts.empty()) return;
    std::string content = "q\n";
    QPDFObjectHandle resources = page.getAttribute("/Resources", true);
    if (!resources.isDictionary()) {
        resources = QPDFObjectHandle::newDictionary();
        page.getObjectHandle().replaceKey("/Resources", resources);
    }
    for (size_t i = 0; i < texts.size(); ++i) {
        const std::string prefix = "QmT" + std::to_string(i);
        const AppearanceContent a = BuildAppearanceContent(in.drawText(*texts[i]), prefix);
        content += a.content;
        QPDFObjectHandle res = ResourcesFor(pdf, a, prefix);
        for (const char* cat : {"/ExtGState", "/XObject"}) {
            if (!res.hasKey(cat)) continue;
            QPDFObjectHandle target = resources.getKey(cat);
            if (!target.isDictionary()) {
                target = QPDFObjectHandle::newDictionary();
                resources.replaceKey(cat, target);
            } else if (target.isIndirect()) {
                target = target.shallowCopy();
                resources.replaceKey(cat, target);
            }
            QPDFObjectHandle add = res.getKey(cat);
            for (const std::string& k : add.getKeys()) target.replaceKey(k, add.getKey(k));
        }
    }
    content += "Q\n";
    // The page's own drawing is wrapped in q ... Q so that its state cannot leak into ours.
    page.addPageContents(pdf.newStream(std::string("q\n")), true);
    page.addPageContents(pdf.newStream(std::string("\nQ\n") + content), false);
}

}  // namespace

bool SavePdfWithAnnots(const SaveInput& in, const std::string& targetPath, std::string* error) {
    namespace fs = std::filesystem;
    const std::string tmp = targetPath + ".saving";
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processFile(in.sourcePath.c_str(), in.password.empty() ? nullptr : in.password.c_str());
        std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(pdf).getAllPages();
        for (size_t p = 0; p < pages.size(); ++p) {
            QPDFObjectHandle pageObj = pages[p].getObjectHandle();
            QPDFObjectHandle old = pageObj.getKey("/Annots");
            QPDFObjectHandle annots = QPDFObjectHandle::newArray();
            if (old.isArray()) {
                for (int i = 0; i < old.getArrayNItems(); ++i) {
                    QPDFObjectHandle a = old.getArrayItem(i);
                    const std::string sub = SubtypeOf(a);
                    if (IsCommentSubtype(sub)) continue;
                    if (sub == "Popup" && a.getKey("/Parent").isDictionary() &&
                        IsCommentSubtype(SubtypeOf(a.getKey("/Parent"))))
                        continue;
                    annots.appendItem(a);
                }
            }
            if (in.store && static_cast<int>(p) < in.store->PageCount()) {
                PageWriter writer(pdf, in, pageObj);
                for (const auto& r : in.store->Page(static_cast<int>(p))) writer.Write(*r, annots);
            }
            if (annots.getArrayNItems() > 0) {
                pageObj.replaceKey("/Annots", annots);
            } else {
                pageObj.removeKey("/Annots");
            }
            std::vector<const PageText*> texts;
            if (in.pageTexts) {
                for (const PageText& t : *in.pageTexts) {
                    if (t.page == static_cast<int>(p)) texts.push_back(&t);
                }
            }
            AddPageTexts(pdf, pages[p], texts, in);
        }
        // Replies whose parent is not in the document travel in FDF only.
        QPDFWriter w(pdf, tmp.c_str());
        w.write();
    } catch (const std::exception& e) {
        std::error_code ec;
        fs::remove(tmp, ec);
        if (error) *error = e.what();
        return false;
    }
    std::error_code ec;
    fs::rename(tmp, targetPath, ec);
    if (ec) {
        fs::remove(tmp, ec);
        if (error) *error = "cannot write " + targetPath;
        return false;
    }
    return true;
}

}  // namespace quill::engine
