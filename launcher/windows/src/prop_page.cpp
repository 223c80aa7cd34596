#include "prop_page.h"

#include <new>

#include "module.h"

namespace quillstart {

namespace {

constexpr const wchar_t* kCaption = L"\uC77C\uBC18";  // "일반"

LPOLESTR CoTaskCopy(const wchar_t* text) {
    const size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (copy) memcpy(copy, text, bytes);
    return copy;
}

}  // namespace

QuillstartPropPage::QuillstartPropPage() { LockModule(); }

QuillstartPropPage::~QuillstartPropPage() {
    Deactivate();
    if (site_) site_->Release();
    UnlockModule();
}

HRESULT QuillstartPropPage::Create(REFIID iid, void** out) {
    QuillstartPropPage* page = new (std::nothrow) QuillstartPropPage();
    if (!page) return E_OUTOFMEMORY;
    const HRESULT hr = page->QueryInterface(iid, out);
    page->Release();
    return hr;
}

STDMETHODIMP QuillstartPropPage::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPropertyPage)) {
        *out = static_cast<IPropertyPage*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) QuillstartPropPage::AddRef() { return InterlockedIncrement(&refs_); }

STDMETHODIMP_(ULONG) QuillstartPropPage::Release() {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP QuillstartPropPage::SetPageSite(IPropertyPageSite* site) {
    if (site) site->AddRef();
    if (site_) site_->Release();
    site_ = site;
    return S_OK;
}

STDMETHODIMP QuillstartPropPage::Activate(HWND parent, LPCRECT rect, BOOL) {
    if (!rect) return E_POINTER;
    Deactivate();
    window_ = CreateWindowExW(WS_EX_CONTROLPARENT, L"STATIC", L"", WS_CHILD, rect->left, rect->top,
                              rect->right - rect->left, rect->bottom - rect->top, parent, nullptr,
                              ModuleInstance(), nullptr);
    return window_ ? S_OK : E_FAIL;
}

STDMETHODIMP QuillstartPropPage::Deactivate() {
    if (window_) DestroyWindow(window_);
    window_ = nullptr;
    return S_OK;
}

STDMETHODIMP QuillstartPropPage::GetPageInfo(PROPPAGEINFO* info) {
    if (!info) return E_POINTER;
    info->cb = sizeof *info;
    info->pszTitle = CoTaskCopy(kCaption);
    info->size = SIZE{250, 62};
    info->pszDocString = nullptr;
    info->pszHelpFile = nullptr;
    info->dwHelpContext = 0;
    return info->pszTitle ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP QuillstartPropPage::SetObjects(ULONG, IUnknown**) { return S_OK; }

STDMETHODIMP QuillstartPropPage::Show(UINT command) {
    if (window_) ShowWindow(window_, command);
    return S_OK;
}

STDMETHODIMP QuillstartPropPage::Move(LPCRECT rect) {
    if (!rect) return E_POINTER;
    if (window_)
        MoveWindow(window_, rect->left, rect->top, rect->right - rect->left,
                   rect->bottom - rect->top, TRUE);
    return S_OK;
}

}  // namespace quillstart
