// The bottom detection page, used as a person and a host would: what it reads and
// subscribes to, how its sliders, arrows and fields keep the min depth above the max
// depth, what OK and Apply write per channel, to all views or to the channel's own
// values, the host's change reports, and the page's life beside its subscriptions.
// What any failing host operation must not do is the fault sweep's to check.
#include "PageTest.h"
#include "resource.h"

#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace tavrel::test {
namespace {

const wchar_t* const kNames[] = {L"UpperDetectorLimit", L"LowerDetectorLimit", L"BottomBackstep"};
constexpr int kMin = IDC_BD_MIN_DEPTH_EDIT, kMax = IDC_BD_MAX_DEPTH_EDIT, kBack = IDC_BD_BACKSTEP_EDIT;
constexpr int kMinSlider = IDC_BD_MIN_DEPTH_SLIDER, kMaxSlider = IDC_BD_MAX_DEPTH_SLIDER;
constexpr int kMinArrow = IDC_BD_MIN_DEPTH_SPIN, kMaxArrow = IDC_BD_MAX_DEPTH_SPIN, kBackArrow = IDC_BD_BACKSTEP_SPIN;
const std::vector<int> kFields = {kMin, kMax, kBack};

std::wstring Path(const std::wstring& name, const std::wstring& root = L"Layer 1",
                  const std::wstring& channel = L"KTA 1") {
    return root + L"/ProcessingMgr/" + channel + L"/ChannelProcessingCommon/" + name;
}
std::wstring Subscribe(const std::wstring& name, const std::wstring& root = L"Layer 1",
                       const std::wstring& channel = L"KTA 1") {
    return L"server.IParameterServer::Subscribe(\"" + Path(name, root, channel) + L"\", object)";
}
std::wstring SetValue(int name, const std::wstring& value) {
    return L"server.IParameterServer::SetValue(\"" + Path(kNames[name]) + L"\", VT_R8 " + value + L")";
}
std::wstring ApplyAll(int name, const std::wstring& value) {
    return L"screen.IParameterAccess::SetParameter(\"ApplyAll:-SwathView:Echogram/World2Echogram/" +
           std::wstring(kNames[name]) + L"\", VT_R8 " + value + L")";
}
// The three subscriptions every run starts with, then lines.
Lines Subscribed(const Lines& lines = {}) {
    Lines all = {Subscribe(kNames[0]), Subscribe(kNames[1]), Subscribe(kNames[2])};
    all.insert(all.end(), lines.begin(), lines.end());
    return all;
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
        channel->Values().Set(L"UpperDetectorLimit", 10.0).Set(L"LowerDetectorLimit", 500.0);
        channel->Values().Set(L"BottomBackstep", -50.0).Set(L"ChannelID", L"KTA 1");
        page = CreatePage(CLSID_BottomDetectorDialog, {view, channel});
    }

    // The host's report that a parameter of channel "KTA 1" changed, with each
    // subscriber's answer.
    std::vector<HRESULT> Report(int name, const hostsim::Variant& value) {
        return server->ChangeParameter(Path(kNames[name]), value);
    }
    Step Reports(int name, double value, std::vector<HRESULT> answers = {S_OK}) {
        return {[=](HWND) { EXPECT_EQ(answers, Report(name, value)); }};
    }
    void Cancelled(std::initializer_list<Step> steps) {
        ActivateAndRun(page.Get(), [&](HWND dialog) {
            Do(dialog, steps);
            Click(dialog, IDCANCEL);
        });
    }

    hostsim::HostObject *layer = nullptr, *server = nullptr, *screen = nullptr;
    hostsim::HostObject *app = nullptr, *view = nullptr, *channel = nullptr;
};

TEST_F(BottomDetectorTest, ShowsTheChannelValuesAndSubscribesToThemAtTheLayersPaths) {
    Run({Shows(kFields, {L"10", L"500", L"-50"}), At(kMinSlider, 3), At(kMaxSlider, 14),  // on the depth ladder
         Shows({IDC_BD_MIN_DEPTH_TOP_LABEL, IDC_BD_MAX_DEPTH_TOP_LABEL, IDC_BD_MIN_DEPTH_BOTTOM_LABEL,
                IDC_BD_MAX_DEPTH_BOTTOM_LABEL, IDC_BD_MIN_DEPTH_UNIT, IDC_BD_MAX_ALARM_UNIT},
               {L"0", L"0", L"10000", L"10000", L"m", L"m"}),
         Enabled(IDC_APPLY, false), Visible(IDC_BD_MIN_DEPTH_UNIT, false), Visible(IDC_APPLY_TO_ALL),
         Checked(IDC_APPLY_TO_ALL, false), Step{[](HWND dialog) {
             for (int slider : {kMinSlider, kMaxSlider})
                 EXPECT_EQ((std::pair<int, int>{0, 21}), SliderRange(dialog, slider));
         }},
         // The arrows stop at their limits: depths 0 to 10000 m, backstep -80 to 0 dB.
         Type(kMax, L"10000"), Arrow(kMaxArrow, 1), Shows(kMax, L"10000"), Type(kMin, L"0"), Arrow(kMinArrow, -1),
         Shows(kMin, L"0"), Arrow(kBackArrow, 1), Arrow(kBackArrow, 1), Shows(kBack, L"-48"), Type(kBack, L"-80"),
         Arrow(kBackArrow, -1), Shows(kBack, L"-80"), Press(ID_HELP), Press(IDCANCEL)});
    EXPECT_EQ(Subscribed({L"help.IHelpViewer::ShowTopic(0, \"xxx_bottom_detection.html\")"}), TakeLines())
        << "Cancel writes nothing";
    EXPECT_EQ(4, server->LastStatusIn(L"IParameterServer::Subscribe"));
    EXPECT_EQ(4, channel->Calls(L"IValueStore::GetValue"));
    EXPECT_EQ(1, channel->Calls(L"IValueStore::GetValue", L"ChannelID"));

    // Without a layer name, a channel id or any value, the page shows its own values
    // on paths rooted at "Local". Each run reads afresh.
    layer->SetFault(L"ILayer::GetName", hostsim::Fault::Fail());
    channel->SetFault(L"IValueStore::GetValue", hostsim::Fault::WrongType(VT_I4));
    Run({Shows(kFields, {L"5", L"999", L"-40"}), At(kMinSlider, 2), At(kMaxSlider, 16),  // 1000 nearest to 999
         Press(IDOK)});
    EXPECT_EQ((Lines{Subscribe(kNames[0], L"Local", L""), Subscribe(kNames[1], L"Local", L""),
                     Subscribe(kNames[2], L"Local", L"")}),
              host.Lines())
        << "OK without a change writes nothing";
    // Given only the view, or nothing, it shows its own values too.
    for (bool withView : {true, false}) {
        ComPtr<IPropertyPage> bare = CreatePage(CLSID_BottomDetectorDialog);
        if (withView)
            GiveObjects(bare.Get(), {view});
        Use(bare.Get(), {Shows(kFields, {L"5", L"999", L"-40"}), Type(kMin, L"20"), Press(IDOK)});
    }
}

TEST_F(BottomDetectorTest, OkAndApplyWriteWhatChangedToTheChannelsParameters) {
    // Apply leaves its button and the dirty flag; an empty field is skipped, the
    // fields after it are written.
    Run({Drag(kMinSlider, 5), Shows(kMin, L"25"), Enabled(IDC_APPLY), Dirty(true), Press(IDC_APPLY),
         Enabled(IDC_APPLY), Dirty(true), Press(IDC_APPLY), Type(kMin, L"30"), Type(kMax, L""),
         Type(kBack, L"-45.5 dB"), Press(IDOK)});
    EXPECT_EQ(Subscribed({SetValue(0, L"25"), SetValue(0, L"30"), SetValue(2, L"-45.5")}), TakeLines());
    EXPECT_EQ(0, server->LastStatusIn(L"IParameterServer::SetValue")) << "one status, preset once, for OK's writes";
    EXPECT_EQ(S_OK, page->Apply());
    EXPECT_EQ(S_FALSE, page->IsPageDirty()) << "IPropertyPage::Apply clears the flag";

    // Typing a backstep level alone neither enables Apply nor makes the page dirty;
    // its arrows enable Apply only. OK writes it all the same.
    Run({Type(kBack, L"-30"), Enabled(IDC_APPLY, false), Arrow(kBackArrow, -1), Shows(kBack, L"-31"),
         Enabled(IDC_APPLY), Dirty(false), Press(IDOK)});
    EXPECT_EQ(Subscribed({SetValue(2, L"-31")}), host.Lines());
}

TEST_F(BottomDetectorTest, HostReportsReplaceTheFieldsAndOnlyTheUsersChangesAreWritten) {
    // A report is not the user's change; a value of another type changes nothing;
    // a report after the user typed wins.
    Run({Reports(0, 30.0), Reports(2, -61.0), Shows(kFields, {L"30", L"500", L"-61"}), At(kMinSlider, 5),
         Enabled(IDC_APPLY, false), Dirty(false),
         Step{[&](HWND) { EXPECT_EQ(std::vector<HRESULT>{S_OK}, Report(1, L"600")); }}, Shows(kMax, L"500"),
         Type(kMax, L"750"), Reports(1, 800.0), Shows(kMax, L"800"), At(kMaxSlider, 15), Type(kMax, L"900"),
         Press(IDOK)});
    EXPECT_EQ(Subscribed({SetValue(1, L"900")}), host.Lines())
        << "the reported min depth and backstep level are the host's already";

    ComPtr<IParameterSubscriber2> subscriber;
    ASSERT_EQ(S_OK, page.As(&subscriber));
    EXPECT_EQ(E_NOTIMPL, subscriber->OnParameterChanged(99, hostsim::Variant(1.0).get(), 0, 0, 0));
    EXPECT_EQ(E_NOTIMPL, subscriber->Notify(0, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(S_OK, subscriber->OnParameterChanged(3, hostsim::Variant(-70.0).get(), 0, 0, 0))
        << "the backstep level's cookie";
}

TEST_F(BottomDetectorTest, AValueTheServerRefusesIsTriedAgainAtTheNextApply) {
    const auto refuse = [&](int name, const hostsim::Fault& fault) {
        return Step{[=](HWND) { server->SetFault(L"IParameterServer::SetValue", Path(kNames[name]), fault); }};
    };
    const auto status = [&](long expected) {
        return Step{[=](HWND) { EXPECT_EQ(expected, server->LastStatusIn(L"IParameterServer::SetValue")); }};
    };
    // Once refused, the status stays negative for the run's later writes: the
    // backstep level is not taken either.
    Run({Type(kMin, L"20"), Type(kMax, L"700"), refuse(1, hostsim::Fault::Status(-1).Times(1)), Press(IDC_APPLY),
         status(0), Press(IDC_APPLY), Press(IDC_APPLY), refuse(1, hostsim::Fault::Status(-1).Times(1)),
         refuse(2, hostsim::Fault::Fail()), Type(kMax, L"750"), Type(kBack, L"-20"), Press(IDC_APPLY), status(-1),
         Step{[&](HWND) { server->ClearFaults(); }}, Press(IDC_APPLY), Press(IDCANCEL)});
    EXPECT_EQ(Subscribed({SetValue(0, L"20"), SetValue(1, L"700"), SetValue(1, L"700"), SetValue(1, L"750"),
                          SetValue(2, L"-20"), SetValue(1, L"750"), SetValue(2, L"-20")}),
              host.Lines());
}

TEST_F(BottomDetectorTest, ApplyToAllSendsEveryValueThroughTheScreenManager) {
    // The status is preset once; the channel's own values were not written, so
    // without the box the min depth is still a change; an empty field stops the sending.
    Run({Type(kMin, L"20"), Press(IDC_APPLY_TO_ALL), Press(IDC_APPLY),
         Step{[&](HWND) { EXPECT_EQ(0, screen->LastStatusIn(L"IParameterAccess::SetParameter")); }},
         Press(IDC_APPLY_TO_ALL), Press(IDC_APPLY), Press(IDC_APPLY_TO_ALL), Type(kMax, L""), Press(IDOK)});
    EXPECT_EQ(Subscribed({ApplyAll(0, L"20"), ApplyAll(1, L"500"), ApplyAll(2, L"-50"), SetValue(0, L"20"),
                          ApplyAll(0, L"20")}),
              TakeLines());

    // Without the screen manager's parameter access nothing is written at all.
    screen->Hide(IID_IParameterAccess);
    Run({Press(IDC_APPLY_TO_ALL), Press(IDOK)});
    EXPECT_EQ(Subscribed(), host.Lines());

    // "TK11" in any case has no "Apply to all"; other kinds and no application keep it.
    for (const wchar_t* name : {L"tK11", L"TK11 ", L"", L"no application"}) {
        app->SetString(L"AppName", name);
        if (name == std::wstring(L"no application"))
            view->SetFault(L"IHostView::GetApplication", hostsim::Fault::Fail());
        Cancelled({Visible(IDC_APPLY_TO_ALL, std::wstring(name) != L"tK11")});
    }
}

TEST_F(BottomDetectorTest, WithoutAParameterServerTheChannelsValuesTakeTheChanges) {
    // The last known value stays and is written again; the empty min depth stops OK's write.
    server->Hide(IID_IParameterServer);
    Run({Type(kMax, L"600"), Leave(kMax), Press(IDC_APPLY), Press(IDC_APPLY), Type(kMin, L""), Type(kBack, L"-20"),
         Press(IDOK)});
    const std::wstring maxDepth = L"channel.IValueStore::PutValue(\"LowerDetectorLimit\", VT_R8 600)";
    EXPECT_EQ((Lines{maxDepth, maxDepth}), host.Lines()) << "no subscriptions either";
}

// Each field's handler runs as the focus leaves it, so each case starts afresh
// from 10 m and 500 m.
TEST_F(BottomDetectorTest, SlidersArrowsAndFieldsKeepTheMinDepthNoDeeperThanTheMaxDepth) {
    // A slider's field follows the thumb while it is dragged; the end of the drag
    // changes nothing of itself.
    Cancelled({Step{[](HWND dialog) {
                   HWND slider = Control(dialog, kMinSlider);
                   SendMessageW(slider, TBM_SETPOS, TRUE, 7);
                   SendMessageW(dialog, WM_VSCROLL, MAKEWPARAM(TB_THUMBTRACK, 7), reinterpret_cast<LPARAM>(slider));
                   EXPECT_EQ(L"75", GetText(dialog, kMin));
                   SendMessageW(slider, TBM_SETPOS, TRUE, 8);
                   SendMessageW(dialog, WM_VSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(slider));
               }},
               Shows(kMin, L"75"), Enabled(IDC_APPLY)});
    // The min slider passing a typed max depth of 280 stops an entry short of the max
    // slider's 300 (leaving the max field moved its slider); at an entry that does
    // not pass the typed depth it stops there.
    Cancelled({Type(kMax, L"280"), Drag(kMinSlider, 13), At(kMaxSlider, 12), Shows(kMin, L"250"), At(kMinSlider, 11),
               Type(kMax, L"300"), Drag(kMinSlider, 14), Shows(kMin, L"300"), At(kMinSlider, 12)});
    // The max slider passing a typed min depth of 320 stops an entry beyond the min
    // slider's 300.
    Cancelled({Type(kMax, L"1000"), Type(kMin, L"320"), Drag(kMaxSlider, 3), Shows(kMax, L"400"), At(kMaxSlider, 13)});
    // At the ladder's ends a slider stops at the end entry.
    Cancelled({Type(kMax, L"20000"), Type(kMin, L"10001"), Drag(kMaxSlider, 20), Shows(kMax, L"10000"),
               At(kMaxSlider, 21)});
    Cancelled({Type(kMin, L"-5"), Type(kMax, L"-1"), Drag(kMinSlider, 1), Shows(kMin, L"0"), At(kMinSlider, 0)});

    // Leaving a field: a min depth beyond the max depth becomes the max depth; an
    // empty max field limits nothing and puts its slider at the end; a max depth
    // above the min depth becomes the min depth; an empty min field counts as 0 (and
    // 0 does not pass 0); equal depths pass nothing: the text stays as typed.
    Cancelled({Type(kMin, L"600"), Leave(kMin), Shows(kMin, L"500"), At(kMinSlider, 14), Type(kMax, L""), Leave(kMax),
               Shows(kMax, L""), At(kMaxSlider, 21), Type(kMax, L"100"), Leave(kMax), Shows(kMax, L"500"),
               Type(kMin, L""), Type(kMax, L"-3"), Leave(kMax), Shows(kMax, L"0"), At(kMaxSlider, 0), Leave(kMin),
               Shows(kMin, L""), At(kMinSlider, 0), Type(kMax, L"500.0"), Type(kMin, L"500"), Leave(kMax),
               Shows(kMin, L"500"), Shows(kMax, L"500.0")});

    // The arrows: the min depth stops at the max depth, the max depth at the min; a
    // held arrow steps by 100; stepped down to the arrow's limit.
    Cancelled({Type(kMin, L"500"), Arrow(kMinArrow, 1), Shows(kMin, L"500"), At(kMinSlider, 14), Arrow(kMaxArrow, -1),
               Shows(kMax, L"500"), Arrow(kMinArrow, -3), Shows(kMin, L"400"), At(kMinSlider, 13), Arrow(kMaxArrow, 2),
               Shows(kMax, L"510"), At(kMaxSlider, 14), Type(kMin, L""), Arrow(kMaxArrow, -4), Shows(kMax, L"0"),
               At(kMaxSlider, 0)});
}

TEST_F(BottomDetectorTest, OnlyAChangeTheUserMadeMarksThePageDirty) {
    // Leaving a field with the value the host has changes nothing.
    Cancelled({Type(kMin, L"10.0"), Leave(kMin), Enabled(IDC_APPLY, false), Dirty(false), Type(kMax, L"501"),
               Leave(kMax), Enabled(IDC_APPLY), Dirty(true)});
    page->Apply();
    // Each slider and depth arrow marks it dirty, and so does a typed depth.
    for (const Step& change : {Key(kMinSlider, VK_DOWN), Key(kMaxSlider, VK_DOWN), Arrow(kMinArrow, 1),
                               Arrow(kMaxArrow, 1), Step{[](HWND dialog) {
                                   TypeText(dialog, kMin, L"11");
                                   LeaveField(dialog, kMin);
                               }}}) {
        Cancelled({change, Enabled(IDC_APPLY), Dirty(true)});
        page->Apply();
    }
}

TEST_F(BottomDetectorTest, ALockedLayerLeavesOnlyCancelHelpAndApplyToAll) {
    // Reports still come; the default button's command, as Enter may send it, writes nothing.
    layer->SetLayerState(0);
    Run({Step{[](HWND dialog) {
             for (int id :
                  {kMinSlider, kMaxSlider, kMinArrow, kMaxArrow, kMin, kMax, kBackArrow, kBack, IDC_APPLY, IDOK})
                 EXPECT_FALSE(IsEnabled(dialog, id)) << id;
             for (int id : {IDCANCEL, ID_HELP, IDC_APPLY_TO_ALL})
                 EXPECT_TRUE(IsEnabled(dialog, id)) << id;
         }},
         Reports(0, 25.0), Enabled(IDC_APPLY, false), Press(IDC_APPLY_TO_ALL), Step{[](HWND dialog) {
             ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
         }}});
    EXPECT_EQ(Subscribed(), host.Lines());

    // A layer whose state cannot be read leaves the page editable.
    layer->SetFault(L"ILayerState::GetState", hostsim::Fault::Fail());
    Cancelled({Enabled(IDOK), Enabled(kMin)});
}

// The host keeps the page's subscriber for ever: it keeps neither the page nor
// reaches it once it is gone, and keeps the module loaded until the host lets go.
TEST_F(BottomDetectorTest, SubscriptionsNeitherKeepThePageNorReachItAfterItIsGone) {
    Run({Press(IDOK)});
    EXPECT_EQ(std::vector<HRESULT>{S_OK}, Report(1, 800.0)) << "after the dialog closed";
    // A second run reads the channel and subscribes afresh: the page answers the new cookies only.
    Cancelled({Shows(kMax, L"500"), Reports(1, 750.0, {E_NOTIMPL, S_OK}), Shows(kMax, L"750")});
    page.Reset();
    EXPECT_EQ(0u, channel->OutstandingReferences()) << "the page is gone although the host holds its subscriber";
    EXPECT_EQ((std::vector<HRESULT>{E_NOTIMPL, E_NOTIMPL}), Report(1, 900.0));
    EXPECT_EQ(S_FALSE, TavrelLibrary::Instance().CanUnloadNow()) << "the subscriber the host holds is the module's";

    // A subscription the server refuses gives no cookie to answer.
    server->ReleaseSubscribers();
    page = CreatePage(CLSID_BottomDetectorDialog, {view, channel});
    server->SetFault(L"IParameterServer::Subscribe", Path(kNames[0]), hostsim::Fault::Status(-2));
    server->SetFault(L"IParameterServer::Subscribe", Path(kNames[1]), hostsim::Fault::Fail());
    Cancelled({});
    ComPtr<IParameterSubscriber2> subscriber;
    ASSERT_EQ(S_OK, page.As(&subscriber));
    EXPECT_EQ(E_NOTIMPL, subscriber->OnParameterChanged(0, hostsim::Variant(1.0).get(), 0, 0, 0))
        << "what the failed calls left in their cookies";
    EXPECT_EQ(std::vector<HRESULT>{S_OK}, Report(2, -10.0));
}

// What the page logs, through a copy of the library with a host logger of its own.
TEST(BottomDetectorLog, FormObjectsOfTheWrongKindAreLoggedAndRefused) {
    hostsim::Host host;
    hostsim::HostObject& view = host.Create(L"view", {IID_IObjectSite});
    view.AddService(host.Create(L"logger", {IID_IHostLogger}));
    WithLibraryCopy(L"TavrelBottomLogCopy.dll", [&](TavrelLibrary& library) {
        GiveLoggerTo(library, view);
        ComPtr<IPropertyPage> page = library.CreatePage(CLSID_BottomDetectorDialog);
        ASSERT_EQ(S_OK, GiveObjects(page.Get(), {&view}));
        ComPtr<IFormControl> form;
        ASSERT_EQ(S_OK, page.As(&form));
        VARIANT unknowns;
        ::VariantInit(&unknowns);
        unknowns.vt = VT_ARRAY | VT_UNKNOWN;
        unknowns.parray = ::SafeArrayCreateVector(VT_UNKNOWN, 0, 0);
        EXPECT_EQ(E_INVALIDARG, form->SetFormObjects(unknowns));
        ::VariantClear(&unknowns);
        EXPECT_EQ(1u, view.OutstandingReferences()) << "the objects held before stay";
    });
    EXPECT_EQ(Lines{L"logger.IHostLogger::LogMessage(\"CBottomDetectorDialog:Invalid input\", \"Tavrel\", 1, 0)"},
              host.Lines());
    EXPECT_TRUE(host.AllReferencesReturned()) << host.OutstandingText();
}

}  // namespace
}  // namespace tavrel::test
