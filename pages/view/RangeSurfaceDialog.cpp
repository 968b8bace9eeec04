// The surface and bottom range page: the displayed depth range of one echogram view
// and the depth it starts at, surface-referenced or, by the view's echogram type,
// bottom-referenced. Range + start are kept within the channel's maximum ping range,
// which the page follows through a parameter subscription.
#include "framework/Page.h"

#include "framework/LadderTriad.h"

#include <algorithm>
#include <limits>

namespace tavrel {
namespace {

constexpr wchar_t kInvalidInput[] = L"error";
constexpr wchar_t kEchogramType[] = L"EchogramType";
constexpr long kBottomReferenced = 1;  // its value in bottom mode; any other is surface-referenced
constexpr wchar_t kAutomaticRefresh[] = L"AutomaticRefresh";
constexpr wchar_t kCurrentChannel[] = L"CurrentChannel";
constexpr wchar_t kMaxPingRange[] = L"MaxPingRange";
constexpr long kApplyToAllSurface = 1171;
constexpr long kApplyToAllBottom = 1172;
constexpr long kDisplayedArea = 0;
constexpr long kLayerStateUnknown = 2;

// The bottom-referenced ladders in metres (the surface ones are shared with the range
// and scroll page).
constexpr double kBottomRangeValues[] = {2, 5, 10, 15, 25, 50, 75, 100, 150, 200, 250, 300, 400, 500, 750, 1000, 1500};
constexpr double kBottomStartValues[] = {-75, -50, -20, -15, -10, -7, -5, -3, -2, -1, 0, 1, 2, 3, 5, 7, 10, 15, 20};

// Where range and start live when the view's store has no IEchogramRange: whole
// metres in the third object's values.
struct ThirdObjectNames {
    const wchar_t* range;
    const wchar_t* start;
};
constexpr ThirdObjectNames kSurfaceNames{L"RangeSurface", L"RangeSurfaceStart"};
constexpr ThirdObjectNames kBottomNames{L"RangeBottom", L"RangeBottomStart"};

class CRangeSurfaceDialog : public frame::CPage<CRangeSurfaceDialog, &CLSID_RangeSurfaceDialog>,
                            public frame::CFormControl<CRangeSurfaceDialog, kInvalidInput>,
                            public frame::CParameterSubscriber<CRangeSurfaceDialog, S_OK> {
public:
    static constexpr frame::PageInfo kInfo{IDD_RANGE_SURFACE, IDS_TITLE_RANGE_SURFACE, L"xxx_surface_range.html",
                                           IDC_APPLY, frame::ApplyClearsDirty::No};
    using Interfaces = frame::InterfaceList<IPropertyPage, IFormControl, IParameterSubscriber2>;

    BOOL OnInitDialog() {
        m_range.UseLadder(kSurfaceRangeLadder);
        m_start.UseLadder(kSurfaceStartLadder);
        const frame::ValueStore store(Object(frame::kChannelObject));
        // The mode and the layer's state are read afresh at every initialisation.
        m_echogramType = 0;
        m_layerState = kLayerStateUnknown;
        const bool typeRead = store.Read(kEchogramType, m_echogramType);
        if (BottomMode()) {
            ::SetWindowTextW(m_hWnd, L"Bottom Range");
            SetControlText(IDC_RS_START_CAPTION, L"Start Relative Bottom");
            m_range.UseLadder(LadderOf(kBottomRangeValues));
            m_start.UseLadder(LadderOf(kBottomStartValues));
        }
        LocateHelpViewer();
        if (ReadRangeAndStart(store, typeRead)) {
            m_range.Show(m_rangeValue.value);
            m_start.Show(m_startValue.value);
        }
        SetControlText(IDC_RS_START_UNIT, L"m");
        SetControlText(IDC_RS_RANGE_UNIT, L"m");
        SubscribeToMaxPingRange(store);
        return FALSE;  // the dialog manager leaves the focus alone
    }

    void WriteValues() {
        if (m_start.IsEmpty() || m_range.IsEmpty())
            return;
        const double start = m_start.Value();
        const double range = m_range.Value();
        Microsoft::WRL::ComPtr<IEchogramRange> echogram;
        LocateHostInterface(Object(frame::kChannelObject), echogram);
        if (echogram) {
            if (m_screenCommand && IsChecked(IDC_APPLY_TO_ALL)) {
                // Every view of the kind: the host takes decimetres as whole numbers.
                m_screenCommand->ExecuteCommand(BottomMode() ? kApplyToAllBottom : kApplyToAllSurface,
                                                CutTowardZero(start * 10), CutTowardZero(range * 10));
            } else if (TakeEdits(range, start)) {
                echogram->SetDepthRange(range, start, kDisplayedArea);
            }
            return;
        }
        const frame::ValueStore third = frame::ValueStore::Query(Object(frame::kThirdObject));
        if (third && TakeEdits(range, start)) {
            third.Put(Names().range, static_cast<int>(CutTowardZero(range)));
            third.Put(Names().start, static_cast<int>(CutTowardZero(start)));
        }
    }

    const wchar_t* HelpTopic() const { return BottomMode() ? L"xxx_bottom_range.html" : kInfo.helpTopic; }

    template <class Map>
    void MessageMap(Map& on) {
        m_range.Bind(on);
        m_start.Bind(on);
        on.Scroll(IDC_RS_RANGE_SLIDER, &CRangeSurfaceDialog::OnRangeSliderMoved);
        on.Scroll(IDC_RS_RANGE_SPIN, &CRangeSurfaceDialog::OnRangeSpinStepped);
        on.Command(IDC_RS_RANGE_EDIT, EN_KILLFOCUS, &CRangeSurfaceDialog::OnRangeEditLeft);
        on.Scroll(IDC_RS_START_SLIDER, &CRangeSurfaceDialog::OnStartSliderMoved);
        on.Scroll(IDC_RS_START_SPIN, &CRangeSurfaceDialog::OnStartSpinStepped);
        on.Command(IDC_RS_START_EDIT, EN_KILLFOCUS, &CRangeSurfaceDialog::OnStartEditLeft);
    }

    // A new maximum ping range applies from the next control event; the controls
    // are not touched, so a report after the dialog closed only changes the limit.
    HRESULT OnHostParameterChanged(long cookie, const VARIANT& value) {
        if (!m_subscribed || cookie != m_cookie)
            return E_NOTIMPL;
        frame::FromVariant(value, m_maxPingRange);
        return S_OK;
    }

private:
    bool BottomMode() const { return m_echogramType == kBottomReferenced; }
    const ThirdObjectNames& Names() const { return BottomMode() ? kBottomNames : kSurfaceNames; }

    // From the store's IEchogramRange, else from the third object's values. Without
    // a source to read, the controls show the page's values when the echogram type
    // could be read.
    bool ReadRangeAndStart(const frame::ValueStore& store, bool typeRead) {
        Microsoft::WRL::ComPtr<IEchogramRange> echogram;
        m_screenCommand.Reset();
        if (store && SUCCEEDED(store.Interface()->QueryInterface(IID_IEchogramRange, &echogram))) {
            const bool read = ReadEchogramRange(echogram.Get());
            ShowApplyToAllWhenTheHostCan(store);
            return read;
        }
        const frame::ValueStore third = frame::ValueStore::Query(Object(frame::kThirdObject));
        if (!third)
            return typeRead;
        int range = 0, start = 0;
        if (!third.Read(Names().range, range) || !third.Read(Names().start, start))
            return false;
        m_rangeValue.FromHost(range);
        m_startValue.FromHost(start);
        return true;
    }

    bool ReadEchogramRange(IEchogramRange* echogram) {
        double range = 0, start = 0;
        if (echogram->GetDepthRange(&range, &start, kDisplayedArea) != S_OK)
            return false;
        m_rangeValue.FromHost(range);
        m_startValue.FromHost(start);
        return true;
    }

    // "Apply to all" needs the screen manager's command and a view that refreshes
    // by itself ("AutomaticRefresh" not 0; a value that cannot be read counts as not 0).
    void ShowApplyToAllWhenTheHostCan(const frame::ValueStore& store) {
        Microsoft::WRL::ComPtr<IScreenManager> screenManager;
        if (FAILED(LocateHostInterface(Object(frame::kViewObject), screenManager)) || !screenManager ||
            FAILED(screenManager.As(&m_screenCommand)))
            return;
        int automaticRefresh = 1;
        store.Read(kAutomaticRefresh, automaticRefresh);
        if (automaticRefresh != 0)
            ShowControl(IDC_APPLY_TO_ALL, true);
    }

    // With the selected layer editable (state 0) the page follows the channel's
    // maximum ping range.
    void SubscribeToMaxPingRange(const frame::ValueStore& store) {
        Microsoft::WRL::ComPtr<IUnknown> layer;
        Microsoft::WRL::ComPtr<ILayerState> state;
        GetSelectedLayer(Object(frame::kViewObject), layer);
        if (layer && SUCCEEDED(layer.As(&state)))
            state->GetState(&m_layerState);
        std::wstring channel;
        if (m_layerState != 0 || !store.Read(kCurrentChannel, channel))
            return;
        const std::wstring path = ParameterPath(ParameterPathRoot(layer.Get()), channel, kMaxPingRange);
        Microsoft::WRL::ComPtr<IParameterNotifier> notifier;
        LocateHostInterface(Object(frame::kViewObject), notifier);
        const UniqueBstr pathText = MakeBstr(path);
        long cookie = 0;
        if (notifier && notifier->Subscribe(pathText.get(), Subscriber(), &cookie) == S_OK) {
            m_cookie = cookie;
            m_subscribed = true;
        } else {
            LogDebugMessage(L"RangeSurfaceDialog failed to retrieve max ping: %ls", path.c_str());
        }
    }

    // Whether the edits hold other values than the host has; if so they become the
    // host's values, to be written.
    bool TakeEdits(double range, double start) {
        m_rangeValue.value = range;
        m_startValue.value = start;
        if (!m_rangeValue.Changed() && !m_startValue.Changed())
            return false;
        m_rangeValue.MarkWritten();
        m_startValue.MarkWritten();
        return true;
    }

    // ---- Keeping range + start within the maximum ping range. Each event through
    // WM_VSCROLL marks the page dirty first; an empty field stops an event.

    void OnRangeSliderMoved(int scrollCode) {
        SetDirty();
        if (scrollCode == TB_ENDTRACK)
            return;
        // Without a start the page's own start stands in.
        const double start = m_start.IsEmpty() ? m_startValue.value : m_start.Value();
        KeepWithinMaxPing(m_range, m_range.SliderValue(), start, kAnyRange, Shown::BySlider);
    }
    void OnRangeSpinStepped(int /*scrollCode*/) {
        SetDirty();
        if (!m_start.IsEmpty())
            KeepWithinMaxPing(m_range, m_range.spin.m_dValue, m_start.Value(), kAnyRange, Shown::ByEdit);
    }
    void OnRangeEditLeft() { KeepTypedWithinMaxPing(m_range, m_start); }
    // The trackbar and the arrows never take the start below 0.
    void OnStartSliderMoved(int scrollCode) {
        SetDirty();
        if (scrollCode != TB_ENDTRACK && !m_range.IsEmpty())
            KeepWithinMaxPing(m_start, m_start.SliderValue(), m_range.Value(), 0.0, Shown::BySlider);
    }
    void OnStartSpinStepped(int /*scrollCode*/) {
        SetDirty();
        if (!m_range.IsEmpty())
            KeepWithinMaxPing(m_start, m_start.spin.m_dValue, m_range.Value(), 0.0, Shown::ByEdit);
    }
    // Leaving the field may take the start below 0 to keep it within the limit.
    void OnStartEditLeft() { KeepTypedWithinMaxPing(m_start, m_range); }

    // Which control already shows the new value: the other one follows.
    enum class Shown { BySlider, ByEdit };
    static constexpr double kAnyRange = -std::numeric_limits<double>::max();

    // value + other must stay below the limit; at or beyond it, the triad takes what
    // is left (not less than lowest).
    void KeepWithinMaxPing(frame::CLadderTriad& triad, double value, double other, double lowest, Shown shown) {
        if (value + other >= m_maxPingRange)
            triad.Show(std::max(lowest, m_maxPingRange - other));
        else if (shown == Shown::BySlider)
            triad.ShowValue(value);
        else
            triad.MoveSlider(value);
    }
    // A typed value may reach the limit; beyond it, the triad takes what is left.
    void KeepTypedWithinMaxPing(frame::CLadderTriad& typed, const frame::CLadderTriad& other) {
        if (typed.IsEmpty() || other.IsEmpty())
            return;
        const double value = typed.Value();
        if (value + other.Value() <= m_maxPingRange)
            typed.MoveSlider(value);
        else
            typed.Show(m_maxPingRange - other.Value());
    }

    frame::CLadderTriad m_range{{IDC_RS_RANGE_SLIDER, IDC_RS_RANGE_EDIT, IDC_RS_RANGE_SPIN, IDC_RS_RANGE_TOP_LABEL,
                                 IDC_RS_RANGE_BOTTOM_LABEL}};
    frame::CLadderTriad m_start{{IDC_RS_START_SLIDER, IDC_RS_START_EDIT, IDC_RS_START_SPIN, IDC_RS_START_TOP_LABEL,
                                 IDC_RS_START_BOTTOM_LABEL}};
    int m_echogramType = 0;
    frame::Tracked<double> m_rangeValue;  // as last read from or written to the host
    frame::Tracked<double> m_startValue;
    long m_layerState = kLayerStateUnknown;  // the selected layer's; 0 (editable) subscribes
    double m_maxPingRange = 10000.0;
    long m_cookie = 0;
    bool m_subscribed = false;
    Microsoft::WRL::ComPtr<IScreenCommand> m_screenCommand;  // only when "Apply to all" is offered
};

}  // namespace

HRESULT CreateRangeSurfaceDialog(REFIID riid, void** page) { return frame::CreatePage<CRangeSurfaceDialog>(riid, page); }

}  // namespace tavrel
