// TerminateClient: ends the client's own process at once, without further clean-up.
#pragma once

// Status 1: the client ended on a failure.
[[noreturn]] void TerminateClient();
