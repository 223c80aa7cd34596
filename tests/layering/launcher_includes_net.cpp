// Compiled against the launcher's include root: must fail, the launcher starts the client and
// speaks to no server.
#include "net/request.h"

using namespace quill;
