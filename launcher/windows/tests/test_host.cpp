#include "test_host.h"

#include <cstdio>

#include "launcher/install_dir.h"

namespace quillstart::test {

STDMETHODIMP PropertyBag::QueryInterface(REFIID iid, void** out) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPropertyBag)) {
        *out = static_cast<IPropertyBag*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP PropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
    auto it = params.find(name);
    if (it == params.end()) return E_INVALIDARG;
    const VARTYPE wanted = value->vt;
    VARIANT text;
    VariantInit(&text);
    text.vt = VT_BSTR;
    text.bstrVal = SysAllocStringLen(it->second.data(), static_cast<UINT>(it->second.size()));
    if (wanted == VT_EMPTY || wanted == VT_BSTR) {
        *value = text;
        return S_OK;
    }
    VariantInit(value);
    const HRESULT hr = VariantChangeType(value, &text, 0, wanted);
    VariantClear(&text);
    return hr;
}

STDMETHODIMP EventSink::QueryInterface(REFIID iid, void** out) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
        *out = static_cast<IDispatch*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP EventSink::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}

STDMETHODIMP EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                               UINT*) {
    received.push_back(id);
    return S_OK;
}

STDMETHODIMP Site::QueryInterface(REFIID iid, void** out) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
        *out = static_cast<IOleClientSite*>(this);
    else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite))
        *out = static_cast<IOleInPlaceSite*>(this);
    else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    return S_OK;
}

STDMETHODIMP Site::GetWindow(HWND* window) {
    *window = window_;
    return S_OK;
}

STDMETHODIMP Site::OnInPlaceActivate() {
    ++activations;
    return S_OK;
}

STDMETHODIMP Site::OnInPlaceDeactivate() {
    ++deactivations;
    return S_OK;
}

STDMETHODIMP Site::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                    LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO) {
    *frame = nullptr;
    *doc = nullptr;
    SetRect(position, 0, 0, 120, 40);
    *clip = *position;
    return S_OK;
}

HWND CreateHostWindow() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QuillstartTestHost";
        registered = RegisterClassW(&wc) != 0;
    }
    return CreateWindowExW(0, L"QuillstartTestHost", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > milliseconds) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

std::string InstallFolder() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\'));
}

void SetInstallDirRaw(DWORD type, const std::string& bytes) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, quill::launcher::kInstallKey, 0, nullptr, 0, KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
        std::printf("  cannot create the installation key\n");
        return;
    }
    // A byte that is not NUL after the data: the registry would otherwise count a terminator
    // that follows the data into it, and an unterminated value could not be written.
    const std::string guarded = bytes + 'X';
    RegSetValueExA(key, quill::launcher::kInstallDirName, 0, type,
                   reinterpret_cast<const BYTE*>(guarded.data()), static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

void SetInstallDir(const std::string& folder) {
    SetInstallDirRaw(REG_SZ, std::string(folder.c_str(), folder.size() + 1));
}

void RemoveInstallDir() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, quill::launcher::kInstallKey, 0, KEY_WRITE, &key) !=
        ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, quill::launcher::kInstallDirName);
    RegCloseKey(key);
}

std::vector<std::string> RecordedLaunches() {
    std::vector<std::string> launches;
    std::FILE* in = std::fopen((InstallFolder() + "\\launches.txt").c_str(), "rb");
    if (!in) return launches;
    std::string current;
    int c;
    while ((c = std::fgetc(in)) != EOF) {
        if (c == 0) {
            launches.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(c);
        }
    }
    std::fclose(in);
    return launches;
}

void ClearLaunches() { DeleteFileA((InstallFolder() + "\\launches.txt").c_str()); }

std::vector<std::string> WaitForLaunches(size_t count, DWORD milliseconds) {
    std::vector<std::string> launches;
    PumpUntil(
        [&] {
            launches = RecordedLaunches();
            return launches.size() >= count;
        },
        milliseconds);
    return launches;
}

}  // namespace quillstart::test
