// Compiled against the launcher's include root: the client's launch parameters and the platform.
#include "app/launch_params.h"
#include "launcher/launch_string.h"
#include "platform/registry_store.h"

using namespace quill;
using namespace quill::app;
using namespace quill::launcher;
