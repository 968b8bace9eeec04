// The single target detection page, used as a person and a host would: the six
// settings with their limits, the validated exchange and what Apply and OK write,
// where each kind of application keeps the settings, when "Calibration..." is offered
// and what it hands the transceiver, and what the page logs.
#include "PageTest.h"
#include "resource.h"

#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace tavrel::test {
namespace {

struct Row {
    int edit, slider, firstLabel, lastLabel;
};
// In the template's order, top to bottom.
const Row kRows[] = {
    {IDC_ET_MIN_TS_EDIT, IDC_ET_MIN_TS_SLIDER, IDC_ET_MIN_TS_LEFT_LABEL, IDC_ET_MIN_TS_RIGHT_LABEL},
    {IDC_ET_MIN_ECHO_LENGTH_EDIT, IDC_ET_MIN_ECHO_LENGTH_SLIDER, IDC_ET_MIN_ECHO_LENGTH_LEFT_LABEL,
     IDC_ET_MIN_ECHO_LENGTH_RIGHT_LABEL},
    {IDC_ET_MAX_ECHO_LENGTH_EDIT, IDC_ET_MAX_ECHO_LENGTH_SLIDER, IDC_ET_MAX_ECHO_LENGTH_LEFT_LABEL,
     IDC_ET_MAX_ECHO_LENGTH_RIGHT_LABEL},
    {IDC_ET_MAX_PHASE_DEV_EDIT, IDC_ET_MAX_PHASE_DEV_SLIDER, IDC_ET_MAX_PHASE_DEV_LEFT_LABEL,
     IDC_ET_MAX_PHASE_DEV_RIGHT_LABEL},
    {IDC_ET_MAX_GAIN_COMP_EDIT, IDC_ET_MAX_GAIN_COMP_SLIDER, IDC_ET_MAX_GAIN_COMP_LEFT_LABEL,
     IDC_ET_MAX_GAIN_COMP_RIGHT_LABEL},
    {IDC_ET_MIN_SPACING_EDIT, IDC_ET_MIN_SPACING_SLIDER, IDC_ET_MIN_SPACING_LEFT_LABEL,
     IDC_ET_MIN_SPACING_RIGHT_LABEL},
};

std::vector<std::wstring> Fields(HWND dialog) {
    std::vector<std::wstring> texts;
    for (const Row& row : kRows)
        texts.push_back(GetText(dialog, row.edit));
    return texts;
}
std::vector<int> Sliders(HWND dialog) {
    std::vector<int> positions;
    for (const Row& row : kRows)
        positions.push_back(SliderPosition(dialog, row.slider));
    return positions;
}

std::wstring Put(const std::wstring& store, const std::wstring& name, const std::wstring& value) {
    return store + L".IValueStore::PutValue(\"" + name + L"\", VT_R8 " + value + L")";
}
std::wstring Calibrate(const std::wstring& settings) {
    return L"transceiver.ICalibrationControl::StartCalibration(\"" + settings + L"\")";
}
// The settings text with the page's own values, for a channel.
std::wstring DefaultSettings(const std::wstring& channel) {
    return L"TSDetection,ChannelID=" + channel +
           L",MinTSValue=-50.0,MinEchoLength=0.8,MaxEchoLength=1.8,MaxGainCompensation=3.0,MaxPhaseDeviation=20.0,"
           L"MinSpacing=0.0,";
}

void SetSettings(hostsim::HostObject& store) {
    store.Values()
        .Set(L"MinTSValue", -55.0)
        .Set(L"MinEchoLength", 0.6)
        .Set(L"MaxEchoLength", 2.5)
        .Set(L"MaxPhaseDeviation", 15.0)
        .Set(L"MaxGainCompensation", 4.0)
        .Set(L"MinSpacing", 1.5);
}
const std::vector<std::wstring> kSettingsShown = {L"-55", L"0.6", L"2.5", L"15", L"4", L"1.5"};

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
        page = CreatePage(CLSID_EchoTraceDialog);
        EXPECT_EQ(S_OK, GiveObjects(page.Get(), {view, channel}));
    }
    void TearDown() override {
        page.Reset();
        PageTest::TearDown();
    }
    void Run(const std::function<void(HWND dialog)>& body) { ActivateAndRun(page.Get(), body); }
    // Opens the page and reports the state of "Calibration...", then cancels.
    std::pair<bool, bool> CalibrationButton() {
        std::pair<bool, bool> shown{};
        Run([&](HWND dialog) {
            shown = {IsVisible(dialog, IDC_ET_CALIBRATION), IsEnabled(dialog, IDC_ET_CALIBRATION)};
            Click(dialog, IDCANCEL);
        });
        return shown;
    }

    hostsim::HostObject* layer = nullptr;
    hostsim::HostObject* layers = nullptr;
    hostsim::HostObject* directory = nullptr;
    hostsim::HostObject* transceiver = nullptr;
    hostsim::HostObject* app = nullptr;
    hostsim::HostObject* view = nullptr;
    hostsim::HostObject* channel = nullptr;
    hostsim::HostObject* component = nullptr;
    hostsim::HostObject* settings = nullptr;
    ComPtr<IPropertyPage> page;
};

TEST_F(EchoTraceTest, ShowsTheSettingsOnTheirSlidersAndWritesWhatChangedByMoreThanAFraction) {
    Run([&](HWND dialog) {
        EXPECT_EQ(kSettingsShown, Fields(dialog));
        EXPECT_EQ((std::vector<int>{45, 6, 25, 150, 40, 15}), Sliders(dialog));
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
        EXPECT_FALSE(IsEnabled(dialog, IDC_APPLY));
        EXPECT_TRUE(IsVisible(dialog, IDC_ET_CALIBRATION));
        EXPECT_TRUE(IsEnabled(dialog, IDC_ET_CALIBRATION));

        // A typed threshold moves its slider (cut toward zero); the slider writes whole dB.
        TypeText(dialog, IDC_ET_MIN_TS_EDIT, L"-37.5");
        EXPECT_EQ(62, SliderPosition(dialog, IDC_ET_MIN_TS_SLIDER));
        EXPECT_TRUE(IsEnabled(dialog, IDC_APPLY));
        DragSlider(dialog, IDC_ET_MIN_TS_SLIDER, 30);
        EXPECT_EQ(L"-70", GetText(dialog, IDC_ET_MIN_TS_EDIT));
        Click(dialog, IDC_APPLY);
        EXPECT_FALSE(IsEnabled(dialog, IDC_APPLY)) << "Apply disables its button";
        // The other sliders write tenths; the arrows step tenths within their limits.
        KeySlider(dialog, IDC_ET_MAX_ECHO_LENGTH_SLIDER, VK_RIGHT);
        EXPECT_EQ(L"2.6", GetText(dialog, IDC_ET_MAX_ECHO_LENGTH_EDIT));
        EXPECT_TRUE(IsEnabled(dialog, IDC_APPLY));
        EnableWindow(Control(dialog, IDC_APPLY), FALSE);
        StepUpDown(dialog, IDC_ET_MAX_PHASE_DEV_SPIN, 1);
        EXPECT_EQ(L"15.1", GetText(dialog, IDC_ET_MAX_PHASE_DEV_EDIT));
        EXPECT_EQ(151, SliderPosition(dialog, IDC_ET_MAX_PHASE_DEV_SLIDER));
        EXPECT_TRUE(IsEnabled(dialog, IDC_APPLY));
        // Any up-down's arrow enables Apply.
        EnableWindow(Control(dialog, IDC_APPLY), FALSE);
        NMUPDOWN arrow{{nullptr, 1234, static_cast<UINT>(UDN_DELTAPOS)}, 0, 1};
        SendMessageW(dialog, WM_NOTIFY, 1234, reinterpret_cast<LPARAM>(&arrow));
        EXPECT_TRUE(IsEnabled(dialog, IDC_APPLY));
        TypeText(dialog, IDC_ET_MIN_SPACING_EDIT, L"5");
        StepUpDown(dialog, IDC_ET_MIN_SPACING_SPIN, 1);
        EXPECT_EQ(L"5.0", GetText(dialog, IDC_ET_MIN_SPACING_EDIT));
        TypeText(dialog, IDC_ET_MIN_TS_EDIT, L"-100");
        StepUpDown(dialog, IDC_ET_MIN_TS_SPIN, -1);
        EXPECT_EQ(L"-100", GetText(dialog, IDC_ET_MIN_TS_EDIT)) << "whole dB, not below -100";
        // Emptied, a field leaves its slider where it was.
        TypeText(dialog, IDC_ET_MIN_ECHO_LENGTH_EDIT, L"");
        EXPECT_EQ(6, SliderPosition(dialog, IDC_ET_MIN_ECHO_LENGTH_SLIDER));
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(std::vector<std::wstring>{Put(L"settings", L"MinTSValue", L"-70")}, host.Lines());
    EXPECT_EQ(0u, settings->OutstandingReferences()) << "Cancel let the settings store go";

    // Changes of a twentieth or less are not written; a second Apply writes nothing new.
    host.Journal().Clear();
    Run([&](HWND dialog) {
        TypeText(dialog, IDC_ET_MAX_GAIN_COMP_EDIT, L"4.05");
        TypeText(dialog, IDC_ET_MAX_ECHO_LENGTH_EDIT, L"2.45");
        Click(dialog, IDC_APPLY);
        TypeText(dialog, IDC_ET_MAX_GAIN_COMP_EDIT, L"3.9375");
        Click(dialog, IDC_APPLY);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(std::vector<std::wstring>{Put(L"settings", L"MaxGainCompensation", L"3.9375")}, host.Lines());
    EXPECT_EQ(0u, settings->OutstandingReferences()) << "OK let the settings store go";
    EXPECT_EQ(S_OK, page->Apply());
    EXPECT_EQ(S_FALSE, page->IsPageDirty());
}

TEST_F(EchoTraceTest, TheExchangeStopsAtTheFirstBadFieldAndTheWriteTakesWhatCameBefore) {
    Run([&](HWND dialog) {
        // Fields are exchanged in the order min and max echo length, threshold, phase
        // deviation, gain compensation, spacing.
        TypeText(dialog, IDC_ET_MIN_ECHO_LENGTH_EDIT, L"7.5");
        EXPECT_EQ(50, SliderPosition(dialog, IDC_ET_MIN_ECHO_LENGTH_SLIDER)) << "the slider stops at its end";
        TypeText(dialog, IDC_ET_MAX_ECHO_LENGTH_EDIT, L"2.5 m");
        TypeText(dialog, IDC_ET_MIN_TS_EDIT, L"-60");
        Click(dialog, IDC_APPLY);
        EXPECT_EQ(IDC_ET_MAX_ECHO_LENGTH_EDIT, FocusedControlId(dialog));
        // Out of its limits a number is taken, then the exchange stops.
        TypeText(dialog, IDC_ET_MAX_ECHO_LENGTH_EDIT, L"  2.5\t");
        TypeText(dialog, IDC_ET_MAX_PHASE_DEV_EDIT, L"25");
        TypeText(dialog, IDC_ET_MAX_GAIN_COMP_EDIT, L"5");
        Click(dialog, IDC_APPLY);
        EXPECT_EQ(IDC_ET_MAX_PHASE_DEV_EDIT, FocusedControlId(dialog));
        // Phase deviation comes before gain compensation; spacing after it is not taken.
        TypeText(dialog, IDC_ET_MAX_PHASE_DEV_EDIT, L"12");
        TypeText(dialog, IDC_ET_MAX_GAIN_COMP_EDIT, L"");
        TypeText(dialog, IDC_ET_MIN_SPACING_EDIT, L"2");
        Click(dialog, IDOK);
    });
    EXPECT_EQ((std::vector<std::wstring>{Put(L"settings", L"MinEchoLength", L"7.5"),
                                         Put(L"settings", L"MinTSValue", L"-60"),
                                         Put(L"settings", L"MaxPhaseDeviation", L"25"),
                                         Put(L"settings", L"MaxPhaseDeviation", L"12")}),
              host.Lines())
        << "OK closed the dialog although the gain compensation was empty";
}

TEST_F(EchoTraceTest, EachRowsArrowsAndSliderWriteItsOwnDecimals) {
    const int spins[] = {IDC_ET_MIN_TS_SPIN,        IDC_ET_MIN_ECHO_LENGTH_SPIN, IDC_ET_MAX_ECHO_LENGTH_SPIN,
                         IDC_ET_MAX_PHASE_DEV_SPIN, IDC_ET_MAX_GAIN_COMP_SPIN,   IDC_ET_MIN_SPACING_SPIN};
    Run([&](HWND dialog) {
        for (int spin : spins)
            StepUpDown(dialog, spin, 1);
        EXPECT_EQ((std::vector<std::wstring>{L"-54", L"0.7", L"2.6", L"15.1", L"4.1", L"1.6"}), Fields(dialog));
        EXPECT_EQ((std::vector<int>{46, 7, 26, 151, 41, 16}), Sliders(dialog));
        for (const Row& row : kRows)
            DragSlider(dialog, row.slider, 33);
        EXPECT_EQ((std::vector<std::wstring>{L"-67", L"3.3", L"3.3", L"3.3", L"3.3", L"3.3"}), Fields(dialog));
        Click(dialog, IDCANCEL);
    });
    EXPECT_TRUE(host.Lines().empty()) << host.Text();
}

TEST_F(EchoTraceTest, AFieldOutsideItsExchangeLimitsStopsTheExchangeThere) {
    struct Limits {
        int edit;
        const wchar_t* below;
        const wchar_t* low;
        const wchar_t* high;
        const wchar_t* above;
    };
    const Limits limits[] = {
        {IDC_ET_MIN_TS_EDIT, L"-100.5", L"-100", L"0", L"0.5"},
        {IDC_ET_MIN_ECHO_LENGTH_EDIT, L"-0.5", L"0", L"10", L"10.5"},
        {IDC_ET_MAX_ECHO_LENGTH_EDIT, L"-0.5", L"0", L"10", L"10.5"},
        {IDC_ET_MAX_PHASE_DEV_EDIT, L"-0.5", L"0", L"20", L"20.5"},
        {IDC_ET_MAX_GAIN_COMP_EDIT, L"-0.5", L"0", L"10", L"10.5"},
        {IDC_ET_MIN_SPACING_EDIT, L"-0.5", L"0", L"10", L"10.5"},
    };
    Run([&](HWND dialog) {
        for (const Limits& field : limits) {
            const std::wstring shown = GetText(dialog, field.edit);
            for (const wchar_t* text : {field.below, field.low, field.high, field.above}) {
                TypeText(dialog, field.edit, text);
                Click(dialog, IDC_APPLY);
                const bool outside = text == field.below || text == field.above;
                EXPECT_EQ(outside, FocusedControlId(dialog) == field.edit) << field.edit << " " << text;
            }
            TypeText(dialog, field.edit, shown);
        }
        Click(dialog, IDCANCEL);
    });
}

TEST_F(EchoTraceTest, CalibrationAppliesTheSettingsAndHandsThemToTheTransceiver) {
    Run([&](HWND dialog) {
        TypeText(dialog, IDC_ET_MIN_TS_EDIT, L"-45");
        Click(dialog, IDC_ET_CALIBRATION);
        EXPECT_FALSE(IsWindowVisible(dialog)) << "the calibration ended the dialog";
    });
    EXPECT_EQ((std::vector<std::wstring>{Put(L"settings", L"MinTSValue", L"-45"),
                                         Calibrate(L"TSDetection,ChannelID=KTA 1,MinTSValue=-45.0,MinEchoLength=0.6,"
                                                   L"MaxEchoLength=2.5,MaxGainCompensation=4.0,"
                                                   L"MaxPhaseDeviation=15.0,MinSpacing=1.5,")}),
              host.Lines());
    EXPECT_EQ(1u, settings->OutstandingReferences()) << "the page keeps its settings store until its next run";

    // A transceiver that is busy, or cannot say, calibrates nothing: the dialog stays.
    host.Journal().Clear();
    Run([&](HWND dialog) {
        transceiver->SetCalibrationBusy(true);
        Click(dialog, IDC_ET_CALIBRATION);
        transceiver->SetCalibrationBusy(false);
        transceiver->SetFault(L"ICalibrationControl::IsBusy", hostsim::Fault::Fail());
        Click(dialog, IDC_ET_CALIBRATION);
        transceiver->ClearFaults();
        Click(dialog, IDCANCEL);
    });
    EXPECT_TRUE(host.Lines().empty()) << host.Text();

    // A channel replayed from transceiver "KTB 3", with the page's own values (the
    // store gives none): a failing start ends the dialog all the same.
    settings->Values().Clear();
    directory->SetTransceiver(L"KTB 3", transceiver);
    channel->SetChannelId(L"Echo0815").SetOriginId(L"KTB 3");
    transceiver->SetFault(L"ICalibrationControl::StartCalibration", hostsim::Fault::Fail());
    ComPtr<IPropertyPage> fresh = CreatePage(CLSID_EchoTraceDialog);
    GiveObjects(fresh.Get(), {view, channel});
    ActivateAndRun(fresh.Get(), [&](HWND dialog) { Click(dialog, IDC_ET_CALIBRATION); });
    EXPECT_EQ(std::vector<std::wstring>{Calibrate(DefaultSettings(L"KTB 3"))}, host.Lines());
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
    view->AddService(unit);
    unit.Values().SetObject(L"ModifiedBottom", bottom);
    unit.SetSettings(&unitSettings);
    settings->Values().Clear();
    struct Case {
        const wchar_t* kind;
        hostsim::HostObject* store;
    };
    for (const Case& c : {Case{L"TK22", &bottom}, Case{L"TK33", &unitSettings}}) {
        SetSettings(*c.store);
        app->SetString(L"AppName", c.kind);
        host.Journal().Clear();
        Run([&](HWND dialog) {
            EXPECT_EQ(kSettingsShown, Fields(dialog)) << c.kind;
            TypeText(dialog, IDC_ET_MIN_SPACING_EDIT, L"2.5");
            Click(dialog, IDOK);
        });
        EXPECT_EQ(std::vector<std::wstring>{Put(c.store->Name(), L"MinSpacing", L"2.5")}, host.Lines()) << c.kind;
    }

    // "TK22" without a modified bottom object: no settings store. The page shows
    // what it holds from its previous run and writes nothing.
    unit.Values().Set(L"ModifiedBottom", 1.0);
    app->SetString(L"AppName", L"TK22");
    host.Journal().Clear();
    Run([&](HWND dialog) {
        EXPECT_EQ(L"2.5", GetText(dialog, IDC_ET_MIN_SPACING_EDIT));
        TypeText(dialog, IDC_ET_MIN_SPACING_EDIT, L"3");
        Click(dialog, IDOK);
    });
    EXPECT_TRUE(host.Lines().empty()) << host.Text();

    // A second object without a channel keeps the settings itself, whatever the kind.
    hostsim::HostObject& ownSettings = host.Create(L"ownSettings", {IID_IValueStore});
    SetSettings(ownSettings);
    ComPtr<IPropertyPage> fresh = CreatePage(CLSID_EchoTraceDialog);
    GiveObjects(fresh.Get(), {view, &ownSettings});
    ActivateAndRun(fresh.Get(), [&](HWND dialog) {
        EXPECT_EQ(kSettingsShown, Fields(dialog));
        TypeText(dialog, IDC_ET_MIN_SPACING_EDIT, L"2.5");
        Click(dialog, IDOK);
    });
    EXPECT_EQ(std::vector<std::wstring>{Put(L"ownSettings", L"MinSpacing", L"2.5")}, host.Lines());
}

TEST_F(EchoTraceTest, ValuesTheHostDoesNotGiveKeepWhatThePreviousRunLeft) {
    Run([&](HWND dialog) {
        TypeText(dialog, IDC_ET_MAX_PHASE_DEV_EDIT, L"18");
        Click(dialog, IDC_APPLY);
        TypeText(dialog, IDC_ET_MIN_SPACING_EDIT, L"3");
        Click(dialog, IDCANCEL);
    });
    settings->SetFault(L"IValueStore::GetValue", L"MaxPhaseDeviation", hostsim::Fault::WrongType(VT_BSTR));
    settings->SetFault(L"IValueStore::GetValue", L"MinSpacing", hostsim::Fault::Fail());
    Run([&](HWND dialog) {
        EXPECT_EQ(L"18", GetText(dialog, IDC_ET_MAX_PHASE_DEV_EDIT));
        EXPECT_EQ(L"1.5", GetText(dialog, IDC_ET_MIN_SPACING_EDIT)) << "Cancel took nothing from the fields";
        Click(dialog, IDOK);
    });
    EXPECT_EQ(std::vector<std::wstring>{Put(L"settings", L"MaxPhaseDeviation", L"18")}, host.Lines())
        << "the second OK found nothing changed";
}

TEST_F(EchoTraceTest, EveryFailingHostOperationStillOpensAndClosesThePage) {
    page.Reset();
    ForEachFault(
        {
            {settings, L"IValueStore::GetValue", hostsim::Fault::Fail()},
            {settings, L"IValueStore::GetValue", hostsim::Fault::WrongType(VT_I4)},
            {settings, L"IValueStore::PutValue", hostsim::Fault::Fail()},
            {channel, L"IChannel::GetChannelID", hostsim::Fault::Fail()},
            {channel, L"IChannel::GetChannelID", hostsim::Fault::NullObject()},
            {channel, L"IChannel::GetComponent", hostsim::Fault::Fail()},
            {channel, L"IChannel::GetComponent", hostsim::Fault::NullObject()},
            {channel, L"QueryInterface", hostsim::Fault::Fail(E_NOINTERFACE)},
            {component, L"IProcessingUnit::GetSettings", hostsim::Fault::Fail()},
            {component, L"IProcessingUnit::GetSettings", hostsim::Fault::NullObject()},
            {component, L"QueryInterface", hostsim::Fault::Fail(E_NOINTERFACE)},
            {directory, L"ITransceiverDirectory::GetTransceiver", hostsim::Fault::Fail()},
            {directory, L"ITransceiverDirectory::GetTransceiver", hostsim::Fault::NullObject()},
            {directory, L"ITransceiverDirectory::IsBusy", hostsim::Fault::Fail()},
            {transceiver, L"ICalibrationControl::IsBusy", hostsim::Fault::Fail()},
            {transceiver, L"ICalibrationControl::StartCalibration", hostsim::Fault::Fail()},
            {transceiver, L"QueryInterface", hostsim::Fault::Fail(E_NOINTERFACE)},
            {layers, L"ILayerSelection::GetSelectedLayer", hostsim::Fault::NullObject()},
            {layer, L"ILayer::GetName", hostsim::Fault::Fail()},
            {view, L"IObjectSite::GetObject", hostsim::Fault::Fail()},
            {view, L"IObjectSite::GetObject", hostsim::Fault::NullObject()},
            {view, L"IHostView::GetApplication", hostsim::Fault::NullObject()},
            {app, L"IHostApplication::GetStringValue", hostsim::Fault::NullObject()},
        },
        [&] {
            ComPtr<IPropertyPage> fresh = CreatePage(CLSID_EchoTraceDialog);
            GiveObjects(fresh.Get(), {view, channel});
            ActivateAndRun(fresh.Get(), [&](HWND dialog) {
                TypeText(dialog, IDC_ET_MIN_TS_EDIT, L"-40");
                Click(dialog, IDC_APPLY);
                Click(dialog, ID_HELP);
                if (IsEnabled(dialog, IDC_ET_CALIBRATION) && IsVisible(dialog, IDC_ET_CALIBRATION))
                    Click(dialog, IDC_ET_CALIBRATION);
                if (IsWindowVisible(dialog))
                    Click(dialog, IDOK);
            });
            fresh.Reset();
            EXPECT_TRUE(host.AllReferencesReturned()) << host.OutstandingText();
        });
    // Given only the view, or nothing: the page opens with its own values.
    for (bool withView : {true, false}) {
        ComPtr<IPropertyPage> bare = CreatePage(CLSID_EchoTraceDialog);
        if (withView)
            GiveObjects(bare.Get(), {view});
        ActivateAndRun(bare.Get(), [&](HWND dialog) {
            EXPECT_EQ((std::vector<std::wstring>{L"-50", L"0.8", L"1.8", L"20", L"3", L"0"}), Fields(dialog));
            EXPECT_FALSE(IsVisible(dialog, IDC_ET_CALIBRATION));
            TypeText(dialog, IDC_ET_MIN_TS_EDIT, L"-40");
            Click(dialog, IDOK);
        });
    }
}

}  // namespace
}  // namespace tavrel::test

namespace tavrel::test {

// The page finds the host's logger itself: its own line about a missing settings
// store reaches the host on the first run, once per run.
TEST(EchoTraceLog, AMissingSettingsStoreAndFormObjectsOfTheWrongKindAreLogged) {
    const std::wstring copyPath = TavrelLibrary::CopyBesideTheProgram(L"TavrelEchoTraceLogCopy.dll");
    ASSERT_FALSE(copyPath.empty());
    hostsim::Host host;
    hostsim::HostObject& logger = host.Create(L"logger", {IID_IHostLogger});
    hostsim::HostObject& view = host.Create(L"view", {IID_IObjectSite});
    hostsim::HostObject& channel = host.Create(L"channel", {IID_IChannel});
    view.AddService(logger);
    {
        TavrelLibrary library(copyPath.c_str());
        ComPtr<IPropertyPage> page = library.CreatePage(CLSID_EchoTraceDialog);
        IUnknown* objects[] = {view.Identity(), channel.Identity()};
        ASSERT_EQ(S_OK, page->SetObjects(2, objects));
        const RECT rect{0, 0, 100, 100};
        for (int run = 0; run < 2; ++run) {
            EXPECT_TRUE(RunDialog([&] { page->Activate(nullptr, &rect, TRUE); },
                                  [](HWND dialog) { Click(dialog, IDOK); }));
        }
        ComPtr<IFormControl> form;
        ASSERT_EQ(S_OK, page.As(&form));
        VARIANT notAnArray;
        ::VariantInit(&notAnArray);
        notAnArray.vt = VT_UNKNOWN;
        notAnArray.punkVal = view.Identity();
        EXPECT_EQ(E_INVALIDARG, form->SetFormObjects(notAnArray));
        form.Reset();
        page.Reset();
        EXPECT_TRUE(library.Unload());
    }
    const std::wstring noStore = L"logger.IHostLogger::LogMessage(\"EchoTrace dialog failed to connect to selected "
                                 L"layer\", \"Tavrel\", 16, 0)";
    EXPECT_EQ((std::vector<std::wstring>{
                  noStore, noStore,
                  L"logger.IHostLogger::LogMessage(\"CEchoTraceDialog:Invalid input\", \"Tavrel\", 1, 0)"}),
              host.Lines());
    EXPECT_TRUE(host.AllReferencesReturned()) << host.OutstandingText();
    ::DeleteFileW(copyPath.c_str());
}

}  // namespace tavrel::test
