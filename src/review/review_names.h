// The names the review layer takes unqualified from the layers below it.
#pragma once

namespace quill::app {}
namespace quill::codec {}
namespace quill::net {}

namespace quill::review {
using namespace quill::app;
using namespace quill::codec;
using namespace quill::net;
}  // namespace quill::review
