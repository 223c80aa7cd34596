// Compiled against sync's include root: everything sync may include.
#include "control/pdf_viewer_control.h"
#include "review/review_session.h"
#include "sync/fdf/fdf_parser.h"
#include "sync/log_step.h"
#include "sync/wire/queue_model.h"

using namespace quill;
using namespace quill::control;
using namespace quill::review;
using namespace quill::sync;
