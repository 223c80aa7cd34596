#include "sync/param_form.h"

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

ParamMap AutoSaveRequest(const CQueueModel& item) {
    ParamMap params;
    params["CMD"] = kCmdAutoSave;
    params["docId"] = item.docId;
    params["qType"] = item.qType;
    params["actionType"] = static_cast<int32_t>(item.actionType);
    params["pageNo"] = static_cast<int32_t>(item.pageNo);
    params["userId"] = item.userId;
    params["targetId"] = item.userId;
    params["NM"] = item.NM;
    params["IRT"] = item.IRT;
    params["object"] = item.object;
    params["creationDate"] = item.creationDate;
    if (item.movePageNo >= 0) params["movePageNo"] = static_cast<int32_t>(item.movePageNo);
    return params;
}

ParamMap UpdateRequest(const std::string& cmd, const std::string& docId, int revision) {
    ParamMap params;
    params["CMD"] = cmd;
    params["docId"] = docId;
    params["rev"] = static_cast<int32_t>(revision);
    return params;
}
