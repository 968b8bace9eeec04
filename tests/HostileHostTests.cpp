// Hosts that do what a host should not: call the page back from inside its own calls,
// report parameters at the wrong moment, hand objects that answer nothing, activate a
// page twice, open two pages at once. Nothing may crash and nothing may leak, on any
// page.
#include "PageTest.h"
#include "resource.h"

#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace tavrel::test {
namespace {

struct PageClass {
    const char* name;
    const CLSID* clsid;
};

const PageClass kPages[] = {
    {"RangeSurfaceDialog", &CLSID_RangeSurfaceDialog}, {"HorizontalDistanceDialog", &CLSID_HorizontalDistanceDialog},
    {"TsDistributionDlg", &CLSID_TsDistributionDlg},   {"BottomDetectorDialog", &CLSID_BottomDetectorDialog},
    {"EchoTraceDialog", &CLSID_EchoTraceDialog},       {"ColorScaleDialog", &CLSID_ColorScaleDialog},
    {"ConfigureWindowDlg", &CLSID_ConfigureWindowDlg}, {"RangeScrollDlg", &CLSID_RangeScrollDlg},
    {"ScopeDialog", &CLSID_ScopeDialog},
};

class HostileHostTest : public PageTest {
protected:
    // A view whose services are found through its site, and a second object with
    // values, parameters and a depth range: enough for every page to call the host.
    void SetUp() override {
        view = &CreateViewWithHelp();
        view->Offer({IID_IValueStore, IID_IParameterAccess, IID_IHostNode, IID_IEchogramRange});
        channel = &host.Create(L"channel", {IID_IValueStore, IID_IEchogramRange, IID_IParameterAccess});
        channel->SetDepthRange(0, 100, 0).SetDepthRange(8, 100, 0).SetDepthRange(16, 200, 0);
    }

    hostsim::HostObject* view = nullptr;
    hostsim::HostObject* channel = nullptr;
};

const RECT kRect{0, 0, 300, 200};

TEST_F(HostileHostTest, TheHostCallsThePageBackFromInsideItsOwnCalls) {
    for (const PageClass& page : kPages) {
        SCOPED_TRACE(page.name);
        ComPtr<IPropertyPage> opened = CreatePage(*page.clsid);
        ASSERT_EQ(S_OK, GiveObjects(opened.Get(), {view, channel}));
        // While the page looks for its services, the host moves, shows, applies and
        // asks about the page; the second time it takes the dialog away altogether.
        int lookups = 0;
        view->OnCall(L"IObjectSite::GetObject", [&] {
            const RECT inside{5, 5, 205, 155};
            opened->Move(&inside);
            opened->Show(SW_SHOW);
            opened->Apply();
            opened->IsPageDirty();
            MSG key{nullptr, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
            opened->TranslateAccelerator(&key);
            if (++lookups == 2)
                opened->Deactivate();
        });
        // The host's Deactivate took the dialog away before the user saw it.
        const bool shown =
            RunDialog([&] { opened->Activate(nullptr, &kRect, TRUE); }, [](HWND dialog) { Click(dialog, IDOK); });
        EXPECT_EQ(lookups < 2, shown) << lookups << " lookups";
        view->OnCall(L"IObjectSite::GetObject", [] {});
        EXPECT_EQ(S_OK, opened->Deactivate());
        opened.Reset();
        host.ReleaseSubscribers();
        EXPECT_TRUE(host.AllReferencesReturned()) << host.OutstandingText();
    }
}

TEST_F(HostileHostTest, ObjectsThatAnswerNothingStillOpenAndClose) {
    hostsim::HostObject& blank = host.Create(L"blank");
    hostsim::HostObject& empty = host.Create(L"empty");
    hostsim::HostObject& void_ = host.Create(L"void");
    for (const PageClass& page : kPages) {
        SCOPED_TRACE(page.name);
        ComPtr<IPropertyPage> opened = CreatePage(*page.clsid);
        ASSERT_EQ(S_OK, GiveObjects(opened.Get(), {&blank, &empty, &void_}));
        for (int button : {IDOK, IDCANCEL})
            EXPECT_TRUE(ActivateAndRun(opened.Get(), [&](HWND dialog) { Click(dialog, button); }));
        // And nulls in the list, as a careless host might hand over.
        ASSERT_EQ(S_OK, GiveObjects(opened.Get(), {nullptr, nullptr, nullptr}));
        EXPECT_TRUE(ActivateAndRun(opened.Get(), [&](HWND dialog) { Click(dialog, IDOK); }));
    }
    EXPECT_TRUE(host.Lines().empty()) << host.Text();
}

TEST_F(HostileHostTest, TwoPagesOpenAtOnceFromOneHost) {
    for (const PageClass& outer : kPages) {
        SCOPED_TRACE(outer.name);
        ComPtr<IPropertyPage> first = CreatePage(*outer.clsid);
        ComPtr<IPropertyPage> second = CreatePage(CLSID_TsDistributionDlg);
        ASSERT_EQ(S_OK, GiveObjects(first.Get(), {view, channel}));
        ASSERT_EQ(S_OK, GiveObjects(second.Get(), {view}));
        ActivateAndRun(first.Get(), [&](HWND firstDialog) {
            // The second page opens over the first, owned by it, and closes first.
            EXPECT_TRUE(ActivateAndRun(second.Get(), [&](HWND secondDialog) {
                EXPECT_EQ(firstDialog, ::GetWindow(secondDialog, GW_OWNER));
                Click(secondDialog, IDCANCEL);
            }));
            EXPECT_TRUE(::IsWindow(firstDialog));
            Click(firstDialog, IDCANCEL);
        });
        // The same page object again, at once.
        EXPECT_TRUE(ActivateAndRun(first.Get(), [&](HWND dialog) { Click(dialog, IDCANCEL); }));
    }
    EXPECT_TRUE(host.Lines().empty()) << "Cancel everywhere: nothing written\n" << host.Text();
}

// Reports at every wrong moment: before the page is activated, while it initialises,
// after its dialog closed and after the host released it.
TEST_F(HostileHostTest, ParameterReportsAtEveryWrongMoment) {
    hostsim::HostObject& layer = host.Create(L"layer", {IID_ILayer, IID_ILayerState});
    hostsim::HostObject& layers = host.Create(L"layers", {IID_ILayerSelection});
    hostsim::HostObject& notifier = host.Create(L"notifier", {IID_IParameterNotifier});
    view->AddService(layers).AddService(notifier);
    layers.SetSelectedLayer(&layer);
    channel->Values().Set(L"CurrentChannel", L"KTA 1");
    const std::wstring path = L"layer/ProcessingMgr/KTA 1/ChannelProcessingCommon/MaxPingRange";
    const hostsim::Variant report(300.0);

    ComPtr<IPropertyPage> page = CreatePage(CLSID_RangeSurfaceDialog);
    ComPtr<IParameterSubscriber2> subscriber;
    ASSERT_EQ(S_OK, page.As(&subscriber));
    for (long cookie : {0L, 1L})  // 0: no cookie the page holds yet, not even a zero one
        EXPECT_EQ(E_NOTIMPL, subscriber->OnParameterChanged(cookie, report.get(), 0, 0, 0)) << "before Activate";
    ASSERT_EQ(S_OK, GiveObjects(page.Get(), {view, channel}));
    for (int run = 0; run < 2; ++run) {
        // From the second run on the host reports through the first subscription while
        // the page initialises, before its fields are filled.
        channel->OnCall(L"IEchogramRange::GetDepthRange", [&] { notifier.ChangeParameter(path, report); });
        EXPECT_TRUE(ActivateAndRun(page.Get(), [&](HWND dialog) {
            EXPECT_EQ(L"100", GetText(dialog, IDC_RS_RANGE_EDIT));
            Click(dialog, IDOK);
        }));
    }
    channel->OnCall(L"IEchogramRange::GetDepthRange", [] {});
    EXPECT_EQ((std::vector<HRESULT>{E_NOTIMPL, S_OK}), notifier.ChangeParameter(path, report)) << "after the dialog";
    subscriber.Reset();
    page.Reset();
    EXPECT_EQ((std::vector<HRESULT>{E_NOTIMPL, E_NOTIMPL}), notifier.ChangeParameter(path, report))
        << "after the last release";
}

}  // namespace
}  // namespace tavrel::test
