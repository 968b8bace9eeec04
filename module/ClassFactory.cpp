#include "ClassFactory.h"

#include "ComResource.h"
#include "ModuleState.h"

#include <new>

namespace tavrel {
namespace {

// The module's cache holds the first reference; while a client holds another one
// the class object keeps the module locked.
class PageClassFactory final : public IClassFactory {
public:
    explicit PageClassFactory(CreatePageFunction createPage) : m_createPage(createPage) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override {
        LONG count = InterlockedIncrement(&m_refCount);
        if (count == 2)
            LockModule();
        return static_cast<ULONG>(count);
    }
    STDMETHODIMP_(ULONG) Release() override {
        LONG count = InterlockedDecrement(&m_refCount);
        if (count == 1)
            UnlockModule();
        else if (count == 0)
            delete this;
        return static_cast<ULONG>(count);
    }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return CatchToHresult([&] { return m_createPage(riid, ppv); });
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock)
            LockModule();
        else
            UnlockModule();
        return S_OK;
    }

private:
    LONG m_refCount = 1;
    CreatePageFunction m_createPage;
};

}  // namespace

HRESULT CreateClassObject(CreatePageFunction createPage, IClassFactory** classObject) {
    *classObject = new (std::nothrow) PageClassFactory(createPage);
    return *classObject ? S_OK : E_OUTOFMEMORY;
}

}  // namespace tavrel
