#include "viewer/engine/annot_record.h"

namespace quill::engine {
namespace {

std::string StringOf(const PdfObject& dict, const char* key) {
    const PdfObject* o = dict.Get(key);
    return (o && (o->IsString() || o->IsName())) ? o->text : std::string();
}

}  // namespace

std::string AnnotRecord::Name() const { return StringOf(dict, "NM"); }
std::string AnnotRecord::InReplyTo() const { return StringOf(dict, "IRT"); }
std::string AnnotRecord::Subtype() const { return StringOf(dict, "Subtype"); }

}  // namespace quill::engine
