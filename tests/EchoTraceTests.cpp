// The single target detection page, used as a person and a host would: the six
// settings with their limits, the validated exchange and what Apply and OK write,
// where each kind of application keeps the settings, when "Calibration..." is offered
// and what it hands the transceiver, and what the page logs. What any failing host
// operation must not do is the fault sweep's to check.
#include "PageTest.h"
#include "resource.h"

#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace tavrel::test {
namespace {

struct Row {
    int edit, slider, spin, firstLabel, lastLabel;
};
// In the template's order, top to bottom.
const Row kRows[] = {
    {IDC_ET_MIN_TS_EDIT, IDC_ET_MIN_TS_SLIDER, IDC_ET_MIN_TS_SPIN,
     IDC_ET_MIN_TS_LEFT_LABEL, IDC_ET_MIN_TS_RIGHT_LABEL},
    {IDC_ET_MIN_ECHO_LENGTH_EDIT, IDC_ET_MIN_ECHO_LENGTH_SLIDER, IDC_ET_MIN_ECHO_LENGTH_SPIN,
     IDC_ET_MIN_ECHO_LENGTH_LEFT_LABEL, IDC_ET_MIN_ECHO_LENGTH_RIGHT_LABEL},
    {IDC_ET_MAX_ECHO_LENGTH_EDIT, IDC_ET_MAX_ECHO_LENGTH_SLIDER, IDC_ET_MAX_ECHO_LENGTH_SPIN,
     IDC_ET_MAX_ECHO_LENGTH_LEFT_LABEL, IDC_ET_MAX_ECHO_LENGTH_RIGHT_LABEL},
    {IDC_ET_MAX_PHASE_DEV_EDIT, IDC_ET_MAX_PHASE_DEV_SLIDER, IDC_ET_MAX_PHASE_DEV_SPIN,
     IDC_ET_MAX_PHASE_DEV_LEFT_LABEL, IDC_ET_MAX_PHASE_DEV_RIGHT_LABEL},
    {IDC_ET_MAX_GAIN_COMP_EDIT, IDC_ET_MAX_GAIN_COMP_SLIDER, IDC_ET_MAX_GAIN_COMP_SPIN,
     IDC_ET_MAX_GAIN_COMP_LEFT_LABEL, IDC_ET_MAX_GAIN_COMP_RIGHT_LABEL},
    {IDC_ET_MIN_SPACING_EDIT, IDC_ET_MIN_SPACING_SLIDER, IDC_ET_MIN_SPACING_SPIN,
     IDC_ET_MIN_SPACING_LEFT_LABEL, IDC_ET_MIN_SPACING_RIGHT_LABEL},
};
constexpr int kTs = IDC_ET_MIN_TS_EDIT, kMinLength = IDC_ET_MIN_ECHO_LENGTH_EDIT;
constexpr int kMaxLength = IDC_ET_MAX_ECHO_LENGTH_EDIT, kPhase = IDC_ET_MAX_PHASE_DEV_EDIT;
constexpr int kGain = IDC_ET_MAX_GAIN_COMP_EDIT, kSpacing = IDC_ET_MIN_SPACING_EDIT;
const std::vector<int> kFields = {kTs, kMinLength, kMaxLength, kPhase, kGain, kSpacing};

const std::vector<int> kSliders = {IDC_ET_MIN_TS_SLIDER,          IDC_ET_MIN_ECHO_LENGTH_SLIDER,
                                   IDC_ET_MAX_ECHO_LENGTH_SLIDER, IDC_ET_MAX_PHASE_DEV_SLIDER,
                                   IDC_ET_MAX_GAIN_COMP_SLIDER,   IDC_ET_MIN_SPACING_SLIDER};
// Disables Apply behind the page's back, to see what enables it again.
const Step kDisableApply{[](HWND dialog) { EnableWindow(Control(dialog, IDC_APPLY), FALSE); }};

std::wstring Put(const std::wstring& store, const std::wstring& name, const std::wstring& value) {
    return store + L".IValueStore::PutValue(\"" + name + L"\", VT_R8 " + value + L")";
}
std::wstring Calibrate(const std::wstring& settings) {
    return L"transceiver.ICalibrationControl::StartCalibration(\"" + settings + L"\")";
}

void SetSettings(hostsim::HostObject& store) {
    store.Values().Set(L"MinTSValue", -55.0).Set(L"MinEchoLength", 0.6).Set(L"MaxEchoLength", 2.5);
    store.Values().Set(L"MaxPhaseDeviation", 15.0).Set(L"MaxGainCompensation", 4.0).Set(L"MinSpacing", 1.5);
}
const Lines kSettingsShown = {L"-55", L"0.6", L"2.5", L"15", L"4", L"1.5"};

class EchoTraceTest : public PageTest {
protected:
    // Channel "KTA 1" on the local layer of an application of no special kind; its
    // transceiver can calibrate and is idle. The channel's processing component
    // (index 2) holds the settings.
    void SetUp() override {
        hostsim::HostObject& help = host.Create(L"help", {IID_IHelpViewer});
        layer = &host.Create(L"layer", {IID_ILayer});
        layers = &host.Create(L"layers", {IID_ILayerSelection});
        directory = &host.Create(L"directory", {IID_ITransceiverDirectory});
        transceiver = &host.Create(L"transceiver", {IID_ICalibrationControl});
        app = &host.Create(L"app", {IID_IHostApplication});
        view = &host.Create(L"view", {IID_IObjectSite, IID_IHostView});
        channel = &host.Create(L"channel", {IID_IChannel, IID_IChannelOrigin});
        component = &host.Create(L"component", {IID_IProcessingUnit});
        settings = &host.Create(L"settings", {IID_IValueStore});
        view->AddService(help).AddService(*layers).AddService(*directory);
        view->SetApplication(app);
        app->SetString(L"AppName", L"TK11");
        layers->SetSelectedLayer(layer);
        layer->SetLayerName(L"Local");
        directory->SetTransceiver(L"KTA 1", transceiver);
        channel->SetChannelId(L"KTA 1").SetComponent(2, component);
        component->SetSettings(settings);
        SetSettings(*settings);
        page = CreatePage(CLSID_EchoTraceDialog, {view, channel});
    }
    // Opens the page and reports the state of "Calibration...", then cancels.
    std::pair<bool, bool> CalibrationButton() {
        std::pair<bool, bool> shown{};
        ActivateAndRun(page.Get(), [&](HWND dialog) {
            shown = {IsVisible(dialog, IDC_ET_CALIBRATION), IsEnabled(dialog, IDC_ET_CALIBRATION)};
            Click(dialog, IDCANCEL);
        });
        return shown;
    }

    hostsim::HostObject *layer = nullptr, *layers = nullptr, *directory = nullptr, *transceiver = nullptr;
    hostsim::HostObject *app = nullptr, *view = nullptr, *channel = nullptr, *component = nullptr, *settings = nullptr;
};

TEST_F(EchoTraceTest, ShowsTheSettingsOnTheirSlidersAndWritesWhatChangedByMoreThanAFraction) {
    // A typed threshold moves its slider (cut toward zero); the slider writes whole
    // dB; Apply disables its button. The other sliders write tenths; the arrows step
    // tenths within their limits; any up-down's arrow enables Apply. Emptied, a field
    // leaves its slider where it was.
    Run({Shows(kFields, kSettingsShown), At(kSliders, {45, 6, 25, 150, 40, 15}), Step{[](HWND dialog) {
             const std::pair<const wchar_t*, const wchar_t*> labels[] = {{L"-100", L"0"}, {L"0", L"5"}, {L"0", L"5"},
                                                                         {L"0", L"20"},   {L"0", L"6"}, {L"0", L"5"}};
             const int lastPositions[] = {100, 50, 50, 200, 60, 50};
             for (int row = 0; row < 6; ++row) {
                 EXPECT_EQ(labels[row].first, GetText(dialog, kRows[row].firstLabel)) << row;
                 EXPECT_EQ(labels[row].second, GetText(dialog, kRows[row].lastLabel)) << row;
                 EXPECT_EQ((std::pair<int, int>{0, lastPositions[row]}), SliderRange(dialog, kRows[row].slider)) << row;
                 const LRESULT ticks = SendMessageW(Control(dialog, kRows[row].slider), TBM_GETNUMTICS, 0, 0);
                 EXPECT_EQ(lastPositions[row] / 10 + 1, ticks) << "a tick every 10 positions, row " << row;
             }
         }},
         Visible(IDC_ET_CALIBRATION), Enabled(IDC_ET_CALIBRATION),
         Enabled(IDC_APPLY, false), Type(kTs, L"-37.5"), At(IDC_ET_MIN_TS_SLIDER, 62), Enabled(IDC_APPLY),
         Drag(IDC_ET_MIN_TS_SLIDER, 30), Shows(kTs, L"-70"), Press(IDC_APPLY), Enabled(IDC_APPLY, false),
         Key(IDC_ET_MAX_ECHO_LENGTH_SLIDER, VK_RIGHT), Shows(kMaxLength, L"2.6"), Enabled(IDC_APPLY), kDisableApply,
         Arrow(IDC_ET_MAX_PHASE_DEV_SPIN, 1), Shows(kPhase, L"15.1"), At(IDC_ET_MAX_PHASE_DEV_SLIDER, 151),
         Enabled(IDC_APPLY), kDisableApply, Step{[](HWND dialog) {
             NMUPDOWN arrow{{nullptr, 1234, static_cast<UINT>(UDN_DELTAPOS)}, 0, 1};
             SendMessageW(dialog, WM_NOTIFY, 1234, reinterpret_cast<LPARAM>(&arrow));
         }},
         Enabled(IDC_APPLY), Type(kSpacing, L"5"), Arrow(IDC_ET_MIN_SPACING_SPIN, 1), Shows(kSpacing, L"5.0"),
         Type(kTs, L"-100"), Arrow(IDC_ET_MIN_TS_SPIN, -1), Shows(kTs, L"-100"), Type(kMinLength, L""),
         At(IDC_ET_MIN_ECHO_LENGTH_SLIDER, 6), Press(IDCANCEL)});
    EXPECT_EQ(Lines{Put(L"settings", L"MinTSValue", L"-70")}, TakeLines());
    EXPECT_EQ(0u, settings->OutstandingReferences()) << "Cancel let the settings store go";

    // Changes of a twentieth or less are not written; a second Apply writes nothing new.
    Run({Type(kGain, L"4.05"), Type(kMaxLength, L"2.45"), Press(IDC_APPLY), Type(kGain, L"3.9375"), Press(IDC_APPLY),
         Press(IDOK)});
    EXPECT_EQ(Lines{Put(L"settings", L"MaxGainCompensation", L"3.9375")}, host.Lines());
    EXPECT_EQ(0u, settings->OutstandingReferences()) << "OK let the settings store go";
    EXPECT_EQ(S_OK, page->Apply());
    EXPECT_EQ(S_FALSE, page->IsPageDirty());
}

TEST_F(EchoTraceTest, TheExchangeStopsAtTheFirstBadFieldAndTheWriteTakesWhatCameBefore) {
    const auto focused = [](int id) { return Step{[=](HWND dialog) { EXPECT_EQ(id, FocusedControlId(dialog)); }}; };
    // Fields are exchanged in the order min and max echo length, threshold, phase
    // deviation, gain compensation, spacing. Out of its limits a number is taken,
    // then the exchange stops. OK closes the dialog although a field is empty.
    Run({Type(kMinLength, L"7.5"), At(IDC_ET_MIN_ECHO_LENGTH_SLIDER, 50), Type(kMaxLength, L"2.5 m"),
         Type(kTs, L"-60"), Press(IDC_APPLY), focused(kMaxLength), Type(kMaxLength, L"  2.5\t"), Type(kPhase, L"25"),
         Type(kGain, L"5"), Press(IDC_APPLY), focused(kPhase), Type(kPhase, L"12"), Type(kGain, L""),
         Type(kSpacing, L"2"), Press(IDOK)});
    EXPECT_EQ((Lines{Put(L"settings", L"MinEchoLength", L"7.5"), Put(L"settings", L"MinTSValue", L"-60"),
                     Put(L"settings", L"MaxPhaseDeviation", L"25"), Put(L"settings", L"MaxPhaseDeviation", L"12")}),
              TakeLines());

    // Each field's exchange limits: just outside them the exchange stops there.
    const wchar_t* const limits[][4] = {
        {L"-100.5", L"-100", L"0", L"0.5"}, {L"-0.5", L"0", L"10", L"10.5"}, {L"-0.5", L"0", L"10", L"10.5"},
        {L"-0.5", L"0", L"20", L"20.5"},    {L"-0.5", L"0", L"10", L"10.5"}, {L"-0.5", L"0", L"10", L"10.5"}};
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        for (int row = 0; row < 6; ++row) {
            const std::wstring shown = GetText(dialog, kFields[row]);
            for (int text = 0; text < 4; ++text) {
                TypeText(dialog, kFields[row], limits[row][text]);
                Click(dialog, IDC_APPLY);
                EXPECT_EQ(text == 0 || text == 3, FocusedControlId(dialog) == kFields[row]) << limits[row][text];
            }
            TypeText(dialog, kFields[row], shown);
        }
        Click(dialog, IDCANCEL);
    });
}

TEST_F(EchoTraceTest, EachRowsArrowsAndSliderWriteItsOwnDecimals) {
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        for (const Row& row : kRows)
            StepUpDown(dialog, row.spin, 1);
        Do(dialog, {Shows(kFields, {L"-54", L"0.7", L"2.6", L"15.1", L"4.1", L"1.6"}),
                    At(kSliders, {46, 7, 26, 151, 41, 16})});
        for (const Row& row : kRows)
            DragSlider(dialog, row.slider, 33);
        Do(dialog, {Shows(kFields, {L"-67", L"3.3", L"3.3", L"3.3", L"3.3", L"3.3"}), Press(IDCANCEL)});
    });
    EXPECT_TRUE(host.Lines().empty()) << host.Text();
}

TEST_F(EchoTraceTest, CalibrationAppliesTheSettingsAndHandsThemToTheTransceiver) {
    Run({Type(kTs, L"-45"), Press(IDC_ET_CALIBRATION),
         Step{[](HWND dialog) { EXPECT_FALSE(IsWindowVisible(dialog)) << "the calibration ended the dialog"; }}});
    EXPECT_EQ((Lines{Put(L"settings", L"MinTSValue", L"-45"),
                     Calibrate(L"TSDetection,ChannelID=KTA 1,MinTSValue=-45.0,MinEchoLength=0.6,MaxEchoLength=2.5,"
                               L"MaxGainCompensation=4.0,MaxPhaseDeviation=15.0,MinSpacing=1.5,")}),
              TakeLines());
    EXPECT_EQ(1u, settings->OutstandingReferences()) << "the page keeps its settings store until its next run";

    // A transceiver that is busy, or cannot say, calibrates nothing: the dialog stays.
    Run({Step{[&](HWND) { transceiver->SetCalibrationBusy(true); }}, Press(IDC_ET_CALIBRATION),
         Step{[&](HWND) {
             transceiver->SetCalibrationBusy(false);
             transceiver->SetFault(L"ICalibrationControl::IsBusy", hostsim::Fault::Fail());
         }},
         Press(IDC_ET_CALIBRATION), Step{[&](HWND) { transceiver->ClearFaults(); }}, Press(IDCANCEL)});
    EXPECT_TRUE(host.Lines().empty()) << host.Text();

    // A channel replayed from transceiver "KTB 3", with the page's own values (the
    // store gives none): a failing start ends the dialog all the same.
    settings->Values().Clear();
    directory->SetTransceiver(L"KTB 3", transceiver);
    channel->SetChannelId(L"Echo0815").SetOriginId(L"KTB 3");
    transceiver->SetFault(L"ICalibrationControl::StartCalibration", hostsim::Fault::Fail());
    Use(CreatePage(CLSID_EchoTraceDialog, {view, channel}).Get(), {Press(IDC_ET_CALIBRATION)});
    EXPECT_EQ(Lines{Calibrate(L"TSDetection,ChannelID=KTB 3,MinTSValue=-50.0,MinEchoLength=0.8,MaxEchoLength=1.8,"
                              L"MaxGainCompensation=3.0,MaxPhaseDeviation=20.0,MinSpacing=0.0,")},
              host.Lines());
}

TEST_F(EchoTraceTest, CalibrationIsOfferedForAnIdleKtaOrKtbTransceiverOfTheLocalLayerOnly) {
    const std::pair<bool, bool> enabled{true, true}, disabled{true, false}, hidden{false, true};
    EXPECT_EQ(enabled, CalibrationButton());
    EXPECT_EQ(1, directory->Calls(L"ITransceiverDirectory::IsBusy"));

    directory->SetDirectoryBusy(1);
    EXPECT_EQ(disabled, CalibrationButton()) << "the directory is busy";
    directory->SetFault(L"ITransceiverDirectory::IsBusy", hostsim::Fault::Fail());
    EXPECT_EQ(enabled, CalibrationButton()) << "a directory that cannot say is not busy";
    directory->ClearFaults();
    directory->SetDirectoryBusy(0);

    // Channel ids: the transceiver kind is the id's first three letters; a replayed
    // channel ("Echo" and more) is known by its origin's id.
    directory->SetTransceiver(L"KTB 2", transceiver).SetTransceiver(L"KTC 1", transceiver);
    directory->SetTransceiver(L"Echo", transceiver).SetTransceiver(L"kta 1", transceiver);
    const std::pair<const wchar_t*, std::pair<bool, bool>> channels[] = {
        {L"KTB 2", enabled},     {L"KTC 1", disabled}, {L"kta 1", disabled}, {L"Echo", disabled},
        {L"EchoKTB 2", enabled}, {L"Echo1", enabled},  {L"KTA 9", disabled},  // no such transceiver
    };
    channel->SetOriginId(L"KTB 2");
    for (const auto& [id, expected] : channels) {
        channel->SetChannelId(id);
        EXPECT_EQ(expected, CalibrationButton()) << id;
    }
    channel->SetChannelId(L"EchoKTB 2").Hide(IID_IChannelOrigin);
    EXPECT_EQ(disabled, CalibrationButton()) << "a replayed channel without an origin";
    channel->SetChannelId(L"KTA 1");
    transceiver->Hide(IID_ICalibrationControl);
    EXPECT_EQ(disabled, CalibrationButton()) << "a transceiver that cannot calibrate";
    transceiver->Offer(IID_ICalibrationControl);

    // Another layer: the directory is asked whether it is busy, the channel for nothing.
    layer->SetLayerName(L"Layer 1");
    channel->ResetCalls();
    directory->ResetCalls();
    EXPECT_EQ(disabled, CalibrationButton());
    EXPECT_EQ(0, channel->Calls(L"IChannel::GetChannelID"));
    EXPECT_EQ(1, directory->Calls(L"ITransceiverDirectory::IsBusy"));
    layer->SetFault(L"ILayer::GetName", hostsim::Fault::NullObject());
    EXPECT_EQ(disabled, CalibrationButton()) << "a layer without a name is not the local one";
    layers->Hide(IID_ILayerSelection);
    EXPECT_EQ(enabled, CalibrationButton()) << "without a layer selection the channel counts";

    // Under "TK22" and "TK33", and without a channel, there is no such button.
    for (const wchar_t* kind : {L"TK22", L"tk33"}) {
        app->SetString(L"AppName", kind);
        EXPECT_EQ(hidden, CalibrationButton()) << kind;
    }
    app->SetString(L"AppName", L"TK11");
    channel->Hide(IID_IChannel);
    EXPECT_EQ(hidden, CalibrationButton());
}

TEST_F(EchoTraceTest, EachKindOfApplicationKeepsTheSettingsInItsOwnPlace) {
    hostsim::HostObject& unit = host.Create(L"unit", {IID_IProcessingUnit, IID_IValueStore});
    hostsim::HostObject& bottom = host.Create(L"bottom", {IID_IValueStore});
    hostsim::HostObject& unitSettings = host.Create(L"unitSettings", {IID_IValueStore});
    hostsim::HostObject& ownSettings = host.Create(L"ownSettings", {IID_IValueStore});
    view->AddService(unit);
    unit.Values().SetObject(L"ModifiedBottom", bottom);
    unit.SetSettings(&unitSettings);
    settings->Values().Clear();
    // A second object without a channel keeps the settings itself, whatever the kind.
    const std::pair<const wchar_t*, hostsim::HostObject*> cases[] = {
        {L"TK22", &bottom}, {L"TK33", &unitSettings}, {L"TK33", &ownSettings}};
    for (const auto& [kind, store] : cases) {
        SetSettings(*store);
        app->SetString(L"AppName", kind);
        Use(store == &ownSettings ? CreatePage(CLSID_EchoTraceDialog, {view, store}).Get() : page.Get(),
            {Shows(kFields, kSettingsShown), Type(kSpacing, L"2.5"), Press(IDOK)});
        EXPECT_EQ(Lines{Put(store->Name(), L"MinSpacing", L"2.5")}, TakeLines()) << kind;
    }

    // "TK22" without a modified bottom object: no settings store. The page shows
    // what it holds from its previous run and writes nothing.
    unit.Values().Set(L"ModifiedBottom", 1.0);
    app->SetString(L"AppName", L"TK22");
    Run({Shows(kSpacing, L"2.5"), Type(kSpacing, L"3"), Press(IDOK)});
    EXPECT_TRUE(host.Lines().empty()) << host.Text();

    // Given only the view, or nothing: the page's own values, and no calibration.
    for (bool withView : {true, false}) {
        ComPtr<IPropertyPage> bare = CreatePage(CLSID_EchoTraceDialog);
        if (withView)
            GiveObjects(bare.Get(), {view});
        Use(bare.Get(), {Shows(kFields, {L"-50", L"0.8", L"1.8", L"20", L"3", L"0"}),
                         Visible(IDC_ET_CALIBRATION, false), Type(kTs, L"-40"), Press(IDOK)});
    }
}

TEST_F(EchoTraceTest, ValuesTheHostDoesNotGiveKeepWhatThePreviousRunLeft) {
    Run({Type(kPhase, L"18"), Press(IDC_APPLY), Type(kSpacing, L"3"), Press(IDCANCEL)});
    settings->SetFault(L"IValueStore::GetValue", L"MaxPhaseDeviation", hostsim::Fault::WrongType(VT_BSTR));
    settings->SetFault(L"IValueStore::GetValue", L"MinSpacing", hostsim::Fault::Fail());
    Run({Shows(kPhase, L"18"), Shows(kSpacing, L"1.5"), Press(IDOK)});  // Cancel took nothing from the fields
    EXPECT_EQ(Lines{Put(L"settings", L"MaxPhaseDeviation", L"18")}, host.Lines())
        << "the second OK found nothing changed";
}

// The page finds the host's logger itself: its own line about a missing settings
// store reaches the host on the first run, once per run.
TEST(EchoTraceLog, AMissingSettingsStoreAndFormObjectsOfTheWrongKindAreLogged) {
    hostsim::Host host;
    hostsim::HostObject& view = host.Create(L"view", {IID_IObjectSite});
    hostsim::HostObject& channel = host.Create(L"channel", {IID_IChannel});
    view.AddService(host.Create(L"logger", {IID_IHostLogger}));
    WithLibraryCopy(L"TavrelEchoTraceLogCopy.dll", [&](TavrelLibrary& library) {
        for (int run = 0; run < 2; ++run)
            RunPage(library, CLSID_EchoTraceDialog, {&view, &channel}, [](HWND dialog) { Click(dialog, IDOK); });
        ComPtr<IFormControl> form;
        ASSERT_EQ(S_OK, library.CreatePage(CLSID_EchoTraceDialog).As(&form));
        VARIANT notAnArray;
        ::VariantInit(&notAnArray);
        notAnArray.vt = VT_UNKNOWN;
        notAnArray.punkVal = view.Identity();
        EXPECT_EQ(E_INVALIDARG, form->SetFormObjects(notAnArray));
    });
    const std::wstring noStore = L"logger.IHostLogger::LogMessage(\"EchoTrace dialog failed to connect to selected "
                                 L"layer\", \"Tavrel\", 16, 0)";
    EXPECT_EQ((Lines{noStore, noStore,
                     L"logger.IHostLogger::LogMessage(\"CEchoTraceDialog:Invalid input\", \"Tavrel\", 1, 0)"}),
              host.Lines());
    EXPECT_TRUE(host.AllReferencesReturned()) << host.OutstandingText();
}

}  // namespace
}  // namespace tavrel::test
