// The sender of the autosave queue: one request per parameter map, answered by a reply map.
#pragma once
#include "sync/sync_names.h"

#include <memory>

#include "sync/wire/param_map.h"

namespace quill::sync {

class Connector {
public:
    virtual ~Connector();

    // Performs the request that params' "CMD" names and returns the reply, which the caller
    // owns. Server and transfer errors never throw: they come back as the reply's
    // "errorCode" and "errorMsg" entries.
    virtual std::unique_ptr<ParamMap> Send(ParamMap& params) = 0;
};

}  // namespace quill::sync
