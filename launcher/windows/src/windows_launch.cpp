#include "windows_launch.h"

#include <vector>

#include "launcher/install_dir.h"
#include "module.h"
#include "quillstart_ids.h"

namespace quillstart {

namespace {

DWORD WINAPI CloseWorker(LPVOID param) {
    // Sends, never posts: the control fires its event before the worker lets go of the library.
    SendMessageW(static_cast<HWND>(param), kCloseMessage, 0, 0);
    UnlockModule();
    HMODULE self = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&CloseWorker), &self);
    FreeLibraryAndExitThread(self, 0);
    return 0;
}

}  // namespace

std::string ReadInstallDirFromRegistry() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, quill::launcher::kInstallKey, 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return {};
    std::vector<quill::launcher::RegistryValue> values;
    for (DWORD index = 0;; ++index) {
        char name[quill::launcher::kRegistryBufferBytes];
        DWORD nameLength = sizeof name;
        DWORD type = 0;
        DWORD dataLength = 0;
        LONG status =
            RegEnumValueA(key, index, name, &nameLength, nullptr, &type, nullptr, &dataLength);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS) continue;  // a name too long for the buffer
        quill::launcher::RegistryValue value;
        value.name.assign(name, nameLength);
        value.type = type;
        if (dataLength > quill::launcher::kRegistryBufferBytes) {
            // Too large for the buffer: kept at its size so that it counts as missing.
            value.data.assign(dataLength, 'x');
        } else {
            BYTE data[quill::launcher::kRegistryBufferBytes];
            nameLength = sizeof name;
            DWORD readLength = sizeof data;
            status =
                RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data, &readLength);
            if (status != ERROR_SUCCESS) continue;
            value.type = type;
            value.data.assign(reinterpret_cast<const char*>(data), readLength);
        }
        values.push_back(std::move(value));
    }
    RegCloseKey(key);
    return quill::launcher::PickInstallDir(values);
}

ShellExecuteFunction& ShellExecuteHook() {
    static ShellExecuteFunction function = &ShellExecuteExA;
    return function;
}

void StartClientElevated(const quill::launcher::LaunchRequest& request) {
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = kShellExecuteMask;
    info.hwnd = nullptr;
    info.lpVerb = "runas";
    info.lpFile = request.file.c_str();
    info.lpParameters = request.parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteHook()(&info);
}

std::string BstrToAnsi(const wchar_t* text, UINT length) {
    if (!text || length == 0) return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0,
                                         nullptr, nullptr);
    if (size <= 0) return {};
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), out.data(), size, nullptr,
                        nullptr);
    return out;
}

void StartCloseWorker(HWND window) {
    HMODULE pinned = nullptr;
    if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                           reinterpret_cast<LPCWSTR>(&CloseWorker), &pinned)) {
        LockModule();
        HANDLE thread = CreateThread(nullptr, 0, &CloseWorker, window, 0, nullptr);
        if (thread) {
            CloseHandle(thread);  // never joined: the UI thread must not wait on a blocked send
            return;
        }
        UnlockModule();
        FreeLibrary(pinned);
    }
    PostMessageW(window, kCloseMessage, 0, 0);
}

}  // namespace quillstart
