// Tavrel.dll as a host sees it: loaded from beside the test program, used only
// through its four exported entry points.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <string>

namespace tavrel::test {

class TavrelLibrary {
public:
    // The library loaded once per test process, never unloaded.
    static TavrelLibrary& Instance();
    // Another module: a copy of the library under another file name has module state
    // of its own (its lock count, class objects and host logger).
    explicit TavrelLibrary(const wchar_t* fileName);
    // Copies Tavrel.dll beside the test program under fileName, for a module of its own;
    // returns the copy's path (the test deletes it), empty when it could not be made.
    static std::wstring CopyBesideTheProgram(const wchar_t* fileName);
    TavrelLibrary(const TavrelLibrary&) = delete;
    TavrelLibrary& operator=(const TavrelLibrary&) = delete;
    // Unloads the module (FreeLibrary); true when it was loaded.
    bool Unload();


    HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** object) const;
    HRESULT CanUnloadNow() const;
    HRESULT RegisterServer() const;
    HRESULT UnregisterServer() const;
    HMODULE Module() const { return m_module; }

    // Creates a page through its class object, as a host would.
    Microsoft::WRL::ComPtr<IPropertyPage> CreatePage(REFCLSID clsid) const;

private:
    using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    using SimpleFunction = HRESULT(STDAPICALLTYPE*)();

    HMODULE m_module = nullptr;
    GetClassObjectFunction m_getClassObject = nullptr;
    SimpleFunction m_canUnloadNow = nullptr;
    SimpleFunction m_registerServer = nullptr;
    SimpleFunction m_unregisterServer = nullptr;
};

}  // namespace tavrel::test
