// Shared set-up of the ui tests: one application for the whole program.
#pragma once

namespace uitest {

// Creates the application once (offscreen under ctest).
void EnsureApp();

}  // namespace uitest
