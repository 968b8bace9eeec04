// The horizontal axis page, used as a person and a host would: the axis row and label
// the view's settings show, the spans in the units the user picks, the arrows' ranges
// per unit, and what Apply writes, in which order, and where it stops. What any
// failing host operation must not do is the fault sweep's to check.
#include "PageTest.h"
#include "resource.h"

#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace tavrel::test {
namespace {

constexpr int kDistance = IDC_HA_DISTANCE_EDIT, kTime = IDC_HA_TIME_EDIT, kPing = IDC_HA_PING_EDIT;
constexpr int kDistanceUnit = IDC_HA_DISTANCE_UNIT_COMBO, kTimeUnit = IDC_HA_TIME_UNIT_COMBO;

std::wstring Put(const std::wstring& object, const std::wstring& name, const std::wstring& value) {
    return object + L".IValueStore::PutValue(\"" + name + L"\", " + value + L")";
}
std::wstring PutInt(const std::wstring& object, const std::wstring& name, int value) {
    return Put(object, name, L"VT_I4 " + std::to_wstring(value));
}
// first, then what every complete Apply ends with, to one store.
Lines Settings(Lines first, const std::wstring& object, int axis, int labels, int distanceUnit, int timeUnit) {
    for (const auto& [name, value] : {std::pair{L"HorizontalAxis", axis}, {L"UserScale", labels},
                                      {L"DistanceIntervalUnit", distanceUnit}, {L"TimeIntervalUnit", timeUnit}})
        first.push_back(PutInt(object, name, value));
    return first;
}
Lines Joined(Lines first, const Lines& then) {
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

const int kAxisControls[] = {IDC_HA_DISTANCE_UNIT_COMBO, IDC_HA_DISTANCE_EDIT, IDC_HA_DISTANCE_SPIN,
                             IDC_HA_TIME_UNIT_COMBO,     IDC_HA_TIME_EDIT,     IDC_HA_TIME_SPIN,
                             IDC_HA_PING_EDIT,           IDC_HA_PING_SPIN,     IDC_HA_VIEW_SIZE};
// Expects which of kAxisControls the user can use, as a string of 0 and 1.
Step AxisControls(std::string expected) {
    return {[=](HWND dialog) {
        std::string enabled;
        for (int id : kAxisControls)
            enabled += IsEnabled(dialog, id) ? '1' : '0';
        EXPECT_EQ(expected, enabled);
    }};
}
Step Choose(int comboId, std::wstring entry) {
    return {[=](HWND dialog) { ChooseComboEntry(dialog, comboId, entry); }};
}
// Typing alone leaves Apply disabled: the user picks the label kind shown again first.
const Step kApplyTyped{[](HWND dialog) { Do(dialog, {Press(IDC_HA_LABEL_AUTO), Press(IDC_APPLY)}); }};

class HorizontalDistanceTest : public PageTest {
protected:
    // A view whose settings show a distance of 5 nautical miles in metres, 90 minutes
    // and 1000 pings, with automatic labels.
    void SetUp() override {
        view = &CreateViewWithHelp();
        settings = &host.Create(L"settings", {IID_IValueStore});
        settings->Values().Set(L"HorizontalAxis", 3).Set(L"TimeSpan", 5400).Set(L"PingSpan", 1000);
        settings->Values().Set(L"DistanceSpan", 5.0).Set(L"UserScale", 1).Set(L"DistanceIntervalUnit", 0);
        settings->Values().Set(L"TimeIntervalUnit", 1);
        page = CreatePage(CLSID_HorizontalDistanceDialog, {view, settings});
    }

    hostsim::HostObject *view = nullptr, *settings = nullptr;
};

TEST_F(HorizontalDistanceTest, ShowsTheAxisKindAndLabelKindTheViewHas) {
    struct Case {
        int axis;
        int checkedRadio;
        std::string enabled;  // kAxisControls
        bool viewSize;
        int written;  // "HorizontalAxis" on OK
    };
    const Case cases[] = {
        {3, IDC_HA_DISTANCE_RADIO, "111000000", false, 3}, {4, IDC_HA_TIME_RADIO, "000111000", false, 4},
        {5, IDC_HA_PING_RADIO, "000000111", false, 5},     {2, IDC_HA_PING_RADIO, "000000001", true, 2},
        {7, IDC_HA_PING_RADIO, "000000001", true, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.axis);
        settings->Values().Set(L"HorizontalAxis", c.axis);
        Run({AxisControls(c.enabled), Enabled(IDC_APPLY, false), Checked(c.checkedRadio),
             Checked(IDC_HA_VIEW_SIZE, c.viewSize), Press(IDOK)});
        EXPECT_EQ(PutInt(L"settings", L"HorizontalAxis", c.written), TakeLines().at(0));
    }
    EXPECT_EQ(S_FALSE, page->IsPageDirty()) << "showing the kind is no change";

    // Ping labels check the hidden button; the kind is written back as read.
    const int labelButtons[] = {IDC_HA_LABEL_AUTO, IDC_HA_LABEL_TIME, IDC_HA_LABEL_PING, IDC_HA_LABEL_DISTANCE};
    const std::pair<int, int> labels[] = {{1, IDC_HA_LABEL_AUTO}, {2, IDC_HA_LABEL_PING}, {3, IDC_HA_LABEL_DISTANCE},
                                          {4, IDC_HA_LABEL_TIME}, {9, IDC_HA_LABEL_AUTO}};
    for (const auto& [kind, button] : labels) {
        SCOPED_TRACE(kind);
        settings->Values().Set(L"UserScale", kind);
        Run({Step{[&, button = button](HWND dialog) {
                 for (int id : labelButtons)
                     EXPECT_EQ(id == button, IsChecked(dialog, id)) << id;
                 EXPECT_FALSE(IsVisible(dialog, IDC_HA_LABEL_PING));
             }},
             Press(IDOK)});
        EXPECT_EQ(PutInt(L"settings", L"UserScale", kind), TakeLines().at(1));
    }
}

TEST_F(HorizontalDistanceTest, AxisChoicesEnableTheirRowAndMarkThePageDirtyLabelsOnlyEnableApply) {
    // A label is no dirty change; typing enables nothing; "View size" stays checked
    // across rows; an arrow enables Apply.
    Run({Press(IDC_HA_LABEL_TIME), Enabled(IDC_APPLY), Dirty(false), Press(IDC_APPLY), Enabled(IDC_APPLY, false),
         Type(kDistance, L"7000"), Enabled(IDC_APPLY, false), Press(IDC_HA_PING_RADIO), Dirty(true),
         Enabled(IDC_APPLY), AxisControls("000000111"), Press(IDC_HA_VIEW_SIZE), AxisControls("000000001"),
         Press(IDC_HA_TIME_RADIO), AxisControls("000111000"), Press(IDC_HA_PING_RADIO), AxisControls("000000001"),
         Press(IDC_HA_VIEW_SIZE), Press(IDC_APPLY), Arrow(IDC_HA_PING_SPIN, 1), Enabled(IDC_APPLY),
         Shows(kPing, L"1010"), Press(IDCANCEL)});
    // Both Applies compare with the spans read at initialisation.
    EXPECT_EQ(Joined(Settings({}, L"settings", 3, 4, 0, 1),
                     Settings({Put(L"settings", L"DistanceSpan", L"VT_R8 3.7796976241900646")}, L"settings", 5, 4,
                              0, 1)),
              host.Lines());
}

TEST_F(HorizontalDistanceTest, SpansShowInTheChosenUnitsAndAreWrittenInTheViewsUnits) {
    const wchar_t* shown[] = {L"1.5", L"90.0", L"5400.0"};
    const wchar_t* names[] = {L"hours", L"minutes", L"seconds"};
    for (int unit : {0, 1, 2}) {
        settings->Values().Set(L"TimeIntervalUnit", unit);
        Run({Shows({kTime, kTimeUnit}, {shown[unit], names[unit]}), Press(IDCANCEL)});
    }
    settings->Values().Set(L"TimeIntervalUnit", 1);
    // 9300 m is 0.02 nautical miles more: not written; 9500 m is. A unit switch
    // enables Apply; 5.1 nmi is not clamped. Minutes to seconds and back; then 0.05
    // hours is 180 seconds.
    Run({Shows({kDistance, kDistanceUnit, kPing}, {L"9260.0", L"meters", L"1000"}), Step{[](HWND dialog) {
             EXPECT_EQ((Lines{L"meters", L"nmi"}), ComboEntries(dialog, kDistanceUnit));
             EXPECT_EQ((Lines{L"hours", L"minutes", L"seconds"}), ComboEntries(dialog, kTimeUnit));
         }},
         Type(kDistance, L"9300"), kApplyTyped, Type(kDistance, L"9500"), Choose(kDistanceUnit, L"nmi"),
         Shows(kDistance, L"5.1"), Enabled(IDC_APPLY), Choose(kDistanceUnit, L"meters"), Shows(kDistance, L"9445.2"),
         Type(kDistance, L"9500"), Press(IDC_APPLY), Press(IDC_HA_PING_RADIO), Type(kPing, L"1500.7"),
         Press(IDC_HA_TIME_RADIO), Type(kTime, L"20.0"), Choose(kTimeUnit, L"seconds"), Shows(kTime, L"1200"),
         Choose(kTimeUnit, L"minutes"), Shows(kTime, L"20.0"), Choose(kTimeUnit, L"hours"), Shows(kTime, L"0.3"),
         Type(kTime, L"0.05"), Press(IDOK)});
    const std::wstring distance = Put(L"settings", L"DistanceSpan", L"VT_R8 5.129589632829374");
    EXPECT_EQ(Joined(Settings({}, L"settings", 3, 1, 0, 1),
                     Joined(Settings({distance}, L"settings", 3, 1, 0, 1),
                            Settings({PutInt(L"settings", L"TimeSpan", 180), distance,
                                      PutInt(L"settings", L"PingSpan", 1500)},
                                     L"settings", 4, 1, 0, 0))),
              host.Lines());
}

TEST_F(HorizontalDistanceTest, ADistanceIsWrittenWhenItDiffersByATenthOfANauticalMileOrMore) {
    settings->Values().Set(L"DistanceSpan", 0.1).Set(L"DistanceIntervalUnit", 1);
    ComPtr<IPropertyPage> nmi = CreatePage(CLSID_HorizontalDistanceDialog, {view, settings});
    // 0.1 more, exactly in binary too.
    Use(nmi.Get(), {Type(kDistance, L"0.19"), kApplyTyped, Type(kDistance, L"0.2"), kApplyTyped, Press(IDCANCEL)});
    EXPECT_EQ(Joined(Settings({}, L"settings", 3, 1, 1, 1),
                     Settings({Put(L"settings", L"DistanceSpan", L"VT_R8 0.2")}, L"settings", 3, 1, 1, 1)),
              host.Lines());
}

TEST_F(HorizontalDistanceTest, TheArrowsStepEachUnitWithinItsOwnRange) {
    struct Case {
        char row;             // 't'ime, 'd'istance, 'p'ings
        const wchar_t* unit;  // null: pings
        const wchar_t* from;
        int delta;
        const wchar_t* stepped;
    };
    const Case cases[] = {
        {'t', L"hours", L"1.5", 1, L"1.6"},       {'t', L"hours", L"2.0", 1, L"2.0"},
        {'t', L"hours", L"0.1", -1, L"0.1"},      {'t', L"minutes", L"60.0", 1, L"60.0"},
        {'t', L"minutes", L"5.0", -1, L"5.0"},    {'t', L"seconds", L"1200", 1, L"1210"},
        {'t', L"seconds", L"3600", 1, L"3600"},   {'t', L"seconds", L"500", -1, L"500"},
        {'d', L"meters", L"9260", 1, L"9261"},    {'d', L"meters", L"600000", 1, L"600000"},
        {'d', L"meters", L"5", -1, L"5"},         {'d', L"nmi", L"20.0", 1, L"20.0"},
        {'d', L"nmi", L"0.1", -1, L"0.1"},        {'p', nullptr, L"2000", 1, L"2000"},
        {'p', nullptr, L"100", -1, L"100"},
    };
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.row << " from " << c.from << " by " << c.delta);
            const bool time = c.row == 't', distance = c.row == 'd';
            const int edit = time ? kTime : distance ? kDistance : kPing;
            Click(dialog, time ? IDC_HA_TIME_RADIO : distance ? IDC_HA_DISTANCE_RADIO : IDC_HA_PING_RADIO);
            if (c.unit)
                ChooseComboEntry(dialog, time ? kTimeUnit : kDistanceUnit, c.unit);
            TypeText(dialog, edit, c.from);
            StepUpDown(dialog, time ? IDC_HA_TIME_SPIN : distance ? IDC_HA_DISTANCE_SPIN : IDC_HA_PING_SPIN, c.delta);
            EXPECT_EQ(c.stepped, GetText(dialog, edit));
        }
        Click(dialog, IDCANCEL);
    });
}

TEST_F(HorizontalDistanceTest, AnEmptyFieldEndsTheWriteThereWithTheThirdStoreServedAfterTheView) {
    hostsim::HostObject& third = host.Create(L"third", {IID_IValueStore});
    GiveObjects(page.Get(), {view, settings, &third});
    // Nothing at all, then the time only. With the field empty a unit switch only
    // changes the box: the page keeps minutes and converts what is typed afterwards
    // with them. OK: the distance is unchanged, the ping field empty: the time again.
    Run({Type(kDistance, L""), Press(IDC_HA_TIME_RADIO), Type(kTime, L""), Press(IDC_APPLY),
         Choose(kTimeUnit, L"hours"), Enabled(IDC_APPLY, false), Type(kTime, L"2"), kApplyTyped,
         Press(IDC_HA_DISTANCE_RADIO), Type(kDistance, L"9260"), Press(IDC_HA_PING_RADIO), Type(kPing, L""),
         Press(IDOK)});
    const Lines time{PutInt(L"settings", L"TimeSpan", 120), PutInt(L"third", L"TimeSpan", 120)};
    EXPECT_EQ(Joined(time, time), TakeLines());

    Run({Press(IDOK)});
    Lines expected;
    for (const auto& [name, value] : {std::pair{L"HorizontalAxis", 3}, {L"UserScale", 1}, {L"DistanceIntervalUnit", 0},
                                      {L"TimeIntervalUnit", 1}}) {
        for (const wchar_t* store : {L"settings", L"third"})
            expected.push_back(PutInt(store, name, value));
    }
    EXPECT_EQ(expected, host.Lines());
}

// Without units from the host the page starts in minutes and nautical miles, the
// units it shows any unit number it does not know in; such a number is converted as
// that unit and written back as it came.
TEST_F(HorizontalDistanceTest, WithoutUnitsFromTheHostThePageUsesMinutesAndNauticalMiles) {
    hostsim::HostObject& bare = host.Create(L"bare", {IID_IValueStore});
    bare.Values().Set(L"TimeIntervalUnit", 0.0).Set(L"HorizontalAxis", 4);  // VT_R8: not a unit
    // 1200 seconds; the minutes' range.
    Use(CreatePage(CLSID_HorizontalDistanceDialog, {view, &bare}).Get(),
        {Shows({kTime, kTimeUnit, kDistance, kDistanceUnit}, {L"20.0", L"minutes", L"5.0", L"nmi"}),
         Type(kTime, L"60.0"), Arrow(IDC_HA_TIME_SPIN, 1), Shows(kTime, L"60.0"), Press(IDOK)});
    EXPECT_EQ(Settings({PutInt(L"bare", L"TimeSpan", 3600)}, L"bare", 4, 1, 1, 1), TakeLines());

    settings->Values().Set(L"TimeIntervalUnit", 3).Set(L"DistanceIntervalUnit", 2).Set(L"HorizontalAxis", 4);
    Run({Shows({kTime, kDistance}, {L"90.0", L"5.0"}), Type(kTime, L"30"), kApplyTyped, Choose(kTimeUnit, L"seconds"),
         Shows(kTime, L"1800"), Enabled(IDC_APPLY), Press(IDC_HA_DISTANCE_RADIO), Choose(kDistanceUnit, L"meters"),
         Shows(kDistance, L"9260.0"), Press(IDCANCEL)});
    EXPECT_EQ(Settings({PutInt(L"settings", L"TimeSpan", 1800)}, L"settings", 4, 1, 2, 3), TakeLines());

    // Values that cannot be read count as unchanged: OK writes no span. Settings
    // without a value store: the page's own values show, and nothing is written.
    for (const hostsim::Fault& fault :
         {hostsim::Fault::Fail(), hostsim::Fault::Fail(S_FALSE), hostsim::Fault::WrongType(VT_BSTR)}) {
        settings->SetFault(L"IValueStore::GetValue", fault);
        Use(CreatePage(CLSID_HorizontalDistanceDialog, {view, settings, nullptr}).Get(), {Press(ID_HELP), Press(IDOK)});
        for (const std::wstring& line : TakeLines())
            EXPECT_EQ(std::wstring::npos, line.find(L"Span\", VT_")) << "no span written unchanged: " << line;
    }
    settings->ClearFaults();
    settings->Hide(IID_IValueStore);
    Use(CreatePage(CLSID_HorizontalDistanceDialog, {view, settings}).Get(),
        {Shows(kPing, L"1000"), Checked(IDC_HA_PING_RADIO), Checked(IDC_HA_VIEW_SIZE), Press(IDOK)});
    EXPECT_TRUE(host.Lines().empty()) << host.Text();
}

}  // namespace
}  // namespace tavrel::test
