// Tavrel.dll as a host sees it: loaded from beside the test program, used only
// through its four exported entry points.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <wrl/client.h>

namespace tavrel::test {

class TavrelLibrary {
public:
    // The library loaded once per test process.
    static TavrelLibrary& Instance();

    HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** object) const;
    HRESULT CanUnloadNow() const;
    HRESULT RegisterServer() const;
    HRESULT UnregisterServer() const;
    HMODULE Module() const { return m_module; }

    // Creates a page through its class object, as a host would.
    Microsoft::WRL::ComPtr<IPropertyPage> CreatePage(REFCLSID clsid) const;

private:
    TavrelLibrary();
    using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    using SimpleFunction = HRESULT(STDAPICALLTYPE*)();

    HMODULE m_module = nullptr;
    GetClassObjectFunction m_getClassObject = nullptr;
    SimpleFunction m_canUnloadNow = nullptr;
    SimpleFunction m_registerServer = nullptr;
    SimpleFunction m_unregisterServer = nullptr;
};

}  // namespace tavrel::test
