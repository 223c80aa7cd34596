// The names the ui layer takes unqualified from the layers below it.
#pragma once

namespace quill::app {}
namespace quill::codec {}
namespace quill::net {}
namespace quill::review {}
namespace quill::sync {}
namespace quill::session {}
namespace quill::viewer {}
namespace quill::widgets {}

namespace quill::ui {
using namespace quill::app;
using namespace quill::codec;
using namespace quill::net;
using namespace quill::review;
using namespace quill::sync;
using namespace quill::session;
using namespace quill::viewer;
using namespace quill::widgets;
}  // namespace quill::ui
