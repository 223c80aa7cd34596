// The names the content-store client takes unqualified from the layers below it.
#pragma once

namespace quill::app {}
namespace quill::codec {}
namespace quill::net {}

namespace quill::ecm {
using namespace quill::app;
using namespace quill::codec;
using namespace quill::net;
}  // namespace quill::ecm
