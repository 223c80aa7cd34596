#include "class_factory.h"

#include "module.h"

namespace quillstart {

ClassFactory::ClassFactory(Creator creator) : creator_(creator) { LockModule(); }
ClassFactory::~ClassFactory() { UnlockModule(); }

STDMETHODIMP ClassFactory::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
        *out = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) ClassFactory::AddRef() { return InterlockedIncrement(&refs_); }

STDMETHODIMP_(ULONG) ClassFactory::Release() {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return creator_(iid, out);
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
    if (lock)
        LockModule();
    else
        UnlockModule();
    return S_OK;
}

}  // namespace quillstart
