// The horizontal axis page, used as a person and a host would: the axis row and label
// the view's settings show, the spans in the units the user picks, the arrows' ranges
// per unit, and what Apply writes, in which order, and where it stops.
#include "PageTest.h"
#include "resource.h"

#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace tavrel::test {
namespace {

std::wstring Put(const std::wstring& object, const std::wstring& name, const std::wstring& value) {
    return object + L".IValueStore::PutValue(\"" + name + L"\", " + value + L")";
}
// What every complete Apply ends with, to one store.
std::vector<std::wstring> Settings(const std::wstring& object, int axis, int labels, int distanceUnit, int timeUnit) {
    return {Put(object, L"HorizontalAxis", L"VT_I4 " + std::to_wstring(axis)),
            Put(object, L"UserScale", L"VT_I4 " + std::to_wstring(labels)),
            Put(object, L"DistanceIntervalUnit", L"VT_I4 " + std::to_wstring(distanceUnit)),
            Put(object, L"TimeIntervalUnit", L"VT_I4 " + std::to_wstring(timeUnit))};
}
std::vector<std::wstring> Joined(std::vector<std::wstring> first, const std::vector<std::wstring>& then) {
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

const int kAxisControls[] = {IDC_HA_DISTANCE_UNIT_COMBO, IDC_HA_DISTANCE_EDIT, IDC_HA_DISTANCE_SPIN,
                             IDC_HA_TIME_UNIT_COMBO,     IDC_HA_TIME_EDIT,     IDC_HA_TIME_SPIN,
                             IDC_HA_PING_EDIT,           IDC_HA_PING_SPIN,     IDC_HA_VIEW_SIZE};
// Which of kAxisControls the user can use, as a string of 0 and 1.
std::string EnabledAxisControls(HWND dialog) {
    std::string enabled;
    for (int id : kAxisControls)
        enabled += IsEnabled(dialog, id) ? '1' : '0';
    return enabled;
}

// Typing alone leaves Apply disabled: the user picks the label kind shown again first.
void ApplyTyped(HWND dialog) {
    Click(dialog, IDC_HA_LABEL_AUTO);
    Click(dialog, IDC_APPLY);
}

class HorizontalDistanceTest : public PageTest {
protected:
    // A view whose settings show a distance of 5 nautical miles in metres, 90 minutes
    // and 1000 pings, with automatic labels.
    void SetUp() override {
        view = &CreateViewWithHelp();
        settings = &host.Create(L"settings", {IID_IValueStore});
        settings->Values()
            .Set(L"HorizontalAxis", 3)
            .Set(L"TimeSpan", 5400)
            .Set(L"PingSpan", 1000)
            .Set(L"DistanceSpan", 5.0)
            .Set(L"UserScale", 1)
            .Set(L"DistanceIntervalUnit", 0)
            .Set(L"TimeIntervalUnit", 1);
    }

    ComPtr<IPropertyPage> OpenablePage(std::initializer_list<hostsim::HostObject*> objects) {
        return CreatePage(CLSID_HorizontalDistanceDialog, objects);
    }

    hostsim::HostObject* view = nullptr;
    hostsim::HostObject* settings = nullptr;
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
    ComPtr<IPropertyPage> page = OpenablePage({view, settings});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.axis);
        host.Journal().Clear();
        settings->Values().Set(L"HorizontalAxis", c.axis);
        ActivateAndRun(page.Get(), [&](HWND dialog) {
            EXPECT_TRUE(IsChecked(dialog, c.checkedRadio));
            EXPECT_EQ(c.enabled, EnabledAxisControls(dialog));
            EXPECT_EQ(c.viewSize, IsChecked(dialog, IDC_HA_VIEW_SIZE));
            EXPECT_FALSE(IsEnabled(dialog, IDC_APPLY));
            Click(dialog, IDOK);
        });
        EXPECT_EQ(Put(L"settings", L"HorizontalAxis", L"VT_I4 " + std::to_wstring(c.written)), host.Lines().at(0));
    }
    EXPECT_EQ(S_FALSE, page->IsPageDirty()) << "showing the kind is no change";

    // Ping labels check the hidden button; the kind is written back as read.
    const int labelButtons[] = {IDC_HA_LABEL_AUTO, IDC_HA_LABEL_TIME, IDC_HA_LABEL_PING, IDC_HA_LABEL_DISTANCE};
    const std::pair<int, int> labels[] = {
        {1, IDC_HA_LABEL_AUTO}, {2, IDC_HA_LABEL_PING}, {3, IDC_HA_LABEL_DISTANCE}, {4, IDC_HA_LABEL_TIME}, {9, IDC_HA_LABEL_AUTO}};
    for (const auto& [kind, button] : labels) {
        SCOPED_TRACE(kind);
        host.Journal().Clear();
        settings->Values().Set(L"UserScale", kind);
        ActivateAndRun(page.Get(), [&](HWND dialog) {
            for (int id : labelButtons)
                EXPECT_EQ(id == button, IsChecked(dialog, id)) << id;
            EXPECT_FALSE(IsVisible(dialog, IDC_HA_LABEL_PING));
            Click(dialog, IDOK);
        });
        EXPECT_EQ(Put(L"settings", L"UserScale", L"VT_I4 " + std::to_wstring(kind)), host.Lines().at(1));
    }
}

TEST_F(HorizontalDistanceTest, AxisChoicesEnableTheirRowAndMarkThePageDirtyLabelsOnlyEnableApply) {
    ComPtr<IPropertyPage> page = OpenablePage({view, settings});
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        Click(dialog, IDC_HA_LABEL_TIME);
        EXPECT_TRUE(IsEnabled(dialog, IDC_APPLY));
        EXPECT_EQ(S_FALSE, page->IsPageDirty()) << "a label is no dirty change";
        Click(dialog, IDC_APPLY);
        EXPECT_FALSE(IsEnabled(dialog, IDC_APPLY));
        TypeText(dialog, IDC_HA_DISTANCE_EDIT, L"7000");
        EXPECT_FALSE(IsEnabled(dialog, IDC_APPLY)) << "typing enables nothing";

        Click(dialog, IDC_HA_PING_RADIO);
        EXPECT_EQ(S_OK, page->IsPageDirty());
        EXPECT_TRUE(IsEnabled(dialog, IDC_APPLY));
        EXPECT_EQ("000000111", EnabledAxisControls(dialog));
        Click(dialog, IDC_HA_VIEW_SIZE);
        EXPECT_EQ("000000001", EnabledAxisControls(dialog));
        Click(dialog, IDC_HA_TIME_RADIO);
        EXPECT_EQ("000111000", EnabledAxisControls(dialog));
        Click(dialog, IDC_HA_PING_RADIO);
        EXPECT_EQ("000000001", EnabledAxisControls(dialog)) << "\"View size\" stays checked";
        Click(dialog, IDC_HA_VIEW_SIZE);
        Click(dialog, IDC_APPLY);
        StepUpDown(dialog, IDC_HA_PING_SPIN, 1);
        EXPECT_TRUE(IsEnabled(dialog, IDC_APPLY)) << "an arrow enables Apply";
        EXPECT_EQ(L"1010", GetText(dialog, IDC_HA_PING_EDIT));
        Click(dialog, IDCANCEL);
    });
    // Both Applies compare with the spans read at initialisation.
    const std::vector<std::wstring> distance{Put(L"settings", L"DistanceSpan", L"VT_R8 3.7796976241900646")};
    EXPECT_EQ(Joined(Joined(Settings(L"settings", 3, 4, 0, 1), distance), Settings(L"settings", 5, 4, 0, 1)),
              host.Lines());
}

TEST_F(HorizontalDistanceTest, SpansShowInTheChosenUnitsAndAreWrittenInTheViewsUnits) {
    ComPtr<IPropertyPage> page = OpenablePage({view, settings});
    for (int unit : {0, 1, 2}) {
        settings->Values().Set(L"TimeIntervalUnit", unit);
        ActivateAndRun(page.Get(), [&](HWND dialog) {
            const wchar_t* shown[] = {L"1.5", L"90.0", L"5400.0"};
            const wchar_t* names[] = {L"hours", L"minutes", L"seconds"};
            EXPECT_EQ(shown[unit], GetText(dialog, IDC_HA_TIME_EDIT));
            EXPECT_EQ(names[unit], GetText(dialog, IDC_HA_TIME_UNIT_COMBO));
            Click(dialog, IDCANCEL);
        });
    }
    settings->Values().Set(L"TimeIntervalUnit", 1);
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_EQ(L"9260.0", GetText(dialog, IDC_HA_DISTANCE_EDIT));
        EXPECT_EQ(L"meters", GetText(dialog, IDC_HA_DISTANCE_UNIT_COMBO));
        EXPECT_EQ(L"1000", GetText(dialog, IDC_HA_PING_EDIT));
        EXPECT_EQ((std::vector<std::wstring>{L"meters", L"nmi"}), ComboEntries(dialog, IDC_HA_DISTANCE_UNIT_COMBO));
        EXPECT_EQ((std::vector<std::wstring>{L"hours", L"minutes", L"seconds"}),
                  ComboEntries(dialog, IDC_HA_TIME_UNIT_COMBO));
        // 9300 m is 0.02 nautical miles more: not written; 9500 m is.
        TypeText(dialog, IDC_HA_DISTANCE_EDIT, L"9300");
        ApplyTyped(dialog);
        TypeText(dialog, IDC_HA_DISTANCE_EDIT, L"9500");
        ChooseComboEntry(dialog, IDC_HA_DISTANCE_UNIT_COMBO, L"nmi");
        EXPECT_EQ(L"5.1", GetText(dialog, IDC_HA_DISTANCE_EDIT));
        EXPECT_TRUE(IsEnabled(dialog, IDC_APPLY)) << "a unit switch enables Apply";
        ChooseComboEntry(dialog, IDC_HA_DISTANCE_UNIT_COMBO, L"meters");
        EXPECT_EQ(L"9445.2", GetText(dialog, IDC_HA_DISTANCE_EDIT)) << "5.1 nmi, not clamped";
        TypeText(dialog, IDC_HA_DISTANCE_EDIT, L"9500");
        Click(dialog, IDC_APPLY);

        // Minutes to seconds and back; then 0.05 hours is 180 seconds.
        Click(dialog, IDC_HA_PING_RADIO);
        TypeText(dialog, IDC_HA_PING_EDIT, L"1500.7");
        Click(dialog, IDC_HA_TIME_RADIO);
        TypeText(dialog, IDC_HA_TIME_EDIT, L"20.0");
        ChooseComboEntry(dialog, IDC_HA_TIME_UNIT_COMBO, L"seconds");
        EXPECT_EQ(L"1200", GetText(dialog, IDC_HA_TIME_EDIT));
        ChooseComboEntry(dialog, IDC_HA_TIME_UNIT_COMBO, L"minutes");
        EXPECT_EQ(L"20.0", GetText(dialog, IDC_HA_TIME_EDIT));
        ChooseComboEntry(dialog, IDC_HA_TIME_UNIT_COMBO, L"hours");
        EXPECT_EQ(L"0.3", GetText(dialog, IDC_HA_TIME_EDIT));
        TypeText(dialog, IDC_HA_TIME_EDIT, L"0.05");
        Click(dialog, IDOK);
    });
    EXPECT_EQ(Joined(Joined(Settings(L"settings", 3, 1, 0, 1),
                            {Put(L"settings", L"DistanceSpan", L"VT_R8 5.129589632829374")}),
                     Joined(Settings(L"settings", 3, 1, 0, 1),
                            Joined({Put(L"settings", L"TimeSpan", L"VT_I4 180"),
                                    Put(L"settings", L"DistanceSpan", L"VT_R8 5.129589632829374"),
                                    Put(L"settings", L"PingSpan", L"VT_I4 1500")},
                                   Settings(L"settings", 4, 1, 0, 0)))),
              host.Lines());
}

TEST_F(HorizontalDistanceTest, ADistanceIsWrittenWhenItDiffersByATenthOfANauticalMileOrMore) {
    settings->Values().Set(L"DistanceSpan", 0.1).Set(L"DistanceIntervalUnit", 1);
    ComPtr<IPropertyPage> page = OpenablePage({view, settings});
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        TypeText(dialog, IDC_HA_DISTANCE_EDIT, L"0.19");
        ApplyTyped(dialog);
        TypeText(dialog, IDC_HA_DISTANCE_EDIT, L"0.2");  // 0.1 more, exactly in binary too
        ApplyTyped(dialog);
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(Joined(Settings(L"settings", 3, 1, 1, 1),
                     Joined({Put(L"settings", L"DistanceSpan", L"VT_R8 0.2")}, Settings(L"settings", 3, 1, 1, 1))),
              host.Lines());
}

TEST_F(HorizontalDistanceTest, TheArrowsStepEachUnitWithinItsOwnRange) {
    struct Case {
        int spin;
        int edit;
        int unitBox;
        const wchar_t* unit;  // null: pings
        const wchar_t* from;
        int delta;
        const wchar_t* stepped;
    };
    const Case cases[] = {
        {IDC_HA_TIME_SPIN, IDC_HA_TIME_EDIT, IDC_HA_TIME_UNIT_COMBO, L"hours", L"1.5", 1, L"1.6"},
        {IDC_HA_TIME_SPIN, IDC_HA_TIME_EDIT, IDC_HA_TIME_UNIT_COMBO, L"hours", L"2.0", 1, L"2.0"},
        {IDC_HA_TIME_SPIN, IDC_HA_TIME_EDIT, IDC_HA_TIME_UNIT_COMBO, L"hours", L"0.1", -1, L"0.1"},
        {IDC_HA_TIME_SPIN, IDC_HA_TIME_EDIT, IDC_HA_TIME_UNIT_COMBO, L"minutes", L"60.0", 1, L"60.0"},
        {IDC_HA_TIME_SPIN, IDC_HA_TIME_EDIT, IDC_HA_TIME_UNIT_COMBO, L"minutes", L"5.0", -1, L"5.0"},
        {IDC_HA_TIME_SPIN, IDC_HA_TIME_EDIT, IDC_HA_TIME_UNIT_COMBO, L"seconds", L"1200", 1, L"1210"},
        {IDC_HA_TIME_SPIN, IDC_HA_TIME_EDIT, IDC_HA_TIME_UNIT_COMBO, L"seconds", L"3600", 1, L"3600"},
        {IDC_HA_TIME_SPIN, IDC_HA_TIME_EDIT, IDC_HA_TIME_UNIT_COMBO, L"seconds", L"500", -1, L"500"},
        {IDC_HA_DISTANCE_SPIN, IDC_HA_DISTANCE_EDIT, IDC_HA_DISTANCE_UNIT_COMBO, L"meters", L"9260", 1, L"9261"},
        {IDC_HA_DISTANCE_SPIN, IDC_HA_DISTANCE_EDIT, IDC_HA_DISTANCE_UNIT_COMBO, L"meters", L"600000", 1, L"600000"},
        {IDC_HA_DISTANCE_SPIN, IDC_HA_DISTANCE_EDIT, IDC_HA_DISTANCE_UNIT_COMBO, L"meters", L"5", -1, L"5"},
        {IDC_HA_DISTANCE_SPIN, IDC_HA_DISTANCE_EDIT, IDC_HA_DISTANCE_UNIT_COMBO, L"nmi", L"20.0", 1, L"20.0"},
        {IDC_HA_DISTANCE_SPIN, IDC_HA_DISTANCE_EDIT, IDC_HA_DISTANCE_UNIT_COMBO, L"nmi", L"0.1", -1, L"0.1"},
        {IDC_HA_PING_SPIN, IDC_HA_PING_EDIT, 0, nullptr, L"2000", 1, L"2000"},
        {IDC_HA_PING_SPIN, IDC_HA_PING_EDIT, 0, nullptr, L"100", -1, L"100"},
    };
    ComPtr<IPropertyPage> page = OpenablePage({view, settings});
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.spin << " from " << c.from << " by " << c.delta);
            Click(dialog, c.spin == IDC_HA_TIME_SPIN       ? IDC_HA_TIME_RADIO
                          : c.spin == IDC_HA_DISTANCE_SPIN ? IDC_HA_DISTANCE_RADIO
                                                           : IDC_HA_PING_RADIO);
            if (c.unit)
                ChooseComboEntry(dialog, c.unitBox, c.unit);
            TypeText(dialog, c.edit, c.from);
            StepUpDown(dialog, c.spin, c.delta);
            EXPECT_EQ(c.stepped, GetText(dialog, c.edit));
        }
        Click(dialog, IDCANCEL);
    });
}

TEST_F(HorizontalDistanceTest, AnEmptyFieldEndsTheWriteThereWithTheThirdStoreServedAfterTheView) {
    hostsim::HostObject& third = host.Create(L"third", {IID_IValueStore});
    ComPtr<IPropertyPage> page = OpenablePage({view, settings, &third});
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        TypeText(dialog, IDC_HA_DISTANCE_EDIT, L"");
        Click(dialog, IDC_HA_TIME_RADIO);
        TypeText(dialog, IDC_HA_TIME_EDIT, L"");
        Click(dialog, IDC_APPLY);  // nothing at all
        // With the field empty a unit switch only changes the box: the page keeps
        // minutes and converts what is typed afterwards with them.
        ChooseComboEntry(dialog, IDC_HA_TIME_UNIT_COMBO, L"hours");
        EXPECT_FALSE(IsEnabled(dialog, IDC_APPLY));
        TypeText(dialog, IDC_HA_TIME_EDIT, L"2");
        ApplyTyped(dialog);  // the time only
        Click(dialog, IDC_HA_DISTANCE_RADIO);
        TypeText(dialog, IDC_HA_DISTANCE_EDIT, L"9260");
        Click(dialog, IDC_HA_PING_RADIO);
        TypeText(dialog, IDC_HA_PING_EDIT, L"");
        Click(dialog, IDOK);  // the distance is unchanged: the time again
    });
    const std::vector<std::wstring> time{Put(L"settings", L"TimeSpan", L"VT_I4 120"),
                                         Put(L"third", L"TimeSpan", L"VT_I4 120")};
    EXPECT_EQ(Joined(time, time), host.Lines());

    host.Journal().Clear();
    ActivateAndRun(page.Get(), [&](HWND dialog) { Click(dialog, IDOK); });
    EXPECT_EQ((std::vector<std::wstring>{
                  Put(L"settings", L"HorizontalAxis", L"VT_I4 3"), Put(L"third", L"HorizontalAxis", L"VT_I4 3"),
                  Put(L"settings", L"UserScale", L"VT_I4 1"), Put(L"third", L"UserScale", L"VT_I4 1"),
                  Put(L"settings", L"DistanceIntervalUnit", L"VT_I4 0"),
                  Put(L"third", L"DistanceIntervalUnit", L"VT_I4 0"),
                  Put(L"settings", L"TimeIntervalUnit", L"VT_I4 1"), Put(L"third", L"TimeIntervalUnit", L"VT_I4 1")}),
              host.Lines());
}

// Without units from the host the page starts in minutes and nautical miles, the
// units it shows any unit number it does not know in; such a number is converted as
// that unit and written back as it came.
TEST_F(HorizontalDistanceTest, WithoutUnitsFromTheHostThePageUsesMinutesAndNauticalMiles) {
    hostsim::HostObject& bare = host.Create(L"bare", {IID_IValueStore});
    bare.Values().Set(L"TimeIntervalUnit", 0.0).Set(L"HorizontalAxis", 4);  // VT_R8: not a unit
    ComPtr<IPropertyPage> page = OpenablePage({view, &bare});
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_EQ(L"20.0", GetText(dialog, IDC_HA_TIME_EDIT)) << "1200 seconds";
        EXPECT_EQ(L"minutes", GetText(dialog, IDC_HA_TIME_UNIT_COMBO));
        EXPECT_EQ(L"5.0", GetText(dialog, IDC_HA_DISTANCE_EDIT));
        EXPECT_EQ(L"nmi", GetText(dialog, IDC_HA_DISTANCE_UNIT_COMBO));
        TypeText(dialog, IDC_HA_TIME_EDIT, L"60.0");
        StepUpDown(dialog, IDC_HA_TIME_SPIN, 1);
        EXPECT_EQ(L"60.0", GetText(dialog, IDC_HA_TIME_EDIT)) << "the minutes' range";
        Click(dialog, IDOK);
    });
    EXPECT_EQ(Joined({Put(L"bare", L"TimeSpan", L"VT_I4 3600")}, Settings(L"bare", 4, 1, 1, 1)), host.Lines());

    host.Journal().Clear();
    settings->Values().Set(L"TimeIntervalUnit", 3).Set(L"DistanceIntervalUnit", 2).Set(L"HorizontalAxis", 4);
    ComPtr<IPropertyPage> unknownUnits = OpenablePage({view, settings});
    ActivateAndRun(unknownUnits.Get(), [&](HWND dialog) {
        EXPECT_EQ(L"90.0", GetText(dialog, IDC_HA_TIME_EDIT));
        EXPECT_EQ(L"5.0", GetText(dialog, IDC_HA_DISTANCE_EDIT));
        TypeText(dialog, IDC_HA_TIME_EDIT, L"30");
        ApplyTyped(dialog);
        ChooseComboEntry(dialog, IDC_HA_TIME_UNIT_COMBO, L"seconds");
        EXPECT_EQ(L"1800", GetText(dialog, IDC_HA_TIME_EDIT));
        EXPECT_TRUE(IsEnabled(dialog, IDC_APPLY)) << "a unit switch enables Apply";
        Click(dialog, IDC_HA_DISTANCE_RADIO);
        ChooseComboEntry(dialog, IDC_HA_DISTANCE_UNIT_COMBO, L"meters");
        EXPECT_EQ(L"9260.0", GetText(dialog, IDC_HA_DISTANCE_EDIT));
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(Joined({Put(L"settings", L"TimeSpan", L"VT_I4 1800")}, Settings(L"settings", 4, 1, 2, 3)), host.Lines());
}

TEST_F(HorizontalDistanceTest, EveryFailingHostOperationStillOpensAndClosesThePage) {
    ForEachFault(
        {
            {settings, L"IValueStore::GetValue", hostsim::Fault::Fail()},
            {settings, L"IValueStore::GetValue", hostsim::Fault::Fail(S_FALSE)},
            {settings, L"IValueStore::GetValue", hostsim::Fault::WrongType(VT_BSTR)},
            {settings, L"IValueStore::PutValue", hostsim::Fault::Fail()},
            {settings, L"QueryInterface", hostsim::Fault::Fail(E_NOINTERFACE)},
            {view, L"IObjectSite::GetObject", hostsim::Fault::Fail()},
            {view, L"IObjectSite::GetObject", hostsim::Fault::NullObject()},
        },
        [&] {
            const size_t mark = host.Journal().Size();
            {
                ComPtr<IPropertyPage> page = OpenablePage({view, settings, nullptr});
                ActivateAndRun(page.Get(), [&](HWND dialog) {
                    Click(dialog, 57670);
                    Click(dialog, IDOK);
                });
            }
            EXPECT_TRUE(host.AllReferencesReturned()) << host.OutstandingText();
            for (const std::wstring& line : host.Journal().Since(mark))
                EXPECT_EQ(std::wstring::npos, line.find(L"Span\", VT_")) << "no span written unchanged: " << line;
        });

    // Settings without a value store: the page's own values show, and nothing is written.
    settings->Hide(IID_IValueStore);
    host.Journal().Clear();
    ComPtr<IPropertyPage> page = OpenablePage({view, settings});
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_TRUE(IsChecked(dialog, IDC_HA_PING_RADIO));
        EXPECT_TRUE(IsChecked(dialog, IDC_HA_VIEW_SIZE));
        EXPECT_EQ(L"1000", GetText(dialog, IDC_HA_PING_EDIT));
        Click(dialog, IDOK);
    });
    EXPECT_TRUE(host.Lines().empty()) << host.Text();
}

}  // namespace
}  // namespace tavrel::test
