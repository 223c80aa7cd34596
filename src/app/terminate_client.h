// TerminateClient: ends the client's own process at once, without further clean-up.
#pragma once

namespace quill::app {

// Status 1: the client ended on a failure.
[[noreturn]] void TerminateClient();

}  // namespace quill::app
