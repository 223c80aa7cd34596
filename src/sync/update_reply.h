// Reading the JSON replies of the autosave exchange into ParamMaps and queue items.
#pragma once

#include <json/value.h>

#include <memory>
#include <string>
#include <vector>

#include "sync/param_map.h"
#include "sync/queue_model.h"

inline constexpr int kWrongCommandCode = 401;
inline constexpr int kBadJsonCode = 301;
inline constexpr int kNotFoundCode = 203;
inline constexpr int kServerErrorCode = 202;

namespace wire {

// Adds the `list` entry: one map per element of the root's docQ array with the element's
// integer and string members. Nothing is added when docQ is null or absent (nor when the
// root is no object or docQ no array); elements that are no objects are passed over.
void __parseUpdateResult(const Json::Value& root, ParamMap& reply);

}  // namespace wire

// Parses a reply text for a command into reply: on invalid JSON errorCode 301 and the
// reader's messages, "\ntarget text: " and the text; for AUTOSAVE the root's integer and
// string members; for UPDATE and UPDATE_FILE_ATTACH the docQ list.
void ReadReplyText(const std::string& cmd, const std::string& text, ParamMap& reply);

// The `list` of an UPDATE or UPDATE_FILE_ATTACH reply (empty when absent). Throws
// BaseException with errorMsg and errorCode when the reply has an errorCode.
std::vector<ParamMap> ReadUpdateList(const ParamMap& reply);

// A queue item from one element of the list.
std::unique_ptr<CDocQueueModel> QueueItemFromMap(const ParamMap& element);
// ReadUpdateList, then every element as a queue item, in order.
std::vector<std::unique_ptr<CDocQueueModel>> ReadQueueItems(const ParamMap& reply);
