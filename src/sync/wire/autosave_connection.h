// One connection of the autosave exchange: sends the requests of the queue and the revision
// checks to the review server, one at a time.
#pragma once
#include "sync/sync_names.h"

#include <functional>
#include <memory>
#include <string>

#include "sync/wire/param_map.h"

namespace quill::sync {

class AutosaveConnection {
public:
    virtual ~AutosaveConnection() = default;

    // Performs the request of the map's CMD (AUTOSAVE, UPDATE, UPDATE_FILE_ATTACH) and returns
    // the reply. Never throws for server or transfer errors: they come back as errorCode and
    // errorMsg entries.
    virtual std::unique_ptr<ParamMap> Send(const ParamMap& request) = 0;

    // A plain GET of an address; true with the reply text when the server answered 200.
    virtual bool GetText(const std::string& url, std::string& reply) = 0;

    // True when the last Send got no answer from the review server itself: no connection, a
    // connection dropped or timed out, or a gateway's 502, 503 or 504 in its place. Such a
    // failure passes; anything else the server said about the request is its answer.
    virtual bool LastSendUnanswered() const = 0;

    // Whether Send shows transfer failures in a message box itself (the default). The
    // autosave worker turns this off and tells the reviewer once per outage instead.
    virtual void SetShowTransferErrors(bool show) = 0;

    // Any thread: ends the transfer in flight at once (it comes back unanswered) and makes
    // every later one of this connection fail the same way without reaching the server. A
    // connection that cannot cancel lets its transfer run to its end.
    virtual void Cancel() {}
};

// Makes one connection; the worker makes one per pass, GetLastestRevisions one per call.
using AutosaveConnectionFactory = std::function<std::unique_ptr<AutosaveConnection>()>;

}  // namespace quill::sync
