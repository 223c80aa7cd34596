#include "viewer/engine/qpdf_convert.h"

namespace quill::engine {

QPDFObjectHandle ToQpdf(QPDF& pdf, const PdfObject& o, const RefMapper& mapRef) {
    return QPDFObjectHandle::parse(&pdf, WritePdfObject(o, mapRef));
}

std::string SubtypeOf(QPDFObjectHandle h) {
    if (!h.isDictionary()) return {};
    QPDFObjectHandle s = h.getKey("/Subtype");
    return s.isName() ? s.getName().substr(1) : std::string();
}

}  // namespace quill::engine
