#include "TavrelLibrary.h"

#include <gtest/gtest.h>

namespace tavrel::test {

TavrelLibrary& TavrelLibrary::Instance() {
    static TavrelLibrary library(L"Tavrel.dll");
    return library;
}

template <class Function>
static Function EntryPoint(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

TavrelLibrary::TavrelLibrary(const wchar_t* fileName) {
    m_module = ::LoadLibraryW(fileName);
    if (!m_module)
        return;
    m_getClassObject = EntryPoint<GetClassObjectFunction>(m_module, "DllGetClassObject");
    m_canUnloadNow = EntryPoint<SimpleFunction>(m_module, "DllCanUnloadNow");
    m_registerServer = EntryPoint<SimpleFunction>(m_module, "DllRegisterServer");
    m_unregisterServer = EntryPoint<SimpleFunction>(m_module, "DllUnregisterServer");
}

std::wstring TavrelLibrary::CopyBesideTheProgram(const wchar_t* fileName) {
    wchar_t programPath[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, programPath, MAX_PATH);
    std::wstring folder(programPath);
    folder.resize(folder.find_last_of(L'\\') + 1);
    const std::wstring copyPath = folder + fileName;
    return ::CopyFileW((folder + L"Tavrel.dll").c_str(), copyPath.c_str(), FALSE) ? copyPath : std::wstring();
}

bool TavrelLibrary::Unload() {
    if (!m_module)
        return false;
    const bool unloaded = ::FreeLibrary(m_module) != FALSE;
    m_module = nullptr;
    m_getClassObject = nullptr;
    m_canUnloadNow = m_registerServer = m_unregisterServer = nullptr;
    return unloaded;
}

HRESULT TavrelLibrary::GetClassObject(REFCLSID clsid, REFIID riid, void** object) const {
    return m_getClassObject ? m_getClassObject(clsid, riid, object) : E_UNEXPECTED;
}
HRESULT TavrelLibrary::CanUnloadNow() const { return m_canUnloadNow ? m_canUnloadNow() : E_UNEXPECTED; }
HRESULT TavrelLibrary::RegisterServer() const { return m_registerServer ? m_registerServer() : E_UNEXPECTED; }
HRESULT TavrelLibrary::UnregisterServer() const {
    return m_unregisterServer ? m_unregisterServer() : E_UNEXPECTED;
}

Microsoft::WRL::ComPtr<IPropertyPage> TavrelLibrary::CreatePage(REFCLSID clsid) const {
    Microsoft::WRL::ComPtr<IClassFactory> factory;
    Microsoft::WRL::ComPtr<IPropertyPage> page;
    HRESULT hr = GetClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf()));
    EXPECT_EQ(S_OK, hr) << "DllGetClassObject";
    if (factory) {
        hr = factory->CreateInstance(nullptr, IID_IPropertyPage, reinterpret_cast<void**>(page.GetAddressOf()));
        EXPECT_EQ(S_OK, hr) << "IClassFactory::CreateInstance";
    }
    return page;
}

}  // namespace tavrel::test
