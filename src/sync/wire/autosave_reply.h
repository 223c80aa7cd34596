// Reading the JSON replies of the autosave exchange into a reply ParamMap.
#pragma once
#include "sync/sync_names.h"

#include <json/value.h>

#include <string>

#include "sync/wire/param_map.h"

namespace quill::sync {

// errorCode values that the client itself puts into a reply.
inline constexpr int kWrongCommandCode = 401;  // "Wrong command arrived."
inline constexpr int kBadJsonCode = 301;       // the reply is no valid JSON
inline constexpr int kNotFoundCode = 203;      // HTTP 404
inline constexpr int kServerErrorCode = 202;   // HTTP 500

namespace wire {

// Adds the `list` entry: one map per element of the root's docQ array with the element's
// integer and string members. Nothing is added when docQ is null or absent (nor when the
// root is no object or docQ no array); elements that are no objects are passed over.
// Named after its log name "__parseUpdateResult"; a double underscore is the compiler's own.
void _parseUpdateResult(const Json::Value& root, ParamMap& reply);

}  // namespace wire

// Parses a reply text for a command into reply: on invalid JSON errorCode 301 and the
// reader's messages, "\ntarget text: " and the text; for AUTOSAVE the root's integer and
// string members; for UPDATE and UPDATE_FILE_ATTACH the docQ list.
void ReadReplyText(const std::string& cmd, const std::string& text, ParamMap& reply);

}  // namespace quill::sync
