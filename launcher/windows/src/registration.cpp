// Self-registration: the type library, the control and property page classes, and the two
// safe-for-scripting categories.
// windows.h comes before every other Windows header.
#include <windows.h>

#include <comcat.h>
#include <oleauto.h>

#include <string>

#include "module.h"
#include "quillstart_ids.h"

using namespace quillstart;

namespace {

constexpr HRESULT kTypeLibError = static_cast<HRESULT>(0x80040200);  // SELFREG_E_TYPELIB
constexpr HRESULT kClassError = static_cast<HRESULT>(0x80040201);    // SELFREG_E_CLASS
constexpr LCID kLocale = 0x409;

std::wstring GuidText(REFGUID guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

bool SetValue(const std::wstring& keyPath, const wchar_t* name, const std::wstring& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const LONG status =
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool DeleteTree(const std::wstring& keyPath) {
    const LONG status = RegDeleteTreeW(HKEY_CLASSES_ROOT, keyPath.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) return false;
    RegDeleteKeyW(HKEY_CLASSES_ROOT, keyPath.c_str());
    return true;
}

std::wstring TypeName() {
    wchar_t text[128] = {};
    if (LoadStringW(ModuleInstance(), kTypeNameString, text, 128) > 0) return text;
    return L"Quillstart Control";
}

bool RegisterClasses(const std::wstring& path) {
    const std::wstring name = TypeName();
    const std::wstring clsid = L"CLSID\\" + GuidText(CLSID_Quillstart);
    const std::wstring pageClsid = L"CLSID\\" + GuidText(kClsidPropPage);
    return SetValue(clsid, nullptr, name) && SetValue(clsid + L"\\Control", nullptr, L"") &&
           SetValue(clsid + L"\\InprocServer32", nullptr, path) &&
           SetValue(clsid + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
           SetValue(clsid + L"\\ProgID", nullptr, kControlProgId) &&
           SetValue(clsid + L"\\ToolboxBitmap32", nullptr,
                    path + L", " + std::to_wstring(kToolboxBitmap)) &&
           SetValue(clsid + L"\\MiscStatus", nullptr, L"0") &&
           SetValue(clsid + L"\\MiscStatus\\1", nullptr, std::to_wstring(kMiscStatus)) &&
           SetValue(clsid + L"\\TypeLib", nullptr, GuidText(LIBID_QuillstartLib)) &&
           SetValue(clsid + L"\\Version", nullptr, L"1.0") &&
           SetValue(kControlProgId, nullptr, name) &&
           SetValue(std::wstring(kControlProgId) + L"\\CLSID", nullptr,
                    GuidText(CLSID_Quillstart)) &&
           SetValue(pageClsid, nullptr, L"Quillstart Property Page") &&
           SetValue(pageClsid + L"\\InprocServer32", nullptr, path) &&
           SetValue(pageClsid + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
           SetValue(pageClsid + L"\\ProgID", nullptr, kPropPageProgId) &&
           SetValue(kPropPageProgId, nullptr, L"Quillstart Property Page") &&
           SetValue(std::wstring(kPropPageProgId) + L"\\CLSID", nullptr, GuidText(kClsidPropPage));
}

bool UnregisterClasses() {
    const std::wstring clsid = L"CLSID\\" + GuidText(CLSID_Quillstart);
    bool ok = true;
    // The category marks under the class stay; everything else of it goes.
    for (const wchar_t* sub : {L"\\Control", L"\\InprocServer32", L"\\ProgID", L"\\ToolboxBitmap32",
                               L"\\MiscStatus", L"\\TypeLib", L"\\Version"})
        ok = DeleteTree(clsid + sub) && ok;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, clsid.c_str(), 0, KEY_WRITE | KEY_READ, &key) ==
        ERROR_SUCCESS) {
        RegDeleteValueW(key, nullptr);
        DWORD subkeys = 0;
        RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr);
        RegCloseKey(key);
        if (subkeys == 0) RegDeleteKeyW(HKEY_CLASSES_ROOT, clsid.c_str());
    }
    ok = DeleteTree(kControlProgId) && ok;
    ok = DeleteTree(L"CLSID\\" + GuidText(kClsidPropPage)) && ok;
    ok = DeleteTree(kPropPageProgId) && ok;
    return ok;
}

bool RegisterCategories() {
    ICatRegister* categories = nullptr;
    if (FAILED(CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                                IID_ICatRegister, reinterpret_cast<void**>(&categories))))
        return false;
    CATEGORYINFO info[2] = {};
    info[0].catid = kCatidSafeForScripting;
    info[0].lcid = kLocale;
    wcscpy(info[0].szDescription, L"Controls that are safely scriptable");
    info[1].catid = kCatidSafeForInitializing;
    info[1].lcid = kLocale;
    wcscpy(info[1].szDescription, L"Controls safely initializable from persistent data");
    bool ok = SUCCEEDED(categories->RegisterCategories(2, info));
    for (int i = 0; ok && i < 2; ++i) {
        CATID one = info[i].catid;
        ok = SUCCEEDED(categories->RegisterClassImplCategories(CLSID_Quillstart, 1, &one));
    }
    categories->Release();
    return ok;
}

}  // namespace

extern "C" HRESULT __stdcall DllRegisterServer() {
    const std::wstring path = ModulePath();
    if (path.empty()) return kTypeLibError;
    ITypeLib* library = nullptr;
    if (FAILED(LoadTypeLibEx(path.c_str(), REGKIND_REGISTER, &library))) return kTypeLibError;
    library->Release();
    if (!RegisterClasses(path)) return kClassError;
    if (!RegisterCategories()) return kClassError;
    return S_OK;
}

extern "C" HRESULT __stdcall DllUnregisterServer() {
#ifdef _WIN64
    constexpr SYSKIND kSysKind = SYS_WIN64;
#else
    constexpr SYSKIND kSysKind = SYS_WIN32;
#endif
    if (FAILED(UnRegisterTypeLib(LIBID_QuillstartLib, 1, 0, kLocale, kSysKind)))
        return kTypeLibError;
    if (!UnregisterClasses()) return kClassError;
    return S_OK;
}
