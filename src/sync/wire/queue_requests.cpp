#include "sync/wire/queue_requests.h"
#include "sync/sync_names.h"

#include "sync/wire/param_form.h"

namespace quill::sync {

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

}  // namespace quill::sync
