// The smallest host of a Tavrel page: it creates the TS distribution page by its
// ProgID, hands it a view object of its own and shows it. The view keeps one value,
// "HistogramScale", which the page reads when it opens and writes back on OK.
//
// Build it against the SDK: HostInterfaces.h and HostInterfaces_i.c (the host
// interfaces), TavrelClasses.h and TavrelClasses_i.c (the page class ids), ole32,
// oleaut32 and uuid. From the SDK's folder, for example:
//   MinGW-w64: i686-w64-mingw32-g++ -municode -Iinclude sample/SampleHost.cpp
//              include/HostInterfaces_i.c include/TavrelClasses_i.c -lole32 -loleaut32 -luuid
//   MSVC:      cl /EHsc /Iinclude sample\SampleHost.cpp include\HostInterfaces_i.c
//              include\TavrelClasses_i.c ole32.lib oleaut32.lib uuid.lib
// Register Tavrel.dll first (regsvr32 Tavrel.dll), or pass --dll <path> to use it
// without registration.
//
//   samplehost [--dll <path to Tavrel.dll>]
#include "HostInterfaces.h"
#include "TavrelClasses.h"

#include <windows.h>
#include <objbase.h>
#include <ocidl.h>
#include <oleauto.h>

#include <cstdio>
#include <cwchar>

namespace {

// The host's view: it answers IValueStore itself, which is where the page looks last
// when the view offers no locator, site or container.
class View final : public IValueStore {
public:
    LONG histogramScale = 0;  // 0 length in cm, 1 length in inches, 2 weight, 3 TS

    // IUnknown: the view lives on the stack of main and outlives the page.
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (!object)
            return E_POINTER;
        *object = (riid == IID_IUnknown || riid == IID_IValueStore) ? static_cast<IValueStore*>(this) : nullptr;
        if (!*object)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_references; }
    STDMETHODIMP_(ULONG) Release() override { return --m_references; }

    // IValueStore
    STDMETHODIMP GetValue(BSTR name, VARIANT* value) override {
        if (!value)
            return E_POINTER;
        VariantInit(value);
        if (!name || std::wcscmp(name, L"HistogramScale") != 0)
            return E_INVALIDARG;
        value->vt = VT_I4;
        value->lVal = histogramScale;
        return S_OK;
    }
    STDMETHODIMP PutValue(BSTR name, VARIANT value) override {
        if (!name || std::wcscmp(name, L"HistogramScale") != 0 || value.vt != VT_I4)
            return E_INVALIDARG;
        histogramScale = value.lVal;
        std::printf("the page wrote HistogramScale = %ld\n", static_cast<long>(histogramScale));
        return S_OK;
    }

    ULONG References() const { return m_references; }

private:
    ULONG m_references = 1;
};

// The page's class object: from the registry by ProgID, or from the DLL itself.
HRESULT GetPageClass(const wchar_t* dllPath, IClassFactory** factory) {
    CLSID clsid{};
    if (!dllPath) {
        HRESULT hr = CLSIDFromProgID(L"Kestrom.Tavrel.TsDistributionDlg", &clsid);
        if (FAILED(hr))
            return hr;
        return CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                reinterpret_cast<void**>(factory));
    }
    // Without registration: the DLL's own class object for the page's class id.
    HMODULE library = LoadLibraryW(dllPath);
    if (!library)
        return HRESULT_FROM_WIN32(GetLastError());
    using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClassObject = reinterpret_cast<GetClassObjectFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "DllGetClassObject")));
    return getClassObject ? getClassObject(CLSID_TsDistributionDlg, IID_IClassFactory, reinterpret_cast<void**>(factory))
                          : HRESULT_FROM_WIN32(GetLastError());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const wchar_t* dllPath = (argc == 3 && std::wcscmp(argv[1], L"--dll") == 0) ? argv[2] : nullptr;
    if (argc != 1 && !dllPath) {
        std::fprintf(stderr, "usage: samplehost [--dll <path to Tavrel.dll>]\n");
        return 1;
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    View view;
    view.histogramScale = 2;  // "Weight"
    int status = 1;
    IClassFactory* factory = nullptr;
    IPropertyPage* page = nullptr;
    HRESULT hr = GetPageClass(dllPath, &factory);
    if (SUCCEEDED(hr))
        hr = factory->CreateInstance(nullptr, IID_IPropertyPage, reinterpret_cast<void**>(&page));
    if (SUCCEEDED(hr)) {
        IUnknown* objects[] = {&view};
        hr = page->SetObjects(1, objects);
    }
    if (SUCCEEDED(hr)) {
        // The page runs as a modal dialog and returns once the user has closed it.
        const RECT rect{0, 0, 300, 200};
        hr = page->Activate(GetConsoleWindow(), &rect, TRUE);
    }
    if (page)
        page->Release();
    if (factory)
        factory->Release();
    if (SUCCEEDED(hr)) {
        std::printf("HistogramScale is %ld; %s\n", static_cast<long>(view.histogramScale),
                    view.References() == 1 ? "the page gave back every reference" : "the page kept a reference");
        status = 0;
    } else {
        std::fprintf(stderr, "samplehost: failed with 0x%08lX (register Tavrel.dll, or use --dll)\n",
                     static_cast<unsigned long>(hr));
    }
    CoUninitialize();
    return status;
}
