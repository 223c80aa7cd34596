// The names the net layer takes unqualified from the layers below it.
#pragma once

namespace quill::app {}
namespace quill::codec {}

namespace quill::net {
using namespace quill::app;
using namespace quill::codec;
}  // namespace quill::net
