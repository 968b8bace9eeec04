// The component server: module state, lock count and the four exported entry points.
#include "ClassFactory.h"
#include "ClassTable.h"
#include "ComResource.h"
#include "DiagnosticsLog.h"
#include "ModuleState.h"
#include "Registrar.h"
#include "TavrelClasses.h"

#include <windows.h>
#include <oleauto.h>

#include <string>

namespace tavrel {
namespace {

struct ModuleStateData {
    HINSTANCE instance = nullptr;
    const GUID* typeLibraryId = nullptr;
    volatile LONG lockCount = 0;
    CRITICAL_SECTION classObjectLock;
    bool initialized = false;
};

ModuleStateData g_module;

void InitializeModule(HINSTANCE instance) {
    g_module.instance = instance;
    g_module.typeLibraryId = &LIBID_TAVRELLib;
    g_module.lockCount = 0;
    InitializeCriticalSection(&g_module.classObjectLock);
    g_module.initialized = true;
    InitializeDiagnosticsLog();
}

void ReleaseClassObjects(ClassEntry* table, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (table[i].cachedClassObject) {
            table[i].cachedClassObject->Release();
            table[i].cachedClassObject = nullptr;
        }
    }
}

void TerminateModule() {
    if (!g_module.initialized)
        return;
    size_t count = 0;
    ClassEntry* table = FirstClassTable(count);
    ReleaseClassObjects(table, count);
    table = SecondClassTable(count);
    ReleaseClassObjects(table, count);
    DeleteCriticalSection(&g_module.classObjectLock);
    g_module.initialized = false;
    g_module.instance = nullptr;
    g_module.typeLibraryId = nullptr;
    ShutdownDiagnosticsLog();
}

// Finds clsid in one table; the class object is created on first use under the lock.
bool GetFromTable(ClassEntry* table, size_t count, REFCLSID clsid, REFIID riid, void** ppv, HRESULT& hr) {
    for (size_t i = 0; i < count; ++i) {
        ClassEntry& entry = table[i];
        if (!IsEqualCLSID(*entry.clsid, clsid))
            continue;
        EnterCriticalSection(&g_module.classObjectLock);
        hr = S_OK;
        if (!entry.cachedClassObject)
            hr = CreateClassObject(entry.createPage, &entry.cachedClassObject);
        LeaveCriticalSection(&g_module.classObjectLock);
        if (SUCCEEDED(hr))
            hr = entry.cachedClassObject->QueryInterface(riid, ppv);
        return true;
    }
    return false;
}

// ---- Registration

// The module's full path; paths longer than MAX_PATH are allowed.
HRESULT GetModulePath(std::wstring& path) {
    path.assign(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(g_module.instance, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0)
            return HRESULT_FROM_WIN32(GetLastError());
        if (length < path.size()) {
            path.resize(length);
            return S_OK;
        }
        path.resize(path.size() * 2);
    }
}

// Runs the registration script of each class in one table; stops at the first failure.
HRESULT UpdateTableRegistration(const ClassEntry* table, size_t count, const std::wstring& modulePath,
                                registrar::Action action) {
    for (size_t i = 0; i < count; ++i) {
        std::wstring script;
        HRESULT hr = registrar::LoadScriptResource(g_module.instance, table[i].registryScriptId, script);
        if (SUCCEEDED(hr))
            hr = registrar::RunScript(script, modulePath, action);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

// The scripts of the first table, then of the second; %MODULE% is the module's path.
HRESULT UpdateClassRegistration(const std::wstring& modulePath, registrar::Action action) {
    size_t count = 0;
    const ClassEntry* table = FirstClassTable(count);
    HRESULT hr = UpdateTableRegistration(table, count, modulePath, action);
    if (FAILED(hr))
        return hr;
    table = SecondClassTable(count);
    return UpdateTableRegistration(table, count, modulePath, action);
}

// Registers the type library held in the module's TYPELIB resource 1.
HRESULT RegisterTypeLibrary(std::wstring& modulePath) {
    ITypeLib* library = nullptr;
    HRESULT hr = LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, &library);
    if (FAILED(hr))
        return hr;
    hr = RegisterTypeLib(library, &modulePath[0], nullptr);
    library->Release();
    return hr;
}

HRESULT UnregisterTypeLibrary() {
    const SYSKIND syskind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
    return UnRegisterTypeLib(*g_module.typeLibraryId, 1, 0, LANG_NEUTRAL, syskind);
}

HRESULT UpdateRegistration(registrar::Action action) {
    return CatchToHresult([&] {
        std::wstring modulePath;
        HRESULT hr = GetModulePath(modulePath);
        if (SUCCEEDED(hr))
            hr = UpdateClassRegistration(modulePath, action);
        if (FAILED(hr))
            return hr;
        return action == registrar::Action::Register ? RegisterTypeLibrary(modulePath) : UnregisterTypeLibrary();
    });
}

}  // namespace

HINSTANCE ModuleInstance() { return g_module.instance; }
LONG LockModule() { return InterlockedIncrement(&g_module.lockCount); }
LONG UnlockModule() { return InterlockedDecrement(&g_module.lockCount); }

}  // namespace tavrel

using namespace tavrel;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        InitializeModule(instance);
        DisableThreadLibraryCalls(instance);
        break;
    case DLL_PROCESS_DETACH:
        TerminateModule();
        break;
    default:
        break;
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    HRESULT hr = CLASS_E_CLASSNOTAVAILABLE;
    size_t count = 0;
    ClassEntry* table = FirstClassTable(count);
    if (GetFromTable(table, count, clsid, riid, ppv, hr))
        return hr;
    table = SecondClassTable(count);
    if (GetFromTable(table, count, clsid, riid, ppv, hr))
        return hr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() {
    return g_module.lockCount == 0 ? S_OK : S_FALSE;
}

// Each class's registration script, first table then second, then the type library;
// the first failure stops the run and is returned. Nothing is rolled back.
STDAPI DllRegisterServer() { return UpdateRegistration(registrar::Action::Register); }
STDAPI DllUnregisterServer() { return UpdateRegistration(registrar::Action::Unregister); }
