// The bottom detection page, used as a person and a host would: what it reads and
// subscribes to, how its sliders, arrows and fields keep the min depth above the max
// depth, what OK and Apply write per channel, to all views or to the channel's own
// values, the host's change reports, and the page's life beside its subscriptions.
#include "PageTest.h"
#include "resource.h"

#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace tavrel::test {
namespace {

const wchar_t* const kNames[] = {L"UpperDetectorLimit", L"LowerDetectorLimit", L"BottomBackstep"};

std::wstring Path(const std::wstring& name, const std::wstring& root = L"Layer 1",
                  const std::wstring& channel = L"KTA 1") {
    return root + L"/ProcessingMgr/" + channel + L"/ChannelProcessingCommon/" + name;
}
std::wstring Subscribe(const std::wstring& name, const std::wstring& root = L"Layer 1",
                       const std::wstring& channel = L"KTA 1") {
    return L"server.IParameterServer::Subscribe(\"" + Path(name, root, channel) + L"\", object)";
}
const std::vector<std::wstring> kSubscriptions = {Subscribe(kNames[0]), Subscribe(kNames[1]), Subscribe(kNames[2])};

std::wstring SetValue(const std::wstring& name, const std::wstring& value) {
    return L"server.IParameterServer::SetValue(\"" + Path(name) + L"\", VT_R8 " + value + L")";
}
std::wstring ApplyAll(const std::wstring& name, const std::wstring& value) {
    return L"screen.IParameterAccess::SetParameter(\"ApplyAll:-SwathView:Echogram/World2Echogram/" + name +
           L"\", VT_R8 " + value + L")";
}

std::vector<std::wstring> Concat(std::vector<std::wstring> first, const std::vector<std::wstring>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

std::vector<std::wstring> Fields(HWND dialog) {
    return {GetText(dialog, IDC_BD_MIN_DEPTH_EDIT), GetText(dialog, IDC_BD_MAX_DEPTH_EDIT),
            GetText(dialog, IDC_BD_BACKSTEP_EDIT)};
}
std::pair<int, int> Sliders(HWND dialog) {
    return {SliderPosition(dialog, IDC_BD_MIN_DEPTH_SLIDER), SliderPosition(dialog, IDC_BD_MAX_DEPTH_SLIDER)};
}

class BottomDetectorTest : public PageTest {
protected:
    // Channel "KTA 1" on the editable layer "Layer 1" of a "TK22" application, looking
    // for the bottom between 10 m and 500 m with a backstep level of -50 dB.
    void SetUp() override {
        hostsim::HostObject& help = host.Create(L"help", {IID_IHelpViewer});
        layer = &host.Create(L"layer", {IID_ILayer, IID_ILayerState});
        hostsim::HostObject& layers = host.Create(L"layers", {IID_ILayerSelection});
        server = &host.Create(L"server", {IID_IParameterServer});
        screen = &host.Create(L"screen", {IID_IScreenManager, IID_IParameterAccess});
        app = &host.Create(L"app", {IID_IHostApplication});
        view = &host.Create(L"view", {IID_IObjectSite, IID_IHostView});
        channel = &host.Create(L"channel", {IID_IValueStore});
        view->AddService(help).AddService(layers).AddService(*server).AddService(*screen);
        view->SetApplication(app);
        app->SetString(L"AppName", L"TK22");
        layers.SetSelectedLayer(layer);
        layer->SetLayerName(L"Layer 1").SetLayerState(1);
        channel->Values()
            .Set(L"UpperDetectorLimit", 10.0)
            .Set(L"LowerDetectorLimit", 500.0)
            .Set(L"BottomBackstep", -50.0)
            .Set(L"ChannelID", L"KTA 1");
        page = CreatePage(CLSID_BottomDetectorDialog);
        EXPECT_EQ(S_OK, GiveObjects(page.Get(), {view, channel}));
    }
    void TearDown() override {
        page.Reset();
        PageTest::TearDown();
    }

    // The host's report that a parameter of channel "KTA 1" changed, with each
    // subscriber's answer.
    std::vector<HRESULT> Report(const wchar_t* name, const hostsim::Variant& value) {
        return server->ChangeParameter(Path(name), value);
    }
    void Run(const std::function<void(HWND dialog)>& body) { ActivateAndRun(page.Get(), body); }

    hostsim::HostObject* layer = nullptr;
    hostsim::HostObject* server = nullptr;
    hostsim::HostObject* screen = nullptr;
    hostsim::HostObject* app = nullptr;
    hostsim::HostObject* view = nullptr;
    hostsim::HostObject* channel = nullptr;
    ComPtr<IPropertyPage> page;
};

TEST_F(BottomDetectorTest, ShowsTheChannelValuesAndSubscribesToThemAtTheLayersPaths) {
    Run([&](HWND dialog) {
        EXPECT_EQ((std::vector<std::wstring>{L"10", L"500", L"-50"}), Fields(dialog));
        EXPECT_EQ((std::pair<int, int>{3, 14}), Sliders(dialog)) << "10 m and 500 m on the depth ladder";
        EXPECT_EQ((std::pair<int, int>{0, 21}), SliderRange(dialog, IDC_BD_MIN_DEPTH_SLIDER));
        EXPECT_EQ((std::pair<int, int>{0, 21}), SliderRange(dialog, IDC_BD_MAX_DEPTH_SLIDER));
        for (int label : {IDC_BD_MIN_DEPTH_TOP_LABEL, IDC_BD_MAX_DEPTH_TOP_LABEL})
            EXPECT_EQ(L"0", GetText(dialog, label));
        for (int label : {IDC_BD_MIN_DEPTH_BOTTOM_LABEL, IDC_BD_MAX_DEPTH_BOTTOM_LABEL})
            EXPECT_EQ(L"10000", GetText(dialog, label));
        for (int unit : {IDC_BD_MIN_DEPTH_UNIT, IDC_BD_MAX_DEPTH_UNIT, IDC_BD_MIN_ALARM_UNIT, IDC_BD_MAX_ALARM_UNIT}) {
            EXPECT_EQ(L"m", GetText(dialog, unit));
            EXPECT_FALSE(IsVisible(dialog, unit));
        }
        EXPECT_FALSE(IsEnabled(dialog, IDC_APPLY));
        EXPECT_TRUE(IsVisible(dialog, IDC_APPLY_TO_ALL));
        EXPECT_FALSE(IsChecked(dialog, IDC_APPLY_TO_ALL));
        // The arrows stop at their limits: depths 0 to 10000 m, backstep -80 to 0 dB.
        TypeText(dialog, IDC_BD_MAX_DEPTH_EDIT, L"10000");
        StepUpDown(dialog, IDC_BD_MAX_DEPTH_SPIN, 1);
        EXPECT_EQ(L"10000", GetText(dialog, IDC_BD_MAX_DEPTH_EDIT));
        TypeText(dialog, IDC_BD_MIN_DEPTH_EDIT, L"0");
        StepUpDown(dialog, IDC_BD_MIN_DEPTH_SPIN, -1);
        EXPECT_EQ(L"0", GetText(dialog, IDC_BD_MIN_DEPTH_EDIT));
        StepUpDown(dialog, IDC_BD_BACKSTEP_SPIN, 1);
        StepUpDown(dialog, IDC_BD_BACKSTEP_SPIN, 1);
        EXPECT_EQ(L"-48", GetText(dialog, IDC_BD_BACKSTEP_EDIT));
        TypeText(dialog, IDC_BD_BACKSTEP_EDIT, L"-80");
        StepUpDown(dialog, IDC_BD_BACKSTEP_SPIN, -1);
        EXPECT_EQ(L"-80", GetText(dialog, IDC_BD_BACKSTEP_EDIT));
        Click(dialog, ID_HELP);
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(Concat(kSubscriptions, {L"help.IHelpViewer::ShowTopic(0, \"xxx_bottom_detection.html\")"}),
              host.Lines())
        << "Cancel writes nothing";
    EXPECT_EQ(4, server->LastStatusIn(L"IParameterServer::Subscribe"));
    EXPECT_EQ(4, channel->Calls(L"IValueStore::GetValue"));
    EXPECT_EQ(1, channel->Calls(L"IValueStore::GetValue", L"ChannelID"));

    // Without a layer name, a channel id or any value, the page shows its own values
    // on paths rooted at "Local". Each run reads afresh.
    host.Journal().Clear();
    layer->SetFault(L"ILayer::GetName", hostsim::Fault::Fail());
    channel->SetFault(L"IValueStore::GetValue", hostsim::Fault::WrongType(VT_I4));
    Run([&](HWND dialog) {
        EXPECT_EQ((std::vector<std::wstring>{L"5", L"999", L"-40"}), Fields(dialog));
        EXPECT_EQ((std::pair<int, int>{2, 16}), Sliders(dialog)) << "5 m, and 1000 m as the nearest entry to 999";
        Click(dialog, IDOK);
    });
    EXPECT_EQ((std::vector<std::wstring>{Subscribe(kNames[0], L"Local", L""), Subscribe(kNames[1], L"Local", L""),
                                         Subscribe(kNames[2], L"Local", L"")}),
              host.Lines())
        << "OK without a change writes nothing";
}

TEST_F(BottomDetectorTest, OkAndApplyWriteWhatChangedToTheChannelsParameters) {
    Run([&](HWND dialog) {
        DragSlider(dialog, IDC_BD_MIN_DEPTH_SLIDER, 5);
        EXPECT_EQ(L"25", GetText(dialog, IDC_BD_MIN_DEPTH_EDIT));
        EXPECT_TRUE(IsEnabled(dialog, IDC_APPLY));
        EXPECT_EQ(S_OK, page->IsPageDirty());
        Click(dialog, IDC_APPLY);
        EXPECT_TRUE(IsEnabled(dialog, IDC_APPLY)) << "Apply leaves its button";
        EXPECT_EQ(S_OK, page->IsPageDirty()) << "and the dirty flag";
        Click(dialog, IDC_APPLY);  // nothing changed since
        // An empty field is skipped; the fields after it are written.
        TypeText(dialog, IDC_BD_MIN_DEPTH_EDIT, L"30");
        TypeText(dialog, IDC_BD_MAX_DEPTH_EDIT, L"");
        TypeText(dialog, IDC_BD_BACKSTEP_EDIT, L"-45.5 dB");
        Click(dialog, IDOK);
    });
    EXPECT_EQ(Concat(kSubscriptions, {SetValue(kNames[0], L"25"), SetValue(kNames[0], L"30"),
                                      SetValue(kNames[2], L"-45.5")}),
              host.Lines());
    EXPECT_EQ(0, server->LastStatusIn(L"IParameterServer::SetValue")) << "one status, preset once, for OK's writes";
    EXPECT_EQ(S_OK, page->Apply());
    EXPECT_EQ(S_FALSE, page->IsPageDirty()) << "IPropertyPage::Apply clears the flag";

    // Typing a backstep level alone neither enables Apply nor makes the page dirty;
    // its arrows enable Apply only. OK writes it all the same.
    host.Journal().Clear();
    Run([&](HWND dialog) {
        TypeText(dialog, IDC_BD_BACKSTEP_EDIT, L"-30");
        EXPECT_FALSE(IsEnabled(dialog, IDC_APPLY));
        StepUpDown(dialog, IDC_BD_BACKSTEP_SPIN, -1);
        EXPECT_EQ(L"-31", GetText(dialog, IDC_BD_BACKSTEP_EDIT));
        EXPECT_TRUE(IsEnabled(dialog, IDC_APPLY));
        EXPECT_EQ(S_FALSE, page->IsPageDirty());
        Click(dialog, IDOK);
    });
    EXPECT_EQ(Concat(kSubscriptions, {SetValue(kNames[2], L"-31")}), host.Lines());
}

TEST_F(BottomDetectorTest, HostReportsReplaceTheFieldsAndOnlyTheUsersChangesAreWritten) {
    Run([&](HWND dialog) {
        EXPECT_EQ(std::vector<HRESULT>{S_OK}, Report(kNames[0], 30.0));
        EXPECT_EQ(std::vector<HRESULT>{S_OK}, Report(kNames[2], -61.0));
        EXPECT_EQ((std::vector<std::wstring>{L"30", L"500", L"-61"}), Fields(dialog));
        EXPECT_EQ(5, SliderPosition(dialog, IDC_BD_MIN_DEPTH_SLIDER)) << "nearest entry to 30 is 25";
        EXPECT_FALSE(IsEnabled(dialog, IDC_APPLY)) << "a report is not the user's change";
        EXPECT_EQ(S_FALSE, page->IsPageDirty());
        // A value of another type changes nothing.
        EXPECT_EQ(std::vector<HRESULT>{S_OK}, Report(kNames[1], L"600"));
        EXPECT_EQ(L"500", GetText(dialog, IDC_BD_MAX_DEPTH_EDIT));
        // The user types a max depth, then the host reports it too: the report wins.
        TypeText(dialog, IDC_BD_MAX_DEPTH_EDIT, L"750");
        Report(kNames[1], 800.0);
        EXPECT_EQ(L"800", GetText(dialog, IDC_BD_MAX_DEPTH_EDIT));
        EXPECT_EQ(15, SliderPosition(dialog, IDC_BD_MAX_DEPTH_SLIDER));
        TypeText(dialog, IDC_BD_MAX_DEPTH_EDIT, L"900");
        Click(dialog, IDOK);
    });
    EXPECT_EQ(Concat(kSubscriptions, {SetValue(kNames[1], L"900")}), host.Lines())
        << "the reported min depth and backstep level are the host's already";

    ComPtr<IParameterSubscriber2> subscriber;
    ASSERT_EQ(S_OK, page.As(&subscriber));
    EXPECT_EQ(E_NOTIMPL, subscriber->OnParameterChanged(99, hostsim::Variant(1.0).get(), 0, 0, 0));
    EXPECT_EQ(E_NOTIMPL, subscriber->Notify(0, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(S_OK, subscriber->OnParameterChanged(3, hostsim::Variant(-70.0).get(), 0, 0, 0))
        << "the backstep level's cookie";
}

TEST_F(BottomDetectorTest, AValueTheServerRefusesIsTriedAgainAtTheNextApply) {
    Run([&](HWND dialog) {
        TypeText(dialog, IDC_BD_MIN_DEPTH_EDIT, L"20");
        TypeText(dialog, IDC_BD_MAX_DEPTH_EDIT, L"700");
        server->SetFault(L"IParameterServer::SetValue", Path(kNames[1]), hostsim::Fault::Status(-1).Times(1));
        Click(dialog, IDC_APPLY);
        EXPECT_EQ(0, server->LastStatusIn(L"IParameterServer::SetValue")) << "the min depth's write left 0";
        Click(dialog, IDC_APPLY);
        Click(dialog, IDC_APPLY);
        // Once refused, the status stays negative for the run's later writes: the
        // backstep level is not taken either.
        server->SetFault(L"IParameterServer::SetValue", Path(kNames[1]), hostsim::Fault::Status(-1).Times(1));
        server->SetFault(L"IParameterServer::SetValue", Path(kNames[2]), hostsim::Fault::Fail());
        TypeText(dialog, IDC_BD_MAX_DEPTH_EDIT, L"750");
        TypeText(dialog, IDC_BD_BACKSTEP_EDIT, L"-20");
        Click(dialog, IDC_APPLY);
        EXPECT_EQ(-1, server->LastStatusIn(L"IParameterServer::SetValue"));
        server->ClearFaults();
        Click(dialog, IDC_APPLY);
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(Concat(kSubscriptions,
                     {SetValue(kNames[0], L"20"), SetValue(kNames[1], L"700"), SetValue(kNames[1], L"700"),
                      SetValue(kNames[1], L"750"), SetValue(kNames[2], L"-20"), SetValue(kNames[1], L"750"),
                      SetValue(kNames[2], L"-20")}),
              host.Lines());
}

TEST_F(BottomDetectorTest, ApplyToAllSendsEveryValueThroughTheScreenManager) {
    Run([&](HWND dialog) {
        TypeText(dialog, IDC_BD_MIN_DEPTH_EDIT, L"20");
        Click(dialog, IDC_APPLY_TO_ALL);
        Click(dialog, IDC_APPLY);
        EXPECT_EQ(0, screen->LastStatusIn(L"IParameterAccess::SetParameter")) << "the status is preset once";
        // The channel's own values were not written: without the box the min depth
        // is still a change.
        Click(dialog, IDC_APPLY_TO_ALL);
        Click(dialog, IDC_APPLY);
        // An empty field stops the sending.
        Click(dialog, IDC_APPLY_TO_ALL);
        TypeText(dialog, IDC_BD_MAX_DEPTH_EDIT, L"");
        Click(dialog, IDOK);
    });
    EXPECT_EQ(Concat(kSubscriptions, {ApplyAll(kNames[0], L"20"), ApplyAll(kNames[1], L"500"),
                                      ApplyAll(kNames[2], L"-50"), SetValue(kNames[0], L"20"),
                                      ApplyAll(kNames[0], L"20")}),
              host.Lines());

    // Without the screen manager's parameter access nothing is written at all.
    host.Journal().Clear();
    screen->Hide(IID_IParameterAccess);
    Run([&](HWND dialog) {
        Click(dialog, IDC_APPLY_TO_ALL);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(kSubscriptions, host.Lines());

    // "TK11" in any case has no "Apply to all"; other kinds and no application keep it.
    for (const wchar_t* name : {L"tK11", L"TK11 ", L""}) {
        app->SetString(L"AppName", name);
        Run([&](HWND dialog) {
            EXPECT_EQ(std::wstring(name) != L"tK11", IsVisible(dialog, IDC_APPLY_TO_ALL)) << name;
            Click(dialog, IDCANCEL);
        });
    }
    view->SetFault(L"IHostView::GetApplication", hostsim::Fault::Fail());
    Run([&](HWND dialog) {
        EXPECT_TRUE(IsVisible(dialog, IDC_APPLY_TO_ALL));
        Click(dialog, IDCANCEL);
    });
}

TEST_F(BottomDetectorTest, WithoutAParameterServerTheChannelsValuesTakeTheChanges) {
    server->Hide(IID_IParameterServer);
    Run([&](HWND dialog) {
        TypeText(dialog, IDC_BD_MAX_DEPTH_EDIT, L"600");
        LeaveField(dialog, IDC_BD_MAX_DEPTH_EDIT);
        Click(dialog, IDC_APPLY);
        Click(dialog, IDC_APPLY);  // the last known value stays: written again
        TypeText(dialog, IDC_BD_MIN_DEPTH_EDIT, L"");
        TypeText(dialog, IDC_BD_BACKSTEP_EDIT, L"-20");
        Click(dialog, IDOK);  // the empty min depth stops the write
    });
    const std::wstring maxDepth = L"channel.IValueStore::PutValue(\"LowerDetectorLimit\", VT_R8 600)";
    EXPECT_EQ((std::vector<std::wstring>{maxDepth, maxDepth}), host.Lines()) << "no subscriptions either";
}

// Each field's handler runs as the focus leaves it, so each case starts afresh
// from 10 m and 500 m.
TEST_F(BottomDetectorTest, SlidersArrowsAndFieldsKeepTheMinDepthNoDeeperThanTheMaxDepth) {
    // A slider's field follows the thumb while it is dragged; the end of the drag
    // changes nothing of itself.
    Run([&](HWND dialog) {
        HWND slider = Control(dialog, IDC_BD_MIN_DEPTH_SLIDER);
        SendMessageW(slider, TBM_SETPOS, TRUE, 7);
        SendMessageW(dialog, WM_VSCROLL, MAKEWPARAM(TB_THUMBTRACK, 7), reinterpret_cast<LPARAM>(slider));
        EXPECT_EQ(L"75", GetText(dialog, IDC_BD_MIN_DEPTH_EDIT));
        SendMessageW(slider, TBM_SETPOS, TRUE, 8);
        SendMessageW(dialog, WM_VSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(slider));
        EXPECT_EQ(L"75", GetText(dialog, IDC_BD_MIN_DEPTH_EDIT));
        EXPECT_TRUE(IsEnabled(dialog, IDC_APPLY));
        Click(dialog, IDCANCEL);
    });
    // The min slider passing a typed max depth of 280 stops an entry short of the max
    // slider's 300; at an entry that does not pass the typed depth it stops there.
    Run([&](HWND dialog) {
        TypeText(dialog, IDC_BD_MAX_DEPTH_EDIT, L"280");
        DragSlider(dialog, IDC_BD_MIN_DEPTH_SLIDER, 13);
        EXPECT_EQ(12, SliderPosition(dialog, IDC_BD_MAX_DEPTH_SLIDER)) << "leaving the max field moved its slider";
        EXPECT_EQ(L"250", GetText(dialog, IDC_BD_MIN_DEPTH_EDIT));
        EXPECT_EQ(11, SliderPosition(dialog, IDC_BD_MIN_DEPTH_SLIDER));
        TypeText(dialog, IDC_BD_MAX_DEPTH_EDIT, L"300");
        DragSlider(dialog, IDC_BD_MIN_DEPTH_SLIDER, 14);
        EXPECT_EQ(L"300", GetText(dialog, IDC_BD_MIN_DEPTH_EDIT));
        EXPECT_EQ(12, SliderPosition(dialog, IDC_BD_MIN_DEPTH_SLIDER));
        Click(dialog, IDCANCEL);
    });
    // The max slider passing a typed min depth of 320 stops an entry beyond the min
    // slider's 300.
    Run([&](HWND dialog) {
        TypeText(dialog, IDC_BD_MAX_DEPTH_EDIT, L"1000");
        TypeText(dialog, IDC_BD_MIN_DEPTH_EDIT, L"320");
        DragSlider(dialog, IDC_BD_MAX_DEPTH_SLIDER, 3);
        EXPECT_EQ(L"400", GetText(dialog, IDC_BD_MAX_DEPTH_EDIT));
        EXPECT_EQ(13, SliderPosition(dialog, IDC_BD_MAX_DEPTH_SLIDER));
        Click(dialog, IDCANCEL);
    });
    // At the ladder's ends a slider stops at the end entry.
    Run([&](HWND dialog) {
        TypeText(dialog, IDC_BD_MAX_DEPTH_EDIT, L"20000");
        TypeText(dialog, IDC_BD_MIN_DEPTH_EDIT, L"10001");
        DragSlider(dialog, IDC_BD_MAX_DEPTH_SLIDER, 20);
        EXPECT_EQ(L"10000", GetText(dialog, IDC_BD_MAX_DEPTH_EDIT));
        EXPECT_EQ(21, SliderPosition(dialog, IDC_BD_MAX_DEPTH_SLIDER));
        Click(dialog, IDCANCEL);
    });
    Run([&](HWND dialog) {
        TypeText(dialog, IDC_BD_MIN_DEPTH_EDIT, L"-5");
        TypeText(dialog, IDC_BD_MAX_DEPTH_EDIT, L"-1");
        DragSlider(dialog, IDC_BD_MIN_DEPTH_SLIDER, 1);
        EXPECT_EQ(L"0", GetText(dialog, IDC_BD_MIN_DEPTH_EDIT));
        EXPECT_EQ(0, SliderPosition(dialog, IDC_BD_MIN_DEPTH_SLIDER));
        Click(dialog, IDCANCEL);
    });

    // Leaving a field: a min depth beyond the max depth becomes the max depth; an
    // empty max field limits nothing and puts its slider at the end; a max depth
    // above the min depth becomes the min depth; an empty min field counts as 0.
    Run([&](HWND dialog) {
        TypeText(dialog, IDC_BD_MIN_DEPTH_EDIT, L"600");
        LeaveField(dialog, IDC_BD_MIN_DEPTH_EDIT);
        EXPECT_EQ(L"500", GetText(dialog, IDC_BD_MIN_DEPTH_EDIT));
        EXPECT_EQ(14, SliderPosition(dialog, IDC_BD_MIN_DEPTH_SLIDER));
        TypeText(dialog, IDC_BD_MAX_DEPTH_EDIT, L"");
        LeaveField(dialog, IDC_BD_MAX_DEPTH_EDIT);
        EXPECT_EQ(L"", GetText(dialog, IDC_BD_MAX_DEPTH_EDIT));
        EXPECT_EQ(21, SliderPosition(dialog, IDC_BD_MAX_DEPTH_SLIDER));
        TypeText(dialog, IDC_BD_MAX_DEPTH_EDIT, L"100");
        LeaveField(dialog, IDC_BD_MAX_DEPTH_EDIT);
        EXPECT_EQ(L"500", GetText(dialog, IDC_BD_MAX_DEPTH_EDIT));
        TypeText(dialog, IDC_BD_MIN_DEPTH_EDIT, L"");
        TypeText(dialog, IDC_BD_MAX_DEPTH_EDIT, L"-3");
        LeaveField(dialog, IDC_BD_MAX_DEPTH_EDIT);
        EXPECT_EQ(L"0", GetText(dialog, IDC_BD_MAX_DEPTH_EDIT));
        EXPECT_EQ(0, SliderPosition(dialog, IDC_BD_MAX_DEPTH_SLIDER));
        LeaveField(dialog, IDC_BD_MIN_DEPTH_EDIT);
        EXPECT_EQ(L"", GetText(dialog, IDC_BD_MIN_DEPTH_EDIT)) << "0 does not pass 0";
        EXPECT_EQ(0, SliderPosition(dialog, IDC_BD_MIN_DEPTH_SLIDER));
        // Equal depths pass nothing: the text stays as typed.
        TypeText(dialog, IDC_BD_MAX_DEPTH_EDIT, L"500.0");
        TypeText(dialog, IDC_BD_MIN_DEPTH_EDIT, L"500");
        LeaveField(dialog, IDC_BD_MAX_DEPTH_EDIT);
        EXPECT_EQ(L"500", GetText(dialog, IDC_BD_MIN_DEPTH_EDIT));
        EXPECT_EQ(L"500.0", GetText(dialog, IDC_BD_MAX_DEPTH_EDIT));
        Click(dialog, IDCANCEL);
    });

    // The arrows: the min depth stops at the max depth, the max depth at the min.
    Run([&](HWND dialog) {
        TypeText(dialog, IDC_BD_MIN_DEPTH_EDIT, L"500");
        StepUpDown(dialog, IDC_BD_MIN_DEPTH_SPIN, 1);
        EXPECT_EQ(L"500", GetText(dialog, IDC_BD_MIN_DEPTH_EDIT));
        EXPECT_EQ(14, SliderPosition(dialog, IDC_BD_MIN_DEPTH_SLIDER));
        StepUpDown(dialog, IDC_BD_MAX_DEPTH_SPIN, -1);
        EXPECT_EQ(L"500", GetText(dialog, IDC_BD_MAX_DEPTH_EDIT));
        StepUpDown(dialog, IDC_BD_MIN_DEPTH_SPIN, -3);
        EXPECT_EQ(L"400", GetText(dialog, IDC_BD_MIN_DEPTH_EDIT)) << "a held arrow: steps of 100";
        EXPECT_EQ(13, SliderPosition(dialog, IDC_BD_MIN_DEPTH_SLIDER));
        StepUpDown(dialog, IDC_BD_MAX_DEPTH_SPIN, 2);
        EXPECT_EQ(L"510", GetText(dialog, IDC_BD_MAX_DEPTH_EDIT));
        EXPECT_EQ(14, SliderPosition(dialog, IDC_BD_MAX_DEPTH_SLIDER));
        TypeText(dialog, IDC_BD_MIN_DEPTH_EDIT, L"");
        StepUpDown(dialog, IDC_BD_MAX_DEPTH_SPIN, -4);
        EXPECT_EQ(L"0", GetText(dialog, IDC_BD_MAX_DEPTH_EDIT)) << "stepped down to the arrow's limit";
        EXPECT_EQ(0, SliderPosition(dialog, IDC_BD_MAX_DEPTH_SLIDER));
        Click(dialog, IDCANCEL);
    });
}

TEST_F(BottomDetectorTest, OnlyAChangeTheUserMadeMarksThePageDirty) {
    Run([&](HWND dialog) {
        // Leaving a field with the value the host has changes nothing.
        TypeText(dialog, IDC_BD_MIN_DEPTH_EDIT, L"10.0");
        LeaveField(dialog, IDC_BD_MIN_DEPTH_EDIT);
        EXPECT_FALSE(IsEnabled(dialog, IDC_APPLY));
        EXPECT_EQ(S_FALSE, page->IsPageDirty());
        TypeText(dialog, IDC_BD_MAX_DEPTH_EDIT, L"501");
        LeaveField(dialog, IDC_BD_MAX_DEPTH_EDIT);
        EXPECT_TRUE(IsEnabled(dialog, IDC_APPLY));
        EXPECT_EQ(S_OK, page->IsPageDirty());
        Click(dialog, IDCANCEL);
    });
    page->Apply();
    // Each slider and depth arrow marks it dirty, and so does a typed depth.
    for (int control : {IDC_BD_MIN_DEPTH_SLIDER, IDC_BD_MAX_DEPTH_SLIDER, IDC_BD_MIN_DEPTH_SPIN, IDC_BD_MAX_DEPTH_SPIN,
                        IDC_BD_MIN_DEPTH_EDIT}) {
        Run([&](HWND dialog) {
            if (control == IDC_BD_MIN_DEPTH_SPIN || control == IDC_BD_MAX_DEPTH_SPIN) {
                StepUpDown(dialog, control, 1);
            } else if (control == IDC_BD_MIN_DEPTH_EDIT) {
                TypeText(dialog, control, L"11");
                LeaveField(dialog, control);
            } else {
                KeySlider(dialog, control, VK_DOWN);
            }
            EXPECT_TRUE(IsEnabled(dialog, IDC_APPLY)) << control;
            Click(dialog, IDCANCEL);
        });
        EXPECT_EQ(S_OK, page->IsPageDirty()) << control;
        page->Apply();
    }
}

TEST_F(BottomDetectorTest, ALockedLayerLeavesOnlyCancelHelpAndApplyToAll) {
    layer->SetLayerState(0);
    Run([&](HWND dialog) {
        for (int id : {IDC_BD_MIN_DEPTH_SLIDER, IDC_BD_MAX_DEPTH_SLIDER, IDC_BD_MIN_DEPTH_SPIN, IDC_BD_MAX_DEPTH_SPIN,
                       IDC_BD_MIN_DEPTH_EDIT, IDC_BD_MAX_DEPTH_EDIT, IDC_BD_BACKSTEP_SPIN, IDC_BD_BACKSTEP_EDIT,
                       IDC_APPLY, IDOK})
            EXPECT_FALSE(IsEnabled(dialog, id)) << id;
        for (int id : {IDCANCEL, ID_HELP, IDC_APPLY_TO_ALL})
            EXPECT_TRUE(IsEnabled(dialog, id)) << id;
        EXPECT_EQ(std::vector<HRESULT>{S_OK}, Report(kNames[0], 25.0)) << "reports still come";
        EXPECT_FALSE(IsEnabled(dialog, IDC_APPLY));
        // The default button's command, as Enter may send it: nothing is written.
        Click(dialog, IDC_APPLY_TO_ALL);
        ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    EXPECT_EQ(kSubscriptions, host.Lines());

    // A layer whose state cannot be read leaves the page editable.
    layer->SetFault(L"ILayerState::GetState", hostsim::Fault::Fail());
    Run([&](HWND dialog) {
        EXPECT_TRUE(IsEnabled(dialog, IDOK));
        EXPECT_TRUE(IsEnabled(dialog, IDC_BD_MIN_DEPTH_EDIT));
        Click(dialog, IDCANCEL);
    });
}

// The host keeps the page's subscriber for ever: it keeps neither the page nor
// reaches it once it is gone, and keeps the module loaded until the host lets go.
TEST_F(BottomDetectorTest, SubscriptionsNeitherKeepThePageNorReachItAfterItIsGone) {
    Run([&](HWND dialog) { Click(dialog, IDOK); });
    EXPECT_EQ(std::vector<HRESULT>{S_OK}, Report(kNames[1], 800.0)) << "after the dialog closed";
    // A second run subscribes afresh: the page answers the new cookies only.
    Run([&](HWND dialog) {
        EXPECT_EQ(L"500", GetText(dialog, IDC_BD_MAX_DEPTH_EDIT)) << "read from the channel again";
        EXPECT_EQ((std::vector<HRESULT>{E_NOTIMPL, S_OK}), Report(kNames[1], 750.0));
        EXPECT_EQ(L"750", GetText(dialog, IDC_BD_MAX_DEPTH_EDIT));
        Click(dialog, IDCANCEL);
    });
    page.Reset();
    EXPECT_EQ(0u, channel->OutstandingReferences()) << "the page is gone although the host holds its subscriber";
    EXPECT_EQ((std::vector<HRESULT>{E_NOTIMPL, E_NOTIMPL}), Report(kNames[1], 900.0));
    EXPECT_EQ(S_FALSE, TavrelLibrary::Instance().CanUnloadNow()) << "the subscriber the host holds is the module's";

    // A subscription the server refuses gives no cookie to answer.
    server->ReleaseSubscribers();
    page = CreatePage(CLSID_BottomDetectorDialog);
    GiveObjects(page.Get(), {view, channel});
    server->SetFault(L"IParameterServer::Subscribe", Path(kNames[0]), hostsim::Fault::Status(-2));
    server->SetFault(L"IParameterServer::Subscribe", Path(kNames[1]), hostsim::Fault::Fail());
    Run([&](HWND dialog) { Click(dialog, IDCANCEL); });
    ComPtr<IParameterSubscriber2> subscriber;
    ASSERT_EQ(S_OK, page.As(&subscriber));
    EXPECT_EQ(E_NOTIMPL, subscriber->OnParameterChanged(0, hostsim::Variant(1.0).get(), 0, 0, 0))
        << "what the failed calls left in their cookies";
    EXPECT_EQ(std::vector<HRESULT>{S_OK}, Report(kNames[2], -10.0));
}

TEST_F(BottomDetectorTest, EveryFailingHostOperationStillOpensAndClosesThePage) {
    page.Reset();
    ForEachFault(
        {
            {channel, L"IValueStore::GetValue", hostsim::Fault::Fail()},
            {channel, L"IValueStore::GetValue", hostsim::Fault::NullObject()},
            {channel, L"IValueStore::PutValue", hostsim::Fault::Fail()},
            {channel, L"QueryInterface", hostsim::Fault::Fail(E_NOINTERFACE)},
            {layer, L"ILayer::GetName", hostsim::Fault::NullObject()},
            {layer, L"ILayerState::GetState", hostsim::Fault::Fail()},
            {view, L"IObjectSite::GetObject", hostsim::Fault::Fail()},
            {view, L"IObjectSite::GetObject", hostsim::Fault::NullObject()},
            {view, L"IHostView::GetApplication", hostsim::Fault::NullObject()},
            {app, L"IHostApplication::GetStringValue", hostsim::Fault::NullObject()},
            {server, L"IParameterServer::Subscribe", hostsim::Fault::Fail()},
            {server, L"IParameterServer::SetValue", hostsim::Fault::Fail()},
            {screen, L"IParameterAccess::SetParameter", hostsim::Fault::Status(-1, E_FAIL)},
            {screen, L"QueryInterface", hostsim::Fault::Fail(E_NOINTERFACE)},
        },
        [&] {
            ComPtr<IPropertyPage> fresh = CreatePage(CLSID_BottomDetectorDialog);
            GiveObjects(fresh.Get(), {view, channel});
            ActivateAndRun(fresh.Get(), [&](HWND dialog) {
                DragSlider(dialog, IDC_BD_MIN_DEPTH_SLIDER, 4);
                Click(dialog, ID_HELP);
                Click(dialog, IDC_APPLY);
                Click(dialog, IDC_APPLY_TO_ALL);
                Click(dialog, IDOK);
            });
            fresh.Reset();
            host.ReleaseSubscribers();
            EXPECT_TRUE(host.AllReferencesReturned()) << host.OutstandingText();
        });
    // Given only the view, or nothing: the page opens with its own values.
    for (bool withView : {true, false}) {
        ComPtr<IPropertyPage> bare = CreatePage(CLSID_BottomDetectorDialog);
        if (withView)
            GiveObjects(bare.Get(), {view});
        ActivateAndRun(bare.Get(), [&](HWND dialog) {
            EXPECT_EQ((std::vector<std::wstring>{L"5", L"999", L"-40"}), Fields(dialog));
            TypeText(dialog, IDC_BD_MIN_DEPTH_EDIT, L"20");
            Click(dialog, IDOK);
        });
    }
}

// The form route: objects handed as an array of VARIANTs, the page shown by ShowForm.
TEST_F(BottomDetectorTest, AsAFormItTakesItsObjectsFromAnArrayOfVariants) {
    ComPtr<IFormControl> form;
    ASSERT_EQ(S_OK, page.As(&form));
    SAFEARRAY* array = ::SafeArrayCreateVector(VT_VARIANT, 0, 2);
    ASSERT_TRUE(array);
    LONG index = 0;
    for (hostsim::HostObject* object : {view, channel}) {
        const hostsim::Variant element = hostsim::Variant::Object(object->Identity());
        ::SafeArrayPutElement(array, &index, const_cast<VARIANT*>(&element.get()));
        ++index;
    }
    VARIANT objects;
    ::VariantInit(&objects);
    objects.vt = VT_ARRAY | VT_VARIANT;
    objects.parray = array;
    EXPECT_EQ(S_OK, form->SetFormObjects(objects));
    EXPECT_TRUE(RunDialog([&] { form->ShowForm(0, 0); },
                          [&](HWND dialog) {
                              EXPECT_EQ(L"10", GetText(dialog, IDC_BD_MIN_DEPTH_EDIT));
                              TypeText(dialog, IDC_BD_MIN_DEPTH_EDIT, L"15");
                              Click(dialog, IDOK);
                          }));
    EXPECT_EQ(Concat(kSubscriptions, {SetValue(kNames[0], L"15")}), host.Lines());
}

}  // namespace
}  // namespace tavrel::test

namespace tavrel::test {

// What the page logs, through a copy of the library with a host logger of its own.
TEST(BottomDetectorLog, FormObjectsOfTheWrongKindAreLoggedAndRefused) {
    const std::wstring copyPath = TavrelLibrary::CopyBesideTheProgram(L"TavrelBottomLogCopy.dll");
    ASSERT_FALSE(copyPath.empty());
    hostsim::Host host;
    hostsim::HostObject& logger = host.Create(L"logger", {IID_IHostLogger});
    hostsim::HostObject& view = host.Create(L"view", {IID_IObjectSite});
    view.AddService(logger);
    {
        TavrelLibrary library(copyPath.c_str());
        GiveLoggerTo(library, view);
        ComPtr<IPropertyPage> page = library.CreatePage(CLSID_BottomDetectorDialog);
        IUnknown* objects[] = {view.Identity()};
        ASSERT_EQ(S_OK, page->SetObjects(1, objects));
        ComPtr<IFormControl> form;
        ASSERT_EQ(S_OK, page.As(&form));
        VARIANT unknowns;
        ::VariantInit(&unknowns);
        unknowns.vt = VT_ARRAY | VT_UNKNOWN;
        unknowns.parray = ::SafeArrayCreateVector(VT_UNKNOWN, 0, 0);
        EXPECT_EQ(E_INVALIDARG, form->SetFormObjects(unknowns));
        ::VariantClear(&unknowns);
        EXPECT_EQ(1u, view.OutstandingReferences()) << "the objects held before stay";
        form.Reset();
        page.Reset();
        EXPECT_TRUE(library.Unload());
    }
    EXPECT_EQ(std::vector<std::wstring>{L"logger.IHostLogger::LogMessage(\"CBottomDetectorDialog:Invalid input\", "
                                        L"\"Tavrel\", 1, 0)"},
              host.Lines());
    EXPECT_TRUE(host.AllReferencesReturned()) << host.OutstandingText();
    ::DeleteFileW(copyPath.c_str());
}

}  // namespace tavrel::test
