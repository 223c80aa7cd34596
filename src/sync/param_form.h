// The requests of the autosave exchange and the form in which their parameters travel.
#pragma once

#include <string>

#include "sync/param_map.h"
#include "sync/queue_model.h"

inline constexpr const char* kCmdAutoSave = "AUTOSAVE";
inline constexpr const char* kCmdUpdate = "UPDATE";
inline constexpr const char* kCmdUpdateFileAttach = "UPDATE_FILE_ATTACH";

// "key=value&" for every entry in key order, values percent-escaped (every byte but ASCII
// letters and digits as "%XX", upper case; a blank as "%20").
std::string ParameterForm(const ParamMap& params);
// The escaping of one value.
std::string EscapeFormValue(const std::string& value);

// The AUTOSAVE request of an item: CMD, docId, qType, actionType, pageNo, userId, targetId
// (the userId again), NM, IRT, object, creationDate, and movePageNo when it is 0 or more.
ParamMap AutoSaveRequest(const CQueueModel& item);
// An UPDATE or UPDATE_FILE_ATTACH request: CMD, docId, rev.
ParamMap UpdateRequest(const std::string& cmd, const std::string& docId, int revision);
