// The registered control, driven as a page and a browser drive it: registration keys, creation
// by ProgID, script properties, element parameters, in-place activation launching the recorder,
// and CloseIE through the connection point.
// windows.h comes before every other Windows header.
#include <windows.h>

#include <comcat.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "launcher/launch_string.h"
#include "quillstart_ids.h"
#include "test_host.h"
#include "test_main.h"

using namespace quillstart;
using namespace quillstart::test;

namespace {

const wchar_t* kControlClsid = L"{938A09FD-C731-40AB-8A55-8E0485068470}";
const wchar_t* kLibId = L"{732DE98D-5BA5-424A-B750-1A7A0677C759}";
const wchar_t* kPageClsid = L"{079296C0-1997-4C9E-952C-1D930B959AF1}";
const wchar_t* kScriptingCat = L"{7DD95801-9882-11CF-9FA9-00AA006C42C4}";
const wchar_t* kInitializingCat = L"{7DD95802-9882-11CF-9FA9-00AA006C42C4}";
constexpr DWORD kWait = 10000;

bool KeyExists(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::wstring KeyText(const std::wstring& path, const wchar_t* name = nullptr) {
    wchar_t text[512] = {};
    DWORD size = sizeof text - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CLASSES_ROOT, path.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &size) !=
        ERROR_SUCCESS)
        return L"<missing>";
    return text;
}

bool EndsWith(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

template <class T>
T* As(IUnknown* object, REFIID iid) {
    T* out = nullptr;
    if (!object || FAILED(object->QueryInterface(iid, reinterpret_cast<void**>(&out))))
        return nullptr;
    return out;
}

IUnknown* CreateByProgId() {
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(kControlProgId, &clsid))) return nullptr;
    IUnknown* control = nullptr;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                reinterpret_cast<void**>(&control))))
        return nullptr;
    return control;
}

DISPID IdOf(IDispatch* dispatch, const wchar_t* name) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
    dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    return id;
}

HRESULT PutProperty(IDispatch* dispatch, DISPID id, VARIANT value) {
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params = {&value, &named, 1, 1};
    return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                            nullptr, nullptr, nullptr);
}

VARIANT GetProperty(IDispatch* dispatch, DISPID id) {
    VARIANT result;
    VariantInit(&result);
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result,
                     nullptr, nullptr);
    return result;
}

VARIANT Text(const wchar_t* text) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(text);
    return v;
}

// One control on the test page: created by ProgID, loaded, advised, activated in the host.
struct PageControl {
    IUnknown* control = nullptr;
    EventSink sink;
    Site site;
    DWORD cookie = 0;

    explicit PageControl(HWND host) : site(host) { control = CreateByProgId(); }
    ~PageControl() { Remove(); }

    bool LoadParams(PropertyBag& bag) {
        IPersistPropertyBag* persist = As<IPersistPropertyBag>(control, IID_IPersistPropertyBag);
        if (!persist) return false;
        persist->InitNew();
        const bool ok = SUCCEEDED(persist->Load(&bag, nullptr));
        persist->Release();
        return ok;
    }

    bool InitWithoutParams() {
        IPersistStreamInit* persist = As<IPersistStreamInit>(control, IID_IPersistStreamInit);
        if (!persist) return false;
        const bool ok = SUCCEEDED(persist->InitNew());
        persist->Release();
        return ok;
    }

    bool Advise() {
        IConnectionPointContainer* container =
            As<IConnectionPointContainer>(control, IID_IConnectionPointContainer);
        if (!container) return false;
        IConnectionPoint* point = nullptr;
        const bool found =
            SUCCEEDED(container->FindConnectionPoint(DIID__DQuillstartEvents, &point));
        container->Release();
        if (!found) return false;
        const bool ok = SUCCEEDED(point->Advise(static_cast<IDispatch*>(&sink), &cookie));
        point->Release();
        return ok;
    }

    bool Activate(HWND host) {
        IOleObject* object = As<IOleObject>(control, IID_IOleObject);
        if (!object) return false;
        object->SetClientSite(&site);
        RECT rect = {0, 0, 120, 40};
        const HRESULT hr = object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, host, &rect);
        object->Release();
        return SUCCEEDED(hr);
    }

    bool WaitForClose() {
        return PumpUntil([this] { return !sink.received.empty(); }, kWait);
    }

    void Remove() {
        if (!control) return;
        if (IOleObject* object = As<IOleObject>(control, IID_IOleObject)) {
            object->Close(OLECLOSE_NOSAVE);
            object->SetClientSite(nullptr);
            object->Release();
        }
        control->Release();
        control = nullptr;
    }
};

void FillEveryParam(PropertyBag& bag) {
    bag.params = {
        {L"_Version", L"65536"},
        {L"_ExtentX", L"2646"},
        {L"_ExtentY", L"1323"},
        {L"_StockProps", L"0"},
        {L"SERVER", L"srv"},
        {L"PORT", L"8087"},
        {L"ECM_HOST", L"ecm"},
        {L"ECM_PORT", L"2104"},
        {L"ECM_SERVER_ID", L"E1"},
        {L"KESTRON", L"DEV"},
        {L"FST_REG_USER_ID", L"u1"},
        {L"INCHRG_USER_ID", L"u2"},
        {L"SQURVW_MNO", L"1001"},
        {L"PATCP_SEQ", L"2"},
        {L"REPATCP_SEQ", L"3"},
        {L"RVW_FILE_SEQ", L"4"},
        {L"FILE_ID", L"el5"},
        {L"USER_COLOR", L"RGB(1,2,3)"},
        {L"PATCP_CLS_CD", L"01"},
        {L"PROG_CLS_CD", L"10"},
        {L"SQUAD_DOC_NO", L"DWG-6"},
        {L"SQUAD_DOC_NM", L"Plot Plan"},
        {L"NEXT_PLAN_YMD_CD", L"IFC"},
        {L"NEXT_REVISN_NO", L"B"},
        {L"SITE_USE_NM", L"Piping"},
        {L"USER_KNM", L"Kim"},
        {L"SITE_CD", L"S01"},
        {L"SQUAD_SQ_NUM", L"7"},
        {L"OWNER_YN", L"Y"},
        {L"TGT_SQURVW_MNO", L"8"},
        {L"STS_CD", L"03"},
        {L"APPR_YN", L"N"},
        {L"AQUAD_KIND_CD", L"9"},
    };
}

const char* kEveryParamString =
    "HOST=srv&PORT=8087&USERID=u1&OPENERID=u2&SQURVWMNO=1001&PATCPSEQ=2&REPATCPSEQ=3&RVWFILESEQ=4"
    "&ELEMENTID=el5&COMMENTCOLOR=RGB(1,2,3)&PATCPCLSCD=01&PROGCLSCD=10&SQUADDOCNO=DWG-6"
    "&SQUADDOCNM=Plot Plan&NEXTPLANYMDCD=IFC&NEXTREVISNNO=B&SITEUSENM=Piping&USERKNM=Kim"
    "&SITECD=S01&OWNER=Y&ECM_HOST=ecm&ECM_PORT=2104&ECM_SERVER_ID=E1&KESTRON=DEV&SQUADSQNUM=7"
    "&TGTSQURVWMNO=8&STSCD=03&APPR=N";

std::string EmptyValuesString() { return quill::launcher::FormatLaunchString({}); }

}  // namespace

QS_TEST(registered, RegistrationWritesTheClassesTypeLibraryAndCategories) {
    const std::wstring clsid = std::wstring(L"CLSID\\") + kControlClsid;
    QS_CHECK(KeyText(clsid) == L"Quillstart Control");
    QS_CHECK(EndsWith(KeyText(clsid + L"\\InprocServer32"), L"quillstart.dll"));
    QS_CHECK(KeyText(clsid + L"\\InprocServer32", L"ThreadingModel") == L"Apartment");
    QS_CHECK(KeyText(clsid + L"\\ProgID") == L"QUILLSTART.QuillstartCtrl.1");
    QS_CHECK(EndsWith(KeyText(clsid + L"\\ToolboxBitmap32"), L"quillstart.dll, 1"));
    QS_CHECK(KeyText(clsid + L"\\MiscStatus\\1") == L"131473");
    QS_CHECK(KeyText(clsid + L"\\TypeLib") == kLibId);
    QS_CHECK(KeyText(clsid + L"\\Version") == L"1.0");
    QS_CHECK(KeyExists(clsid + L"\\Control"));
    QS_CHECK(KeyText(L"QUILLSTART.QuillstartCtrl.1\\CLSID") == kControlClsid);
    QS_CHECK(KeyText(L"QUILLSTARTPP.QuillstartPropPage.1\\CLSID") == kPageClsid);
    QS_CHECK(KeyText(std::wstring(L"CLSID\\") + kPageClsid + L"\\InprocServer32",
                     L"ThreadingModel") == L"Apartment");
    QS_CHECK(KeyExists(clsid + L"\\Implemented Categories\\" + kScriptingCat));
    QS_CHECK(KeyExists(clsid + L"\\Implemented Categories\\" + kInitializingCat));
    QS_CHECK(KeyText(std::wstring(L"Component Categories\\") + kScriptingCat, L"409") ==
             L"Controls that are safely scriptable");
    QS_CHECK(KeyText(std::wstring(L"Component Categories\\") + kInitializingCat, L"409") ==
             L"Controls safely initializable from persistent data");
    // The library is registered under the id the IDL gives it.
    QS_CHECK(KeyExists(std::wstring(L"TypeLib\\") + kLibId + L"\\1.0"));
    ITypeLib* library = nullptr;
    QS_CHECK(SUCCEEDED(LoadRegTypeLib(LIBID_QuillstartLib, 1, 0, 0x409, &library)));
    if (library) {
        TLIBATTR* attr = nullptr;
        library->GetLibAttr(&attr);
        QS_CHECK(attr && IsEqualGUID(attr->guid, LIBID_QuillstartLib));
        QS_CHECK(attr && attr->lcid == 0x409 && attr->wMajorVerNum == 1 && attr->wMinorVerNum == 0);
        library->ReleaseTLibAttr(attr);
        BSTR name = nullptr;
        library->GetDocumentation(-1, &name, nullptr, nullptr, nullptr);
        QS_CHECK(name && std::wstring(name) == L"QuillstartLib");
        SysFreeString(name);
        library->Release();
    }
}

QS_TEST(registered, ScriptPropertiesThroughDispatchEachMarkingTheControlChanged) {
    IUnknown* control = CreateByProgId();
    QS_CHECK(control != nullptr);
    IDispatch* dispatch = As<IDispatch>(control, IID_IDispatch);
    QS_CHECK(dispatch != nullptr);
    if (!dispatch) return;
    QS_CHECK_EQ(IdOf(dispatch, L"SERVER"), 1);
    QS_CHECK_EQ(IdOf(dispatch, L"OWNER_YN"), 24);
    QS_CHECK_EQ(IdOf(dispatch, L"SQUAD_SQ_NUM"), 25);
    QS_CHECK_EQ(IdOf(dispatch, L"AQUAD_KIND_CD"), 26);
    QS_CHECK_EQ(IdOf(dispatch, L"STS_CD"), 28);
    QS_CHECK_EQ(IdOf(dispatch, L"AboutBox"), -552);
    QS_CHECK_EQ(IdOf(dispatch, L"APPR_YN"), DISPID_UNKNOWN);  // an element parameter only

    IPersistStreamInit* persist = As<IPersistStreamInit>(control, IID_IPersistStreamInit);
    QS_CHECK(persist && persist->IsDirty() == S_FALSE);
    VARIANT host = Text(L"script.host");
    QS_CHECK(SUCCEEDED(PutProperty(dispatch, 1, host)));
    VariantClear(&host);
    QS_CHECK(persist && persist->IsDirty() == S_OK);
    VARIANT port = Text(L"8087");  // a long property takes its text form
    QS_CHECK(SUCCEEDED(PutProperty(dispatch, 2, port)));
    VariantClear(&port);
    VARIANT got = GetProperty(dispatch, 1);
    QS_CHECK(got.vt == VT_BSTR && std::wstring(got.bstrVal) == L"script.host");
    VariantClear(&got);
    got = GetProperty(dispatch, 2);
    QS_CHECK(got.vt == VT_I4 && got.lVal == 8087);
    VARIANT bad = Text(L"not a number");
    QS_CHECK(FAILED(PutProperty(dispatch, 4, bad)));
    VariantClear(&bad);
    if (persist) persist->Release();

    // The type information matches: the event interface is the default source.
    ITypeInfo* info = nullptr;
    QS_CHECK(SUCCEEDED(dispatch->GetTypeInfo(0, 0, &info)));
    if (info) {
        TYPEATTR* attr = nullptr;
        info->GetTypeAttr(&attr);
        QS_CHECK(attr && attr->typekind == TKIND_DISPATCH && attr->cVars == 28);
        info->ReleaseTypeAttr(attr);
        info->Release();
    }
    IProvideClassInfo2* classInfo = As<IProvideClassInfo2>(control, IID_IProvideClassInfo2);
    GUID source = GUID_NULL;
    QS_CHECK(classInfo && SUCCEEDED(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source)));
    QS_CHECK(IsEqualGUID(source, DIID__DQuillstartEvents));
    if (classInfo) classInfo->Release();
    IOleObject* object = As<IOleObject>(control, IID_IOleObject);
    DWORD misc = 0;
    QS_CHECK(object && SUCCEEDED(object->GetMiscStatus(DVASPECT_CONTENT, &misc)) &&
             misc == 0x20191);
    if (object) object->Release();
    dispatch->Release();
    control->Release();
}

QS_TEST(registered, ThePropertyPageIsCaptionedAndNamedByTheControl) {
    IPropertyPage* page = nullptr;
    QS_CHECK(SUCCEEDED(CoCreateInstance(kClsidPropPage, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_IPropertyPage, reinterpret_cast<void**>(&page))));
    if (page) {
        PROPPAGEINFO info = {};
        QS_CHECK(SUCCEEDED(page->GetPageInfo(&info)));
        QS_CHECK(info.pszTitle && std::wstring(info.pszTitle) == L"\uC77C\uBC18");
        CoTaskMemFree(info.pszTitle);
        page->Release();
    }
    IUnknown* control = CreateByProgId();
    ISpecifyPropertyPages* pages = As<ISpecifyPropertyPages>(control, IID_ISpecifyPropertyPages);
    CAUUID list = {};
    QS_CHECK(pages && SUCCEEDED(pages->GetPages(&list)));
    QS_CHECK(list.cElems == 1 && IsEqualGUID(list.pElems[0], kClsidPropPage));
    CoTaskMemFree(list.pElems);
    if (pages) pages->Release();
    if (control) control->Release();
}

QS_TEST(registered, ElementParametersLaunchTheClientAndCloseIEFollowsOnce) {
    SetInstallDir(InstallFolder());
    ClearLaunches();
    HWND host = CreateHostWindow();
    {
        PageControl page(host);
        PropertyBag bag;
        FillEveryParam(bag);
        QS_CHECK(page.control != nullptr);
        QS_CHECK(page.LoadParams(bag));
        QS_CHECK(page.Advise());
        QS_CHECK(page.Activate(host));
        QS_CHECK(page.site.activations == 1);
        QS_CHECK(page.WaitForClose());
        PumpUntil([] { return false; }, 200);  // a second event would arrive by now
        QS_CHECK(page.sink.received.size() == 1 && page.sink.received[0] == 2);
        const std::vector<std::string> launches = WaitForLaunches(1, kWait);
        QS_CHECK_EQ(launches.size(), 1u);
        if (!launches.empty()) QS_CHECK_EQ(launches[0], std::string(kEveryParamString));
    }
    DestroyWindow(host);
}

QS_TEST(registered, APageWithOnlyScriptPropertiesLaunchesWithEmptyValues) {
    SetInstallDir(InstallFolder());
    ClearLaunches();
    HWND host = CreateHostWindow();
    {
        PageControl page(host);
        QS_CHECK(page.InitWithoutParams());
        IDispatch* dispatch = As<IDispatch>(page.control, IID_IDispatch);
        if (dispatch) {
            VARIANT v = Text(L"script.host");
            PutProperty(dispatch, 1, v);
            VariantClear(&v);
            dispatch->Release();
        }
        QS_CHECK(page.Advise());
        QS_CHECK(page.Activate(host));
        QS_CHECK(page.WaitForClose());
        const std::vector<std::string> launches = WaitForLaunches(1, kWait);
        QS_CHECK_EQ(launches.size(), 1u);
        if (!launches.empty()) QS_CHECK_EQ(launches[0], EmptyValuesString());
    }
    DestroyWindow(host);
}

QS_TEST(registered, TwoControlsEachLaunchWithTheirOwnValues) {
    SetInstallDir(InstallFolder());
    ClearLaunches();
    HWND host = CreateHostWindow();
    {
        PageControl full(host);
        PageControl hostOnly(host);
        PropertyBag every;
        FillEveryParam(every);
        PropertyBag one;
        one.params = {{L"SERVER", L"only.host"}};
        // Both load before either launches: the second load must not change the first's values.
        QS_CHECK(full.LoadParams(every));
        QS_CHECK(hostOnly.LoadParams(one));
        QS_CHECK(full.Advise() && hostOnly.Advise());
        QS_CHECK(full.Activate(host));
        QS_CHECK(full.WaitForClose());
        WaitForLaunches(1, kWait);
        QS_CHECK(hostOnly.Activate(host));
        QS_CHECK(hostOnly.WaitForClose());
        const std::vector<std::string> launches = WaitForLaunches(2, kWait);
        QS_CHECK_EQ(launches.size(), 2u);
        if (launches.size() == 2) {
            QS_CHECK_EQ(launches[0], std::string(kEveryParamString));
            quill::launcher::LaunchValues expected;
            expected.SERVER = "only.host";
            QS_CHECK_EQ(launches[1], quill::launcher::FormatLaunchString(expected));
        }
    }
    DestroyWindow(host);
}

QS_TEST(registered, AnAmpersandInAParameterCannotRedirectTheClient) {
    SetInstallDir(InstallFolder());
    ClearLaunches();
    HWND host = CreateHostWindow();
    {
        PageControl page(host);
        PropertyBag bag;
        FillEveryParam(bag);
        bag.params[L"SQUAD_DOC_NM"] = L"X&HOST=evil";
        QS_CHECK(page.LoadParams(bag) && page.Advise() && page.Activate(host));
        QS_CHECK(page.WaitForClose());
        const std::vector<std::string> launches = WaitForLaunches(1, kWait);
        QS_CHECK_EQ(launches.size(), 1u);
        if (!launches.empty()) {
            QS_CHECK(launches[0].find("&SQUADDOCNM=X+HOST=evil&") != std::string::npos);
            QS_CHECK(launches[0].find("&HOST=") == std::string::npos);
        }
    }
    DestroyWindow(host);
}

QS_TEST(registered, WithoutAUsableInstallationNothingStartsAndCloseIEStillFires) {
    HWND host = CreateHostWindow();
    const std::string oversized(299, 'a');
    for (int variant = 0; variant < 3; ++variant) {
        if (variant == 0) RemoveInstallDir();
        if (variant == 1) SetInstallDir(oversized);
        if (variant == 2) SetInstallDirRaw(REG_SZ, InstallFolder());  // no terminator
        ClearLaunches();
        PageControl page(host);
        PropertyBag bag;
        FillEveryParam(bag);
        QS_CHECK(page.LoadParams(bag) && page.Advise() && page.Activate(host));
        QS_CHECK(page.WaitForClose());
        PumpUntil([] { return false; }, 300);
        QS_CHECK_EQ(page.sink.received.size(), 1u);
        QS_CHECK(RecordedLaunches().empty());
    }
    DestroyWindow(host);
}

QS_TEST(registered, ReleasingTheControlAndItsLibraryWhileTheWorkerRunsIsSafe) {
    SetInstallDir(InstallFolder());
    ClearLaunches();
    HWND host = CreateHostWindow();
    for (int round = 0; round < 3; ++round) {
        PageControl page(host);
        PropertyBag bag;
        FillEveryParam(bag);
        QS_CHECK(page.LoadParams(bag) && page.Advise() && page.Activate(host));
        // Gone at once, before the worker's message is handled, and the library freed.
        page.Remove();
        CoFreeUnusedLibrariesEx(0, 0);
        CoFreeUnusedLibrariesEx(0, 0);
        QS_CHECK(page.sink.received.empty());
    }
    // The workers end and let go of the library; then it can be unloaded. Pumping on a while
    // longer gives a worker left running in an unloaded library the time to crash this process.
    const bool unloaded = PumpUntil(
        [] {
            CoFreeUnusedLibrariesEx(0, 0);
            return GetModuleHandleW(L"quillstart.dll") == nullptr;
        },
        kWait);
    QS_CHECK(unloaded);
    QS_CHECK_EQ(WaitForLaunches(3, kWait).size(), 3u);
    PumpUntil([] { return false; }, 1500);
    DestroyWindow(host);
}

QS_TEST(registered, WinesOwnControlHostWindowActivatesAndLaunches) {
    SetInstallDir(InstallFolder());
    ClearLaunches();
    HMODULE atl = LoadLibraryW(L"atl.dll");
    QS_CHECK(atl != nullptr);
    if (!atl) return;
    using InitFunction = BOOL(WINAPI*)();
    auto init = reinterpret_cast<InitFunction>(
        reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
    QS_CHECK(init && init());
    HWND host = CreateHostWindow();
    HWND axWindow = CreateWindowExW(0, L"AtlAxWin", kControlProgId, WS_CHILD | WS_VISIBLE, 0, 0,
                                    120, 40, host, nullptr, GetModuleHandleW(nullptr), nullptr);
    QS_CHECK(axWindow != nullptr);
    // Created without element parameters: the client gets the empty values.
    const std::vector<std::string> launches = WaitForLaunches(1, kWait);
    QS_CHECK_EQ(launches.size(), 1u);
    if (!launches.empty()) QS_CHECK_EQ(launches[0], EmptyValuesString());
    if (axWindow) DestroyWindow(axWindow);
    DestroyWindow(host);
}

QS_TEST(unregistered, UnregistrationRemovesTheClassesAndLibraryButKeepsTheCategoryMarks) {
    const std::wstring clsid = std::wstring(L"CLSID\\") + kControlClsid;
    QS_CHECK(!KeyExists(clsid + L"\\InprocServer32"));
    QS_CHECK(!KeyExists(clsid + L"\\ProgID"));
    QS_CHECK(!KeyExists(L"QUILLSTART.QuillstartCtrl.1"));
    QS_CHECK(!KeyExists(L"QUILLSTARTPP.QuillstartPropPage.1"));
    QS_CHECK(!KeyExists(std::wstring(L"CLSID\\") + kPageClsid));
    QS_CHECK(!KeyExists(std::wstring(L"TypeLib\\") + kLibId + L"\\1.0"));
    QS_CHECK(KeyExists(clsid + L"\\Implemented Categories\\" + kScriptingCat));
    QS_CHECK(KeyExists(clsid + L"\\Implemented Categories\\" + kInitializingCat));
    QS_CHECK(CreateByProgId() == nullptr);
}
