// The surface and bottom range page, used as a person and a host would: what it
// shows from the host's values, how its trackbars, arrows and fields keep range and
// start within the maximum ping range, what OK, Apply and "Apply to all" send, and
// its subscription to the maximum ping range.
#include "PageTest.h"
#include "resource.h"

#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace tavrel::test {
namespace {

const std::wstring kMaxPingPath = L"Layer 1/ProcessingMgr/KTA 1/ChannelProcessingCommon/MaxPingRange";
const std::wstring kSubscribeLine = L"notifier.IParameterNotifier::Subscribe(\"" + kMaxPingPath + L"\", object)";

std::wstring SetDepthRange(const std::wstring& range, const std::wstring& start) {
    return L"channel.IEchogramRange::SetDepthRange(" + range + L", " + start + L", 0)";
}

std::wstring WindowText(HWND window) {
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

class RangeSurfaceTest : public PageTest {
protected:
    // A view of channel "KTA 1" on an editable layer: the page subscribes to the
    // maximum ping range and can offer "Apply to all".
    void SetUp() override {
        hostsim::HostObject& help = host.Create(L"help", {IID_IHelpViewer});
        layer = &host.Create(L"layer", {IID_ILayer, IID_ILayerState});
        hostsim::HostObject& layers = host.Create(L"layers", {IID_ILayerSelection});
        notifier = &host.Create(L"notifier", {IID_IParameterNotifier});
        screen = &host.Create(L"screen", {IID_IScreenManager, IID_IScreenCommand});
        view = &host.Create(L"view", {IID_IObjectSite});
        channel = &host.Create(L"channel", {IID_IValueStore, IID_IEchogramRange});
        view->AddService(help).AddService(layers).AddService(*notifier).AddService(*screen);
        layers.SetSelectedLayer(layer);
        layer->SetLayerName(L"Layer 1").SetLayerState(0);
        channel->Values()
            .Set(L"EchogramType", 0)
            .Set(L"CurrentChannel", L"KTA 1")
            .Set(L"AutomaticRefresh", 1);
        channel->SetDepthRange(0, 10000, 100);
    }

    ComPtr<IPropertyPage> OpenablePage(std::initializer_list<hostsim::HostObject*> objects) {
        return CreatePage(CLSID_RangeSurfaceDialog, objects);
    }

    // Tells the page's subscriber that the maximum ping range is now maxPing.
    std::vector<HRESULT> ReportMaxPing(const hostsim::Variant& maxPing) {
        return notifier->ChangeParameter(kMaxPingPath, maxPing);
    }

    hostsim::HostObject* layer = nullptr;
    hostsim::HostObject* notifier = nullptr;
    hostsim::HostObject* screen = nullptr;
    hostsim::HostObject* view = nullptr;
    hostsim::HostObject* channel = nullptr;
};

TEST_F(RangeSurfaceTest, ShowsTheDisplayedRangeAndWritesOnlyAChange) {
    ComPtr<IPropertyPage> page = OpenablePage({view, channel});
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_EQ(L"Surface Range", WindowText(dialog));
        EXPECT_EQ(L"Start relative surface [m]:", GetText(dialog, IDC_RS_START_CAPTION));
        EXPECT_EQ(L"10000", GetText(dialog, IDC_RS_RANGE_EDIT));
        EXPECT_EQ(L"100", GetText(dialog, IDC_RS_START_EDIT));
        EXPECT_EQ(21, SliderPosition(dialog, IDC_RS_RANGE_SLIDER));
        EXPECT_EQ(9, SliderPosition(dialog, IDC_RS_START_SLIDER));
        EXPECT_EQ((std::pair<int, int>{0, 21}), SliderRange(dialog, IDC_RS_RANGE_SLIDER));
        EXPECT_EQ((std::pair<int, int>{0, 18}), SliderRange(dialog, IDC_RS_START_SLIDER));
        EXPECT_EQ(L"1", GetText(dialog, IDC_RS_RANGE_TOP_LABEL));
        EXPECT_EQ(L"10000", GetText(dialog, IDC_RS_RANGE_BOTTOM_LABEL));
        EXPECT_EQ(L"0", GetText(dialog, IDC_RS_START_TOP_LABEL));
        EXPECT_EQ(L"7500", GetText(dialog, IDC_RS_START_BOTTOM_LABEL));
        EXPECT_EQ(L"m", GetText(dialog, IDC_RS_RANGE_UNIT));
        EXPECT_EQ(L"m", GetText(dialog, IDC_RS_START_UNIT));
        EXPECT_TRUE(IsVisible(dialog, IDC_APPLY_TO_ALL));

        // 7500 + 100 stays below 10000: the range takes the trackbar's entry.
        DragSlider(dialog, IDC_RS_RANGE_SLIDER, 20);
        EXPECT_EQ(L"7500", GetText(dialog, IDC_RS_RANGE_EDIT));
        EXPECT_EQ(S_OK, page->IsPageDirty()) << "the trackbar marked the page dirty";
        Click(dialog, IDC_APPLY);
        Click(dialog, IDC_APPLY);  // nothing new: nothing written
        // The arrows step the typed value, not the trackbar's entry.
        TypeText(dialog, IDC_RS_START_EDIT, L"12");
        StepUpDown(dialog, IDC_RS_START_SPIN, 1);
        EXPECT_EQ(L"13", GetText(dialog, IDC_RS_START_EDIT));
        EXPECT_EQ(5, SliderPosition(dialog, IDC_RS_START_SLIDER)) << "nearest entry to 13 is 15";
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ((std::vector<std::wstring>{kSubscribeLine, SetDepthRange(L"7500", L"100")}), host.Lines());
    EXPECT_EQ(S_OK, page->Apply());
    EXPECT_EQ(S_OK, page->IsPageDirty()) << "Apply leaves this page's flag";

    // The next run reads afresh; OK without a change writes nothing.
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_EQ(L"7500", GetText(dialog, IDC_RS_RANGE_EDIT));
        Click(dialog, IDOK);
    });
    EXPECT_EQ(3u, host.Lines().size()) << "only a second subscription:\n" << host.Text();
}

TEST_F(RangeSurfaceTest, RangeAndStartStayWithinTheMaxPingRange) {
    channel->SetDepthRange(0, 400, 100);
    ComPtr<IPropertyPage> page = OpenablePage({view, channel});
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        // Reported while the dialog is open: the controls stay, the next event uses it.
        EXPECT_EQ(std::vector<HRESULT>{S_OK}, ReportMaxPing(500.0));
        EXPECT_EQ(L"400", GetText(dialog, IDC_RS_RANGE_EDIT));

        // While the thumb is still held the field follows it.
        HoldSlider(dialog, IDC_RS_RANGE_SLIDER, 10);
        EXPECT_EQ(L"200", GetText(dialog, IDC_RS_RANGE_EDIT));
        HoldSlider(dialog, IDC_RS_START_SLIDER, 4);
        EXPECT_EQ(L"10", GetText(dialog, IDC_RS_START_EDIT));
        TypeText(dialog, IDC_RS_START_EDIT, L"100");

        // Range trackbar to 750 with start 100: the range becomes 400.
        DragSlider(dialog, IDC_RS_RANGE_SLIDER, 15);
        EXPECT_EQ(L"400", GetText(dialog, IDC_RS_RANGE_EDIT));
        EXPECT_EQ(13, SliderPosition(dialog, IDC_RS_RANGE_SLIDER));
        // The arrow up to 401 is held back to 400 as well.
        StepUpDown(dialog, IDC_RS_RANGE_SPIN, 1);
        EXPECT_EQ(L"400", GetText(dialog, IDC_RS_RANGE_EDIT));
        EXPECT_EQ(13, SliderPosition(dialog, IDC_RS_RANGE_SLIDER));
        // A start of 150 typed and left: it becomes 100.
        TypeText(dialog, IDC_RS_START_EDIT, L"150");
        LeaveField(dialog, IDC_RS_START_EDIT);
        EXPECT_EQ(L"100", GetText(dialog, IDC_RS_START_EDIT));
        EXPECT_EQ(9, SliderPosition(dialog, IDC_RS_START_SLIDER));
        // A range typed within the limit stays as typed; beyond it, it is cut.
        TypeText(dialog, IDC_RS_RANGE_EDIT, L"333");
        LeaveField(dialog, IDC_RS_RANGE_EDIT);
        EXPECT_EQ(L"333", GetText(dialog, IDC_RS_RANGE_EDIT));
        EXPECT_EQ(12, SliderPosition(dialog, IDC_RS_RANGE_SLIDER)) << "nearest entry to 333 is 300";

        // Typed beyond the limit and left, the range is cut to fit the start.
        TypeText(dialog, IDC_RS_RANGE_EDIT, L"600");
        LeaveField(dialog, IDC_RS_RANGE_EDIT);
        EXPECT_EQ(L"400", GetText(dialog, IDC_RS_RANGE_EDIT));

        // One empty field: OK and Apply write nothing.
        TypeText(dialog, IDC_RS_START_EDIT, L"");
        Click(dialog, IDC_APPLY);
        TypeText(dialog, IDC_RS_START_EDIT, L"10");
        TypeText(dialog, IDC_RS_RANGE_EDIT, L"");
        Click(dialog, IDC_APPLY);
        TypeText(dialog, IDC_RS_RANGE_EDIT, L"400");

        // An empty start: the range trackbar counts with the page's start (100), the
        // start trackbar does nothing.
        TypeText(dialog, IDC_RS_START_EDIT, L"");
        DragSlider(dialog, IDC_RS_RANGE_SLIDER, 14);
        EXPECT_EQ(L"400", GetText(dialog, IDC_RS_RANGE_EDIT)) << "500 + 100 passes the limit";
        TypeText(dialog, IDC_RS_RANGE_EDIT, L"");
        DragSlider(dialog, IDC_RS_START_SLIDER, 5);
        EXPECT_EQ(L"", GetText(dialog, IDC_RS_START_EDIT));
        Click(dialog, IDOK);  // empty fields: nothing is written
    });
    EXPECT_EQ(std::vector<std::wstring>{kSubscribeLine}, host.Lines());
    host.Journal().Clear();

    // A range of 600 from the host and a limit of 500 reported once the dialog is
    // open: the start trackbar and arrows hold the start at 0; leaving the start field
    // takes it below 0.
    channel->SetDepthRange(0, 600, 100);
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        ReportMaxPing(500.0);
        DragSlider(dialog, IDC_RS_START_SLIDER, 3);
        EXPECT_EQ(L"0", GetText(dialog, IDC_RS_START_EDIT));
        EXPECT_EQ(0, SliderPosition(dialog, IDC_RS_START_SLIDER));
        StepUpDown(dialog, IDC_RS_START_SPIN, 1);
        EXPECT_EQ(L"0", GetText(dialog, IDC_RS_START_EDIT));
        LeaveField(dialog, IDC_RS_START_EDIT);
        EXPECT_EQ(L"-100", GetText(dialog, IDC_RS_START_EDIT));
        EXPECT_EQ(0, SliderPosition(dialog, IDC_RS_START_SLIDER));
        Click(dialog, IDCANCEL);
    });

    // Reported after the dialog closed: only the limit changes, for the next run.
    // Each run subscribed; the page answers the newest subscription's cookie.
    EXPECT_EQ((std::vector<HRESULT>{E_NOTIMPL, S_OK}), ReportMaxPing(300.0));
    EXPECT_EQ((std::vector<HRESULT>{E_NOTIMPL, S_OK}), ReportMaxPing(L"a text")) << "another type is ignored";
    ComPtr<IParameterSubscriber2> subscriber;
    ASSERT_EQ(S_OK, page.As(&subscriber));
    EXPECT_EQ(E_NOTIMPL, subscriber->OnParameterChanged(99, hostsim::Variant(50.0).get(), 0, 0, 0))
        << "not the page's cookie";
    EXPECT_EQ(S_OK, subscriber->Notify(0, 0, 0, 0, 0, 0, 0));
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        DragSlider(dialog, IDC_RS_RANGE_SLIDER, 21);
        EXPECT_EQ(L"200", GetText(dialog, IDC_RS_RANGE_EDIT)) << "300 - 100";
        Click(dialog, IDCANCEL);
    });
}

TEST_F(RangeSurfaceTest, BottomModeUsesItsLaddersTitleHelpAndCommand) {
    channel->Values().Set(L"EchogramType", 1);
    channel->SetDepthRange(0, 250, 12.34);
    ComPtr<IPropertyPage> page = OpenablePage({view, channel});
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_EQ(L"Bottom Range", WindowText(dialog));
        EXPECT_EQ(L"Start Relative Bottom", GetText(dialog, IDC_RS_START_CAPTION));
        EXPECT_EQ(L"2", GetText(dialog, IDC_RS_RANGE_TOP_LABEL));
        EXPECT_EQ(L"1500", GetText(dialog, IDC_RS_RANGE_BOTTOM_LABEL));
        EXPECT_EQ(L"-75", GetText(dialog, IDC_RS_START_TOP_LABEL));
        EXPECT_EQ(L"20", GetText(dialog, IDC_RS_START_BOTTOM_LABEL));
        EXPECT_EQ((std::pair<int, int>{0, 16}), SliderRange(dialog, IDC_RS_RANGE_SLIDER));
        EXPECT_EQ(L"12", GetText(dialog, IDC_RS_START_EDIT));
        EXPECT_EQ(10, SliderPosition(dialog, IDC_RS_RANGE_SLIDER)) << "250";
        EXPECT_EQ(16, SliderPosition(dialog, IDC_RS_START_SLIDER)) << "nearest entry to 12.34 is 10";
        // The arrows stop at the bottom ladder's ends.
        TypeText(dialog, IDC_RS_START_EDIT, L"-75");
        StepUpDown(dialog, IDC_RS_START_SPIN, -1);
        EXPECT_EQ(L"-75", GetText(dialog, IDC_RS_START_EDIT));
        TypeText(dialog, IDC_RS_START_EDIT, L"12.34");
        Click(dialog, ID_HELP);
        Click(dialog, IDC_APPLY_TO_ALL);
        Click(dialog, IDOK);
    });
    EXPECT_EQ((std::vector<std::wstring>{kSubscribeLine, L"help.IHelpViewer::ShowTopic(0, \"xxx_bottom_range.html\")",
                                         L"screen.IScreenCommand::ExecuteCommand(1172, 123, 2500)"}),
              host.Lines());
}

// Every trackbar position shows its ladder entry, in both modes.
TEST_F(RangeSurfaceTest, TheTrackbarsStepThroughTheirLadders) {
    using Ladder = std::vector<std::wstring>;
    const Ladder surfaceRange = {L"1",   L"2",   L"5",   L"10",  L"15",   L"25",   L"50",   L"75",
                                 L"100", L"150", L"200", L"250", L"300",  L"400",  L"500",  L"750",
                                 L"1000", L"1500", L"2500", L"5000", L"7500", L"10000"};
    const Ladder surfaceStart = {L"0",   L"2",   L"5",   L"7",    L"10",   L"15",   L"25",   L"50",   L"75",   L"100",
                                 L"150", L"250", L"500", L"750", L"1000", L"1500", L"2500", L"5000", L"7500"};
    const Ladder bottomRange = {L"2",   L"5",   L"10",  L"15",  L"25",  L"50",  L"75",   L"100",  L"150",
                                L"200", L"250", L"300", L"400", L"500", L"750", L"1000", L"1500"};
    const Ladder bottomStart = {L"-75", L"-50", L"-20", L"-15", L"-10", L"-7", L"-5", L"-3", L"-2", L"-1",
                                L"0",   L"1",   L"2",   L"3",   L"5",   L"7",  L"10", L"15", L"20"};
    channel->SetDepthRange(0, 2, 0);
    ComPtr<IPropertyPage> page = OpenablePage({view, channel});
    for (int mode : {0, 1}) {
        channel->Values().Set(L"EchogramType", mode);
        const Ladder& range = mode ? bottomRange : surfaceRange;
        const Ladder& start = mode ? bottomStart : surfaceStart;
        ActivateAndRun(page.Get(), [&](HWND dialog) {
            // With the start at 0 and the range at 2 neither passes the limit.
            TypeText(dialog, IDC_RS_START_EDIT, L"0");
            EXPECT_EQ(range, FieldAtEachPosition(dialog, IDC_RS_RANGE_SLIDER, IDC_RS_RANGE_EDIT, range.size()));
            TypeText(dialog, IDC_RS_RANGE_EDIT, L"2");
            EXPECT_EQ(start, FieldAtEachPosition(dialog, IDC_RS_START_SLIDER, IDC_RS_START_EDIT, start.size()));
            Click(dialog, IDCANCEL);
        });
    }
}

TEST_F(RangeSurfaceTest, ApplyToAllIsOfferedOnlyWhenTheHostCanApplyItself) {
    ComPtr<IPropertyPage> page = OpenablePage({view, channel});
    // A view that does not refresh by itself gets no "Apply to all".
    channel->Values().Set(L"AutomaticRefresh", 0);
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_FALSE(IsVisible(dialog, IDC_APPLY_TO_ALL));
        Click(dialog, IDCANCEL);
    });
    // An unreadable setting counts as refreshing by itself.
    channel->SetFault(L"IValueStore::GetValue", L"AutomaticRefresh", hostsim::Fault::WrongType(VT_BSTR));
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_TRUE(IsVisible(dialog, IDC_APPLY_TO_ALL));
        // Sent whether or not anything changed, and the page's values stay: the
        // next own write still finds the range changed.
        TypeText(dialog, IDC_RS_RANGE_EDIT, L"250");
        Click(dialog, IDC_APPLY_TO_ALL);
        Click(dialog, IDC_APPLY);
        Click(dialog, IDC_APPLY_TO_ALL);
        Click(dialog, IDOK);
    });
    // Without a screen command there is nothing to apply to all views with.
    screen->Hide(IID_IScreenCommand);
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_FALSE(IsVisible(dialog, IDC_APPLY_TO_ALL));
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ((std::vector<std::wstring>{kSubscribeLine, kSubscribeLine,
                                         L"screen.IScreenCommand::ExecuteCommand(1171, 1000, 2500)",
                                         SetDepthRange(L"250", L"100"), kSubscribeLine}),
              host.Lines());
}

TEST_F(RangeSurfaceTest, AnUnreadableRangeLeavesTheFieldsEmptyAndWritesNothing) {
    ComPtr<IPropertyPage> page = OpenablePage({view, channel});
    channel->SetFault(L"IEchogramRange::GetDepthRange", hostsim::Fault::Fail(S_FALSE));
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_EQ(L"", GetText(dialog, IDC_RS_RANGE_EDIT));
        EXPECT_EQ(L"", GetText(dialog, IDC_RS_START_EDIT));
        EXPECT_EQ(0, SliderPosition(dialog, IDC_RS_RANGE_SLIDER));
        DragSlider(dialog, IDC_RS_START_SLIDER, 5);
        Click(dialog, IDOK);
    });
    // The third object's values count only when both can be read.
    channel->Hide(IID_IEchogramRange);
    hostsim::HostObject& third = host.Create(L"third", {IID_IValueStore});
    third.Values().Set(L"RangeSurface", 300).Set(L"RangeSurfaceStart", 2.5);  // not whole metres
    ComPtr<IPropertyPage> withThird = OpenablePage({view, channel, &third});
    ActivateAndRun(withThird.Get(), [&](HWND dialog) {
        EXPECT_EQ(L"", GetText(dialog, IDC_RS_RANGE_EDIT));
        Click(dialog, IDOK);
    });
    EXPECT_EQ((std::vector<std::wstring>{kSubscribeLine, kSubscribeLine}), host.Lines());
}

TEST_F(RangeSurfaceTest, WithoutAnEchogramRangeTheThirdObjectKeepsWholeMetres) {
    channel->Hide(IID_IEchogramRange);
    hostsim::HostObject& third = host.Create(L"third", {IID_IValueStore});
    third.Values().Set(L"RangeSurface", 300).Set(L"RangeSurfaceStart", 5);
    third.Values().Set(L"RangeBottom", 50).Set(L"RangeBottomStart", -10);
    ComPtr<IPropertyPage> page = OpenablePage({view, channel, &third});
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_EQ(L"300", GetText(dialog, IDC_RS_RANGE_EDIT));
        EXPECT_EQ(L"5", GetText(dialog, IDC_RS_START_EDIT));
        EXPECT_FALSE(IsVisible(dialog, IDC_APPLY_TO_ALL)) << "no screen command without the range";
        TypeText(dialog, IDC_RS_START_EDIT, L"7.9");
        Click(dialog, IDOK);
    });
    channel->Values().Set(L"EchogramType", 1);
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_EQ(L"50", GetText(dialog, IDC_RS_RANGE_EDIT));
        TypeText(dialog, IDC_RS_RANGE_EDIT, L"75.5");
        Click(dialog, IDOK);
    });
    EXPECT_EQ((std::vector<std::wstring>{kSubscribeLine, L"third.IValueStore::PutValue(\"RangeSurface\", VT_I4 300)",
                                         L"third.IValueStore::PutValue(\"RangeSurfaceStart\", VT_I4 7)",
                                         kSubscribeLine, L"third.IValueStore::PutValue(\"RangeBottom\", VT_I4 75)",
                                         L"third.IValueStore::PutValue(\"RangeBottomStart\", VT_I4 -10)"}),
              host.Lines());

    // No source at all: the page's values show when the echogram type was read;
    // without the type the fields stay empty. Either way nothing is written, and
    // the page's values stay what the host had.
    host.Journal().Clear();
    ComPtr<IPropertyPage> twoObjects = OpenablePage({view, channel});
    for (int run = 0; run < 2; ++run) {
        ActivateAndRun(twoObjects.Get(), [&](HWND dialog) {
            EXPECT_EQ(L"0", GetText(dialog, IDC_RS_RANGE_EDIT));
            TypeText(dialog, IDC_RS_RANGE_EDIT, L"300");
            Click(dialog, IDOK);
        });
    }
    channel->SetFault(L"IValueStore::GetValue", L"EchogramType", hostsim::Fault::Fail());
    ActivateAndRun(twoObjects.Get(), [&](HWND dialog) {
        EXPECT_EQ(L"", GetText(dialog, IDC_RS_RANGE_EDIT));
        EXPECT_EQ(0, SliderPosition(dialog, IDC_RS_RANGE_SLIDER));
        Click(dialog, IDOK);
    });
    EXPECT_EQ((std::vector<std::wstring>{kSubscribeLine, kSubscribeLine, kSubscribeLine}), host.Lines());
}

TEST_F(RangeSurfaceTest, SubscribesOnlyOnAnEditableLayerWithAChannel) {
    ComPtr<IPropertyPage> page = OpenablePage({view, channel});
    auto openAndCancel = [&] {
        ActivateAndRun(page.Get(), [](HWND dialog) { Click(dialog, IDCANCEL); });
    };
    layer->SetLayerState(1);
    openAndCancel();
    layer->SetLayerState(0);
    channel->Values().Set(L"CurrentChannel", 7);  // not a text
    openAndCancel();
    EXPECT_TRUE(host.Lines().empty()) << host.Text();

    // A layer that gives no name roots the path at "Local".
    channel->Values().Set(L"CurrentChannel", L"KTA 1");
    layer->SetFault(L"ILayer::GetName", hostsim::Fault::Fail());
    openAndCancel();
    EXPECT_EQ(std::vector<std::wstring>{L"notifier.IParameterNotifier::Subscribe(\"Local/ProcessingMgr/KTA 1/"
                                        L"ChannelProcessingCommon/MaxPingRange\", object)"},
              host.Lines());
}

// The host keeps the page's subscriber for ever. It must keep neither the page nor
// reach it once it is gone; it keeps the module loaded until the host lets go.
TEST_F(RangeSurfaceTest, ASubscriptionNeitherKeepsThePageNorReachesItAfterItIsGone) {
    ComPtr<IPropertyPage> page = OpenablePage({view, channel});
    HWND seen = nullptr;
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        seen = dialog;
        Click(dialog, IDOK);
    });
    EXPECT_EQ(std::vector<HRESULT>{S_OK}, ReportMaxPing(800.0)) << "after the dialog closed";
    EXPECT_FALSE(::IsWindow(seen));
    page.Reset();
    EXPECT_EQ(0u, channel->OutstandingReferences()) << "the page is gone although the host holds its subscriber";
    EXPECT_EQ(std::vector<HRESULT>{E_NOTIMPL}, ReportMaxPing(900.0)) << "after the host released the page";
    EXPECT_EQ(S_FALSE, TavrelLibrary::Instance().CanUnloadNow()) << "the subscriber the host holds is the module's";
}

TEST_F(RangeSurfaceTest, EveryFailingHostOperationStillOpensAndClosesThePage) {
    ForEachFault(
        {
            {channel, L"IValueStore::GetValue", hostsim::Fault::Fail()},
            {channel, L"IValueStore::GetValue", hostsim::Fault::WrongType(VT_R8)},
            {channel, L"IEchogramRange::GetDepthRange", hostsim::Fault::Fail()},
            {channel, L"IEchogramRange::GetDepthRange", hostsim::Fault::Fail(S_FALSE)},
            {layer, L"ILayerState::GetState", hostsim::Fault::Fail()},
            {layer, L"ILayer::GetName", hostsim::Fault::NullObject()},
            {notifier, L"IParameterNotifier::Subscribe", hostsim::Fault::Fail()},
            {view, L"IObjectSite::GetObject", hostsim::Fault::Fail()},
            {view, L"IObjectSite::GetObject", hostsim::Fault::NullObject()},
            {channel, L"QueryInterface", hostsim::Fault::Fail(E_NOINTERFACE)},
        },
        [&] {
            {
                ComPtr<IPropertyPage> page = OpenablePage({view, channel});
                ActivateAndRun(page.Get(), [&](HWND dialog) {
                    DragSlider(dialog, IDC_RS_RANGE_SLIDER, 3);
                    Click(dialog, IDOK);
                });
            }
            host.ReleaseSubscribers();
            EXPECT_TRUE(host.AllReferencesReturned()) << host.OutstandingText();
        });
    // Nothing at all: a page given no objects still opens and closes.
    ComPtr<IPropertyPage> bare = CreatePage(CLSID_RangeSurfaceDialog);
    ActivateAndRun(bare.Get(), [&](HWND dialog) { Click(dialog, IDOK); });
}

}  // namespace
}  // namespace tavrel::test

namespace tavrel::test {

// The log line of a failed subscription, through a copy of the library that has a
// host logger of its own.
TEST(RangeSurfaceLog, AFailedSubscriptionIsLoggedWithItsPath) {
    const std::wstring copyPath = TavrelLibrary::CopyBesideTheProgram(L"TavrelRangeLogCopy.dll");
    ASSERT_FALSE(copyPath.empty());
    hostsim::Host host;
    hostsim::HostObject& logger = host.Create(L"logger", {IID_IHostLogger});
    hostsim::HostObject& layer = host.Create(L"layer", {IID_ILayerState, IID_IHostNode});
    hostsim::HostObject& layers = host.Create(L"layers", {IID_ILayerSelection});
    hostsim::HostObject& view = host.Create(L"view", {IID_IObjectSite});
    hostsim::HostObject& channel = host.Create(L"channel", {IID_IValueStore});
    view.AddService(logger).AddService(layers);
    layers.SetSelectedLayer(&layer);
    layer.SetLayerState(0).SetNodeName(L"Node 2");
    channel.Values().Set(L"CurrentChannel", L"KTB 7");
    {
        TavrelLibrary library(copyPath.c_str());
        GiveLoggerTo(library, view);
        ComPtr<IPropertyPage> page = library.CreatePage(CLSID_RangeSurfaceDialog);
        IUnknown* objects[] = {view.Identity(), channel.Identity()};
        ASSERT_EQ(S_OK, page->SetObjects(2, objects));
        const RECT rect{0, 0, 100, 100};
        EXPECT_TRUE(RunDialog([&] { page->Activate(nullptr, &rect, TRUE); },
                              [](HWND dialog) { Click(dialog, IDOK); }));
        page.Reset();
        EXPECT_TRUE(library.Unload());
    }
    // No parameter notifier on the view: the subscription fails.
    EXPECT_EQ(std::vector<std::wstring>{L"logger.IHostLogger::LogMessage(\"RangeSurfaceDialog failed to retrieve "
                                        L"max ping: Node 2/ProcessingMgr/KTB 7/ChannelProcessingCommon/MaxPingRange\", "
                                        L"\"Tavrel\", 1, 0)"},
              host.Lines());
    EXPECT_TRUE(host.AllReferencesReturned()) << host.OutstandingText();
    ::DeleteFileW(copyPath.c_str());
}

}  // namespace tavrel::test
