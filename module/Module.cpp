// The component server: module state, lock count and the four exported entry points.
#include "ClassFactory.h"
#include "ClassTable.h"
#include "DiagnosticsLog.h"
#include "ModuleState.h"
#include "TavrelClasses.h"

#include <windows.h>

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

// Registration of the classes and the type library comes with the registrar.
STDAPI DllRegisterServer() { return E_NOTIMPL; }
STDAPI DllUnregisterServer() { return E_NOTIMPL; }
