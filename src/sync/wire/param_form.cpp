#include "sync/wire/param_form.h"
#include "sync/sync_names.h"

#include "codec/percent_encoding.h"

namespace quill::sync {

std::string ParameterForm(const ParamMap& params) {
    std::string form;
    for (const auto& [key, value] : params) {
        if (value.type() == ParamValue::kList) continue;  // lists never travel in a request
        form += key;
        form += '=';
        form += PercentEncode(value.AsText());
        form += '&';
    }
    return form;
}

}  // namespace quill::sync
