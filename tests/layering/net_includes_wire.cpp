// Compiled against the HTTP layer's include root: must fail, the wire format is above it.
#include "sync/wire/param_map.h"

using namespace quill;
using namespace quill::sync;
