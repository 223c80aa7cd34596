// The Windows side of a launch: the installation folder from the registry, the elevated start
// through the shell, and the worker that tells the control's window the launch is over.
#pragma once

// windows.h comes before every other Windows header.
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "launcher/launch_run.h"

namespace quillstart {

inline constexpr const char* kClientExe = "Quillmark.exe";
inline constexpr ULONG kShellExecuteMask = 0x500;  // SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC

// INSTALL_DIR under HKEY_LOCAL_MACHINE, walked with bounded buffers; empty when missing or
// unusable.
std::string ReadInstallDirFromRegistry();

// The shell's execute call; tests put a recorder in its place to see the verb and flags.
using ShellExecuteFunction = BOOL(WINAPI*)(SHELLEXECUTEINFOA*);
ShellExecuteFunction& ShellExecuteHook();

// Starts the request elevated ("runas"); the result is not examined.
void StartClientElevated(const quill::launcher::LaunchRequest& request);

// Text of a BSTR in the system's multi-byte code page.
std::string BstrToAnsi(const wchar_t* text, UINT length);

// Starts the worker that sends kCloseMessage to window. The worker keeps the library loaded
// until it has ended; when no thread can be started the message is posted instead.
void StartCloseWorker(HWND window);

}  // namespace quillstart
