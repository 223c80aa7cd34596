// Compiled against the control's include root: must fail, the engine is above the interface.
#include "viewer/engine/pdf_date.h"

using namespace quill;
using namespace quill::engine;
