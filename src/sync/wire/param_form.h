// The commands of the autosave exchange and the form in which their parameters travel.
#pragma once
#include "sync/sync_names.h"

#include <string>

#include "sync/wire/param_map.h"

namespace quill::sync {

inline constexpr const char* kCmdAutoSave = "AUTOSAVE";
inline constexpr const char* kCmdUpdate = "UPDATE";
inline constexpr const char* kCmdUpdateFileAttach = "UPDATE_FILE_ATTACH";

// "key=value&" for every entry in key order, values percent-escaped (every byte but ASCII
// letters and digits as "%XX", upper case; a blank as "%20").
std::string ParameterForm(const ParamMap& params);

}  // namespace quill::sync
