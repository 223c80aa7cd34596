// Conversion between qpdf's object handles and the engine's PdfObject.
#pragma once
#include "viewer/engine/engine_names.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <functional>
#include <set>
#include <string>

#include "viewer/engine/pdf_object.h"
#include "viewer/engine/pdf_object_writer.h"

namespace quill::engine {

// Direct copy: indirect objects are taken in, streams and reference cycles become null and
// are left out of dictionaries.
PdfObject FromQpdf(QPDFObjectHandle h, int depth = 0);

// A new direct qpdf object from a PdfObject; references are mapped by `mapRef` to objects
// of `pdf` (generation 0).
QPDFObjectHandle ToQpdf(QPDF& pdf, const PdfObject& o, const RefMapper& mapRef = {});

// The /Subtype name of a dictionary without its slash ("Square"); empty when it has none.
std::string SubtypeOf(QPDFObjectHandle h);

}  // namespace quill::engine
