// The class factory handed out for the control and its property page.
#pragma once

// windows.h comes before every other Windows header.
#include <windows.h>

#include <unknwn.h>

namespace quillstart {

class ClassFactory : public IClassFactory {
public:
    using Creator = HRESULT (*)(REFIID iid, void** out);
    explicit ClassFactory(Creator creator);
    virtual ~ClassFactory();

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    LONG refs_ = 1;
    Creator creator_;
};

}  // namespace quillstart
