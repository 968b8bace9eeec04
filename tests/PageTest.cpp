#include "PageTest.h"

#include <vector>

using Microsoft::WRL::ComPtr;

namespace tavrel::test {

void RunPage(const TavrelLibrary& library, REFCLSID clsid, hostsim::HostObject& object,
             const std::function<void(HWND dialog)>& body) {
    ComPtr<IPropertyPage> page = library.CreatePage(clsid);
    ASSERT_TRUE(page);
    IUnknown* objects[] = {object.Identity()};
    ASSERT_EQ(S_OK, page->SetObjects(1, objects));
    const RECT rect{0, 0, 100, 100};
    EXPECT_TRUE(RunDialog([&] { page->Activate(nullptr, &rect, TRUE); }, body));
}

void PageTest::TearDown() {
    host.ReleaseSubscribers();
    EXPECT_TRUE(host.AllReferencesReturned()) << host.OutstandingText();
    EXPECT_EQ(S_OK, TavrelLibrary::Instance().CanUnloadNow()) << "a page or class object is still alive";
}

ComPtr<IPropertyPage> PageTest::CreatePage(REFCLSID clsid) {
    return TavrelLibrary::Instance().CreatePage(clsid);
}

ComPtr<IPropertyPage> PageTest::CreatePage(REFCLSID clsid, std::initializer_list<hostsim::HostObject*> objects) {
    ComPtr<IPropertyPage> page = CreatePage(clsid);
    EXPECT_TRUE(page);
    if (page) {
        EXPECT_EQ(S_OK, GiveObjects(page.Get(), objects));
    }
    return page;
}

HRESULT PageTest::GiveObjects(IPropertyPage* page, std::initializer_list<hostsim::HostObject*> objects) {
    std::vector<IUnknown*> pointers;
    for (hostsim::HostObject* object : objects)
        pointers.push_back(object ? object->Identity() : nullptr);
    return page->SetObjects(static_cast<ULONG>(pointers.size()), pointers.data());
}

bool PageTest::ActivateAndRun(IPropertyPage* page, const std::function<void(HWND dialog)>& body) {
    const RECT rect{10, 20, 310, 220};
    HRESULT activateResult = E_FAIL;
    bool ran = RunDialog([&] { activateResult = page->Activate(nullptr, &rect, TRUE); }, body);
    EXPECT_EQ(S_OK, activateResult) << "Activate";
    return ran;
}

hostsim::HostObject& PageTest::CreateViewWithHelp() {
    hostsim::HostObject& help = host.Create(L"help", {IID_IHelpViewer});
    hostsim::HostObject& view = host.Create(L"view", {IID_IObjectSite});
    view.AddService(help);
    return view;
}

std::vector<std::wstring> FieldAtEachPosition(HWND dialog, int trackbarId, int editId, std::size_t count) {
    std::vector<std::wstring> shown;
    for (std::size_t position = 0; position < count; ++position) {
        HoldSlider(dialog, trackbarId, static_cast<int>(position));
        shown.push_back(GetText(dialog, editId));
    }
    return shown;
}

void ForEachFault(std::initializer_list<HostFault> faults, const std::function<void()>& use) {
    for (const HostFault& fault : faults) {
        const std::wstring operation = fault.operation;
        SCOPED_TRACE(std::string(operation.begin(), operation.end()));
        fault.object->SetFault(fault.operation, fault.fault);
        use();
        fault.object->ClearFaults();
    }
}

namespace {

// A settings store that holds nothing and lives as long as the program.
class EmptySettingsStore final : public IValueStore {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (!object)
            return E_POINTER;
        *object = riid == IID_IUnknown || riid == IID_IValueStore ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetValue(BSTR, VARIANT* value) override {
        if (value)
            VariantInit(value);
        return E_INVALIDARG;
    }
    STDMETHODIMP PutValue(BSTR, VARIANT) override { return S_OK; }
};

}  // namespace

void GiveLoggerTo(TavrelLibrary& library, hostsim::HostObject& view) {
    static EmptySettingsStore settings;
    ComPtr<IPropertyPage> page = library.CreatePage(CLSID_EchoTraceDialog);
    ASSERT_TRUE(page);
    IUnknown* objects[] = {view.Identity(), &settings};
    ASSERT_EQ(S_OK, page->SetObjects(2, objects));
    const RECT rect{0, 0, 100, 100};
    EXPECT_TRUE(RunDialog([&] { page->Activate(nullptr, &rect, TRUE); },
                          [](HWND dialog) { Click(dialog, IDCANCEL); }));
}

}  // namespace tavrel::test
