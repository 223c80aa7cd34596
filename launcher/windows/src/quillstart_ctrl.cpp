#include "quillstart_ctrl.h"

#include <new>

#include "launcher/launch_run.h"
#include "module.h"
#include "quillstart_ids.h"
#include "quillstart_window.h"
#include "windows_launch.h"

namespace quillstart {

namespace {

struct ScriptProperty {
    const wchar_t* name;
    bool isLong;
};

// Dispatch ids 1 to 28, in this order.
const ScriptProperty kScriptProperties[28] = {
    {L"SERVER", false},           {L"PORT", true},
    {L"ECM_HOST", false},         {L"ECM_PORT", true},
    {L"ECM_SERVER_ID", false},    {L"KESTRON", false},
    {L"FST_REG_USER_ID", false},  {L"INCHRG_USER_ID", false},
    {L"SQURVW_MNO", true},        {L"PATCP_SEQ", true},
    {L"REPATCP_SEQ", true},       {L"RVW_FILE_SEQ", true},
    {L"FILE_ID", false},          {L"USER_COLOR", false},
    {L"PATCP_CLS_CD", false},     {L"PROG_CLS_CD", false},
    {L"SQUAD_DOC_NO", false},     {L"SQUAD_DOC_NM", false},
    {L"NEXT_PLAN_YMD_CD", false}, {L"NEXT_REVISN_NO", false},
    {L"SITE_USE_NM", false},      {L"USER_KNM", false},
    {L"SITE_CD", false},          {L"OWNER_YN", false},
    {L"SQUAD_SQ_NUM", true},      {L"AQUAD_KIND_CD", false},
    {L"TGT_SQURVW_MNO", true},    {L"STS_CD", false},
};

constexpr DISPID kDispidAboutBox = -552;

HRESULT LoadTypeInfo(REFGUID guid, ITypeInfo** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    ITypeLib* library = nullptr;
    const std::wstring path = ModulePath();
    HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library);
    if (FAILED(hr)) return hr;
    hr = library->GetTypeInfoOfGuid(guid, out);
    library->Release();
    return hr;
}

// Reads one element parameter through the page's property bag.
class BagSource : public quill::launcher::LaunchValueSource {
public:
    BagSource(IPropertyBag* bag, IErrorLog* log) : bag_(bag), log_(log) {}

    bool ReadText(const char* name, std::string& out) override {
        VARIANT value;
        if (!Read(name, VT_BSTR, value)) return false;
        out = BstrToAnsi(value.bstrVal, SysStringLen(value.bstrVal));
        VariantClear(&value);
        return true;
    }
    bool ReadNumber(const char* name, int32_t& out) override {
        VARIANT value;
        if (!Read(name, VT_I4, value)) return false;
        out = value.lVal;
        VariantClear(&value);
        return true;
    }

private:
    bool Read(const char* name, VARTYPE type, VARIANT& value) {
        std::wstring wide;
        for (const char* p = name; *p; ++p) wide += static_cast<wchar_t>(*p);
        VariantInit(&value);
        value.vt = type;
        if (FAILED(bag_->Read(wide.c_str(), &value, log_))) {
            VariantClear(&value);
            return false;
        }
        // A bag may answer in another type; what cannot be read as the asked one is missing.
        if (value.vt != type && FAILED(VariantChangeType(&value, &value, 0, type))) {
            VariantClear(&value);
            return false;
        }
        return true;
    }

    IPropertyBag* bag_;
    IErrorLog* log_;
};

}  // namespace

// ---- connection point ----

EventConnectionPoint::~EventConnectionPoint() {
    for (IDispatch* sink : sinks_)
        if (sink) sink->Release();
}

STDMETHODIMP EventConnectionPoint::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
        *out = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) EventConnectionPoint::AddRef() { return owner_.AddRef(); }
STDMETHODIMP_(ULONG) EventConnectionPoint::Release() { return owner_.Release(); }

STDMETHODIMP EventConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = DIID__DQuillstartEvents;
    return S_OK;
}

STDMETHODIMP EventConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
    if (!out) return E_POINTER;
    *out = static_cast<IConnectionPointContainer*>(&owner_);
    owner_.AddRef();
    return S_OK;
}

STDMETHODIMP EventConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie) return E_POINTER;
    *cookie = 0;
    IDispatch* dispatch = nullptr;
    if (FAILED(
            sink->QueryInterface(DIID__DQuillstartEvents, reinterpret_cast<void**>(&dispatch))) &&
        FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
        return CONNECT_E_CANNOTCONNECT;
    try {
        sinks_.push_back(dispatch);
    } catch (...) {
        dispatch->Release();
        return E_OUTOFMEMORY;
    }
    *cookie = static_cast<DWORD>(sinks_.size());
    return S_OK;
}

STDMETHODIMP EventConnectionPoint::Unadvise(DWORD cookie) {
    if (cookie == 0 || cookie > sinks_.size() || !sinks_[cookie - 1]) return CONNECT_E_NOCONNECTION;
    IDispatch* sink = sinks_[cookie - 1];
    sinks_[cookie - 1] = nullptr;
    sink->Release();
    return S_OK;
}

STDMETHODIMP EventConnectionPoint::EnumConnections(IEnumConnections** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

void EventConnectionPoint::Fire(DISPID id) {
    // A sink may unadvise or release the control while it is called: work on a held copy.
    std::vector<IDispatch*> sinks;
    try {
        sinks = sinks_;
    } catch (...) {
        return;
    }
    for (IDispatch* sink : sinks)
        if (sink) sink->AddRef();
    for (IDispatch* sink : sinks) {
        if (!sink) continue;
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr,
                     nullptr);
        sink->Release();
    }
}

// ---- the control ----

QuillstartCtrl::QuillstartCtrl() : events_(*this) { LockModule(); }

QuillstartCtrl::~QuillstartCtrl() {
    DestroyControlWindow();
    if (inPlaceSite_) inPlaceSite_->Release();
    if (clientSite_) clientSite_->Release();
    UnlockModule();
}

HRESULT QuillstartCtrl::Create(REFIID iid, void** out) {
    QuillstartCtrl* control = new (std::nothrow) QuillstartCtrl();
    if (!control) return E_OUTOFMEMORY;
    const HRESULT hr = control->QueryInterface(iid, out);
    control->Release();
    return hr;
}

STDMETHODIMP QuillstartCtrl::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, DIID__DQuillstart))
        *out = static_cast<IDispatch*>(this);
    else if (IsEqualIID(iid, IID_IOleObject))
        *out = static_cast<IOleObject*>(this);
    else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceObject))
        *out = static_cast<IOleInPlaceObject*>(this);
    else if (IsEqualIID(iid, IID_IPersistPropertyBag))
        *out = static_cast<IPersistPropertyBag*>(this);
    else if (IsEqualIID(iid, IID_IPersist) || IsEqualIID(iid, IID_IPersistStreamInit))
        *out = static_cast<IPersistStreamInit*>(this);
    else if (IsEqualIID(iid, IID_IConnectionPointContainer))
        *out = static_cast<IConnectionPointContainer*>(this);
    else if (IsEqualIID(iid, IID_IProvideClassInfo) || IsEqualIID(iid, IID_IProvideClassInfo2))
        *out = static_cast<IProvideClassInfo2*>(this);
    else if (IsEqualIID(iid, IID_ISpecifyPropertyPages))
        *out = static_cast<ISpecifyPropertyPages*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) QuillstartCtrl::AddRef() { return InterlockedIncrement(&refs_); }

STDMETHODIMP_(ULONG) QuillstartCtrl::Release() {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return left;
}

// ---- IDispatch ----

STDMETHODIMP QuillstartCtrl::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

STDMETHODIMP QuillstartCtrl::GetTypeInfo(UINT index, LCID, ITypeInfo** out) {
    if (index != 0) return DISP_E_BADINDEX;
    return LoadTypeInfo(DIID__DQuillstart, out);
}

STDMETHODIMP QuillstartCtrl::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids || count == 0) return E_POINTER;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    if (!names[0]) return DISP_E_UNKNOWNNAME;
    if (_wcsicmp(names[0], L"AboutBox") == 0) {
        ids[0] = kDispidAboutBox;
    } else {
        for (DISPID id = 1; id <= 28; ++id)
            if (_wcsicmp(names[0], kScriptProperties[id - 1].name) == 0) ids[0] = id;
    }
    if (ids[0] == DISPID_UNKNOWN || count > 1) hr = DISP_E_UNKNOWNNAME;
    return hr;
}

STDMETHODIMP QuillstartCtrl::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                    VARIANT* result, EXCEPINFO*, UINT* argError) {
    if (id == kDispidAboutBox) {
        if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
        MessageBoxW(window_, L"Quillstart Control, \uBC84\uC804 1.0", L"Quillstart Control",
                    MB_OK | MB_ICONINFORMATION);
        return S_OK;
    }
    if (id < 1 || id > 28) return DISP_E_MEMBERNOTFOUND;
    const ScriptProperty& property = kScriptProperties[id - 1];
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        if (!params || params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
        VARIANT value;
        VariantInit(&value);
        const HRESULT hr =
            VariantChangeType(&value, &params->rgvarg[0], 0, property.isLong ? VT_I4 : VT_BSTR);
        if (FAILED(hr)) {
            if (argError) *argError = 0;
            return DISP_E_TYPEMISMATCH;
        }
        if (property.isLong)
            numbers_[id - 1] = value.lVal;
        else
            texts_[id - 1].assign(value.bstrVal ? value.bstrVal : L"", SysStringLen(value.bstrVal));
        VariantClear(&value);
        modified_ = true;
        return S_OK;
    }
    if (flags & DISPATCH_PROPERTYGET) {
        if (!result) return S_OK;
        VariantInit(result);
        if (property.isLong) {
            result->vt = VT_I4;
            result->lVal = numbers_[id - 1];
        } else {
            const std::wstring& text = texts_[id - 1];
            result->vt = VT_BSTR;
            result->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
            if (!result->bstrVal) return E_OUTOFMEMORY;
        }
        return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
}

// ---- IOleObject ----

STDMETHODIMP QuillstartCtrl::SetClientSite(IOleClientSite* site) {
    if (site) site->AddRef();
    if (clientSite_) clientSite_->Release();
    clientSite_ = site;
    return S_OK;
}

STDMETHODIMP QuillstartCtrl::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    *site = clientSite_;
    if (clientSite_) clientSite_->AddRef();
    return S_OK;
}

STDMETHODIMP QuillstartCtrl::Close(DWORD) {
    InPlaceDeactivate();
    return S_OK;
}

STDMETHODIMP QuillstartCtrl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                                    LPCRECT rect) {
    switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_INPLACEACTIVATE:
        case OLEIVERB_UIACTIVATE:
            if (site && !clientSite_) SetClientSite(site);
            return ActivateInPlace(parent, rect);
        case OLEIVERB_HIDE:
            if (window_) ShowWindow(window_, SW_HIDE);
            return S_OK;
        default:
            return OLEOBJ_S_INVALIDVERB;
    }
}

STDMETHODIMP QuillstartCtrl::GetUserClassID(CLSID* clsid) { return GetClassID(clsid); }

STDMETHODIMP QuillstartCtrl::SetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    extent_ = *size;
    return S_OK;
}

STDMETHODIMP QuillstartCtrl::GetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    *size = extent_;
    return S_OK;
}

STDMETHODIMP QuillstartCtrl::GetMiscStatus(DWORD, DWORD* status) {
    if (!status) return E_POINTER;
    *status = kMiscStatus;
    return S_OK;
}

HRESULT QuillstartCtrl::ActivateInPlace(HWND parent, LPCRECT rect) {
    if (window_) return S_OK;
    if (!clientSite_) return E_UNEXPECTED;
    IOleInPlaceSite* site = nullptr;
    if (FAILED(clientSite_->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&site))))
        return E_NOINTERFACE;
    if (site->CanInPlaceActivate() != S_OK) {
        site->Release();
        return E_FAIL;
    }
    site->OnInPlaceActivate();
    HWND siteWindow = nullptr;
    if (SUCCEEDED(site->GetWindow(&siteWindow)) && siteWindow) parent = siteWindow;
    RECT position = rect ? *rect : RECT{0, 0, 100, 30};
    RECT clip = position;
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* document = nullptr;
    OLEINPLACEFRAMEINFO frameInfo = {};
    frameInfo.cb = sizeof frameInfo;
    if (SUCCEEDED(site->GetWindowContext(&frame, &document, &position, &clip, &frameInfo))) {
        if (frame) frame->Release();
        if (document) document->Release();
    }
    if (inPlaceSite_) inPlaceSite_->Release();
    inPlaceSite_ = site;
    // The window's creation starts the client (OnCreate).
    AddRef();  // the launch may end with the page releasing the control
    HWND window = CreateControlWindow(this, parent, position);
    Release();
    if (!window) {
        inPlaceSite_ = nullptr;
        site->OnInPlaceDeactivate();
        site->Release();
        return E_FAIL;
    }
    return S_OK;
}

void QuillstartCtrl::DestroyControlWindow() {
    if (!window_) return;
    HWND window = window_;
    window_ = nullptr;
    DetachControlWindow(window);
    DestroyWindow(window);
}

// ---- IOleInPlaceObject ----

STDMETHODIMP QuillstartCtrl::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = window_;
    return window_ ? S_OK : E_FAIL;
}

STDMETHODIMP QuillstartCtrl::InPlaceDeactivate() {
    DestroyControlWindow();
    if (inPlaceSite_) {
        IOleInPlaceSite* site = inPlaceSite_;
        inPlaceSite_ = nullptr;
        site->OnInPlaceDeactivate();
        site->Release();
    }
    return S_OK;
}

STDMETHODIMP QuillstartCtrl::SetObjectRects(LPCRECT position, LPCRECT) {
    if (!position) return E_POINTER;
    if (window_)
        MoveWindow(window_, position->left, position->top, position->right - position->left,
                   position->bottom - position->top, TRUE);
    return S_OK;
}

// ---- persistence ----

STDMETHODIMP QuillstartCtrl::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = CLSID_Quillstart;
    return S_OK;
}

STDMETHODIMP QuillstartCtrl::InitNew() {
    values_ = quill::launcher::LaunchValues{};
    return S_OK;
}

STDMETHODIMP QuillstartCtrl::Load(IPropertyBag* bag, IErrorLog* log) {
    if (!bag) return E_POINTER;
    try {
        BagSource source(bag, log);
        // The standard control properties come first; only the extent is kept.
        int32_t width = 0;
        int32_t height = 0;
        if (source.ReadNumber("_ExtentX", width) && source.ReadNumber("_ExtentY", height) &&
            width > 0 && height > 0)
            extent_ = SIZEL{width, height};
        // Every load starts from nothing: a parameter this page leaves out is never one that an
        // earlier page or another control gave.
        values_ = quill::launcher::LoadLaunchValues(source);
    } catch (...) {
        values_ = quill::launcher::LaunchValues{};
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

STDMETHODIMP QuillstartCtrl::Load(LPSTREAM) { return InitNew(); }

STDMETHODIMP QuillstartCtrl::Save(LPSTREAM, BOOL clearDirty) {
    if (clearDirty) modified_ = false;
    return S_OK;
}

STDMETHODIMP QuillstartCtrl::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    size->QuadPart = 0;
    return S_OK;
}

// ---- events, class info, pages ----

STDMETHODIMP QuillstartCtrl::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, DIID__DQuillstartEvents)) return CONNECT_E_NOCONNECTION;
    *out = &events_;
    events_.AddRef();
    return S_OK;
}

STDMETHODIMP QuillstartCtrl::GetClassInfo(ITypeInfo** out) {
    return LoadTypeInfo(CLSID_Quillstart, out);
}

STDMETHODIMP QuillstartCtrl::GetGUID(DWORD kind, GUID* guid) {
    if (!guid) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
    *guid = DIID__DQuillstartEvents;
    return S_OK;
}

STDMETHODIMP QuillstartCtrl::GetPages(CAUUID* pages) {
    if (!pages) return E_POINTER;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
    if (!pages->pElems) {
        pages->cElems = 0;
        return E_OUTOFMEMORY;
    }
    pages->cElems = 1;
    pages->pElems[0] = kClsidPropPage;
    return S_OK;
}

// ---- the window's messages ----

void QuillstartCtrl::OnCreate(HWND window) {
    window_ = window;
    bool closing = false;
    try {
        const std::string folder = ReadInstallDirFromRegistry();
        InvalidateRect(window, nullptr, TRUE);
        quill::launcher::LaunchHooks hooks;
        hooks.start = &StartClientElevated;
        hooks.close = [window, &closing] {
            closing = true;
            StartCloseWorker(window);
        };
        hooks.log = [](const std::string& message) {
            OutputDebugStringA(("Quillstart: " + message + "\n").c_str());
        };
        quill::launcher::RunLaunch(folder, kClientExe, '\\', values_, hooks);
    } catch (...) {
        // Nothing reaches the page: the launch failed, and the event below still tells it so.
    }
    // The page waits for CloseIE whatever happened.
    if (!closing) StartCloseWorker(window);
}

void QuillstartCtrl::OnCloseMessage() {
    AddRef();  // the page may release the control from its handler
    events_.Fire(kDispidCloseIE);
    Release();
}

}  // namespace quillstart
