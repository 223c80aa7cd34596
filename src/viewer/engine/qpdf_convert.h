// Conversion from the engine's PdfObject to qpdf's object handles (the other way is
// QpdfCopier's).
#pragma once
#include "viewer/engine/engine_names.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <string>

#include "viewer/engine/pdf_object.h"
#include "viewer/engine/pdf_object_writer.h"

namespace quill::engine {

// A new direct qpdf object from a PdfObject; references are mapped by `mapRef` to objects
// of `pdf` (generation 0).
QPDFObjectHandle ToQpdf(QPDF& pdf, const PdfObject& o, const RefMapper& mapRef = {});

// The /Subtype name of a dictionary without its slash ("Square"); empty when it has none.
std::string SubtypeOf(QPDFObjectHandle h);

}  // namespace quill::engine
