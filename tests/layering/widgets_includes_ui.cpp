// Compiled against the widgets' include root: must fail, the windows built from them sit above.
#include "ui/spinner_dlg.h"

using namespace quill;
using namespace quill::ui;
