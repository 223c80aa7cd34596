// Compiled against sync's include root: must fail, a widget header is not there.
#include "viewer/widget/pdf_viewer_widget.h"

using namespace quill;
using namespace quill::widget;
