#include "module.h"

namespace quillstart {

namespace {
HINSTANCE g_instance = nullptr;
LONG g_locks = 0;
}  // namespace

HINSTANCE ModuleInstance() { return g_instance; }
void SetModuleInstance(HINSTANCE instance) { g_instance = instance; }
void LockModule() { InterlockedIncrement(&g_locks); }
void UnlockModule() { InterlockedDecrement(&g_locks); }
LONG ModuleLocks() { return InterlockedCompareExchange(&g_locks, 0, 0); }

std::wstring ModulePath() {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameW(g_instance, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::wstring(path, length);
}

}  // namespace quillstart
