// Compiled against sync's include root: must fail, the session layer is above sync.
#include "session/reviewer_role.h"

using namespace quill;
using namespace quill::session;
