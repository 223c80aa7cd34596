#include "net/param_form.h"

std::string EscapeFormValue(const std::string& value) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(value.size() * 3);
    for (unsigned char c : value) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    return out;
}

std::string ParameterForm(const ParamMap& params) {
    std::string form;
    for (const auto& [key, value] : params) {
        if (value.type() == ParamValue::kList) continue;  // lists never travel in a request
        form += key;
        form += '=';
        form += EscapeFormValue(value.AsText());
        form += '&';
    }
    return form;
}
