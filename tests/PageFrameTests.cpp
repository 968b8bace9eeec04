// The frame every page shares, driven through the exported entry points the way a
// host drives it: class objects, interfaces, page information, objects and site, and
// the modal run with its OK, Cancel, Help and host calls from inside the loop.
#include "PageTest.h"
#include "resource.h"

#include <olectl.h>
#include <oleauto.h>

#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace tavrel::test {
namespace {

struct PageClass {
    const CLSID* clsid;
    const wchar_t* caption;
    const wchar_t* title;
    const wchar_t* helpTopic;  // null: Help shows nothing
    bool formControl;
    bool parameterSubscriber;
};

const PageClass kPageClasses[] = {
    {&CLSID_RangeSurfaceDialog, L"Surface Range", L"Title", L"xxx_surface_range.html", true, true},
    {&CLSID_HorizontalDistanceDialog, L"Horizontal Axis", L"Title", L"qz4_para_horizontal_axis.html", true, false},
    {&CLSID_TsDistributionDlg, L"TS Distribution", L"&Title", L"qz4_para_ts_distribution.html", false, false},
    {&CLSID_BottomDetectorDialog, L"Bottom Detection", L"&Title", L"xxx_bottom_detection.html", true, true},
    {&CLSID_EchoTraceDialog, L"Single Target Detection", L"&Title", L"xxx_single_target_detection.html", true, false},
    {&CLSID_ColorScaleDialog, L"Colour Scale", L"&Title", L"qz4_para_colour_scale.html", false, false},
    {&CLSID_ConfigureWindowDlg, L"Configure Window", L"Title", L"qz4_para_configure_window.html", false, false},
    {&CLSID_RangeScrollDlg, L"Range and Scroll", L"Title", L"xxx_range_and_scroll.html", false, false},
    {&CLSID_ScopeDialog, L"Scope", L"Title", nullptr, false, false},
};

// A page site of the host's own: it only counts its references.
class CountingPageSite final : public IPropertyPageSite {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IPropertyPageSite) {
            *ppv = static_cast<IPropertyPageSite*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }
    STDMETHODIMP OnStatusChange(DWORD) override { return S_OK; }
    STDMETHODIMP GetLocaleID(LCID*) override { return E_NOTIMPL; }
    STDMETHODIMP GetPageContainer(IUnknown**) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(MSG*) override { return S_FALSE; }
    ULONG references = 1;
};

// A VARIANT holding a vector of VARIANTs, each holding one of the objects; its first
// index is lowerBound.
VARIANT ObjectArray(const std::vector<IUnknown*>& objects, LONG lowerBound = 0) {
    VARIANT array{};
    array.vt = VT_ARRAY | VT_VARIANT;
    array.parray = SafeArrayCreateVector(VT_VARIANT, lowerBound, static_cast<ULONG>(objects.size()));
    for (LONG i = lowerBound; i < lowerBound + static_cast<LONG>(objects.size()); ++i) {
        VARIANT element{};
        element.vt = VT_UNKNOWN;
        element.punkVal = objects[static_cast<size_t>(i - lowerBound)];
        SafeArrayPutElement(array.parray, &i, &element);  // copies, with a reference
    }
    return array;
}

}  // namespace

class PageFrameTest : public PageTest {};

TEST_F(PageFrameTest, ClassObjectsAreCachedCountedAndRefuseAggregation) {
    TavrelLibrary& library = TavrelLibrary::Instance();
    ASSERT_NE(nullptr, library.Module()) << "Tavrel.dll did not load";

    void* unknownClass = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, library.GetClassObject(IID_IPropertyPage, IID_IClassFactory, &unknownClass));
    EXPECT_EQ(nullptr, unknownClass) << "the out pointer is cleared first";
    EXPECT_EQ(S_OK, library.CanUnloadNow());

    for (const PageClass& pageClass : kPageClasses) {
        SCOPED_TRACE(pageClass.caption);
        ComPtr<IClassFactory> first, second;
        ASSERT_EQ(S_OK, library.GetClassObject(*pageClass.clsid, IID_IClassFactory,
                                               reinterpret_cast<void**>(first.GetAddressOf())));
        ASSERT_EQ(S_OK, library.GetClassObject(*pageClass.clsid, IID_IClassFactory,
                                               reinterpret_cast<void**>(second.GetAddressOf())));
        EXPECT_EQ(first.Get(), second.Get()) << "the same cached class object";
        EXPECT_EQ(S_FALSE, library.CanUnloadNow()) << "a held class object keeps the module";

        ComPtr<IUnknown> outer;
        first.As(&outer);
        void* aggregated = reinterpret_cast<void*>(1);
        EXPECT_EQ(CLASS_E_NOAGGREGATION, first->CreateInstance(outer.Get(), IID_IUnknown, &aggregated));
        EXPECT_EQ(nullptr, aggregated);
        void* noSuchInterface = reinterpret_cast<void*>(1);
        EXPECT_EQ(E_NOINTERFACE, first->CreateInstance(nullptr, IID_IPropertyPage2, &noSuchInterface));
        EXPECT_EQ(nullptr, noSuchInterface);

        ComPtr<IPropertyPage> page;
        ASSERT_EQ(S_OK, first->CreateInstance(nullptr, IID_IPropertyPage, reinterpret_cast<void**>(page.GetAddressOf())));
        outer.Reset();
        first.Reset();
        second.Reset();
        EXPECT_EQ(S_FALSE, library.CanUnloadNow()) << "a live page keeps the module";
        page.Reset();
        EXPECT_EQ(S_OK, library.CanUnloadNow()) << "the last page is gone";
    }

    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, library.GetClassObject(CLSID_ScopeDialog, IID_IClassFactory,
                                           reinterpret_cast<void**>(factory.GetAddressOf())));
    IClassFactory* cached = factory.Get();
    factory.Reset();
    EXPECT_EQ(S_OK, library.CanUnloadNow()) << "the module's own cache holds no lock";
    EXPECT_EQ(S_OK, cached->LockServer(TRUE));
    EXPECT_EQ(S_FALSE, library.CanUnloadNow());
    EXPECT_EQ(S_OK, cached->LockServer(FALSE));
    EXPECT_EQ(S_OK, library.CanUnloadNow());
}

TEST_F(PageFrameTest, EachClassAnswersItsInterfacesAndPageInformationAndOutsideTheRunHasNoWindow) {
    for (const PageClass& pageClass : kPageClasses) {
        SCOPED_TRACE(pageClass.caption);
        ComPtr<IPropertyPage> page = CreatePage(*pageClass.clsid);
        ASSERT_TRUE(page);
        ComPtr<IUnknown> identity, identityAgain;
        EXPECT_EQ(S_OK, page.As(&identity));
        ComPtr<IFormControl> form;
        ComPtr<IParameterSubscriber2> subscriber;
        ComPtr<IPropertyPage2> page2;
        ComPtr<IDispatch> dispatch;
        EXPECT_EQ(pageClass.formControl ? S_OK : E_NOINTERFACE, page.As(&form));
        EXPECT_EQ(pageClass.parameterSubscriber ? S_OK : E_NOINTERFACE, page.As(&subscriber));
        EXPECT_EQ(E_NOINTERFACE, page.As(&page2));
        EXPECT_EQ(E_NOINTERFACE, page.As(&dispatch));
        if (form) {
            EXPECT_EQ(S_OK, form.As(&identityAgain));
            EXPECT_EQ(identity.Get(), identityAgain.Get()) << "one identity from every interface";
        }
        if (subscriber) {
            VARIANT value{};
            value.vt = VT_R8;
            EXPECT_EQ(E_NOTIMPL, subscriber->OnParameterChanged(0, value, 0, 0, 0)) << "not one of its cookies";
        }

        // Page information from the template and the string table.
        EXPECT_EQ(E_POINTER, page->GetPageInfo(nullptr));
        PROPPAGEINFO info{};
        ASSERT_EQ(S_OK, page->GetPageInfo(&info));
        // 28 bytes in the 32-bit product; the record is wider with 64-bit pointers.
        EXPECT_EQ(sizeof(PROPPAGEINFO), info.cb);
        EXPECT_STREQ(pageClass.title, info.pszTitle);
        // Templates are 175 to 290 dialog units wide: a few hundred pixels at 8 points.
        EXPECT_TRUE(info.size.cx > 175 && info.size.cx < 1200 && info.size.cy > 90 && info.size.cy < 1200);
        CoTaskMemFree(info.pszTitle);
        CoTaskMemFree(info.pszHelpFile);
        CoTaskMemFree(info.pszDocString);

        // Outside the modal run there is no window to act on.
        const RECT rect{0, 0, 50, 50};
        EXPECT_EQ(E_UNEXPECTED, page->Show(SW_SHOW));
        EXPECT_EQ(E_UNEXPECTED, page->Move(&rect));
        EXPECT_EQ(S_OK, page->Deactivate());
        MSG timer{nullptr, WM_TIMER, 0, 0, 0, {0, 0}};
        MSG key{nullptr, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
        EXPECT_EQ(S_FALSE, page->TranslateAccelerator(&timer));
        EXPECT_EQ(S_FALSE, page->TranslateAccelerator(&key)) << "no dialog to take it";
        EXPECT_EQ(S_FALSE, page->IsPageDirty());
        EXPECT_EQ(S_OK, page->Apply());
        EXPECT_EQ(S_FALSE, page->IsPageDirty());
        HRESULT result = S_OK;
        EXPECT_FALSE(RunDialog([&] { result = page->Activate(nullptr, nullptr, TRUE); }, [](HWND) {}))
            << "a null rectangle opens no dialog";
        EXPECT_EQ(E_POINTER, result);
    }
    EXPECT_TRUE(host.Lines().empty());
}

TEST_F(PageFrameTest, SiteAndObjectsAreHeldUntilReplacedOrReleased) {
    hostsim::HostObject& view = host.Create(L"view");
    hostsim::HostObject& channel = host.Create(L"channel");
    hostsim::HostObject& other = host.Create(L"other");
    CountingPageSite site, secondSite;
    {
        ComPtr<IPropertyPage> page = CreatePage(CLSID_BottomDetectorDialog);
        ASSERT_TRUE(page);
        EXPECT_EQ(S_OK, page->SetPageSite(nullptr)) << "no site to release";
        EXPECT_EQ(S_OK, page->SetPageSite(&site));
        EXPECT_EQ(E_UNEXPECTED, page->SetPageSite(&secondSite)) << "a second site while one is held";
        EXPECT_EQ(2u, site.references);
        EXPECT_EQ(1u, secondSite.references);
        EXPECT_EQ(S_OK, page->SetPageSite(nullptr));
        EXPECT_EQ(1u, site.references);
        EXPECT_EQ(S_OK, page->SetPageSite(&site));

        EXPECT_EQ(E_POINTER, page->SetObjects(1, nullptr));
        EXPECT_EQ(S_OK, GiveObjects(page.Get(), {&view, &channel}));
        EXPECT_EQ(1u, view.OutstandingReferences());
        EXPECT_EQ(S_OK, GiveObjects(page.Get(), {&other}));
        EXPECT_EQ(0u, view.OutstandingReferences()) << "the first objects are released";
        EXPECT_EQ(0u, channel.OutstandingReferences());
        EXPECT_EQ(1u, other.OutstandingReferences());

        IUnknown* many[1] = {view.Identity()};
        // Its byte size does not fit 32 bits: refused, with nothing held afterwards.
        EXPECT_EQ(E_OUTOFMEMORY, page->SetObjects(0x40000000u, many));
        EXPECT_EQ(0u, other.OutstandingReferences());
        EXPECT_EQ(S_OK, page->SetObjects(0, many)) << "an empty list is fine";
        EXPECT_EQ(0u, view.OutstandingReferences());

        ComPtr<IFormControl> form;
        ASSERT_EQ(S_OK, page.As(&form));
        // The page takes the array: it unlocks and destroys it, so the array's own
        // references come back with it and the page's are all that is left.
        VARIANT objects = ObjectArray({view.Identity(), channel.Identity()});
        EXPECT_EQ(1u, view.OutstandingReferences()) << "the array's";
        EXPECT_EQ(S_OK, form->SetFormObjects(objects));
        EXPECT_EQ(1u, view.OutstandingReferences());
        EXPECT_EQ(1u, channel.OutstandingReferences());

        // Anything but a vector of VARIANTs is refused and stays the caller's (the fuzz
        // test hands it every other kind), also an array that is not there.
        VARIANT missing;
        VariantInit(&missing);
        missing.vt = VT_ARRAY | VT_VARIANT;
        EXPECT_EQ(E_INVALIDARG, form->SetFormObjects(missing));
        EXPECT_EQ(1u, view.OutstandingReferences()) << "refused input keeps the objects held before";

        // Elements are taken from the first index to the last, whatever they are.
        EXPECT_EQ(S_OK, form->SetFormObjects(ObjectArray({other.Identity(), view.Identity()}, 5)));
        EXPECT_EQ(1u, other.OutstandingReferences());
        EXPECT_EQ(1u, view.OutstandingReferences());

        // An empty array is taken too, and leaves the page with no objects.
        EXPECT_EQ(S_OK, form->SetFormObjects(ObjectArray({})));
        EXPECT_EQ(0u, view.OutstandingReferences());
        EXPECT_EQ(0u, other.OutstandingReferences());
    }
    EXPECT_EQ(1u, site.references) << "the page released its site when it went";
}

TEST_F(PageFrameTest, EveryPageRunsItsTemplateClosesWithOkOrCancelAndHelpShowsItsTopic) {
    for (const PageClass& pageClass : kPageClasses) {
        SCOPED_TRACE(pageClass.caption);
        const size_t mark = host.Journal().Size();
        hostsim::HostObject& view = CreateViewWithHelp();
        {
            ComPtr<IPropertyPage> page = CreatePage(*pageClass.clsid);
            ASSERT_TRUE(page);
            ASSERT_EQ(S_OK, GiveObjects(page.Get(), {&view}));
            for (int button : {IDOK, IDCANCEL}) {
                HWND seen = nullptr;
                EXPECT_TRUE(ActivateAndRun(page.Get(), [&](HWND dialog) {
                    seen = dialog;
                    Do(dialog, {Titled(pageClass.caption)});
                    EXPECT_TRUE(::IsWindowVisible(dialog));
                    if (button == IDCANCEL) Click(dialog, 57670);
                    Click(dialog, button);
                }));
                EXPECT_FALSE(::IsWindow(seen)) << "the dialog never outlives Activate";
            }
            const RECT rect{0, 0, 50, 50};
            EXPECT_EQ(E_UNEXPECTED, page->Move(&rect)) << "no window after the run";
        }
        // Help shows the page's topic through the host's viewer; nothing else reaches the host.
        std::vector<std::wstring> expected;
        if (pageClass.helpTopic)
            expected.push_back(std::wstring(L"help.IHelpViewer::ShowTopic(0, \"") + pageClass.helpTopic + L"\")");
        EXPECT_EQ(expected, host.Journal().Since(mark));
        EXPECT_EQ(0u, view.OutstandingReferences());
    }
}

TEST_F(PageFrameTest, InsideTheRunTheHostCanShowMoveFilterKeysAndDeactivate) {
    hostsim::HostObject& view = CreateViewWithHelp();
    ComPtr<IPropertyPage> page = CreatePage(CLSID_RangeScrollDlg);
    ASSERT_TRUE(page);
    ASSERT_EQ(S_OK, GiveObjects(page.Get(), {&view}));
    HWND seen = nullptr;
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        seen = dialog;
        const RECT rect{5, 6, 305, 206};
        EXPECT_EQ(S_OK, page->Move(&rect));
        RECT placed{};
        ::GetWindowRect(dialog, &placed);
        EXPECT_EQ(300, placed.right - placed.left);
        EXPECT_EQ(200, placed.bottom - placed.top);
        EXPECT_EQ(E_POINTER, page->Move(nullptr));
        EXPECT_EQ(S_OK, page->Show(SW_HIDE));
        EXPECT_FALSE(::IsWindowVisible(dialog));
        EXPECT_EQ(S_OK, page->Show(SW_SHOW));

        MSG tab{::GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
        EXPECT_EQ(S_OK, page->TranslateAccelerator(&tab)) << "the dialog takes its own navigation keys";
        MSG timer{dialog, WM_TIMER, 1, 0, 0, {0, 0}};
        EXPECT_EQ(S_FALSE, page->TranslateAccelerator(&timer));

        STYLESTRUCT styles{0, 0};
        EXPECT_EQ(0, ::SendMessageW(dialog, WM_STYLECHANGING, static_cast<WPARAM>(GWL_EXSTYLE),
                                    reinterpret_cast<LPARAM>(&styles)));
        EXPECT_EQ(static_cast<DWORD>(WS_EX_CONTROLPARENT), styles.styleNew);
        STYLESTRUCT plain{0, 0};
        EXPECT_EQ(1, ::SendMessageW(dialog, WM_STYLECHANGING, static_cast<WPARAM>(GWL_STYLE),
                                    reinterpret_cast<LPARAM>(&plain)));
        EXPECT_EQ(0u, plain.styleNew);

        EXPECT_EQ(S_OK, page->Deactivate()) << "destroys the dialog and ends the run";
        EXPECT_FALSE(::IsWindow(dialog));
    });
    EXPECT_FALSE(::IsWindow(seen));
    EXPECT_EQ(S_OK, page->Deactivate());
}

// The system's own property frame creates the page by class id, activates it from the
// frame's initialisation and never calls Apply: the page's dialog runs inside it and
// the frame's final Release frees the page with everything it held.
TEST_F(PageFrameTest, RunsInsideTheSystemPropertyFrame) {
    TavrelLibrary& library = TavrelLibrary::Instance();
    ASSERT_EQ(S_OK, library.RegisterServer());
    hostsim::HostObject& view = CreateViewWithHelp();
    view.Offer(IID_IValueStore);
    view.AddService(view);
    view.Values().Set(L"HistogramScale", 0);

    IUnknown* objects[] = {view.Identity()};
    CLSID pages[] = {CLSID_TsDistributionDlg};
    HRESULT frameResult = E_FAIL;
    bool ran = RunDialog(
        [&] {
            frameResult = OleCreatePropertyFrame(nullptr, 0, 0, L"Frame", 1, objects, 1, pages, 0, 0, nullptr);
        },
        [&](HWND dialog) {
            HWND frame = ::GetWindow(dialog, GW_OWNER);
            Do(dialog, {Titled(L"TS Distribution")});
            Click(dialog, IDC_TS_WEIGHT);
            Click(dialog, IDOK);
            // The frame stays open once the page's own dialog has closed: close it too.
            ::PostMessageW(frame, WM_COMMAND, IDCANCEL, 0);
        });
    EXPECT_TRUE(ran);
    EXPECT_EQ(S_OK, frameResult);
    EXPECT_EQ(std::vector<std::wstring>{L"view.IValueStore::PutValue(\"HistogramScale\", VT_I4 2)"}, host.Lines());
    EXPECT_EQ(S_OK, library.UnregisterServer());
}

}  // namespace tavrel::test
