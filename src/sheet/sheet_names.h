// The names the sheet layer takes unqualified from the layers below it.
#pragma once

namespace quill::session {}

namespace quill::sheet {
using namespace quill::session;
}  // namespace quill::sheet
