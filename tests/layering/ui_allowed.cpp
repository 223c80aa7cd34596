// Compiled against the ui layer's include root: the widgets, the viewer and the review client.
#include "review/review_client.h"
#include "ui/spinner_dlg.h"
#include "viewer/pdf_viewer_dlg.h"
#include "widgets/hover_button.h"

using namespace quill;
using namespace quill::ui;
