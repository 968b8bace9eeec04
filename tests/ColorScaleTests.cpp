// The colour scale page, used as a person and a host would: the limits of the view's
// time-varied-gain family, the colour step kept in step with them by the fields,
// sliders and arrows, what the application kind changes, and what a single-view and
// an "Apply to all" write send, with the log lines of the writes that cannot be made.
// What any failing host operation must not do is the fault sweep's to check.
#include "PageTest.h"
#include "resource.h"

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace tavrel::test {
namespace {

constexpr int kMin = IDC_CS_MIN_LEVEL_EDIT, kMax = IDC_CS_MAX_LEVEL_EDIT, kStep = IDC_CS_STEP_EDIT;
constexpr int kMinSlider = IDC_CS_MIN_LEVEL_SLIDER, kMaxSlider = IDC_CS_MAX_LEVEL_SLIDER;
constexpr int kStepSlider = IDC_CS_STEP_SLIDER;
constexpr int kApply = IDC_APPLY_SMALL;
const std::vector<int> kFields = {kMin, kMax, kStep}, kSliders = {kMinSlider, kMaxSlider, kStepSlider};
const std::vector<int> kRangeLabels = {IDC_CS_MIN_LEVEL_LEFT_LABEL, IDC_CS_MIN_LEVEL_RIGHT_LABEL,
                                       IDC_CS_MAX_LEVEL_LEFT_LABEL, IDC_CS_MAX_LEVEL_RIGHT_LABEL};

Step Ranges(std::pair<int, int> min, std::pair<int, int> max) {
    return {[=](HWND dialog) {
        EXPECT_EQ(min, SliderRange(dialog, kMinSlider));
        EXPECT_EQ(max, SliderRange(dialog, kMaxSlider));
    }};
}

std::wstring Set(const std::wstring& name, const std::wstring& level, const std::wstring& object = L"limits") {
    return object + L".IParameterAccess::SetParameter(\"" + name + L"\", VT_R8 " + level + L")";
}
std::wstring SetToAll(const std::wstring& parameter, const std::wstring& level) {
    return Set(L"ApplyAll:Colour Scale/Layers/ColorScaleView/" + parameter, level, L"screen");
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
    // A new page on the view and its limits, run through steps.
    void Run(std::initializer_list<Step> steps) {
        Use(CreatePage(CLSID_ColorScaleDialog, {view, limits}).Get(), steps);
    }

    hostsim::HostObject *screen = nullptr, *app = nullptr, *view = nullptr, *limits = nullptr;
};

TEST_F(ColorScaleTest, ShowsTheFamilysLimitsWithTheMaxOnAWholeStepOfTheMin) {
    // The step, written last, puts the max at -80 + 12 x 3.8 = -34.4. A tick every
    // 10: the two ends and the ones between (the first after the start given).
    ComPtr<IPropertyPage> page = CreatePage(CLSID_ColorScaleDialog, {view, limits});
    Use(page.Get(),
        {Titled(L"Colour Scale - 20 Log"), Shows(kFields, {L"-80", L"-34", L"3.8"}), At(kSliders, {-80, -34, 37}),
         Ranges({-100, 0}, {-50, 50}), Step{[](HWND dialog) {
             EXPECT_EQ((std::pair<int, int>{0, 80}), SliderRange(dialog, kStepSlider));
             std::vector<std::pair<LRESULT, LRESULT>> ticks;
             for (int id : kSliders) {
                 const LRESULT count = ::SendMessageW(Control(dialog, id), TBM_GETNUMTICS, 0, 0);
                 LRESULT first = LONG_MAX;
                 for (WPARAM i = 0; i + 2 < static_cast<WPARAM>(count); ++i)
                     first = std::min(first, ::SendMessageW(Control(dialog, id), TBM_GETTIC, i, 0));
                 ticks.emplace_back(count, first);
             }
             EXPECT_EQ((std::vector<std::pair<LRESULT, LRESULT>>{{11, -90}, {11, -40}, {9, 10}}), ticks);
         }},
         Visible(IDC_APPLY_TO_ALL), Enabled(IDC_APPLY_TO_ALL), Checked(IDC_APPLY_TO_ALL, false), Enabled(kApply, false),
         Press(ID_HELP), Press(IDOK)});
    EXPECT_EQ((Lines{L"help.IHelpViewer::ShowTopic(0, \"qz4_para_colour_scale.html\")", Set(L"ColorMaxTVG20", L"-34")}),
              TakeLines());
    EXPECT_EQ(4, limits->LastStatusIn(L"IParameterAccess::SetParameter")) << "the status preset";

    // Read again: -80 and -34 lie a whole number of steps apart only near enough, so
    // the shown max stays -34 and nothing is written.
    Use(page.Get(), {Shows(kFields, {L"-80", L"-34", L"3.8"}), Press(IDOK)});
    EXPECT_TRUE(host.Lines().empty()) << host.Text();
}

TEST_F(ColorScaleTest, FieldsSlidersAndArrowsKeepTheLevelsApartAndTheStepInStep) {
    // The level sliders stop one short of each other, and so do the arrows: the min
    // below the max, the max above the min. The step at the ends of its range: 8.0
    // puts the max beyond its slider's end. Crossed (or equal) limits are pulled
    // apart in the max field and write nothing; an empty field writes nothing either.
    Run({Type(kMin, L"-70"), Shows(kFields, {L"-70", L"-34", L"3.0"}), Enabled(kApply), Type(kStep, L"2.5"),
         Shows(kFields, {L"-70", L"-40", L"2.5"}), At(kSliders, {-70, -40, 25}), Drag(kMinSlider, -40),
         At(kMinSlider, -41),
         Drag(kMaxSlider, -41), At(kMaxSlider, -40), Shows(kMax, L"-40"), Drag(kMinSlider, -60), Shows(kMin, L"-60"),
         Shows(kStep, L"1.7"), Type(kMax, L"-29"), Type(kMin, L"-30"), Arrow(IDC_CS_MIN_LEVEL_SPIN, 1),
         Shows(kMin, L"-30"), Arrow(IDC_CS_MAX_LEVEL_SPIN, -1), Shows(kMax, L"-29"), Arrow(IDC_CS_MAX_LEVEL_SPIN, 1),
         Shows(kFields, {L"-30", L"-28", L"0.2"}), Drag(kStepSlider, 80), Arrow(IDC_CS_STEP_SPIN, 1),
         Shows(kFields, {L"-30", L"66", L"8.0"}), At(kSliders, {-30, 50, 80}), Type(kStep, L"0.1"),
         Arrow(IDC_CS_STEP_SPIN, -1), Arrow(IDC_CS_STEP_SPIN, -1), Shows(kFields, {L"-30", L"-30", L"0.0"}),
         Type(kMin, L"-40"), Type(kMax, L"-40"), Press(kApply), Shows(kMax, L"-38"), Type(kMax, L"-60"), Press(kApply),
         Shows(kMax, L"-38"), Enabled(kApply), Type(kMax, L""), Press(IDOK)});
    EXPECT_TRUE(TakeLines().empty());

    // A key press towards the end a slider already stands at sends only the end of
    // the move: Apply is enabled, and no field changes (each lies beyond its slider's
    // range). The first Apply puts the min below the host's max; the next ones write
    // it as shown.
    const auto keyAtTheEnd = [](int slider) {
        return Step{[=](HWND dialog) {
            SCOPED_TRACE(slider);
            Do(dialog, {Enabled(kApply, false), Key(slider, VK_RIGHT), Enabled(kApply),
                        Shows(kFields, {L"5", L"114", L"9.5"}), Press(kApply)});
        }};
    };
    Run({Type(kMin, L"5"), Type(kStep, L"9.5"), Shows(kFields, {L"5", L"114", L"9.5"}), At(kSliders, {0, 50, 80}),
         Press(kApply), keyAtTheEnd(kMinSlider), keyAtTheEnd(kMaxSlider), keyAtTheEnd(kStepSlider), Press(IDCANCEL)});
    EXPECT_EQ((Lines{Set(L"ColorMinTVG20", L"-36"), Set(L"ColorMaxTVG20", L"114"), Set(L"ColorMinTVG20", L"5"),
                     Set(L"ColorMaxTVG20", L"114")}),
              host.Lines());
}

TEST_F(ColorScaleTest, OneViewOrAllGetWhatChangedBeyondTheToleranceWithTheMinBelowItsMax) {
    // Half a level is not written; the max goes with the min; a min at the host's
    // max is put below it.
    Run({Type(kMin, L"-80.5"), Type(kMax, L"-34"), Press(kApply), Enabled(kApply, false), Type(kMin, L"-60"),
         Press(kApply), Type(kMax, L"-20"), Type(kMin, L"-34"), Press(kApply), Press(IDCANCEL)});
    EXPECT_EQ((Lines{Set(L"ColorMaxTVG20", L"-34"), Set(L"ColorMinTVG20", L"-60"), Set(L"ColorMaxTVG20", L"-34"),
                     Set(L"ColorMinTVG20", L"-35"), Set(L"ColorMaxTVG20", L"-20")}),
              TakeLines());

    // "Apply to all" sends both limits, unchanged ones too (from the first limits again).
    limits->Parameters().Set(L"ColorMinTVG20", -80.0).Set(L"ColorMaxTVG20", -35.0);
    Run({Press(IDC_APPLY_TO_ALL), Type(kMin, L"-80"), Press(kApply), Enabled(kApply, false), Type(kMax, L"-10"),
         Type(kMin, L"-34"), Press(IDOK)});
    EXPECT_EQ((Lines{SetToAll(L"ColorMinTVG20", L"-80"), SetToAll(L"ColorMaxTVG20", L"-34"),
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
        limits->Parameters().Set(L"ScatterType", c.scatterType);
        limits->Parameters().Set(L"ColorMinTVG40", -70.0).Set(L"ColorMinNoTVG", -70.0).Set(L"ColorMinCombi", -70.0);
        // A new page reads the type afresh; Apply runs with or without a family.
        Run({Titled(c.title), Ranges(c.minRange, c.maxRange), Enabled(IDC_APPLY_TO_ALL, c.applyToAllEnabled),
             Type(kMin, L"-60"), Type(kMax, L"-10"), Press(kApply), Enabled(kApply, false), Press(IDCANCEL)});
        const Lines lines = TakeLines();
        if (c.minParameter)
            EXPECT_EQ(Set(c.minParameter, L"-60"), lines.at(0));
        else
            EXPECT_TRUE(lines.empty());
    }
    ComPtr<IPropertyPage> page = CreatePage(CLSID_ColorScaleDialog, {view, limits});
    limits->Parameters().Set(L"ScatterType", L"Pr");
    Use(page.Get(), {Shows(kRangeLabels, {L"-150", L"-50", L"-100", L" 0"}), Press(IDCANCEL)});
    // A type of two characters or more is not asked for again; the third object's
    // store, when there is one, is asked every time and comes first. What an
    // activation changes is never set back.
    limits->Parameters().Set(L"ScatterType", L"Sv");
    Use(page.Get(), {Titled(L"Colour Scale - No Tvg"), Press(IDCANCEL)});
    hostsim::HostObject& third = host.Create(L"third", {IID_IValueStore});
    third.Values().Set(L"ScatterType", L"Sv");
    GiveObjects(page.Get(), {view, limits, &third});
    Use(page.Get(), {Titled(L"Colour Scale - 20 Log"), Ranges({-150, -50}, {-100, 0}), Press(IDCANCEL)});

    // The settings' type counts by its status, whatever the call answers.
    limits->SetFault(L"IParameterAccess::GetParameter", L"ScatterType", hostsim::Fault::Status(0, S_FALSE));
    Run({Titled(L"Colour Scale - 20 Log"), Press(IDCANCEL)});
    limits->SetFault(L"IParameterAccess::GetParameter", L"ScatterType", hostsim::Fault::Status(-1));
    Run({Titled(L"Colour Scale"), Press(IDCANCEL)});
    // A page given no objects at all shows zeros, and OK writes nothing.
    Use(CreatePage(CLSID_ColorScaleDialog).Get(), {Shows(kFields, {L"0", L"0", L"0.0"}), Press(IDOK)});
    EXPECT_TRUE(host.Lines().empty()) << host.Text();
}

TEST_F(ColorScaleTest, TheApplicationKindHidesApplyToAllAndTK22WorksInTenths) {
    const Step noApplyToAll = Visible(IDC_APPLY_TO_ALL, false);
    app->SetString(L"AppName", L"tk11");
    Run({noApplyToAll, Shows(kFields, {L"-80", L"-34", L"3.8"}), Press(IDCANCEL)});
    // The min level's range starts at -100; 0.1 is beyond the tolerance of 0.05, 0.04 is not.
    app->SetString(L"AppName", L"TK22");
    Run({noApplyToAll, Shows(kFields, {L"-80.0", L"-34.4", L"3.8"}), Ranges({-100, 0}, {-100, 0}),
         Shows({IDC_CS_MAX_LEVEL_LEFT_LABEL, IDC_CS_MAX_LEVEL_RIGHT_LABEL}, {L"-100", L" 0"}), Type(kMin, L"-100.0"),
         Arrow(IDC_CS_MIN_LEVEL_SPIN, -1), Shows(kMin, L"-100.0"), Type(kMin, L"-80.0"),
         Arrow(IDC_CS_MIN_LEVEL_SPIN, 1),
         Shows(kMin, L"-79.9"), Press(kApply), Type(kMin, L"-79.86"), Press(kApply), Press(IDOK)});
    EXPECT_EQ((Lines{Set(L"ColorMinTVG20", L"-79.9"), Set(L"ColorMaxTVG20", L"-34.4")}), host.Lines());
}

// The log lines of the writes that cannot be made, through a copy of the library
// that has a host logger of its own. The horizontal axis page refuses objects of the
// wrong kind without a line.
TEST(ColorScaleLog, WritesThatCannotBeMadeAreLogged) {
    hostsim::Host host;
    hostsim::HostObject& screen = host.Create(L"screen", {IID_IScreenManager, IID_IParameterAccess});
    hostsim::HostObject& view = host.Create(L"view", {IID_IObjectSite});
    hostsim::HostObject& limits = host.Create(L"limits", {IID_IParameterAccess});
    view.AddService(host.Create(L"logger", {IID_IHostLogger}));
    limits.Parameters().Set(L"ScatterType", L"Sv").Set(L"ColorMinTVG20", -80.0).Set(L"ColorMaxTVG20", -35.0);
    WithLibraryCopy(L"TavrelColorLogCopy.dll", [&](TavrelLibrary& library) {
        GiveLoggerTo(library, view);
        // Apply stays enabled after each write that cannot be made: to all without a
        // screen manager, then without parameters on the settings.
        RunPage(library, CLSID_ColorScaleDialog, {&view, &limits}, [&](HWND dialog) {
            Do(dialog, {Type(kMin, L"-60"), Press(IDC_APPLY_TO_ALL), Press(kApply), Enabled(kApply),
                        Step{[&](HWND) { view.AddService(screen); }}, Press(IDC_APPLY_TO_ALL),
                        Step{[&](HWND) { limits.Hide(IID_IParameterAccess); }}, Press(kApply), Enabled(kApply),
                        Press(IDCANCEL)});
        });
        // A type of no family: "Apply to all" cannot name the parameters.
        limits.Offer(IID_IParameterAccess);
        limits.Parameters().Set(L"ScatterType", L"XY");
        RunPage(library, CLSID_ColorScaleDialog, {&view, &limits}, [&](HWND dialog) {
            Do(dialog, {Type(kMin, L"-60"), Type(kMax, L"-10"), Press(IDC_APPLY_TO_ALL), Press(kApply), Enabled(kApply),
                        Press(IDCANCEL)});
        });
        ComPtr<IFormControl> form;
        ASSERT_EQ(S_OK, library.CreatePage(CLSID_HorizontalDistanceDialog).As(&form));
        VARIANT notAnArray;
        VariantInit(&notAnArray);
        notAnArray.vt = VT_I4;
        EXPECT_EQ(E_INVALIDARG, form->SetFormObjects(notAnArray));
    });
    auto logged = [](const wchar_t* text) {
        return L"logger.IHostLogger::LogMessage(\"" + std::wstring(text) + L"\", \"Tavrel\", 16, 0)";
    };
    EXPECT_EQ((Lines{logged(L"ColorScaleDialog failed to set parameters to all"),
                     logged(L"ColorScaleDialog failed to set parameters"),
                     logged(L"ColorScaleDialog failed to set parameters to all, illegal tvg")}),
              host.Lines());
    EXPECT_TRUE(host.AllReferencesReturned()) << host.OutstandingText();
}

}  // namespace
}  // namespace tavrel::test
