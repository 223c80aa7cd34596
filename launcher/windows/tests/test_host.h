// A minimal page for the control's tests: a host window and site, the element's parameters as a
// property bag, an event sink, and the installation the control starts from.
#pragma once

// windows.h comes before every other Windows header.
#include <windows.h>

#include <ocidl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace quillstart::test {

// The element's parameters; reads answer in the asked type, as a browser's bag does.
class PropertyBag : public IPropertyBag {
public:
    std::map<std::wstring, std::wstring> params;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override;
    STDMETHODIMP Write(LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }
};

// Counts the events it receives by dispatch id.
class EventSink : public IDispatch {
public:
    std::vector<DISPID> received;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                        UINT*) override;
};

// The client site and in-place site of one control in the host window.
class Site : public IOleClientSite, public IOleInPlaceSite {
public:
    explicit Site(HWND window) : window_(window) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP SaveObject() override { return S_OK; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP GetContainer(IOleContainer**) override { return E_NOINTERFACE; }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override;
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                  LPRECT position, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO info) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override;
    STDMETHODIMP DiscardUndoState() override { return S_OK; }
    STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    int activations = 0;
    int deactivations = 0;

private:
    HWND window_;
};

// A top-level window for the controls, hidden.
HWND CreateHostWindow();
// Dispatches messages until done says so or the time is up; returns done's last answer.
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds);

// The installation the control reads: a folder holding the recorder as Quillmark.exe.
std::string InstallFolder();
// Sets INSTALL_DIR (type and raw bytes as given); RemoveInstallDir deletes the value.
void SetInstallDirRaw(DWORD type, const std::string& bytes);
void SetInstallDir(const std::string& folder);
void RemoveInstallDir();
// The command line tails the recorder wrote, in launch order; ClearLaunches forgets them.
std::vector<std::string> RecordedLaunches();
void ClearLaunches();
// Waits for count launches to be recorded (the client starts asynchronously).
std::vector<std::string> WaitForLaunches(size_t count, DWORD milliseconds);

}  // namespace quillstart::test
