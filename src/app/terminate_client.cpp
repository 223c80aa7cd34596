#include "app/terminate_client.h"

#include "platform/process_start.h"

namespace quill::app {

void TerminateClient() { platform::EndProcessNow(1); }

}  // namespace quill::app
