// Reference counting, interface tables and creation of page objects.
//
// A page class derives from CComObjectRootEx (the count) and CComCoClass (its class
// id) and lists the interfaces it answers in Interfaces (an InterfaceList); the
// object actually created is CComObject<Page>, which supplies IUnknown for every
// interface the page derives from.
#pragma once

#include "ModuleState.h"

#include <windows.h>
#include <unknwn.h>
#include <new>
#include <type_traits>

namespace tavrel::frame {

// The interfaces a page answers in QueryInterface. IUnknown is answered with the
// first, so that every interface gives the same identity.
template <class First, class... Rest>
struct InterfaceList {
    using Primary = First;

    template <class T>
    static void* Find(T* object, REFIID riid) {
        if (riid == IID_IUnknown)
            return static_cast<First*>(object);
        void* found = nullptr;
        ((found = found ? found : FindOne<First>(object, riid)), ...,
         (found = found ? found : FindOne<Rest>(object, riid)));
        return found;
    }

    // Whether T derives from every interface listed.
    template <class T>
    static constexpr bool ImplementedBy() {
        return std::is_base_of_v<First, T> && (std::is_base_of_v<Rest, T> && ...);
    }

private:
    template <class I, class T>
    static void* FindOne(T* object, REFIID riid) {
        return riid == __uuidof(I) ? static_cast<I*>(object) : nullptr;
    }
};

// Plain, non-interlocked reference count: pages live on the host's UI thread only.
class CComObjectRootEx {
public:
    ULONG InternalAddRef() { return ++m_refCount; }
    ULONG InternalRelease() { return --m_refCount; }

protected:
    ULONG m_refCount = 0;
};

// Binds a page class to its class id.
template <class T, const CLSID* pclsid>
class CComCoClass {
public:
    static const CLSID& GetObjectCLSID() { return *pclsid; }
};

template <class Base>
class CComObject final : public Base {
public:
    // The page holds one module lock from construction to destruction.
    CComObject() { LockModule(); }
    virtual ~CComObject() { UnlockModule(); }
    CComObject(const CComObject&) = delete;
    CComObject& operator=(const CComObject&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        *ppv = Base::Interfaces::Find(static_cast<Base*>(this), riid);
        if (!*ppv)
            return E_NOINTERFACE;
        this->InternalAddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return this->InternalAddRef(); }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG count = this->InternalRelease();
        if (count == 0) {
            // Keep the module alive while the destructor runs.
            LockModule();
            delete this;
            UnlockModule();
        }
        return count;
    }

    // Creates a page and hands out the requested interface; a page whose interface
    // request fails is destroyed again and the failure returned.
    static HRESULT CreateInstance(REFIID riid, void** ppv) {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        auto* object = new (std::nothrow) CComObject<Base>();
        if (!object)
            return E_OUTOFMEMORY;
        object->AddRef();
        HRESULT hr = object->QueryInterface(riid, ppv);
        object->Release();
        return hr;
    }
};

}  // namespace tavrel::frame
