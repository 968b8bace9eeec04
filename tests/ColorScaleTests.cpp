// The colour scale page, used as a person and a host would: the limits of the view's
// time-varied-gain family, the colour step kept in step with them by the fields,
// sliders and arrows, what the application kind changes, and what a single-view and
// an "Apply to all" write send, with the log lines of the writes that cannot be made.
#include "PageTest.h"
#include "resource.h"

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace tavrel::test {
namespace {

std::wstring WindowText(HWND window) {
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

std::wstring Set(const std::wstring& object, const std::wstring& name, const std::wstring& level) {
    return object + L".IParameterAccess::SetParameter(\"" + name + L"\", VT_R8 " + level + L")";
}
std::wstring SetToAll(const std::wstring& parameter, const std::wstring& level) {
    return Set(L"screen", L"ApplyAll:Colour Scale/Layers/ColorScaleView/" + parameter, level);
}

// The three fields, as the user reads them.
std::vector<std::wstring> Fields(HWND dialog) {
    return {GetText(dialog, IDC_CS_MIN_LEVEL_EDIT), GetText(dialog, IDC_CS_MAX_LEVEL_EDIT),
            GetText(dialog, IDC_CS_STEP_EDIT)};
}
std::vector<int> Sliders(HWND dialog) {
    return {SliderPosition(dialog, IDC_CS_MIN_LEVEL_SLIDER), SliderPosition(dialog, IDC_CS_MAX_LEVEL_SLIDER),
            SliderPosition(dialog, IDC_CS_STEP_SLIDER)};
}

// Per slider: how many ticks it shows (its two ends included), and where the first
// one after its start stands (the trackbar keeps its ticks in no particular order).
std::vector<std::pair<LRESULT, LRESULT>> Ticks(HWND dialog) {
    std::vector<std::pair<LRESULT, LRESULT>> ticks;
    for (int id : {IDC_CS_MIN_LEVEL_SLIDER, IDC_CS_MAX_LEVEL_SLIDER, IDC_CS_STEP_SLIDER}) {
        HWND slider = ::GetDlgItem(dialog, id);
        const LRESULT count = ::SendMessageW(slider, TBM_GETNUMTICS, 0, 0);
        LRESULT first = LONG_MAX;
        for (WPARAM i = 0; i + 2 < static_cast<WPARAM>(count); ++i)
            first = std::min(first, ::SendMessageW(slider, TBM_GETTIC, i, 0));
        ticks.emplace_back(count, first);
    }
    return ticks;
}

class ColorScaleTest : public PageTest {
protected:
    // A 20 log (Sv) view with limits -80 and -35 on its settings object, in an
    // application of no special kind, with a screen manager for "Apply to all".
    void SetUp() override {
        hostsim::HostObject& help = host.Create(L"help", {IID_IHelpViewer});
        screen = &host.Create(L"screen", {IID_IScreenManager, IID_IParameterAccess});
        app = &host.Create(L"app", {IID_IHostApplication});
        view = &host.Create(L"view", {IID_IObjectSite, IID_IHostView});
        limits = &host.Create(L"limits", {IID_IParameterAccess});
        view->AddService(help).AddService(*screen).SetApplication(app);
        app->SetString(L"AppName", L"XA70");
        limits->Parameters().Set(L"ScatterType", L"Sv").Set(L"ColorMinTVG20", -80.0).Set(L"ColorMaxTVG20", -35.0);
    }

    ComPtr<IPropertyPage> OpenablePage(std::initializer_list<hostsim::HostObject*> objects) {
        return CreatePage(CLSID_ColorScaleDialog, objects);
    }

    hostsim::HostObject* screen = nullptr;
    hostsim::HostObject* app = nullptr;
    hostsim::HostObject* view = nullptr;
    hostsim::HostObject* limits = nullptr;
};

TEST_F(ColorScaleTest, ShowsTheFamilysLimitsWithTheMaxOnAWholeStepOfTheMin) {
    ComPtr<IPropertyPage> page = OpenablePage({view, limits});
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_EQ(L"Colour Scale - 20 Log", WindowText(dialog));
        // The step, written last, puts the max at -80 + 12 x 3.8 = -34.4.
        EXPECT_EQ((std::vector<std::wstring>{L"-80", L"-34", L"3.8"}), Fields(dialog));
        EXPECT_EQ((std::vector<int>{-80, -34, 37}), Sliders(dialog));
        EXPECT_EQ((std::pair<int, int>{-100, 0}), SliderRange(dialog, IDC_CS_MIN_LEVEL_SLIDER));
        EXPECT_EQ((std::pair<int, int>{-50, 50}), SliderRange(dialog, IDC_CS_MAX_LEVEL_SLIDER));
        EXPECT_EQ((std::pair<int, int>{0, 80}), SliderRange(dialog, IDC_CS_STEP_SLIDER));
        // A tick every 10: the two ends and the ones between.
        EXPECT_EQ((std::vector<std::pair<LRESULT, LRESULT>>{{11, -90}, {11, -40}, {9, 10}}), Ticks(dialog));
        EXPECT_FALSE(IsEnabled(dialog, IDC_APPLY_SMALL));
        EXPECT_TRUE(IsVisible(dialog, IDC_APPLY_TO_ALL) && IsEnabled(dialog, IDC_APPLY_TO_ALL));
        EXPECT_FALSE(IsChecked(dialog, IDC_APPLY_TO_ALL));
        Click(dialog, 57670);
        Click(dialog, IDOK);
    });
    EXPECT_EQ((std::vector<std::wstring>{L"help.IHelpViewer::ShowTopic(0, \"qz4_para_colour_scale.html\")",
                                         Set(L"limits", L"ColorMaxTVG20", L"-34")}),
              host.Lines());
    EXPECT_EQ(4, limits->LastStatusIn(L"IParameterAccess::SetParameter")) << "the status preset";

    // Read again: -80 and -34 lie a whole number of steps apart only near enough, so
    // the shown max stays -34 and nothing is written.
    host.Journal().Clear();
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_EQ((std::vector<std::wstring>{L"-80", L"-34", L"3.8"}), Fields(dialog));
        Click(dialog, IDOK);
    });
    EXPECT_TRUE(host.Lines().empty()) << host.Text();
}

TEST_F(ColorScaleTest, FieldsSlidersAndArrowsKeepTheLevelsApartAndTheStepInStep) {
    ComPtr<IPropertyPage> page = OpenablePage({view, limits});
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        TypeText(dialog, IDC_CS_MIN_LEVEL_EDIT, L"-70");
        EXPECT_EQ((std::vector<std::wstring>{L"-70", L"-34", L"3.0"}), Fields(dialog));
        EXPECT_TRUE(IsEnabled(dialog, IDC_APPLY_SMALL));
        TypeText(dialog, IDC_CS_STEP_EDIT, L"2.5");
        EXPECT_EQ((std::vector<std::wstring>{L"-70", L"-40", L"2.5"}), Fields(dialog));
        EXPECT_EQ((std::vector<int>{-70, -40, 25}), Sliders(dialog));

        // The level sliders stop one short of each other.
        DragSlider(dialog, IDC_CS_MIN_LEVEL_SLIDER, -40);
        EXPECT_EQ(-41, SliderPosition(dialog, IDC_CS_MIN_LEVEL_SLIDER));
        DragSlider(dialog, IDC_CS_MAX_LEVEL_SLIDER, -41);
        EXPECT_EQ(-40, SliderPosition(dialog, IDC_CS_MAX_LEVEL_SLIDER));
        EXPECT_EQ(L"-40", GetText(dialog, IDC_CS_MAX_LEVEL_EDIT));
        DragSlider(dialog, IDC_CS_MIN_LEVEL_SLIDER, -60);
        EXPECT_EQ(L"-60", GetText(dialog, IDC_CS_MIN_LEVEL_EDIT));
        EXPECT_EQ(L"1.7", GetText(dialog, IDC_CS_STEP_EDIT)) << "(-40 - -60) / 12";
        // So do the arrows: the min below the max, the max above the min.
        TypeText(dialog, IDC_CS_MAX_LEVEL_EDIT, L"-29");
        TypeText(dialog, IDC_CS_MIN_LEVEL_EDIT, L"-30");
        StepUpDown(dialog, IDC_CS_MIN_LEVEL_SPIN, 1);
        EXPECT_EQ(L"-30", GetText(dialog, IDC_CS_MIN_LEVEL_EDIT));
        StepUpDown(dialog, IDC_CS_MAX_LEVEL_SPIN, -1);
        EXPECT_EQ(L"-29", GetText(dialog, IDC_CS_MAX_LEVEL_EDIT));
        StepUpDown(dialog, IDC_CS_MAX_LEVEL_SPIN, 1);
        EXPECT_EQ((std::vector<std::wstring>{L"-30", L"-28", L"0.2"}), Fields(dialog));

        // The step at the ends of its range: 8.0 puts the max beyond its slider's end.
        DragSlider(dialog, IDC_CS_STEP_SLIDER, 80);
        StepUpDown(dialog, IDC_CS_STEP_SPIN, 1);
        EXPECT_EQ((std::vector<std::wstring>{L"-30", L"66", L"8.0"}), Fields(dialog));
        EXPECT_EQ((std::vector<int>{-30, 50, 80}), Sliders(dialog));
        TypeText(dialog, IDC_CS_STEP_EDIT, L"0.1");
        StepUpDown(dialog, IDC_CS_STEP_SPIN, -1);
        StepUpDown(dialog, IDC_CS_STEP_SPIN, -1);
        EXPECT_EQ((std::vector<std::wstring>{L"-30", L"-30", L"0.0"}), Fields(dialog));

        // Crossed (or equal) limits are pulled apart in the max field and write nothing.
        TypeText(dialog, IDC_CS_MIN_LEVEL_EDIT, L"-40");
        TypeText(dialog, IDC_CS_MAX_LEVEL_EDIT, L"-40");
        Click(dialog, IDC_APPLY_SMALL);
        EXPECT_EQ(L"-38", GetText(dialog, IDC_CS_MAX_LEVEL_EDIT));
        TypeText(dialog, IDC_CS_MAX_LEVEL_EDIT, L"-60");
        Click(dialog, IDC_APPLY_SMALL);
        EXPECT_EQ(L"-38", GetText(dialog, IDC_CS_MAX_LEVEL_EDIT));
        EXPECT_TRUE(IsEnabled(dialog, IDC_APPLY_SMALL));
        // An empty field writes nothing either.
        TypeText(dialog, IDC_CS_MAX_LEVEL_EDIT, L"");
        Click(dialog, IDOK);
    });
    EXPECT_TRUE(host.Lines().empty()) << host.Text();
}

// A key press towards the end a slider already stands at sends only the end of the
// move: Apply is enabled, and no field changes (each field here lies beyond its
// slider's range).
TEST_F(ColorScaleTest, TheEndOfASlidersMoveOnlyEnablesApply) {
    ComPtr<IPropertyPage> page = OpenablePage({view, limits});
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        TypeText(dialog, IDC_CS_MIN_LEVEL_EDIT, L"5");
        TypeText(dialog, IDC_CS_STEP_EDIT, L"9.5");
        EXPECT_EQ((std::vector<std::wstring>{L"5", L"114", L"9.5"}), Fields(dialog));
        EXPECT_EQ((std::vector<int>{0, 50, 80}), Sliders(dialog));
        Click(dialog, IDC_APPLY_SMALL);
        for (int slider : {IDC_CS_MIN_LEVEL_SLIDER, IDC_CS_MAX_LEVEL_SLIDER, IDC_CS_STEP_SLIDER}) {
            SCOPED_TRACE(slider);
            EXPECT_FALSE(IsEnabled(dialog, IDC_APPLY_SMALL));
            KeySlider(dialog, slider, VK_RIGHT);
            EXPECT_TRUE(IsEnabled(dialog, IDC_APPLY_SMALL));
            EXPECT_EQ((std::vector<std::wstring>{L"5", L"114", L"9.5"}), Fields(dialog));
            Click(dialog, IDC_APPLY_SMALL);
        }
        Click(dialog, IDCANCEL);
    });
    // The first Apply puts the min below the host's max; the second writes it as shown.
    EXPECT_EQ((std::vector<std::wstring>{Set(L"limits", L"ColorMinTVG20", L"-36"),
                                         Set(L"limits", L"ColorMaxTVG20", L"114"),
                                         Set(L"limits", L"ColorMinTVG20", L"5"),
                                         Set(L"limits", L"ColorMaxTVG20", L"114")}),
              host.Lines());
}

TEST_F(ColorScaleTest, OneViewGetsWhatChangedBeyondTheToleranceWithTheMinBelowItsMax) {
    ComPtr<IPropertyPage> page = OpenablePage({view, limits});
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        TypeText(dialog, IDC_CS_MIN_LEVEL_EDIT, L"-80.5");  // half a level: not written
        TypeText(dialog, IDC_CS_MAX_LEVEL_EDIT, L"-34");
        Click(dialog, IDC_APPLY_SMALL);
        EXPECT_FALSE(IsEnabled(dialog, IDC_APPLY_SMALL));
        TypeText(dialog, IDC_CS_MIN_LEVEL_EDIT, L"-60");  // the max goes with it
        Click(dialog, IDC_APPLY_SMALL);
        TypeText(dialog, IDC_CS_MAX_LEVEL_EDIT, L"-20");
        TypeText(dialog, IDC_CS_MIN_LEVEL_EDIT, L"-34");  // the host's max: put below it
        Click(dialog, IDC_APPLY_SMALL);
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ((std::vector<std::wstring>{Set(L"limits", L"ColorMaxTVG20", L"-34"),
                                         Set(L"limits", L"ColorMinTVG20", L"-60"),
                                         Set(L"limits", L"ColorMaxTVG20", L"-34"),
                                         Set(L"limits", L"ColorMinTVG20", L"-35"),
                                         Set(L"limits", L"ColorMaxTVG20", L"-20")}),
              host.Lines());
}

TEST_F(ColorScaleTest, ApplyToAllSendsBothLimitsUnderApplyAllNames) {
    ComPtr<IPropertyPage> page = OpenablePage({view, limits});
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        Click(dialog, IDC_APPLY_TO_ALL);
        TypeText(dialog, IDC_CS_MIN_LEVEL_EDIT, L"-80");
        Click(dialog, IDC_APPLY_SMALL);  // unchanged, written all the same
        EXPECT_FALSE(IsEnabled(dialog, IDC_APPLY_SMALL));
        TypeText(dialog, IDC_CS_MAX_LEVEL_EDIT, L"-10");
        TypeText(dialog, IDC_CS_MIN_LEVEL_EDIT, L"-34");  // the host's max: put below it
        Click(dialog, IDOK);
    });
    EXPECT_EQ((std::vector<std::wstring>{SetToAll(L"ColorMinTVG20", L"-80"), SetToAll(L"ColorMaxTVG20", L"-34"),
                                         SetToAll(L"ColorMinTVG20", L"-35"), SetToAll(L"ColorMaxTVG20", L"-10")}),
              host.Lines());
    EXPECT_EQ(4, screen->LastStatusIn(L"IParameterAccess::SetParameter")) << "the status preset";
}

TEST_F(ColorScaleTest, TheScatterTypeChoosesTheFamilyItsTitleRangesAndParameters) {
    struct Case {
        const wchar_t* scatterType;
        const wchar_t* title;
        const wchar_t* minParameter;  // null: no family
        std::pair<int, int> minRange;
        std::pair<int, int> maxRange;
        bool applyToAllEnabled;
    };
    const Case cases[] = {
        {L"SpAndTS", L"Colour Scale - 40 Log", L"ColorMinTVG40", {-100, 0}, {-50, 50}, true},
        {L"TS", L"Colour Scale - 40 Log", L"ColorMinTVG40", {-100, 0}, {-50, 50}, true},
        {L"Pr", L"Colour Scale - No Tvg", L"ColorMinNoTVG", {-150, -50}, {-100, 0}, true},
        {L"Combi", L"Colour Scale - Combi", L"ColorMinCombi", {-100, 0}, {-50, 50}, false},
        {L"sv", L"Colour Scale", nullptr, {-100, 0}, {-50, 50}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.scatterType);
        host.Journal().Clear();
        limits->Parameters().Set(L"ScatterType", c.scatterType);
        limits->Parameters().Set(L"ColorMinTVG40", -70.0).Set(L"ColorMinNoTVG", -70.0).Set(L"ColorMinCombi", -70.0);
        ComPtr<IPropertyPage> page = OpenablePage({view, limits});  // a new page reads the type afresh
        ActivateAndRun(page.Get(), [&](HWND dialog) {
            EXPECT_EQ(c.title, WindowText(dialog));
            EXPECT_EQ(c.minRange, SliderRange(dialog, IDC_CS_MIN_LEVEL_SLIDER));
            EXPECT_EQ(c.maxRange, SliderRange(dialog, IDC_CS_MAX_LEVEL_SLIDER));
            EXPECT_EQ(c.applyToAllEnabled, IsEnabled(dialog, IDC_APPLY_TO_ALL));
            TypeText(dialog, IDC_CS_MIN_LEVEL_EDIT, L"-60");
            TypeText(dialog, IDC_CS_MAX_LEVEL_EDIT, L"-10");
            Click(dialog, IDC_APPLY_SMALL);
            EXPECT_FALSE(IsEnabled(dialog, IDC_APPLY_SMALL)) << "Apply ran, with or without a family";
            Click(dialog, IDCANCEL);
        });
        if (c.minParameter)
            EXPECT_EQ(Set(L"limits", c.minParameter, L"-60"), host.Lines().at(0));
        else
            EXPECT_TRUE(host.Lines().empty()) << host.Text();
    }
    host.Journal().Clear();
    ComPtr<IPropertyPage> page = OpenablePage({view, limits});
    limits->Parameters().Set(L"ScatterType", L"Pr");
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_EQ((std::vector<std::wstring>{L"-150", L"-50", L"-100", L" 0"}),
                  (std::vector<std::wstring>{GetText(dialog, IDC_CS_MIN_LEVEL_LEFT_LABEL),
                                             GetText(dialog, IDC_CS_MIN_LEVEL_RIGHT_LABEL),
                                             GetText(dialog, IDC_CS_MAX_LEVEL_LEFT_LABEL),
                                             GetText(dialog, IDC_CS_MAX_LEVEL_RIGHT_LABEL)}));
        Click(dialog, IDCANCEL);
    });
    // A type of two characters or more is not asked for again; the third object's
    // store, when there is one, is asked every time and comes first.
    limits->Parameters().Set(L"ScatterType", L"Sv");
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_EQ(L"Colour Scale - No Tvg", WindowText(dialog));
        Click(dialog, IDCANCEL);
    });
    hostsim::HostObject& third = host.Create(L"third", {IID_IValueStore});
    third.Values().Set(L"ScatterType", L"Sv");
    GiveObjects(page.Get(), {view, limits, &third});
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_EQ(L"Colour Scale - 20 Log", WindowText(dialog));
        EXPECT_EQ((std::pair<int, int>{-150, -50}), SliderRange(dialog, IDC_CS_MIN_LEVEL_SLIDER))
            << "what an activation changes is never set back";
        Click(dialog, IDCANCEL);
    });

    // The settings' type counts by its status, whatever the call answers.
    limits->SetFault(L"IParameterAccess::GetParameter", L"ScatterType", hostsim::Fault::Status(0, S_FALSE));
    ComPtr<IPropertyPage> byStatus = OpenablePage({view, limits});
    ActivateAndRun(byStatus.Get(), [&](HWND dialog) {
        EXPECT_EQ(L"Colour Scale - 20 Log", WindowText(dialog));
        Click(dialog, IDCANCEL);
    });
    limits->SetFault(L"IParameterAccess::GetParameter", L"ScatterType", hostsim::Fault::Status(-1));
    ComPtr<IPropertyPage> refused = OpenablePage({view, limits});
    ActivateAndRun(refused.Get(), [&](HWND dialog) {
        EXPECT_EQ(L"Colour Scale", WindowText(dialog));
        Click(dialog, IDCANCEL);
    });
    EXPECT_TRUE(host.Lines().empty()) << host.Text();
}

TEST_F(ColorScaleTest, TheApplicationKindHidesApplyToAllAndTK22WorksInTenths) {
    app->SetString(L"AppName", L"tk11");
    ComPtr<IPropertyPage> page = OpenablePage({view, limits});
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_FALSE(IsVisible(dialog, IDC_APPLY_TO_ALL));
        EXPECT_EQ((std::vector<std::wstring>{L"-80", L"-34", L"3.8"}), Fields(dialog));
        Click(dialog, IDCANCEL);
    });
    app->SetString(L"AppName", L"TK22");
    ComPtr<IPropertyPage> tenths = OpenablePage({view, limits});
    ActivateAndRun(tenths.Get(), [&](HWND dialog) {
        EXPECT_FALSE(IsVisible(dialog, IDC_APPLY_TO_ALL));
        EXPECT_EQ((std::vector<std::wstring>{L"-80.0", L"-34.4", L"3.8"}), Fields(dialog));
        EXPECT_EQ((std::pair<int, int>{-100, 0}), SliderRange(dialog, IDC_CS_MAX_LEVEL_SLIDER));
        EXPECT_EQ(L"-100", GetText(dialog, IDC_CS_MAX_LEVEL_LEFT_LABEL));
        EXPECT_EQ(L" 0", GetText(dialog, IDC_CS_MAX_LEVEL_RIGHT_LABEL));
        TypeText(dialog, IDC_CS_MIN_LEVEL_EDIT, L"-100.0");
        StepUpDown(dialog, IDC_CS_MIN_LEVEL_SPIN, -1);
        EXPECT_EQ(L"-100.0", GetText(dialog, IDC_CS_MIN_LEVEL_EDIT)) << "the min level's range starts at -100";
        TypeText(dialog, IDC_CS_MIN_LEVEL_EDIT, L"-80.0");
        StepUpDown(dialog, IDC_CS_MIN_LEVEL_SPIN, 1);
        EXPECT_EQ(L"-79.9", GetText(dialog, IDC_CS_MIN_LEVEL_EDIT));
        Click(dialog, IDC_APPLY_SMALL);  // 0.1 is beyond the tolerance of 0.05
        TypeText(dialog, IDC_CS_MIN_LEVEL_EDIT, L"-79.86");
        Click(dialog, IDC_APPLY_SMALL);  // 0.04 is not
        Click(dialog, IDOK);
    });
    EXPECT_EQ((std::vector<std::wstring>{Set(L"limits", L"ColorMinTVG20", L"-79.9"),
                                         Set(L"limits", L"ColorMaxTVG20", L"-34.4")}),
              host.Lines());
}

TEST_F(ColorScaleTest, EveryFailingHostOperationStillOpensAndClosesThePage) {
    hostsim::HostObject& third = host.Create(L"third", {IID_IValueStore});
    third.Values().Set(L"ScatterType", L"Sv");
    ForEachFault(
        {
            {limits, L"IParameterAccess::GetParameter", hostsim::Fault::Fail()},
            {limits, L"IParameterAccess::GetParameter", hostsim::Fault::WrongType(VT_I4)},
            {limits, L"IParameterAccess::GetParameter", hostsim::Fault::Status(-1)},
            {limits, L"IParameterAccess::SetParameter", hostsim::Fault::Fail()},
            {limits, L"QueryInterface", hostsim::Fault::Fail(E_NOINTERFACE)},
            {screen, L"IParameterAccess::SetParameter", hostsim::Fault::Status(-1)},
            {screen, L"QueryInterface", hostsim::Fault::Fail(E_NOINTERFACE)},
            {&third, L"IValueStore::GetValue", hostsim::Fault::Fail()},
            {&third, L"QueryInterface", hostsim::Fault::Fail(E_NOINTERFACE)},
            {view, L"IObjectSite::GetObject", hostsim::Fault::Fail()},
            {view, L"IObjectSite::GetObject", hostsim::Fault::NullObject()},
            {view, L"IHostView::GetApplication", hostsim::Fault::NullObject()},
            {app, L"IHostApplication::GetStringValue", hostsim::Fault::Fail()},
        },
        [&] {
            {
                ComPtr<IPropertyPage> page = OpenablePage({view, limits, &third});
                ActivateAndRun(page.Get(), [&](HWND dialog) {
                    TypeText(dialog, IDC_CS_MIN_LEVEL_EDIT, L"-60");
                    Click(dialog, IDC_APPLY_SMALL);
                    Click(dialog, IDC_APPLY_TO_ALL);
                    Click(dialog, 57670);
                    Click(dialog, IDOK);
                });
            }
            EXPECT_TRUE(host.AllReferencesReturned()) << host.OutstandingText();
        });
    // Nothing at all: a page given no objects still opens, and OK writes nothing.
    host.Journal().Clear();
    ComPtr<IPropertyPage> bare = CreatePage(CLSID_ColorScaleDialog);
    ActivateAndRun(bare.Get(), [&](HWND dialog) {
        EXPECT_EQ((std::vector<std::wstring>{L"0", L"0", L"0.0"}), Fields(dialog));
        Click(dialog, IDOK);
    });
    EXPECT_TRUE(host.Lines().empty()) << host.Text();
}

}  // namespace
}  // namespace tavrel::test

namespace tavrel::test {

// The log lines of the writes that cannot be made, through a copy of the library
// that has a host logger of its own. The horizontal axis page refuses objects of the
// wrong kind without a line.
TEST(ColorScaleLog, WritesThatCannotBeMadeAreLogged) {
    const std::wstring copyPath = TavrelLibrary::CopyBesideTheProgram(L"TavrelColorLogCopy.dll");
    ASSERT_FALSE(copyPath.empty());
    hostsim::Host host;
    hostsim::HostObject& logger = host.Create(L"logger", {IID_IHostLogger});
    hostsim::HostObject& screen = host.Create(L"screen", {IID_IScreenManager, IID_IParameterAccess});
    hostsim::HostObject& view = host.Create(L"view", {IID_IObjectSite});
    hostsim::HostObject& limits = host.Create(L"limits", {IID_IParameterAccess});
    view.AddService(logger);
    limits.Parameters().Set(L"ScatterType", L"Sv").Set(L"ColorMinTVG20", -80.0).Set(L"ColorMaxTVG20", -35.0);
    {
        TavrelLibrary library(copyPath.c_str());
        GiveLoggerTo(library, view);
        ComPtr<IPropertyPage> page = library.CreatePage(CLSID_ColorScaleDialog);
        IUnknown* objects[] = {view.Identity(), limits.Identity()};
        ASSERT_EQ(S_OK, page->SetObjects(2, objects));
        const RECT rect{0, 0, 100, 100};
        EXPECT_TRUE(RunDialog([&] { page->Activate(nullptr, &rect, TRUE); },
                              [&](HWND dialog) {
                                  TypeText(dialog, IDC_CS_MIN_LEVEL_EDIT, L"-60");
                                  Click(dialog, IDC_APPLY_TO_ALL);
                                  Click(dialog, IDC_APPLY_SMALL);  // no screen manager
                                  EXPECT_TRUE(IsEnabled(dialog, IDC_APPLY_SMALL)) << "Apply stays enabled";
                                  view.AddService(screen);
                                  Click(dialog, IDC_APPLY_TO_ALL);
                                  limits.Hide(IID_IParameterAccess);
                                  Click(dialog, IDC_APPLY_SMALL);  // no parameters on the settings
                                  EXPECT_TRUE(IsEnabled(dialog, IDC_APPLY_SMALL)) << "Apply stays enabled";
                                  Click(dialog, IDCANCEL);
                              }));
        // A type of no family: "Apply to all" cannot name the parameters.
        limits.Offer(IID_IParameterAccess);
        limits.Parameters().Set(L"ScatterType", L"XY");
        ComPtr<IPropertyPage> noFamily = library.CreatePage(CLSID_ColorScaleDialog);
        ASSERT_EQ(S_OK, noFamily->SetObjects(2, objects));
        EXPECT_TRUE(RunDialog([&] { noFamily->Activate(nullptr, &rect, TRUE); },
                              [&](HWND dialog) {
                                  TypeText(dialog, IDC_CS_MIN_LEVEL_EDIT, L"-60");
                                  TypeText(dialog, IDC_CS_MAX_LEVEL_EDIT, L"-10");
                                  Click(dialog, IDC_APPLY_TO_ALL);
                                  Click(dialog, IDC_APPLY_SMALL);
                                  EXPECT_TRUE(IsEnabled(dialog, IDC_APPLY_SMALL)) << "Apply stays enabled";
                                  Click(dialog, IDCANCEL);
                              }));
        ComPtr<IPropertyPage> axis = library.CreatePage(CLSID_HorizontalDistanceDialog);
        ComPtr<IFormControl> form;
        ASSERT_EQ(S_OK, axis.As(&form));
        VARIANT notAnArray;
        VariantInit(&notAnArray);
        notAnArray.vt = VT_I4;
        EXPECT_EQ(E_INVALIDARG, form->SetFormObjects(notAnArray));
        page.Reset();
        noFamily.Reset();
        form.Reset();
        axis.Reset();
        EXPECT_TRUE(library.Unload());
    }
    auto logged = [](const wchar_t* text) {
        return L"logger.IHostLogger::LogMessage(\"" + std::wstring(text) + L"\", \"Tavrel\", 16, 0)";
    };
    EXPECT_EQ((std::vector<std::wstring>{logged(L"ColorScaleDialog failed to set parameters to all"),
                                         logged(L"ColorScaleDialog failed to set parameters"),
                                         logged(L"ColorScaleDialog failed to set parameters to all, illegal tvg")}),
              host.Lines());
    EXPECT_TRUE(host.AllReferencesReturned()) << host.OutstandingText();
    ::DeleteFileW(copyPath.c_str());
}

}  // namespace tavrel::test
