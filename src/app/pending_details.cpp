#include "app/pending_details.h"

namespace quill::app {

// Owned by the application object for the life of the process.
PendingDetails& AppPendingDetails() {
    static PendingDetails details;
    return details;
}

}  // namespace quill::app
