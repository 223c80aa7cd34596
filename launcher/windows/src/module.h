// The library's module state: its instance handle and the count that keeps it loaded.
#pragma once

#include <windows.h>

#include <string>

namespace quillstart {

HINSTANCE ModuleInstance();
void SetModuleInstance(HINSTANCE instance);

// Objects, server locks and running worker threads each hold one lock; the library may unload
// only when none is held.
void LockModule();
void UnlockModule();
LONG ModuleLocks();

// The full path of this library, for registration and the type library.
std::wstring ModulePath();

}  // namespace quillstart
