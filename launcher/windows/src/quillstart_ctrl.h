// The Quillstart control: the object a review page embeds to start the client.
#pragma once

// windows.h comes before every other Windows header.
#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "launcher/launch_values.h"

namespace quillstart {

class QuillstartCtrl;

// The one connection point, for the event interface.
class EventConnectionPoint : public IConnectionPoint {
public:
    explicit EventConnectionPoint(QuillstartCtrl& owner) : owner_(owner) {}
    ~EventConnectionPoint();

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** out) override;

    // Calls every sink's dispatch id with no arguments.
    void Fire(DISPID id);

private:
    QuillstartCtrl& owner_;
    std::vector<IDispatch*> sinks_;  // the cookie is the index plus one; released slots are null
};

class QuillstartCtrl : public IDispatch,
                       public IOleObject,
                       public IOleInPlaceObject,
                       public IPersistPropertyBag,
                       public IPersistStreamInit,
                       public IConnectionPointContainer,
                       public IProvideClassInfo2,
                       public ISpecifyPropertyPages {
public:
    static HRESULT Create(REFIID iid, void** out);

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch: the script properties and AboutBox
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** out) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO*, UINT* argError) override;

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override;
    STDMETHODIMP GetClientSite(IOleClientSite** site) override;
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD) override;
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                        LPCRECT rect) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return OLEOBJ_E_NOVERBS; }
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* clsid) override;
    STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return OLE_S_USEREG; }
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP Unadvise(DWORD) override { return OLE_E_NOCONNECTION; }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceObject
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override { return S_OK; }
    STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

    // IPersist, IPersistPropertyBag, IPersistStreamInit
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    STDMETHODIMP InitNew() override;
    STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
    STDMETHODIMP Save(IPropertyBag*, BOOL, BOOL) override { return S_OK; }
    STDMETHODIMP IsDirty() override { return modified_ ? S_OK : S_FALSE; }
    STDMETHODIMP Load(LPSTREAM) override;
    STDMETHODIMP Save(LPSTREAM, BOOL clearDirty) override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

    // IProvideClassInfo2
    STDMETHODIMP GetClassInfo(ITypeInfo** out) override;
    STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

    // ISpecifyPropertyPages
    STDMETHODIMP GetPages(CAUUID* pages) override;

    // The window's messages.
    void OnCreate(HWND window);
    void OnCloseMessage();
    void OnWindowGone() { window_ = nullptr; }

    const quill::launcher::LaunchValues& launchValues() const { return values_; }

private:
    QuillstartCtrl();
    virtual ~QuillstartCtrl();
    HRESULT ActivateInPlace(HWND parent, LPCRECT rect);
    void DestroyControlWindow();

    LONG refs_ = 1;
    EventConnectionPoint events_;
    IOleClientSite* clientSite_ = nullptr;
    IOleInPlaceSite* inPlaceSite_ = nullptr;
    HWND window_ = nullptr;
    SIZEL extent_ = {2540, 2540};  // HIMETRIC, one inch
    bool modified_ = false;
    // The script properties, members of this object only; the launch never reads them.
    std::wstring texts_[28];
    LONG numbers_[28] = {};
    // This control's own launch values, read from its element's parameters.
    quill::launcher::LaunchValues values_;
};

}  // namespace quillstart
