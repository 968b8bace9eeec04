// The surface and bottom range page, used as a person and a host would: what it
// shows from the host's values, how its trackbars, arrows and fields keep range and
// start within the maximum ping range, what OK, Apply and "Apply to all" send, and
// its subscription to the maximum ping range. What any failing host operation must
// not do is the fault sweep's to check.
#include "PageTest.h"
#include "resource.h"

#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace tavrel::test {
namespace {

constexpr int kRange = IDC_RS_RANGE_EDIT, kStart = IDC_RS_START_EDIT;
constexpr int kRangeSlider = IDC_RS_RANGE_SLIDER, kStartSlider = IDC_RS_START_SLIDER;
const std::vector<int> kLabels = {IDC_RS_RANGE_TOP_LABEL, IDC_RS_RANGE_BOTTOM_LABEL, IDC_RS_START_TOP_LABEL,
                                  IDC_RS_START_BOTTOM_LABEL};
const std::wstring kMaxPingPath = L"Layer 1/ProcessingMgr/KTA 1/ChannelProcessingCommon/MaxPingRange";
const std::wstring kSubscribed = L"notifier.IParameterNotifier::Subscribe(\"" + kMaxPingPath + L"\", object)";

std::wstring SetDepthRange(const std::wstring& range, const std::wstring& start) {
    return L"channel.IEchogramRange::SetDepthRange(" + range + L", " + start + L", 0)";
}
std::wstring Put(const std::wstring& name, int value) {
    return L"third.IValueStore::PutValue(\"" + name + L"\", VT_I4 " + std::to_wstring(value) + L")";
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
        channel->Values().Set(L"EchogramType", 0).Set(L"CurrentChannel", L"KTA 1").Set(L"AutomaticRefresh", 1);
        channel->SetDepthRange(0, 10000, 100);
        page = OpenablePage({view, channel});
    }

    ComPtr<IPropertyPage> OpenablePage(std::initializer_list<hostsim::HostObject*> objects) {
        return CreatePage(CLSID_RangeSurfaceDialog, objects);
    }

    // Tells the page's subscriber that the maximum ping range is now maxPing.
    std::vector<HRESULT> ReportMaxPing(const hostsim::Variant& maxPing) {
        return notifier->ChangeParameter(kMaxPingPath, maxPing);
    }

    hostsim::HostObject *layer = nullptr, *notifier = nullptr, *screen = nullptr, *view = nullptr, *channel = nullptr;
};

TEST_F(RangeSurfaceTest, ShowsTheDisplayedRangeAndWritesOnlyAChange) {
    // 7500 + 100 stays below 10000: the range takes the trackbar's entry, and the
    // trackbar marks the page dirty; a second Apply has nothing new to write. The
    // arrows step the typed value, not the trackbar's entry (15 is nearest to 13).
    Run({Titled(L"Surface Range"), Shows(IDC_RS_START_CAPTION, L"Start relative surface [m]:"),
                     Shows({kRange, kStart, IDC_RS_RANGE_UNIT, IDC_RS_START_UNIT}, {L"10000", L"100", L"m", L"m"}),
                     At(kRangeSlider, 21), At(kStartSlider, 9), Shows(kLabels, {L"1", L"10000", L"0", L"7500"}),
                     Step{[](HWND dialog) {
                         EXPECT_EQ((std::pair<int, int>{0, 21}), SliderRange(dialog, kRangeSlider));
                         EXPECT_EQ((std::pair<int, int>{0, 18}), SliderRange(dialog, kStartSlider));
                     }},
                     Visible(IDC_APPLY_TO_ALL), Drag(kRangeSlider, 20), Shows(kRange, L"7500"), Dirty(true),
                     Press(IDC_APPLY), Press(IDC_APPLY),
                     Type(kStart, L"12"), Arrow(IDC_RS_START_SPIN, 1), Shows(kStart, L"13"), At(kStartSlider, 5),
                     Press(IDCANCEL)});
    EXPECT_EQ((Lines{kSubscribed, SetDepthRange(L"7500", L"100")}), TakeLines());
    EXPECT_EQ(S_OK, page->Apply());
    EXPECT_EQ(S_OK, page->IsPageDirty()) << "Apply leaves this page's flag";

    // The next run reads afresh; OK without a change writes nothing.
    Run({Shows(kRange, L"7500"), Press(IDOK)});
    EXPECT_EQ(Lines{kSubscribed}, host.Lines());
}

TEST_F(RangeSurfaceTest, RangeAndStartStayWithinTheMaxPingRange) {
    channel->SetDepthRange(0, 400, 100);
    const auto report = [&](double maxPing) { return Step{[=](HWND) { ReportMaxPing(maxPing); }}; };
    // Reported while the dialog is open: the controls stay, the next event uses it.
    // While the thumb is still held the field follows it. Range trackbar to 750 with
    // start 100: the range becomes 400, and so does an arrow up to 401. A start of
    // 150 typed and left becomes 100. A range typed within the limit stays as typed
    // (300 nearest to 333); beyond it, it is cut to fit the start. With one empty
    // field OK and Apply write nothing. An empty start: the range trackbar counts
    // with the page's start (100: 500 + 100 passes the limit), the start trackbar
    // does nothing.
    Run({Step{[&](HWND) { EXPECT_EQ(std::vector<HRESULT>{S_OK}, ReportMaxPing(500.0)); }},
                     Shows(kRange, L"400"), Hold(kRangeSlider, 10), Shows(kRange, L"200"), Hold(kStartSlider, 4),
                     Shows(kStart, L"10"), Type(kStart, L"100"), Drag(kRangeSlider, 15), Shows(kRange, L"400"),
                     At(kRangeSlider, 13), Arrow(IDC_RS_RANGE_SPIN, 1), Shows(kRange, L"400"), At(kRangeSlider, 13),
                     Type(kStart, L"150"), Leave(kStart), Shows(kStart, L"100"), At(kStartSlider, 9),
                     Type(kRange, L"333"), Leave(kRange), Shows(kRange, L"333"), At(kRangeSlider, 12),
                     Type(kRange, L"600"), Leave(kRange), Shows(kRange, L"400"), Type(kStart, L""), Press(IDC_APPLY),
                     Type(kStart, L"10"), Type(kRange, L""), Press(IDC_APPLY), Type(kRange, L"400"), Type(kStart, L""),
                     Drag(kRangeSlider, 14), Shows(kRange, L"400"), Type(kRange, L""), Drag(kStartSlider, 5),
                     Shows(kStart, L""), Press(IDOK)});
    EXPECT_EQ(Lines{kSubscribed}, TakeLines());

    // A range of 600 from the host and a limit of 500 reported once the dialog is
    // open: the start trackbar and arrows hold the start at 0; leaving the start field
    // takes it below 0.
    channel->SetDepthRange(0, 600, 100);
    Run({report(500.0), Drag(kStartSlider, 3), Shows(kStart, L"0"), At(kStartSlider, 0),
                     Arrow(IDC_RS_START_SPIN, 1), Shows(kStart, L"0"), Leave(kStart), Shows(kStart, L"-100"),
                     At(kStartSlider, 0), Press(IDCANCEL)});

    // Reported after the dialog closed: only the limit changes, for the next run.
    // Each run subscribed; the page answers the newest subscription's cookie.
    EXPECT_EQ((std::vector<HRESULT>{E_NOTIMPL, S_OK}), ReportMaxPing(300.0));
    EXPECT_EQ((std::vector<HRESULT>{E_NOTIMPL, S_OK}), ReportMaxPing(L"a text")) << "another type is ignored";
    ComPtr<IParameterSubscriber2> subscriber;
    ASSERT_EQ(S_OK, page.As(&subscriber));
    EXPECT_EQ(E_NOTIMPL, subscriber->OnParameterChanged(99, hostsim::Variant(50.0).get(), 0, 0, 0))
        << "not the page's cookie";
    EXPECT_EQ(S_OK, subscriber->Notify(0, 0, 0, 0, 0, 0, 0));
    Run({Drag(kRangeSlider, 21), Shows(kRange, L"200"), Press(IDCANCEL)});  // 300 - 100
}

TEST_F(RangeSurfaceTest, BottomModeUsesItsLaddersTitleHelpAndCommand) {
    // 250 on the range ladder, 10 the nearest entry to 12.34; the arrows stop at the
    // bottom ladder's ends.
    channel->Values().Set(L"EchogramType", 1);
    channel->SetDepthRange(0, 250, 12.34);
    Use(OpenablePage({view, channel}).Get(),
        {Titled(L"Bottom Range"), Shows(IDC_RS_START_CAPTION, L"Start Relative Bottom"),
         Shows(kLabels, {L"2", L"1500", L"-75", L"20"}), Step{[](HWND dialog) {
             EXPECT_EQ((std::pair<int, int>{0, 16}), SliderRange(dialog, kRangeSlider));
         }},
         Shows(kStart, L"12"), At(kRangeSlider, 10), At(kStartSlider, 16), Type(kStart, L"-75"),
         Arrow(IDC_RS_START_SPIN, -1), Shows(kStart, L"-75"), Type(kStart, L"12.34"), Press(ID_HELP),
         Press(IDC_APPLY_TO_ALL), Press(IDOK)});
    EXPECT_EQ((Lines{kSubscribed, L"help.IHelpViewer::ShowTopic(0, \"xxx_bottom_range.html\")",
                     L"screen.IScreenCommand::ExecuteCommand(1172, 123, 2500)"}),
              host.Lines());
}

// Every trackbar position shows its ladder entry, in both modes.
TEST_F(RangeSurfaceTest, TheTrackbarsStepThroughTheirLadders) {
    const Lines surfaceRange = {L"1",   L"2",   L"5",   L"10",  L"15",   L"25",   L"50",   L"75",
                                L"100", L"150", L"200", L"250", L"300",  L"400",  L"500",  L"750",
                                L"1000", L"1500", L"2500", L"5000", L"7500", L"10000"};
    const Lines surfaceStart = {L"0",   L"2",   L"5",   L"7",    L"10",   L"15",   L"25",   L"50",   L"75",   L"100",
                                L"150", L"250", L"500", L"750", L"1000", L"1500", L"2500", L"5000", L"7500"};
    const Lines bottomRange = {L"2",   L"5",   L"10",  L"15",  L"25",  L"50",  L"75",   L"100",  L"150",
                               L"200", L"250", L"300", L"400", L"500", L"750", L"1000", L"1500"};
    const Lines bottomStart = {L"-75", L"-50", L"-20", L"-15", L"-10", L"-7", L"-5", L"-3", L"-2", L"-1",
                               L"0",   L"1",   L"2",   L"3",   L"5",   L"7",  L"10", L"15", L"20"};
    channel->SetDepthRange(0, 2, 0);
    for (int mode : {0, 1}) {
        channel->Values().Set(L"EchogramType", mode);
        const Lines& range = mode ? bottomRange : surfaceRange;
        const Lines& start = mode ? bottomStart : surfaceStart;
        ActivateAndRun(page.Get(), [&](HWND dialog) {
            // With the start at 0 and the range at 2 neither passes the limit.
            TypeText(dialog, kStart, L"0");
            EXPECT_EQ(range, FieldAtEachPosition(dialog, kRangeSlider, kRange, range.size()));
            TypeText(dialog, kRange, L"2");
            EXPECT_EQ(start, FieldAtEachPosition(dialog, kStartSlider, kStart, start.size()));
            Click(dialog, IDCANCEL);
        });
    }
}

TEST_F(RangeSurfaceTest, ApplyToAllIsOfferedOnlyWhenTheHostCanApplyItself) {
    // A view that does not refresh by itself gets no "Apply to all".
    channel->Values().Set(L"AutomaticRefresh", 0);
    Run({Visible(IDC_APPLY_TO_ALL, false), Press(IDCANCEL)});
    // An unreadable setting counts as refreshing by itself. "Apply to all" is sent
    // whether or not anything changed, and the page's values stay: the next own
    // write still finds the range changed.
    channel->SetFault(L"IValueStore::GetValue", L"AutomaticRefresh", hostsim::Fault::WrongType(VT_BSTR));
    Run({Visible(IDC_APPLY_TO_ALL), Type(kRange, L"250"), Press(IDC_APPLY_TO_ALL), Press(IDC_APPLY),
         Press(IDC_APPLY_TO_ALL), Press(IDOK)});
    // Without a screen command there is nothing to apply to all views with.
    screen->Hide(IID_IScreenCommand);
    Run({Visible(IDC_APPLY_TO_ALL, false), Press(IDCANCEL)});
    EXPECT_EQ((Lines{kSubscribed, kSubscribed, L"screen.IScreenCommand::ExecuteCommand(1171, 1000, 2500)",
                     SetDepthRange(L"250", L"100"), kSubscribed}),
              host.Lines());
}

TEST_F(RangeSurfaceTest, WithoutARangeTheThirdObjectKeepsWholeMetresElseNothingIsWritten) {
    // A range that comes with S_FALSE leaves the fields empty.
    channel->SetFault(L"IEchogramRange::GetDepthRange", hostsim::Fault::Fail(S_FALSE));
    Use(OpenablePage({view, channel}).Get(),
        {Shows({kRange, kStart}, {L"", L""}), At(kRangeSlider, 0), Drag(kStartSlider, 5), Press(IDOK)});
    EXPECT_EQ(Lines{kSubscribed}, TakeLines());

    // Without an echogram range the third object's values count, only when both can
    // be read, and in whole metres.
    channel->Hide(IID_IEchogramRange);
    hostsim::HostObject& third = host.Create(L"third", {IID_IValueStore});
    third.Values().Set(L"RangeSurface", 300).Set(L"RangeSurfaceStart", 2.5);  // not whole metres
    Use(OpenablePage({view, channel, &third}).Get(), {Shows(kRange, L""), Press(IDOK)});
    third.Values().Set(L"RangeSurfaceStart", 5).Set(L"RangeBottom", 50).Set(L"RangeBottomStart", -10);
    page = OpenablePage({view, channel, &third});
    Run({Shows({kRange, kStart}, {L"300", L"5"}), Visible(IDC_APPLY_TO_ALL, false),  // no screen command
         Type(kStart, L"7.9"), Press(IDOK)});
    channel->Values().Set(L"EchogramType", 1);
    Run({Shows(kRange, L"50"), Type(kRange, L"75.5"), Press(IDOK)});
    EXPECT_EQ((Lines{kSubscribed, kSubscribed, Put(L"RangeSurface", 300), Put(L"RangeSurfaceStart", 7), kSubscribed,
                     Put(L"RangeBottom", 75), Put(L"RangeBottomStart", -10)}),
              TakeLines());

    // No source at all: the page's values show when the echogram type was read;
    // without the type the fields stay empty. Either way nothing is written, and
    // the page's values stay what the host had. Nor with no objects at all.
    ComPtr<IPropertyPage> twoObjects = OpenablePage({view, channel});
    for (int run = 0; run < 2; ++run)
        Use(twoObjects.Get(), {Shows(kRange, L"0"), Type(kRange, L"300"), Press(IDOK)});
    channel->SetFault(L"IValueStore::GetValue", L"EchogramType", hostsim::Fault::Fail());
    Use(twoObjects.Get(), {Shows(kRange, L""), At(kRangeSlider, 0), Press(IDOK)});
    Use(CreatePage(CLSID_RangeSurfaceDialog).Get(), {Type(kRange, L"300"), Press(IDOK)});
    EXPECT_EQ((Lines{kSubscribed, kSubscribed, kSubscribed}), host.Lines());
}

TEST_F(RangeSurfaceTest, SubscribesOnlyOnAnEditableLayerWithAChannel) {
    layer->SetLayerState(1);
    Run({Press(IDCANCEL)});
    ComPtr<IParameterSubscriber2> subscriber;
    ASSERT_EQ(S_OK, page.As(&subscriber));
    EXPECT_EQ(E_NOTIMPL, subscriber->OnParameterChanged(0, hostsim::Variant(50.0).get(), 0, 0, 0))
        << "no subscription, no cookie, not even 0";
    layer->SetLayerState(0);
    channel->Values().Set(L"CurrentChannel", 7);  // not a text
    Run({Press(IDCANCEL)});
    EXPECT_TRUE(host.Lines().empty()) << host.Text();

    // A layer that gives no name roots the path at "Local".
    channel->Values().Set(L"CurrentChannel", L"KTA 1");
    layer->SetFault(L"ILayer::GetName", hostsim::Fault::Fail());
    Run({Press(IDCANCEL)});
    EXPECT_EQ(Lines{L"notifier.IParameterNotifier::Subscribe(\"Local/ProcessingMgr/KTA 1/"
                    L"ChannelProcessingCommon/MaxPingRange\", object)"},
              host.Lines());
}

// The host keeps the page's subscriber for ever. It must keep neither the page nor
// reach it once it is gone; it keeps the module loaded until the host lets go.
TEST_F(RangeSurfaceTest, ASubscriptionNeitherKeepsThePageNorReachesItAfterItIsGone) {
    HWND seen = nullptr;
    Run({Step{[&](HWND dialog) { seen = dialog; }}, Press(IDOK)});
    EXPECT_EQ(std::vector<HRESULT>{S_OK}, ReportMaxPing(800.0)) << "after the dialog closed";
    EXPECT_FALSE(::IsWindow(seen));
    page.Reset();
    EXPECT_EQ(0u, channel->OutstandingReferences()) << "the page is gone although the host holds its subscriber";
    EXPECT_EQ(std::vector<HRESULT>{E_NOTIMPL}, ReportMaxPing(900.0)) << "after the host released the page";
    EXPECT_EQ(S_FALSE, TavrelLibrary::Instance().CanUnloadNow()) << "the subscriber the host holds is the module's";
}

// The log line of a failed subscription (no parameter notifier on the view), through
// a copy of the library that has a host logger of its own.
TEST(RangeSurfaceLog, AFailedSubscriptionIsLoggedWithItsPath) {
    hostsim::Host host;
    hostsim::HostObject& layer = host.Create(L"layer", {IID_ILayerState, IID_IHostNode});
    hostsim::HostObject& layers = host.Create(L"layers", {IID_ILayerSelection});
    hostsim::HostObject& view = host.Create(L"view", {IID_IObjectSite});
    hostsim::HostObject& channel = host.Create(L"channel", {IID_IValueStore});
    view.AddService(host.Create(L"logger", {IID_IHostLogger})).AddService(layers);
    layers.SetSelectedLayer(&layer);
    layer.SetLayerState(0).SetNodeName(L"Node 2");
    channel.Values().Set(L"CurrentChannel", L"KTB 7");
    WithLibraryCopy(L"TavrelRangeLogCopy.dll", [&](TavrelLibrary& library) {
        GiveLoggerTo(library, view);
        RunPage(library, CLSID_RangeSurfaceDialog, {&view, &channel}, [](HWND dialog) { Click(dialog, IDOK); });
    });
    EXPECT_EQ(Lines{L"logger.IHostLogger::LogMessage(\"RangeSurfaceDialog failed to retrieve max ping: Node 2/"
                    L"ProcessingMgr/KTB 7/ChannelProcessingCommon/MaxPingRange\", \"Tavrel\", 1, 0)"},
              host.Lines());
    EXPECT_TRUE(host.AllReferencesReturned()) << host.OutstandingText();
}

}  // namespace
}  // namespace tavrel::test
