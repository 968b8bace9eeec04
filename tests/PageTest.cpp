#include "PageTest.h"

#include <vector>

using Microsoft::WRL::ComPtr;

namespace tavrel::test {

void PageTest::TearDown() {
    page.Reset();
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

HRESULT GiveObjects(IPropertyPage* page, std::initializer_list<hostsim::HostObject*> objects) {
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

bool PageTest::Use(IPropertyPage* page, std::initializer_list<Step> steps) {
    return ActivateAndRun(page, [&](HWND dialog) { Do(dialog, steps); });
}

Lines PageTest::TakeLines() {
    Lines lines = host.Lines();
    host.Journal().Clear();
    return lines;
}

Step Type(int editId, std::wstring text) { return {[=](HWND dialog) { TypeText(dialog, editId, text); }}; }
Step Leave(int editId) { return {[=](HWND dialog) { LeaveField(dialog, editId); }}; }
Step Drag(int trackbarId, int position) { return {[=](HWND dialog) { DragSlider(dialog, trackbarId, position); }}; }
Step Hold(int trackbarId, int position) { return {[=](HWND dialog) { HoldSlider(dialog, trackbarId, position); }}; }
Step Key(int trackbarId, UINT virtualKey) { return {[=](HWND dialog) { KeySlider(dialog, trackbarId, virtualKey); }}; }
Step Arrow(int upDownId, int delta) { return {[=](HWND dialog) { StepUpDown(dialog, upDownId, delta); }}; }
Step Press(int buttonId) { return {[=](HWND dialog) { Click(dialog, buttonId); }}; }
Step Shows(int id, std::wstring text) {
    return {[=](HWND dialog) { EXPECT_EQ(text, GetText(dialog, id)) << "control " << id; }};
}
Step Shows(std::vector<int> ids, Lines texts) {
    return {[=](HWND dialog) {
        Lines shown;
        for (int id : ids)
            shown.push_back(GetText(dialog, id));
        EXPECT_EQ(texts, shown);
    }};
}
Step At(int trackbarId, int position) {
    return {[=](HWND dialog) { EXPECT_EQ(position, SliderPosition(dialog, trackbarId)) << "trackbar " << trackbarId; }};
}
Step At(std::vector<int> trackbarIds, std::vector<int> positions) {
    return {[=](HWND dialog) {
        std::vector<int> shown;
        for (int id : trackbarIds)
            shown.push_back(SliderPosition(dialog, id));
        EXPECT_EQ(positions, shown);
    }};
}
Step Enabled(int id, bool enabled) {
    return {[=](HWND dialog) { EXPECT_EQ(enabled, IsEnabled(dialog, id)) << "control " << id; }};
}
Step Visible(int id, bool visible) {
    return {[=](HWND dialog) { EXPECT_EQ(visible, IsVisible(dialog, id)) << "control " << id; }};
}
Step Checked(int buttonId, bool checked) {
    return {[=](HWND dialog) { EXPECT_EQ(checked, IsChecked(dialog, buttonId)) << "button " << buttonId; }};
}
Step Titled(std::wstring title) {
    return {[=](HWND dialog) {
        wchar_t text[256] = {};
        ::GetWindowTextW(dialog, text, 256);
        EXPECT_EQ(title, text);
    }};
}
Step PageTest::Wrote(Lines expected) {
    return {[this, expected](HWND) { EXPECT_EQ(expected, TakeLines()); }};
}
Step PageTest::Dirty(bool dirty) {
    return {[this, dirty](HWND) { EXPECT_EQ(dirty ? S_OK : S_FALSE, page->IsPageDirty()) << "IsPageDirty"; }};
}

void Do(HWND dialog, std::initializer_list<Step> steps) {
    int number = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << "step " << ++number);
        step.run(dialog);
    }
}

void WithLibraryCopy(const wchar_t* fileName, const std::function<void(TavrelLibrary& library)>& use) {
    const std::wstring copyPath = TavrelLibrary::CopyBesideTheProgram(fileName);
    ASSERT_FALSE(copyPath.empty());
    {
        TavrelLibrary library(copyPath.c_str());
        ASSERT_TRUE(library.Module());
        use(library);
        EXPECT_TRUE(library.Unload());
    }
    ::DeleteFileW(copyPath.c_str());
}

void RunPage(const TavrelLibrary& library, REFCLSID clsid, std::initializer_list<hostsim::HostObject*> objects,
             const std::function<void(HWND dialog)>& body) {
    ComPtr<IPropertyPage> page = library.CreatePage(clsid);
    ASSERT_TRUE(page);
    ASSERT_EQ(S_OK, GiveObjects(page.Get(), objects));
    const RECT rect{0, 0, 100, 100};
    EXPECT_TRUE(RunDialog([&] { page->Activate(nullptr, &rect, TRUE); }, body));
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
