// Fuzz target: the readers of the autosave replies (UPDATE list and AUTOSAVE members) and
// the queue items made from them, and the revision list of the attachment check.
#include <cstdint>
#include <string>

#include "sync/base_exception.h"
#include "sync/wire/autosave_reply.h"
#include "sync/wire/param_form.h"
#include "sync/wire/queue_builders.h"
#include "sync/wire/queue_requests.h"
#include "sync/wire/revision_list.h"
#include "sync/wire/update_reply.h"

using namespace quill;
using namespace quill::sync;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    ParamMap update;
    ReadReplyText(kCmdUpdate, text, update);
    try {
        for (const auto& item : ReadQueueItems(update)) {
            try {
                createAnnotModel(*item);
            } catch (const BaseException&) {
            }
        }
    } catch (const BaseException&) {
    }
    ParamMap autosave;
    ReadReplyText(kCmdAutoSave, text, autosave);
    ParameterForm(autosave);
    std::vector<int32_t> revisions;
    ReadRevisionList(text, revisions);
    return 0;
}
