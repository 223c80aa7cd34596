// The library's entry point and its exported class objects.
#include <windows.h>

#include <new>

#include "class_factory.h"
#include "module.h"
#include "prop_page.h"
#include "quillstart_ctrl.h"
#include "quillstart_ids.h"
#include "quillstart_window.h"

using namespace quillstart;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        SetModuleInstance(instance);
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        UnregisterControlWindowClass();
    }
    return TRUE;
}

extern "C" HRESULT __stdcall DllCanUnloadNow() { return ModuleLocks() == 0 ? S_OK : S_FALSE; }

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    ClassFactory::Creator creator = nullptr;
    if (IsEqualCLSID(clsid, CLSID_Quillstart))
        creator = &QuillstartCtrl::Create;
    else if (IsEqualCLSID(clsid, kClsidPropPage))
        creator = &QuillstartPropPage::Create;
    else
        return CLASS_E_CLASSNOTAVAILABLE;
    ClassFactory* factory = new (std::nothrow) ClassFactory(creator);
    if (!factory) return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(iid, out);
    factory->Release();
    return hr;
}
