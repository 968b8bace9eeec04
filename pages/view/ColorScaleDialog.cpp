// The colour scale page: the colour limits of one echogram view, the min level at the
// bottom of the scale and the max level at its top, and the colour step between them
// (one twelfth of the span). The host keeps a pair of limits per time-varied-gain
// family; the page edits the pair of the family the view's scatter type belongs to,
// on the view's settings object (the second object) or, with "Apply to all", through
// the screen manager for every view.
#include "framework/Page.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tavrel {
namespace {

constexpr wchar_t kScatterType[] = L"ScatterType";
constexpr wchar_t kApplyAllLayers[] = L"Layers";  // the layer part of the "ApplyAll:" names
constexpr int kColourSteps = 12;                  // colours from the min level to the max level
constexpr int kStepSliderUnits = 10;              // the step slider counts tenths
constexpr double kMaxStep = 8.0;
constexpr int kTickFrequency = 10;

// A time-varied-gain family: the scatter types that show it (compared exactly, case
// and all), the suffix the title gets, and the host parameters of its colour limits.
struct GainFamily {
    const wchar_t* scatterTypes[3];
    const wchar_t* titleSuffix;
    const wchar_t* minParameter;
    const wchar_t* maxParameter;
};
constexpr GainFamily kGainFamilies[] = {
    {{L"Sp", L"TS", L"SpAndTS"}, L" - 40 Log", L"ColorMinTVG40", L"ColorMaxTVG40"},
    {{L"Sv"}, L" - 20 Log", L"ColorMinTVG20", L"ColorMaxTVG20"},
    {{L"Pr"}, L" - No Tvg", L"ColorMinNoTVG", L"ColorMaxNoTVG"},
    {{L"Combi"}, L" - Combi", L"ColorMinCombi", L"ColorMaxCombi"},
};
constexpr const GainFamily& kNoGainFamily = kGainFamilies[2];
constexpr const GainFamily& kCombiFamily = kGainFamilies[3];

// The family of a scatter type; null for any other type.
const GainFamily* FamilyOf(const std::wstring& scatterType) {
    for (const GainFamily& family : kGainFamilies) {
        for (const wchar_t* type : family.scatterTypes) {
            if (type && scatterType == type)
                return &family;
        }
    }
    return nullptr;
}

// A level slider's range, which its up-down shares.
struct LevelRange {
    int low;
    int high;
};

struct Levels {
    double min = 0.0;
    double max = 0.0;
};

// Each write with its status preset; neither result nor status is examined.
void SetLevel(const frame::ParameterAccess& access, const std::wstring& name, double level) {
    long status = frame::kParameterStatusPreset;
    access.Set(name, level, status);
}

class CColorScaleDialog : public frame::CPage<CColorScaleDialog, &CLSID_ColorScaleDialog> {
public:
    static constexpr frame::PageInfo kInfo{IDD_COLOR_SCALE, IDS_TITLE_COLOR_SCALE, L"qz4_para_colour_scale.html",
                                           IDC_APPLY_SMALL, frame::ApplyClearsDirty::No};
    using Interfaces = frame::InterfaceList<IPropertyPage>;

    // What an activation changes (ranges, level format, tolerance, scatter type) is
    // never set back: the next activation of the page object starts from it.
    BOOL OnInitDialog() {
        RangeLevelControls();
        m_stepSlider.SetRange(0, static_cast<int>(kMaxStep) * kStepSliderUnits);
        m_stepSpin.SetDoubleRange(1, 0.0, kMaxStep);
        for (frame::CTrackBarCtrl* slider : {&m_minSlider, &m_maxSlider, &m_stepSlider})
            slider->SetTicFreq(kTickFrequency);
        ReadLimits();
        FollowApplicationKind();
        m_minSlider.SetPos(static_cast<int>(CutTowardZero(m_levels.min)));
        m_maxSlider.SetPos(static_cast<int>(CutTowardZero(m_levels.max)));
        RangeMinSpinBelow(m_minRange.high);
        RangeMaxSpinAbove(m_levels.min);
        LocateHelpViewer();
        // Each field runs its handler as typing would; the step, written last, moves
        // the max level onto a whole colour step of the min level.
        SetControlText(IDC_CS_MIN_LEVEL_EDIT, FormatLevel(m_levels.min));
        SetControlText(IDC_CS_MAX_LEVEL_EDIT, FormatLevel(m_levels.max));
        const double step = (m_levels.max - m_levels.min) / kColourSteps;
        SetControlText(IDC_CS_STEP_EDIT, FormatOneDecimal(step));
        m_stepSlider.SetPos(static_cast<int>(CutTowardZero(step * kStepSliderUnits)));
        EnableApplyButton(false);  // which the fields' handlers enabled
        return TRUE;  // the dialog manager focuses the first control
    }

    // An empty field writes nothing; limits that cross are pulled apart in the max
    // field and write nothing either. Apply stays enabled unless the write ran.
    void WriteValues() {
        if (IsEditEmpty(m_hWnd, IDC_CS_MIN_LEVEL_EDIT))
            return;
        m_levels.min = ReadEditDouble(m_hWnd, IDC_CS_MIN_LEVEL_EDIT);
        if (IsEditEmpty(m_hWnd, IDC_CS_MAX_LEVEL_EDIT))
            return;
        m_levels.max = ReadEditDouble(m_hWnd, IDC_CS_MAX_LEVEL_EDIT);
        if (m_levels.min >= m_levels.max) {
            m_levels.max = m_levels.min + 2.0;
            SetControlText(IDC_CS_MAX_LEVEL_EDIT, FormatCount(CutTowardZero(m_levels.max)));
            return;
        }
        const bool written = IsChecked(IDC_APPLY_TO_ALL) ? WriteToAllViews() : WriteToView();
        if (written)
            EnableApplyButton(false);
    }

    template <class Map>
    void MessageMap(Map& on) {
        on.Control(IDC_CS_MIN_LEVEL_SLIDER, m_minSlider);
        on.Control(IDC_CS_MAX_LEVEL_SLIDER, m_maxSlider);
        on.Control(IDC_CS_STEP_SLIDER, m_stepSlider);
        on.Spin(IDC_CS_MIN_LEVEL_SPIN, m_minSpin);
        on.Spin(IDC_CS_MAX_LEVEL_SPIN, m_maxSpin);
        on.Spin(IDC_CS_STEP_SPIN, m_stepSpin);
        on.Command(IDC_CS_MIN_LEVEL_EDIT, EN_CHANGE, &CColorScaleDialog::OnMinLevelEdited);
        on.Command(IDC_CS_MAX_LEVEL_EDIT, EN_CHANGE, &CColorScaleDialog::OnMaxLevelEdited);
        on.Command(IDC_CS_STEP_EDIT, EN_CHANGE, &CColorScaleDialog::OnStepEdited);
        on.Scroll(IDC_CS_MIN_LEVEL_SLIDER, &CColorScaleDialog::OnMinSliderMoved);
        on.Scroll(IDC_CS_MAX_LEVEL_SLIDER, &CColorScaleDialog::OnMaxSliderMoved);
        on.Scroll(IDC_CS_STEP_SLIDER, &CColorScaleDialog::OnStepSliderMoved);
    }

private:
    // The scatter type comes from the third object's store, else (when none of two
    // characters or more is known yet) from the second object's parameters; the
    // limits are those of the type's family. Without parameters on the second object,
    // or for a type of no family, the levels stay as they were.
    void ReadLimits() {
        frame::ValueStore::Query(Object(frame::kThirdObject)).Read(kScatterType, m_scatterType);
        const frame::ParameterAccess limits = frame::ParameterAccess::Query(Object(frame::kChannelObject));
        if (!limits)
            return;
        if (m_scatterType.size() < 2)
            limits.ReadByStatus(kScatterType, m_scatterType);
        const GainFamily* family = FamilyOf(m_scatterType);
        if (!family)
            return;
        ::SetWindowTextW(m_hWnd, (GetWindowText() + family->titleSuffix).c_str());
        if (family == &kNoGainFamily) {
            SetControlText(IDC_CS_MIN_LEVEL_LEFT_LABEL, L"-150");
            SetControlText(IDC_CS_MIN_LEVEL_RIGHT_LABEL, L"-50");
            SetControlText(IDC_CS_MAX_LEVEL_LEFT_LABEL, L"-100");
            SetControlText(IDC_CS_MAX_LEVEL_RIGHT_LABEL, L" 0");
            m_minRange = {-150, -50};
            m_maxRange = {-100, 0};
            RangeLevelControls();
        } else if (family == &kCombiFamily) {
            EnableControl(IDC_APPLY_TO_ALL, false);
        }
        double level = 0;
        if (limits.Read(family->minParameter, level))
            m_levels.min = m_last.min = level;
        if (limits.Read(family->maxParameter, level))
            m_levels.max = m_last.max = level;
    }

    // Neither "TK11" nor "TK22" offers "Apply to all"; "TK22" shows and steps the
    // levels in tenths, with both sliders from -100 to 0 (the min slider itself keeps
    // the range it has until the next activation).
    void FollowApplicationKind() {
        const ApplicationKind kind = GetApplicationKind(Object(frame::kViewObject));
        if (kind != ApplicationKind::TK11 && kind != ApplicationKind::TK22)
            return;
        ShowControl(IDC_APPLY_TO_ALL, false);
        if (kind != ApplicationKind::TK22)
            return;
        m_levelDecimals = 1;
        m_minRange = {-100, 0};
        m_maxRange = {-100, 0};
        m_tolerance = 0.05;
        SetControlText(IDC_CS_MAX_LEVEL_LEFT_LABEL, L"-100");
        SetControlText(IDC_CS_MAX_LEVEL_RIGHT_LABEL, L" 0");
        m_maxSlider.SetRange(m_maxRange.low, m_maxRange.high);
    }

    // The one view's limits, each only when it changed by more than the tolerance. A
    // min level that reached the host's max is put just below it, and the max is
    // written whenever the min is, so the host never holds crossed limits. (Apply
    // already keeps the min below the max, and the min only moves down here.)
    bool WriteToView() {
        const frame::ParameterAccess limits = frame::ParameterAccess::Query(Object(frame::kChannelObject));
        if (!limits) {
            LogWarningMessage(L"ColorScaleDialog failed to set parameters");
            return false;
        }
        const GainFamily* family = FamilyOf(m_scatterType);
        if (Beyond(m_levels.min, m_last.min)) {
            if (m_levels.min >= m_last.max)
                m_levels.min = m_last.max - 1.0;
            if (family)
                SetLevel(limits, family->minParameter, m_levels.min);
        }
        if (Beyond(m_levels.max, m_last.max) || Beyond(m_levels.min, m_last.min)) {
            m_last = m_levels;
            if (family)
                SetLevel(limits, family->maxParameter, m_last.max);
        }
        return true;
    }

    // Every view of the family: both limits, changed or not, the min kept below the
    // host's max as for one view (and so below the max it goes with).
    bool WriteToAllViews() {
        const frame::ParameterAccess screen = frame::ParameterAccess::OfScreenManager(Object(frame::kViewObject));
        if (!screen) {
            LogWarningMessage(L"ColorScaleDialog failed to set parameters to all");
            return false;
        }
        m_last.min = m_levels.min >= m_last.max ? m_last.max - 1.0 : m_levels.min;
        const GainFamily* family = FamilyOf(m_scatterType);
        if (!family) {
            LogWarningMessage(L"ColorScaleDialog failed to set parameters to all, illegal tvg");
            return false;
        }
        SetLevel(screen, ColorScaleApplyAllName(kApplyAllLayers, family->minParameter), m_last.min);
        m_last.max = m_levels.max;
        SetLevel(screen, ColorScaleApplyAllName(kApplyAllLayers, family->maxParameter), m_last.max);
        return true;
    }

    bool Beyond(double level, double last) const { return std::fabs(level - last) > m_tolerance; }
    std::wstring FormatLevel(double level) const { return FormatFixed(level, m_levelDecimals); }

    // ---- Ranges

    void RangeLevelControls() {
        m_minSlider.SetRange(m_minRange.low, m_minRange.high);
        m_maxSlider.SetRange(m_maxRange.low, m_maxRange.high);
        RangeMinSpinBelow(m_minRange.high);
        m_maxSpin.SetDoubleRange(m_levelDecimals, m_maxRange.low, m_maxRange.high);
    }
    // The min level's arrows stop below the max level, within the min slider's range.
    void RangeMinSpinBelow(double limit) {
        m_minSpin.SetDoubleRange(m_levelDecimals, m_minRange.low, std::min(limit, double(m_minRange.high)));
    }
    // The max level's arrows stop above the min level, within the max slider's range.
    void RangeMaxSpinAbove(double minLevel) {
        m_maxSpin.SetDoubleRange(m_levelDecimals, std::max(minLevel + 1.0, double(m_maxRange.low)), m_maxRange.high);
    }

    // ---- Fields: each runs on every change of its text, the page's own writes
    // included, and does nothing while empty.

    // The min and max fields take whole levels for their sliders and the step.
    void OnMinLevelEdited() {
        if (IsEditEmpty(m_hWnd, IDC_CS_MIN_LEVEL_EDIT))
            return;
        const long level = ReadEditLong(m_hWnd, IDC_CS_MIN_LEVEL_EDIT);
        m_minSlider.SetPos(static_cast<int>(level));
        RangeMaxSpinAbove(static_cast<double>(level));
        WriteDerivedField(IDC_CS_STEP_EDIT, FormatOneDecimal(double(m_maxSlider.GetPos() - level) / kColourSteps));
        EnableApplyButton(true);
    }
    void OnMaxLevelEdited() {
        if (IsEditEmpty(m_hWnd, IDC_CS_MAX_LEVEL_EDIT))
            return;
        const long level = ReadEditLong(m_hWnd, IDC_CS_MAX_LEVEL_EDIT);
        m_maxSlider.SetPos(static_cast<int>(level));
        RangeMinSpinBelow(static_cast<double>(level) - 1.0);
        WriteDerivedField(IDC_CS_STEP_EDIT, FormatOneDecimal(double(level - m_minSlider.GetPos()) / kColourSteps));
        EnableApplyButton(true);
    }
    // A new step moves the max level to twelve steps above the min slider's level.
    void OnStepEdited() {
        if (IsEditEmpty(m_hWnd, IDC_CS_STEP_EDIT))
            return;
        const double step = ReadEditDouble(m_hWnd, IDC_CS_STEP_EDIT);
        m_stepSlider.SetPos(static_cast<int>(CutTowardZero(step * kStepSliderUnits)));
        WriteDerivedField(IDC_CS_MAX_LEVEL_EDIT, FormatLevel(step * kColourSteps + m_minSlider.GetPos()));
        EnableApplyButton(true);
    }
    // The step and max fields derive from each other: a write from one handler runs
    // the other's, which then moves its slider and up-down but writes no field back.
    void WriteDerivedField(int id, const std::wstring& text) {
        if (m_updating)
            return;
        m_updating = true;
        SetControlText(id, text);
        m_updating = false;
    }

    // ---- Sliders: every scroll enables Apply; the end of a drag changes nothing more.
    // A level slider writes its field, whose handler does the rest.

    // The min slider stops one below the max slider.
    void OnMinSliderMoved(int scrollCode) {
        EnableApplyButton(true);
        if (scrollCode == TB_ENDTRACK)
            return;
        const int position = m_minSlider.GetPos();
        if (position >= m_maxSlider.GetPos())
            m_minSlider.SetPos(m_maxSlider.GetPos() - 1);
        else
            SetControlText(IDC_CS_MIN_LEVEL_EDIT, FormatLevel(position));
    }
    // The max slider stops one above the min slider.
    void OnMaxSliderMoved(int scrollCode) {
        EnableApplyButton(true);
        if (scrollCode == TB_ENDTRACK)
            return;
        const int position = m_maxSlider.GetPos();
        if (position <= m_minSlider.GetPos())
            m_maxSlider.SetPos(m_minSlider.GetPos() + 1);
        else
            SetControlText(IDC_CS_MAX_LEVEL_EDIT, FormatLevel(position));
    }
    void OnStepSliderMoved(int scrollCode) {
        EnableApplyButton(true);
        if (scrollCode != TB_ENDTRACK)
            SetControlText(IDC_CS_STEP_EDIT, FormatOneDecimal(double(m_stepSlider.GetPos()) / kStepSliderUnits));
    }

    frame::CTrackBarCtrl m_minSlider;
    frame::CTrackBarCtrl m_maxSlider;
    frame::CTrackBarCtrl m_stepSlider;  // tenths of a level
    CSpinButtonDoubleCtrl m_minSpin;
    CSpinButtonDoubleCtrl m_maxSpin;
    CSpinButtonDoubleCtrl m_stepSpin;
    // The levels: as the fields showed them at the last Apply (or as read); and as
    // last read from or written to the host. The page moves what it writes on the way
    // (the min kept below the host's max), so these are two pairs, not frame::Tracked.
    Levels m_levels;
    Levels m_last;
    std::wstring m_scatterType;
    LevelRange m_minRange{-100, 0};
    LevelRange m_maxRange{-50, 50};
    int m_levelDecimals = 0;   // shown and stepped; 1 for "TK22"
    double m_tolerance = 0.5;  // a single view's level is written when it changed by more
    bool m_updating = false;   // a field handler is writing the other derived field
};

}  // namespace

HRESULT CreateColorScaleDialog(REFIID riid, void** page) { return frame::CreatePage<CColorScaleDialog>(riid, page); }

}  // namespace tavrel
